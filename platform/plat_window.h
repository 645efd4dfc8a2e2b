#pragma once
#include <cstdint>

#include "plat_event.h"
#include "plat_region.h"

// A top-level window of the system. Windows are made hidden and live until
// PlatWindowDestroy; they are used on the interface thread only.
struct PlatWindow;

// Receives every event of its window, called by the message pump. The handler
// may destroy the window.
using PlatWindowHandler = void (*)(void* user, PlatWindow* window, const PlatEvent& event);

enum PlatWindowFlags : uint32_t {
    kPlatWindowResizable = 1,
    kPlatWindowBorderless = 2,
    kPlatWindowUtility = 4, // a tool window: no task bar entry
};

// A hidden window whose client area is width x height with its top-left corner
// at (x, y) of the screen. Null when the video layer is not running or the
// system refuses.
PlatWindow* PlatWindowCreate(
    const char* title, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags);
// A null handler drops the window's events.
void PlatWindowSetHandler(PlatWindow* window, PlatWindowHandler handler, void* user);
// Sends the Destroy event to the handler, stops the window's timers and
// removes the window. A second call during the first does nothing.
void PlatWindowDestroy(PlatWindow* window);

// A number that names the window for as long as it lives and is never reused
// for another; 0 for null. Other threads keep this instead of the pointer.
uint32_t PlatWindowId(PlatWindow* window);

void PlatWindowShow(PlatWindow* window);
void PlatWindowSetTitle(PlatWindow* window, const char* title);
bool PlatWindowClientSize(PlatWindow* window, int32_t& width, int32_t& height);
// Asks for an Expose event, delivered by the pump.
void PlatWindowInvalidate(PlatWindow* window);

// Memory rows to present: pixel (x, y) lies at pixels + y * rowBytes +
// x * bytes per pixel; rowBytes may be negative (bottom-up memory). Depth 32
// is the bytes b, g, r, a; 24 the bytes b, g, r; 16 is 5:6:5 and 15 is 5:5:5.
struct PlatPixels {
    const uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 32;
    int32_t rowBytes = 0;
};

// Copies the rows to the window with their top-left pixel at (x, y) of the
// client area, only where the clip region (client coordinates) covers, and
// shows the changed part. False when nothing could be drawn (no surface, an
// unsupported depth).
bool PlatWindowPresent(
    PlatWindow* window, const PlatPixels& image, int32_t x, int32_t y, const PlatRegion& clip);

// The presented pixel as 0xAARRGGBB with alpha 255; false outside the client
// area or without a surface.
bool PlatWindowReadPixel(PlatWindow* window, int32_t x, int32_t y, uint32_t& argb);
