#include "plat_mutex.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
#include <thread>

// Ownership is tracked here rather than left to std::recursive_timed_mutex so
// that a release by a thread that does not hold the mutex is refused instead
// of being undefined.
struct PlatMutex {
    std::timed_mutex mutex;
    std::atomic<std::thread::id> owner {};
    uint32_t depth = 0; // touched by the owner only
};

PlatMutex* PlatMutexCreate()
{
    return new (std::nothrow) PlatMutex;
}

void PlatMutexDestroy(PlatMutex* mutex)
{
    delete mutex;
}

bool PlatMutexLock(PlatMutex* mutex, uint32_t timeoutMs)
{
    if (!mutex)
        return false;
    const std::thread::id self = std::this_thread::get_id();
    // Only this thread can have stored its own id, so a match cannot be stale.
    if (mutex->owner.load(std::memory_order_relaxed) == self) {
        ++mutex->depth;
        return true;
    }
    if (timeoutMs == kPlatWaitForever)
        mutex->mutex.lock();
    else if (timeoutMs == 0) {
        if (!mutex->mutex.try_lock())
            return false;
    } else if (!mutex->mutex.try_lock_for(std::chrono::milliseconds(timeoutMs)))
        return false;
    mutex->owner.store(self, std::memory_order_relaxed);
    mutex->depth = 1;
    return true;
}

bool PlatMutexUnlock(PlatMutex* mutex)
{
    if (!mutex || mutex->owner.load(std::memory_order_relaxed) != std::this_thread::get_id())
        return false;
    if (--mutex->depth == 0) {
        mutex->owner.store(std::thread::id(), std::memory_order_relaxed);
        mutex->mutex.unlock();
    }
    return true;
}
