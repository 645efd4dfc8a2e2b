#pragma once
#include <cstdint>

#include "qv_graphics.h"
#include "qv_handler.h"
#include "qv_platform_image.h"
#include "qv_rect.h"

class QV_Message;
class QV_View;
class QV_Wnd;

// A pane of a window: a rectangle of the client area with its own 32-bit
// offscreen image and graphics context, holding top-level child views. The
// layer turns the window's calls into view calls: it hit-tests its children,
// keeps the mouse capture, the hover view, the keyboard focus and an optional
// main view, moves focus with Tab, routes shortcuts and copies its image to
// the screen. All coordinates given to a layer are its own (client
// coordinates minus the frame's top-left).
class QV_Layer : public QV_Handler {
public:
    explicit QV_Layer(int32_t follow);
    ~QV_Layer() override;

    // To the window.
    void HandleMessage(QV_Message* message) override;
    virtual void Activate();
    virtual void Deactivate();
    virtual void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight);
    virtual void Layout();
    virtual void ViewDocked(QV_View* view);
    virtual void ViewUndocked(QV_View* view);
    virtual void Update(int32_t left, int32_t top, int32_t right, int32_t bottom);
    virtual void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);
    virtual void MouseDownOutside(
        int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);
    virtual void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message);
    virtual void MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message);
    virtual void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);
    virtual void KeyDown(int32_t key, int32_t modifiers);
    virtual void KeyUp(int32_t key, int32_t modifiers);
    virtual void FileDropped(const char* path, int32_t x, int32_t y, int32_t modifiers);
    virtual void Click(int32_t value, int32_t x, int32_t y, int32_t modifiers);
    virtual void Draw();
    // True: while above the bottom layer, the window refuses to close.
    virtual bool BlocksClose();
    // True: a closing window drops the layer without deleting it.
    virtual bool KeepOnClose();
    // True: Tab and Shift+Tab move the focus.
    virtual bool TabNavigation();
    virtual void UpdateMenus();

    void AddView(QV_View* view);
    // Takes the view out (it is neither detached nor deleted); the layer's
    // focus goes whichever view had it.
    void RemoveView(QV_View* view);
    void SetMainView(QV_View* view);
    void SetFocus(QV_View* widget);
    void SetHoverView(QV_View* view);
    void MoveTo(int32_t x, int32_t y);
    void ResizeTo(int32_t width, int32_t height);
    QV_Rect Bounds() const;
    QV_Rect Frame() const { return fFrame; }
    // The context drawing into the whole image, or null.
    QV_Graphics* GetGraphics();
    void Flush();
    // Copies that part of the image (layer coordinates, inclusive) to the
    // window, leaving out the layers above and the views that paint the
    // window themselves.
    void FlushRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

    // The first child whose frame holds the point.
    QV_View* ChildAt(int32_t x, int32_t y) const;
    // The window holds a mouse button.
    bool WindowButtonDown() const;

    bool fShown;
    QV_Wnd* fWindow;
    QV_Rect fFrame;
    int32_t fFollow;
    QV_PlatformImage fImage;
    QV_Graphics fGraphics;
    int32_t fViewCount;
    int32_t fViewCapacity;
    QV_View** fViews;
    QV_View* fCaptureView;
    QV_View* fHoverView;
    QV_View* fFocusWidget;
    QV_View* fMainView;

private:
    void FillBackground();
    void MoveFocusByTab(bool backwards);
    // The view that takes keys: the remembered focus widget while it still has the focus (a
    // widget that lost it is forgotten and takes nothing), else the first focused view, which
    // is remembered.
    QV_View* KeyTarget();
};

// The view that shows the keyboard focus in the whole process (at most one).
extern QV_View* gFocusedWidget;
// The text field being edited.
extern QV_View* gFocusedTextControl;
