#pragma once
#include <cstdint>

// Milliseconds from a monotonic clock, cut to 32 bits: callers compare
// differences, which stay right across the wrap.
uint32_t PlatTickCount();

// Suspends the calling thread for at least the given milliseconds.
void PlatSleep(uint32_t ms);
