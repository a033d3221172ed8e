// The device's screen memory. The game-screen library hands it out; the
// window system draws text and backgrounds into it; the front ends show it.
// Tests build screens of other shapes and read the pixels back.
#pragma once
#include "host/gx.h"

#include <cstdint>

namespace host {

// The device's own screen: 240x320 portrait, 16 bits per pixel, x pitch 2,
// y pitch 480, landscape flag clear.
GXDisplayProperties DefaultScreenProperties();

// Replaces the screen memory with one of these properties, every byte 0.
// False (and the old screen kept) when the memory cannot be had or the
// shape makes no sense.
bool ScreenSetUp(const GXDisplayProperties& properties);
const GXDisplayProperties& ScreenProperties();

// The address of pixel (0, 0); the pitches lead from there to every pixel.
uint8_t* ScreenOrigin();

// 16-bit screens: read or write the pixel at screen (x, y). Positions off
// the screen read 0 and are not written.
uint16_t ScreenPixel(int32_t x, int32_t y);
void ScreenSetPixel(int32_t x, int32_t y, uint16_t pixel);
bool ScreenIs16Bit();

// The 8-bit red, green and blue of a 16-bit pixel, into rgb[0..2]: each field's
// top bits repeat below it (R = r5 << 3 | r5 >> 2, G = g6 << 2 | g6 >> 4,
// B = b5 << 3 | b5 >> 2), so black stays black and white white.
inline void ExpandPixel(uint16_t pixel, uint8_t* rgb) {
    const uint32_t r = (pixel >> 11) & 0x1F;
    const uint32_t g = (pixel >> 5) & 0x3F;
    const uint32_t b = pixel & 0x1F;
    rgb[0] = static_cast<uint8_t>(r << 3 | r >> 2);
    rgb[1] = static_cast<uint8_t>(g << 2 | g >> 4);
    rgb[2] = static_cast<uint8_t>(b << 3 | b >> 2);
}

// Counts every change to the screen, so a front end shows only new pictures.
uint64_t ScreenGeneration();
void ScreenTouched();

} // namespace host
