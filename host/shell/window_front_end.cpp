#include "host/shell/window_front_end.h"

#include "host/gx.h"
#include "host/screen.h"
#include "host/shell/screen_front_end.h"
#include "host/window.h"

#include <SDL.h>

#include <cstring>
#include <vector>

namespace host {
namespace {

// Presentation is paced to the display: the renderer waits for the vertical
// blank where it can, and no poll follows the one before it sooner than a
// display frame, so neither drawing nor an idle program spins a core.
constexpr uint32_t kFrameMilliseconds = 16;

class WindowFrontEnd : public ScreenFrontEnd {
  public:
    explicit WindowFrontEnd(int32_t scale) : scale_(scale) {}
    ~WindowFrontEnd() override;
    bool Open(std::string* why);
    void Poll() override;

  private:
    void Handle(const SDL_Event& event);
    void Key(SDL_Keycode key, bool down);
    void Show() override;

    int32_t scale_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::vector<uint16_t> pixels_;
    uint32_t lastPoll_ = 0;
};

WindowFrontEnd::~WindowFrontEnd() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_Quit();
}

bool WindowFrontEnd::Open(std::string* why) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        *why = std::string("the window library could not start: ") + SDL_GetError();
        return false;
    }
    // Without a display the library quietly picks a driver that shows
    // nothing; that is no window.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
        std::strcmp(driver, "dummy") == 0) {
        *why = "no display";
        return false;
    }
    const GXDisplayProperties& screen = ScreenProperties();
    const int width = static_cast<int>(screen.width);
    const int height = static_cast<int>(screen.height);
    window_ = SDL_CreateWindow("kq3d-clock", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               width * scale_, height * scale_, SDL_WINDOW_SHOWN);
    if (window_ == nullptr) {
        *why = std::string("no window: ") + SDL_GetError();
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ != nullptr) {
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                     width, height);
    }
    if (texture_ == nullptr) {
        *why = std::string("no window: ") + SDL_GetError();
        return false;
    }
    pixels_.resize(static_cast<size_t>(width) * height);
    lastPoll_ = SDL_GetTicks();
    return true;
}

// Arrows, Z/X/C for A/B/C; Enter is Start, and so is Escape.
constexpr struct {
    SDL_Keycode key;
    GXKeyEntry GXKeyList::*button;
} kKeys[] = {{SDLK_UP, &GXKeyList::up},
             {SDLK_DOWN, &GXKeyList::down},
             {SDLK_LEFT, &GXKeyList::left},
             {SDLK_RIGHT, &GXKeyList::right},
             {SDLK_z, &GXKeyList::a},
             {SDLK_x, &GXKeyList::b},
             {SDLK_c, &GXKeyList::c},
             {SDLK_RETURN, &GXKeyList::start},
             {SDLK_KP_ENTER, &GXKeyList::start},
             {SDLK_ESCAPE, &GXKeyList::start}};

void WindowFrontEnd::Key(SDL_Keycode key, bool down) {
    for (const auto& mapping : kKeys) {
        if (mapping.key == key) {
            DevicePressKey(static_cast<uint16_t>((GxCurrentKeys().*mapping.button).code), down);
            return;
        }
    }
}

void WindowFrontEnd::Handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        DeviceClose();
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        Key(event.key.keysym.sym, event.type == SDL_KEYDOWN);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT) break;
        Stylus(event.type == SDL_MOUSEBUTTONDOWN ? kMessageStylusDown : kMessageStylusUp,
               event.button.x / scale_, event.button.y / scale_);
        break;
    case SDL_MOUSEMOTION:
        if (StylusDown())
            Stylus(kMessageStylusMove, event.motion.x / scale_, event.motion.y / scale_);
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            DeviceFocus(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            DeviceFocus(false);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            DeviceClose();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            ShowAgain();
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

void WindowFrontEnd::Show() {
    const GXDisplayProperties& screen = ScreenProperties();
    const int32_t width = static_cast<int32_t>(screen.width);
    const int32_t height = static_cast<int32_t>(screen.height);
    uint16_t* out = pixels_.data();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            *out++ = ScreenPixel(x, y);
    SDL_UpdateTexture(texture_, nullptr, pixels_.data(), width * 2);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

void WindowFrontEnd::Poll() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        Handle(event);
    Deliver();
    const uint32_t since = SDL_GetTicks() - lastPoll_;
    if (since < kFrameMilliseconds)
        SDL_WaitEventTimeout(nullptr, static_cast<int>(kFrameMilliseconds - since));
    lastPoll_ = SDL_GetTicks();
}

} // namespace

FrontEnd* OpenWindowFrontEnd(int32_t scale, std::string* why) {
    auto* frontEnd = new WindowFrontEnd(scale);
    if (!frontEnd->Open(why)) {
        delete frontEnd;
        return nullptr;
    }
    return frontEnd;
}

void CloseWindowFrontEnd(FrontEnd* frontEnd) {
    delete frontEnd;
}

} // namespace host
