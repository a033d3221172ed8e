// Platform stage, the screen: the frame buffer as tiles of 8x8 pixels, each
// marked or not; what a frame's drawing may have changed, so that only those
// tiles need the background put back, or the screen brought up to date. A
// frame up to 512 x 512 pixels has a bit for each tile; a larger one, or
// `whole`, stands for every tile. Tiles at the right and bottom edges may be
// cut short by the frame's size.
#pragma once
#include <cstdint>

struct FrameTiles {
    static constexpr int32_t kSide = 8; // pixels
    static constexpr int32_t kMaxRows = 64;
    static constexpr int32_t kMaxColumns = 64;
    // Bit c of rows[r]: the tile of pixels 8c..8c+7 across, 8r..8r+7 down.
    uint64_t rows[kMaxRows];
    bool whole;
};

// No tile marked.
void FrameTilesClear(FrameTiles* tiles);
// Every tile.
void FrameTilesMarkWhole(FrameTiles* tiles);
// The tiles holding any pixel of columns left..right-1 and rows top..bottom-1;
// parts outside 0..width-1 and 0..height-1 (the frame's size) are left out.
void FrameTilesMark(FrameTiles* tiles, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    int32_t width, int32_t height);
// into = into and also the tiles of `other`.
void FrameTilesAdd(FrameTiles* into, const FrameTiles& other);
// Whether the tiles stand for every pixel of a frame of width x height:
// `whole`, or a frame too large for the bits.
bool FrameTilesCoverAll(const FrameTiles& tiles, int32_t width, int32_t height);

// The number of the lowest set bit of bits != 0.
inline int32_t LowestBit(uint64_t bits) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(bits);
#else
    int32_t n = 0;
    for (; (bits & 1) == 0; bits >>= 1)
        ++n;
    return n;
#endif
}

// The marked tiles as runs across each row of tiles: visit(x, y, w, h) for
// each, in pixels, cut to the frame of width x height (tiles marked beyond it,
// as for a larger frame, are passed over); the runs do not overlap. Call only
// when FrameTilesCoverAll is false.
template <class Visit>
void FrameTilesRuns(const FrameTiles& tiles, int32_t width, int32_t height, Visit visit) {
    const int32_t rowsHeld = (height + FrameTiles::kSide - 1) / FrameTiles::kSide;
    const int32_t tileRows = rowsHeld < FrameTiles::kMaxRows ? rowsHeld : FrameTiles::kMaxRows;
    const int32_t tileColumns = (width + FrameTiles::kSide - 1) / FrameTiles::kSide;
    const uint64_t inFrame = tileColumns >= 64  ? ~uint64_t{0}
                             : tileColumns <= 0 ? 0
                                                : (uint64_t{1} << tileColumns) - 1;
    for (int32_t r = 0; r < tileRows; ++r) {
        uint64_t bits = tiles.rows[r] & inFrame;
        const int32_t y = r * FrameTiles::kSide;
        const int32_t h = height - y < FrameTiles::kSide ? height - y : FrameTiles::kSide;
        while (bits != 0) {
            const int32_t first = LowestBit(bits);
            const uint64_t fromFirst = bits >> first;
            const int32_t count = ~fromFirst == 0 ? 64 - first : LowestBit(~fromFirst);
            bits = count + first >= 64 ? 0 : bits & (~uint64_t{0} << (first + count));
            const int32_t x = first * FrameTiles::kSide;
            const int32_t end = (first + count) * FrameTiles::kSide;
            visit(x, y, (end < width ? end : width) - x, h);
        }
    }
}
