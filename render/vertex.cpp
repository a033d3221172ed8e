// Vertex stage: model space to camera space by the model-view matrix,
// perspective projection onto the screen, and the colour of each vertex, lit
// by the light direction in the mesh's own coordinates or given flat.
//
// The portable routines take one vertex after the other and are the rule.
// Where the compiler offers SSE2, four vertices are taken at a time (the last
// few one by one): every FixMul there is the low half of a 32x32-bit product
// of the shifted operands, as in the rule, and the divide is the same single
// precision division. Both give the same screen vertices
// (tests/render/vertex_test.cpp).
#include "render/stages.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
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
// Four vertices in the lanes of a register, one quantity per register.

// The low 32 bits of four 64-bit products: `even` holds those of lanes 0
// and 2, `odd` those of lanes 1 and 3 (each as the product of the lanes'
// low halves, which is what _mm_mul_epu32 multiplies).
inline __m128i LowHalves(__m128i even, __m128i odd) {
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(3, 1, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(3, 1, 2, 0)));
}
inline __m128i OddLanes(__m128i a) {
    return _mm_srli_epi64(a, 32);
}

// FixMul's operands: the lanes shifted right by 8, and their odd lanes moved
// down for the products of lanes 1 and 3.
struct Operand {
    explicit Operand(__m128i lanes) : even(_mm_srai_epi32(lanes, 8)), odd(OddLanes(even)) {}
    __m128i even;
    __m128i odd;
};

// FixMul of four lanes by four lanes (each product wraps at 32 bits, as
// the signed product does).
inline __m128i FixMul4(const Operand& a, const Operand& b) {
    return LowHalves(_mm_mul_epu32(a.even, b.even), _mm_mul_epu32(a.odd, b.odd));
}

// A number of the renderer in every lane, shifted right by 8 as FixMul's
// operand (the odd lanes are the even ones).
inline __m128i Factor(Fixed value) {
    return _mm_set1_epi32(value >> 8);
}

// a0 * b0 + a1 * b1 + a2 * b2 by FixMul, the b one number in every lane.
inline __m128i FixDot4(const Operand& a0, const Operand& a1, const Operand& a2, __m128i b0,
                       __m128i b1, __m128i b2) {
    const __m128i even =
        _mm_add_epi32(_mm_add_epi32(_mm_mul_epu32(a0.even, b0), _mm_mul_epu32(a1.even, b1)),
                      _mm_mul_epu32(a2.even, b2));
    const __m128i odd =
        _mm_add_epi32(_mm_add_epi32(_mm_mul_epu32(a0.odd, b0), _mm_mul_epu32(a1.odd, b1)),
                      _mm_mul_epu32(a2.odd, b2));
    return LowHalves(even, odd);
}

// Lanes of a where mask is set, of b elsewhere.
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// The view as four lanes.
struct ViewQuad {
    explicit ViewQuad(const View& view) {
        const Matrix& m = view.modelView;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column)
                factor[3 * row + column] = Factor(m.m[4 * row + column]);
            translation[row] = _mm_set1_epi32(m.m[12 + row]);
        }
        numerator = _mm_set1_ps(view.focalLength.Numerator());
        centreX = _mm_set1_epi32(view.centreX);
        centreY = _mm_set1_epi32(view.centreY);
    }
    __m128i factor[9];
    __m128i translation[3];
    __m128 numerator;
    __m128i centreX;
    __m128i centreY;
};

