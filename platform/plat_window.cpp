#include "plat_window.h"

#include <algorithm>
#include <vector>

#include "plat_sdl_internal.h"

namespace {

const char* const kWindowDataName = "celvane.window";

// Live windows in order of creation; interface thread only.
std::vector<PlatWindow*>& Windows()
{
    static std::vector<PlatWindow*> windows;
    return windows;
}

uint32_t SdlFormatOfDepth(int32_t depth)
{
    switch (depth) {
    case 32:
        return SDL_PIXELFORMAT_ARGB8888;
    case 24:
        return SDL_PIXELFORMAT_BGR24;
    case 16:
        return SDL_PIXELFORMAT_RGB565;
    case 15:
        return SDL_PIXELFORMAT_RGB555;
    default:
        return SDL_PIXELFORMAT_UNKNOWN;
    }
}

} // namespace

PlatWindow* PlatWindowFromSdlId(uint32_t id)
{
    SDL_Window* sdl = SDL_GetWindowFromID(id);
    if (!sdl)
        return nullptr;
    return static_cast<PlatWindow*>(SDL_GetWindowData(sdl, kWindowDataName));
}

const std::vector<PlatWindow*>& PlatLiveWindows()
{
    return Windows();
}

void PlatDestroyAllWindows()
{
    // Handlers may destroy other windows while they go: take one at a time.
    while (!Windows().empty())
        PlatWindowDestroy(Windows().front());
}

void PlatDeliver(PlatWindow* window, const PlatEvent& event)
{
    if (window && window->handler)
        window->handler(window->user, window, event);
}

PlatWindow* PlatWindowCreate(
    const char* title, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) || width <= 0 || height <= 0)
        return nullptr;
    uint32_t sdlFlags = SDL_WINDOW_HIDDEN;
    if (flags & kPlatWindowResizable)
        sdlFlags |= SDL_WINDOW_RESIZABLE;
    if (flags & kPlatWindowBorderless)
        sdlFlags |= SDL_WINDOW_BORDERLESS;
    if (flags & kPlatWindowUtility)
        sdlFlags |= SDL_WINDOW_UTILITY;
    if (flags & kPlatWindowSkipTaskbar)
        sdlFlags |= SDL_WINDOW_SKIP_TASKBAR;
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", x, y, width, height, sdlFlags);
    if (!sdl)
        return nullptr;
    auto* window = new PlatWindow;
    window->sdl = sdl;
    window->id = SDL_GetWindowID(sdl);
    SDL_SetWindowData(sdl, kWindowDataName, window);
    Windows().push_back(window);
    return window;
}

void PlatWindowSetHandler(PlatWindow* window, PlatWindowHandler handler, void* user)
{
    if (!window)
        return;
    window->handler = handler;
    window->user = user;
}

void PlatWindowDestroy(PlatWindow* window)
{
    if (!window || window->destroying)
        return;
    window->destroying = true;
    // Owned windows go first, as their owner's handler may still expect them.
    for (;;) {
        auto& windows = Windows();
        auto owned = std::find_if(windows.begin(), windows.end(),
            [window](PlatWindow* other) { return other->owner == window && !other->destroying; });
        if (owned == windows.end())
            break;
        PlatWindowDestroy(*owned);
    }
    PlatDropTimers(window->id);
    PlatEvent event;
    event.type = PlatEventType::Destroy;
    PlatDeliver(window, event);
    auto& windows = Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    for (PlatWindow* other : windows) {
        if (other->owner == window)
            other->owner = nullptr;
    }
    SDL_SetWindowData(window->sdl, kWindowDataName, nullptr);
    SDL_DestroyWindow(window->sdl);
    delete window;
}

void PlatWindowSetOwner(PlatWindow* window, PlatWindow* owner)
{
    if (!window || owner == window)
        return;
    window->owner = owner;
    // Not every video driver knows owners; the ownership above still holds.
    if (owner)
        SDL_SetWindowModalFor(window->sdl, owner->sdl);
}

PlatWindow* PlatWindowOwner(PlatWindow* window)
{
    return window ? window->owner : nullptr;
}

void* PlatWindowUser(PlatWindow* window)
{
    return window ? window->user : nullptr;
}

PlatWindow* PlatWindowFromId(uint32_t id)
{
    if (id == 0 || !SDL_WasInit(SDL_INIT_VIDEO))
        return nullptr;
    PlatWindow* window = PlatWindowFromSdlId(id);
    return window && !window->destroying ? window : nullptr;
}

uint32_t PlatWindowId(PlatWindow* window)
{
    return window ? window->id : 0;
}

void PlatWindowShow(PlatWindow* window)
{
    if (window)
        SDL_ShowWindow(window->sdl);
}

void PlatWindowHide(PlatWindow* window)
{
    if (window)
        SDL_HideWindow(window->sdl);
}

bool PlatWindowIsShown(PlatWindow* window)
{
    return window && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0;
}

void PlatWindowFocus(PlatWindow* window)
{
    if (!window)
        return;
    SDL_RaiseWindow(window->sdl);
    // Without a window manager nobody else hands out the keyboard.
    if (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN)
        SDL_SetWindowInputFocus(window->sdl);
}

void PlatWindowSetTitle(PlatWindow* window, const char* title)
{
    if (window)
        SDL_SetWindowTitle(window->sdl, title ? title : "");
}

