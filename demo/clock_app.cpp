// The clock application: construction, scene set-up, the frame, the title
// page and the teardown.
#include "demo/clock_app.h"

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
    if (display != nullptr) DisplayPlace(display, 40, 0);
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
    // clearing; without a usable picture the frame is cleared to black.
    if (TextureFitsBackground(backgroundTexture)) {
        renderer->BlitOpaque(backgroundTexture, 0, 0, kFrameSide, kFrameSide, 0, 0);
    } else {
        DisplayClearFrame(display, 0);
    }

    MatrixPush();
    MatrixTranslate(matrixTop, 0, 0, kCameraDistance);
    MatrixRotateZ(matrixTop, -kQuarterTurn);
    ResetDrawList();

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
    renderer->diffuseColor = 0xFFFFFF;
    renderer->ambientColor = 0;
    renderer->BuildShadeRamp(0xFFFFFF);
    renderer->SetModelView(matrixTop);
    renderer->DrawMesh(&BallMesh);
    MatrixPop();
    MatrixPop();

    BuildClock();
    DisplayPresent(display);
}

void ClockApp::DrawTitlePage() {
    if (display != nullptr) DisplayFillRect(display, 0, 0, display->width, display->height, 0);
    DrawCaption(162, 307, 0xFFFF, 0, u"KQ 3D Engine ");
    if (display != nullptr && TextureFitsTitle(titleTexture)) {
        DisplayCopyRect(display, 280, 0, kTitleWidth, kFrameSide, titleTexture->texels,
                        titleTexture->width);
    }
}

void ClockApp::TearDown() {
    TextureDelete(flowerTexture);
    TextureDelete(backgroundTexture);
    TextureDelete(titleTexture);
}
