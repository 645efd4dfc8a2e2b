#include "qv_view.h"

#include <algorithm>

#include "qv_graphics.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "qv_wnd.h"

namespace {

constexpr int32_t kFirstChildCapacity = 4;

void SetButtonFlag(QV_View& view, int32_t button, bool down)
{
    switch (button) {
    case 1:
        view.fLeftDown = down;
        break;
    case 2:
        view.fRightDown = down;
        break;
    case 4:
        view.fMiddleDown = down;
        break;
    default:
        break;
    }
}

} // namespace

void ApplyViewCursor(QV_Wnd* window, QV_Cursor* cursor)
{
    if (!window)
        return;
    window->fCursor = cursor;
    if (!gCursorsDisabled)
        window->RestoreCursor();
}

void FocusOnPress(QV_Layer* layer, QV_View* pressed)
{
    if (!layer || !pressed)
        return;
    QV_View* focus = layer->fFocusWidget;
    if (focus && focus != pressed && pressed->AcceptsFocus()) {
        if (gFocusedWidget == focus)
            gFocusedWidget = nullptr;
        focus->SetFocus(false);
        layer->fFocusWidget = nullptr;
    }
    if (pressed != layer->fFocusWidget && pressed->AcceptsFocus() && pressed->IsEnabled()) {
        if (gFocusedWidget == layer->fFocusWidget)
            gFocusedWidget = nullptr;
        pressed->SetFocus(true);
        layer->fFocusWidget = pressed;
    }
}

QV_View::QV_View(int32_t follow)
    : fFrame { 0, 0, 31, 31 }
    , fPrefWidth(-1)
    , fPrefHeight(-1)
    , fFollow(follow)
    , fAlign(ALIGN_CENTER)
    , fIndent(0)
    , fLayer(nullptr)
    , fParent(nullptr)
    , fLeftDown(false)
    , fMiddleDown(false)
    , fRightDown(false)
    , fFocused(false)
    , fEnabled(true)
    , fChildCount(0)
    , fChildCapacity(kFirstChildCapacity)
    , fChildren(new QV_View* [kFirstChildCapacity] {})
    , fCapturedChild(nullptr)
    , fCursor(nullptr)
    , fRaster()
{
}

QV_View::~QV_View()
{
    if (gFocusedWidget == this)
        gFocusedWidget = nullptr;
    fCapturedChild = nullptr;
    for (int32_t i = 0; i < fChildCount; ++i)
        delete fChildren[i];
    delete[] fChildren;
}

void QV_View::HandleMessage(QV_Message* message)
{
    if (fParent)
        fParent->HandleMessage(message);
    else if (fLayer)
        fLayer->HandleMessage(message);
}

void QV_View::ResizeTo(int32_t width, int32_t height)
{
    const QV_Point old = Size();
    SetSize(width, height);
    FrameResized(old.x, old.y, width, height);
}

void QV_View::SetSize(int32_t width, int32_t height)
{
    fFrame.right = fFrame.left + width - 1;
    fFrame.bottom = fFrame.top + height - 1;
    if (fPrefWidth == -1)
        fPrefWidth = width;
    if (fPrefHeight == -1)
        fPrefHeight = height;
}

void QV_View::ResetSize(int32_t width, int32_t height)
{
    fPrefWidth = -1;
    fPrefHeight = -1;
    ResizeTo(width, height);
}

void QV_View::Invalidate(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    QV_Layer* layer = OwnerLayer();
    if (!layer)
        return;
    const QV_Rect frame = FrameInLayer();
    layer->FlushRect(left + frame.left, top + frame.top, right + frame.left, bottom + frame.top);
}

void QV_View::Refresh()
{
    QV_Layer* layer = OwnerLayer();
    if (!layer)
        return;
    const QV_Rect frame = FrameInLayer();
    layer->FlushRect(frame.left, frame.top, frame.right, frame.bottom);
}

void QV_View::AddChild(QV_View* view)
{
    if (!view)
        return;
    if (fChildCount == fChildCapacity) {
        auto* grown = new QV_View* [fChildCapacity * 2] {};
        std::copy(fChildren, fChildren + fChildCount, grown);
        delete[] fChildren;
        fChildren = grown;
        fChildCapacity *= 2;
    }
    fChildren[fChildCount++] = view;
    view->fParent = this;
    if (QV_Layer* layer = OwnerLayer(); layer && layer->fWindow)
        view->Attached();
}

void QV_View::Attached()
{
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->Attached();
}

void QV_View::Detached()
{
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->Detached();
}

QV_Point QV_View::MinSize()
{
    return { 1, 1 };
}

