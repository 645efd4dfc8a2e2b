#pragma once

#include <cstdint>

struct QV_PixelBuffer;

// Three 256-entry ramps that turn a blurred coverage alpha into a sharpened one: entry i is
// (i - start) / width x 255, rounded half away from zero and clamped to 0..255. The outline
// effects put their new edge where the blurred coverage crosses the ramp.
//
// Each table is built once per process, on the first construction of the kind that uses it;
// render threads construct effects too, so building is guarded by a once-flag. The getters build
// on demand as well and return the finished table.

// Angled pen: 0 up to 15, 255 from 40.
const uint8_t* PenAlphaTable();
// Sketchy: 0 up to 56, 255 from 120.
const uint8_t* SketchAlphaTable();
// Spots: 0 up to 64, 255 from 128.
const uint8_t* SpotAlphaTable();

// target's alpha becomes table[alpha of source at the same place], for the overlap of two 32-bit
// rasters placed at (0, 0); colours are kept.
void MapAlphaThroughTable(const QV_PixelBuffer& source, const QV_PixelBuffer& target, const uint8_t* table);
