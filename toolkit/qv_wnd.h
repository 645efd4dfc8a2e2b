#pragma once
#include <cstdint>

#include "qv_arraylist.h"
#include "qv_handler.h"
#include "qv_rect.h"
#include "qv_string.h"

class QV_Cursor;
class QV_Layer;
struct PlatEvent;
struct PlatMutex;
struct PlatWindow;

// The toolkit's top-level window: one system window whose client area is
// covered by a stack of up to 16 layers. There are no native controls: the
// layers' images are presented to the window, and the window procedure is the
// only place where system events reach the toolkit.
//
// A window deletes itself when its system window is destroyed
// (PlatWindowDestroy of fHwnd, or the close box); code does not delete it.
class QV_Wnd : public QV_Handler {
public:
    static constexpr int32_t kMaxLayers = 16;

    // The client area covers the inclusive screen rectangle (x1, y1)-(x2, y2).
    // The window is not shown. fHwnd stays null when the system refuses the
    // window; such an object is the caller's to delete.
    QV_Wnd(int32_t kind, const char* title, bool resizable, QV_Wnd* parent, int32_t x1, int32_t y1,
        int32_t x2, int32_t y2);
    ~QV_Wnd() override;

    // To the parent window, or to the application under its mutex.
    void HandleMessage(QV_Message* message) override;
    // Called once, at the first Show, with the window mutex held.
    virtual void Opened();
    // False while a layer above the bottom one blocks closing, or during a
    // modal loop.
    virtual bool QuitRequested();
    // Called when the system window is destroyed, just before the object
    // deletes itself.
    virtual void Closed();
    // Layers follow their follow flags.
    virtual void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight);

    // Pushes a layer on top (ignored when 16 are there already).
    void AddLayer(QV_Layer* layer);
    // Takes it out of the stack wherever it is; the layer is not deleted.
    void RemoveLayer(QV_Layer* layer);
    // Every layer meeting the inclusive client rectangle, bottom to top, copies
    // its part again.
    void RedrawRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

    void Show();
    void SetTitle(const char* title);
    // The client rectangle (0, 0, width - 1, height - 1) as last seen non-empty.
    QV_Rect Bounds();
    QV_Point MousePosition() const { return { fMouseX, fMouseY }; }
    // Asks for the whole client area to be presented again.
    void Invalidate();
    // Shows fCursor when set.
    void RestoreCursor();
    // Releases the window mutex for code that must let a worker thread run;
    // it takes the mutex again before returning to the toolkit.
    void Unlock();

    // The window procedure: every event of the system window arrives here.
    static void WndProc(void* user, PlatWindow* window, const PlatEvent& event);

    bool fModalDone;
    bool fModalDestroy;
    bool fInModal;
    int32_t fModalResult;
    QV_Wnd* fParent;
    bool fFirstShow;
    bool fResizable;
    int32_t fKind;
    PlatWindow* fHwnd;
    int32_t fLayerCount;
    QV_Layer* fLayers[kMaxLayers];
    QV_Layer* fCaptureLayer;
    bool fMouseInside;
    bool fLeftDown;
    bool fMiddleDown;
    bool fRightDown;
    int32_t fMouseX;
    int32_t fMouseY;
    int32_t fClickX;
    int32_t fClickY;
    bool fHasClick;
    float fClickAge;
    uint32_t fClickTick;
    int32_t fModifiers;
    QV_Rect fBounds;
    QV_Cursor* fCursor;
    QV_String fLocationName;
    QV_String fShapeName;
    PlatMutex* fWndMutex;

private:
    // One per running window procedure of this window, innermost first, so
    // that a procedure learns that its window was destroyed under it.
    struct ProcFrame {
        bool destroyed = false;
        ProcFrame* outer = nullptr;
    };
    ProcFrame* fProcFrame = nullptr;
};

// Every system window made by the toolkit and not yet destroyed (PlatWindow*).
extern QV_ArrayList gWindowList;
// Set from the application's preferences; while set, view cursors are never shown.
extern bool gCursorsDisabled;
