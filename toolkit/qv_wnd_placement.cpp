// Where a window appears and how large, and the memory of both across runs.
#include <algorithm>

#include "plat_mutex.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_dc.h"
#include "qv_wnd.h"
#include "setting_pair.h"

namespace {

// How far inside the usable area a window that was off it comes back.
constexpr int32_t kPullInRight = 128;
constexpr int32_t kPullInBottom = 32;

QV_String KeyOf(const QV_String& name, const char* suffix)
{
    QV_String key = name;
    key.Append(suffix);
    return key;
}

} // namespace

void QV_Wnd::ApplySizeLimits()
{
    QV_Point minimum;
    QV_Point maximum;
    SizeLimits(minimum, maximum);
    PlatWindowSetSizeLimits(fHwnd, minimum.x, minimum.y, maximum.x, maximum.y);
}

QV_Point QV_Wnd::OuterPosition()
{
    int32_t x = 0;
    int32_t y = 0;
    PlatWindowClientPosition(fHwnd, x, y);
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    PlatWindowFrameExtents(fHwnd, left, top, right, bottom);
    return { x - left, y - top };
}

void QV_Wnd::MoveOuterTo(int32_t x, int32_t y)
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    PlatWindowFrameExtents(fHwnd, left, top, right, bottom);
    PlatWindowMoveClient(fHwnd, x + left, y + top);
}

void QV_Wnd::ResizeTo(int32_t width, int32_t height)
{
    if (!fHwnd)
        return;
    PlatWindowSetClientSize(fHwnd, width, height);
    // The layers follow at once, as callers expect of a resize; the size
    // event that comes later finds nothing left to do.
    int32_t w = 0;
    int32_t h = 0;
    if (PlatWindowClientSize(fHwnd, w, h) && w > 0 && h > 0)
        FollowClientSize(w, h);
}

void QV_Wnd::Center()
{
    if (!fHwnd)
        return;
    const QV_Rect area = UsableScreenRect();
    const QV_Rect bounds = Bounds();
    const int32_t width = bounds.right - bounds.left + 1;
    const int32_t height = bounds.bottom - bounds.top + 1;
    MoveOuterTo(area.left + (area.right - area.left) / 2 - width / 2,
        area.top + (area.bottom - area.top) / 2 - height / 2);
}

QV_Rect QV_Wnd::Bounds()
{
    int32_t width = 0;
    int32_t height = 0;
    if (PlatWindowClientSize(fHwnd, width, height) && width > 0 && height > 0)
        fBounds = { 0, 0, width - 1, height - 1 };
    return fBounds;
}

void QV_Wnd::Show()
{
    if (!fHwnd)
        return;
    ApplySizeLimits();
    if (fFirstShow) {
        fFirstShow = false;
        int32_t a = 0;
        int32_t b = 0;
        if (gApp && !fLocationName.IsEmpty()
            && FindSettingPair(gApp->fUserSettings, KeyOf(fLocationName, "_location").CString(), a, b))
            MoveOuterTo(a, b);
        if (gApp && !fShapeName.IsEmpty()
            && FindSettingPair(gApp->fUserSettings, KeyOf(fShapeName, "_shape").CString(), a, b))
            ResizeTo(a, b);
        Watch watch(this);
        PlatMutexLock(fWndMutex);
        Opened();
        if (watch.Gone())
            return;
        PlatMutexUnlock(fWndMutex);
    }

    const QV_Rect area = UsableScreenRect();
    const QV_Point corner = OuterPosition();
    const bool inside
        = corner.x >= area.left && corner.x <= area.right && corner.y >= area.top && corner.y <= area.bottom;
    if (!inside) {
        const int32_t x = corner.x < area.left ? area.left : std::min(corner.x, area.right - kPullInRight);
        const int32_t y = corner.y < area.top ? area.top : std::min(corner.y, area.bottom - kPullInBottom);
        MoveOuterTo(x, y);
    }
    PlatWindowShow(fHwnd);
    PlatWindowFocus(fHwnd);
}

void QV_Wnd::SavePlacement()
{
    if (!gApp || !fHwnd)
        return;
    if (!fLocationName.IsEmpty()) {
        const QV_Point corner = OuterPosition();
        StoreSettingPair(
            gApp->fUserSettings, KeyOf(fLocationName, "_location").CString(), corner.x, corner.y);
    }
    if (!fShapeName.IsEmpty()) {
        const QV_Rect bounds = Bounds();
        const int32_t width = bounds.right - bounds.left + 1;
        const int32_t height = bounds.bottom - bounds.top + 1;
        if (width >= 1 && height >= 1)
            StoreSettingPair(gApp->fUserSettings, KeyOf(fShapeName, "_shape").CString(), width, height);
    }
}
