#pragma once
#include <cstdint>

#include "qv_wnd.h"

class QV_DockingView;

// The tool window of a floating panel.
class QV_DockingWnd : public QV_Wnd {
public:
    QV_DockingWnd(int32_t kind, const char* title, bool resizable, QV_Wnd* owner, QV_DockingView* view,
        int32_t x1, int32_t y1, int32_t x2, int32_t y2);

    // Hides the window and tells the panel it is closing.
    void Closed() override;

    QV_DockingView* fView; // not owned
};
