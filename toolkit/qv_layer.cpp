#include "qv_layer.h"

#include <algorithm>

#include "follow_flags.h"
#include "interface_colors.h"
#include "key_translation.h"
#include "qv_dc.h"
#include "qv_keys.h"
#include "qv_message.h"
#include "qv_view.h"
#include "qv_wnd.h"
#include "raster_fill.h"

QV_View* gFocusedWidget = nullptr;
QV_View* gFocusedTextControl = nullptr;

namespace {

constexpr int32_t kFirstViewCapacity = 4;

bool IsInside(const QV_View* view, const QV_View* ancestor)
{
    for (; view; view = view->fParent) {
        if (view == ancestor)
            return true;
    }
    return false;
}

// The focus leaves a widget during Tab traversal.
void LoseFocus(QV_View* widget)
{
    if (!widget)
        return;
    if (gFocusedWidget == widget)
        gFocusedWidget = nullptr;
    widget->fFocused = false;
    widget->FocusChanged(false);
    if (QV_Layer* layer = widget->OwnerLayer(); layer && layer->fFocusWidget == widget)
        layer->fFocusWidget = nullptr;
}

} // namespace

QV_Layer::QV_Layer(int32_t follow)
    : fShown(false)
    , fWindow(nullptr)
    , fFrame { 0, 0, 31, 31 }
    , fFollow(follow)
    , fViewCount(0)
    , fViewCapacity(kFirstViewCapacity)
    , fViews(new QV_View* [kFirstViewCapacity] {})
    , fCaptureView(nullptr)
    , fHoverView(nullptr)
    , fFocusWidget(nullptr)
    , fMainView(nullptr)
{
    fImage.Create(32, 32, 32);
    FillBackground();
}

QV_Layer::~QV_Layer()
{
    fCaptureView = nullptr;
    if (fFocusWidget && gFocusedWidget == fFocusWidget)
        gFocusedWidget = nullptr;
    for (int32_t i = 0; i < fViewCount; ++i)
        delete fViews[i];
    delete[] fViews;
}

void QV_Layer::FillBackground()
{
    FillRaster(fImage.buffer, WindowBackground);
}

void QV_Layer::HandleMessage(QV_Message* message)
{
    if (fWindow)
        fWindow->HandleMessage(message);
}

void QV_Layer::Activate()
{
    Draw();
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->Attached();
    fShown = true;
}

void QV_Layer::Deactivate()
{
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->Detached();
    fShown = false;
}

void QV_Layer::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    const int32_t dw = newWidth - oldWidth;
    const int32_t dh = newHeight - oldHeight;
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->FollowContainerResize(dw, dh);
}

void QV_Layer::Layout()
{
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->Layout();
    if (fViewCount == 1) {
        QV_View* child = fViews[0];
        const QV_Point preferred = child->PreferredSize();
        child->MoveTo(0, 0);
        child->ResizeTo(preferred.x, preferred.y);
        ResizeTo(preferred.x, preferred.y);
    } else if (fViewCount == 2 && fMainView) {
        QV_View* other = fViews[0] == fMainView ? fViews[1] : fViews[0];
        const int32_t mainHeight = fMainView->Size().y;
        other->MoveTo(0, fMainView->fFrame.bottom + 1);
        const QV_Point preferred = other->PreferredSize();
        other->ResizeTo(preferred.x, preferred.y);
        ResizeTo(preferred.x, mainHeight + preferred.y);
        fMainView->MoveTo(0, 0);
        fMainView->ResizeTo(preferred.x, mainHeight);
    }
}

void QV_Layer::ViewDocked(QV_View*) { }

void QV_Layer::ViewUndocked(QV_View*) { }

void QV_Layer::Update(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    FlushRect(left, top, right, bottom);
    if (!fShown)
        return;
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->DrawDirect();
}

void QV_Layer::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    // The window sets its button flag after this call, so a first press finds none.
    if (!WindowButtonDown())
        fCaptureView = nullptr;
    if (!fCaptureView)
        fCaptureView = ChildAt(x, y);
    if (!fCaptureView)
        return;
    FocusOnPress(this, fCaptureView);
    QV_View* view = fCaptureView;
    view->RouteMouseDown(x - view->fFrame.left, y - view->fFrame.top, button, modifiers, message);
}

void QV_Layer::MouseDownOutside(int32_t, int32_t, int32_t, int32_t, QV_Message*) { }

void QV_Layer::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    if (QV_View* view = fCaptureView) {
        view->RouteMouseMoved(x - view->fFrame.left, y - view->fFrame.top, modifiers, message);
        return;
    }
    bool any = false;
    for (int32_t i = 0; i < fViewCount; ++i) {
        QV_View* child = fViews[i];
        if (!child->ContainsPoint(x, y))
            continue;
        any = true;
        if (child->fCursor)
            ApplyViewCursor(fWindow, child->fCursor);
        child->RouteMouseMoved(x - child->fFrame.left, y - child->fFrame.top, modifiers, message);
    }
    if (!any)
        SetHoverView(nullptr);
}

