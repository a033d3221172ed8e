// The program's main. Until the clock takes its place, a small program on
// the same App shows that the device works: the title page (black screen,
// caption, a title strip), then a frame buffer whose colours move, presented
// where the clock's frame goes. Any of A, B, C or Start ends it.
#include "host/messages.h"
#include "platform/app.h"
#include "platform/startup.h"

#include <new>

namespace {

class SpineApp : public App {
  public:
    SpineApp(host::InstanceHandle instance) : App(instance, 240, 240, u"test") {}

    void OnFrame() override {
        if (currentKeyInput != nullptr && (currentKeyInput->keys & 0x1070) != 0) {
            host::PostQuitMessage(0);
            return;
        }
        if (display == nullptr || display->frameBuffer == nullptr) return;
        ++frame;
        uint16_t* pixel = display->frameBuffer;
        for (int32_t row = 0; row < display->frameHeight; ++row)
            for (int32_t column = 0; column < display->frameWidth; ++column)
                *pixel++ = static_cast<uint16_t>(((row + frame) & 0xF8) << 8 |
                                                 ((column + frame) & 0xFC) << 3 | 0x0F);
        DisplayPresent(display);
    }

    void OnActivate() override { DrawTitlePage(); }

    void DrawTitlePage() {
        if (display == nullptr) return;
        DisplayFillRect(display, 0, 0, display->width, display->height, 0);
        DrawCaption(162, 307, 0xFFFF, 0, u"KQ 3D Engine ");
        DisplayFillRect(display, 280, 0, 40, 240, 0x3186);
    }

    int32_t frame = 0;
};

} // namespace

int AppMain(host::InstanceHandle instance, host::InstanceHandle, char16_t*, int32_t) {
    SpineApp* app = new (std::nothrow) SpineApp(instance);
    if (app == nullptr) return 0;
    if (app->display != nullptr) DisplayPlace(app->display, 40, 0);
    app->DrawTitlePage();
    app->Run();
    return 0;
}
