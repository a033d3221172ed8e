// spinning-cube: a textured, lit cube that turns. A, B and C choose the fill
// (flat, shaded, textured), Start ends. The device around it gives it every
// option of the device (--headless, --frames, --screenshot, ...; try --help).
#include "cube.h"

#include <kq3d/math/color.h>
#include <kq3d/platform/app.h>
#include <kq3d/platform/startup.h>
#include <kq3d/render/renderer.h>
#include <kq3d/resource/memory.h>

#include <initializer_list>
#include <new>

namespace {

constexpr int32_t kFrameSide = 240;
constexpr int32_t kFrameLeft = 40; // centres the frame on the 320-pixel screen
constexpr Fixed kHalfSide = 48 * kFixedOne;
constexpr Fixed kDistance = 200 * kFixedOne;
constexpr RgbColor kColor = PackRgb(0xE0, 0xA0, 0x40);
constexpr RgbColor kAmbient = PackRgb(0x30, 0x30, 0x30);
constexpr RgbColor kBackground = PackRgb(0x20, 0x30, 0x40);
constexpr host::DeviceColor kCaptionColor = host::PackDeviceColor(0xC0, 0xC0, 0xC0);
// From the upper left of the device's screen and from in front, of length 1.0,
// in the frame's axes: the display shows the frame a quarter turn round
// (platform/display.h), so camera x runs up the screen and camera y to its left.
constexpr Vector3 kLight = {-27600, -22090, 55190};

class CubeApp final : public App {
  public:
    explicit CubeApp(host::InstanceHandle instance)
        : App(instance, kFrameSide, kFrameSide, u"spinning-cube") {
        CubeMake(&cube, kHalfSide);
        picture = CubePicture();
        if (display == nullptr) return;
        DisplayPlace(display, kFrameLeft, 0);
        renderer = new (std::nothrow) Renderer(display);
        if (renderer == nullptr) return;
        renderer->SetLightDirection(&kLight);
        renderer->SetLighting(true);
        renderer->ambientColor = kAmbient;
        renderer->BuildShadeRamp(kColor);
        Fill(KeyC);
    }
    ~CubeApp() {
        delete renderer;
        TextureDelete(picture);
    }

    bool Ready() const { return renderer != nullptr && picture != nullptr; }

    // A flat, B shaded, C textured. Flat faces take the lit colour itself;
    // the shaded and textured fillers take an intensity from a white light
    // and their colours from the shade ramp or the picture.
    void Fill(uint32_t key) {
        renderer->SetShading(key != KeyA);
        renderer->SetTexture(key == KeyC ? picture : nullptr);
        renderer->diffuseColor = key == KeyA ? kColor : kWhite;
    }

    void OnFrame() override {
        const uint32_t keys = currentKeyInput->keys;
        if ((keys & KeyStart) != 0) {
            AppPostQuit(0);
            return;
        }
        for (uint32_t key : {KeyA, KeyB, KeyC})
            if ((keys & key) != 0) Fill(key);
        if (frames++ == 0) OnActivate();

        // In front of the camera, turned back against the display's quarter
        // turn so the cube's y is up on the device, then spun.
        Matrix m;
        MatrixIdentity(&m);
        MatrixTranslate(&m, 0, 0, kDistance);
        MatrixRotateZ(&m, -kDisplayTurn);
        MatrixRotateX(&m, static_cast<int>(frames * 7));
        MatrixRotateY(&m, static_cast<int>(frames * 11));
        renderer->SetModelView(&m);
        DisplayClearFrame(display, PackRgb565(kBackground));
        renderer->DrawMesh(&cube.mesh);
        DisplayPresent(display);
    }

    // The screen black, and the keys named below the frame.
    void OnActivate() override {
        DisplayFillRect(display, 0, 0, display->width, display->height, 0);
        DrawCaption(9, 300, kCaptionColor, 0, u"A flat B shaded C textured Start ends");
    }

    Cube cube = {};
    Texture* picture = nullptr;
    Renderer* renderer = nullptr;
    uint32_t frames = 0;
};

} // namespace

// The program's main: the device calls it through the program's entry.
int AppMain(host::InstanceHandle instance, host::InstanceHandle, char16_t*, int32_t) {
    MemoryInit();
    MemoryLevelSetup(1024, 0);
    CubeApp* app = new (std::nothrow) CubeApp(instance);
    // Without its window no message reaches the program, and without its key
    // input Start is never seen.
    if (app == nullptr || !app->Ready() || app->window == nullptr ||
        app->window->handle == nullptr || currentKeyInput == nullptr) {
        delete app;
        return 1;
    }
    app->Run();
    delete app;
    return 0;
}