bool PlatWindowClientSize(PlatWindow* window, int32_t& width, int32_t& height)
{
    if (!window)
        return false;
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(window->sdl, &w, &h);
    width = w;
    height = h;
    return true;
}

void PlatWindowSetClientSize(PlatWindow* window, int32_t width, int32_t height)
{
    if (window && width > 0 && height > 0)
        SDL_SetWindowSize(window->sdl, width, height);
}

void PlatWindowSetSizeLimits(
    PlatWindow* window, int32_t minWidth, int32_t minHeight, int32_t maxWidth, int32_t maxHeight)
{
    if (!window)
        return;
    minWidth = std::max(1, minWidth);
    minHeight = std::max(1, minHeight);
    SDL_SetWindowMinimumSize(window->sdl, minWidth, minHeight);
    SDL_SetWindowMaximumSize(window->sdl, std::max(minWidth, maxWidth), std::max(minHeight, maxHeight));
}

bool PlatWindowClientPosition(PlatWindow* window, int32_t& x, int32_t& y)
{
    if (!window)
        return false;
    int left = 0;
    int top = 0;
    SDL_GetWindowPosition(window->sdl, &left, &top);
    x = left;
    y = top;
    return true;
}

void PlatWindowMoveClient(PlatWindow* window, int32_t x, int32_t y)
{
    if (window)
        SDL_SetWindowPosition(window->sdl, x, y);
}

bool PlatWindowFrameExtents(PlatWindow* window, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom)
{
    left = top = right = bottom = 0;
    int t = 0;
    int l = 0;
    int b = 0;
    int r = 0;
    if (!window || SDL_GetWindowBordersSize(window->sdl, &t, &l, &b, &r) != 0)
        return false;
    left = l;
    top = t;
    right = r;
    bottom = b;
    return true;
}

void PlatWindowEnable(PlatWindow* window, bool enabled)
{
    if (window)
        window->enabled = enabled;
}

bool PlatWindowIsEnabled(PlatWindow* window)
{
    return window && window->enabled;
}

void PlatCaptureMouse(bool captured)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE);
}

void PlatWindowInvalidate(PlatWindow* window)
{
    if (!window)
        return;
    SDL_Event event {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_EXPOSED;
    event.window.windowID = window->id;
    SDL_PushEvent(&event);
}

bool PlatWindowPresent(
    PlatWindow* window, const PlatPixels& image, int32_t x, int32_t y, const PlatRegion& clip)
{
    if (!window || !image.pixels || image.width <= 0 || image.height <= 0)
        return false;
    const uint32_t sourceFormat = SdlFormatOfDepth(image.depth);
    if (sourceFormat == SDL_PIXELFORMAT_UNKNOWN)
        return false;
    SDL_Surface* surface = SDL_GetWindowSurface(window->sdl);
    if (!surface)
        return false;
    const int32_t sourceBytes = SDL_BYTESPERPIXEL(sourceFormat);
    const int32_t surfaceBytes = surface->format->BytesPerPixel;

    PlatRegion visible = clip;
    visible.IntersectRect({ x, y, x + image.width - 1, y + image.height - 1 });
    visible.IntersectRect({ 0, 0, surface->w - 1, surface->h - 1 });
    if (visible.IsEmpty())
        return true;

    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return false;
    std::vector<SDL_Rect> changed;
    for (const PlatRect& r : visible.Rects()) {
        const int32_t width = r.right - r.left + 1;
        for (int32_t row = r.top; row <= r.bottom; ++row) {
            const uint8_t* source
                = image.pixels + int64_t(row - y) * image.rowBytes + int64_t(r.left - x) * sourceBytes;
            uint8_t* target = static_cast<uint8_t*>(surface->pixels) + int64_t(row) * surface->pitch
                + int64_t(r.left) * surfaceBytes;
            SDL_ConvertPixels(width, 1, sourceFormat, source, width * sourceBytes, surface->format->format,
                target, width * surfaceBytes);
        }
        changed.push_back({ r.left, r.top, width, r.bottom - r.top + 1 });
    }
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    return SDL_UpdateWindowSurfaceRects(window->sdl, changed.data(), static_cast<int>(changed.size())) == 0;
}

bool PlatWindowReadPixel(PlatWindow* window, int32_t x, int32_t y, uint32_t& argb)
{
    if (!window)
        return false;
    SDL_Surface* surface = SDL_GetWindowSurface(window->sdl);
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h)
        return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return false;
    const uint8_t* at = static_cast<const uint8_t*>(surface->pixels) + int64_t(y) * surface->pitch
        + int64_t(x) * surface->format->BytesPerPixel;
    uint32_t value = 0;
    switch (surface->format->BytesPerPixel) {
    case 1:
        value = *at;
        break;
    case 2:
        value = *reinterpret_cast<const uint16_t*>(at);
        break;
    case 3:
        value = SDL_BYTEORDER == SDL_LIL_ENDIAN ? (at[0] | at[1] << 8 | at[2] << 16)
                                                : (at[2] | at[1] << 8 | at[0] << 16);
        break;
    default:
        value = *reinterpret_cast<const uint32_t*>(at);
        break;
    }
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    argb = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
    return true;
}
