#include "plat_cursor.h"

#include <vector>

#include "plat_sdl_internal.h"

struct PlatCursor {
    SDL_Cursor* sdl = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, row by row
};

namespace {

constexpr int32_t kMaxCursorSize = 256;

PlatCursor* gShown = nullptr;
bool gHidden = false;
// The state above has reached the video layer.
bool gApplied = false;
// Every live cursor: the video layer's own cursors go when it stops.
std::vector<PlatCursor*> gCursors;

bool MaskBit(const uint8_t* mask, int32_t rowBytes, int32_t x, int32_t y)
{
    return (mask[y * rowBytes + x / 8] >> (7 - x % 8)) & 1;
}

} // namespace

int32_t PlatCursorSize()
{
    return 32;
}

PlatCursor* PlatCursorCreate(
    const uint8_t* andMask, const uint8_t* xorMask, int32_t width, int32_t height, int32_t hotX, int32_t hotY)
{
    if (!andMask || !xorMask || width < 1 || height < 1 || width > kMaxCursorSize || height > kMaxCursorSize
        || hotX < 0 || hotY < 0 || hotX >= width || hotY >= height)
        return nullptr;
    auto* cursor = new PlatCursor;
    cursor->width = width;
    cursor->height = height;
    cursor->pixels.assign(size_t(width) * height, 0);
    const int32_t rowBytes = (width + 7) / 8;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (MaskBit(andMask, rowBytes, x, y))
                continue;
            cursor->pixels[size_t(y) * width + x]
                = MaskBit(xorMask, rowBytes, x, y) ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            cursor->pixels.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            cursor->sdl = SDL_CreateColorCursor(surface, hotX, hotY);
            SDL_FreeSurface(surface);
        }
    }
    gCursors.push_back(cursor);
    return cursor;
}

void PlatCursorDestroy(PlatCursor* cursor)
{
    if (!cursor)
        return;
    if (gShown == cursor)
        PlatCursorShowArrow();
    if (cursor->sdl)
        SDL_FreeCursor(cursor->sdl);
    std::erase(gCursors, cursor);
    delete cursor;
}

void PlatReleaseSystemCursors()
{
    for (PlatCursor* cursor : gCursors) {
        if (cursor->sdl)
            SDL_FreeCursor(cursor->sdl);
        cursor->sdl = nullptr;
    }
    gShown = nullptr;
    gHidden = false;
    gApplied = false;
}

void PlatCursorShow(PlatCursor* cursor)
{
    // Called on every pointer move: nothing to do when nothing changes.
    if (gShown == cursor && gHidden == (cursor == nullptr) && gApplied)
        return;
    gApplied = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    gShown = cursor;
    gHidden = cursor == nullptr;
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    if (!cursor) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    if (cursor->sdl)
        SDL_SetCursor(cursor->sdl);
    SDL_ShowCursor(SDL_ENABLE);
}

void PlatCursorShowArrow()
{
    if (!gShown && !gHidden && gApplied)
        return;
    gApplied = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    gShown = nullptr;
    gHidden = false;
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    if (SDL_Cursor* arrow = SDL_GetDefaultCursor())
        SDL_SetCursor(arrow);
    SDL_ShowCursor(SDL_ENABLE);
}

PlatCursor* PlatCursorShown(bool& hidden)
{
    hidden = gHidden;
    return gShown;
}

bool PlatCursorPixel(const PlatCursor* cursor, int32_t x, int32_t y, uint32_t& argb)
{
    if (!cursor || x < 0 || y < 0 || x >= cursor->width || y >= cursor->height)
        return false;
    argb = cursor->pixels[size_t(y) * cursor->width + x];
    return true;
}
