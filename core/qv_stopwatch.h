#pragma once
#include <cstdint>

// Elapsed seconds from the millisecond tick count. The tick difference is
// taken in unsigned 32-bit arithmetic, so a measurement stays right across
// the wrap of the counter as long as it is shorter than 49.7 days.
class QV_Stopwatch {
public:
    void Start();
    void Stop();
    // While running, recomputes the elapsed seconds; otherwise returns them
    // as they were (0 before any Start, the stopped value after Stop).
    float Elapsed();

    bool running = false;
    float elapsed = 0.0f; // seconds, as last computed
    uint32_t start = 0; // tick count at Start
};

using QV_TickSource = uint32_t (*)();

// Replaces the tick count that every stopwatch reads (null restores the
// system's). For tests that have to cross the wrap of the counter.
void QV_SetStopwatchTickSource(QV_TickSource source);
