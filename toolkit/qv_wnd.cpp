#include "qv_wnd.h"

#include <algorithm>

#include "follow_flags.h"
#include "plat_cursor.h"
#include "plat_mutex.h"
#include "plat_tablet.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_cursor.h"
#include "qv_layer.h"

QV_ArrayList gWindowList;
PlatWindow* gTabletWindow = nullptr;
bool gTabletContext = false;
float gPenPressure = 0.0f;
bool gCursorsDisabled = false;

namespace {

constexpr int32_t kFirstTimerCapacity = 4;

uint32_t FlagsOfKind(int32_t kind, bool resizable)
{
    switch (kind) {
    case 3:
    case 4:
        // Popups have no caption and never a sizing frame; the window
        // manager gives a borderless window no thin frame either.
        return kPlatWindowBorderless | kPlatWindowSkipTaskbar;
    case 5:
    case 6:
        return kPlatWindowUtility | (resizable ? uint32_t(kPlatWindowResizable) : 0u);
    default:
        return resizable ? uint32_t(kPlatWindowResizable) : 0u;
    }
}

} // namespace

QV_Wnd::Watch::Watch(QV_Wnd* window)
    : fWindow(window)
{
    if (!window) {
        fGone = true;
        return;
    }
    fNext = window->fWatches;
    window->fWatches = this;
}

QV_Wnd::Watch::~Watch()
{
    if (fGone)
        return;
    for (Watch** link = &fWindow->fWatches; *link; link = &(*link)->fNext) {
        if (*link == this) {
            *link = fNext;
            break;
        }
    }
}

QV_Wnd* WindowOfHandle(PlatWindow* handle)
{
    if (!handle || !gWindowList.Contains(handle))
        return nullptr;
    return static_cast<QV_Wnd*>(PlatWindowUser(handle));
}

bool OpenTabletContext(PlatWindow* window)
{
    return window && PlatTabletOpen();
}

QV_Wnd::QV_Wnd(int32_t kind, const char* title, bool resizable, QV_Wnd* parent, int32_t x1, int32_t y1,
    int32_t x2, int32_t y2)
    : fModalDone(false)
    , fModalDestroy(false)
    , fInModal(false)
    , fModalResult(0)
    , fParent(parent)
    , fFirstShow(true)
    , fResizable(resizable)
    , fKind(kind == 1 && gApp ? 0 : kind)
    , fHwnd(nullptr)
    , fLayerCount(0)
    , fLayers {}
    , fCaptureLayer(nullptr)
    , fMouseInside(true)
    , fLeftDown(false)
    , fMiddleDown(false)
    , fRightDown(false)
    , fMouseX(0)
    , fMouseY(0)
    , fClickX(0)
    , fClickY(0)
    , fHasClick(false)
    , fClickAge(0)
    , fClickTick(0)
    , fModifiers(0)
    , fBounds()
    , fCursor(nullptr)
    , fWndMutex(PlatMutexCreate())
{
    fTimers.SetCapacity(kFirstTimerCapacity);
    // The client area lands on the rectangle; the window manager adds its
    // frame around it.
    const int32_t width = std::max(1, x2 - x1 + 1);
    const int32_t height = std::max(1, y2 - y1 + 1);
    fHwnd = PlatWindowCreate(title, x1, y1, width, height, FlagsOfKind(fKind, resizable));
    if (fKind == 6)
        fKind = 5;
    if (!fHwnd)
        return;
    PlatWindowSetHandler(fHwnd, &QV_Wnd::WndProc, this);
    if (fParent)
        PlatWindowSetOwner(fHwnd, fParent->fHwnd);
    fBounds = { 0, 0, width - 1, height - 1 };
    Bounds();
    fLaidOutWidth = fBounds.right + 1;
    fLaidOutHeight = fBounds.bottom + 1;
    ApplySizeLimits();
    if (gTabletPresent && !gTabletContext) {
        gTabletContext = OpenTabletContext(fHwnd);
        if (gTabletContext)
            gTabletWindow = fHwnd;
        else
            gTabletPresent = false;
    }
    gWindowList.Append(fHwnd);
}

QV_Wnd::~QV_Wnd()
{
    for (Watch* watch = fWatches; watch; watch = watch->fNext)
        watch->fGone = true;
    fWatches = nullptr;
    while (fTimers.fCount > 0)
        RemoveTimer(static_cast<QV_TimerRecord*>(fTimers.fItems[fTimers.fCount - 1])->id);
    while (fLayerCount > 0) {
        QV_Layer* layer = fLayers[--fLayerCount];
        fLayers[fLayerCount] = nullptr;
        // A kept layer (an open menu) outlives the window: it must not
        // point at it any more.
        layer->Deactivate();
        layer->fWindow = nullptr;
        if (!layer->KeepOnClose())
            delete layer;
    }
    fCaptureLayer = nullptr;
    if (fHwnd) {
        SavePlacement();
        gWindowList.Remove(fHwnd);
        if (gTabletWindow == fHwnd)
            gTabletWindow = nullptr;
        PlatWindowSetHandler(fHwnd, nullptr, nullptr);
        // Does nothing when the system window is on its way out already.
        PlatWindowDestroy(fHwnd);
        fHwnd = nullptr;
    }
    // The procedure that destroyed the window may still hold the mutex; a
    // worker thread that holds it finishes its update first.
    if (PlatMutexLock(fWndMutex)) {
        while (PlatMutexUnlock(fWndMutex)) { }
    }
    PlatMutexDestroy(fWndMutex);
}

