#pragma once
#include <cstdint>

// A re-entrant mutex with timed waits: the thread that holds it may take it
// again, and must release it once per successful take.
struct PlatMutex;

// Wait without limit.
constexpr uint32_t kPlatWaitForever = 0xFFFFFFFFu;

// Null when the mutex cannot be made.
PlatMutex* PlatMutexCreate();

// The mutex must not be held by another thread any more.
void PlatMutexDestroy(PlatMutex* mutex);

// Takes the mutex, waiting at most timeoutMs (0: try once; kPlatWaitForever:
// no limit). False on time-out or for a null mutex.
bool PlatMutexLock(PlatMutex* mutex, uint32_t timeoutMs = kPlatWaitForever);

// Releases one take. False (and nothing changes) when the calling thread
// does not hold the mutex.
bool PlatMutexUnlock(PlatMutex* mutex);
