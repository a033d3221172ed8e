#include "device_fixture.h"

#include "host/files.h"
#include "host/text.h"
#include "resource/obj_model.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr Fixed kRadius = 64 * kFixedOne;

double Units(Fixed f) {
    return f / 65536.0;
}

// The model's triangles as the positions of their corners, mesh after mesh.
std::vector<std::array<Vector3, 3>> Triangles(const ObjModel& model) {
    std::vector<std::array<Vector3, 3>> triangles;
    for (int32_t m = 0; m < model.meshCount; ++m) {
        const Mesh& mesh = model.meshes[m];
        for (int32_t f = 0; f < mesh.indexCount / 3; ++f) {
            const MeshFace& face = mesh.faces[f];
            triangles.push_back({mesh.vertices[face.i0].position, mesh.vertices[face.i1].position,
                                 mesh.vertices[face.i2].position});
        }
    }
    return triangles;
}

// The z of (b - a) x (c - a): negative where the triangle faces the camera,
// which looks along +z.
double FacingZ(const std::array<Vector3, 3>& t) {
    const double ax = Units(t[1].x - t[0].x), ay = Units(t[1].y - t[0].y);
    const double bx = Units(t[2].x - t[0].x), by = Units(t[2].y - t[0].y);
    return ax * by - ay * bx;
}

} // namespace

class ObjModelTest : public DeviceFolderTest {
  protected:
    void TearDown() override {
        ObjModelRelease(&model_);
        DeviceFolderTest::TearDown();
    }
    // Loads the text as m.obj; the lines the loader printed besides the
    // file layer's own go to *said.
    int Load(const std::string& text, std::vector<std::string>* said = nullptr) {
        WriteHostFile("m.obj", text);
        return LoadFile("m.obj", said);
    }
    int LoadFile(const char* name, std::vector<std::string>* said = nullptr) {
        ObjModelRelease(&model_);
        const int loaded = ObjModelLoad(&model_, name, kRadius);
        std::vector<std::string> lines;
        for (const std::u16string& line : lines_.Take()) {
            if (line.rfind(u"al:FileOpen[", 0) != 0) lines.push_back(host::ToUtf8(line));
        }
        if (said != nullptr) *said = lines;
        return loaded;
    }

    ObjModel model_{};
};

