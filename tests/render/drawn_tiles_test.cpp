// The tiles the renderer marks as it draws: every pixel its triangles change
// lies in a marked tile, in every mode, with vertices on tile edges, off the
// frame, anywhere in 32 bits or behind the camera, drawn as triangles, a mesh
// or sorted meshes.
#include "platform/frame_tiles.h"
#include "render/stages.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The first pixel changed outside the marked tiles, and how many there are.
struct Outside {
    int32_t count = 0;
    int32_t x = -1, y = -1;
};

Outside ChangedOutside(const Frame& frame, const FrameTiles& tiles) {
    Outside outside;
    for (int32_t y = 0; y < frame.display.frameHeight; ++y) {
        for (int32_t x = 0; x < frame.display.frameWidth; ++x) {
            if (!frame.Drawn(x, y) || (tiles.rows[y / 8] >> (x / 8) & 1) != 0) continue;
            if (outside.count++ == 0) outside.x = x, outside.y = y;
        }
    }
    return outside;
}

// A coordinate near the frame, well off it, anywhere in 32 bits, at either
// end of them (vertices there and near the frame are too far apart for an
// edge's step), or on a tile's edge give or take the least step.
Fixed Coordinate(std::mt19937& random) {
    std::uniform_int_distribution<Fixed> nearEnd(0, Fx(300));
    switch (random() % 5) {
    case 0:
        return std::uniform_int_distribution<Fixed>(Fx(-40), Fx(280))(random);
    case 1:
        return std::uniform_int_distribution<Fixed>(Fx(-400), Fx(640))(random);
    case 2:
        return static_cast<Fixed>(random());
    case 3:
        return random() % 2 != 0 ? INT32_MIN + nearEnd(random) : INT32_MAX - nearEnd(random);
    default:
        return Fx(8 * static_cast<int32_t>(random() % 32)) + static_cast<Fixed>(random() % 3) - 1;
    }
}

struct Scene {
    Frame frame;
    TestTexture texture{64, 64, 4, Numbered};
    FrameTiles tiles{};
    std::mt19937 random{17};
    int32_t drawn = 0; // pixels drawn in all the trials

    Scene(int32_t width, int32_t height) : frame(width, height) {}
    void Start(int32_t mode) {
        Renderer& renderer = *frame.renderer;
        renderer.SetShading(mode & 1);
        renderer.SetTexture(mode & 2 ? texture.get() : nullptr);
        renderer.SetLighting(mode & 4);
        renderer.drawnTiles = &tiles;
        FrameTilesClear(&tiles);
        frame.Clear();
    }
    void Check(const char* how, int32_t mode, int32_t trial) {
        const Outside outside = ChangedOutside(frame, tiles);
        ASSERT_EQ(outside.count, 0) << how << ", mode " << mode << ", trial " << trial
                                    << ", first at " << outside.x << "," << outside.y;
        drawn += frame.CountDrawn();
    }
};

} // namespace

TEST(DrawnTiles, HoldEveryPixelTrianglesChange) {
    for (const auto& size : {std::make_pair(240, 240), std::make_pair(203, 177)}) {
        Scene scene(size.first, size.second);
        for (int32_t mode = 0; mode < 4; ++mode) {
            for (int32_t trial = 0; trial < 400; ++trial) {
                scene.Start(mode);
                ScreenVertex v[8];
                for (ScreenVertex& vertex : v) {
                    vertex = Vertex(Coordinate(scene.random), Coordinate(scene.random),
                                    scene.random() & 0xFFFFFF, static_cast<Fixed>(scene.random()),
                                    static_cast<Fixed>(scene.random()));
                    vertex.behindCamera = scene.random() % 8 == 0;
                }
                uint16_t indices[15];
                for (uint16_t& index : indices)
                    index = static_cast<uint16_t>(scene.random() % 8);
                scene.frame.renderer->DrawTriangles(v, indices, 15);
                ASSERT_NO_FATAL_FAILURE(scene.Check("triangles", mode, trial));
            }
        }
        EXPECT_GT(scene.drawn, 100000);
    }
}

