// A small bitmap font of the picture generator: glyphs 5 cells wide and 9
// high (rows 0-6 above the baseline, 7-8 for descenders).
#pragma once

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 9;
constexpr int kGlyphBaselineRow = 6; // the last row above the baseline

struct Glyph {
    char character;
    const char* rows[kGlyphRows]; // '#' set, anything else clear
};

// The glyph of a character, or null when the font lacks it (a space is a
// glyph with no set cells).
const Glyph* FindGlyph(char c);
// The columns a glyph spans: first and last set column (0 and -1 if none).
void GlyphSpan(const Glyph& glyph, int* first, int* last);
