// What the front ends that show the screen (the window, the web page) share:
// the stylus, whose moves are gathered into the newest position, and the
// screen, shown again only when it has changed.
#pragma once
#include "host/device.h"

#include <cstdint>

namespace host {

class ScreenFrontEnd : public FrontEnd {
  protected:
    // A stylus message (down, up or move) at screen pixel (x, y), which is
    // kept on the screen. The program takes one message per frame, so moves
    // wait for Deliver, the newest replacing the one before, and never queue
    // up behind the frames; a press or a release goes at once.
    void Stylus(uint32_t message, int32_t x, int32_t y);
    bool StylusDown() const { return stylusDown_; }

    // At every poll, after the input: the waiting move, then Show when the
    // screen has changed since it was last shown (or ShowAgain asked for it).
    void Deliver();
    void ShowAgain() { shownGeneration_ = ~0ull; }

  private:
    virtual void Show() = 0;

    uint64_t shownGeneration_ = ~0ull;
    bool stylusDown_ = false;
    bool movePending_ = false;
    int32_t moveX_ = 0;
    int32_t moveY_ = 0;
};

} // namespace host
