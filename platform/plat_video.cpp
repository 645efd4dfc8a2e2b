#include "plat_video.h"

#include "plat_sdl_internal.h"
#include "plat_tablet.h"
#include "plat_x11_internal.h"

// After the layer's own headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>

namespace {

bool gVideoRunning = false;
std::string gVideoError;

} // namespace

bool PlatVideoStart()
{
    if (gVideoRunning)
        return true;
    // Interrupts end the process as usual instead of arriving as quit events
    // that nothing here asks for.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The press that activates a window is a press like any other.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Closing the last window is the application's business.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Window surfaces are plain memory copied to the window: no OpenGL
    // driver is loaded for them.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The clipboard and the tablet speak to the X server from threads of
    // their own; Xlib must know before the first connection is made.
    XInitThreads();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        gVideoError = SDL_GetError();
        return false;
    }
    X11FilterErrors();
    PlatRegisterWakeUpEvent();
    gVideoError.clear();
    gVideoRunning = true;
    return true;
}

void PlatVideoStop()
{
    if (!gVideoRunning)
        return;
    PlatDestroyAllWindows();
    PlatTabletClose();
    X11StopClipboardServer();
    PlatReleaseSystemCursors();
    PlatClearSimulatedModifiers();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    gVideoRunning = false;
}

bool PlatVideoRunning()
{
    return gVideoRunning;
}

std::string PlatVideoError()
{
    return gVideoError;
}

int32_t PlatScreenBitsPerPixel()
{
    SDL_DisplayMode mode;
    if (!gVideoRunning || SDL_GetCurrentDisplayMode(0, &mode) != 0)
        return 32;
    return static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
}

bool PlatScreenRect(PlatRect& rect)
{
    SDL_Rect bounds;
    if (!gVideoRunning || SDL_GetDisplayBounds(0, &bounds) != 0)
        return false;
    rect = { bounds.x, bounds.y, bounds.x + bounds.w - 1, bounds.y + bounds.h - 1 };
    return true;
}

bool PlatUsableScreenRect(PlatRect& rect)
{
    SDL_Rect bounds;
    if (!gVideoRunning || SDL_GetDisplayUsableBounds(0, &bounds) != 0)
        return false;
    rect = { bounds.x, bounds.y, bounds.x + bounds.w - 1, bounds.y + bounds.h - 1 };
    return true;
}