void QV_Layer::MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    QV_View* view = fCaptureView;
    if (!view) {
        view = ChildAt(x, y);
        if (!view)
            return;
        if (view->fCursor)
            ApplyViewCursor(fWindow, view->fCursor);
    }
    view->RouteMouseWheel(distance, x - view->fFrame.left, y - view->fFrame.top, modifiers, message);
}

void QV_Layer::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_View* view = fCaptureView;
    if (!view)
        return;
    // The window clears its button flag before this call.
    if (!WindowButtonDown())
        fCaptureView = nullptr;
    view->RouteMouseUp(x - view->fFrame.left, y - view->fFrame.top, button, modifiers, message);
}

QV_View* QV_Layer::KeyTarget()
{
    if (fFocusWidget) {
        if (!fFocusWidget->fFocused)
            fFocusWidget = nullptr;
        return fFocusWidget;
    }
    for (int32_t i = 0; i < fViewCount; ++i) {
        if (fViews[i]->fFocused) {
            fFocusWidget = fViews[i];
            return fFocusWidget;
        }
    }
    return nullptr;
}

void QV_Layer::KeyDown(int32_t key, int32_t modifiers)
{
    const bool shortcut
        = !((modifiers & (MODIFIER_CTRL | MODIFIER_ALT)) && IsEditingShortcutKey(key) && gFocusedTextControl);
    if (fMainView && (modifiers & MODIFIER_CTRL) && shortcut)
        fMainView->KeyDown(key, modifiers);
    if (TabNavigation() && key == KEY_TAB) {
        MoveFocusByTab((modifiers & MODIFIER_SHIFT) != 0);
        return;
    }
    if (QV_View* target = KeyTarget())
        target->KeyDown(key, modifiers);
}

void QV_Layer::KeyUp(int32_t key, int32_t modifiers)
{
    if (QV_View* target = KeyTarget())
        target->KeyUp(key, modifiers);
}

void QV_Layer::MoveFocusByTab(bool backwards)
{
    const int32_t step = backwards ? -1 : 1;
    const int32_t first = backwards ? fViewCount - 1 : 0;
    auto search = [&](int32_t start) -> QV_View* {
        for (int32_t i = start; i >= 0 && i < fViewCount; i += step) {
            if (QV_View* found = fViews[i]->NextFocusable(backwards))
                return found;
        }
        return nullptr;
    };
    int32_t start = -1;
    for (int32_t i = 0; i < fViewCount; ++i) {
        if (fViews[i]->ContainsFocus()) {
            start = i;
            break;
        }
    }
    if (start < 0)
        start = first;
    else if (fViews[start]->fFocused)
        start += step;

    QV_View* found = search(start);
    if (!found) {
        // Past the last one: start again from the other end.
        LoseFocus(fFocusWidget);
        fFocusWidget = nullptr;
        found = search(first);
        if (!found)
            return;
    }
    if (found != fFocusWidget)
        LoseFocus(fFocusWidget);
    fFocusWidget = found;
    found->fFocused = true;
    found->OwnerLayer()->SetFocus(found);
    found->FocusChanged(true);
}

void QV_Layer::FileDropped(const char* path, int32_t x, int32_t y, int32_t modifiers)
{
    if (QV_View* child = ChildAt(x, y))
        child->FileDropped(path, x - child->fFrame.left, y - child->fFrame.top, modifiers);
}

void QV_Layer::Click(int32_t value, int32_t x, int32_t y, int32_t modifiers)
{
    if (QV_View* child = ChildAt(x, y))
        child->Click(value, x - child->fFrame.left, y - child->fFrame.top, modifiers);
}

void QV_Layer::Draw()
{
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->Draw();
}

bool QV_Layer::BlocksClose()
{
    return true;
}

bool QV_Layer::KeepOnClose()
{
    return false;
}

bool QV_Layer::TabNavigation()
{
    return false;
}

void QV_Layer::UpdateMenus() { }

void QV_Layer::AddView(QV_View* view)
{
    if (!view)
        return;
    if (fViewCount == fViewCapacity) {
        auto* grown = new QV_View* [fViewCapacity * 2] {};
        std::copy(fViews, fViews + fViewCount, grown);
        delete[] fViews;
        fViews = grown;
        fViewCapacity *= 2;
    }
    fViews[fViewCount++] = view;
    view->fLayer = this;
    if (fShown)
        view->Attached();
}

