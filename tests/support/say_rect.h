#pragma once

#include <cstdio>

#include "plat_window.h"
#include "qv_view.h"
#include "qv_wnd.h"

// Test utilities announce where a widget lies on the screen ("rect NAME X Y W H") so the tests
// driving them with xdotool can click it wherever the window manager put the window.
inline void SayRect(const char* name, QV_View* view)
{
    if (!view || !view->Window())
        return;
    int32_t x = 0;
    int32_t y = 0;
    PlatWindowClientPosition(view->Window()->fHwnd, x, y);
    const QV_Point at = view->ConvertToWindow({ 0, 0 });
    const QV_Point size = view->Size();
    std::printf("rect %s %d %d %d %d\n", name, x + at.x, y + at.y, size.x, size.y);
}
