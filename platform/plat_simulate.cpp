#include "plat_simulate.h"

#include <cstring>

#include "plat_event.h"
#include "plat_sdl_internal.h"

namespace {

uint16_t SdlModifiers(int32_t modifiers)
{
    uint16_t state = KMOD_NONE;
    if (modifiers & kPlatShift)
        state |= KMOD_LSHIFT;
    if (modifiers & kPlatCtrl)
        state |= KMOD_LCTRL;
    if (modifiers & kPlatAlt)
        state |= KMOD_LALT;
    return state;
}

bool Queue(SDL_Event& event, int32_t modifiers)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    SDL_SetModState(static_cast<SDL_Keymod>(SdlModifiers(modifiers)));
    event.common.timestamp = SDL_GetTicks();
    return SDL_PushEvent(&event) == 1;
}

SDL_Keycode SdlKeyOf(int32_t key)
{
    if (const SDL_Keycode code = PlatSdlKeyOf(key))
        return code;
    return key > 0 && key < kPlatKeyReturn ? key : SDLK_UNKNOWN;
}

SDL_Scancode ScancodeOf(SDL_Keycode key)
{
    if (key >= 'a' && key <= 'z')
        return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (key - 'a'));
    return SDL_GetScancodeFromKey(key);
}

// Mouse events keep their modifiers aside until the pump reads them.
bool QueueMouse(SDL_Event& event, int32_t modifiers)
{
    if (!Queue(event, modifiers))
        return false;
    PlatPushSimulatedModifiers(modifiers);
    return true;
}

bool QueueWindowEvent(PlatWindow* window, uint8_t what, int32_t data1 = 0, int32_t data2 = 0)
{
    if (!window)
        return false;
    SDL_Event event {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window->id;
    event.window.event = what;
    event.window.data1 = data1;
    event.window.data2 = data2;
    return Queue(event, 0);
}

} // namespace

bool PlatSimulateKey(PlatWindow* window, int32_t key, bool down, int32_t modifiers)
{
    if (!window)
        return false;
    SDL_Event event {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = window->id;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = SdlKeyOf(key);
    event.key.keysym.scancode = ScancodeOf(event.key.keysym.sym);
    event.key.keysym.mod = SdlModifiers(modifiers);
    return Queue(event, modifiers);
}

bool PlatSimulateText(PlatWindow* window, const char* text, int32_t modifiers)
{
    if (!window || !text || std::strlen(text) >= SDL_TEXTINPUTEVENT_TEXT_SIZE)
        return false;
    SDL_Event event {};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = window->id;
    std::strcpy(event.text.text, text);
    return Queue(event, modifiers);
}

bool PlatSimulateMouseMove(PlatWindow* window, int32_t x, int32_t y, int32_t modifiers)
{
    if (!window)
        return false;
    SDL_Event event {};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = window->id;
    event.motion.which = kPlatSimulatedMouse;
    event.motion.x = x;
    event.motion.y = y;
    return QueueMouse(event, modifiers);
}

bool PlatSimulateMouseButton(
    PlatWindow* window, int32_t x, int32_t y, int32_t button, bool down, int32_t modifiers)
{
    if (!window)
        return false;
    SDL_Event event {};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = window->id;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.which = kPlatSimulatedMouse;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    switch (button) {
    case kPlatLeftButton:
        event.button.button = SDL_BUTTON_LEFT;
        break;
    case kPlatRightButton:
        event.button.button = SDL_BUTTON_RIGHT;
        break;
    case kPlatMiddleButton:
        event.button.button = SDL_BUTTON_MIDDLE;
        break;
    default:
        return false;
    }
    return QueueMouse(event, modifiers);
}

bool PlatSimulateWheel(PlatWindow* window, int32_t x, int32_t y, float notches, int32_t modifiers)
{
    if (!window)
        return false;
    SDL_Event event {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = window->id;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    event.wheel.y = static_cast<Sint32>(notches);
    event.wheel.preciseY = notches;
    event.wheel.which = kPlatSimulatedMouse;
    event.wheel.mouseX = x;
    event.wheel.mouseY = y;
    return QueueMouse(event, modifiers);
}

bool PlatSimulateClose(PlatWindow* window)
{
    return QueueWindowEvent(window, SDL_WINDOWEVENT_CLOSE);
}

bool PlatSimulateDrop(PlatWindow* window, const char* path)
{
    if (!window || !path)
        return false;
    SDL_Event event {};
    event.type = SDL_DROPFILE;
    event.drop.windowID = window->id;
    // The pump frees it, as it frees the system's.
    event.drop.file = SDL_strdup(path);
    if (Queue(event, 0))
        return true;
    SDL_free(event.drop.file);
    return false;
}

bool PlatSimulateResize(PlatWindow* window, int32_t width, int32_t height)
{
    return QueueWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, width, height);
}

bool PlatSimulateFocus(PlatWindow* window, bool gained)
{
    return QueueWindowEvent(window, gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
}
