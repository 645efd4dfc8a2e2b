#pragma once
#include <cstdint>

struct PlatWindow;

// Input made up by the program itself, queued as the system would queue it:
// the pump translates it like real input. Tests and automation drive windows
// with it. Each event carries its modifiers (kPlatShift, kPlatCtrl,
// kPlatAlt), which also stay the keyboard's state until the next simulated
// event. False when the video layer is not running or the queue is full.

// key: a PlatKey or the unshifted character of a key ('c', '[').
bool PlatSimulateKey(PlatWindow* window, int32_t key, bool down, int32_t modifiers);
// Typed text, UTF-8, at most 31 bytes.
bool PlatSimulateText(PlatWindow* window, const char* text, int32_t modifiers);
bool PlatSimulateMouseMove(PlatWindow* window, int32_t x, int32_t y, int32_t modifiers);
// button: kPlatLeftButton, kPlatRightButton or kPlatMiddleButton.
bool PlatSimulateMouseButton(
    PlatWindow* window, int32_t x, int32_t y, int32_t button, bool down, int32_t modifiers);
// Notches; towards the user negative.
bool PlatSimulateWheel(PlatWindow* window, int32_t x, int32_t y, float notches, int32_t modifiers);
// The close box.
bool PlatSimulateClose(PlatWindow* window);
bool PlatSimulateDrop(PlatWindow* window, const char* path);
// The window manager reports a new client size (0 x 0 for a minimised window).
bool PlatSimulateResize(PlatWindow* window, int32_t width, int32_t height);
bool PlatSimulateFocus(PlatWindow* window, bool gained);
