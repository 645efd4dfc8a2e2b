#include "qv_locker.h"

QV_Locker::~QV_Locker()
{
    if (handle)
        PlatMutexDestroy(handle);
}
