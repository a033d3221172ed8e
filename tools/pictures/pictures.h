// The demo's three pictures, painted upright.
#pragma once
#include "tools/pictures/canvas.h"

// "hana01.zit": a square flower pattern, size x size (a power of two), that
// wraps left to right and top to bottom; strong colours on a dark ground so
// that its shade levels show on the lit ball.
Canvas PaintFlowers(int size);
// "yama01.zit": mountains under an evening sky over a lake, size x size.
Canvas PaintLandscape(int size);
// "title01.zit": the lettered title strip, width x height.
Canvas PaintTitle(int width, int height, const char* text);

// The three files as the demo loads them, with the upright picture each one
// shows (the background and title are stored turned for the portrait screen).
struct DemoPicture {
    const char* fileName;
    const char* previewName;
    Canvas upright;
    ZitPicture texture;
};
std::vector<DemoPicture> PaintDemoPictures();
