#pragma once
#include "plat_thread.h"

using QV_ThreadCallback = void (*)(void* userData);

// What a worker thread runs; made by StartWorkerThread, freed by ThreadStart.
struct QV_ThreadRecord {
    QV_ThreadCallback callback;
    void* userData;
};

// The entry of every worker thread: runs the record's callback with its user
// data, then frees the record.
void ThreadStart(void* record);

// Starts callback(userData) on a new detached thread (render threads: normal;
// export and batch export: below normal). False when no thread could be
// started; the callback then never runs.
bool StartWorkerThread(QV_ThreadCallback callback, void* userData, PlatThreadPriority priority);
