// A pattern of flowers that wraps in both directions: one large bloom, a ring
// of smaller ones and leaves on a dark ground, each petal shaded from its
// base to its tip and edged, so the picture keeps its shapes when darkened.
#include "tools/pictures/pictures.h"
#include "tools/pictures/steady_math.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr uint32_t kSeed = 8701;

struct Bloom {
    float x, y; // centre, on a 128 x 128 layout
    float radius;
    int petals;
    float turn; // rotation, in petals
    int tip, base, heart, ring;
};

const Bloom kBlooms[] = {
    {64, 60, 42, 8, 0.0f, 0xF0127A, 0xFFD2EA, 0xFF8A00, 0xFFE13A},
    {4, 6, 24, 5, 0.3f, 0xFF6A00, 0xFFF0A0, 0xB2160C, 0xFFD23A},
    {118, 112, 22, 6, 0.1f, 0x1E7BFF, 0xE4F4FF, 0xFFC400, 0xFFF2A0},
    {12, 104, 17, 5, 0.5f, 0xFFC800, 0xFFFBD6, 0xD0460A, 0xFF9020},
    {116, 24, 15, 6, 0.25f, 0xB026FF, 0xF2DCFF, 0xFFD000, 0xFFF0B0},
};

struct Leaf {
    float x, y, angle, length, width;
};

const Leaf kLeaves[] = {
    {30, 96, 2.3f, 30, 9},  {100, 92, 0.8f, 28, 8}, {60, 118, 1.6f, 22, 7},
    {96, 20, -0.6f, 24, 7}, {36, 30, 3.8f, 26, 8},  {80, 104, 1.2f, 18, 6},
};

// Distances on the wrapped square.
float Wrap(float d, float size) {
    return d - size * std::round(d / size);
}

bool PaintBloom(const Bloom& b, float dx, float dy, Color* out) {
    const float r = SteadyHypot(dx, dy);
    if (r > b.radius + 1.5f) return false;
    const float heartR = b.radius * 0.27f;
    if (r < heartR) {
        // The heart: a ring of pollen around seeds laid on a spiral.
        const float ring = SmoothStep(heartR * 0.55f, heartR * 0.85f, r);
        Color c = Mix(Rgb(b.heart), Rgb(b.ring), ring);
        const float a = SteadyAtan2(dy, dx);
        const float seeds = SteadySin(a * 13 + r * 1.9f) * SteadySin(r * 2.6f);
        c = Mix(c, Scale(Rgb(b.heart), 0.45f), SmoothStep(0.5f, 0.9f, seeds) * (1 - ring));
        return *out = Mix(c, Rgb(0x3A1200), SmoothStep(heartR - 1.2f, heartR, r) * 0.8f), true;
    }
    const float a = SteadyAtan2(dy, dx) / (2 * kPi) * static_cast<float>(b.petals) + b.turn;
    const float phi = a - std::floor(a) - 0.5f; // -0.5..0.5 across one petal
    const float edge = b.radius * SteadyPow(0.5f + 0.5f * SteadyCos(2 * kPi * phi), 0.3f);
    if (r > edge) return false;
    const float along = Clamp01((r - heartR) / (edge - heartR + 0.01f));
    Color c = Mix(Rgb(b.base), Rgb(b.tip), SmoothStep(0.0f, 0.8f, along));
    // Petals part darker at their sides, with a fine vein down the middle.
    c = Scale(c, 1.0f - 0.35f * SmoothStep(0.25f, 0.5f, std::abs(phi)));
    c = Scale(c, 1.0f - 0.25f * SmoothStep(0.04f, 0.0f, std::abs(phi)) * along);
    // A dark rim outlines each petal.
    c = Mix(c, Rgb(0x2A0418), SmoothStep(edge - 1.6f, edge, r) * 0.85f);
    *out = c;
    return true;
}

bool PaintLeaf(const Leaf& l, float dx, float dy, Color* out) {
    const float ca = SteadyCos(l.angle), sa = SteadySin(l.angle);
    const float u = dx * ca + dy * sa;  // along the leaf, from its stem
    const float v = -dx * sa + dy * ca; // across it
    if (u < 0 || u > l.length) return false;
    const float half = l.width * SteadySin(kPi * u / l.length);
    if (std::abs(v) > half) return false;
    Color c = Mix(Rgb(0x2E9E3A), Rgb(0x9AE05A), Clamp01(0.5f + v / (2 * half + 0.01f)));
    c = Mix(c, Rgb(0xD8FF9A), SmoothStep(0.9f, 0.0f, std::abs(v)) * 0.6f); // the midrib
    c = Mix(c, Rgb(0x06240C), SmoothStep(half - 1.4f, half, std::abs(v)) * 0.8f);
    *out = c;
    return true;
}

Color Ground(float x, float y) {
    // Noise that repeats every 128 texels, so the pattern has no seam.
    const float n = 0.6f * Noise2Wrapped(x / 16, y / 16, 8, kSeed) +
                    0.4f * Noise2Wrapped(x / 8, y / 8, 16, kSeed + 2);
    const float dots = SmoothStep(0.55f, 0.75f, Noise2Wrapped(x / 2, y / 2, 64, kSeed + 1));
    Color c = Mix(Rgb(0x140A3A), Rgb(0x0A3A52), Clamp01(0.5f + n));
    return Mix(c, Rgb(0x5A7CFF), dots * 0.35f);
}

} // namespace

Canvas PaintFlowers(int size) {
    const float k = 128.0f / static_cast<float>(size);
    return PaintSampled(size, size, 4, [&](float px, float py) {
        // Laid out on 128 x 128 with wrapping, whatever the size.
        const float x = px * k, y = py * k;
        Color c;
        for (const Bloom& b : kBlooms) {
            if (PaintBloom(b, Wrap(x - b.x, 128), Wrap(y - b.y, 128), &c)) return c;
        }
        for (const Leaf& l : kLeaves) {
            if (PaintLeaf(l, Wrap(x - l.x, 128), Wrap(y - l.y, 128), &c)) return c;
        }
        return Ground(x, y);
    });
}
