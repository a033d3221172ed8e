// Arbitrary bytes as an OBJ model: loaded, and where they load, checked to be
// meshes the renderer may draw (at most its vertices per mesh, every index in
// its mesh, positions within the radius asked for, normals of length 1.0 or
// none) and drawn far to near in every fill mode into a small frame.
#include "fuzz/fuzz_files.h"
#include "math/matrix.h"
#include "platform/display.h"
#include "render/renderer.h"
#include "resource/obj_model.h"
#include "resource/texture.h"

#include <cstdlib>
#include <vector>

namespace {

constexpr const char* kName = "in.obj";
constexpr Fixed kRadius = 64 * kFixedOne;

void CheckMeshes(const ObjModel& model) {
    FuzzCheck(model.meshCount > 0 && model.meshes != nullptr, "a model without meshes");
    int32_t triangles = 0, vertices = 0;
    for (int32_t m = 0; m < model.meshCount; ++m) {
        const Mesh& mesh = model.meshes[m];
        FuzzCheck(mesh.vertexCount > 0 && mesh.vertexCount <= kMeshMaxVertices,
                  "a mesh of more vertices than the renderer takes");
        FuzzCheck(mesh.indexCount > 0 && mesh.indexCount % 3 == 0, "a mesh of no whole triangles");
        const auto* index = reinterpret_cast<const uint16_t*>(mesh.faces);
        for (int32_t k = 0; k < mesh.indexCount; ++k)
            FuzzCheck(index[k] < mesh.vertexCount, "an index past its mesh");
        for (int32_t v = 0; v < mesh.vertexCount; ++v) {
            const MeshVertex& vertex = mesh.vertices[v];
            const Fixed c[3] = {vertex.position.x, vertex.position.y, vertex.position.z};
            for (Fixed coordinate : c)
                FuzzCheck(std::abs(coordinate) <= kRadius, "a position past the radius");
            const int64_t n[3] = {vertex.normal.x, vertex.normal.y, vertex.normal.z};
            const int64_t square = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
            FuzzCheck(square == 0 || (square > 0xFFF00000LL && square < 0x100100000LL),
                      "a normal that is neither of length 1.0 nor none");
        }
        triangles += mesh.indexCount / 3;
        vertices += mesh.vertexCount;
    }
    FuzzCheck(triangles == model.triangleCount && triangles <= kObjMaxTriangles,
              "the meshes' triangles are not the model's");
    FuzzCheck(vertices == model.vertexCount, "the meshes' vertices are not the model's");
}

void Draw(const ObjModel& model) {
    static std::vector<uint16_t> pixels(64 * 64);
    Display display;
    display.frameBuffer = pixels.data();
    display.frameWidth = 64;
    display.frameHeight = 64;
    display.frameSize = 64 * 64 * 2;
    Texture texture;
    TextureInit(&texture);
    static const std::vector<uint16_t> checker = [] {
        std::vector<uint16_t> texels(16 * 16);
        for (size_t k = 0; k < texels.size(); ++k)
            texels[k] = ((k ^ (k >> 4)) & 2) ? 0xFFFF : 0x1234;
        return texels;
    }();
    TextureCreate(&texture, 16, 16, 4, checker.data());
    {
        Renderer renderer(&display);
        SortSpace space;
        if (SortSpaceCreate(&space, model.vertexCount, model.triangleCount)) {
            Matrix m;
            MatrixIdentity(&m);
            MatrixTranslate(&m, 0, 0, 100 * kFixedOne);
            MatrixRotateY(&m, 300);
            const Vector3 light = {0, 0x8000, 0xDDB3};
            renderer.SetLightDirection(&light);
            renderer.SetModelView(&m);
            renderer.focalLength = 60 * kFixedOne;
            renderer.ambientColor = 0x202020;
            renderer.diffuseColor = 0xFFFFFF;
            renderer.BuildShadeRamp(0xE0A040);
            renderer.SetLighting(true);
            for (int mode = 0; mode < 4; ++mode) {
                renderer.SetShading((mode & 1) != 0);
                renderer.SetTexture((mode & 2) != 0 ? &texture : nullptr);
                renderer.DrawMeshesSorted(model.meshes, model.meshCount, &space);
            }
            FuzzCheck(space.frontCount <= model.triangleCount, "more front faces than faces");
        }
        SortSpaceRelease(&space);
    }
    TextureRelease(&texture);
    display.frameBuffer = nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzFilesStart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzFileWrite(kName, data, size);
    ObjModel model;
    if (ObjModelLoad(&model, kName, kRadius)) {
        CheckMeshes(model);
        Draw(model);
    } else {
        FuzzCheck(model.meshes == nullptr && model.block == nullptr, "a refused model kept meshes");
    }
    ObjModelRelease(&model);
    FuzzCheckNothingLeft();
    return 0;
}
