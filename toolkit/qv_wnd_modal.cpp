// The nested loop of modal windows.
#include "plat_mutex.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "qv_wnd.h"

int32_t QV_Wnd::RunModal()
{
    if (!fHwnd)
        return 0;
    fInModal = true;
    fModalDone = false;
    fModalDestroy = true;
    fModalResult = 0;
    int32_t result = 0;
    int32_t* outerResultOut = fModalResultOut;
    fModalResultOut = &result;

    Watch watch(this);
    QV_Wnd* parent = fParent;
    Watch parentWatch(parent);
    // The caller runs inside the parent's window procedure, which holds the
    // parent's mutex: worker threads that update the parent may go on while
    // the loop runs. Only a mutex that was released here is taken back, so
    // a loop run from outside any procedure leaves no hold behind.
    bool released = false;
    if (parent) {
        PlatWindowEnable(parent->fHwnd, false);
        released = PlatMutexUnlock(parent->fWndMutex);
    }

    Show();
    while (!watch.Gone() && !fModalDone) {
        // 0: a quit, which ends this loop only; -1: nothing can arrive.
        if (PlatPumpMessage() <= 0)
            break;
    }

    if (parent && !parentWatch.Gone()) {
        if (released)
            PlatMutexLock(parent->fWndMutex);
        PlatWindowEnable(parent->fHwnd, true);
        PlatWindowFocus(parent->fHwnd);
    }
    if (watch.Gone())
        return result;
    fModalResultOut = outerResultOut;
    const bool destroy = fModalDestroy;
    fInModal = false;
    if (destroy)
        PlatWindowDestroy(fHwnd);
    else
        PlatWindowFocus(fHwnd);
    return result;
}

void QV_Wnd::EndModal(bool destroy, int32_t result)
{
    fModalResult = result;
    fModalDone = true;
    fModalDestroy = destroy;
    if (fModalResultOut)
        *fModalResultOut = result;
    // Wakes a loop that waits for events.
    PlatWindowInvalidate(fHwnd);
}
