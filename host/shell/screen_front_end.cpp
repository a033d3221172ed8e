#include "host/shell/screen_front_end.h"

#include "host/screen.h"
#include "host/window.h"

namespace host {
namespace {

int32_t OnScreen(int32_t position, uint32_t extent) {
    const int32_t last = static_cast<int32_t>(extent) - 1;
    return position < 0 ? 0 : (position > last ? last : position);
}

} // namespace

void ScreenFrontEnd::Stylus(uint32_t message, int32_t x, int32_t y) {
    x = OnScreen(x, ScreenProperties().width);
    y = OnScreen(y, ScreenProperties().height);
    if (message == kMessageStylusMove) {
        movePending_ = true;
        moveX_ = x;
        moveY_ = y;
        return;
    }
    stylusDown_ = message == kMessageStylusDown;
    movePending_ = false;
    DeviceStylus(message, x, y);
}

void ScreenFrontEnd::Deliver() {
    if (movePending_) {
        movePending_ = false;
        DeviceStylus(kMessageStylusMove, moveX_, moveY_);
    }
    const uint64_t generation = ScreenGeneration();
    if (generation != shownGeneration_) {
        shownGeneration_ = generation;
        Show();
    }
}

} // namespace host
