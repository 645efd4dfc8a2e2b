#include "plat_thread.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

// On Linux the nice value is per thread when addressed by thread id. Raising
// it needs no privilege; a failure leaves the thread at normal priority.
void LowerCurrentThreadPriority()
{
    const id_t tid = id_t(gettid());
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, tid);
    if (errno != 0)
        return;
    setpriority(PRIO_PROCESS, tid, std::min(nice + 5, 19));
}

} // namespace

bool PlatStartThread(PlatThreadEntry entry, void* arg, PlatThreadPriority priority)
{
    if (!entry)
        return false;
    try {
        // The thread sets its own priority before the work starts, so there is
        // no window in which the starter must still find it.
        std::thread thread([entry, arg, priority] {
            if (priority == PlatThreadPriority::BelowNormal)
                LowerCurrentThreadPriority();
            entry(arg);
        });
        thread.detach();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}
