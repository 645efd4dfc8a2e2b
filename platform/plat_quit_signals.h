#pragma once

// SIGTERM and SIGINT ask the program to quit instead of ending it at once: the request reaches
// the interface thread through the message pump (PlatSetQuitRequestHandler), so that the
// application leaves its run loop by the normal path and keeps its settings.

// Catches both signals from now on; call once at start-up, before other threads run. A request
// that arrives before the pump runs waits for it. False when the signals cannot be caught.
bool PlatCatchQuitSignals();
// Both signals end the program again, as by default.
void PlatReleaseQuitSignals();
// True once for every caught signal not yet taken (the pump takes them).
bool PlatTakeQuitSignal();
