#pragma once
#include <cstdint>

// Lighting of palette colours by one table read: entry [colour][shade] is palette colour `colour`
// darkened toward black below shade 128 and lightened toward white above it (shade 128 is the
// colour itself). One table per pixel size; the 8-bit one holds nearest palette indices.
extern uint32_t ShadeRamp32[256][256];
extern uint16_t ShadeRamp15[256][256];
extern uint8_t ShadeRamp8[256][256];

// Builds the ramps from the first palette handed in (colours as opaque 32-bit pixels, and its
// 32,768-entry 5:5:5 inverse map); later calls, whatever their palette, return at once. Concurrent
// first callers wait until the tables are complete, so no thread can read a half-built ramp.
void BuildShadeRamps(const uint32_t* colors, const uint8_t* inverseMap);

// True once the ramps have been built.
bool ShadeRampsBuilt();
