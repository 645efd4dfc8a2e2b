#include "plat_clipboard.h"

#include <vector>

#include "plat_sdl_internal.h"
#include "plat_x11_internal.h"

bool PlatClipboardSetText(const char* text)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    return SDL_SetClipboardText(text ? text : "") == 0;
}

bool PlatClipboardGetText(std::string& text)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    char* got = SDL_GetClipboardText();
    if (!got)
        return false;
    text = got;
    SDL_free(got);
    return !text.empty();
}

bool PlatClipboardSetPng(const uint8_t* bytes, size_t size)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !bytes || size == 0)
        return false;
    // Whatever text was there goes, as it would with any other image.
    SDL_SetClipboardText("");
    return X11OfferClipboardPng(std::vector<uint8_t>(bytes, bytes + size));
}

bool PlatClipboardHoldsOurPng()
{
    return X11OwnsClipboardPng();
}
