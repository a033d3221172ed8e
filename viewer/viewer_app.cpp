// Viewer stage, the application: keys, the turn, the sorted drawing of the
// model in its fill mode, and the caption bands above and below the frame.
#include "viewer/viewer_app.h"

#include "platform/display.h"
#include "platform/key_input.h"
#include "resource/debug.h"
#include "resource/texture.h"

#include <cstdarg>
#include <new>
#include <string>

namespace {

constexpr Fixed kFocalLength = 250 * kFixedOne;
// The nearest point of the model stays half a radius in front of the camera.
constexpr Fixed kNearest = kModelRadius * 3 / 2;
constexpr Fixed kFarthest = 16 * kModelRadius;
constexpr int kDistanceShift = 5; // up and down move by 1/32 of the distance a frame
constexpr int32_t kTurnStep = 32; // a frame, while left or right is held
// While spinning the model turns about its y axis and rocks its tilt
// toward the viewer between 10 and 40 degrees, so a flat model is seen
// from above and a round one from every side.
constexpr int32_t kSpinY = 12; // a frame
constexpr int32_t kRockStep = 6;
constexpr int32_t kTilt = 284; // 25 degrees
constexpr int32_t kRock = 171; // 15 degrees
constexpr int32_t kFrameSide = 240;
constexpr int32_t kFrameLeft = 40; // the frame's place on the landscape screen

// Light from the upper left of the device's screen and from in front of it,
// given in the frame's own axes: the display shows the frame turned
// (platform/display.h), so camera x runs up the device's screen and camera y
// to its left. Of length 1.0.
constexpr Vector3 kLight = {-27600, -22090, 55190};
constexpr RgbColor kModelColor = PackRgb(0xE8, 0xB0, 0x60);
constexpr RgbColor kAmbient = PackRgb(0x30, 0x30, 0x30); // faces turned from the light still show
constexpr RgbColor kBackground = PackRgb(0x18, 0x28, 0x38);

// The caption: two lines in the band above the frame, two below (window
// coordinates on the portrait screen).
constexpr int32_t kCaptionX = 6;
constexpr int32_t kCaptionY[kCaptionLines] = {6, 22, 286, 302};
constexpr host::DeviceColor kCaptionWhite = host::PackDeviceColor(0xFF, 0xFF, 0xFF);
constexpr host::DeviceColor kCaptionGrey = host::PackDeviceColor(0xB0, 0xB0, 0xB0);
constexpr host::DeviceColor kCaptionColor[kCaptionLines] = {kCaptionWhite, kCaptionGrey,
                                                            kCaptionGrey, kCaptionGrey};
constexpr size_t kCaptionRoom = kCaptionCharacters + 1;
constexpr int kRateFrames = 30; // the frames per second are measured over this many

constexpr const char16_t* kModeNames[kFillModes] = {u"flat", u"shaded", u"textured",
                                                    u"textured, shade levels"};

constexpr int kCheckerSide = 64;
constexpr int kCheckerSquare = 8;

// Bytes widened as the file layer widens names.
void Widen(char16_t* out, size_t capacity, const char* text) {
    size_t k = 0;
    for (; text[k] != 0 && k + 1 < capacity; ++k)
        out[k] = static_cast<char16_t>(static_cast<int16_t>(static_cast<int8_t>(text[k])));
    out[k] = 0;
}

void Format(CaptionLine& out, const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    WideFormat(out, kCaptionRoom, format, args);
    va_end(args);
}

} // namespace

Texture* ViewerTexture(const char* name) {
    Texture* texture = TextureNew();
    if (texture == nullptr) return nullptr;
    if (name == nullptr) {
        uint16_t texels[kCheckerSide * kCheckerSide];
        for (int y = 0; y < kCheckerSide; ++y) {
            for (int x = 0; x < kCheckerSide; ++x) {
                const bool dark = ((x / kCheckerSquare) + (y / kCheckerSquare)) % 2 != 0;
                texels[y * kCheckerSide + x] =
                    PackRgb565(dark ? PackRgb(0xA0, 0x40, 0x28) : PackRgb(0xF0, 0xE0, 0xC0));
            }
        }
        if (!TextureCreate(texture, kCheckerSide, kCheckerSide, 4, texels)) TextureDelete(texture);
        return texture;
    }
    char16_t wide[128];
    Widen(wide, 128, name);
    if (!TextureLoadZit(texture, name, 4)) {
        DebugPrint(u"%s: no such picture, or it cannot be read", wide);
        TextureDelete(texture);
        return nullptr;
    }
    if (!TextureFitsTriangles(texture)) {
        DebugPrint(u"%s: a picture for triangles is square with a side of a power of two, not "
                   u"%dx%d",
                   wide, texture->width, texture->height);
        TextureDelete(texture);
    }
    return texture;
}

ViewerApp::ViewerApp(host::InstanceHandle instance, const char* modelName, const ObjModel& loaded,
                     Texture* picture)
    : App(instance, kFrameSide, kFrameSide, u"kq3d-view"), model(loaded), texture(picture) {
    if (display != nullptr) {
        DisplayPlace(display, kFrameLeft, 0);
        renderer = new (std::nothrow) Renderer(display);
    }
    if (renderer != nullptr) renderer->SetLightDirection(&kLight);
    SortSpaceCreate(&space, model.vertexCount, model.triangleCount);
    // The caption shows the file's own name, without its folders.
    const char* file = modelName;
    for (const char* p = modelName; *p != 0; ++p) {
        if (*p == '/') file = p + 1;
    }
    Widen(name, kCaptionCharacters + 1, file);
}