// Every kind of bad input: one line naming the file, the line where there is
// one, and what is wrong; nothing loaded, no block or file left behind.
TEST_F(ObjModelTest, RefusesBadInputInOneLineAndKeepsNothing) {
    const std::string square = "v 0 0 0\nv 1 0 0\nv 1 1 0\n";
    std::string polygon = "f";
    for (int k = 0; k < 1000; ++k)
        polygon += k % 2 ? " 1" : " 2";
    std::string tooMany = square;
    for (int k = 0; k < 201; ++k) // 998 triangles each
        tooMany += polygon + "\n";
    const struct {
        std::string text;
        const char* said;
    } cases[] = {
        {"", "m.obj: no faces: the model is empty"},
        {square + "# no faces\n", "m.obj: no faces: the model is empty"},
        {square + "f 1 2\n", "m.obj:4: a face needs three corners or more, not 2"},
        {square + "f\n", "m.obj:4: a face needs three corners or more, not 0"},
        {square + "f 0 1 2\n", "m.obj:4: face names vertex 0; OBJ counts from 1"},
        {square + "f 1 2 40\n", "m.obj:4: face names vertex 40 of 3"},
        {square + "f -1 -2 -4\n", "m.obj:4: face names vertex -4 of 3"},
        {"f 1 2 3\n" + square, "m.obj:1: face names vertex 1 of 0"},
        {square + "f 1 2 99999999999\n", "m.obj:4: face names vertex 99999999999 of 3"},
        {square + "vt 0 0\nf 1/1 2/2 3/1\n", "m.obj:5: face names texture coordinate 2 of 1"},
        {square + "vn 0 0 1\nf 1//1 2//1 3//-2\n", "m.obj:5: face names normal -2 of 1"},
        {square + "f 1 2 x\n", "m.obj:4: \"x\" is not a face corner"},
        {square + "f 1 2 3/1/1/1\n", "m.obj:4: \"3/1/1/1\" is not a face corner"},
        {square + "f 1 2 3/\n", "m.obj:4: \"3/\" is not a face corner"},
        {square + "f 1 2 /3\n", "m.obj:4: \"/3\" is not a face corner"},
        {square + "f 1 2 -\n", "m.obj:4: \"-\" is not a face corner"},
        {"v 1 2 x\n", "m.obj:1: \"x\" is not a number"},
        {"v 1.2.3 0 0\n", "m.obj:1: \"1.2.3\" is not a number"},
        {"v 0x10 0 0\n", "m.obj:1: \"0x10\" is not a number"},
        {"v inf 0 0\n", "m.obj:1: \"inf\" is not a number"},
        {"v 1e 0 0\n", "m.obj:1: \"1e\" is not a number"},
        {"\n\nv 1 2\n", "m.obj:3: a vertex needs three numbers"},
        {"vt\n", "m.obj:1: a texture coordinate needs a number"},
        {"vn 1 0 # x\n", "m.obj:1: a normal needs three numbers"},
        {"v 40000 0 0\n", "m.obj:1: \"40000\" lies outside -32767 to 32767"},
        {"v 0 0 -1e9\n", "m.obj:1: \"-1e9\" lies outside -32767 to 32767"},
        {"v 1,5 2 3\n",
         "m.obj:1: a comma: OBJ separates with spaces and writes decimals with a point"},
        {square + "# " + std::string(4095, 'x') + "\n", "m.obj:4: longer than 4096 characters"},
        {square + "f 1 2 3 " + std::string(5000, ' '), "m.obj:4: longer than 4096 characters"},
        {tooMany, "m.obj:204: more than 200000 triangles"},
        {"v 1 1 1\nv 1 1 1\nf 1 2 1\n", "m.obj: no size: all its faces lie at one point"},
    };
    const int32_t blocks = allocCount;
    for (const auto& c : cases) {
        std::vector<std::string> said;
        EXPECT_EQ(Load(c.text, &said), 0) << c.said;
        EXPECT_EQ(said, std::vector<std::string>{std::string(c.said) + "\r\n"});
        EXPECT_EQ(model_.meshCount, 0) << c.said;
        EXPECT_EQ(model_.meshes, nullptr) << c.said;
        EXPECT_EQ(allocCount, blocks) << c.said;
        EXPECT_EQ(host::OpenFileCount(), 0) << c.said;
    }
    std::vector<std::string> said;
    EXPECT_EQ(LoadFile("absent.obj", &said), 0);
    EXPECT_EQ(said, std::vector<std::string>{"absent.obj: no such file, or it cannot be read\r\n"});
    EXPECT_EQ(allocCount, blocks);
}

// The corner forms, negative indices, polygons, comments and the statements
// that are skipped; what each gives the meshes.
TEST_F(ObjModelTest, ReadsEveryCornerFormAndSkipsTheRest) {
    const std::string quad = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n";
    const std::string uv = "vt 0 0\nvt 0.5 0\nvt 0.5 0.25\nvt 0 0.25\n";
    const std::string normal = "vn 0 0 2\n";
    const struct {
        std::string text;
        int32_t triangles, vertices;
        bool texture, normals;
    } cases[] = {
        {quad + "f 1 2 3 4\n", 2, 4, false, false},
        {quad + "f -4 -3 -2 -1\n", 2, 4, false, false},
        {quad + uv + "f 1/1 2/2 3/3 4/4\n", 2, 4, true, false},
        {quad + normal + "f 1//1 2//1 3//1 4//1\n", 2, 4, false, true},
        {quad + uv + normal + "f 1/1/1 2/2/1 3/3/-1 4/4/1\n", 2, 4, true, true},
        // Where one corner lacks them, the whole model goes without.
        {quad + uv + normal + "f 1/1/1 2/2 3/3/1 4//1\n", 2, 4, false, false},
        {"# a comment\r\n\r\no quad\ng side\ns 1\nmtllib x.mtl\nusemtl red\nvp 0.5\n" + quad +
             "l 1 2\ncstype bezier\nf 1 2 3 4 # the face, with a comma\n  \t\nf 1 3 4",
         3, 4, false, false},
        // Welded by position alone when the file gives nothing more, by the
        // whole corner otherwise: the same position with two texture
        // coordinates is two vertices.
        {quad + uv + "f 1/1 2/2 3/3\nf 1/4 3/3 4/4\n", 2, 5, true, false},
        {"v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0.5 2 0\nv 0 1 0\nf 1 2 3 4 5\n", 3, 5, false, false},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Load(c.text), 1) << c.text;
        EXPECT_EQ(model_.triangleCount, c.triangles) << c.text;
        EXPECT_EQ(model_.vertexCount, c.vertices) << c.text;
        EXPECT_EQ(model_.textureFromFile, c.texture) << c.text;
        EXPECT_EQ(model_.normalsFromFile, c.normals) << c.text;
        EXPECT_EQ(model_.meshCount, 1) << c.text;
    }
}