// The colours of four vertices from their normals' lanes.
struct LitQuad {
    explicit LitQuad(const LitColour& colour) : ambient(_mm_set1_epi32(colour.ambient)) {
        light[0] = Factor(colour.light.x);
        light[1] = Factor(colour.light.y);
        light[2] = Factor(colour.light.z);
        for (int c = 0; c < 3; ++c) {
            diffuse[c] = _mm_set1_epi32(static_cast<int32_t>(colour.lighting.Diffuse(c)));
            ambientChannel[c] = _mm_set1_epi32(static_cast<int32_t>(colour.lighting.Ambient(c)));
        }
    }
    __m128i operator()(__m128i nx, __m128i ny, __m128i nz) const {
        const __m128i d =
            FixDot4(Operand(nx), Operand(ny), Operand(nz), light[0], light[1], light[2]);
        const __m128i k = _mm_srai_epi32(_mm_sub_epi32(_mm_setzero_si128(), d), 8);
        const __m128i kOdd = OddLanes(k);
        // Each channel's sum lies below 2^24 + 256: two saturating packs
        // clamp it at 255 and leave it a byte, [b0..b3 r0..r3 g0..g3 0000];
        // two interleavings put each vertex's bytes together as 0x00RRGGBB.
        const auto channel = [&](int c) {
            const __m128i product =
                LowHalves(_mm_mul_epu32(k, diffuse[c]), _mm_mul_epu32(kOdd, diffuse[c]));
            return _mm_add_epi32(_mm_srli_epi32(product, 8), ambientChannel[c]);
        };
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(channel(2), channel(0)),
                                               _mm_packs_epi32(channel(1), _mm_setzero_si128()));
        const __m128i pairs = _mm_unpacklo_epi8(bytes, _mm_srli_si128(bytes, 8));
        const __m128i rgb = _mm_unpacklo_epi16(pairs, _mm_srli_si128(pairs, 8));
        return Select(_mm_srai_epi32(d, 31), rgb, ambient);
    }
    __m128i light[3];
    __m128i diffuse[3];
    __m128i ambientChannel[3];
    __m128i ambient;
};

struct FlatQuad {
    explicit FlatQuad(const FlatColour& colour)
        : diffuse(_mm_set1_epi32(static_cast<int32_t>(colour.diffuse))) {}
    __m128i operator()(__m128i, __m128i, __m128i) const { return diffuse; }
    __m128i diffuse;
};

// A quad's camera-space x, y and z, the start of its perspective divide, and
// its normals' x. The loop takes the next quad this far before it finishes
// the one before, so the divide's latency is spent on other work.
struct QuadFront {
    __m128i x, y, z;
    __m128 quotient;
    __m128i nx;
};

inline QuadFront FrontOf(const ViewQuad& view, const MeshVertex* in) {
    // Each vertex as [x y z nx], turned into a register per quantity.
    const auto low = [in](int k) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(&in[k].position));
    };
    const __m128i low0 = low(0), low1 = low(1), low2 = low(2), low3 = low(3);
    const __m128i xy01 = _mm_unpacklo_epi32(low0, low1);
    const __m128i xy23 = _mm_unpacklo_epi32(low2, low3);
    const __m128i zn01 = _mm_unpackhi_epi32(low0, low1);
    const __m128i zn23 = _mm_unpackhi_epi32(low2, low3);
    const Operand px(_mm_unpacklo_epi64(xy01, xy23));
    const Operand py(_mm_unpackhi_epi64(xy01, xy23));
    const Operand pz(_mm_unpacklo_epi64(zn01, zn23));

    QuadFront front;
    const __m128i* f = view.factor;
    front.x = _mm_add_epi32(FixDot4(px, py, pz, f[0], f[3], f[6]), view.translation[0]);
    front.y = _mm_add_epi32(FixDot4(px, py, pz, f[1], f[4], f[7]), view.translation[1]);
    front.z = _mm_add_epi32(FixDot4(px, py, pz, f[2], f[5], f[8]), view.translation[2]);
    // Lanes at or behind the camera divide too, and are not kept.
    front.quotient = _mm_div_ps(view.numerator, _mm_cvtepi32_ps(front.z));
    front.nx = _mm_unpackhi_epi64(zn01, zn23);
    return front;
}

