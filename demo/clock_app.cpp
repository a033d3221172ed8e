// Clock stage, the application: construction, scene set-up, the frame, the
// clock built in it, the title page and the teardown.
#include "demo/clock_app.h"

#include "demo/clock_face.h"
#include "host/clock.h"
#include "platform/display.h"
#include "platform/key_input.h"
#include "render/renderer.h"
#include "resource/texture.h"

#include <new>

namespace {

constexpr uint32_t kQuitKeys = KeyA | KeyB | KeyC | KeyStart;
constexpr Fixed kFocalLength = 0xFA0000;  // 250.0
constexpr Fixed kBallDistance = 0x1E0000; // 30.0
constexpr int32_t kBallTurnY = 19;        // per scene frame
constexpr int32_t kBallTurnX = 3;
constexpr int32_t kFrameSide = 240;
constexpr int32_t kTitleWidth = 40;
// On the logical screen the frame lies at x 40..279 and the title strip at
// 280..319; the caption is written on the window, in the band of the device's
// screen below the frame, on the black of logical x 0..39.
constexpr int32_t kFrameLeft = 40;
constexpr int32_t kTitleLeft = kFrameLeft + kFrameSide;
constexpr int32_t kCaptionX = 162;
constexpr int32_t kCaptionY = 307;
constexpr host::DeviceColor kCaptionColor = host::PackDeviceColor(0xFF, 0xFF, 0x00); // yellow

bool HasTexels(const Texture* texture) {
    return texture != nullptr && texture->texelBlock != nullptr && texture->texels != nullptr;
}

// An object for the texture, emptied, then loaded; an object that cannot be
// had leaves the pointer none and the texture unused.
Texture* LoadTexture(const char* name, int levelBits) {
    Texture* texture = TextureNew();
    if (texture != nullptr) TextureLoadZit(texture, name, levelBits);
    return texture;
}

} // namespace

bool TextureFitsBackground(const Texture* texture) {
    return HasTexels(texture) && texture->width >= kFrameSide && texture->height >= kFrameSide;
}

bool TextureFitsTitle(const Texture* texture) {
    return HasTexels(texture) && texture->width >= kTitleWidth && texture->height >= kFrameSide;
}

ClockApp::ClockApp(host::InstanceHandle instance, int32_t frameWidth, int32_t frameHeight,
                   const char16_t* title)
    : App(instance, frameWidth, frameHeight, title) {
    if (display != nullptr) renderer = new (std::nothrow) Renderer(display);
}

ClockApp::~ClockApp() {
    TearDown();
    delete renderer;
}

void ClockApp::MatrixStackReset() {
    matrixTop = &matrixStack[0];
    MatrixIdentity(matrixTop);
}

void ClockApp::MatrixPush() {
    matrixTop[1] = matrixTop[0];
    ++matrixTop;
}

void ClockApp::MatrixPop() {
    --matrixTop;
}

void ClockApp::SetUpScene() {
    if (display != nullptr) DisplayPlace(display, kFrameLeft, 0);
    flowerTexture = LoadTexture("hana01.zit", 4);
    backgroundTexture = LoadTexture("yama01.zit", 0);
    titleTexture = LoadTexture("title01.zit", 0);
    GenerateCylindricalUV(BallMesh.vertices, BallMesh.vertexCount);

    CameraAnimationStart(&animation, renderer);
    if (renderer != nullptr) {
        renderer->ambientColor = 0x50505050;
        renderer->diffuseColor = 0xFFFFFFFF;
    }
}

// The order of every step is part of the picture: the camera step between the
// ball and the clock changes the light the clock is drawn with.
void ClockApp::OnFrame() {
    if (currentKeyInput != nullptr && (currentKeyInput->keys & kQuitKeys) != 0) {
        AppPostQuit(0);
        return;
    }
    if (introFrames != 0) {
        DrawTitlePage();
        --introFrames;
        return;
    }
    if (display == nullptr || renderer == nullptr) return;

    MatrixStackReset();
    renderer->focalLength = kFocalLength;
    // The background covers the whole frame, so the last frame needs no
    // clearing; outside the tiles it drew on the frame still holds the
    // background, so only those take it again. Without a usable picture the
    // frame is cleared to black.
    const bool background = TextureFitsBackground(backgroundTexture);
    if (background) {
        renderer->BlitOpaqueTiles(backgroundTexture, lastDrawn);
    } else {
        DisplayClearFrame(display, 0);
    }
    FrameTilesClear(&drawn);
    if (!background) FrameTilesMarkWhole(&drawn);
    renderer->drawnTiles = &drawn;

    MatrixPush();
    MatrixTranslate(matrixTop, 0, 0, kCameraDistance);
    MatrixRotateZ(matrixTop, -kDisplayTurn);
    ResetDrawList(&drawList);

    // The ball: lit, a texture shade level picked per pixel. Without a usable
    // texture it is shaded from the white ramp instead.
    MatrixPush();
    MatrixTranslate(matrixTop, 0, 0, kBallDistance);
    MatrixRotateY(matrixTop, ballAngleY);
    MatrixRotateX(matrixTop, ballAngleX);
    ballAngleY += kBallTurnY;
    ballAngleX += kBallTurnX;
    renderer->SetLighting(true);
    renderer->SetShading(true);
    // A ball texture the fillers cannot draw is left out, as a missing one.
    renderer->SetTexture(TextureFitsTriangles(flowerTexture) ? flowerTexture : nullptr);
    renderer->diffuseColor = kWhite;
    renderer->ambientColor = 0;
    renderer->BuildShadeRamp(kWhite);
    renderer->SetModelView(matrixTop);
    renderer->DrawMesh(&BallMesh);
    MatrixPop();
    MatrixPop();

    BuildClock();
    renderer->drawnTiles = nullptr;
    // The screen differs from the frame where either frame drew.
    FrameTiles changed = drawn;
    FrameTilesAdd(&changed, lastDrawn);
    if (!screenShowsFrame) FrameTilesMarkWhole(&changed);
    screenShowsFrame = DisplayPresentTiles(display, changed) != 0;
    lastDrawn = drawn;
}

// The camera matrix is the stack's next entry while the face is placed; the
// camera's step comes first, as it may turn the light the clock is drawn with.
void ClockApp::BuildClock() {
    host::SystemTime time{};
    host::GetLocalTime(&time);

    MatrixPush();
    AnimateCamera(&animation, renderer);
    MatrixRotateZ(matrixTop, -kDisplayTurn);
    MatrixTranslate(matrixTop, 0, 0, kCameraDistance + animation.zoom);
    MatrixRotateX(matrixTop, animation.angleX);
    MatrixRotateY(matrixTop, animation.angleY);
    PlaceClockFace(&drawList, matrixTop, time.hour, time.minute, time.second);
    MatrixPop();
    DrawDrawList(&drawList, renderer);
}

void ClockApp::DrawTitlePage() {
    screenShowsFrame = false;
    if (display != nullptr) DisplayFillRect(display, 0, 0, display->width, display->height, 0);
    DrawCaption(kCaptionX, kCaptionY, kCaptionColor, 0, u"KQ 3D Engine ");
    if (display != nullptr && TextureFitsTitle(titleTexture)) {
        DisplayCopyRect(display, kTitleLeft, 0, kTitleWidth, kFrameSide, titleTexture->texels,
                        titleTexture->width);
    }
}

void ClockApp::TearDown() {
    TextureDelete(flowerTexture);
    TextureDelete(backgroundTexture);
    TextureDelete(titleTexture);
}
