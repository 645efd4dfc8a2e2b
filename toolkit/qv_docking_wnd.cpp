#include "qv_docking_wnd.h"

#include "plat_window.h"
#include "qv_docking_view.h"

QV_DockingWnd::QV_DockingWnd(int32_t kind, const char* title, bool resizable, QV_Wnd* owner,
    QV_DockingView* view, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    : QV_Wnd(kind, title, resizable, owner, x1, y1, x2, y2)
    , fView(view)
{
}

void QV_DockingWnd::Closed()
{
    PlatWindowHide(fHwnd);
    if (QV_DockingView* view = fView) {
        view->fFloatWindow = nullptr;
        view->FloatingWindowClosed();
    }
}
