#pragma once
// Shared by the files of the video layer only; SDL stays inside this folder.
#include <SDL.h>

#include "plat_window.h"

struct PlatWindow {
    SDL_Window* sdl = nullptr;
    uint32_t id = 0;
    PlatWindowHandler handler = nullptr;
    void* user = nullptr;
    bool destroying = false;
};

// The live window with that SDL window id, or null.
PlatWindow* PlatWindowFromSdlId(uint32_t id);
// Every live window, in order of creation.
void PlatDestroyAllWindows();

// Hands the event to the window's handler, when it has one.
void PlatDeliver(PlatWindow* window, const PlatEvent& event);

// The pump's timers of a window that is going.
void PlatDropTimers(uint32_t windowId);
// The user event type of wake-ups, registered when video starts.
uint32_t PlatWakeUpEventType();
void PlatRegisterWakeUpEvent();
