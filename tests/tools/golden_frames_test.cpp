// Golden frames: the digests of whole pictures drawn by the clock, the renderer
// and the presenter (tools/golden says which). kq3d-golden printed them from
// the engine before its rasterizer and presenter were reworked for speed, when
// the clock's frames matched an independent model of its arithmetic pixel for
// pixel on x86-64 and 32-bit ARM. A changed value is a moved pixel: only a
// change meant to alter pictures prints new ones, and its commit says why.
#include "tools/golden/golden_frames.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Golden {
    const char* name;
    uint64_t digest;
};

const Golden kClock[] = {
    {"clock 10:08:30 frame 1", 0xe6c352800d2a1ed2u},
    {"clock 10:08:30 frame 11", 0x8458f6739ab4229fu},
    {"clock 10:08:30 frame 30", 0x99c56928dd1f2bcdu},
    {"clock 10:08:30 frame 92", 0x39cbc68f2e10ee00u},
    {"clock 10:08:30 frame 340", 0x4f15d4ff76cdc530u},
    {"clock 10:08:30 frame 387", 0xbd8785b3a8e10f67u},
    {"clock 10:08:30 frame 491", 0xf9a3c9ae99e28bc6u},
    {"clock 10:08:30 frame 654", 0x029f0ffa026a696eu},
    {"clock 10:08:30 frame 724", 0x6e5d7d7994aff526u},
    {"clock 10:08:30 frame 850", 0x545f95b4e0a70d1du},
    {"clock 10:08:30 frame 1000", 0x2a9cf70085d6d995u},
    {"clock 10:08:30 frame 1575", 0x8c3171e8534a42b8u},
    {"clock 10:08:30 frame 5000", 0x767c37b2d0a0a917u},
    {"clock 03:00:40 frame 60", 0x5d364088b6020036u},
    {"clock 06:30:00 frame 250", 0xbfeed64905dd556du},
    {"clock 23:59:57 frame 150", 0x7f3ff67271485866u},
    {"clock 12:00:00 frame 491", 0x50762b3d3cc67904u},
    {"clock 12:00:00 frame 571", 0x42841fe306b297eeu},
};