QV_Point QV_View::PreferredSize()
{
    return { fPrefWidth, fPrefHeight };
}

QV_Point QV_View::MaxSize()
{
    return { 64000, 64000 };
}

void QV_View::FollowContainerResize(int32_t dw, int32_t dh)
{
    int32_t left = fFrame.left;
    int32_t top = fFrame.top;
    QV_Point size = Size();
    FollowResize(fFollow, dw, dh, left, top, size.x, size.y);
    MoveTo(left, top);
    ResizeTo(size.x, size.y);
}

void QV_View::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    const int32_t dw = newWidth - oldWidth;
    const int32_t dh = newHeight - oldHeight;
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->FollowContainerResize(dw, dh);
}

void QV_View::Layout()
{
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->Layout();
    if (fChildCount == 1) {
        QV_View* child = fChildren[0];
        const QV_Point preferred = child->PreferredSize();
        child->MoveTo(0, 0);
        child->SetSize(preferred.x, preferred.y);
        SetSize(preferred.x, preferred.y);
    } else if (fChildCount == 0 && fPrefWidth >= 0 && fPrefHeight >= 0) {
        // A view that was never given a size has nothing to take back.
        SetSize(fPrefWidth, fPrefHeight);
    }
}

void QV_View::Arrange()
{
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->Arrange();
}

void QV_View::DrawDirect()
{
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->DrawDirect();
}

void QV_View::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (fParent)
        fParent->MouseDown(x + fFrame.left, y + fFrame.top, button, modifiers, message);
}

void QV_View::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    if (fParent)
        fParent->MouseMoved(x + fFrame.left, y + fFrame.top, modifiers, message);
}

void QV_View::MouseWheel(float, int32_t, int32_t, int32_t, QV_Message*) { }

void QV_View::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (fParent)
        fParent->MouseUp(x + fFrame.left, y + fFrame.top, button, modifiers, message);
}

void QV_View::KeyDown(int32_t, int32_t) { }

void QV_View::KeyUp(int32_t, int32_t) { }

void QV_View::FileDropped(const char* path, int32_t x, int32_t y, int32_t modifiers)
{
    if (QV_View* child = ChildAt(x, y))
        child->FileDropped(path, x - child->fFrame.left, y - child->fFrame.top, modifiers);
}

void QV_View::Click(int32_t value, int32_t x, int32_t y, int32_t modifiers)
{
    if (QV_View* child = ChildAt(x, y))
        child->Click(value, x - child->fFrame.left, y - child->fFrame.top, modifiers);
}

void QV_View::Draw()
{
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->Draw();
}

bool QV_View::AcceptsFocus()
{
    return false;
}

void QV_View::FocusChanged(bool) { }

bool QV_View::WantsReturn()
{
    return false;
}

void QV_View::EnableChanged(bool) { }

bool QV_View::DrawsToWindow()
{
    return false;
}

QV_Point QV_View::Size() const
{
    return { fFrame.right - fFrame.left + 1, fFrame.bottom - fFrame.top + 1 };
}

QV_Rect QV_View::Bounds() const
{
    const QV_Point size = Size();
    return { 0, 0, size.x - 1, size.y - 1 };
}

void QV_View::MoveTo(int32_t x, int32_t y)
{
    const QV_Point size = Size();
    fFrame = { x, y, x + size.x - 1, y + size.y - 1 };
}

QV_Rect QV_View::FrameInLayer() const
{
    QV_Rect frame = fFrame;
    for (const QV_View* ancestor = fParent; ancestor; ancestor = ancestor->fParent) {
        frame.left += ancestor->fFrame.left;
        frame.right += ancestor->fFrame.left;
        frame.top += ancestor->fFrame.top;
        frame.bottom += ancestor->fFrame.top;
    }
    return frame;
}

QV_Layer* QV_View::OwnerLayer() const
{
    for (const QV_View* view = this; view; view = view->fParent) {
        if (view->fLayer)
            return view->fLayer;
    }
    return nullptr;
}

QV_Wnd* QV_View::Window() const
{
    QV_Layer* layer = OwnerLayer();
    return layer ? layer->fWindow : nullptr;
}

QV_Point QV_View::ConvertToLayer(QV_Point point) const
{
    if (!OwnerLayer())
        return point;
    const QV_Rect frame = FrameInLayer();
    return { point.x + frame.left, point.y + frame.top };
}

QV_Point QV_View::ConvertFromLayer(QV_Point point) const
{
    if (!OwnerLayer())
        return point;
    const QV_Rect frame = FrameInLayer();
    return { point.x - frame.left, point.y - frame.top };
}

