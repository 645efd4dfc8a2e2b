#pragma once
#include <cstdint>

#include "qv_rect.h"
#include "qv_string.h"
#include "qv_view.h"

class QV_DockingWnd;
class QV_Layer;
class QV_Message;
class QV_Wnd;

// A panel that lives either docked in a layer of its owner window or
// floating in a tool window of its own, and moves between the two at run
// time. Wherever it is, its messages go to the owner window. A floating
// panel remembers its place (and, when it persists, its size) under its
// settings name; a docked one remembers its size.
class QV_DockingView : public QV_View {
public:
    // Follows all four edges, sits at (0, 0); its size is the remembered
    // "_shape" when it persists and one is there, else the rectangle's.
    QV_DockingView(const char* title, bool persist, int32_t floatKind, QV_Wnd* owner,
        const char* settingsName, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    ~QV_DockingView() override;

    // Every message to the owner window; dropped without one.
    void HandleMessage(QV_Message* message) override;
    // The floating window is being destroyed; the owner forgets the view
    // here (it is deleted with the window's layer).
    virtual void FloatingWindowClosed();

    // Out of the dock into a tool window of its own.
    void Float();
    // Into the layer (from a floating window, which is destroyed without
    // telling FloatingWindowClosed).
    void Dock(QV_Layer* layer, int32_t follow);
    // Floating: destroys the window, and the view with it. Docked: out of the
    // layer; the view survives and belongs to the caller.
    void Close();
    // Docked (or nowhere) and named: remembers the size under "_shape".
    void SaveShape();

    QV_String fTitle;
    QV_Rect fDefaultRect;
    bool fPersist;
    int32_t fFloatKind;
    QV_Wnd* fOwnerWindow;
    QV_String fSettingsName;
    QV_DockingWnd* fFloatWindow;
    QV_Layer* fDockLayer;
};
