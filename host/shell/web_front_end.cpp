#include "host/shell/web_front_end.h"

#include "host/gx.h"
#include "host/screen.h"
#include "host/screen_digest.h"
#include "host/shell/screen_front_end.h"
#include "host/window.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <strings.h>
#include <vector>

// The page's side of the front end (kq3dPage in host/web/index.html): it
// owns the canvas, the frames-per-second line and the messages.
// clang-format off
EM_JS(void, PageOpen, (int scale), { kq3dPage.open(scale); });
EM_JS(void, PageShow, (const uint8_t* rgba, int width, int height), {
    kq3dPage.show(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(void, PageStopped, (int code, const char* digest), {
    kq3dPage.stopped(code, UTF8ToString(digest));
});
// The screen pixel under a point of the page, in out[0..1] (off the screen
// for a point off the canvas).
EM_JS(void, PageScreenPosition, (int clientX, int clientY, int32_t* out), {
    const position = kq3dPage.screenPosition(clientX, clientY);
    HEAP32[out >> 2] = position[0];
    HEAP32[(out >> 2) + 1] = position[1];
});
// The program's loop waits here for the browser's next frame: the page's
// events are handled meanwhile, and the loop runs once per displayed frame.
EM_ASYNC_JS(void, PageNextFrame, (), { await kq3dPage.nextFrame(); });
// A wait that never ends: nothing of the program runs again.
EM_ASYNC_JS(void, PageHalt, (), { await new Promise(() => {}); });
// clang-format on

namespace host {
namespace {

const char kCanvas[] = "#kq3d-screen";

// Arrows, Z/X/C for A/B/C; Enter is Start, and so is Escape (as in the
// window). The page names keys by what they type, so Z is Z on any layout.
constexpr struct {
    const char* key;
    GXKeyEntry GXKeyList::*button;
} kKeys[] = {{"ArrowUp", &GXKeyList::up},
             {"ArrowDown", &GXKeyList::down},
             {"ArrowLeft", &GXKeyList::left},
             {"ArrowRight", &GXKeyList::right},
             {"z", &GXKeyList::a},
             {"x", &GXKeyList::b},
             {"c", &GXKeyList::c},
             {"Enter", &GXKeyList::start},
             {"Escape", &GXKeyList::start}};

class WebFrontEnd : public ScreenFrontEnd {
  public:
    explicit WebFrontEnd(int32_t scale);
    void Poll() override;
    void Show() override;

  private:
    static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* self);
    static EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void* self);
    static EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* event, void* self);
    static EM_BOOL OnVisibility(int type, const EmscriptenVisibilityChangeEvent* event, void* self);
    void StylusAt(uint32_t message, long clientX, long clientY);

    std::vector<uint8_t> rgba_;
    long touch_ = -1; // the touch that holds the stylus
};

WebFrontEnd::WebFrontEnd(int32_t scale) {
    const GXDisplayProperties& screen = ScreenProperties();
    rgba_.resize(static_cast<size_t>(screen.width) * screen.height * 4);
    PageOpen(scale);
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, this, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(window, this, EM_TRUE, OnKey);
    // A stroke starts on the screen and is followed wherever the mouse goes,
    // as a window follows it while its button is held.
    emscripten_set_mousedown_callback(kCanvas, this, EM_TRUE, OnMouse);
    emscripten_set_mousemove_callback(window, this, EM_TRUE, OnMouse);
    emscripten_set_mouseup_callback(window, this, EM_TRUE, OnMouse);
    emscripten_set_touchstart_callback(kCanvas, this, EM_TRUE, OnTouch);
    emscripten_set_touchmove_callback(kCanvas, this, EM_TRUE, OnTouch);
    emscripten_set_touchend_callback(kCanvas, this, EM_TRUE, OnTouch);
    emscripten_set_touchcancel_callback(kCanvas, this, EM_TRUE, OnTouch);
    emscripten_set_visibilitychange_callback(this, EM_TRUE, OnVisibility);
}

// Keys pressed with Ctrl, Alt or the system key are the browser's (copy,
// find...); every release counts, so no button stays held.
EM_BOOL WebFrontEnd::OnKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    if (down && (event->ctrlKey || event->altKey || event->metaKey)) return EM_FALSE;
    for (const auto& mapping : kKeys) {
        if (strcasecmp(event->key, mapping.key) == 0) {
            DevicePressKey(static_cast<uint16_t>((GxCurrentKeys().*mapping.button).code), down);
            return EM_TRUE; // the arrows do not scroll the page
        }
    }
    return EM_FALSE;
}

void WebFrontEnd::StylusAt(uint32_t message, long clientX, long clientY) {
    int32_t position[2];
    PageScreenPosition(static_cast<int>(clientX), static_cast<int>(clientY), position);
    Stylus(message, position[0], position[1]);
}

EM_BOOL WebFrontEnd::OnMouse(int type, const EmscriptenMouseEvent* event, void* self) {
    auto* frontEnd = static_cast<WebFrontEnd*>(self);
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        if (!frontEnd->StylusDown() || frontEnd->touch_ >= 0) return EM_FALSE;
        frontEnd->StylusAt(kMessageStylusMove, event->clientX, event->clientY);
        return EM_FALSE;
    }
    if (event->button != 0 || frontEnd->touch_ >= 0) return EM_FALSE;
    const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
    if (down == frontEnd->StylusDown()) return EM_FALSE;
    frontEnd->StylusAt(down ? kMessageStylusDown : kMessageStylusUp, event->clientX,
                       event->clientY);
    return down ? EM_TRUE : EM_FALSE; // no text selection starts on the screen
}

