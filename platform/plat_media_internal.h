#pragma once
#include <cstdint>

// No raster holds more pixels than this (the same bound as the base image's).
constexpr int64_t kPlatMaxPixels = int64_t(1) << 28;

// The movie libraries report on stderr by default; bad input is answered by results here, so
// only their fatal messages stay.
void PlatQuietMediaLog();