// Meshes seen from close by (huge screen coordinates), across the camera
// plane and behind it, lit and unlit.
TEST(DrawnTiles, HoldEveryPixelMeshesChange) {
    Scene scene(240, 240);
    SortSpace space;
    ASSERT_EQ(SortSpaceCreate(&space, 16, 12), 1);
    std::uniform_int_distribution<Fixed> across(Fx(-300), Fx(300)), depth(Fx(-50), Fx(400));
    for (int32_t mode = 0; mode < 8; ++mode) {
        for (int32_t trial = 0; trial < 200; ++trial) {
            MeshVertex vertices[2][8];
            MeshFace faces[2][6];
            Mesh meshes[2];
            for (int32_t m = 0; m < 2; ++m) {
                for (MeshVertex& vertex : vertices[m]) {
                    vertex.position = {across(scene.random), across(scene.random),
                                       depth(scene.random)};
                    vertex.normal = {0, 0, -kFixedOne};
                    vertex.u = static_cast<Fixed>(scene.random());
                    vertex.v = static_cast<Fixed>(scene.random());
                }
                for (MeshFace& face : faces[m]) {
                    face = {static_cast<uint16_t>(scene.random() % 8),
                            static_cast<uint16_t>(scene.random() % 8),
                            static_cast<uint16_t>(scene.random() % 8)};
                }
                meshes[m] = Mesh{8, 18, vertices[m], faces[m]};
            }
            scene.Start(mode);
            scene.frame.renderer->DrawMesh(&meshes[0]);
            ASSERT_NO_FATAL_FAILURE(scene.Check("mesh", mode, trial));
            scene.Start(mode);
            scene.frame.renderer->DrawMeshesSorted(meshes, 2, &space);
            ASSERT_NO_FATAL_FAILURE(scene.Check("sorted meshes", mode, trial));
        }
    }
    EXPECT_GT(scene.drawn, 100000);
    SortSpaceRelease(&space);
}

// Whole pixels from the left and top vertex up to the right and bottom one,
// excluded where it lies on a pixel's edge: here columns 8..23 and rows
// 10..31. Vertices too far apart across for an edge's step (which wraps and
// leaves the box) mark the frame's whole width over their rows, 89..125.
TEST(DrawnTiles, ATriangleMarksTheTilesOfItsVerticesBox) {
    const struct {
        const char* what;
        ScreenVertex v[3];
        int32_t firstRow, lastRow;
        uint64_t columns;
    } cases[] = {
        {"near",
         {Vertex(Fx(8), Fx(10.5)), Vertex(Fx(24), Fx(10.5)), Vertex(Fx(15), Fx(32))},
         1,
         3,
         0b110},
        {"far apart",
         {Vertex(Fx(-32547), Fx(89.3)), Vertex(Fx(228.5), Fx(102.4)), Vertex(Fx(82), Fx(125.8))},
         11,
         15,
         (uint64_t{1} << 30) - 1},
    };
    for (const auto& c : cases) {
        Frame frame(240, 240);
        FrameTiles tiles;
        FrameTilesClear(&tiles);
        frame.renderer->drawnTiles = &tiles;
        const uint16_t indices[3] = {0, 1, 2};
        frame.renderer->DrawTriangles(c.v, indices, 3);
        for (int32_t r = 0; r < 30; ++r) {
            EXPECT_EQ(tiles.rows[r], r >= c.firstRow && r <= c.lastRow ? c.columns : 0)
                << c.what << ", row " << r;
        }
        EXPECT_FALSE(tiles.whole) << c.what;
        EXPECT_GT(frame.CountDrawn(), 0) << c.what;
    }
}

// A program's own filler may draw anywhere: every tile. Without tiles or
// without a display nothing is marked, and drawing is the same.
TEST(DrawnTiles, OwnFillersMarkEveryTileAndNoTilesMarkNothing) {
    Frame frame(240, 240), plain(240, 240);
    Renderer& renderer = *frame.renderer;
    FrameTiles tiles;
    FrameTilesClear(&tiles);
    renderer.drawnTiles = &tiles;
    const ScreenVertex v[3] = {Vertex(Fx(8), Fx(8)), Vertex(Fx(20), Fx(8)), Vertex(Fx(8), Fx(20))};
    const uint16_t indices[3] = {0, 1, 2};
    renderer.fillTriangle = [](Renderer*, const ScreenVertex*, const ScreenVertex*,
                               const ScreenVertex*) {};
    renderer.DrawTriangles(v, indices, 3);
    EXPECT_TRUE(tiles.whole);

    renderer.SelectFiller();
    renderer.drawnTiles = nullptr;
    renderer.DrawTriangles(v, indices, 3);
    plain.renderer->drawnTiles = &tiles;
    FrameTilesClear(&tiles);
    plain.renderer->DrawTriangles(v, indices, 3);
    EXPECT_EQ(frame.pixels, plain.pixels);

    FrameTilesClear(&tiles);
    Renderer bare;
    bare.drawnTiles = &tiles;
    bare.DrawTriangles(v, indices, 3);
    EXPECT_FALSE(tiles.whole);
    EXPECT_EQ(tiles.rows[1], 0u);
}
