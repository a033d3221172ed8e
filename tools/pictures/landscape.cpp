// Mountains under an evening sky, mirrored in a lake: far ranges fade into
// the haze, the near peaks carry snow lit from the low sun on the right.
#include "tools/pictures/pictures.h"
#include "tools/pictures/steady_math.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kSeed = 1907;

struct Landscape {
    float size;    // the picture is size x size; shapes are laid out on 240
    float horizon; // the lake's far shore

    float U(float v) const { return v * size / 240.0f; }

    Color Sky(float x, float y) const {
        const float t = y / horizon;
        Color c;
        if (t < 0.45f) {
            c = Mix(Rgb(0x0E1C4E), Rgb(0x3465B8), t / 0.45f);
        } else if (t < 0.8f) {
            c = Mix(Rgb(0x3465B8), Rgb(0x9DBFE6), (t - 0.45f) / 0.35f);
        } else {
            c = Mix(Rgb(0x9DBFE6), Rgb(0xF7CF9C), (t - 0.8f) / 0.2f);
        }
        // The low sun and its glow.
        const float sx = U(206), sy = U(52);
        const float d = SteadyHypot(x - sx, y - sy) / size;
        c = Add(c, Scale(Rgb(0xFF9A40), 0.6f * SteadyExp(-d * 8.0f)));
        c = Mix(c, Rgb(0xFFE7A0), SmoothStep(U(8.0f) / size, U(6.5f) / size, d));
        // Long thin clouds, lit from below on the sun's side.
        const float band = SmoothStep(U(30), U(55), y) * (1 - SmoothStep(U(105), U(128), y));
        const float n = Fractal2(x / U(70), y / U(9), 5, kSeed + 1);
        const float cloud = SmoothStep(0.08f, 0.45f, n) * band;
        const Color lit = Mix(Rgb(0xE9A3B5), Rgb(0xFFE1B8), Clamp01(x / size));
        const Color cloudColor = Mix(Rgb(0x6A5F8E), lit, Clamp01(0.35f + n));
        return Mix(c, cloudColor, cloud * 0.85f);
    }

    float FarRidge(float x) const {
        return U(124) + U(13) * Fractal1(x / U(34), 5, kSeed + 2) -
               U(16) * SteadyExp(-Square((x - U(30)) / U(28)));
    }

    // The near range: peaks with straight flanks, roughened.
    struct Peak {
        float x, y, leftSlope, rightSlope;
    };
    static constexpr Peak kPeaks[] = {{92, 46, 1.0f, 0.85f},
                                      {188, 78, 0.85f, 0.8f},
                                      {10, 100, 0.6f, 0.65f},
                                      {142, 112, 0.7f, 0.7f}};

    float PeakRidge(const Peak& p, float x) const {
        const float dx = x - U(p.x);
        return U(p.y) + (dx < 0 ? -dx * p.leftSlope : dx * p.rightSlope);
    }
    const Peak& NearestPeak(float x) const {
        const Peak* best = &kPeaks[0];
        for (const Peak& p : kPeaks) {
            if (PeakRidge(p, x) < PeakRidge(*best, x)) best = &p;
        }
        return *best;
    }
    float MainRidge(float x) const {
        return PeakRidge(NearestPeak(x), x) + U(6) * Fractal1(x / U(14), 5, kSeed + 3);
    }

    float HillRidge(float x) const {
        return U(158) + U(7) * Fractal1(x / U(26), 4, kSeed + 4) +
               U(10) * SteadyExp(-Square((x - U(120)) / U(60)));
    }

    // Pines along the hills' crest: a narrow triangle every few pixels.
    float TreeTop(float x) const {
        const float cell = U(5.5f);
        const float i = std::floor(x / cell);
        float top = HillRidge(x);
        for (float k = i - 1; k <= i + 1; ++k) {
            const float cx = (k + 0.5f + 0.3f * Noise1(k * 7.1f, kSeed + 5)) * cell;
            const float h = U(9) + U(6) * Noise1(k * 3.7f, kSeed + 6);
            const float tip = HillRidge(cx) - h;
            const float y = tip + std::abs(x - cx) * 2.6f;
            top = std::min(top, y);
        }
        return top;
    }

