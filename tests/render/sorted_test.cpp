#include "render_test_util.h"

#include "host/debug_output.h"

#include <string>

namespace {

// Every triangle the renderer fills, as the u of its three corners.
std::vector<std::array<Fixed, 3>>* filled = nullptr;

void Record(Renderer*, const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) {
    filled->push_back({a->u, b->u, c->u});
}

// Triangles given by their depth in front of the camera; each one's corners
// carry u = 4 * (its number) + corner, so a fill names the triangle and
// shows its corners came in order.
struct Model {
    std::vector<std::vector<MeshVertex>> vertices;
    std::vector<std::vector<MeshFace>> faces;
    std::vector<Mesh> meshes;
    int32_t next = 0;

    // A triangle of the given depth (in whole units); front-facing unless
    // `back`, one corner behind the camera if `behind`.
    int32_t Add(size_t mesh, int32_t depth, bool back = false, bool behind = false) {
        if (vertices.size() <= mesh) {
            vertices.resize(mesh + 1);
            faces.resize(mesh + 1);
        }
        const int32_t id = next++;
        auto& v = vertices[mesh];
        const auto first = static_cast<uint16_t>(v.size());
        const Fixed z = depth << 16;
        const Fixed corners[3][3] = {
            {0, 0, behind ? -kFixedOne : z}, {Fx(10), 0, z}, {0, Fx(-10), z}};
        for (int k = 0; k < 3; ++k)
            v.push_back(MeshVertex{
                {corners[k][0], corners[k][1], corners[k][2]}, {0, 0, 0}, 4 * id + k, 0});
        faces[mesh].push_back(back ? MeshFace{first, static_cast<uint16_t>(first + 2),
                                              static_cast<uint16_t>(first + 1)}
                                   : MeshFace{first, static_cast<uint16_t>(first + 1),
                                              static_cast<uint16_t>(first + 2)});
        return id;
    }
    const Mesh* Meshes() {
        meshes.clear();
        for (size_t m = 0; m < vertices.size(); ++m) {
            meshes.push_back(Mesh{static_cast<int32_t>(vertices[m].size()),
                                  static_cast<int32_t>(3 * faces[m].size()), vertices[m].data(),
                                  faces[m].data()});
        }
        return meshes.data();
    }
};

class SortedTest : public ::testing::Test {
  protected:
    SortedTest() : frame_(240, 240) {
        Renderer& r = *frame_.renderer;
        MatrixIdentity(&r.modelView);
        r.focalLength = 250 << 16;
        r.fillTriangle = Record;
        filled = &filled_;
        host::SetDebugListener(
            [](const char16_t* text, void* lines) {
                static_cast<std::vector<std::u16string>*>(lines)->push_back(text);
            },
            &said_);
        host::SetDebugToStderr(false);
    }
    ~SortedTest() override {
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
        SortSpaceRelease(&space_);
        filled = nullptr;
    }

    // The numbers of the triangles filled, in order; each one's corners must
    // have come in their own order.
    std::vector<int32_t> Draw(Model& model) {
        filled_.clear();
        const Mesh* meshes = model.Meshes();
        frame_.renderer->DrawMeshesSorted(meshes, static_cast<int32_t>(model.meshes.size()),
                                          &space_);
        std::vector<int32_t> ids;
        for (const auto& u : filled_) {
            EXPECT_EQ(u[1], u[0] + 1);
            EXPECT_EQ(u[2], u[0] + 2);
            ids.push_back(u[0] / 4);
        }
        return ids;
    }

    Frame frame_;
    SortSpace space_;
    std::vector<std::array<Fixed, 3>> filled_;
    std::vector<std::u16string> said_;
};

} // namespace

// Far to near across meshes; equal depths in the order given; back faces and
// faces with a corner behind the camera left out.
TEST_F(SortedTest, FillsTheFrontFacesOfAllMeshesFarToNear) {
    Model model;
    const int32_t a = model.Add(0, 100);
    const int32_t b = model.Add(0, 300);
    const int32_t c = model.Add(0, 200);
    const int32_t d = model.Add(0, 300);
    model.Add(0, 250, true);
    const int32_t e = model.Add(1, 300);
    const int32_t f = model.Add(1, 150);
    model.Add(1, 400, false, true);
    ASSERT_EQ(SortSpaceCreate(&space_, 24, 8), 1);
    EXPECT_EQ(Draw(model), (std::vector<int32_t>{b, d, e, c, f, a}));
    EXPECT_EQ(space_.frontCount, 6);
    EXPECT_TRUE(said_.empty());
}

// Depths over the whole range of the key's digits, many of them equal: the
// order is that of a stable sort, far first.
TEST_F(SortedTest, OrdersThousandsOfFacesAsAStableSortWould) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> depth(1, 8000);
    Model model;
    std::vector<std::pair<int32_t, int32_t>> expected; // (depth, id)
    for (int k = 0; k < 3000; ++k) {
        const int32_t z = k % 3 == 0 ? 500 : depth(random);
        expected.emplace_back(z, model.Add(static_cast<size_t>(k / 1000), z));
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& p, const auto& q) { return p.first > q.first; });
    std::vector<int32_t> ids;
    for (const auto& e : expected)
        ids.push_back(e.second);
    ASSERT_EQ(SortSpaceCreate(&space_, 9000, 3000), 1);
    EXPECT_EQ(Draw(model), ids);
}

// What the space cannot hold, and what is no mesh the renderer draws, is
// refused mesh by mesh with one line each; the rest is drawn.
TEST_F(SortedTest, RefusesWhatItCannotDrawMeshByMesh) {
    Model model;
    const int32_t kept = model.Add(0, 100);
    model.Add(1, 200);
    model.Add(2, 300);
    model.Add(3, 400);
    const Mesh* meshes = model.Meshes();
    ASSERT_EQ(SortSpaceCreate(&space_, 9, 3), 1);
    const_cast<Mesh*>(meshes)[1].faces[0].i2 = 3; // past its three vertices
    const_cast<Mesh*>(meshes)[2].indexCount = 4;
    const_cast<Mesh*>(meshes)[3].vertexCount = kMaxScreenVertices + 1;
    filled_.clear();
    frame_.renderer->DrawMeshesSorted(meshes, 4, &space_);
    ASSERT_EQ(filled_.size(), 1u);
    EXPECT_EQ(filled_[0][0] / 4, kept);
    EXPECT_EQ(said_, (std::vector<std::u16string>{
                         u"DrawMeshesSorted refused mesh 1: index 3 of 3 vertices\r\n",
                         u"DrawMeshesSorted refused mesh 2: 3 vertices, 4 indices\r\n",
                         u"DrawMeshesSorted refused mesh 3: 4097 vertices, 3 indices\r\n"}));

    // A space for one triangle takes the first mesh only.
    Model two;
    const int32_t first = two.Add(0, 100);
    two.Add(1, 200);
    SortSpaceRelease(&space_);
    ASSERT_EQ(SortSpaceCreate(&space_, 3, 1), 1);
    said_.clear();
    EXPECT_EQ(Draw(two), std::vector<int32_t>{first});
    EXPECT_EQ(said_.size(), 1u);
}
