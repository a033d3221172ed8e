// The device's built-in font.
#pragma once
#include <cstdint>

namespace host {

// The 13 rows of a character's 6-pixel cell, leftmost pixel in bit 5.
// Characters outside printable ASCII show as '?'.
const uint8_t* GlyphRows(char16_t c);

} // namespace host
