// Vertex stage: model space to camera space by the model-view matrix,
// perspective projection onto the screen, and the colour of each vertex, lit
// by the light direction in the mesh's own coordinates or given flat.
//
// The portable routines take one vertex after the other and are the rule.
// Where the compiler offers SSE2, four vertices are taken at a time (the last
// few one by one, vertex_quad.h), with SSE4.1's multiplies where the
// processor has them, eight at a time with AVX2's where it has those. Both give the same screen
// vertices (tests/render/vertex_test.cpp).
#include "platform/processor.h"
#include "render/stages.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include "render/vertex_quad.h"
#endif

namespace {

// What projecting a vertex reads of the renderer, copied out of it: the loops
// then keep it in registers (or take it straight from the stack), since no
// store into a screen vertex could change it.
struct View {
    Matrix modelView;
    FixDividend focalLength;
    Fixed centreX; // viewWidth >> 1
    Fixed centreY; // viewHeight >> 1
};

View ViewOf(const Renderer* renderer) {
    return View{renderer->modelView, FixDividend(renderer->focalLength), renderer->viewWidth >> 1,
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
    const Fixed scale = view.focalLength.Over(camera.z);
    out.x = FixMul(camera.x, scale) + view.centreX;
    out.y = view.centreY - FixMul(camera.y, scale);
    out.behindCamera = 0;
}

// LitColor's rule with the colours' channels taken apart once: each channel
// ambient + (k * diffuse) >> 8 with k = intensity >> 8 (1.0 is 256), the
// product taken as unsigned, clamped at 255. The top byte is 0.
class Lighting {
  public:
    Lighting(uint32_t diffuse, uint32_t ambient)
        : diffuse_{(diffuse >> 16) & 0xFF, (diffuse >> 8) & 0xFF, diffuse & 0xFF},
          ambient_{(ambient >> 16) & 0xFF, (ambient >> 8) & 0xFF, ambient & 0xFF} {}
    uint32_t operator()(Fixed intensity) const {
        const uint32_t k = static_cast<uint32_t>(intensity >> 8);
        const auto channel = [&](int c) {
            return std::min(ambient_[c] + ((k * diffuse_[c]) >> 8), 255u);
        };
        return (channel(0) << 16) | (channel(1) << 8) | channel(2);
    }
    uint32_t Diffuse(int channel) const { return diffuse_[channel]; }
    uint32_t Ambient(int channel) const { return ambient_[channel]; }

  private:
    uint32_t diffuse_[3];
    uint32_t ambient_[3];
};

// A lit vertex's colour. The light travels along lightInModel: a normal
// facing against it (negative dot product) is lit.
struct LitColour {
    explicit LitColour(const Renderer* renderer)
        : light(renderer->lightInModel), ambient(renderer->ambientColor),
          lighting(renderer->diffuseColor, renderer->ambientColor) {}
    uint32_t operator()(const MeshVertex& in) const {
        const Fixed d = VectorDot(&in.normal, &light);
        return d < 0 ? lighting(-d) : ambient;
    }
    Vector3 light;
    uint32_t ambient;
    Lighting lighting;
};

// An unlit vertex's colour: the diffuse colour.
struct FlatColour {
    explicit FlatColour(const Renderer* renderer) : diffuse(renderer->diffuseColor) {}
    uint32_t operator()(const MeshVertex&) const { return diffuse; }
    uint32_t diffuse;
};

template <class Colour>
void ProcessPortable(const View& view, const Colour& colour, const MeshVertex* in,
                     ScreenVertex* out, uint32_t count) {
    for (uint32_t k = 0; k < count; ++k) {
        Project(view, in[k], out[k]);
        out[k].color = colour(in[k]);
    }
}

#if defined(__SSE2__)
ViewLanes LanesOf(const View& view) {
    ViewLanes lanes;
    const Matrix& m = view.modelView;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            lanes.factor[3 * row + column] = Factor(m.m[4 * row + column]);
        lanes.translation[row] = _mm_set1_epi32(m.m[12 + row]);
    }
    lanes.numerator = _mm_set1_ps(view.focalLength.Numerator());
    lanes.centreX = _mm_set1_epi32(view.centreX);
    lanes.centreY = _mm_set1_epi32(view.centreY);
    return lanes;
}

LightLanes LanesOf(const LitColour& colour) {
    LightLanes lanes;
    lanes.light[0] = Factor(colour.light.x);
    lanes.light[1] = Factor(colour.light.y);
    lanes.light[2] = Factor(colour.light.z);
    for (int c = 0; c < 3; ++c) {
        lanes.diffuse[c] = _mm_set1_epi32(static_cast<int32_t>(colour.lighting.Diffuse(c)));
        lanes.ambientChannel[c] = _mm_set1_epi32(static_cast<int32_t>(colour.lighting.Ambient(c)));
    }
    lanes.ambient = _mm_set1_epi32(static_cast<int32_t>(colour.ambient));
    return lanes;
}

void ProcessQuadsLitSse2(const ViewLanes& view, const LightLanes& light, const MeshVertex* in,
                         ScreenVertex* out, uint32_t quads) {
    ProcessQuads<Sse2Products>(view, LitQuad<Sse2Products>{light}, in, out, quads);
}

void ProcessQuadsFlatSse2(const ViewLanes& view, __m128i colour, const MeshVertex* in,
                          ScreenVertex* out, uint32_t quads) {
    ProcessQuads<Sse2Products>(view, FlatQuad<Sse2Products>{colour}, in, out, quads);
}

// The routines for groups of four, lit and of one colour: the widest the
// build made and the processor has, of those allowed.
struct QuadRoutines {
    decltype(&ProcessQuadsLitSse2) lit;
    decltype(&ProcessQuadsFlatSse2) flat;
    int level; // 0 SSE2, 1 SSE4.1, 2 AVX2
};

QuadRoutines Widest(bool sse41, bool avx2) {
#if defined(KQ3D_VERTEX_AVX2)
    if (avx2 && ProcessorHas(ProcessorFeature::kAvx2))
        return {ProcessQuadsLitAvx2, ProcessQuadsFlatAvx2, 2};
#endif
#if defined(KQ3D_VERTEX_SSE41)
    if (sse41 && ProcessorHas(ProcessorFeature::kSse41))
        return {ProcessQuadsLitSse41, ProcessQuadsFlatSse41, 1};
#endif
    (void)sse41;
    (void)avx2;
    return {ProcessQuadsLitSse2, ProcessQuadsFlatSse2, 0};
}

// What UseVertexSse41 and UseVertexAvx2 allow, and the routines taken.
bool gAllowSse41 = true;
bool gAllowAvx2 = true;
QuadRoutines gQuads = Widest(true, true);

// Whether the routines taken now are of `level` or wider, as allowed.
bool Allow(bool& allowed, bool use, int level) {
    allowed = use;
    gQuads = Widest(gAllowSse41, gAllowAvx2);
    return use && gQuads.level >= level;
}

void ProcessQuadsOf(const View& view, const LitColour& colour, const MeshVertex* in,
                    ScreenVertex* out, uint32_t quads) {
    gQuads.lit(LanesOf(view), LanesOf(colour), in, out, quads);
}

void ProcessQuadsOf(const View& view, const FlatColour& colour, const MeshVertex* in,
                    ScreenVertex* out, uint32_t quads) {
    gQuads.flat(LanesOf(view), _mm_set1_epi32(static_cast<int32_t>(colour.diffuse)), in, out,
                quads);
}

template <class Colour>
void Process(const View& view, const Colour& colour, const MeshVertex* in, ScreenVertex* out,
             uint32_t count) {
    const uint32_t quads = count / 4;
    if (quads > 0) ProcessQuadsOf(view, colour, in, out, quads);
    ProcessPortable(view, colour, in + 4 * quads, out + 4 * quads, count - 4 * quads);
}
#else
template <class Colour>
void Process(const View& view, const Colour& colour, const MeshVertex* in, ScreenVertex* out,
             uint32_t count) {
    ProcessPortable(view, colour, in, out, count);
}
#endif

} // namespace