void QV_Wnd::HandleMessage(QV_Message* message)
{
    if (fParent) {
        fParent->HandleMessage(message);
        return;
    }
    if (!gApp || !PlatMutexLock(gApp->fMutex))
        return;
    gApp->HandleMessage(message);
    PlatMutexUnlock(gApp->fMutex);
}

void QV_Wnd::Opened() { }

bool QV_Wnd::QuitRequested()
{
    for (int32_t i = fLayerCount - 1; i >= 1; --i) {
        if (fLayers[i]->BlocksClose())
            return false;
    }
    return !fInModal;
}

void QV_Wnd::Closed() { }

void QV_Wnd::SizeLimits(QV_Point& minimum, QV_Point& maximum)
{
    minimum = { 64, 8 };
    maximum = { 8192, 8192 };
}

void QV_Wnd::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    const int32_t dw = newWidth - oldWidth;
    const int32_t dh = newHeight - oldHeight;
    for (int32_t i = 0; i < fLayerCount; ++i) {
        QV_Layer* layer = fLayers[i];
        QV_Rect frame = layer->Frame();
        const int32_t width = frame.right - frame.left + 1;
        const int32_t height = frame.bottom - frame.top + 1;
        int32_t left = frame.left;
        int32_t top = frame.top;
        int32_t newLayerWidth = width;
        int32_t newLayerHeight = height;
        FollowResize(layer->fFollow, dw, dh, left, top, newLayerWidth, newLayerHeight);
        layer->FrameResized(width, height, newLayerWidth, newLayerHeight);
        layer->fFrame = { left, top, left + width - 1, top + height - 1 };
        layer->ResizeTo(newLayerWidth, newLayerHeight);
        layer->Draw();
    }
    RedrawRect(0, 0, newWidth - 1, newHeight - 1);
}

void QV_Wnd::FitToLayer()
{
    if (fLayerCount != 1)
        return;
    QV_Layer* layer = fLayers[0];
    layer->Layout();
    const QV_Rect frame = layer->Frame();
    ResizeTo(frame.right - frame.left + 1, frame.bottom - frame.top + 1);
}

void QV_Wnd::FileDropped(const char* path, int32_t x, int32_t y, int32_t modifiers)
{
    for (int32_t i = fLayerCount - 1; i >= 0; --i) {
        QV_Layer* layer = fLayers[i];
        const QV_Rect frame = layer->Frame();
        if (frame.Contains(x, y)) {
            layer->FileDropped(path, x - frame.left, y - frame.top, modifiers);
            return;
        }
    }
}

void QV_Wnd::AddLayer(QV_Layer* layer)
{
    if (!layer || fLayerCount >= kMaxLayers)
        return;
    fLayers[fLayerCount++] = layer;
    layer->fWindow = this;
    layer->Activate();
    QV_Rect bounds = layer->Bounds();
    layer->Update(bounds.left, bounds.top, bounds.right, bounds.bottom);
}

void QV_Wnd::RemoveLayer(QV_Layer* layer)
{
    auto end = fLayers + fLayerCount;
    auto at = std::find(fLayers, end, layer);
    if (!layer || at == end)
        return;
    std::move(at + 1, end, at);
    fLayers[--fLayerCount] = nullptr;
    if (fCaptureLayer == layer)
        fCaptureLayer = nullptr;
    layer->Deactivate();
    layer->fWindow = nullptr;
    const QV_Rect frame = layer->Frame();
    RedrawRect(frame.left, frame.top, frame.right, frame.bottom);
}

void QV_Wnd::RedrawRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    const QV_Rect area = { left, top, right, bottom };
    for (int32_t i = 0; i < fLayerCount; ++i) {
        QV_Layer* layer = fLayers[i];
        QV_Rect overlap = layer->Frame();
        if (!overlap.Intersect(area))
            continue;
        const QV_Rect frame = layer->Frame();
        layer->Update(overlap.left - frame.left, overlap.top - frame.top, overlap.right - frame.left,
            overlap.bottom - frame.top);
    }
}

void QV_Wnd::SetTitle(const char* title)
{
    PlatWindowSetTitle(fHwnd, title);
}

void QV_Wnd::Invalidate()
{
    PlatWindowInvalidate(fHwnd);
}

void QV_Wnd::RestoreCursor()
{
    if (fCursor)
        PlatCursorShow(fCursor->fHandle);
}

void QV_Wnd::Unlock()
{
    PlatMutexUnlock(fWndMutex);
}
