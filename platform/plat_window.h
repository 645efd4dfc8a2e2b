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
    kPlatWindowResizable = 1, // a sizing frame and a maximise box
    kPlatWindowBorderless = 2,
    kPlatWindowUtility = 4, // a tool window: no task bar entry
    kPlatWindowSkipTaskbar = 8,
};

// A hidden window whose client area is width x height with its top-left corner
// at (x, y) of the screen. Null when the video layer is not running or the
// system refuses.
PlatWindow* PlatWindowCreate(
    const char* title, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags);
// A null handler drops the window's events.
void PlatWindowSetHandler(PlatWindow* window, PlatWindowHandler handler, void* user);
// Destroys the windows it owns first (PlatWindowSetOwner), then sends the
// Destroy event to the handler, stops the window's timers and removes the
// window. A second call during the first does nothing.
void PlatWindowDestroy(PlatWindow* window);
// The window stays above its owner and goes with it; the window manager may
// treat it as the owner's dialog. Null: no owner.
void PlatWindowSetOwner(PlatWindow* window, PlatWindow* owner);
PlatWindow* PlatWindowOwner(PlatWindow* window);
// The user pointer given with the handler, or null.
void* PlatWindowUser(PlatWindow* window);
// The live window with that id, or null.
PlatWindow* PlatWindowFromId(uint32_t id);

// A number that names the window for as long as it lives and is never reused
// for another; 0 for null. Other threads keep this instead of the pointer.
uint32_t PlatWindowId(PlatWindow* window);

void PlatWindowShow(PlatWindow* window);
void PlatWindowHide(PlatWindow* window);
bool PlatWindowIsShown(PlatWindow* window);
// Raises the window and gives it the keyboard, where the system allows.
void PlatWindowFocus(PlatWindow* window);
void PlatWindowSetTitle(PlatWindow* window, const char* title);
bool PlatWindowClientSize(PlatWindow* window, int32_t& width, int32_t& height);
// Asks for a new client size within the size limits; the Resized event
// follows from the pump.
void PlatWindowSetClientSize(PlatWindow* window, int32_t width, int32_t height);
// Smallest and largest client sizes the user can drag the window to.
void PlatWindowSetSizeLimits(
    PlatWindow* window, int32_t minWidth, int32_t minHeight, int32_t maxWidth, int32_t maxHeight);
// Screen position of the client area's top-left corner.
bool PlatWindowClientPosition(PlatWindow* window, int32_t& x, int32_t& y);
void PlatWindowMoveClient(PlatWindow* window, int32_t x, int32_t y);
// The window manager's frame around the client area on each side; all 0
// (and false) where the window manager gives none or has not told yet.
bool PlatWindowFrameExtents(PlatWindow* window, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom);
// A disabled window gets no input events (mouse, keys, text, drops, close
// requests); painting, timers and wake-ups still arrive.
void PlatWindowEnable(PlatWindow* window, bool enabled);
bool PlatWindowIsEnabled(PlatWindow* window);
// While captured, the pointer's moves and releases reach the window that
// took the press even outside it.
void PlatCaptureMouse(bool captured);
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
