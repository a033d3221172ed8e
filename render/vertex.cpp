// Vertex stage: model space to camera space by the model-view matrix,
// perspective projection onto the screen, and the colour of each vertex, lit
// by the light direction in the mesh's own coordinates or given flat.
#include "render/stages.h"

#include <algorithm>
#include <cstdint>

namespace {

// What projecting a vertex reads of the renderer, copied out of it: the loops
// then keep it in registers (or take it straight from the stack), since no
// store into a screen vertex could change it.
struct View {
    Matrix modelView;
    Fixed focalLength;
    Fixed centreX; // viewWidth >> 1
    Fixed centreY; // viewHeight >> 1
};

View ViewOf(const Renderer* renderer) {
    return View{renderer->modelView, renderer->focalLength, renderer->viewWidth >> 1,
                renderer->viewHeight >> 1};
}

// Transform and project one vertex; copies u and v. A vertex at or behind the
// camera has no projection (and must not be divided by its depth): it is
// marked, and its x and y stay in camera space.
inline void Project(const View& view, const MeshVertex& in, ScreenVertex& out) {
    Vector3 camera;
    MatrixTransformPoint(&view.modelView, &camera, &in.position);
    out.depth = camera.z;
    out.u = in.u;
    out.v = in.v;
    if (camera.z <= 0) {
        out.x = camera.x;
        out.y = camera.y;
        out.behindCamera = 1;
        return;
    }
    const Fixed scale = FixDiv(view.focalLength, camera.z);
    out.x = FixMul(camera.x, scale) + view.centreX;
    out.y = view.centreY - FixMul(camera.y, scale);
    out.behindCamera = 0;
}

} // namespace

void ProcessVerticesLit(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                        uint32_t count) {
    const View view = ViewOf(renderer);
    const Vector3 light = renderer->lightInModel;
    const uint32_t diffuse = renderer->diffuseColor;
    const uint32_t ambient = renderer->ambientColor;
    for (uint32_t k = 0; k < count; ++k) {
        Project(view, in[k], out[k]);
        // The light travels along lightInModel: a normal facing against it
        // (negative dot product) is lit.
        const Fixed d = VectorDot(&in[k].normal, &light);
        out[k].color = d < 0 ? LitColor(diffuse, -d, ambient) : ambient;
    }
}

void ProcessVerticesUnlit(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                          uint32_t count) {
    const View view = ViewOf(renderer);
    const uint32_t diffuse = renderer->diffuseColor;
    for (uint32_t k = 0; k < count; ++k) {
        Project(view, in[k], out[k]);
        out[k].color = diffuse;
    }
}

// Each channel: ambient + (k * diffuse) >> 8 with k = intensity >> 8 (1.0 is
// 256), the product taken as unsigned, clamped at 255. The top byte is 0.
uint32_t LitColor(uint32_t diffuse, Fixed intensity, uint32_t ambient) {
    const uint32_t k = static_cast<uint32_t>(intensity >> 8);
    const auto channel = [&](unsigned shift) {
        const uint32_t d = (diffuse >> shift) & 0xFF;
        const uint32_t a = (ambient >> shift) & 0xFF;
        return std::min(a + ((k * d) >> 8), 255u) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}
