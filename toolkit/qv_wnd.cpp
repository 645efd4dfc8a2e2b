#include "qv_wnd.h"

#include <algorithm>

#include "follow_flags.h"
#include "plat_event.h"
#include "plat_mutex.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_layer.h"

QV_ArrayList gWindowList;
bool gCursorsDisabled = false;

namespace {

uint32_t FlagsOfKind(int32_t kind, bool resizable)
{
    uint32_t flags = 0;
    switch (kind) {
    case 3:
    case 4:
        // Popups have no frame of their own and never a sizing one.
        return kPlatWindowBorderless;
    case 5:
    case 6:
        flags = kPlatWindowUtility;
        break;
    default:
        break;
    }
    if (resizable)
        flags |= kPlatWindowResizable;
    return flags;
}

} // namespace

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
    const int32_t width = std::max(1, x2 - x1 + 1);
    const int32_t height = std::max(1, y2 - y1 + 1);
    fHwnd = PlatWindowCreate(title, x1, y1, width, height, FlagsOfKind(fKind, resizable));
    if (fKind == 6)
        fKind = 5;
    if (!fHwnd)
        return;
    PlatWindowSetHandler(fHwnd, &QV_Wnd::WndProc, this);
    fBounds = { 0, 0, width - 1, height - 1 };
    gWindowList.Append(fHwnd);
}

QV_Wnd::~QV_Wnd()
{
    for (ProcFrame* frame = fProcFrame; frame; frame = frame->outer)
        frame->destroyed = true;
    while (fLayerCount > 0) {
        QV_Layer* layer = fLayers[--fLayerCount];
        fLayers[fLayerCount] = nullptr;
        if (layer->KeepOnClose())
            continue;
        layer->Deactivate();
        layer->fWindow = nullptr;
        delete layer;
    }
    fCaptureLayer = nullptr;
    if (fHwnd) {
        gWindowList.Remove(fHwnd);
        PlatWindowSetHandler(fHwnd, nullptr, nullptr);
        // Does nothing when the system window is on its way out already.
        PlatWindowDestroy(fHwnd);
        fHwnd = nullptr;
    }
    // The procedure that destroyed the window may still hold the mutex.
    while (PlatMutexUnlock(fWndMutex)) { }
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

void QV_Wnd::Show()
{
    if (!fHwnd)
        return;
    PlatWindowShow(fHwnd);
    if (fFirstShow) {
        fFirstShow = false;
        PlatMutexLock(fWndMutex);
        Opened();
        PlatMutexUnlock(fWndMutex);
    }
}

void QV_Wnd::SetTitle(const char* title)
{
    PlatWindowSetTitle(fHwnd, title);
}

QV_Rect QV_Wnd::Bounds()
{
    int32_t width = 0;
    int32_t height = 0;
    if (PlatWindowClientSize(fHwnd, width, height) && width > 0 && height > 0)
        fBounds = { 0, 0, width - 1, height - 1 };
    return fBounds;
}

void QV_Wnd::Invalidate()
{
    PlatWindowInvalidate(fHwnd);
}

// Cursor objects come with the interface images; until a view has one, the
// system's arrow stays.
void QV_Wnd::RestoreCursor() { }

void QV_Wnd::Unlock()
{
    PlatMutexUnlock(fWndMutex);
}

void QV_Wnd::WndProc(void* user, PlatWindow*, const PlatEvent& event)
{
    auto* window = static_cast<QV_Wnd*>(user);
    if (!window)
        return;
    if (event.type == PlatEventType::Destroy) {
        // The mutex goes with the object; Closed runs without it.
        window->Closed();
        delete window;
        return;
    }
    PlatMutexLock(window->fWndMutex);
    ProcFrame frame;
    frame.outer = window->fProcFrame;
    window->fProcFrame = &frame;

    switch (event.type) {
    case PlatEventType::Close:
        if (window->QuitRequested())
            PlatWindowDestroy(window->fHwnd);
        break;
    case PlatEventType::Expose:
    case PlatEventType::WakeUp: {
        const QV_Rect bounds = window->Bounds();
        window->RedrawRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
        break;
    }
    case PlatEventType::Resized:
        // A minimised window reports no size: nothing follows it.
        if (event.width > 0 && event.height > 0) {
            const QV_Rect old = window->fBounds;
            window->FrameResized(
                old.right - old.left + 1, old.bottom - old.top + 1, event.width, event.height);
            window->Bounds();
        }
        break;
    default:
        break;
    }

    if (frame.destroyed)
        return;
    window->fProcFrame = frame.outer;
    PlatMutexUnlock(window->fWndMutex);
}
