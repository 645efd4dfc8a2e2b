#include "qv_thread.h"

#include <new>

void ThreadStart(void* record)
{
    QV_ThreadRecord* start = static_cast<QV_ThreadRecord*>(record);
    start->callback(start->userData);
    delete start;
}

bool StartWorkerThread(QV_ThreadCallback callback, void* userData, PlatThreadPriority priority)
{
    if (!callback)
        return false;
    QV_ThreadRecord* record = new (std::nothrow) QV_ThreadRecord { callback, userData };
    if (!record)
        return false;
    if (!PlatStartThread(ThreadStart, record, priority)) {
        delete record;
        return false;
    }
    return true;
}
