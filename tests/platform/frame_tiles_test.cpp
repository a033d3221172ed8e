// The frame's tiles: rectangles marked and clipped to the frame, the runs
// visited across each tile row, the union and when the tiles stand for all.
#include "platform/frame_tiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

namespace {

FrameTiles Cleared() {
    FrameTiles tiles;
    FrameTilesClear(&tiles);
    return tiles;
}

// Tile columns first..last as the bits of a row.
uint64_t Columns(int32_t first, int32_t last) {
    uint64_t bits = 0;
    for (int32_t c = first; c <= last; ++c)
        bits |= uint64_t{1} << c;
    return bits;
}

using TileRun = std::tuple<int32_t, int32_t, int32_t, int32_t>; // x, y, width, height

std::vector<TileRun> Runs(const FrameTiles& tiles, int32_t width, int32_t height) {
    std::vector<TileRun> runs;
    FrameTilesRuns(tiles, width, height, [&](int32_t x, int32_t y, int32_t w, int32_t h) {
        runs.emplace_back(x, y, w, h);
    });
    return runs;
}

} // namespace

// Pixels [left, right) x [top, bottom) cut to the frame: the tiles they touch,
// up to column and row 63, and no others.
TEST(FrameTiles, MarksTheTilesOfTheRectangleCutToTheFrame) {
    const struct {
        const char* what;
        int32_t left, top, right, bottom, width, height;
        int32_t firstColumn, lastColumn, firstRow, lastRow; // last < first: none
    } cases[] = {
        {"ending on tile edges", 8, 7, 16, 24, 240, 240, 1, 1, 0, 2},
        {"over the top left", -5, -9, 3, 1, 240, 240, 0, 0, 0, 0},
        {"over the bottom right", 235, 230, 1000, 1000, 237, 233, 29, 29, 28, 29},
        {"beyond every side", INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 240, 240, 0, 29, 0, 29},
        {"the last column and row", 504, 500, 600, 513, 512, 512, 63, 63, 62, 63},
        {"a frame wider than the bits", 0, 0, 4000, 8, 4000, 8, 0, 63, 0, 0},
        {"empty", 20, 20, 20, 40, 240, 240, 0, -1, 0, -1},
        {"right to left", 30, 20, 20, 40, 240, 240, 0, -1, 0, -1},
        {"left of the frame", -20, 0, 0, 40, 240, 240, 0, -1, 0, -1},
        {"below the frame", 0, 240, 40, 300, 240, 240, 0, -1, 0, -1},
    };
    for (const auto& c : cases) {
        FrameTiles tiles = Cleared();
        FrameTilesMark(&tiles, c.left, c.top, c.right, c.bottom, c.width, c.height);
        for (int32_t r = 0; r < FrameTiles::kMaxRows; ++r) {
            const bool inRows = r >= c.firstRow && r <= c.lastRow;
            EXPECT_EQ(tiles.rows[r], inRows ? Columns(c.firstColumn, c.lastColumn) : 0)
                << c.what << ", row " << r;
        }
    }
}

// One run per stretch of neighbouring marked tiles, cut at the frame's right
// and bottom edges (237 x 229: 30 columns and 29 rows of tiles, the last ones
// 5 pixels); tiles beyond the frame are not visited.
TEST(FrameTiles, RunsVisitNeighboursTogetherCutToTheFrame) {
    FrameTiles tiles = Cleared();
    tiles.rows[0] = Columns(0, 2) | Columns(5, 5);
    tiles.rows[3] = Columns(27, 29) | Columns(31, 40);
    tiles.rows[28] = Columns(0, 0) | Columns(29, 29);
    tiles.rows[29] = Columns(0, 63);
    EXPECT_EQ(
        Runs(tiles, 237, 229),
        (std::vector<TileRun>{
            {0, 0, 24, 8}, {40, 0, 8, 8}, {216, 24, 21, 8}, {0, 224, 8, 5}, {232, 224, 5, 5}}));
    tiles = Cleared();
    tiles.rows[1] = Columns(0, 0) | Columns(62, 63);
    tiles.rows[63] = Columns(0, 63);
    EXPECT_EQ(Runs(tiles, 512, 512),
              (std::vector<TileRun>{{0, 8, 8, 8}, {496, 8, 16, 8}, {0, 504, 512, 8}}));
}

TEST(FrameTiles, AddTakesTheUnionAndWholeCoversAllAsATooLargeFrame) {
    FrameTiles a = Cleared(), b = Cleared();
    FrameTilesMark(&a, 0, 0, 16, 8, 240, 240);
    FrameTilesMark(&b, 8, 0, 40, 16, 240, 240);
    FrameTilesAdd(&a, b);
    EXPECT_EQ(a.rows[0], Columns(0, 4));
    EXPECT_EQ(a.rows[1], Columns(1, 4));
    EXPECT_FALSE(FrameTilesCoverAll(a, 512, 512));
    EXPECT_TRUE(FrameTilesCoverAll(a, 513, 8));
    EXPECT_TRUE(FrameTilesCoverAll(a, 8, 513));
    FrameTilesMarkWhole(&b);
    FrameTilesAdd(&a, b);
    EXPECT_TRUE(FrameTilesCoverAll(a, 8, 8));
}
