// Helpers for the renderer tests: a frame buffer on a plain Display with a
// renderer drawing into it, screen vertices and textures with chosen texels.
#pragma once
#include "platform/display.h"
#include "render/renderer.h"
#include "resource/memory.h"
#include "resource/texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

constexpr uint16_t kBackground = 0xDEAD;

// A frame buffer lent to a Display, and a renderer for it (its vertex buffer
// from the tracked allocator) as made: flat, unlit, with a white ramp.
struct Frame {
    Frame(int32_t width, int32_t height)
        : pixels(static_cast<size_t>(width * height), kBackground) {
        static const bool started = (MemoryInit(), MemoryLevelSetup(1024, 0), true);
        (void)started;
        display.frameBuffer = pixels.data();
        display.frameWidth = width;
        display.frameHeight = height;
        renderer = std::make_unique<Renderer>(&display);
    }
    ~Frame() { display.frameBuffer = nullptr; }
    uint16_t At(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y * display.frameWidth + x)];
    }
    bool Drawn(int32_t x, int32_t y) const { return At(x, y) != kBackground; }
    void Clear() { std::fill(pixels.begin(), pixels.end(), kBackground); }
    int32_t CountDrawn() const {
        return static_cast<int32_t>(pixels.size()) -
               static_cast<int32_t>(std::count(pixels.begin(), pixels.end(), kBackground));
    }
    template <class Expected> // every pixel against expected(x, y)
    void Expect(Expected expected) const {
        for (int32_t y = 0; y < display.frameHeight; ++y) {
            for (int32_t x = 0; x < display.frameWidth; ++x)
                ASSERT_EQ(At(x, y), expected(x, y)) << "pixel " << x << "," << y;
        }
    }

    std::vector<uint16_t> pixels;
    Display display;
    std::unique_ptr<Renderer> renderer; // destroyed first
};

inline Fixed Fx(double value) {
    return static_cast<Fixed>(value * 65536.0);
}

inline ScreenVertex Vertex(Fixed x, Fixed y, uint32_t color = 0xFFFFFF, Fixed u = 0, Fixed v = 0) {
    return ScreenVertex{x, y, Fx(100.0), 0, color, 0, u, v};
}

// x and y in [low, high], any colour, u and v in 0 to just below 1.0.
inline std::array<ScreenVertex, 3> RandomTriangle(std::mt19937& random, Fixed low, Fixed high) {
    std::uniform_int_distribution<Fixed> coordinate(low, high), unit(0, 0xFFFF);
    std::array<ScreenVertex, 3> v;
    for (auto& vertex : v) {
        const Fixed x = coordinate(random), y = coordinate(random), u = unit(random);
        const uint32_t color = static_cast<uint32_t>(random()) & 0xFFFFFF;
        vertex = Vertex(x, y, color, u, unit(random));
    }
    return v;
}

// Clears the frame and draws one triangle in the renderer's current mode.
inline const std::vector<uint16_t>& Draw(Frame& frame, const ScreenVertex& a, const ScreenVertex& b,
                                         const ScreenVertex& c) {
    const ScreenVertex vertices[3] = {a, b, c};
    const uint16_t indices[3] = {0, 1, 2};
    frame.Clear();
    frame.renderer->DrawTriangles(vertices, indices, 3);
    return frame.pixels;
}

// A texture from TextureCreate whose texels (all levels) are texel(offset).
struct TestTexture {
    template <class Texel>
    TestTexture(int width, int height, int levelBits, Texel texel) {
        TextureCreate(&record, width, height, levelBits, nullptr);
        for (uint32_t k = 0; k < record.texelCount * record.levelCount; ++k)
            record.texels[k] = static_cast<uint16_t>(texel(k));
    }
    ~TestTexture() { TextureRelease(&record); }
    TestTexture(const TestTexture&) = delete;
    Texture* get() { return &record; }
    Texture record{};
};

// For 64x64 texels in 16 levels: a pixel names its level, row and column.
inline uint16_t Numbered(uint32_t k) {
    return static_cast<uint16_t>(k);
}
