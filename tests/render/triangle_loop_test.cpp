// DrawTriangles: the mode's own loop over a mesh's triangles draws what
// fillTriangle draws one front face at a time, and a routine a program puts
// in fillTriangle is called for each front face instead.
#include "render/stages.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<const ScreenVertex*> gFilled;

void Record(Renderer*, const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) {
    gFilled.insert(gFilled.end(), {a, b, c});
}

// Random triangles, about half of them back faces, some partly off the frame,
// some with a vertex behind the camera, some lit evenly; then one in front.
std::vector<ScreenVertex> RandomVertices(std::mt19937& random, int triangles) {
    std::vector<ScreenVertex> vertices;
    for (int t = 0; t < triangles; ++t) {
        auto v = RandomTriangle(random, Fx(-20), Fx(84));
        if (t % 3 == 0) {
            for (auto& vertex : v)
                vertex.color = (vertex.color & ~0xFFu) | (v[0].color & 0xFF);
        }
        if (t % 17 == 0) v[t % 3].behindCamera = 1;
        vertices.insert(vertices.end(), v.begin(), v.end());
    }
    // Last, a front face in the middle of the frame, over the others.
    vertices.insert(vertices.end(), {Vertex(Fx(10), Fx(10), 0x123456, 0, 0),
                                     Vertex(Fx(40), Fx(12), 0x123456, Fx(0.9), 0),
                                     Vertex(Fx(20), Fx(40), 0x123456, 0, Fx(0.9))});
    return vertices;
}

} // namespace

// Each mode, on a frame whose view has shrunk below its rows since the
// renderer was made (the rows drawn stop at the view's end).
TEST(TriangleLoops, DrawWhatFillTriangleDraws) {
    std::mt19937 random(12);
    const std::vector<ScreenVertex> vertices = RandomVertices(random, 300);
    std::vector<uint16_t> indices(vertices.size());
    for (size_t k = 0; k < indices.size(); ++k)
        indices[k] = static_cast<uint16_t>(k);
    const char* const modes[4] = {"flat", "shaded", "textured", "textured shaded"};
    for (uint32_t mode = 0; mode < 4; ++mode) {
        Frame loop(64, 64), single(64, 64);
        TestTexture texture(64, 64, 4, Numbered);
        for (Frame* frame : {&loop, &single}) {
            frame->renderer->viewHeight = Fx(50);
            frame->renderer->BuildShadeRamp(0x80FF40);
            frame->renderer->SetTexture(mode & ModeTextured ? texture.get() : nullptr);
            frame->renderer->SetShading(mode & ModeShaded);
        }
        loop.renderer->DrawTriangles(vertices.data(), indices.data(),
                                     static_cast<int32_t>(indices.size()));
        Renderer& one = *single.renderer;
        for (size_t k = 0; k < vertices.size(); k += 3) {
            if (IsDrawnFace(vertices[k], vertices[k + 1], vertices[k + 2]))
                one.fillTriangle(&one, &vertices[k], &vertices[k + 1], &vertices[k + 2]);
        }
        EXPECT_GT(loop.CountDrawn(), 64 * 20) << modes[mode];
        EXPECT_EQ(loop.pixels, single.pixels) << modes[mode];
        for (int32_t x = 0; x < 64; ++x)
            ASSERT_FALSE(loop.Drawn(x, 50)) << modes[mode] << ", column " << x;
    }
}

TEST(TriangleLoops, AProgramsOwnFillTriangleGetsEachFrontFace) {
    Frame frame(32, 32);
    const ScreenVertex vertices[4] = {Vertex(Fx(2), Fx(2)), Vertex(Fx(20), Fx(2)),
                                      Vertex(Fx(20), Fx(20)), Vertex(Fx(2), Fx(20))};
    // Front, back, front.
    const uint16_t indices[9] = {0, 1, 2, 0, 2, 1, 0, 2, 3};
    frame.renderer->fillTriangle = Record;
    gFilled.clear();
    frame.renderer->DrawTriangles(vertices, indices, 9);
    const std::vector<const ScreenVertex*> expected = {&vertices[0], &vertices[1], &vertices[2],
                                                       &vertices[0], &vertices[2], &vertices[3]};
    EXPECT_EQ(gFilled, expected);
    EXPECT_EQ(frame.CountDrawn(), 0);
}
