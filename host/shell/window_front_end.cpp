#include "host/shell/window_front_end.h"

#include "host/gx.h"
#include "host/screen.h"
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

class WindowFrontEnd : public FrontEnd {
  public:
    explicit WindowFrontEnd(int32_t scale) : scale_(scale) {}
    ~WindowFrontEnd() override;
    bool Open(std::string* why);
    void Poll() override;

  private:
    void Handle(const SDL_Event& event);
    void Key(SDL_Keycode key, bool down);
    void Show();
    int32_t ScreenX(int32_t windowX) const;
    int32_t ScreenY(int32_t windowY) const;

    int32_t scale_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::vector<uint16_t> pixels_;
    uint64_t shownGeneration_ = ~0ull;
    uint32_t lastPoll_ = 0;
    bool stylusDown_ = false;
    bool movePending_ = false;
    int32_t moveX_ = 0;
    int32_t moveY_ = 0;
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

int32_t WindowFrontEnd::ScreenX(int32_t windowX) const {
    const int32_t x = windowX / scale_;
    const int32_t last = static_cast<int32_t>(ScreenProperties().width) - 1;
    return x < 0 ? 0 : (x > last ? last : x);
}

int32_t WindowFrontEnd::ScreenY(int32_t windowY) const {
    const int32_t y = windowY / scale_;
    const int32_t last = static_cast<int32_t>(ScreenProperties().height) - 1;
    return y < 0 ? 0 : (y > last ? last : y);
}

// Arrows, Z/X/C for A/B/C; Enter is Start, and so is Escape.
void WindowFrontEnd::Key(SDL_Keycode key, bool down) {
    const GXKeyList& keys = GxCurrentKeys();
    const GXKeyEntry* entry = nullptr;
    switch (key) {
    case SDLK_UP:
        entry = &keys.up;
        break;
    case SDLK_DOWN:
        entry = &keys.down;
        break;
    case SDLK_LEFT:
        entry = &keys.left;
        break;
    case SDLK_RIGHT:
        entry = &keys.right;
        break;
    case SDLK_z:
        entry = &keys.a;
        break;
    case SDLK_x:
        entry = &keys.b;
        break;
    case SDLK_c:
        entry = &keys.c;
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_ESCAPE:
        entry = &keys.start;
        break;
    default:
        return;
    }
    DevicePressKey(static_cast<uint16_t>(entry->code), down);
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
        stylusDown_ = event.type == SDL_MOUSEBUTTONDOWN;
        movePending_ = false;
        DeviceStylus(stylusDown_ ? kMessageStylusDown : kMessageStylusUp, ScreenX(event.button.x),
                     ScreenY(event.button.y));
        break;
    case SDL_MOUSEMOTION:
        // The program takes one message per frame: moves are gathered into
        // the newest position so they never queue up behind the frames.
        if (!stylusDown_) break;
        movePending_ = true;
        moveX_ = ScreenX(event.motion.x);
        moveY_ = ScreenY(event.motion.y);
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
            shownGeneration_ = ~0ull;
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
    if (movePending_) {
        movePending_ = false;
        DeviceStylus(kMessageStylusMove, moveX_, moveY_);
    }
    const uint64_t generation = ScreenGeneration();
    if (generation != shownGeneration_) {
        shownGeneration_ = generation;
        Show();
    }
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
