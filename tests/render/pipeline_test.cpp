// The renderer object: its defaults, modes and model-view, vertex processing
// (projection and lighting) and DrawMesh, including the meshes and vertices
// it refuses.
#include "render/stages.h"
#include "render_test_util.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

namespace {

// A 40x40 square, 250 in front of the camera, and room for more vertices
// than a mesh may have.
struct Square {
    Square() : vertices(kMaxScreenVertices + 1, {{0, 0, Fx(250)}, {}, 0, 0}) {
        const Fixed corners[4][2] = {{-20, 20}, {20, 20}, {20, -20}, {-20, -20}};
        for (int k = 0; k < 4; ++k)
            vertices[k].position = {Fx(corners[k][0]), Fx(corners[k][1]), Fx(250)};
    }
    // The pixels drawn of the square alone.
    int32_t Drawn(Frame& frame) {
        frame.Clear();
        frame.renderer->DrawMesh(&mesh);
        return frame.CountDrawn();
    }
    std::vector<MeshVertex> vertices;
    MeshFace faces[2] = {{0, 1, 2}, {0, 2, 3}};
    Mesh mesh{4, 6, vertices.data(), faces};
};

// Focal length 250 in a 240x240 frame, identity model-view: the square covers
// 40x40 pixels.
struct SquareFrame : Frame {
    SquareFrame() : Frame(240, 240) { renderer->focalLength = Fx(250); }
};

} // namespace

// Flat, unlit, white, the identity model-view and a focal length of the
// frame's width: the square is 40 * 240 / 250 = 38.4 pixels wide.
TEST(Renderer, DrawsAsSoonAsItIsMade) {
    Frame frame(240, 240);
    Renderer renderer(&frame.display);
    Square square;
    renderer.DrawMesh(&square.mesh);
    EXPECT_EQ(frame.CountDrawn(), 39 * 39);
    EXPECT_EQ(frame.At(120, 120), 0xFFFF);
}

// Each setter keeps the other flags and the texture; lighting picks the
// vertex routine; every setter, lighting too, leaves the filler the mode's.
TEST(Renderer, SettersKeepTheOtherModesAndReselect) {
    Frame frame(16, 16);
    Renderer& renderer = *frame.renderer;
    TestTexture texture(8, 8, 0, [](uint32_t) { return 1; });
    renderer.SetTexture(texture.get());
    for (uint32_t flags = 0; flags < 8; ++flags) {
        renderer.SetShading(flags & ModeShaded);
        renderer.SetTexture(flags & ModeTextured ? texture.get() : nullptr);
        renderer.fillTriangle = nullptr;
        renderer.SetLighting(flags & ModeLit);
        EXPECT_EQ(renderer.modeFlags, flags);
        EXPECT_EQ(renderer.texture, texture.get()) << flags;
        EXPECT_EQ(renderer.fillTriangle, triangleFillers[flags & 3]) << flags;
        EXPECT_EQ(renderer.processVertices,
                  flags & ModeLit ? ProcessVerticesLit : ProcessVerticesUnlit)
            << flags;
    }
}

// The light (0, 0.5, 1.0) seen from a model turned a quarter turn about z:
// (0.5, 0, 1.0), whether the light or the model-view comes first; the
// translation plays no part.
TEST(Renderer, SetModelViewTakesTheLightIntoTheModelInEitherOrder) {
    Frame frame(16, 16);
    Matrix turned;
    MatrixIdentity(&turned);
    MatrixTranslate(&turned, Fx(7), Fx(-3), Fx(250));
    MatrixRotateZ(&turned, 1024);
    const Vector3 light = {0, Fx(0.5), Fx(1.0)};
    for (bool lightFirst : {true, false}) {
        Renderer fresh(&frame.display);
        if (lightFirst) fresh.SetLightDirection(&light);
        fresh.SetModelView(&turned);
        if (!lightFirst) fresh.SetLightDirection(&light);
        EXPECT_EQ(fresh.lightInModel.x, Fx(0.5)) << lightFirst;
        EXPECT_EQ(fresh.lightInModel.y, 0) << lightFirst;
        EXPECT_EQ(fresh.lightInModel.z, Fx(1.0)) << lightFirst;
    }
}

