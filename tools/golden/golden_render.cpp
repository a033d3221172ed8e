// The renderer's golden frames: fixed-seed triangles, meshes and blits drawn
// into frames of an even and an odd width, and the digests of what they drew.
#include "golden_frames.h"
#include "math/matrix.h"
#include "math/mesh.h"
#include "platform/display.h"
#include "render/renderer.h"
#include "resource/texture.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <vector>

namespace {

// A small generator of our own, so the cases are the same with every library.
// Each draw is a statement of its own: the order in which a call's arguments
// are evaluated differs between compilers and processors.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 32);
    }
    // low..high, both included.
    int32_t Between(int32_t low, int32_t high) {
        const uint64_t span = static_cast<uint64_t>(int64_t{high} - low) + 1;
        return static_cast<int32_t>(low + static_cast<int64_t>(Next() % span));
    }
    // A Fixed value low..high whole pixels with a random fraction.
    Fixed Pixels(int32_t low, int32_t high) {
        const auto whole = static_cast<uint32_t>(Between(low, high));
        return static_cast<Fixed>((whole << 16) | (Next() & 0xFFFF));
    }

  private:
    uint64_t state_;
};

// A frame buffer of this program's own, lent to a Display, and a renderer.
struct Frame {
    Frame(int32_t width, int32_t height) : pixels(static_cast<size_t>(width) * height) {
        display.frameBuffer = pixels.data();
        display.frameWidth = width;
        display.frameHeight = height;
        renderer = std::make_unique<Renderer>(&display);
    }
    ~Frame() {
        renderer.reset();
        display.frameBuffer = nullptr; // not the raw heap's
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    void Clear(uint16_t pixel) { std::fill(pixels.begin(), pixels.end(), pixel); }
    // Rows first..last (clamped to the frame) into the digest.
    void AddRows(PixelDigest& digest, int32_t first, int32_t last) const {
        first = std::max(first, 0);
        last = std::min(last, display.frameHeight - 1);
        for (int32_t row = first; row <= last; ++row) {
            for (int32_t x = 0; x < display.frameWidth; ++x)
                digest.Add(pixels[static_cast<size_t>(row) * display.frameWidth + x]);
        }
    }
    void AddAll(PixelDigest& digest) const { AddRows(digest, 0, display.frameHeight - 1); }

    std::vector<uint16_t> pixels;
    Display display;
    std::unique_ptr<Renderer> renderer;
};

struct TextureCase {
    int32_t width, height, levelBits;
};
const TextureCase kTriangleTextures[] = {
    {8, 8, 0}, {16, 16, 4}, {64, 64, 4}, {128, 128, 4}, {256, 256, 0}};
const TextureCase kBlitTextures[] = {{240, 240, 0}, {100, 60, 0}, {64, 64, 4}};
const int32_t kFrameSizes[][2] = {{240, 240}, {201, 157}};

// A texture whose texels all differ; every seventh is 0 (the blits' colour
// key) when `keyed`.
struct OwnTexture {
    OwnTexture(const TextureCase& shape, bool keyed) {
        std::vector<uint16_t> source(static_cast<size_t>(shape.width) * shape.height);
        for (size_t k = 0; k < source.size(); ++k) {
            const auto texel = static_cast<uint16_t>(((k + 7) * 2654435761u) >> 13);
            source[k] = keyed && k % 7 == 3 ? 0 : static_cast<uint16_t>(texel | 0x0821);
        }
        TextureInit(&record);
        TextureCreate(&record, shape.width, shape.height, shape.levelBits, source.data());
    }
    ~OwnTexture() { TextureRelease(&record); }
    OwnTexture(const OwnTexture&) = delete;
    OwnTexture& operator=(const OwnTexture&) = delete;
    Texture record{};
};

const char* const kModeNames[4] = {"flat", "shaded", "textured", "textured shaded"};
const char* const kBlitNames[3] = {"opaque blit", "keyed blit", "scaled keyed blit"};

template <class... Arguments>
std::string Name(const char* format, Arguments... arguments) {
    char name[96];
    std::snprintf(name, sizeof name, format, arguments...);
    return name;
}

// Mostly small and medium triangles near the frame, some larger than it, a
// few tens of thousands of pixels across, a quarter of them on half pixels; texture coordinates
// mostly in 0 to just below 1.0, some outside. Three in four are turned to face the viewer.
void RandomTriangle(Random& random, const Frame& frame, ScreenVertex* v) {
    const int32_t width = frame.display.frameWidth;
    const int32_t height = frame.display.frameHeight;
    const uint32_t kind = random.Next() % 16;
    const int32_t cx = random.Between(-60, width + 60);
    const int32_t cy = random.Between(-60, height + 60);
    const int32_t radius = kind == 0 ? 30000 : kind < 4 ? 400 : random.Between(1, 60);
    // Some on whole and half pixels: rows and columns that end exactly on an
    // edge, vertices level with each other.
    const Fixed snap = kind >= 12 ? ~0x7FFF : ~0;
    for (int k = 0; k < 3; ++k) {
        v[k] = ScreenVertex{};
        v[k].x = random.Pixels(cx - radius, cx + radius) & snap;
        v[k].y = random.Pixels(cy - radius, cy + radius) & snap;
        v[k].depth = 100 << 16;
        v[k].color = random.Next();
        const bool inside = random.Next() % 8 != 0;
        v[k].u = inside ? random.Between(0, 0xFFFF) : random.Between(-0x20000, 0x20000);
        v[k].v = inside ? random.Between(0, 0xFFFF) : random.Between(-0x20000, 0x20000);
    }
    if (random.Next() % 4 != 0 && Renderer::FaceSign(v, 0, 1, 2) < 0) std::swap(v[1], v[2]);
}

void Triangles(std::vector<GoldenDigest>& digests, Frame& frame, Random& random) {
    Renderer& renderer = *frame.renderer;
    const uint16_t indices[3] = {0, 1, 2};
    for (uint32_t mode = 0; mode < 4; ++mode) {
        const bool textured = (mode & ModeTextured) != 0;
        const size_t textureCount = textured ? std::size(kTriangleTextures) : 1;
        for (size_t t = 0; t < textureCount; ++t) {
            const TextureCase& shape = kTriangleTextures[t];
            OwnTexture texture(shape, false);
            renderer.SetShading((mode & ModeShaded) != 0);
            renderer.SetTexture(textured ? &texture.record : nullptr);
            renderer.BuildShadeRamp(random.Next());
            frame.Clear(0x1234);
            PixelDigest digest;
            for (int n = 0; n < 150; ++n) {
                ScreenVertex v[3];
                RandomTriangle(random, frame, v);
                renderer.DrawTriangles(v, indices, 3);
                const int32_t top = std::min({v[0].y, v[1].y, v[2].y}) >> 16;
                const int32_t bottom = std::max({v[0].y, v[1].y, v[2].y}) >> 16;
                frame.AddRows(digest, top, bottom);
            }
            frame.AddAll(digest);
            digests.push_back({Name("triangles %dx%d %s", frame.display.frameWidth,
                                    frame.display.frameHeight, kModeNames[mode]) +
                                   (textured ? Name(", texture %d wide, %d level bits", shape.width,
                                                    shape.levelBits)
                                             : ""),
                               digest.Value()});
        }
    }
}

// The three meshes in random poses, through both vertex routines and all four
// fillers; the first pose of each set has vertices behind the camera.
void Meshes(std::vector<GoldenDigest>& digests, Frame& frame, Random& random) {
    Renderer& renderer = *frame.renderer;
    OwnTexture texture(kTriangleTextures[3], false);
    Mesh* const meshes[3] = {&BallMesh, &MarkMesh, &HandMesh};
    for (int lit = 0; lit < 2; ++lit) {
        for (uint32_t mode = 0; mode < 4; ++mode) {
            renderer.SetLighting(lit != 0);
            renderer.SetShading((mode & ModeShaded) != 0);
            renderer.SetTexture((mode & ModeTextured) != 0 ? &texture.record : nullptr);
            renderer.BuildShadeRamp(random.Next());
            PixelDigest digest;
            for (int pose = 0; pose < 8; ++pose) {
                frame.Clear(0x4321);
                renderer.focalLength = random.Pixels(100, 400);
                renderer.ambientColor = random.Next();
                renderer.diffuseColor = random.Next();
                for (Mesh* mesh : meshes) {
                    Matrix m;
                    MatrixIdentity(&m);
                    const Fixed depth = pose == 0 ? random.Pixels(5, 30) : random.Pixels(80, 400);
                    const Fixed x = random.Pixels(-60, 60);
                    const Fixed y = random.Pixels(-60, 60);
                    MatrixTranslate(&m, x, y, depth);
                    MatrixRotateX(&m, random.Between(0, 4095));
                    MatrixRotateY(&m, random.Between(0, 4095));
                    MatrixRotateZ(&m, random.Between(0, 4095));
                    renderer.modelView = m;
                    renderer.lightInModel = {random.Between(-0x10000, 0x10000),
                                             random.Between(-0x10000, 0x10000),
                                             random.Between(-0x10000, 0x10000)};
                    renderer.DrawMesh(mesh);
                }
                frame.AddAll(digest);
            }
            digests.push_back(
                {Name("meshes %dx%d %s %s", frame.display.frameWidth, frame.display.frameHeight,
                      lit ? "lit" : "unlit", kModeNames[mode]),
                 digest.Value()});
        }
    }
}

// Each blit with rectangles partly off the frame and partly off the texture.
void Blits(std::vector<GoldenDigest>& digests, Frame& frame, Random& random) {
    Renderer& renderer = *frame.renderer;
    const int32_t width = frame.display.frameWidth;
    const int32_t height = frame.display.frameHeight;
    for (int kind = 0; kind < 3; ++kind) {
        for (const TextureCase& shape : kBlitTextures) {
            OwnTexture texture(shape, true);
            frame.Clear(0x5555);
            PixelDigest digest;
            for (int n = 0; n < 40; ++n) {
                const int32_t dstX = random.Between(-80, width + 20);
                const int32_t dstY = random.Between(-80, height + 20);
                const int32_t w = random.Between(0, 160);
                const int32_t h = random.Between(0, 160);
                const int32_t srcX = random.Between(-10, shape.width);
                const int32_t srcY = random.Between(-10, shape.height);
                if (kind == 0) {
                    renderer.BlitOpaque(&texture.record, dstX, dstY, w, h, srcX, srcY);
                } else if (kind == 1) {
                    renderer.BlitKeyed(&texture.record, dstX, dstY, w, h, srcX, srcY);
                } else {
                    const int32_t srcWidth = random.Between(1, shape.width);
                    const int32_t srcHeight = random.Between(1, shape.height);
                    renderer.BlitScaledKeyed(&texture.record, dstX, dstY, w, h, srcX, srcY,
                                             srcWidth, srcHeight);
                }
                if (n % 8 == 7) frame.AddAll(digest);
            }
            digests.push_back({Name("%s %dx%d to %dx%d", kBlitNames[kind], shape.width,
                                    shape.height, width, height),
                               digest.Value()});
        }
    }
}

} // namespace

std::vector<GoldenDigest> RendererGoldenDigests() {
    StartAllocatorOnce();
    // The ball's texture coordinates, as the clock gives them.
    GenerateCylindricalUV(BallMesh.vertices, BallMesh.vertexCount);
    std::vector<GoldenDigest> digests;
    Random random(12);
    for (const auto& size : kFrameSizes) {
        Frame frame(size[0], size[1]);
        Triangles(digests, frame, random);
        Meshes(digests, frame, random);
        Blits(digests, frame, random);
    }
    return digests;
}
