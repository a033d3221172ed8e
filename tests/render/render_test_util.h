// Helpers for the renderer tests: a frame buffer on a plain Display, a
// renderer for it, screen vertices and hand-made textures.
#pragma once
#include "platform/display.h"
#include "render/renderer.h"
#include "resource/memory.h"
#include "resource/texture.h"

#include <cstdint>
#include <memory>
#include <vector>

// The renderer takes its screen-vertex buffer from the tracked allocator.
inline void StartMemoryOnce() {
    static const bool started = [] {
        MemoryInit();
        MemoryLevelSetup(1024, 0);
        return true;
    }();
    (void)started;
}

constexpr uint16_t kBackground = 0xDEAD;

// A frame buffer owned by the test, lent to a Display for its life.
struct Frame {
    Frame(int32_t width, int32_t height)
        : pixels(static_cast<size_t>(width) * static_cast<size_t>(height), kBackground) {
        display.frameBuffer = pixels.data();
        display.frameWidth = width;
        display.frameHeight = height;
    }
    ~Frame() { display.frameBuffer = nullptr; }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    uint16_t At(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(display.frameWidth) +
                      static_cast<size_t>(x)];
    }
    bool Drawn(int32_t x, int32_t y) const { return At(x, y) != kBackground; }
    void Clear() { std::fill(pixels.begin(), pixels.end(), kBackground); }
    int32_t Width() const { return display.frameWidth; }
    int32_t Height() const { return display.frameHeight; }
    int32_t CountDrawn() const {
        int32_t count = 0;
        for (uint16_t p : pixels)
            count += p != kBackground;
        return count;
    }

    std::vector<uint16_t> pixels;
    Display display;
};

inline std::unique_ptr<Renderer> MakeRenderer(Frame& frame) {
    StartMemoryOnce();
    return std::make_unique<Renderer>(&frame.display);
}

inline Fixed Fx(double value) {
    return static_cast<Fixed>(value * 65536.0);
}

inline ScreenVertex Vertex(Fixed x, Fixed y, uint32_t color = 0xFFFFFF, Fixed u = 0, Fixed v = 0) {
    ScreenVertex vertex{};
    vertex.x = x;
    vertex.y = y;
    vertex.depth = Fx(100.0);
    vertex.color = color;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

// A Texture record over texels the test owns, with the fields TextureCreate
// would give it.
struct TestTexture {
    TestTexture(int32_t width, int32_t height, int32_t levelBits) {
        texels.assign(static_cast<size_t>(width * height) << levelBits, 0);
        uint16_t shift = 0;
        while (shift < 16 && ((width >> shift) & 1) == 0)
            ++shift;
        const int32_t levelCount = 1 << levelBits;
        record.width = static_cast<uint16_t>(width);
        record.height = static_cast<uint16_t>(height);
        record.widthShift = shift;
        record.widthMask = static_cast<uint16_t>((1 << shift) - 1);
        record.levelOffsetShift = static_cast<uint16_t>(2 * shift - levelBits);
        record.levelMask = static_cast<uint16_t>((levelCount - 1) << (8 - levelBits));
        record.levelBits = static_cast<uint16_t>(levelBits);
        record.levelCount = static_cast<uint16_t>(levelCount);
        record.texelCount = static_cast<uint32_t>(width * height);
        record.texels = texels.data();
        record.texelBlock = texels.data();
    }
    Texture* get() { return &record; }

    std::vector<uint16_t> texels;
    Texture record{};
};

// A 64x64 texture of 16 levels whose texel at offset k holds k: a pixel names
// the level (bits 12-15), row (6-11) and column (0-5) it came from.
inline std::unique_ptr<TestTexture> MakeNumberedTexture() {
    auto texture = std::make_unique<TestTexture>(64, 64, 4);
    for (size_t k = 0; k < texture->texels.size(); ++k) {
        texture->texels[k] = static_cast<uint16_t>(k);
    }
    return texture;
}

// Draws one triangle through DrawTriangles with the renderer's current mode.
inline void DrawOne(Renderer& renderer, const ScreenVertex& a, const ScreenVertex& b,
                    const ScreenVertex& c) {
    const ScreenVertex vertices[3] = {a, b, c};
    const uint16_t indices[3] = {0, 1, 2};
    renderer.DrawTriangles(vertices, indices, 3);
}