    Color Mountain(float x, float y) const {
        const Peak& p = NearestPeak(x);
        const float dx = x - U(p.x), dy = std::max(y - U(p.y), 0.0f);
        // Ridges and gullies run down from the summit: streaks in the angle
        // seen from the summit. The spine between the lit right face and the
        // shaded left one wanders a little.
        const float angle = dx / (dy + U(6));
        const float spine = U(5) * Fractal1(dy / U(14), 3, kSeed + 13) - dy * 0.08f;
        const float side = SmoothStep(-U(1.2f), U(1.2f), dx - spine);
        const float streak = 1.0f - std::abs(Fractal2(angle * 7, dy / U(60), 3, kSeed + 7));
        const float strata = Fractal2(x / U(40), y / U(3), 2, kSeed + 14);
        float light = 0.28f + 0.55f * side + 0.4f * (streak - 0.5f) + 0.08f * strata;
        // Snow lies deep on the ridges and thin in the gullies.
        const float snowDepth = U(18) + U(26) * streak * streak;
        const float snow = SmoothStep(snowDepth + U(2), snowDepth - U(2), dy);
        const Color rock = Mix(Rgb(0x1E2240), Rgb(0x6B7497), Clamp01(light));
        const Color ice = Mix(Rgb(0x7F8CC0), Rgb(0xFFF0EA), Clamp01(light + 0.15f));
        const Color c = Mix(rock, ice, snow);
        // A thin mist over the valley floor.
        return Mix(c, Rgb(0xA9ACCF), 0.55f * SmoothStep(U(135), U(172), y));
    }

    Color Scene(float x, float y) const {
        const float tree = TreeTop(x);
        if (y >= tree) {
            const float n = Fractal2(x / U(4), y / U(4), 3, kSeed + 9);
            const Color forest = Mix(Rgb(0x0F2A26), Rgb(0x1F4A3A), Clamp01(0.5f + n));
            // Rim light from the sun on the treetops.
            return Mix(forest, Rgb(0x7A6A3A), 0.5f * SmoothStep(U(1.5f), 0.0f, y - tree));
        }
        const float main = MainRidge(x);
        if (y >= main) return Mountain(x, y);
        const float far = FarRidge(x);
        if (y >= far) {
            const float n = Fractal2(x / U(12), y / U(12), 3, kSeed + 10);
            const Color range = Mix(Rgb(0x6E78AC), Rgb(0x8C93C2), Clamp01(0.5f + n));
            return Mix(range, Rgb(0xC9C3DC), 0.6f * SmoothStep(far, U(150), y));
        }
        return Sky(x, y);
    }

    Color At(float x, float y) const {
        if (y < horizon) return Scene(x, y);
        // The lake mirrors the scene, rippled, darker and bluer farther down.
        const float below = (y - horizon) / (size - horizon);
        const float ripple =
            U(1.6f) * SteadySin(y * 1.7f + 3.0f * Noise1(x / U(20), kSeed + 11)) * (0.3f + below);
        Color c = Scene(x + ripple, 2 * horizon - y + U(0.5f));
        c = Mix(c, Rgb(0x102848), 0.3f + 0.35f * below);
        // The sun's path on the water.
        const float path = SteadyExp(-Square((x - U(206)) / U(7 + 10 * below)));
        const float glint = SmoothStep(0.25f, 0.7f, Noise2(x / U(3), y / U(0.8f), kSeed + 12));
        c = Add(c, Scale(Rgb(0xFFC98A), path * glint * 0.7f));
        // The shore line.
        return Mix(c, Rgb(0x0A1A1C), SmoothStep(U(1.2f), 0.0f, y - horizon));
    }
};

} // namespace

Canvas PaintLandscape(int size) {
    const Landscape land{static_cast<float>(size), size * 178.0f / 240.0f};
    return PaintSampled(size, size, 4, [&](float x, float y) { return land.At(x, y); });
}