TEST_F(ObjModelTest, TurnsZAndTheWindingRoundAndTakesTheFilesCoordinates) {
    // A square facing +z in the file, counter-clockwise seen from there; the
    // fan's first triangle (1, 2, 3) comes in the order 1, 3, 2.
    ASSERT_EQ(Load("v -1 -1 0\nv 1 -1 0\nv 1 1 0.5\nv -1 1 0.5\n"
                   "vt 0 0\nvt 0.5 0\nvt 0.5 0.25\nvt 0 0.25\nvn 0 0 2\n"
                   "f 1/1/1 2/2/1 3/3/1 4/4/1\n"),
              1);
    for (const auto& t : Triangles(model_))
        EXPECT_LT(FacingZ(t), 0.0);
    const Mesh& mesh = model_.meshes[0];
    const MeshFace& face = mesh.faces[0];
    const MeshVertex& a = mesh.vertices[face.i0];
    const MeshVertex& b = mesh.vertices[face.i1];
    const MeshVertex& c = mesh.vertices[face.i2];
    EXPECT_LT(a.position.x, 0);
    EXPECT_GT(b.position.y, 0);
    EXPECT_LT(c.position.y, 0);
    // z turned round: the raised edge lies toward the camera.
    EXPECT_LT(b.position.z, a.position.z);
    // The normal of length 2.0 along +z becomes one of 1.0 along -z; v counts
    // from the top of the picture.
    EXPECT_EQ((std::vector<Fixed>{a.normal.x, a.normal.y, a.normal.z}),
              (std::vector<Fixed>{0, 0, -kFixedOne}));
    EXPECT_EQ((std::vector<Fixed>{b.u, b.v, c.u, c.v}),
              (std::vector<Fixed>{0x8000, kFixedOne - 0x4000, 0x8000, kFixedOne}));
}

// The box (0, 0, 0) to (2, 4, 4) (the unused vertex 4 takes no part): centre
// (1, 2, 2), half-diagonal 3, so a unit becomes 64/3; corners 1, 3, 2.
TEST_F(ObjModelTest, CentresAndScalesTheBoxToTheRadius) {
    ASSERT_EQ(Load("v 0 0 0\nv 2 0 0\nv 2 4 4\nv 9 9 9\nf 1 2 3\n"), 1);
    const auto triangles = Triangles(model_);
    ASSERT_EQ(triangles.size(), 1u);
    const double expected[3][3] = {{-1, -2, 2}, {1, 2, -2}, {1, -2, 2}};
    for (int k = 0; k < 3; ++k) {
        const Vector3& p = triangles[0][k];
        EXPECT_NEAR(Units(p.x), expected[k][0] * 64 / 3, 0.02) << k;
        EXPECT_NEAR(Units(p.y), expected[k][1] * 64 / 3, 0.02) << k;
        EXPECT_NEAR(Units(p.z), expected[k][2] * 64 / 3, 0.02) << k;
    }
}

