#pragma once

// The system's warning sound: the X server's bell, or nothing where there is
// none. Interface thread only.
void PlatBeep();

// Called by every PlatBeep besides the bell (null: none); tests count beeps
// with it.
void PlatSetBeepHook(void (*hook)());
