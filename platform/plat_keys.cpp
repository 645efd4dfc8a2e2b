// The keys without a character of their own, in the system's codes and in ours: the pump turns
// the first into the second, simulated input the second into the first.
#include "plat_event.h"
#include "plat_sdl_internal.h"

namespace {

struct KeyPair {
    SDL_Keycode sdl;
    int32_t key;
};

constexpr KeyPair kKeys[] = {
    { SDLK_RETURN, kPlatKeyReturn },
    { SDLK_ESCAPE, kPlatKeyEscape },
    { SDLK_TAB, kPlatKeyTab },
    { SDLK_BACKSPACE, kPlatKeyBackspace },
    { SDLK_DELETE, kPlatKeyDelete },
    { SDLK_HOME, kPlatKeyHome },
    { SDLK_END, kPlatKeyEnd },
    { SDLK_PAGEUP, kPlatKeyPageUp },
    { SDLK_PAGEDOWN, kPlatKeyPageDown },
    { SDLK_LEFT, kPlatKeyLeft },
    { SDLK_UP, kPlatKeyUp },
    { SDLK_RIGHT, kPlatKeyRight },
    { SDLK_DOWN, kPlatKeyDown },
    { SDLK_F1, kPlatKeyF1 },
    { SDLK_F2, kPlatKeyF1 + 1 },
    { SDLK_F3, kPlatKeyF1 + 2 },
    { SDLK_F4, kPlatKeyF1 + 3 },
    { SDLK_F5, kPlatKeyF1 + 4 },
    { SDLK_F6, kPlatKeyF1 + 5 },
    { SDLK_F7, kPlatKeyF1 + 6 },
    { SDLK_F8, kPlatKeyF1 + 7 },
    { SDLK_F9, kPlatKeyF1 + 8 },
    { SDLK_F10, kPlatKeyF1 + 9 },
    { SDLK_F11, kPlatKeyF1 + 10 },
    { SDLK_F12, kPlatKeyF12 },
    { SDLK_LSHIFT, kPlatKeyShift },
    { SDLK_RSHIFT, kPlatKeyShift },
    { SDLK_LCTRL, kPlatKeyCtrl },
    { SDLK_RCTRL, kPlatKeyCtrl },
    { SDLK_LALT, kPlatKeyAlt },
    { SDLK_RALT, kPlatKeyAlt },
    { SDLK_INSERT, kPlatKeyInsert },
    { SDLK_CAPSLOCK, kPlatKeyCapsLock },
    { SDLK_NUMLOCKCLEAR, kPlatKeyNumLock },
    { SDLK_SCROLLLOCK, kPlatKeyScrollLock },
    { SDLK_PAUSE, kPlatKeyPause },
    { SDLK_PRINTSCREEN, kPlatKeyPrintScreen },
    { SDLK_APPLICATION, kPlatKeyMenu },
    { SDLK_KP_0, kPlatKeyKeypad0 },
    { SDLK_KP_1, kPlatKeyKeypad0 + 1 },
    { SDLK_KP_2, kPlatKeyKeypad0 + 2 },
    { SDLK_KP_3, kPlatKeyKeypad0 + 3 },
    { SDLK_KP_4, kPlatKeyKeypad0 + 4 },
    { SDLK_KP_5, kPlatKeyKeypad0 + 5 },
    { SDLK_KP_6, kPlatKeyKeypad0 + 6 },
    { SDLK_KP_7, kPlatKeyKeypad0 + 7 },
    { SDLK_KP_8, kPlatKeyKeypad0 + 8 },
    { SDLK_KP_9, kPlatKeyKeypad9 },
    { SDLK_KP_MULTIPLY, kPlatKeyKeypadMultiply },
    { SDLK_KP_PLUS, kPlatKeyKeypadAdd },
    { SDLK_KP_MINUS, kPlatKeyKeypadSubtract },
    { SDLK_KP_PERIOD, kPlatKeyKeypadDecimal },
    { SDLK_KP_DIVIDE, kPlatKeyKeypadDivide },
};

} // namespace

int32_t PlatKeyOfSdlKey(SDL_Keycode code)
{
    for (const KeyPair& pair : kKeys) {
        if (pair.sdl == code)
            return pair.key;
    }
    return 0;
}

SDL_Keycode PlatSdlKeyOf(int32_t key)
{
    for (const KeyPair& pair : kKeys) {
        if (pair.key == key)
            return pair.sdl;
    }
    return SDLK_UNKNOWN;
}
