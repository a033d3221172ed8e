// The renderer's costs: the clock's textured, lit ball, each span filler per
// pixel on a large triangle, and the full-frame background copy.
#include "math/matrix.h"
#include "math/mesh.h"
#include "platform/display.h"
#include "render/renderer.h"
#include "render/span.h"
#include "render/stages.h"
#include "resource/memory.h"
#include "resource/texture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr uint16_t kSentinel = 0xF81F;

// A 240x240 frame owned here, lent to a Display, and the two textures the
// clock draws with.
struct Scene {
    Scene() : pixels(240 * 240, 0) {
        static const bool started = [] {
            MemoryInit();
            MemoryLevelSetup(1024, 0);
            return true;
        }();
        (void)started;
        display.frameBuffer = pixels.data();
        display.frameWidth = 240;
        display.frameHeight = 240;
        renderer = std::make_unique<Renderer>(&display);
        TextureInit(&flower);
        std::vector<uint16_t> source(128 * 128);
        for (size_t k = 0; k < source.size(); ++k) {
            source[k] = static_cast<uint16_t>(((k * 2654435761u) >> 7) | 0x0821);
        }
        TextureCreate(&flower, 128, 128, 4, source.data());
        TextureInit(&background);
        std::vector<uint16_t> picture(240 * 240);
        for (size_t k = 0; k < picture.size(); ++k)
            picture[k] = static_cast<uint16_t>(k);
        TextureCreate(&background, 240, 240, 0, picture.data());
    }
    ~Scene() {
        renderer.reset();
        TextureRelease(&flower);
        TextureRelease(&background);
        display.frameBuffer = nullptr;
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    int64_t Covered() const {
        return std::count_if(pixels.begin(), pixels.end(),
                             [](uint16_t p) { return p != kSentinel; });
    }

    std::vector<uint16_t> pixels;
    Display display;
    std::unique_ptr<Renderer> renderer;
    Texture flower;
    Texture background;
};

// Time per pixel (shown in seconds with an SI prefix: 1.2n is 1.2 ns).
benchmark::Counter TimePer(double count, int64_t iterations) {
    return benchmark::Counter(count * static_cast<double>(iterations),
                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The ball as the clock draws it: 250 + 30 in front of the camera, spun by the
// angles of successive frames, lit by (0, 0.5, 1.0), textured with 16 levels.
void PoseBall(Renderer& renderer, int frame) {
    Matrix m;
    MatrixIdentity(&m);
    MatrixTranslate(&m, 0, 0, 250 << 16);
    MatrixRotateZ(&m, -1024);
    MatrixTranslate(&m, 0, 0, 30 << 16);
    MatrixRotateY(&m, 19 * frame);
    MatrixRotateX(&m, 3 * frame);
    renderer.SetModelView(&m);
}

void BM_DrawMeshBall(benchmark::State& state) {
    Scene scene;
    Renderer& renderer = *scene.renderer;
    static const bool projected = [] {
        GenerateCylindricalUV(BallMesh.vertices, BallMesh.vertexCount);
        return true;
    }();
    (void)projected;
    renderer.focalLength = 250 << 16;
    const Vector3 light = {0, 0x8000, 0x10000};
    renderer.SetLightDirection(&light);
    renderer.SetLighting(true);
    renderer.SetShading(true);
    renderer.SetTexture(&scene.flower);
    renderer.diffuseColor = 0xFFFFFF;
    renderer.ambientColor = 0;
    renderer.BuildShadeRamp(0xFFFFFF);

    // Pixels covered, averaged over the poses cycled through.
    constexpr int kPoses = 64;
    int64_t covered = 0;
    for (int frame = 0; frame < kPoses; ++frame) {
        std::fill(scene.pixels.begin(), scene.pixels.end(), kSentinel);
        PoseBall(renderer, frame);
        renderer.DrawMesh(&BallMesh);
        covered += scene.Covered();
    }
    int frame = 0;
    for (auto _ : state) {
        PoseBall(renderer, frame);
        renderer.DrawMesh(&BallMesh);
        benchmark::ClobberMemory();
        frame = (frame + 1) % kPoses;
    }
    const double pixelsPerCall = static_cast<double>(covered) / kPoses;
    state.counters["pixels"] = pixelsPerCall;
    state.counters["per_pixel"] = TimePer(pixelsPerCall, state.iterations());
}
BENCHMARK(BM_DrawMeshBall);

// The same with the textured rows kept to SSE2 where the processor has AVX
// (BM_DrawMeshBall takes the AVX rows there).
void BM_DrawMeshBallSse2(benchmark::State& state) {
    UseRowsAvx(false);
    BM_DrawMeshBall(state);
    UseRowsAvx(true);
}
BENCHMARK(BM_DrawMeshBallSse2);

// The vertex stage alone: the ball's vertices lit, spun as above.
void BM_ProcessVerticesLit(benchmark::State& state) {
    Scene scene;
    Renderer& renderer = *scene.renderer;
    renderer.focalLength = 250 << 16;
    const Vector3 light = {0, 0x8000, 0x10000};
    renderer.SetLightDirection(&light);
    renderer.SetLighting(true);
    int frame = 0;
    for (auto _ : state) {
        PoseBall(renderer, frame);
        renderer.processVertices(&renderer, BallMesh.vertices, renderer.screenVertices,
                                 static_cast<uint32_t>(BallMesh.vertexCount));
        benchmark::ClobberMemory();
        frame = (frame + 1) % 64;
    }
    state.counters["per_vertex"] = TimePer(BallMesh.vertexCount, state.iterations());
}
BENCHMARK(BM_ProcessVerticesLit);

// The same with SSE4.1's four lanes where the processor has AVX2's eight.
void BM_ProcessVerticesLitSse41(benchmark::State& state) {
    UseVertexAvx2(false);
    BM_ProcessVerticesLit(state);
    UseVertexAvx2(true);
}
BENCHMARK(BM_ProcessVerticesLitSse41);

// One large triangle in each mode: 0 flat, 1 shade ramp, 2 texture, 3 texture
// with a shade level per pixel.
void BM_FillerPerPixel(benchmark::State& state) {
    Scene scene;
    Renderer& renderer = *scene.renderer;
    renderer.BuildShadeRamp(0xFFFFFF);
    renderer.SetShading((state.range(0) & 1) != 0);
    renderer.SetTexture((state.range(0) & 2) != 0 ? &scene.flower : nullptr);
    ScreenVertex vertices[3] = {};
    const Fixed corners[3][2] = {{5, 3}, {236, 40}, {20, 237}};
    const uint32_t colors[3] = {0x20, 0xF0, 0x90};
    const Fixed uv[3][2] = {{0x0800, 0x0400}, {0xF000, 0x2000}, {0x1000, 0xFC00}};
    for (int k = 0; k < 3; ++k) {
        vertices[k].x = corners[k][0] << 16;
        vertices[k].y = corners[k][1] << 16;
        vertices[k].color = colors[k];
        vertices[k].u = uv[k][0];
        vertices[k].v = uv[k][1];
    }
    const uint16_t indices[3] = {0, 1, 2};
    std::fill(scene.pixels.begin(), scene.pixels.end(), kSentinel);
    renderer.DrawTriangles(vertices, indices, 3);
    const double covered = static_cast<double>(scene.Covered());
    for (auto _ : state) {
        renderer.DrawTriangles(vertices, indices, 3);
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = covered;
    state.counters["per_pixel"] = TimePer(covered, state.iterations());
}
BENCHMARK(BM_FillerPerPixel)->DenseRange(0, 3);

// Many small flat triangles, as the clock's marks and hands are (about nine
// rows of three pixels each): their cost is in each triangle's set-up and
// edges more than in its pixels. Each triangle of a colour of its own.
void BM_SmallFlatTriangles(benchmark::State& state) {
    Scene scene;
    Renderer& renderer = *scene.renderer;
    constexpr int kSide = 11;
    std::vector<ScreenVertex> vertices(3 * kSide * kSide);
    std::vector<uint16_t> indices(vertices.size());
    const Fixed shape[3][2] = {{0, 0}, {0x48000, 0x13000}, {0x1C000, 0x94000}};
    for (size_t k = 0; k < vertices.size(); ++k) {
        const int32_t triangle = static_cast<int32_t>(k / 3);
        ScreenVertex& vertex = vertices[k];
        vertex.x =
            (10 + 20 * (triangle % kSide)) * 0x10000 + 0x5A00 * (triangle % 3) + shape[k % 3][0];
        vertex.y =
            (10 + 20 * (triangle / kSide)) * 0x10000 + 0x3300 * (triangle % 5) + shape[k % 3][1];
        vertex.color = 0x102030u * static_cast<uint32_t>(triangle);
        indices[k] = static_cast<uint16_t>(k);
    }
    std::fill(scene.pixels.begin(), scene.pixels.end(), kSentinel);
    const auto count = static_cast<uint32_t>(indices.size());
    renderer.DrawTriangles(vertices.data(), indices.data(), count);
    const double covered = static_cast<double>(scene.Covered());
    for (auto _ : state) {
        renderer.DrawTriangles(vertices.data(), indices.data(), count);
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = covered;
    state.counters["per_triangle"] = TimePer(kSide * kSide, state.iterations());
}
BENCHMARK(BM_SmallFlatTriangles);

// The same with the flat rows kept to SSE2 where the processor has AVX.
void BM_SmallFlatTrianglesSse2(benchmark::State& state) {
    UseRowsAvx(false);
    BM_SmallFlatTriangles(state);
    UseRowsAvx(true);
}
BENCHMARK(BM_SmallFlatTrianglesSse2);

// The background copy that opens every frame.
void BM_BlitOpaqueFrame(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.renderer->BlitOpaque(&scene.background, 0, 0, 240, 240, 0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 240 * 240 * 2);
    state.counters["per_pixel"] = TimePer(240.0 * 240.0, state.iterations());
}
BENCHMARK(BM_BlitOpaqueFrame);

} // namespace
