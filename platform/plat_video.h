#pragma once
#include <cstdint>
#include <string>

#include "plat_region.h"

// The video layer: windows, input and the event queue. Started once by the
// toolkit on the interface thread, which is the only thread that may use it
// (other threads only post wake-ups, plat_pump.h).

// True when running (also when it was running already). On failure the
// reason is in PlatVideoError and no window can be made.
bool PlatVideoStart();
// Destroys every window still open (each gets its Destroy event) and stops.
void PlatVideoStop();
bool PlatVideoRunning();
std::string PlatVideoError();

// Bits per pixel of the first display; 32 while the video layer is not running.
int32_t PlatScreenBitsPerPixel();
// The whole first display and its part that windows may use (without panels
// and docks). False, leaving the output alone, when they cannot be had.
bool PlatScreenRect(PlatRect& rect);
bool PlatUsableScreenRect(PlatRect& rect);
