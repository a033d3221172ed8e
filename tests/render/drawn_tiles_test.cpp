// The tiles the renderer marks as it draws: every pixel its triangles change
// lies in a marked tile, in every mode, with vertices on tile edges, off the
// frame, anywhere in 32 bits or behind the camera, drawn as triangles, a mesh
// or sorted meshes.
#include "platform/frame_tiles.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Near the frame, well off it, anywhere in 32 bits, at either end of them
// (too far from the frame for an edge's step), or on a tile's edge give or
// take the least step.
Fixed Coordinate(std::mt19937& random) {
    std::uniform_int_distribution<Fixed> nearFrame(Fx(-40), Fx(280)), nearEnd(0, Fx(300));
    switch (random() % 5) {
    case 0:
        return nearFrame(random);
    case 1:
        return 3 * nearFrame(random);
    case 2:
        return static_cast<Fixed>(random());
    case 3:
        return random() % 2 != 0 ? INT32_MIN + nearEnd(random) : INT32_MAX - nearEnd(random);
    default:
        return Fx(8 * static_cast<int32_t>(random() % 32)) + static_cast<Fixed>(random() % 3) - 1;
    }
}

struct Scene : Frame {
    TestTexture texture{64, 64, 4, Numbered};
    FrameTiles tiles{};
    std::mt19937 random{17};

    Scene(int32_t width, int32_t height) : Frame(width, height) {}
    void Start(int32_t mode) {
        renderer->SetShading(mode & 1);
        renderer->SetTexture(mode & 2 ? texture.get() : nullptr);
        renderer->SetLighting(mode & 4);
        renderer->drawnTiles = &tiles;
        FrameTilesClear(&tiles);
        Clear();
    }
    // Pixels changed outside the marked tiles.
    int32_t Outside() const {
        int32_t outside = 0;
        for (int32_t y = 0; y < display.frameHeight; ++y) {
            for (int32_t x = 0; x < display.frameWidth; ++x)
                outside += Drawn(x, y) && (tiles.rows[y / 8] >> (x / 8) & 1) == 0;
        }
        return outside;
    }
};

} // namespace

TEST(DrawnTiles, HoldEveryPixelTrianglesChange) {
    for (const auto& size : {std::make_pair(240, 240), std::make_pair(203, 177)}) {
        Scene scene(size.first, size.second);
        int32_t drawn = 0;
        for (int32_t trial = 0; trial < 1600; ++trial) {
            scene.Start(trial % 4);
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
            scene.renderer->DrawTriangles(v, indices, 15);
            ASSERT_EQ(scene.Outside(), 0) << "trial " << trial;
            drawn += scene.CountDrawn();
        }
        EXPECT_GT(drawn, 100000);
    }
}

// Seen from close by (huge screen coordinates), across the camera plane and
// behind it, lit and unlit.
TEST(DrawnTiles, HoldEveryPixelMeshesChange) {
    Scene scene(240, 240);
    SortSpace space;
    ASSERT_EQ(SortSpaceCreate(&space, 16, 12), 1);
    std::uniform_int_distribution<Fixed> across(Fx(-300), Fx(300)), depth(Fx(-50), Fx(400));
    for (int32_t trial = 0; trial < 1600; ++trial) {
        MeshVertex vertices[16];
        MeshFace faces[12];
        for (MeshVertex& vertex : vertices) {
            vertex = {{across(scene.random), across(scene.random), depth(scene.random)},
                      {0, 0, -kFixedOne},
                      static_cast<Fixed>(scene.random()),
                      static_cast<Fixed>(scene.random())};
        }
        for (MeshFace& face : faces) {
            face = {static_cast<uint16_t>(scene.random() % 8),
                    static_cast<uint16_t>(scene.random() % 8),
                    static_cast<uint16_t>(scene.random() % 8)};
        }
        const Mesh meshes[2] = {{8, 18, vertices, faces}, {8, 18, vertices + 8, faces + 6}};
        scene.Start(trial % 8);
        scene.renderer->DrawMesh(&meshes[0]);
        ASSERT_EQ(scene.Outside(), 0) << "mesh, trial " << trial;
        scene.Start(trial % 8);
        scene.renderer->DrawMeshesSorted(meshes, 2, &space);
        ASSERT_EQ(scene.Outside(), 0) << "sorted, trial " << trial;
    }
    SortSpaceRelease(&space);
}

// Vertices too far apart across for an edge's step (it wraps and leaves their
// box): the whole width over their rows, 89..125.
TEST(DrawnTiles, VerticesTooFarApartMarkTheWholeWidth) {
    Scene scene(240, 240);
    scene.Start(0);
    const ScreenVertex v[3] = {Vertex(Fx(-32547), Fx(89.3)), Vertex(Fx(228.5), Fx(102.4)),
                               Vertex(Fx(82), Fx(125.8))};
    const uint16_t indices[3] = {0, 1, 2};
    scene.renderer->DrawTriangles(v, indices, 3);
    for (int32_t r = 0; r < 30; ++r)
        EXPECT_EQ(scene.tiles.rows[r], r >= 11 && r <= 15 ? (1u << 30) - 1 : 0u) << "row " << r;
}

// A program's own filler may draw anywhere: every tile. Without a display
// nothing is marked; without tiles the drawing is the same.
TEST(DrawnTiles, OwnFillersMarkEveryTile) {
    Scene scene(240, 240), plain(240, 240);
    const ScreenVertex v[3] = {Vertex(Fx(8), Fx(8)), Vertex(Fx(20), Fx(8)), Vertex(Fx(8), Fx(20))};
    const uint16_t indices[3] = {0, 1, 2};
    scene.Start(0);
    scene.renderer->fillTriangle = [](Renderer*, const ScreenVertex*, const ScreenVertex*,
                                      const ScreenVertex*) {};
    scene.renderer->DrawTriangles(v, indices, 3);
    EXPECT_TRUE(scene.tiles.whole);

    scene.Start(0);
    Renderer bare;
    bare.drawnTiles = &scene.tiles;
    bare.DrawTriangles(v, indices, 3);
    EXPECT_EQ(scene.tiles.rows[1], 0u);
    scene.renderer->DrawTriangles(v, indices, 3);
    plain.renderer->DrawTriangles(v, indices, 3);
    EXPECT_EQ(scene.pixels, plain.pixels);
}
