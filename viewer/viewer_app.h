// Viewer stage, the application: one OBJ model, centred and scaled to the
// screen, turning under one light, drawn far to near in one of the four fill
// modes; the caption bands name the file and show the triangle count, the
// mode and the frames per second.
#pragma once
#include "host/handles.h"
#include "math/color.h"
#include "math/fixed.h"
#include "platform/app.h"
#include "render/renderer.h"
#include "resource/obj_model.h"

#include <cstdint>

struct Texture;

enum class FillMode : uint8_t { kFlat, kShaded, kTextured, kTexturedShaded };
constexpr int kFillModes = 4;

// The model's radius: its box's half-diagonal, in model units.
constexpr Fixed kModelRadius = 64 * kFixedOne;

// The caption's lines, of at most 38 of the device font's 6-pixel cells.
constexpr int kCaptionLines = 4;
constexpr int kCaptionCharacters = 38;
using CaptionLine = char16_t[kCaptionCharacters + 1];

// The picture of the textured modes: the file given (16 shade levels; square
// with a power-of-two side), or a checkerboard when the name is null. Null
// after one line saying why.
Texture* ViewerTexture(const char* name);

class ViewerApp final : public App {
  public:
    // Takes the loaded model and picture over; the renderer and the space
    // for the sorted drawing are made for them.
    ViewerApp(host::InstanceHandle instance, const char* modelName, const ObjModel& model,
              Texture* texture);
    ~ViewerApp();

    // Keys, one turn, the frame drawn and presented, the caption brought up
    // to date.
    void OnFrame() override;
    // The screen black and the caption drawn afresh.
    void OnActivate() override;

    // The key bits of this frame: A, B and C act when pressed, the arrows
    // while held, Start ends.
    void TakeKeys(uint32_t keys);
    void DrawModel();
    void DrawCaptionBands(bool afresh);
    // True when everything the frame needs was had.
    bool Ready() const;

    Renderer* renderer = nullptr; // owned
    ObjModel model = {};          // owned
    Texture* texture = nullptr;   // owned
    SortSpace space;
    CaptionLine name = {}; // the model's file name, as the caption shows it
    FillMode mode = FillMode::kTexturedShaded;
    bool lit = true;
    bool spinning = true;
    int32_t angleY = 0;    // the turn about the model's y axis
    int32_t rockPhase = 0; // where the tilt is in its rocking
    Fixed distance = kModelRadius * 9 / 4;
    uint32_t lastKeys = 0;
    uint32_t frames = 0;
    int32_t rate = 0;                           // frames per second, in hundredths
    CaptionLine shownLines[kCaptionLines] = {}; // the caption as last drawn
};