// Normals from the faces: shared by every corner at one position, pointing
// out of the model; texture coordinates projected over the whole model.
TEST_F(ObjModelTest, MakesNormalsFromFacesAndProjectsTextureCoordinates) {
    // A tetrahedron-like tent, every face counter-clockwise seen from outside.
    ASSERT_EQ(Load("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n"
                   "f 1 3 2\nf 1 2 4\nf 1 4 3\nf 2 3 4\n"),
              1);
    const Mesh& mesh = model_.meshes[0];
    for (int32_t v = 0; v < mesh.vertexCount; ++v) {
        const MeshVertex& vertex = mesh.vertices[v];
        const double n[3] = {Units(vertex.normal.x), Units(vertex.normal.y),
                             Units(vertex.normal.z)};
        EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0, 1e-3) << v;
        // Away from the centroid (0.25, 0.25, 0.25), i.e. out of the model.
        EXPECT_GT(n[0] * vertex.position.x + n[1] * vertex.position.y + n[2] * vertex.position.z,
                  0.0)
            << v;
        EXPECT_GE(vertex.u, 0);
        EXPECT_LT(vertex.u, kFixedOne);
        EXPECT_GE(vertex.v, 0);
        EXPECT_LE(vertex.v, kFixedOne);
    }
}

// A model of more vertices than a mesh may hold: meshes of at most
// kMeshMaxVertices, every triangle kept in order with its own corners.
TEST_F(ObjModelTest, SplitsLargeModelsIntoMeshesThatKeepEveryTriangle) {
    constexpr int kSide = 100; // (kSide + 1)^2 vertices, 2 kSide^2 triangles
    std::string text;
    for (int y = 0; y <= kSide; ++y) {
        for (int x = 0; x <= kSide; ++x)
            text += "v " + std::to_string(x) + " " + std::to_string(y) + " 0\n";
    }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int a = y * (kSide + 1) + x + 1;
            text += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " +
                    std::to_string(a + kSide + 2) + " " + std::to_string(a + kSide + 1) + "\n";
        }
    }
    ASSERT_EQ(Load(text), 1);
    EXPECT_EQ(model_.triangleCount, 2 * kSide * kSide);
    EXPECT_GE(model_.meshCount, 3);
    int32_t triangles = 0, vertices = 0;
    for (int32_t m = 0; m < model_.meshCount; ++m) {
        const Mesh& mesh = model_.meshes[m];
        EXPECT_LE(mesh.vertexCount, kMeshMaxVertices) << m;
        EXPECT_EQ(mesh.indexCount % 3, 0) << m;
        const auto* indices = reinterpret_cast<const uint16_t*>(mesh.faces);
        EXPECT_LT(*std::max_element(indices, indices + mesh.indexCount), mesh.vertexCount) << m;
        triangles += mesh.indexCount / 3;
        vertices += mesh.vertexCount;
    }
    EXPECT_EQ(triangles, model_.triangleCount);
    EXPECT_EQ(vertices, model_.vertexCount);
    EXPECT_GT(vertices, (kSide + 1) * (kSide + 1)); // the seams' vertices are in two meshes
    // Triangle 2k + 1 is the quad's second: corners a, c, d turned to a, d, c.
    const double step = 128.0 / std::sqrt(2.0 * kSide * kSide);
    const auto all = Triangles(model_);
    int wrong = 0;
    for (int q = 0; q < kSide * kSide; ++q) {
        const double x = q % kSide - kSide / 2.0, y = q / kSide - kSide / 2.0;
        const auto& t = all[2 * q + 1];
        const double corners[3][2] = {{x, y}, {x, y + 1}, {x + 1, y + 1}};
        for (int k = 0; k < 3; ++k) {
            wrong += std::fabs(Units(t[k].x) - corners[k][0] * step) > 0.02 ||
                     std::fabs(Units(t[k].y) - corners[k][1] * step) > 0.02;
        }
    }
    EXPECT_EQ(wrong, 0);
}