// (10, 20, 250) projects to (130, 100) and (0, 0, 500) to the centre; the
// model-view moves them; u and v are copied; unlit, every vertex gets the
// diffuse colour with its top byte.
TEST(VertexStage, ProjectsThroughTheModelView) {
    SquareFrame frame;
    Renderer& renderer = *frame.renderer;
    renderer.diffuseColor = 0x12345678;
    const MeshVertex in[2] = {{{Fx(10), Fx(20), Fx(250)}, {0, 0, -kFixedOne}, 0x1234, 0x5678},
                              {{0, 0, Fx(500)}, {kFixedOne, 0, 0}, 0, 0}};
    ScreenVertex out[2];
    ProcessVerticesUnlit(&renderer, in, out, 2);
    EXPECT_EQ(out[0].x, Fx(130));
    EXPECT_EQ(out[0].y, Fx(100));
    EXPECT_EQ(out[0].depth, Fx(250));
    EXPECT_EQ(out[0].u, 0x1234);
    EXPECT_EQ(out[0].v, 0x5678);
    EXPECT_EQ(out[0].color, 0x12345678u);
    EXPECT_EQ(out[1].x, Fx(120));
    EXPECT_EQ(out[1].y, Fx(120));
    Matrix moved;
    MatrixIdentity(&moved);
    MatrixTranslate(&moved, Fx(10), 0, 0);
    renderer.SetModelView(&moved);
    ProcessVerticesUnlit(&renderer, in + 1, out, 1);
    EXPECT_EQ(out[0].x, Fx(125));
}

// ambient + diffuse * intensity per channel, clamped at 255; the top byte 0.
TEST(VertexStage, LitColourClampsEachChannel) {
    EXPECT_EQ(LitColor(0xFFFFFF, Fx(1.0), 0), 0xFFFFFFu);
    EXPECT_EQ(LitColor(0xFFFFFF, Fx(0.5), 0), 0x7F7F7Fu);
    EXPECT_EQ(LitColor(0xFFFFFF, Fx(1.0), 0x808080), 0xFFFFFFu);
    EXPECT_EQ(LitColor(0xFF0000FF, Fx(1.0), 0x102030), 0x1020FFu);
}

// A normal facing against the light's travel is lit by the dot product;
// edge-on and facing away get the ambient colour, top byte included.
TEST(VertexStage, LightsNormalsFacingTheLight) {
    SquareFrame frame;
    Renderer& renderer = *frame.renderer;
    renderer.diffuseColor = 0xFFFFFF;
    renderer.ambientColor = 0x50505050;
    MeshVertex in[3] = {{{0, 0, Fx(250)}, {0, 0, -kFixedOne}, 0, 0},
                        {{0, 0, Fx(250)}, {kFixedOne, 0, 0}, 0, 0},
                        {{0, 0, Fx(250)}, {0, 0, kFixedOne}, 0, 0}};
    ScreenVertex out[3];
    ProcessVerticesLit(&renderer, in, out, 3); // the default light travels along +z
    EXPECT_EQ(out[0].color, 0xFFFFFFu);
    EXPECT_EQ(out[1].color, 0x50505050u);
    EXPECT_EQ(out[2].color, 0x50505050u);

    // An oblique normal against an oblique light: 0.7 of white.
    renderer.ambientColor = 0;
    in[0].normal = {0, Fx(-0.6), Fx(-0.8)};
    const Vector3 light = {0, Fx(0.5), Fx(0.5)};
    renderer.SetLightDirection(&light);
    ProcessVerticesLit(&renderer, in, out, 1);
    EXPECT_EQ(out[0].color, 0xB2B2B2u);
}

