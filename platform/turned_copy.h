// Platform stage, the screen: the turned copy, rows of 16-bit pixels written up
// screen columns, the quarter turn of the presenter on a portrait screen.
// Source row r goes to the screen column 2r bytes to the right of dst, its
// pixel c lands c * step bytes above dst (step is the screen's row pitch; it
// may be negative, and dst may lie on any byte).
//
// The copy works in tiles of 8x8 pixels, so that reads run along the source's
// rows and writes along the screen's rows, each tile turned in registers: with
// SSE2 or NEON where the compiler offers them, in 64-bit words otherwise. Both
// paths write exactly the same bytes.
#pragma once
#include <cstddef>
#include <cstdint>

// Whether this build has a vector path (SSE2 or NEON); without one,
// CopyTurned is CopyTurnedPortable.
extern const bool kTurnedCopyHasVectorPath;

// sourceStride: bytes from one source row to the next.
void CopyTurned(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                int32_t width, int32_t height);
void CopyTurnedPortable(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                        int32_t width, int32_t height);
// Only the source's marked tiles (frame_tiles.h; width and height within the
// tiles' bits), each written where CopyTurned writes it.
struct FrameTiles;
void CopyTurnedTiles(uint8_t* dst, ptrdiff_t step, const uint8_t* source, ptrdiff_t sourceStride,
                     int32_t width, int32_t height, const FrameTiles& tiles);
