#pragma once
#include <cstdint>

struct PlatWindow;

// The message pump of the interface thread, used by the run loop and by every
// modal loop.

// Waits for the next event or timer, translates it and hands it to its
// window's handler. 1 when one event was handled, 0 when a posted quit ended
// the wait (the quit is used up), -1 when the video layer is not running or
// waiting failed. Events of windows that are gone are dropped.
int32_t PlatPumpMessage();

constexpr uint32_t kPlatPumpWaitForever = 0xFFFFFFFFu;
constexpr int32_t kPlatPumpTimedOut = 2;
// The same, waiting at most timeoutMs (0: only what is waiting already);
// kPlatPumpTimedOut when nothing was handled in that time.
int32_t PlatPumpMessageWithin(uint32_t timeoutMs);

// The next PlatPumpMessage returns 0 once the events already waiting are
// handled. Interface thread only.
void PlatPostQuit();
// Drops a posted quit that no loop has seen (start-up and tests).
void PlatClearQuit();

// The system asks the program to quit (a caught SIGTERM or SIGINT, or the
// system's quit event): the pump calls the handler on the interface thread,
// counting it as one handled event. Without a handler the request posts a
// quit. Null removes the handler.
void PlatSetQuitRequestHandler(void (*handler)());

// Safe from any thread: the window with that id (PlatWindowId) gets a WakeUp
// event on the interface thread; a worker asks for a repaint this way. False
// when the event queue is full or not running. Waking a window that is gone by
// then does nothing.
bool PlatPostWakeUp(uint32_t windowId);

// A repeating timer of the window: every periodMs (at least 10) the handler
// gets a Timer event with the id. A timer that falls behind fires once, not
// once for each period it missed. Setting an id again restarts it with the new
// period. False without a window.
bool PlatSetTimer(PlatWindow* window, uint32_t id, uint32_t periodMs);
void PlatKillTimer(PlatWindow* window, uint32_t id);
// The period the timer was set with; false when the window has no such timer.
bool PlatTimerPeriod(PlatWindow* window, uint32_t id, uint32_t& periodMs);

// While long work runs on the interface thread: handles at most one waiting event that is no
// input (a repaint, a size or focus change, a wake-up) or else one due timer. Input, closes and
// quits stay queued for the loop that runs after the work. 1 when something was handled, 0
// when nothing was, -1 when the video layer is not running.
int32_t PlatPumpOneNonInput();

// A press of the left or right button waiting in the queue: the window's id (PlatWindowId) and
// the point in its client area.
struct PlatMousePress {
    uint32_t windowId = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t button = 0;
};
// For long work that only watches for a cancelling click: takes the waiting presses of the
// left and right buttons out of the queue, every other event staying where it is, and answers
// how many were taken (the first max of them are stored). Their releases stay queued; a release
// without its press reaches no view.
int32_t PlatTakeMousePresses(PlatMousePress* presses, int32_t max);