template <class ColourQuad>
void FinishQuad(const ViewQuad& view, const ColourQuad& colour, const QuadFront& front,
                const MeshVertex* in, ScreenVertex* out) {
    // Each vertex's [ny nz u v].
    const auto highAt = [in](int k) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(&in[k].normal.y));
    };
    const __m128i high[4] = {highAt(0), highAt(1), highAt(2), highAt(3)};
    const __m128i yz01 = _mm_unpacklo_epi32(high[0], high[1]);
    const __m128i yz23 = _mm_unpacklo_epi32(high[2], high[3]);
    const __m128i ny = _mm_unpacklo_epi64(yz01, yz23);
    const __m128i nz = _mm_unpackhi_epi64(yz01, yz23);

    // FixDividend::Over: a quotient of 2^31 or more converts to 0x80000000
    // and is made INT32_MAX; one below -2^31 converts to INT32_MIN, as it
    // should.
    const __m128 quotient = front.quotient;
    const __m128i scale =
        _mm_xor_si128(_mm_cvttps_epi32(quotient),
                      _mm_castps_si128(_mm_cmpge_ps(quotient, _mm_set1_ps(2147483648.0f))));
    const Operand s(scale);
    const __m128i x = front.x, y = front.y, z = front.z;
    const __m128i projectedX = _mm_add_epi32(FixMul4(Operand(x), s), view.centreX);
    const __m128i projectedY = _mm_sub_epi32(view.centreY, FixMul4(Operand(y), s));
    const __m128i inFront = _mm_cmpgt_epi32(z, _mm_setzero_si128());
    const __m128i screenX = Select(inFront, projectedX, x);
    const __m128i screenY = Select(inFront, projectedY, y);
    const __m128i behind = _mm_andnot_si128(inFront, _mm_set1_epi32(1));

    // [x y depth behindCamera] of each vertex; its colour; u and v as they
    // came. The word between colour and u is not written.
    const __m128i xy0 = _mm_unpacklo_epi32(screenX, screenY);
    const __m128i xy1 = _mm_unpackhi_epi32(screenX, screenY);
    const __m128i zb0 = _mm_unpacklo_epi32(z, behind);
    const __m128i zb1 = _mm_unpackhi_epi32(z, behind);
    const __m128i colours = colour(front.nx, ny, nz);
    const auto store = [&](int k, __m128i screen, __m128i colourFirst) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&out[k].x), screen);
        out[k].color = static_cast<uint32_t>(_mm_cvtsi128_si32(colourFirst));
        _mm_storeh_pd(reinterpret_cast<double*>(&out[k].u), _mm_castsi128_pd(high[k]));
    };
    store(0, _mm_unpacklo_epi64(xy0, zb0), colours);
    store(1, _mm_unpackhi_epi64(xy0, zb0), _mm_shuffle_epi32(colours, 1));
    store(2, _mm_unpacklo_epi64(xy1, zb1), _mm_shuffle_epi32(colours, 2));
    store(3, _mm_unpackhi_epi64(xy1, zb1), _mm_shuffle_epi32(colours, 3));
}

template <class Colour, class ColourQuad>
void Process(const View& view, const Colour& colour, const MeshVertex* in, ScreenVertex* out,
             uint32_t count) {
    const uint32_t quads = count / 4;
    if (quads > 0) {
        const ViewQuad viewQuad(view);
        const ColourQuad colourQuad(colour);
        QuadFront front = FrontOf(viewQuad, in);
        for (uint32_t q = 1; q < quads; ++q) {
            const QuadFront next = FrontOf(viewQuad, in + 4 * q);
            FinishQuad(viewQuad, colourQuad, front, in + 4 * (q - 1), out + 4 * (q - 1));
            front = next;
        }
        FinishQuad(viewQuad, colourQuad, front, in + 4 * (quads - 1), out + 4 * (quads - 1));
    }
    ProcessPortable(view, colour, in + 4 * quads, out + 4 * quads, count - 4 * quads);
}
#else
template <class Colour, class ColourQuad>
void Process(const View& view, const Colour& colour, const MeshVertex* in, ScreenVertex* out,
             uint32_t count) {
    ProcessPortable(view, colour, in, out, count);
}
struct LitQuad {};
struct FlatQuad {};
#endif

} // namespace

#if defined(__SSE2__)
const bool kVertexHasVectorPath = true;
#else
const bool kVertexHasVectorPath = false;
#endif

void ProcessVerticesLit(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                        uint32_t count) {
    Process<LitColour, LitQuad>(ViewOf(renderer), LitColour(renderer), in, out, count);
}

void ProcessVerticesUnlit(Renderer* renderer, const MeshVertex* in, ScreenVertex* out,
                          uint32_t count) {
    Process<FlatColour, FlatQuad>(ViewOf(renderer), FlatColour(renderer), in, out, count);
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
