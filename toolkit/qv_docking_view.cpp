#include "qv_docking_view.h"

#include "follow_flags.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_docking_wnd.h"
#include "qv_layer.h"
#include "qv_wnd.h"
#include "setting_pair.h"
#include "tabbing_layer.h"

namespace {

constexpr int32_t kFollowAll = FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM;

QV_String ShapeKey(const QV_String& name)
{
    QV_String key = name;
    key.Append("_shape");
    return key;
}

} // namespace

QV_DockingView::QV_DockingView(const char* title, bool persist, int32_t floatKind, QV_Wnd* owner,
    const char* settingsName, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    : QV_View(kFollowAll)
    , fTitle(title ? title : "")
    , fDefaultRect { x1, y1, x2, y2 }
    , fPersist(persist)
    , fFloatKind(floatKind)
    , fOwnerWindow(owner)
    , fSettingsName(settingsName ? settingsName : "")
    , fFloatWindow(nullptr)
    , fDockLayer(nullptr)
{
    MoveTo(0, 0);
    int32_t width = 0;
    int32_t height = 0;
    if (fPersist && !fSettingsName.IsEmpty() && gApp
        && FindSettingPair(gApp->fUserSettings, ShapeKey(fSettingsName).CString(), width, height))
        ResizeTo(width, height);
    else
        ResizeTo(x2 - x1 + 1, y2 - y1 + 1);
}

QV_DockingView::~QV_DockingView() = default;

void QV_DockingView::HandleMessage(QV_Message* message)
{
    if (fOwnerWindow)
        fOwnerWindow->HandleMessage(message);
}

void QV_DockingView::FloatingWindowClosed() { }

void QV_DockingView::Float()
{
    if (fFloatWindow)
        return;
    if (QV_Layer* layer = fDockLayer) {
        fDockLayer = nullptr;
        layer->ViewUndocked(this);
        layer->RemoveView(this);
        layer->Draw();
        const QV_Rect bounds = layer->Bounds();
        layer->FlushRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
    fFollow = kFollowAll;
    auto* layer = new TabbingLayer(kFollowAll);
    MoveTo(0, 0);
    const QV_Point size = Size();
    layer->ResizeTo(size.x, size.y);
    layer->AddView(this);

    auto* window = new QV_DockingWnd(fFloatKind, fTitle.CString(), fPersist, fOwnerWindow, this,
        fDefaultRect.left, fDefaultRect.top, fDefaultRect.left + size.x - 1, fDefaultRect.top + size.y - 1);
    if (!window->fHwnd) {
        // No window to float in: the view stays the caller's, in no layer.
        layer->RemoveView(this);
        delete layer;
        delete window;
        return;
    }
    fFloatWindow = window;
    window->AddLayer(layer);
    window->fLocationName = fSettingsName;
    if (fPersist)
        window->fShapeName = fSettingsName;
    window->Show();
}

void QV_DockingView::Dock(QV_Layer* layer, int32_t follow)
{
    if (QV_DockingWnd* window = fFloatWindow) {
        if (QV_Layer* floating = OwnerLayer())
            floating->RemoveView(this);
        window->fView = nullptr;
        fFloatWindow = nullptr;
        PlatWindowDestroy(window->fHwnd);
    }
    if (!layer)
        return;
    fFollow = follow;
    fDockLayer = layer;
    layer->AddView(this);
    layer->ViewDocked(this);
    layer->Draw();
    const QV_Rect bounds = layer->Bounds();
    layer->FlushRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
}

void QV_DockingView::Close()
{
    if (QV_DockingWnd* window = fFloatWindow) {
        fFloatWindow = nullptr;
        // The window's end tells the view and deletes it with the layer.
        PlatWindowDestroy(window->fHwnd);
        return;
    }
    if (QV_Layer* layer = fDockLayer) {
        fDockLayer = nullptr;
        layer->RemoveView(this);
    }
}

void QV_DockingView::SaveShape()
{
    if (fFloatWindow || fSettingsName.IsEmpty() || !gApp)
        return;
    const QV_Point size = Size();
    if (size.x >= 1 && size.y >= 1)
        StoreSettingPair(gApp->fUserSettings, ShapeKey(fSettingsName).CString(), size.x, size.y);
}
