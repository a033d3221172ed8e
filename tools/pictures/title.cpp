// The title strip: the title in the generator's own bitmap font, enlarged and
// leaning a little, filled with a gold gradient, outlined and shadowed, on a
// night-blue band between two fine gold lines.
#include "tools/pictures/font.h"
#include "tools/pictures/pictures.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kSamples = 4; // painted at 4 x 4 samples per pixel
constexpr float kLean = 0.2f;
constexpr float kBold = 0.4f; // of a cell
constexpr int kWordGapColumns = 3;
constexpr uint32_t kSeed = 4242;

// A coverage mask at the painting resolution.
struct Mask {
    int width, height;
    std::vector<float> cells;
    Mask(int w, int h) : width(w), height(h), cells(static_cast<size_t>(w) * h, 0.0f) {}
    float At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return cells[static_cast<size_t>(y) * width + x];
    }
    float& Cell(int x, int y) { return cells[static_cast<size_t>(y) * width + x]; }
};

// The text laid out in font cells: for each character its first cell column.
struct Layout {
    std::vector<const Glyph*> glyphs;
    std::vector<int> columns;
    int totalColumns = 0;
};

Layout LayOut(const char* text) {
    Layout layout;
    int column = 0;
    for (const char* p = text; *p != 0; ++p) {
        const Glyph* glyph = FindGlyph(*p);
        if (glyph == nullptr) continue;
        if (*p == ' ') {
            column += kWordGapColumns - 1;
            continue;
        }
        int first = 0, last = -1;
        GlyphSpan(*glyph, &first, &last);
        layout.glyphs.push_back(glyph);
        layout.columns.push_back(column - first);
        column += last - first + 2;
    }
    layout.totalColumns = column > 0 ? column - 1 : 0;
    return layout;
}

// Max over a disc of the given radius (in samples).
Mask Grown(const Mask& m, int radius) {
    Mask out(m.width, m.height);
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            float v = 0;
            for (int j = -radius; j <= radius && v < 1; ++j) {
                for (int i = -radius; i <= radius; ++i) {
                    if (i * i + j * j <= radius * radius) v = std::max(v, m.At(x + i, y + j));
                }
            }
            out.Cell(x, y) = v;
        }
    }
    return out;
}

// A box blur, shifted by (dx, dy) samples.
Mask BlurredShifted(const Mask& m, int radius, int dx, int dy) {
    Mask out(m.width, m.height);
    const float k = 1.0f / static_cast<float>((2 * radius + 1) * (2 * radius + 1));
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            float sum = 0;
            for (int j = -radius; j <= radius; ++j) {
                for (int i = -radius; i <= radius; ++i)
                    sum += m.At(x - dx + i, y - dy + j);
            }
            out.Cell(x, y) = sum * k;
        }
    }
    return out;
}

} // namespace

Canvas PaintTitle(int width, int height, const char* text) {
    const Layout layout = LayOut(text);
    const int W = width * kSamples, H = height * kSamples;
    // The largest cell that leaves room round the text; whole samples so the
    // letters' strokes keep an even weight.
    const float fitWidth = (width * 0.9f) / static_cast<float>(layout.totalColumns + 1);
    const float fitHeight = (height * 0.78f) / static_cast<float>(kGlyphRows);
    const int cell = static_cast<int>(std::floor(std::min(fitWidth, fitHeight) * kSamples));
    const int textWidth = layout.totalColumns * cell;
    const int left = (W - textWidth) / 2 - static_cast<int>(kLean * cell * 3);
    const int top = (H - kGlyphRows * cell) / 2 + cell / 2;
    const float baseline = static_cast<float>(top + (kGlyphBaselineRow + 1) * cell);

    Mask letters(W, H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            // Upright cells, leaning right above the baseline.
            const float ux = static_cast<float>(x) - (baseline - static_cast<float>(y)) * kLean;
            const int row = (y - top) / cell;
            if (y < top || row >= kGlyphRows) continue;
            for (size_t g = 0; g < layout.glyphs.size(); ++g) {
                const float gx = ux - static_cast<float>(left + layout.columns[g] * cell);
                if (gx < 0 || gx >= (kGlyphColumns + kBold) * cell) continue;
                // Bold: every set cell reaches a little into the next one.
                const int column = static_cast<int>(gx) / cell;
                const float into = gx - static_cast<float>(column * cell);
                const char* cells = layout.glyphs[g]->rows[row];
                if (cells[column] == '#' ||
                    (column > 0 && cells[column - 1] == '#' && into < kBold * cell)) {
                    letters.Cell(x, y) = 1;
                }
            }
        }
    }
    const Mask outline = Grown(letters, kSamples + 1);
    const Mask shadow = BlurredShifted(outline, kSamples, kSamples * 2, kSamples * 2);

    const float capTop = static_cast<float>(top);
    const float capBottom = baseline;
    Canvas big(W, H);
    for (int y = 0; y < H; ++y) {
        const float py = (y + 0.5f) / kSamples;
        for (int x = 0; x < W; ++x) {
            const float px = (x + 0.5f) / kSamples;
            // The band: night blue, brighter toward the middle, faint stars.
            const float mid = 1.0f - std::abs(py / height - 0.5f) * 2;
            Color c = Mix(Rgb(0x050818), Rgb(0x1A2660), mid * mid);
            const float star = Noise2(px * 0.9f, py * 0.9f, kSeed);
            c = Mix(c, Rgb(0xBFD0FF), SmoothStep(0.82f, 0.95f, star) * 0.6f);
            // Fine gold lines near both edges.
            const float line = std::max(SmoothStep(1.0f, 0.0f, std::abs(py - 2.5f)),
                                        SmoothStep(1.0f, 0.0f, std::abs(py - (height - 2.5f))));
            c = Mix(c, Rgb(0xC89A3A), line * 0.8f);
            // Shadow, outline, then the gold letters with a glossy upper half.
            c = Mix(c, Rgb(0x000000), shadow.At(x, y) * 0.75f);
            c = Mix(c, Rgb(0x2A1000), outline.At(x, y));
            if (letters.At(x, y) > 0) {
                const float t = Clamp01((static_cast<float>(y) - capTop) / (capBottom - capTop));
                Color gold = t < 0.5f ? Mix(Rgb(0xFFF7C8), Rgb(0xFFC23A), t / 0.5f)
                                      : Mix(Rgb(0xFFB02A), Rgb(0xE8560E), (t - 0.5f) / 0.5f);
                c = gold;
            }
            big.At(x, y) = c;
        }
    }
    return big.Reduced(kSamples);
}