TEST(DrawMesh, DrawsFrontFacesOnly) {
    SquareFrame frame;
    Square square;
    EXPECT_EQ(square.Drawn(frame), 40 * 40);
    square.faces[1] = MeshFace{0, 3, 2};              // now facing away
    EXPECT_EQ(square.Drawn(frame), 40 * 40 / 2 + 20); // the other half and its diagonal
}

// A vertex on the camera plane is not projected; no face using it is drawn.
TEST(DrawMesh, LeavesOutFacesWithAVertexAtOrBehindTheCamera) {
    SquareFrame frame;
    Square square;
    square.vertices[3].position.z = 0;
    EXPECT_EQ(square.Drawn(frame), 40 * 40 / 2 + 20);
    EXPECT_TRUE(frame.Drawn(139, 100));
    EXPECT_FALSE(frame.Drawn(100, 139));
    EXPECT_EQ(frame.renderer->screenVertices[3].behindCamera, 1u);
    square.vertices[3].position.z = Fx(250);
    square.vertices[0].position.z = -Fx(1);
    EXPECT_EQ(square.Drawn(frame), 0);
}

// Meshes the vertex buffer cannot hold, or whose indices are not whole
// triangles of its vertices, are refused whole.
TEST(DrawMesh, RefusesMeshesItCannotDraw) {
    SquareFrame frame;
    const struct {
        const char* what;
        int32_t vertexCount, indexCount;
        uint16_t lastIndex;
        int32_t drawn;
    } cases[] = {{"as many vertices as the buffer holds", kMaxScreenVertices, 6, 3, 40 * 40},
                 {"one vertex more", kMaxScreenVertices + 1, 6, 3, 0},
                 {"indices not in triples", 4, 5, 3, 0},
                 {"an index past the vertices", 4, 6, 4, 0}};
    for (const auto& c : cases) {
        Square square;
        square.mesh.vertexCount = c.vertexCount;
        square.mesh.indexCount = c.indexCount;
        square.faces[1].i2 = c.lastIndex;
        EXPECT_EQ(square.Drawn(frame), c.drawn) << c.what;
    }
}

// Consecutive triples of a positive count: 4 indices are one triangle.
TEST(DrawTriangles, DrawsTheWholeTriplesOfAPositiveCount) {
    SquareFrame frame;
    Square square;
    square.Drawn(frame);
    const ScreenVertex* projected = frame.renderer->screenVertices;
    const int32_t counts[][2] = {{0, 0}, {-3, 0}, {4, 40 * 40 / 2 + 20}};
    for (const auto& count : counts) {
        frame.Clear();
        frame.renderer->DrawTriangles(projected, &square.faces[0].i0, count[0]);
        EXPECT_EQ(frame.CountDrawn(), count[1]) << count[0];
    }
}

TEST(Renderer, GivesItsVertexBufferBack) {
    Frame frame(16, 16);
    const int32_t blocks = MemoryLevelCount(0);
    auto renderer = std::make_unique<Renderer>(&frame.display);
    EXPECT_EQ(MemoryLevelCount(0), blocks + 1);
    renderer.reset();
    EXPECT_EQ(MemoryLevelCount(0), blocks);
}

// Without its vertex buffer (the allocation failed) or a display, nothing is
// drawn and the edge tables are not touched.
TEST(Renderer, WithoutVertexBufferOrDisplayDrawsNothing) {
    SquareFrame frame;
    Renderer& renderer = *frame.renderer;
    Square square;
    MemoryFree(renderer.screenVertices);
    renderer.screenVertices = nullptr;
    EXPECT_EQ(square.Drawn(frame), 0);

    Renderer bare;
    bare.DrawMesh(&square.mesh);
    const ScreenVertex v[3] = {Vertex(0, 0), Vertex(Fx(10), 0), Vertex(0, Fx(10))};
    bare.DrawTriangles(v, &square.faces[0].i0, 3);
    EXPECT_EQ(bare.leftEdges[0].x, 0);
    EXPECT_EQ(bare.rightEdges[0].x, 0);
}
