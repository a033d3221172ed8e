// Platform stage, the screen: copying pixels onto it, the frame buffer
// (DisplayPresent) and blocks and fills at logical positions. All of them
// address the screen by the display's one rule (DisplayLogicalSteps); a
// straight screen takes rows whole, a turned one turns the pixels in tiles
// (platform/turned_copy.h).
#include "platform/display.h"
#include "platform/frame_tiles.h"
#include "platform/pixel_run.h"
#include "platform/turned_copy.h"

namespace {

// A block of the logical screen as the screen memory holds it: the address
// of its first pixel, the step from one pixel of a block row to the next
// (logical x) and from one block row to the next (logical y), and the pixels
// a row moves. A source image of rows rowLength pixels long advances
// sourceStep bytes a row. On a straight screen the pixels of a block row
// follow one another in the screen memory (rowsAlong); on a turned one the
// block's columns do.
struct ScreenBlock {
    uint8_t* first;
    ptrdiff_t pixelStep;
    ptrdiff_t rowStep;
    int32_t rowPixels;
    ptrdiff_t sourceStep;
    bool rowsAlong;
};

// The block of width x height at logical (x, y) from `origin` (the logical
// origin, or the frame's place), moved in transfers of `unit` bytes (4 or 2).
// Where rows lie along the screen memory, a row moves its whole transfers
// only, and both the screen's and the source's skip from the end of one row
// to the start of the next are cut down to whole transfers; so with 4-byte
// transfers an odd width loses its last pixel, and a skip that is not a whole
// number of them makes each row start that much short of its place. Turned
// rows move every pixel, and the source's rows lie whole pixels apart.
ScreenBlock Block(const Display* display, uint8_t* origin, int32_t x, int32_t y, int32_t width,
                  int32_t rowLength, int unit) {
    const DisplaySteps steps = DisplayLogicalSteps(display);
    ScreenBlock block{origin + x * steps.x + y * steps.y,
                      steps.x,
                      steps.y,
                      width,
                      kPixelBytes * static_cast<ptrdiff_t>(rowLength),
                      (display->formatFlags & kFormatLandscape) != 0};
    if (block.rowsAlong) {
        const ptrdiff_t transfers = ~static_cast<ptrdiff_t>(unit - 1);
        const ptrdiff_t rowBytes = (kPixelBytes * static_cast<ptrdiff_t>(width)) & transfers;
        block.rowPixels = static_cast<int32_t>(rowBytes / kPixelBytes);
        block.rowStep = rowBytes + ((steps.y - kPixelBytes * width) & transfers);
        block.sourceStep = rowBytes + ((block.sourceStep - kPixelBytes * width) & transfers);
    }
    return block;
}

void Copy(const ScreenBlock& block, const uint8_t* source, int32_t height) {
    if (!block.rowsAlong) {
        CopyTurned(block.first, -block.pixelStep, source, block.sourceStep, block.rowPixels,
                   height);
        return;
    }
    if (block.rowPixels <= 0) return;
    CopyRows(block.first, block.rowStep, source, block.sourceStep,
             kPixelBytes * static_cast<size_t>(block.rowPixels), height);
}

// In runs along the screen memory: block rows on a straight screen, block
// columns (one screen row each) on a turned one.
void Fill(const ScreenBlock& block, int32_t height, uint16_t color) {
    const PixelRun run(color);
    const bool along = block.rowsAlong;
    const int32_t runs = along ? height : block.rowPixels;
    const int32_t length = along ? block.rowPixels : height;
    const ptrdiff_t between = along ? block.rowStep : block.pixelStep;
    uint8_t* dst = block.first;
    for (int32_t i = 0; i < runs; ++i, dst += between)
        run.Fill(dst, length);
}

template <int unit>
void CopyRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
              const void* source, int32_t sourceRowLength) {
    if (source == nullptr || !DisplayBeginDraw(display)) return;
    Copy(Block(display, display->screen, x, y, width, sourceRowLength, unit),
         static_cast<const uint8_t*>(source), height);
    DisplayEndDraw(display);
}

} // namespace

// Without a frame buffer there is nothing to show: the screen is left alone.
int DisplayPresent(Display* display) {
    if (display->frameBuffer == nullptr) return 0;
    if (!DisplayBeginDraw(display)) return 0;
    Copy(Block(display, display->screen + display->frameOffset, 0, 0, display->frameWidth,
               display->frameWidth, 4),
         reinterpret_cast<const uint8_t*>(display->frameBuffer), display->frameHeight);
    DisplayEndDraw(display);
    return 1;
}

// Tiles go where DisplayPresent puts their pixels. A turned screen moves
// every pixel to its own place (where its screen rows overlap, the whole
// frame is copied in the plain order, as DisplayPresent does). A straight one
// moves rows in 4-byte transfers: tiles are 16 bytes wide, so runs of them
// keep to those whole transfers only where the frame's rows and the screen's
// steps are whole transfers too; elsewhere the whole frame is presented.
int DisplayPresentTiles(Display* display, const FrameTiles& tiles) {
    const int32_t width = display->frameWidth;
    const int32_t height = display->frameHeight;
    const bool straight = (display->formatFlags & kFormatLandscape) != 0;
    const bool wholeTransfers =
        (kPixelBytes * width) % 4 == 0 && DisplayLogicalSteps(display).y % 4 == 0;
    if (FrameTilesCoverAll(tiles, width, height) || (straight && !wholeTransfers)) {
        return DisplayPresent(display);
    }
    if (display->frameBuffer == nullptr) return 0;
    if (!DisplayBeginDraw(display)) return 0;
    const ScreenBlock frame =
        Block(display, display->screen + display->frameOffset, 0, 0, width, width, 4);
    const auto* pixels = reinterpret_cast<const uint8_t*>(display->frameBuffer);
    if (!frame.rowsAlong) {
        CopyTurnedTiles(frame.first, -frame.pixelStep, pixels, frame.sourceStep, frame.rowPixels,
                        height, tiles);
    } else {
        FrameTilesRuns(
            tiles, width, height, [&](int32_t x, int32_t y, int32_t runWidth, int32_t runHeight) {
                CopyRows(frame.first + x * frame.pixelStep + y * frame.rowStep, frame.rowStep,
                         pixels + y * frame.sourceStep + kPixelBytes * x, frame.sourceStep,
                         kPixelBytes * static_cast<size_t>(runWidth), runHeight);
            });
    }
    DisplayEndDraw(display);
    return 1;
}

void DisplayCopyRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                     const void* source, int32_t sourceRowLength) {
    CopyRect<4>(display, x, y, width, height, source, sourceRowLength);
}

void DisplayCopyRect16(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                       const void* source, int32_t sourceRowLength) {
    CopyRect<2>(display, x, y, width, height, source, sourceRowLength);
}

void DisplayFillRect(Display* display, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint16_t color) {
    if (!DisplayBeginDraw(display)) return;
    Fill(Block(display, display->screen, x, y, width, width, 4), height, color);
    DisplayEndDraw(display);
}
