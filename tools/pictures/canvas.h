// Painting the demo's pictures: colours in floating point, pictures painted
// at a multiple of their size and averaged down (smooth edges), then turned
// into RGB565 texels with an ordered dither (smooth gradients).
#pragma once
#include "tools/rgb_image.h"
#include "tools/zit_file.h"

#include <cstdint>
#include <vector>

struct Color {
    float r = 0, g = 0, b = 0;
};

inline Color Rgb(int hex) {
    return {((hex >> 16) & 0xFF) / 255.0f, ((hex >> 8) & 0xFF) / 255.0f, (hex & 0xFF) / 255.0f};
}
inline Color Mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Color Scale(Color a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Color Add(Color a, Color b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

float Clamp01(float v);
inline float Square(float v) {
    return v * v;
}
float SmoothStep(float edge0, float edge1, float v);

class Canvas {
  public:
    Canvas(int width, int height, Color fill = {});
    int Width() const { return width_; }
    int Height() const { return height_; }
    Color& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    Color At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // The average of every factor x factor block.
    Canvas Reduced(int factor) const;
    // Upright RGB565 texels, row by row from the top, dithered.
    std::vector<uint16_t> Texels() const;
    RgbImage ToRgb() const;

  private:
    int width_;
    int height_;
    std::vector<Color> pixels_;
};

// Paints every pixel of a width x height picture from a function of the
// position (in picture pixels, centres at +0.5), sampled factor x factor times
// per pixel.
template <typename Paint>
Canvas PaintSampled(int width, int height, int factor, Paint paint) {
    Canvas big(width * factor, height * factor);
    for (int y = 0; y < big.Height(); ++y) {
        for (int x = 0; x < big.Width(); ++x) {
            big.At(x, y) = paint((x + 0.5f) / factor, (y + 0.5f) / factor);
        }
    }
    return big.Reduced(factor);
}

// Smooth value noise in 1 and 2 dimensions, repeatable from a seed; fractal
// sums of octaves for ridges and textures. Results lie in about -1..1.
float Noise1(float x, uint32_t seed);
float Noise2(float x, float y, uint32_t seed);
// The same, repeating every period lattice cells in both directions.
float Noise2Wrapped(float x, float y, int period, uint32_t seed);
float Fractal1(float x, int octaves, uint32_t seed);
float Fractal2(float x, float y, int octaves, uint32_t seed);

// The picture as the engine stores a picture shown on the turned screen: an
// upright picture W wide and H high becomes a texture H texels wide and W rows
// high whose texel (row r, column c) is the upright pixel (row H - 1 - c,
// column r). The presenter shows frame row r as screen column r and frame
// column c counting up the screen, so the texture appears upright.
ZitPicture TurnedForScreen(const std::vector<uint16_t>& upright, int width, int height);
ZitPicture Unturned(const std::vector<uint16_t>& upright, int width, int height);
