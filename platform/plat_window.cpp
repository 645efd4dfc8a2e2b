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
    PlatDropTimers(window->id);
    PlatEvent event;
    event.type = PlatEventType::Destroy;
    PlatDeliver(window, event);
    auto& windows = Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    SDL_SetWindowData(window->sdl, kWindowDataName, nullptr);
    SDL_DestroyWindow(window->sdl);
    delete window;
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
