// The renderer object: modes, vertex processing (projection and lighting) and
// DrawMesh, including the meshes and vertices it refuses.
#include "render/stages.h"
#include "render_test_util.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

// Lighting picks only the vertex routine; SetTexture(null) keeps the texture.
TEST(Modes, FillerFollowsShadingAndTextureOnly) {
    Frame frame(16, 16);
    Renderer& renderer = *frame.renderer;
    TestTexture texture(8, 8, 0, [](uint32_t) { return 1; });
    const TriangleRoutine fillers[4] = {DrawTriangleFlat, DrawTriangleShaded, DrawTriangleTextured,
                                        DrawTriangleTexturedShaded};
    renderer.SetTexture(texture.get());
    for (uint32_t flags = 0; flags < 8; ++flags) {
        renderer.SetShading(flags & ModeShaded);
        renderer.SetTexture(flags & ModeTextured ? texture.get() : nullptr);
        renderer.SetLighting(flags & ModeLit);
        EXPECT_TRUE(renderer.modeFlags == flags && renderer.fillTriangle == fillers[flags & 3] &&
                    renderer.texture == texture.get())
            << flags;
        EXPECT_EQ(renderer.processVertices,
                  flags & ModeLit ? ProcessVerticesLit : ProcessVerticesUnlit);
    }
}

// Focal length 250: (10, 20, 250) projects to (130, 100) after the
// model-view matrix. Lit: ambient + diffuse * -d per channel, clamped; d >= 0:
// the ambient colour. A 40x40-pixel square 250 in front: nothing is drawn of
// back faces, faces touching the camera plane, meshes the buffer cannot hold
// or whose indices are not whole triangles of its vertices, or without buffer
// or display.
TEST(DrawMesh, ProjectsLightsAndDrawsOnlyWhatItCan) {
    Frame frame(240, 240);
    Renderer& renderer = *frame.renderer;
    MatrixIdentity(&renderer.modelView);
    renderer.focalLength = Fx(250);
    renderer.diffuseColor = 0x12345678;
    MeshVertex in[3] = {{{Fx(10), Fx(20), Fx(250)}, {0, 0, -kFixedOne}, 0x1234, 0x5678},
                        {{0, 0, Fx(500)}, {kFixedOne, 0, 0}, 0, 0},
                        {{0, 0, Fx(500)}, {0, 0, kFixedOne}, 0, 0}};
    ScreenVertex out[3];
    ProcessVerticesUnlit(&renderer, in, out, 2);
    EXPECT_TRUE(out[0].x == Fx(130) && out[0].y == Fx(100) && out[0].depth == Fx(250) &&
                out[0].u == 0x1234 && out[0].v == 0x5678 && out[0].color == 0x12345678u);
    EXPECT_TRUE(out[1].x == Fx(120) && out[1].y == Fx(120) && out[1].color == 0x12345678u);
    MatrixTranslate(&renderer.modelView, Fx(10), 0, 0);
    ProcessVerticesUnlit(&renderer, in + 1, out, 1);
    EXPECT_EQ(out[0].x, Fx(125));

    EXPECT_EQ(LitColor(0xFFFFFF, Fx(1.0), 0), 0xFFFFFFu);
    EXPECT_EQ(LitColor(0xFFFFFF, Fx(0.5), 0), 0x7F7F7Fu);
    EXPECT_EQ(LitColor(0xFF0000FF, Fx(1.0), 0x102030), 0x1020FFu);
    renderer.diffuseColor = 0xFFFFFF;
    renderer.ambientColor = 0x50505050;
    renderer.lightInModel = {0, 0, kFixedOne}; // travelling along +z
    ProcessVerticesLit(&renderer, in, out, 3);
    EXPECT_TRUE(out[0].color == 0xFFFFFFu && out[1].color == 0x50505050u &&
                out[2].color == 0x50505050u); // facing the light, edge-on, facing away
    renderer.ambientColor = 0;
    in[0].normal = {0, Fx(-0.6), Fx(-0.8)};
    renderer.lightInModel = {0, Fx(0.5), Fx(1.0)};
    ProcessVerticesLit(&renderer, in, out, 1);
    const Fixed d = FixMul(Fx(-0.6), Fx(0.5)) + FixMul(Fx(-0.8), Fx(1.0));
    EXPECT_EQ(out[0].color, LitColor(0xFFFFFF, -d, 0));

    MatrixIdentity(&renderer.modelView);
    std::vector<MeshVertex> vertices(kMaxScreenVertices + 1, {{0, 0, Fx(250)}, {}, 0, 0});
    const Fixed corners[4][2] = {{-20, 20}, {20, 20}, {20, -20}, {-20, -20}};
    for (int k = 0; k < 4; ++k)
        vertices[k].position = {Fx(corners[k][0]), Fx(corners[k][1]), Fx(250)};
    MeshFace faces[2] = {{0, 1, 2}, {0, 2, 3}};
    Mesh square{4, 6, vertices.data(), faces};
    const auto drawn = [&] {
        frame.Clear();
        renderer.DrawMesh(&square);
        return frame.CountDrawn();
    };
    EXPECT_EQ(drawn(), 40 * 40);
    faces[1] = MeshFace{0, 3, 2};         // now facing away
    EXPECT_EQ(drawn(), 40 * 40 / 2 + 20); // the other half and its diagonal
    faces[1] = MeshFace{0, 2, 3};
    vertices[3].position.z = 0;
    EXPECT_EQ(drawn(), 40 * 40 / 2 + 20);
    EXPECT_TRUE(frame.Drawn(139, 100) && !frame.Drawn(100, 139));
    EXPECT_EQ(renderer.screenVertices[3].behindCamera, 1u); // not projected
    vertices[3].position.z = Fx(250);
    vertices[0].position.z = -Fx(1);
    EXPECT_EQ(drawn(), 0);
    vertices[0].position.z = Fx(250);

    square.vertexCount = kMaxScreenVertices + 1;
    EXPECT_EQ(drawn(), 0);
    square.vertexCount = kMaxScreenVertices;
    EXPECT_EQ(drawn(), 40 * 40);
    square.indexCount = 5;
    EXPECT_EQ(drawn(), 0);
    square = Mesh{4, 6, vertices.data(), faces};
    faces[1].i2 = 4;
    EXPECT_EQ(drawn(), 0);
    faces[1].i2 = 3;
    for (int32_t count : {0, -3, 4}) // the whole triples of a positive count
        renderer.DrawTriangles(renderer.screenVertices, &faces[0].i0, count);
    EXPECT_TRUE(frame.Drawn(139, 100) && !frame.Drawn(100, 139));

    const int32_t blocks = MemoryLevelCount(0);
    std::make_unique<Renderer>(&frame.display).reset(); // gives its buffer back
    EXPECT_EQ(MemoryLevelCount(0), blocks);
    MemoryFree(renderer.screenVertices);
    renderer.screenVertices = nullptr;
    EXPECT_EQ(drawn(), 0);
    Renderer bare;
    bare.SetLighting(false);
    bare.SetShading(false);
    bare.DrawMesh(&square);
    const ScreenVertex v[3] = {Vertex(0, 0), Vertex(Fx(10), 0), Vertex(0, Fx(10))};
    bare.DrawTriangles(v, &faces[0].i0, 3);
}
