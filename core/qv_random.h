#pragma once
#include <cstdint>

// The program's pseudo-random generator. It gives the sequence of the C
// runtime the documents were made with, on every machine, so stored seeds
// reproduce particles, grain, noise and brush jitter exactly. Each thread has
// its own state, starting as if seeded with 1: a render thread and the
// interface thread never disturb each other's sequence.
constexpr int kQVRandMax = 32767;

// Restarts the calling thread's sequence.
void QV_SRand(uint32_t seed);

// The next number of the calling thread's sequence, 0..kQVRandMax.
int QV_Rand();