QV_Point QV_View::ConvertToWindow(QV_Point point) const
{
    QV_Layer* layer = OwnerLayer();
    if (!layer)
        return point;
    const QV_Point inLayer = ConvertToLayer(point);
    return { inLayer.x + layer->fFrame.left, inLayer.y + layer->fFrame.top };
}

QV_Point QV_View::ConvertFromWindow(QV_Point point) const
{
    QV_Layer* layer = OwnerLayer();
    if (!layer)
        return point;
    return ConvertFromLayer({ point.x - layer->fFrame.left, point.y - layer->fFrame.top });
}

bool QV_View::ClipToVisible(QV_Rect& rect) const
{
    for (const QV_View* view = this; view; view = view->fParent) {
        if (!rect.Intersect(view->Bounds()))
            return false;
        rect.left += view->fFrame.left;
        rect.right += view->fFrame.left;
        rect.top += view->fFrame.top;
        rect.bottom += view->fFrame.top;
        if (view->fLayer)
            return rect.Intersect(view->fLayer->Bounds());
    }
    return true;
}

QV_PixelBuffer* QV_View::LayerRaster()
{
    QV_Rect visible = Bounds();
    if (!ClipToVisible(visible))
        return nullptr;
    QV_Layer* layer = OwnerLayer();
    if (!layer || layer->fImage.GetSubPixelBuffer(visible, fRaster) != 0)
        return nullptr;
    return &fRaster;
}

QV_Graphics* QV_View::GetGraphics()
{
    QV_Layer* layer = OwnerLayer();
    if (!layer)
        return nullptr;
    QV_PixelBuffer* raster = LayerRaster();
    if (!raster)
        return nullptr;
    QV_Graphics* graphics = layer->GetGraphics();
    if (!graphics || graphics->SetRaster(raster) != 0)
        return nullptr;
    QV_Rect visible = Bounds();
    ClipToVisible(visible);
    const QV_Rect frame = FrameInLayer();
    // View coordinate (0, 0) lands on the view's top-left pixel even when
    // that corner is clipped away.
    graphics->fViewMode = QV_Graphics::kViewPlain;
    graphics->fPanX = static_cast<float>(frame.left - visible.left);
    graphics->fPanY = static_cast<float>(frame.top - visible.top);
    graphics->fZoom = 1;
    graphics->fRotation = 0;
    graphics->BeginDraw();
    return graphics;
}

void QV_View::RemoveChild(QV_View* view)
{
    QV_View** end = fChildren + fChildCount;
    QV_View** at = std::find(fChildren, end, view);
    if (!view || at == end)
        return;
    QV_Layer* layer = OwnerLayer();
    if (layer) {
        layer->SetHoverView(nullptr);
        if (layer->fWindow)
            view->Detached();
    }
    if (fCapturedChild == view)
        fCapturedChild = nullptr;
    if (view->fFocused && view->AcceptsFocus()) {
        view->fFocused = false;
        if (layer && layer->fFocusWidget == view)
            layer->fFocusWidget = nullptr;
        view->FocusChanged(false);
    }
    std::move(at + 1, end, at);
    fChildren[--fChildCount] = nullptr;
    view->fParent = nullptr;
    view->fLayer = nullptr;
}

void QV_View::SetFocus(bool focused)
{
    if (!AcceptsFocus())
        return;
    fFocused = focused;
    QV_Layer* layer = OwnerLayer();
    if (focused && layer)
        layer->SetFocus(this);
    else if (!focused && layer && layer->fFocusWidget == this)
        layer->fFocusWidget = nullptr;
    FocusChanged(fFocused);
}

void QV_View::Enable(bool enabled)
{
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->Enable(enabled);
    fEnabled = enabled;
    if (!enabled && fFocused && AcceptsFocus()) {
        fFocused = false;
        // A disabled view shows no focus, so it cannot stay the one that does.
        if (gFocusedWidget == this)
            gFocusedWidget = nullptr;
        QV_Layer* layer = OwnerLayer();
        if (layer && layer->fFocusWidget == this)
            layer->fFocusWidget = nullptr;
        FocusChanged(false);
    }
    EnableChanged(fEnabled);
}

void QV_View::SetCursor(QV_Cursor* cursor)
{
    fCursor = cursor;
    QV_Wnd* window = Window();
    if (!window)
        return;
    const QV_Point at = ConvertFromWindow(window->MousePosition());
    const QV_Point size = Size();
    if (at.x < 0 || at.y < 0 || at.x >= size.x || at.y >= size.y)
        return;
    window->fCursor = cursor;
    if (cursor && !gCursorsDisabled)
        window->RestoreCursor();
}

