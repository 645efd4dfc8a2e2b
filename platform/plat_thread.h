#pragma once

enum class PlatThreadPriority {
    Normal,
    BelowNormal, // nice +5 on the thread, best effort
};

using PlatThreadEntry = void (*)(void* arg);

// Starts a detached thread that runs entry(arg) at the given priority and
// then ends. False when no thread could be started (entry never runs).
bool PlatStartThread(PlatThreadEntry entry, void* arg, PlatThreadPriority priority);