ViewerApp::~ViewerApp() {
    delete renderer;
    SortSpaceRelease(&space);
    ObjModelRelease(&model);
    TextureDelete(texture);
}

bool ViewerApp::Ready() const {
    return display != nullptr && renderer != nullptr && space.vertices != nullptr &&
           model.meshes != nullptr && texture != nullptr;
}

void ViewerApp::TakeKeys(uint32_t keys) {
    const uint32_t pressed = keys & ~lastKeys;
    lastKeys = keys;
    if ((pressed & KeyA) != 0)
        mode = static_cast<FillMode>((static_cast<int>(mode) + 1) % kFillModes);
    if ((pressed & KeyB) != 0) lit = !lit;
    if ((pressed & KeyC) != 0) spinning = !spinning;
    if ((keys & KeyLeft) != 0) angleY -= kTurnStep;
    if ((keys & KeyRight) != 0) angleY += kTurnStep;
    if ((keys & KeyUp) != 0) {
        distance -= distance >> kDistanceShift;
        if (distance < kNearest) distance = kNearest;
    }
    if ((keys & KeyDown) != 0) {
        distance += distance >> kDistanceShift;
        if (distance > kFarthest) distance = kFarthest;
    }
    if (spinning) {
        angleY = (angleY + kSpinY) & kAngleMask;
        rockPhase = (rockPhase + kRockStep) & kAngleMask;
    }
    angleY &= kAngleMask;
}

void ViewerApp::OnFrame() {
    const uint32_t keys = currentKeyInput != nullptr ? currentKeyInput->keys : 0;
    if ((keys & KeyStart) != 0) {
        AppPostQuit(0);
        return;
    }
    if (!Ready()) return;
    TakeKeys(keys);
    rate = TickTimerRate(&timer, kRateFrames);
    // The first frame clears the whole screen, so the caption goes first.
    DrawCaptionBands(frames++ == 0);
    DrawModel();
    DisplayPresent(display);
}

void ViewerApp::OnActivate() {
    if (Ready()) DrawCaptionBands(true);
}

// The model in front of the camera, turned back by the display's quarter turn
// so its y axis is up on the device's screen, then by its own angles.
void ViewerApp::DrawModel() {
    DisplayClearFrame(display, PackRgb565(kBackground));
    Matrix m;
    MatrixIdentity(&m);
    MatrixTranslate(&m, 0, 0, distance);
    MatrixRotateZ(&m, -kDisplayTurn);
    MatrixRotateX(&m, -kTilt - FixMul(Sin(rockPhase), kRock << 16) / kFixedOne);
    MatrixRotateY(&m, angleY);

    const bool shaded = mode == FillMode::kShaded || mode == FillMode::kTexturedShaded;
    const bool textured = mode == FillMode::kTextured || mode == FillMode::kTexturedShaded;
    renderer->focalLength = kFocalLength;
    renderer->SetLighting(lit);
    renderer->SetShading(shaded);
    renderer->SetTexture(textured ? texture : nullptr);
    // Flat faces take the lit colour itself; the shaded and textured fillers
    // take an intensity from the low byte, so the light is white for them
    // and the colour comes from the ramp or the picture.
    renderer->diffuseColor = mode == FillMode::kFlat ? kModelColor : kWhite;
    renderer->ambientColor = kAmbient;
    renderer->BuildShadeRamp(kModelColor);
    renderer->SetModelView(&m);
    renderer->DrawMeshesSorted(model.meshes, model.meshCount, &space);
}

void ViewerApp::DrawCaptionBands(bool afresh) {
    CaptionLine lines[kCaptionLines];
    Format(lines[0], u"%s", name);
    Format(lines[1], u"%d triangles in %d %s", model.triangleCount, model.meshCount,
           model.meshCount == 1 ? u"mesh" : u"meshes");
    Format(lines[2], u"%s, %s", kModeNames[static_cast<int>(mode)], lit ? u"lit" : u"unlit");
    // The first measurement covers the frames since the timer was reset.
    if (frames > kRateFrames) {
        Format(lines[3], u"%d fps    A mode  B light  C spin", rate / 100);
    } else {
        Format(lines[3], u"-- fps    A mode  B light  C spin");
    }
    if (afresh) {
        DisplayFillRect(display, 0, 0, display->width, display->height, 0);
        for (CaptionLine& line : shownLines)
            line[0] = 0;
    }
    for (int k = 0; k < kCaptionLines; ++k) {
        // Padded to the full width, so a shorter line covers a longer one.
        for (size_t c = std::char_traits<char16_t>::length(lines[k]); c < kCaptionCharacters; ++c)
            lines[k][c] = u' ';
        lines[k][kCaptionCharacters] = 0;
        if (std::char_traits<char16_t>::compare(lines[k], shownLines[k], kCaptionRoom) == 0)
            continue;
        DrawCaption(kCaptionX, kCaptionY[k], kCaptionColor[k], 0, u"%s", lines[k]);
        std::char_traits<char16_t>::copy(shownLines[k], lines[k], kCaptionRoom);
    }
}
