// Clock stage, the application: the title page, then every frame the
// mountain background, a spinning textured ball and the three-dimensional
// clock seen through the animated camera, presented on the device's screen.
#pragma once
#include "demo/camera.h"
#include "demo/draw_list.h"
#include "host/handles.h"
#include "platform/app.h"
#include "platform/frame_tiles.h"

#include <cstdint>

class Renderer;
struct Texture;

// The program's name: its window's class and title.
constexpr char16_t kClockName[] = u"kq3d-clock";

class ClockApp final : public App {
  public:
    // The App with its window, display and key input, then the renderer for
    // that display. Textures are loaded by SetUpScene.
    ClockApp(host::InstanceHandle instance, int32_t frameWidth, int32_t frameHeight,
             const char16_t* title);
    // main never destroys the application (the process ends around it); one
    // that is destroyed takes its textures and renderer with it.
    ~ClockApp();

    void OnFrame() override;
    void OnPaint() override {}
    void OnDeactivate() override {}
    void OnActivate() override { DrawTitlePage(); }

    // Frame buffer placed beside the title strip, textures loaded, ball given
    // its texture coordinates, light, colours and camera set.
    void SetUpScene();
    // Black screen, caption, title strip.
    void DrawTitlePage();
    // Releases the textures.
    void TearDown();

    // Local time, one camera step, the fifteen nodes placed, sorted and drawn.
    void BuildClock();

    // The matrix stack of the App: the bottom entry, push (copy the current
    // matrix into the next entry and make it current) and pop.
    void MatrixStackReset();
    void MatrixPush();
    void MatrixPop();

    Renderer* renderer = nullptr;         // owned
    Texture* flowerTexture = nullptr;     // "hana01.zit": the ball
    Texture* backgroundTexture = nullptr; // "yama01.zit": 240x240 background
    Texture* titleTexture = nullptr;      // "title01.zit": the title strip
    int32_t introFrames = 10;
    int32_t ballAngleX = 0;
    int32_t ballAngleY = 0;
    DrawList drawList = {};
    CameraAnimation animation = {};
    // The frame's tiles the last scene frame drew on, over the background,
    // and those the frame being drawn does: only they change from one frame
    // to the next. Every tile until a scene frame has drawn the whole frame
    // and the screen shows it (set again when the title page covers it).
    FrameTiles lastDrawn = {{}, true};
    FrameTiles drawn = {{}, true};
    bool screenShowsFrame = false;
};

// Whether a loaded texture fits its use; an empty one fits none. The ball's
// rule is the renderer's own, TextureFitsTriangles (resource/texture.h).
bool TextureFitsBackground(const Texture* texture); // at least 240x240
bool TextureFitsTitle(const Texture* texture);      // at least 40 wide, 240 high
