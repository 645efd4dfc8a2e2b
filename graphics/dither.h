#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Conversions of 32-bit rasters to the 15-, 16- and 8-bit forms and back from
// 8 bits. Source and destination must have the same size and the named
// depths; anything else converts nothing.

constexpr int32_t kDitherTableSize = 370;

// Random offsets 0..7 (8 only for the generator's largest value). Filled once
// per process, on first use, from the calling thread's random sequence: the
// toolkit seeds the interface thread's from the clock at start, so the dither
// differs from run to run, as it always has.
extern int32_t DitherTable[kDitherTableSize];
// Fills DitherTable if no one has yet; concurrent callers wait for the first.
void FillDitherTable();
// 0 until the table is filled, then kDitherTableSize.
int32_t DitherTableCount();

// Random-dithered 5:5:5; bit 15 is set where the source alpha is 128 or more.
void ConvertTo15Dithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination);
// Random-dithered 5:6:5.
void ConvertTo16Dithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination);
// Error-diffused palette indices, with a random dither on the first and last
// columns and the last row. Index 0 marks a transparent pixel (alpha below
// 128); an opaque pixel whose nearest entry is 0 is written as 1.
void ConvertTo8Dithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination);
// Each index becomes its opaque palette colour.
void ConvertFrom8(const QV_PixelBuffer& source, const QV_PixelBuffer& destination);
