#include "tools/pictures/canvas.h"

#include <cmath>

float Clamp01(float v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

float SmoothStep(float edge0, float edge1, float v) {
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

Canvas Canvas::Reduced(int factor) const {
    Canvas small(width_ / factor, height_ / factor);
    const float k = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < small.height_; ++y) {
        for (int x = 0; x < small.width_; ++x) {
            Color sum;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i)
                    sum = Add(sum, At(x * factor + i, y * factor + j));
            }
            small.At(x, y) = Scale(sum, k);
        }
    }
    return small;
}

std::vector<uint16_t> Canvas::Texels() const {
    // A 4x4 ordered dither spreads each channel's rounding over neighbours.
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<uint16_t> texels(static_cast<size_t>(width_) * height_);
    const auto level = [](float v, int top, float d) {
        const int q = static_cast<int>(std::floor(Clamp01(v) * top + d));
        return q < 0 ? 0 : q > top ? top : q;
    };
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float d = (kBayer[y & 3][x & 3] + 0.5f) / 16.0f;
            const Color c = At(x, y);
            texels[static_cast<size_t>(y) * width_ + x] = static_cast<uint16_t>(
                (level(c.r, 31, d) << 11) | (level(c.g, 63, d) << 5) | level(c.b, 31, d));
        }
    }
    return texels;
}

RgbImage Canvas::ToRgb() const {
    RgbImage image;
    image.width = static_cast<uint32_t>(width_);
    image.height = static_cast<uint32_t>(height_);
    image.rgb.resize(static_cast<size_t>(width_) * height_ * 3);
    for (size_t i = 0; i < pixels_.size(); ++i) {
        image.rgb[3 * i] = static_cast<uint8_t>(std::lround(Clamp01(pixels_[i].r) * 255));
        image.rgb[3 * i + 1] = static_cast<uint8_t>(std::lround(Clamp01(pixels_[i].g) * 255));
        image.rgb[3 * i + 2] = static_cast<uint8_t>(std::lround(Clamp01(pixels_[i].b) * 255));
    }
    return image;
}

namespace {

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float Lattice(int x, int y, uint32_t seed) {
    return static_cast<float>(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) &
                              0xFFFFFF) /
               8388607.5f -
           1.0f;
}

float Fade(float t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

} // namespace

float Noise1(float x, uint32_t seed) {
    const float fx = std::floor(x);
    const int ix = static_cast<int>(fx);
    const float t = Fade(x - fx);
    return Lattice(ix, 0, seed) + (Lattice(ix + 1, 0, seed) - Lattice(ix, 0, seed)) * t;
}

float Noise2(float x, float y, uint32_t seed) {
    return Noise2Wrapped(x, y, 0, seed);
}

float Noise2Wrapped(float x, float y, int period, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    int jx = ix + 1, jy = iy + 1;
    if (period > 0) {
        const auto wrap = [period](int v) { return ((v % period) + period) % period; };
        ix = wrap(ix), iy = wrap(iy), jx = wrap(jx), jy = wrap(jy);
    }
    const float tx = Fade(x - fx), ty = Fade(y - fy);
    const float a = Lattice(ix, iy, seed), b = Lattice(jx, iy, seed);
    const float c = Lattice(ix, jy, seed), d = Lattice(jx, jy, seed);
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float Fractal1(float x, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise1(x, seed + static_cast<uint32_t>(i) * 101) * amplitude;
        total += amplitude;
        amplitude *= 0.5f;
        x *= 2.03f;
    }
    return sum / total;
}

float Fractal2(float x, float y, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise2(x, y, seed + static_cast<uint32_t>(i) * 101) * amplitude;
        total += amplitude;
        amplitude *= 0.5f;
        x *= 2.03f;
        y *= 2.03f;
    }
    return sum / total;
}

ZitPicture TurnedForScreen(const std::vector<uint16_t>& upright, int width, int height) {
    ZitPicture turned;
    turned.width = static_cast<uint16_t>(height);
    turned.height = static_cast<uint16_t>(width);
    turned.texels.resize(upright.size());
    for (int r = 0; r < width; ++r) {
        for (int c = 0; c < height; ++c) {
            turned.texels[static_cast<size_t>(r) * height + c] =
                upright[static_cast<size_t>(height - 1 - c) * width + r];
        }
    }
    return turned;
}

ZitPicture Unturned(const std::vector<uint16_t>& upright, int width, int height) {
    ZitPicture picture;
    picture.width = static_cast<uint16_t>(width);
    picture.height = static_cast<uint16_t>(height);
    picture.texels = upright;
    return picture;
}
