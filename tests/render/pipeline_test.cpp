// The renderer object: modes, vertex processing (projection and lighting) and
// DrawMesh, including the meshes and vertices it refuses.
#include "render/renderer.h"
#include "render_test_util.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

namespace {

TEST(Modes, FillerFollowsShadingAndTextureOnly) {
    Frame frame(16, 16);
    auto renderer = MakeRenderer(frame);
    EXPECT_EQ(renderer->modeFlags, 0u);
    EXPECT_EQ(renderer->viewWidth, Fx(16));
    EXPECT_EQ(renderer->viewHeight, Fx(16));
    ASSERT_NE(renderer->screenVertices, nullptr);

    TestTexture texture(8, 8, 0);
    renderer->SetShading(true);
    EXPECT_EQ(renderer->fillTriangle, DrawTriangleShaded);
    renderer->SetTexture(texture.get());
    EXPECT_EQ(renderer->fillTriangle, DrawTriangleTexturedShaded);
    renderer->SetShading(false);
    EXPECT_EQ(renderer->fillTriangle, DrawTriangleTextured);
    renderer->SetTexture(nullptr);
    EXPECT_EQ(renderer->fillTriangle, DrawTriangleFlat);
    EXPECT_EQ(renderer->texture, texture.get()); // kept
    renderer->SetShading(true);
    renderer->SetTexture(nullptr);
    EXPECT_EQ(renderer->fillTriangle, DrawTriangleShaded);

    // Lighting changes the vertex routine and bit 2, never the filler.
    renderer->SetLighting(true);
    EXPECT_EQ(renderer->processVertices, ProcessVerticesLit);
    EXPECT_EQ(renderer->fillTriangle, DrawTriangleShaded);
    EXPECT_EQ(renderer->modeFlags, ModeLit | ModeShaded);
    renderer->SetLighting(false);
    EXPECT_EQ(renderer->processVertices, ProcessVerticesUnlit);
    EXPECT_EQ(renderer->modeFlags, ModeShaded);

    for (uint32_t flags = 0; flags < 8; ++flags) {
        renderer->modeFlags = flags;
        renderer->SelectFiller();
        EXPECT_EQ(renderer->fillTriangle, triangleFillers[flags & 3]);
    }
    EXPECT_EQ(triangleFillers[0], DrawTriangleFlat);
    EXPECT_EQ(triangleFillers[1], DrawTriangleShaded);
    EXPECT_EQ(triangleFillers[2], DrawTriangleTextured);
    EXPECT_EQ(triangleFillers[3], DrawTriangleTexturedShaded);
}

TEST(VertexProcessing, ProjectionAndFlatColour) {
    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    MatrixIdentity(&renderer->modelView);
    renderer->focalLength = Fx(250);
    renderer->diffuseColor = 0x12345678;
    MeshVertex in[2] = {};
    in[0].position = {Fx(10), Fx(20), Fx(250)};
    in[0].u = 0x1234;
    in[0].v = 0x5678;
    in[1].position = {0, 0, Fx(500)};
    in[1].normal = {0, 0, -kFixedOne}; // ignored when unlit
    ScreenVertex out[2];
    ProcessVerticesUnlit(renderer.get(), in, out, 2);
    EXPECT_EQ(out[0].x, Fx(130));
    EXPECT_EQ(out[0].y, Fx(100));
    EXPECT_EQ(out[0].depth, Fx(250));
    EXPECT_EQ(out[0].u, 0x1234);
    EXPECT_EQ(out[0].v, 0x5678);
    EXPECT_EQ(out[0].behindCamera, 0u);
    EXPECT_EQ(out[1].x, Fx(120));
    EXPECT_EQ(out[1].y, Fx(120));
    EXPECT_EQ(out[0].color, 0x12345678u);
    EXPECT_EQ(out[1].color, 0x12345678u);

    // The model-view matrix is applied first (here a move of 10 along x).
    MatrixTranslate(&renderer->modelView, Fx(10), 0, 0);
    ProcessVerticesUnlit(renderer.get(), in + 1, out, 1);
    EXPECT_EQ(out[0].x, Fx(125));
}

TEST(VertexProcessing, Lighting) {
    EXPECT_EQ(LitColor(0xFFFFFF, Fx(1.0), 0), 0xFFFFFFu);
    EXPECT_EQ(LitColor(0xFFFFFF, Fx(0.5), 0), 0x7F7F7Fu);
    EXPECT_EQ(LitColor(0xFFFFFF, Fx(1.0), 0x808080), 0xFFFFFFu);
    EXPECT_EQ(LitColor(0x0000FF, Fx(1.0), 0x102030), 0x1020FFu);
    EXPECT_EQ(LitColor(0xFF804020, Fx(0.25), 0x01010101), 0x00211109u); // top bytes dropped

    Frame frame(240, 240);
    auto renderer = MakeRenderer(frame);
    MatrixIdentity(&renderer->modelView);
    renderer->focalLength = Fx(250);
    renderer->diffuseColor = 0xFFFFFF;
    renderer->ambientColor = 0x50505050;
    renderer->lightInModel = {0, 0, kFixedOne}; // travelling along +z
    MeshVertex in[3] = {};
    for (auto& vertex : in)
        vertex.position = {0, 0, Fx(100)};
    in[0].normal = {0, 0, -kFixedOne}; // facing the light
    in[1].normal = {kFixedOne, 0, 0};  // edge-on: d = 0
    in[2].normal = {0, 0, kFixedOne};  // facing away
    ScreenVertex out[3];
    ProcessVerticesLit(renderer.get(), in, out, 3);
    EXPECT_EQ(out[0].color, 0xFFFFFFu); // 0x50 + 255, clamped, top byte 0
    EXPECT_EQ(out[1].color, 0x50505050u);
    EXPECT_EQ(out[2].color, 0x50505050u);
    renderer->ambientColor = 0;
    in[0].normal = {0, Fx(-0.6), Fx(-0.8)};
    renderer->lightInModel = {0, Fx(0.5), Fx(1.0)}; // not unit length: scales the intensity
    ProcessVerticesLit(renderer.get(), in, out, 1);
    const Fixed d = FixMul(Fx(-0.6), Fx(0.5)) + FixMul(Fx(-0.8), Fx(1.0));
    EXPECT_EQ(out[0].color, LitColor(0xFFFFFF, -d, 0));
}

// A small scene through DrawMesh: a square of two triangles 250 in front.
struct Square {
    Square() {
        const Fixed corners[4][2] = {
            {-Fx(20), Fx(20)}, {Fx(20), Fx(20)}, {Fx(20), -Fx(20)}, {-Fx(20), -Fx(20)}};
        for (int k = 0; k < 4; ++k) {
            vertices[k] = MeshVertex{};
            vertices[k].position = {corners[k][0], corners[k][1], Fx(250)};
        }
        faces[0] = MeshFace{0, 1, 2};
        faces[1] = MeshFace{0, 2, 3};
        mesh = Mesh{4, 6, vertices, faces};
    }
    MeshVertex vertices[4];
    MeshFace faces[2];
    Mesh mesh;
};

class DrawMeshTest : public ::testing::Test {
  protected:
    DrawMeshTest() : frame(240, 240), renderer(MakeRenderer(frame)) {
        MatrixIdentity(&renderer->modelView);
        renderer->focalLength = Fx(250);
        renderer->diffuseColor = 0xFFFFFF;
        renderer->SetLighting(false);
        renderer->SetShading(false);
        renderer->SetTexture(nullptr);
    }
    Frame frame;
    std::unique_ptr<Renderer> renderer;
    Square square;
};

TEST_F(DrawMeshTest, DrawsFrontFacesOnly) {
    renderer->DrawMesh(&square.mesh);
    EXPECT_EQ(frame.CountDrawn(), 40 * 40);
    EXPECT_TRUE(frame.Drawn(100, 100));
    EXPECT_FALSE(frame.Drawn(140, 100));
    frame.Clear();
    square.faces[1] = MeshFace{0, 3, 2}; // now facing away
    renderer->DrawMesh(&square.mesh);
    EXPECT_EQ(frame.CountDrawn(), 40 * 40 / 2 + 20); // the other half and its diagonal
}

TEST_F(DrawMeshTest, TrianglesTouchingTheCameraPlaneAreNotDrawn) {
    square.vertices[3].position.z = 0;
    renderer->DrawMesh(&square.mesh);
    EXPECT_TRUE(frame.Drawn(139, 100));  // the first triangle
    EXPECT_FALSE(frame.Drawn(100, 139)); // the one using the vertex at depth 0
    EXPECT_EQ(renderer->screenVertices[3].behindCamera, 1u);
    frame.Clear();
    square.vertices[0].position.z = -Fx(1);
    renderer->DrawMesh(&square.mesh);
    EXPECT_EQ(frame.CountDrawn(), 0);
}

TEST_F(DrawMeshTest, RefusesMeshesItCannotHold) {
    square.mesh.indexCount = 5;
    renderer->DrawMesh(&square.mesh);
    square.mesh.indexCount = 6;
    square.faces[1].i2 = 4; // past the vertex count
    renderer->DrawMesh(&square.mesh);
    EXPECT_EQ(frame.CountDrawn(), 0);

    std::vector<MeshVertex> many(kMaxScreenVertices + 1, square.vertices[0]);
    for (int k = 0; k < 4; ++k)
        many[k] = square.vertices[k];
    square.faces[1].i2 = 3;
    Mesh big{kMaxScreenVertices + 1, 6, many.data(), square.faces};
    renderer->DrawMesh(&big);
    EXPECT_EQ(frame.CountDrawn(), 0);
    big.vertexCount = kMaxScreenVertices;
    renderer->DrawMesh(&big);
    EXPECT_EQ(frame.CountDrawn(), 40 * 40);

    // No index count, or a negative one, draws nothing; a count of 4 draws
    // one triangle.
    frame.Clear();
    const uint16_t* indices = &square.faces[0].i0;
    renderer->DrawTriangles(renderer->screenVertices, indices, 0);
    renderer->DrawTriangles(renderer->screenVertices, indices, -3);
    EXPECT_EQ(frame.CountDrawn(), 0);
    renderer->DrawTriangles(renderer->screenVertices, indices, 4);
    EXPECT_TRUE(frame.Drawn(139, 100));
    EXPECT_FALSE(frame.Drawn(100, 139));
}

// Without its vertex buffer (the allocation failed), or without a display,
// the renderer draws nothing.
TEST_F(DrawMeshTest, NoBufferOrNoDisplayDrawsNothing) {
    MemoryFree(renderer->screenVertices);
    renderer->screenVertices = nullptr;
    renderer->DrawMesh(&square.mesh);
    EXPECT_EQ(frame.CountDrawn(), 0);

    Renderer bare;
    EXPECT_EQ(bare.display, nullptr);
    EXPECT_EQ(bare.screenVertices, nullptr);
    bare.SetLighting(false);
    bare.SetShading(false);
    bare.DrawMesh(&square.mesh);
    ScreenVertex v[3] = {Vertex(0, 0), Vertex(Fx(10), 0), Vertex(0, Fx(10))};
    const uint16_t indices[3] = {0, 1, 2};
    bare.DrawTriangles(v, indices, 3);
}

TEST(RendererLifetime, ReturnsItsBufferToTheAllocator) {
    Frame frame(16, 16);
    StartMemoryOnce();
    const int32_t before = MemoryLevelCount(0);
    {
        Renderer renderer(&frame.display);
        EXPECT_EQ(MemoryLevelCount(0), before + 1);
    }
    EXPECT_EQ(MemoryLevelCount(0), before);
}

} // namespace
