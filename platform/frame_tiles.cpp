// Platform stage, the screen: marking the frame's tiles.
#include "platform/frame_tiles.h"

#include <algorithm>
#include <iterator>

void FrameTilesClear(FrameTiles* tiles) {
    std::fill(std::begin(tiles->rows), std::end(tiles->rows), uint64_t{0});
    tiles->whole = false;
}

void FrameTilesMarkWhole(FrameTiles* tiles) {
    tiles->whole = true;
}

void FrameTilesMark(FrameTiles* tiles, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    int32_t width, int32_t height) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    if (left >= right || top >= bottom) return;
    const int32_t firstRow = top / FrameTiles::kSide;
    const int32_t lastRow = std::min((bottom - 1) / FrameTiles::kSide, FrameTiles::kMaxRows - 1);
    const int32_t firstColumn = left / FrameTiles::kSide;
    const int32_t lastColumn =
        std::min((right - 1) / FrameTiles::kSide, FrameTiles::kMaxColumns - 1);
    if (firstRow > lastRow || firstColumn > lastColumn) return;
    // Bits firstColumn..lastColumn, without shifting by 64.
    const uint64_t upTo = lastColumn == 63 ? ~uint64_t{0} : (uint64_t{2} << lastColumn) - 1;
    const uint64_t bits = upTo & (~uint64_t{0} << firstColumn);
    for (int32_t r = firstRow; r <= lastRow; ++r)
        tiles->rows[r] |= bits;
}

void FrameTilesAdd(FrameTiles* into, const FrameTiles& other) {
    for (int32_t r = 0; r < FrameTiles::kMaxRows; ++r)
        into->rows[r] |= other.rows[r];
    into->whole = into->whole || other.whole;
}

bool FrameTilesCoverAll(const FrameTiles& tiles, int32_t width, int32_t height) {
    return tiles.whole || width > FrameTiles::kSide * FrameTiles::kMaxColumns ||
           height > FrameTiles::kSide * FrameTiles::kMaxRows;
}
