// Golden frames: digests of whole pictures drawn by the clock, by the
// renderer alone and by the presenter, from fixed inputs. Any change to how a
// picture is drawn that moves one pixel changes a digest; tests/tools checks
// them against the values kq3d-golden printed before such work began.
#pragma once
#include "resource/memory.h"

#include <cstdint>
#include <string>
#include <vector>

// FNV-1a (64 bits) over the bytes of 16-bit pixel values, low byte first, so
// a digest is the same on every processor.
class PixelDigest {
  public:
    void Add(uint16_t pixel) {
        AddByte(pixel & 0xFFu);
        AddByte(pixel >> 8u);
    }
    void AddByte(uint32_t byte) { state_ = (state_ ^ byte) * 0x100000001B3ull; }
    uint64_t Value() const { return state_; }

  private:
    uint64_t state_ = 0xCBF29CE484222325ull;
};

// The tracked allocator with level 0 as the clock has it, started once: a
// second start would take back blocks still in use.
inline void StartAllocatorOnce() {
    static const bool started = (MemoryInit(), MemoryLevelSetup(1024, 0), true);
    (void)started;
}

// Every pixel of the device's screen, row by row, read through its pitches
// (which may be odd numbers of bytes).
void AddScreen(PixelDigest& digest);

struct GoldenDigest {
    std::string name;
    uint64_t digest;
};

// The clock's whole 240x320 screen after a number of frames at a fixed time of
// day, with pictures of the sizes the clock loads whose texels all differ.
// Runs the clock on the device in a temporary root folder; empty when that
// folder cannot be made.
std::vector<GoldenDigest> ClockGoldenDigests();

// The renderer alone: thousands of fixed-seed triangles in all four fill
// modes, meshes through both vertex routines, and the three blits, many of
// them partly off the frame, on frames of even and odd widths.
std::vector<GoldenDigest> RendererGoldenDigests();

// Presents, rectangle copies and fills on turned and straight screens, among
// them screens whose pitches are odd numbers of pixels or of bytes.
std::vector<GoldenDigest> PresenterGoldenDigests();
