#pragma once
#include "plat_mutex.h"

// Owns one re-entrant mutex and destroys it with itself. The owner creates
// the mutex (PlatMutexCreate) and takes and releases it (PlatMutexLock,
// PlatMutexUnlock); the locking discipline is the owner's.
class QV_Locker {
public:
    QV_Locker() = default;
    QV_Locker(const QV_Locker&) = delete;
    QV_Locker& operator=(const QV_Locker&) = delete;
    virtual ~QV_Locker();

    PlatMutex* handle = nullptr; // null when creation failed
};