void QV_Layer::RemoveView(QV_View* view)
{
    QV_View** end = fViews + fViewCount;
    QV_View** at = std::find(fViews, end, view);
    if (!view || at == end)
        return;
    if (fCaptureView == view)
        fCaptureView = nullptr;
    if (QV_View* focus = fFocusWidget) {
        fFocusWidget = nullptr;
        focus->fFocused = false;
        if (gFocusedWidget == focus)
            gFocusedWidget = nullptr;
        focus->FocusChanged(false);
    }
    if (fHoverView && IsInside(fHoverView, view))
        fHoverView = nullptr;
    // Whoever removed the view owns it now and may delete it.
    if (fMainView == view)
        fMainView = nullptr;
    std::move(at + 1, end, at);
    fViews[--fViewCount] = nullptr;
    view->fLayer = nullptr;
}

void QV_Layer::SetMainView(QV_View* view)
{
    if (!view)
        return;
    fMainView = view;
    view->MoveTo(0, 0);
    view->ResizeTo(fFrame.right - fFrame.left + 1, view->Size().y);
    AddView(view);
}

void QV_Layer::SetFocus(QV_View* widget)
{
    if (gFocusedWidget && gFocusedWidget != widget) {
        QV_View* shown = gFocusedWidget;
        gFocusedWidget = nullptr;
        if (shown != fFocusWidget)
            shown->SetFocus(false);
    }
    if (fFocusWidget && fFocusWidget != widget) {
        QV_View* old = fFocusWidget;
        fFocusWidget = nullptr;
        old->SetFocus(false);
    }
    if (!widget) {
        fFocusWidget = nullptr;
        gFocusedWidget = nullptr;
        return;
    }
    if (widget == fFocusWidget) {
        gFocusedWidget = widget;
        return;
    }
    if (widget->AcceptsFocus() && widget->IsEnabled()) {
        fFocusWidget = widget;
        if (!widget->fFocused)
            widget->SetFocus(true);
    }
    gFocusedWidget = fFocusWidget;
}

void QV_Layer::SetHoverView(QV_View* view)
{
    if (fHoverView && fHoverView != view && !WindowButtonDown() && fWindow) {
        // The old hover view sees the pointer leave.
        QV_Message leaving;
        const QV_Point at = fHoverView->ConvertFromWindow(fWindow->MousePosition());
        fHoverView->MouseMoved(at.x, at.y, 0, &leaving);
    }
    fHoverView = view;
}

void QV_Layer::MoveTo(int32_t x, int32_t y)
{
    const QV_Rect old = fFrame;
    fFrame = { x, y, x + (old.right - old.left), y + (old.bottom - old.top) };
    if (!fWindow)
        return;
    Flush();
    QV_Rect area = old;
    area.Union(fFrame);
    fWindow->RedrawRect(area.left, area.top, area.right, area.bottom);
}

void QV_Layer::ResizeTo(int32_t width, int32_t height)
{
    if (width == fFrame.right - fFrame.left + 1 && height == fFrame.bottom - fFrame.top + 1)
        return;
    fFrame.right = fFrame.left + width - 1;
    fFrame.bottom = fFrame.top + height - 1;
    fImage.Create(width, height, 32);
    FillBackground();
    if (!fWindow)
        return;
    Activate();
    Update(0, 0, width - 1, height - 1);
}

QV_Rect QV_Layer::Bounds() const
{
    return { 0, 0, fFrame.right - fFrame.left, fFrame.bottom - fFrame.top };
}

QV_Graphics* QV_Layer::GetGraphics()
{
    if (fGraphics.SetRaster(&fImage.buffer) != 0)
        return nullptr;
    fGraphics.fPanX = 0;
    fGraphics.fPanY = 0;
    fGraphics.fZoom = 1;
    fGraphics.fRotation = 0;
    fGraphics.EndDraw();
    fGraphics.ResetState();
    return &fGraphics;
}

void QV_Layer::Flush()
{
    const QV_Rect bounds = Bounds();
    FlushRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
}

void QV_Layer::FlushRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!fShown || !fWindow)
        return;
    QV_DC* dc = QV_DC::Create(fWindow, this);
    if (!dc)
        return;
    dc->SetClipRect(left + fFrame.left, top + fFrame.top, right + fFrame.left, bottom + fFrame.top);
    for (int32_t i = 0; i < fViewCount; ++i) {
        if (!fViews[i]->DrawsToWindow())
            continue;
        const QV_Rect frame = fViews[i]->fFrame;
        dc->ExcludeRect(frame.left + fFrame.left, frame.top + fFrame.top, frame.right + fFrame.left,
            frame.bottom + fFrame.top);
    }
    dc->BlitImage(&fImage, fFrame.left, fFrame.top);
    delete dc;
}

QV_View* QV_Layer::ChildAt(int32_t x, int32_t y) const
{
    for (int32_t i = 0; i < fViewCount; ++i) {
        if (fViews[i]->ContainsPoint(x, y))
            return fViews[i];
    }
    return nullptr;
}

bool QV_Layer::WindowButtonDown() const
{
    return fWindow && (fWindow->fLeftDown || fWindow->fMiddleDown || fWindow->fRightDown);
}