bool QV_View::ContainsFocus() const
{
    if (fFocused)
        return true;
    for (int32_t i = 0; i < fChildCount; ++i) {
        if (fChildren[i]->ContainsFocus())
            return true;
    }
    return false;
}

QV_View* QV_View::NextFocusable(bool backwards)
{
    if (fChildCount > 0) {
        const int32_t step = backwards ? -1 : 1;
        int32_t start = -1;
        for (int32_t i = 0; i < fChildCount; ++i) {
            if (fChildren[i]->ContainsFocus()) {
                start = i;
                break;
            }
        }
        if (start < 0)
            start = backwards ? fChildCount - 1 : 0;
        else if (fChildren[start]->fFocused)
            start += step;
        for (int32_t i = start; i >= 0 && i < fChildCount; i += step) {
            if (QV_View* found = fChildren[i]->NextFocusable(backwards))
                return found;
        }
    }
    return fEnabled && AcceptsFocus() ? this : nullptr;
}

QV_View* QV_View::ChildAt(int32_t x, int32_t y) const
{
    for (int32_t i = 0; i < fChildCount; ++i) {
        if (fChildren[i]->ContainsPoint(x, y))
            return fChildren[i];
    }
    return nullptr;
}

bool QV_View::ContainsPoint(int32_t x, int32_t y) const
{
    return x >= fFrame.left && x <= fFrame.right && y >= fFrame.top && y <= fFrame.bottom;
}

void QV_View::RouteMouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (!AnyButtonDown())
        fCapturedChild = nullptr;
    SetButtonFlag(*this, button, true);
    if (!fCapturedChild)
        fCapturedChild = ChildAt(x, y);
    if (!fCapturedChild) {
        fCapturedChild = this;
        MouseDown(x, y, button, modifiers, message);
        return;
    }
    FocusOnPress(OwnerLayer(), fCapturedChild);
    if (fCapturedChild == this) {
        MouseDown(x, y, button, modifiers, message);
        return;
    }
    QV_View* child = fCapturedChild;
    child->RouteMouseDown(x - child->fFrame.left, y - child->fFrame.top, button, modifiers, message);
}

void QV_View::RouteMouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    if (fCapturedChild == this) {
        if (QV_Layer* layer = OwnerLayer())
            layer->SetHoverView(this);
        MouseMoved(x, y, modifiers, message);
        return;
    }
    if (QV_View* child = fCapturedChild) {
        child->RouteMouseMoved(x - child->fFrame.left, y - child->fFrame.top, modifiers, message);
        return;
    }
    if (QV_View* child = ChildAt(x, y)) {
        if (child->fCursor)
            ApplyViewCursor(Window(), child->fCursor);
        child->RouteMouseMoved(x - child->fFrame.left, y - child->fFrame.top, modifiers, message);
        return;
    }
    if (QV_Layer* layer = OwnerLayer())
        layer->SetHoverView(this);
    MouseMoved(x, y, modifiers, message);
}

void QV_View::RouteMouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    if (fCapturedChild == this) {
        MouseWheel(distance, x, y, modifiers, message);
        return;
    }
    if (QV_View* child = fCapturedChild) {
        child->RouteMouseWheel(distance, x - child->fFrame.left, y - child->fFrame.top, modifiers, message);
        return;
    }
    // The deepest view under the pointer first, then each view above it: a
    // scrolling view scrolls when the view under the pointer ignores the wheel.
    for (int32_t i = 0; i < fChildCount; ++i) {
        QV_View* child = fChildren[i];
        if (!child->ContainsPoint(x, y))
            continue;
        if (child->fCursor)
            ApplyViewCursor(Window(), child->fCursor);
        child->RouteMouseWheel(distance, x - child->fFrame.left, y - child->fFrame.top, modifiers, message);
    }
    MouseWheel(distance, x, y, modifiers, message);
}

void QV_View::RouteMouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    SetButtonFlag(*this, button, false);
    if (!fCapturedChild || fCapturedChild == this) {
        // A view that took a press itself lets go of it with the last button,
        // as its ancestors do; otherwise later moves over its children would
        // still go to it alone.
        if (!AnyButtonDown())
            fCapturedChild = nullptr;
        MouseUp(x, y, button, modifiers, message);
        return;
    }
    QV_View* child = fCapturedChild;
    if (!AnyButtonDown())
        fCapturedChild = nullptr;
    child->RouteMouseUp(x - child->fFrame.left, y - child->fFrame.top, button, modifiers, message);
}
