// The vertex routines' paths (render/vertex.cpp): four vertices at a time
// where the build has a vector path, with SSE2's multiplies and with SSE4.1's
// where the processor has them, eight at a time with AVX2's where it has
// those, against the portable routines one
// vertex after the other, on random meshes and views: vertices in front of,
// at and behind the camera, divisions that saturate, products that wrap,
// light from every side and colours that clamp. Every word of every screen
// vertex must agree, the one neither writes included.
#include "render/stages.h"
#include "render_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using VertexRoutine = void (*)(Renderer*, const MeshVertex*, ScreenVertex*, uint32_t);

std::vector<ScreenVertex> Processed(VertexRoutine routine, Renderer& renderer,
                                    const std::vector<MeshVertex>& in) {
    std::vector<ScreenVertex> out(in.size());
    std::memset(out.data(), 0x5A, out.size() * sizeof(ScreenVertex));
    routine(&renderer, in.data(), out.data(), static_cast<uint32_t>(in.size()));
    return out;
}

bool Same(const std::vector<ScreenVertex>& a, const std::vector<ScreenVertex>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0;
}

} // namespace

TEST(VertexPaths, FourAtATimeGiveWhatOneByOneGives) {
    if (!kVertexHasVectorPath) GTEST_SKIP() << "this build has no vector path";
    Frame frame(240, 240);
    Renderer& renderer = *frame.renderer;
    std::mt19937 random(7);
    const auto any = [&] { return static_cast<Fixed>(random()); };
    // Mostly numbers of a scene (within +-2^k units), sometimes any at all.
    const auto scaled = [&](int bits) {
        return random() % 8 == 0 ? any()
                                 : static_cast<Fixed>(random() % (2u << bits)) - (1 << bits);
    };
    for (int trial = 0; trial < 400; ++trial) {
        // A fifth of the views leave depths as they are, so vertices can
        // lie at the camera, just behind it or just in front of it.
        const bool plain = trial % 5 == 0;
        Matrix m;
        MatrixIdentity(&m);
        if (!plain) {
            for (Fixed& element : m.m)
                element = scaled(17);
            for (int k = 12; k < 15; ++k)
                m.m[k] = scaled(24);
        }
        renderer.modelView = m;
        renderer.focalLength = trial % 16 == 0 ? any() : scaled(24);
        renderer.lightInModel = {scaled(17), scaled(17), scaled(17)};
        renderer.ambientColor = random();
        renderer.diffuseColor = random();
        std::vector<MeshVertex> in(1 + random() % 23);
        for (MeshVertex& vertex : in) {
            vertex.position = {scaled(24), scaled(24), scaled(24)};
            if (plain && random() % 2 == 0) vertex.position.z = Fx(random() % 4) / 256 - 256;
            vertex.normal = {scaled(17), scaled(17), scaled(17)};
            vertex.u = any();
            vertex.v = any();
        }
        // SSE2, SSE4.1, then AVX2 (eight at a time, a last four with its
        // multiplies), each where the processor has it.
        for (int level = 0; level < 3; ++level) {
            const bool sse41 = UseVertexSse41(level >= 1);
            const bool avx2 = UseVertexAvx2(level >= 2);
            ASSERT_TRUE(Same(Processed(ProcessVerticesLit, renderer, in),
                             Processed(ProcessVerticesLitPortable, renderer, in)))
                << "lit, SSE4.1 " << sse41 << ", AVX2 " << avx2 << ", trial " << trial;
            ASSERT_TRUE(Same(Processed(ProcessVerticesUnlit, renderer, in),
                             Processed(ProcessVerticesUnlitPortable, renderer, in)))
                << "unlit, SSE4.1 " << sse41 << ", AVX2 " << avx2 << ", trial " << trial;
        }
    }
}
