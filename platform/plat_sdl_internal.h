#pragma once
// Shared by the files of the video layer only; SDL stays inside this folder.
#include <SDL.h>

#include <vector>

#include "plat_window.h"

struct PlatWindow {
    SDL_Window* sdl = nullptr;
    uint32_t id = 0;
    PlatWindowHandler handler = nullptr;
    void* user = nullptr;
    bool destroying = false;
    PlatWindow* owner = nullptr;
    bool enabled = true;
    // The pointer's last position over the window (client coordinates):
    // where dropped files land.
    int32_t pointerX = 0;
    int32_t pointerY = 0;
};

// The live window with that SDL window id, or null.
PlatWindow* PlatWindowFromSdlId(uint32_t id);
// Destroys every live window, in order of creation.
void PlatDestroyAllWindows();
// Every live window, in order of creation.
const std::vector<PlatWindow*>& PlatLiveWindows();

// The PlatKey of a key without a character of its own, or 0 (plat_keys.cpp); and back, or
// SDLK_UNKNOWN. Left and right Shift, Ctrl and Alt are one key each.
int32_t PlatKeyOfSdlKey(SDL_Keycode code);
SDL_Keycode PlatSdlKeyOf(int32_t key);

// Hands the event to the window's handler, when it has one.
void PlatDeliver(PlatWindow* window, const PlatEvent& event);

// The pump's timers of a window that is going.
void PlatDropTimers(uint32_t windowId);
// The user event type of wake-ups, registered when video starts.
uint32_t PlatWakeUpEventType();
void PlatRegisterWakeUpEvent();

// Frees the video layer's part of every cursor before it stops; the cursor
// objects stay and show nothing any more.
void PlatReleaseSystemCursors();

// Mouse events queued by PlatSimulate* carry this device id; their modifiers
// wait here, in queue order, as SDL's mouse events have no room for them.
constexpr uint32_t kPlatSimulatedMouse = 0xC31A0001u;
void PlatPushSimulatedModifiers(int32_t modifiers);
// The modifiers of the oldest simulated mouse event not yet translated.
int32_t PlatPopSimulatedModifiers();
void PlatClearSimulatedModifiers();