#if defined(__SSE2__)
bool UseVertexSse41(bool use) {
    return Allow(gAllowSse41, use, 1);
}

bool UseVertexAvx2(bool use) {
    return Allow(gAllowAvx2, use, 2);
}
#else
bool UseVertexSse41(bool) {
    return false;
}

bool UseVertexAvx2(bool) {
    return false;
}
#endif

#if defined(__SSE2__)
const bool kVertexHasVectorPath = true;
#else
const bool kVertexHasVectorPath = false;
#endif

void ProcessVerticesLit(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                        uint32_t count) {
    Process(ViewOf(renderer), LitColour(renderer), in, out, count);
}

void ProcessVerticesUnlit(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                          uint32_t count) {
    Process(ViewOf(renderer), FlatColour(renderer), in, out, count);
}

void ProcessVerticesLitPortable(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                                uint32_t count) {
    ProcessPortable(ViewOf(renderer), LitColour(renderer), in, out, count);
}

void ProcessVerticesUnlitPortable(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                                  uint32_t count) {
    ProcessPortable(ViewOf(renderer), FlatColour(renderer), in, out, count);
}

uint32_t LitColor(uint32_t diffuse, Fixed intensity, uint32_t ambient) {
    return Lighting(diffuse, ambient)(intensity);
}