const Golden kRenderer[] = {
    {"triangles 240x240 flat", 0x2c8cd5e1ef3d3287u},
    {"triangles 240x240 shaded", 0x9a580567812c927eu},
    {"triangles 240x240 textured, texture 8 wide, 0 level bits", 0x9d1c5f126ef179deu},
    {"triangles 240x240 textured, texture 16 wide, 4 level bits", 0xe241bb9357f21898u},
    {"triangles 240x240 textured, texture 64 wide, 4 level bits", 0x0b0336e4bf757252u},
    {"triangles 240x240 textured, texture 128 wide, 4 level bits", 0x00f0d615f82ad8b0u},
    {"triangles 240x240 textured, texture 256 wide, 0 level bits", 0xf953f933bc4e1963u},
    {"triangles 240x240 textured shaded, texture 8 wide, 0 level bits", 0x6e927b1bc4a04096u},
    {"triangles 240x240 textured shaded, texture 16 wide, 4 level bits", 0xb56d278a3e14ba72u},
    {"triangles 240x240 textured shaded, texture 64 wide, 4 level bits", 0xbcdf0eac3be8117du},
    {"triangles 240x240 textured shaded, texture 128 wide, 4 level bits", 0xfe3c48ac313e7931u},
    {"triangles 240x240 textured shaded, texture 256 wide, 0 level bits", 0x46021a11e9e9de17u},
    {"meshes 240x240 unlit flat", 0xe6ca55df8dd8ba5fu},
    {"meshes 240x240 unlit shaded", 0x5cd94fcd55989a03u},
    {"meshes 240x240 unlit textured", 0xef4aad05a76391d1u},
    {"meshes 240x240 unlit textured shaded", 0xc173b461b4e11b26u},
    {"meshes 240x240 lit flat", 0xd25c7e2fa81ccc1fu},
    {"meshes 240x240 lit shaded", 0xaf888d3ae9341278u},
    {"meshes 240x240 lit textured", 0x716fb8dbd5637088u},
    {"meshes 240x240 lit textured shaded", 0x302ce46cee54d7a1u},
    {"opaque blit 240x240 to 240x240", 0xd5838fcbfb1a3aa0u},
    {"opaque blit 100x60 to 240x240", 0xb14f9b5854c85fa9u},
    {"opaque blit 64x64 to 240x240", 0x5cd0857fe6b5e282u},
    {"keyed blit 240x240 to 240x240", 0xa1ff93734b5666a7u},
    {"keyed blit 100x60 to 240x240", 0xe09707ae7a542c6cu},
    {"keyed blit 64x64 to 240x240", 0x04abda166efbcad2u},
    {"scaled keyed blit 240x240 to 240x240", 0xadb4debace420270u},
    {"scaled keyed blit 100x60 to 240x240", 0x2e8db7500b4055dau},
    {"scaled keyed blit 64x64 to 240x240", 0xb24fa88757d08f85u},
    {"triangles 201x157 flat", 0xe97030551163bb5eu},
    {"triangles 201x157 shaded", 0x808461b4c30534e7u},
    {"triangles 201x157 textured, texture 8 wide, 0 level bits", 0xcf724431fa5029c6u},
    {"triangles 201x157 textured, texture 16 wide, 4 level bits", 0x7c513fe8275b5e2du},
    {"triangles 201x157 textured, texture 64 wide, 4 level bits", 0xd3ea2be493c02dedu},
    {"triangles 201x157 textured, texture 128 wide, 4 level bits", 0x9233793411842c68u},
    {"triangles 201x157 textured, texture 256 wide, 0 level bits", 0x26b24735f052fb07u},
    {"triangles 201x157 textured shaded, texture 8 wide, 0 level bits", 0x4efe549f30087949u},
    {"triangles 201x157 textured shaded, texture 16 wide, 4 level bits", 0xcd499f44fed88432u},
    {"triangles 201x157 textured shaded, texture 64 wide, 4 level bits", 0xaad6208a72be003bu},
    {"triangles 201x157 textured shaded, texture 128 wide, 4 level bits", 0x993ad3474a8107a3u},
    {"triangles 201x157 textured shaded, texture 256 wide, 0 level bits", 0xd1d1ca1ae0f96b9du},
    {"meshes 201x157 unlit flat", 0xd304e84868675e5fu},
    {"meshes 201x157 unlit shaded", 0x630fcf0c8a5514b9u},
    {"meshes 201x157 unlit textured", 0x7fa5371d3e4ca17bu},
    {"meshes 201x157 unlit textured shaded", 0xaee683d5718368ddu},
    {"meshes 201x157 lit flat", 0x07abcb3946eaac4du},
    {"meshes 201x157 lit shaded", 0x10086b42a95b1641u},
    {"meshes 201x157 lit textured", 0xbc8552b4d6a32359u},
    {"meshes 201x157 lit textured shaded", 0x19be4702329d0053u},
    {"opaque blit 240x240 to 201x157", 0x85847a5f75f83de2u},
    {"opaque blit 100x60 to 201x157", 0x7818a8be6ddd7c7cu},
    {"opaque blit 64x64 to 201x157", 0xee302e7cd619c81au},
    {"keyed blit 240x240 to 201x157", 0xd2261078cc222cc4u},
    {"keyed blit 100x60 to 201x157", 0xa800f52221753105u},
    {"keyed blit 64x64 to 201x157", 0xd63d1fee4b1f872au},
    {"scaled keyed blit 240x240 to 201x157", 0x2eafbdc441a206f7u},
    {"scaled keyed blit 100x60 to 201x157", 0x937bd90d15c57419u},
    {"scaled keyed blit 64x64 to 201x157", 0x5efc8f9d8e1a983eu},
};

const Golden kPresenter[] = {
    {"present turned 480", 0x58087968c5b93604u},
    {"rectangles turned 480", 0xfa29aae15d91faeau},
    {"present turned 482", 0x801c622ee8146644u},
    {"rectangles turned 482", 0xa7ff5faeed8bbbcau},
    {"present turned 481", 0x8060a735f32ac88au},
    {"rectangles turned 481", 0x2420feb96d99848au},
    {"present turned -480", 0x847e217312e0a2c4u},
    {"rectangles turned -480", 0xd1a0b82ed194ad9au},
    {"present turned 250x330 502", 0x6d9d98d6041f0654u},
    {"rectangles turned 250x330 502", 0x629bbd1b9763d19au},
    {"present straight 640", 0x536648f11b7debf0u},
    {"rectangles straight 640", 0x38e429983c4277ffu},
    {"present straight 642", 0x3a8ae1194fccf8b2u},
    {"rectangles straight 642", 0xd9edbf17fb3118e4u},
    {"present straight 641", 0x53b79c1f8aa3200au},
    {"rectangles straight 641", 0xc675693374edecb3u},
};

template <size_t kCount>
void ExpectDigests(const std::vector<GoldenDigest>& actual, const Golden (&expected)[kCount]) {
    std::map<std::string, uint64_t> byName;
    for (const GoldenDigest& digest : actual)
        byName[digest.name] = digest.digest;
    EXPECT_EQ(actual.size(), kCount);
    for (const Golden& golden : expected) {
        const auto found = byName.find(golden.name);
        ASSERT_NE(found, byName.end()) << golden.name;
        EXPECT_EQ(found->second, golden.digest) << golden.name;
    }
}

} // namespace

TEST(GoldenFrames, ClockScreens) {
    ExpectDigests(ClockGoldenDigests(), kClock);
}

TEST(GoldenFrames, RendererFrames) {
    ExpectDigests(RendererGoldenDigests(), kRenderer);
}

TEST(GoldenFrames, PresenterScreens) {
    ExpectDigests(PresenterGoldenDigests(), kPresenter);
}