// The first finger on the screen is the stylus; others are not seen.
EM_BOOL WebFrontEnd::OnTouch(int type, const EmscriptenTouchEvent* event, void* self) {
    auto* frontEnd = static_cast<WebFrontEnd*>(self);
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& touch = event->touches[i];
        if (!touch.isChanged) continue;
        if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
            if (frontEnd->StylusDown()) continue;
            frontEnd->touch_ = touch.identifier;
            frontEnd->StylusAt(kMessageStylusDown, touch.clientX, touch.clientY);
        } else if (touch.identifier == frontEnd->touch_) {
            if (type == EMSCRIPTEN_EVENT_TOUCHMOVE) {
                frontEnd->StylusAt(kMessageStylusMove, touch.clientX, touch.clientY);
            } else {
                frontEnd->touch_ = -1;
                frontEnd->StylusAt(kMessageStylusUp, touch.clientX, touch.clientY);
            }
        }
    }
    return EM_TRUE; // no scrolling, no mouse events made up from the touch
}

EM_BOOL WebFrontEnd::OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    DeviceFocus(!event->hidden);
    return EM_FALSE;
}

// The screen's memory read along its pitches (the device's screen is 16 bits
// deep), each pixel expanded to the canvas's RGBA.
void WebFrontEnd::Show() {
    const GXDisplayProperties& screen = ScreenProperties();
    const uint8_t* row = ScreenOrigin();
    uint8_t* out = rgba_.data();
    for (uint32_t y = 0; y < screen.height; ++y, row += screen.yPitch) {
        const uint8_t* in = row;
        for (uint32_t x = 0; x < screen.width; ++x, in += screen.xPitch, out += 4) {
            uint16_t pixel;
            std::memcpy(&pixel, in, sizeof pixel);
            ExpandPixel(pixel, out);
            out[3] = 0xFF;
        }
    }
    PageShow(rgba_.data(), static_cast<int>(screen.width), static_cast<int>(screen.height));
}

void WebFrontEnd::Poll() {
    PageNextFrame();
    Deliver();
}

} // namespace

FrontEnd* OpenWebFrontEnd(int32_t scale) {
    return new WebFrontEnd(scale);
}

void StopWebFrontEnd(FrontEnd* frontEnd, int code) {
    emscripten_html5_remove_all_event_listeners();
    static_cast<WebFrontEnd*>(frontEnd)->Show();
    PageStopped(code, DigestText(ScreenDigest()).c_str());
    for (;;)
        PageHalt();
}

} // namespace host
