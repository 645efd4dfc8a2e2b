#pragma once
#include <cstdint>

#include "follow_flags.h"
#include "qv_handler.h"
#include "qv_pixelbuffer.h"
#include "qv_rect.h"

class QV_Cursor;
class QV_Graphics;
class QV_Layer;
class QV_Message;
class QV_Wnd;

// Alignment inside a layout view.
constexpr int32_t ALIGN_LEFT = 0;
constexpr int32_t ALIGN_TOP = 0;
constexpr int32_t ALIGN_CENTER = 1;
constexpr int32_t ALIGN_RIGHT = 2;
constexpr int32_t ALIGN_BOTTOM = 2;
constexpr int32_t ALIGN_FILL = 3;

// A rectangle inside a layer or inside another view: every widget, panel and
// the application's canvas is one. A view has no pixels of its own: it draws
// into its layer's image, clipped to the part its ancestors show. Views form
// a tree under each layer and own their children.
class QV_View : public QV_Handler {
public:
    explicit QV_View(int32_t follow);
    ~QV_View() override;

    // To the parent view, or for a top-level view to its layer.
    void HandleMessage(QV_Message* message) override;

    virtual void ResizeTo(int32_t width, int32_t height);
    virtual void SetSize(int32_t width, int32_t height);
    virtual void ResetSize(int32_t width, int32_t height);
    // The rectangle (view coordinates) copied to the screen again; nothing is redrawn.
    virtual void Invalidate(int32_t left, int32_t top, int32_t right, int32_t bottom);
    virtual void Refresh();
    virtual void AddChild(QV_View* view);
    virtual void Attached();
    virtual void Detached();
    virtual QV_Point MinSize();
    virtual QV_Point PreferredSize();
    virtual QV_Point MaxSize();
    virtual void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight);
    virtual void Layout();
    virtual void Arrange();
    virtual void DrawDirect();
    virtual void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);
    virtual void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message);
    virtual void MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message);
    virtual void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);
    virtual void KeyDown(int32_t key, int32_t modifiers);
    virtual void KeyUp(int32_t key, int32_t modifiers);
    virtual void FileDropped(const char* path, int32_t x, int32_t y, int32_t modifiers);
    virtual void Click(int32_t value, int32_t x, int32_t y, int32_t modifiers);
    virtual void Draw();
    virtual bool AcceptsFocus();
    virtual void FocusChanged(bool focused);
    virtual bool WantsReturn();
    virtual void EnableChanged(bool enabled);
    virtual bool DrawsToWindow();

    QV_Point Size() const;
    QV_Rect Bounds() const;
    QV_Rect Frame() const { return fFrame; }
    // Moves the frame's top-left corner (parent coordinates); the size stays.
    void MoveTo(int32_t x, int32_t y);
    // Moves or stretches this view by its follow flags after its container
    // (parent view or layer) grew by (dw, dh).
    void FollowContainerResize(int32_t dw, int32_t dh);
    QV_Rect FrameInLayer() const;
    QV_Layer* OwnerLayer() const;
    QV_Wnd* Window() const;
    QV_Point ConvertToLayer(QV_Point point) const;
    QV_Point ConvertFromLayer(QV_Point point) const;
    QV_Point ConvertToWindow(QV_Point point) const;
    QV_Point ConvertFromWindow(QV_Point point) const;
    // Clips the rectangle (view coordinates) to what the ancestors show and
    // leaves it in layer coordinates; false when nothing is visible.
    bool ClipToVisible(QV_Rect& rect) const;
    // The visible part of the layer's image under the view, or null.
    QV_PixelBuffer* LayerRaster();
    // The layer's context set up to draw in view coordinates, clipped to the
    // visible part; null when nothing is visible.
    QV_Graphics* GetGraphics();
    // Takes the child out (order of the others kept); it is not deleted.
    void RemoveChild(QV_View* view);
    void SetFocus(bool focused);
    void Enable(bool enabled);
    bool IsEnabled() const { return fEnabled; }
    void SetCursor(QV_Cursor* cursor);
    bool ContainsFocus() const;
    // The next view in Tab order after the focused one among this view's
    // descendants (a view comes after its own children), or null.
    QV_View* NextFocusable(bool backwards);

    // Input routing; points in this view's coordinates.
    void RouteMouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);
    void RouteMouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message);
    void RouteMouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message);
    void RouteMouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);

    // The first child whose frame holds the point (this view's coordinates).
    QV_View* ChildAt(int32_t x, int32_t y) const;
    bool ContainsPoint(int32_t x, int32_t y) const;
    bool AnyButtonDown() const { return fLeftDown || fMiddleDown || fRightDown; }

    QV_Rect fFrame;
    int32_t fPrefWidth;
    int32_t fPrefHeight;
    int32_t fFollow;
    int32_t fAlign;
    int32_t fIndent;
    QV_Layer* fLayer;
    QV_View* fParent;
    bool fLeftDown;
    bool fMiddleDown;
    bool fRightDown;
    bool fFocused;
    bool fEnabled;
    int32_t fChildCount;
    int32_t fChildCapacity;
    QV_View** fChildren;
    QV_View* fCapturedChild;
    QV_Cursor* fCursor;
    QV_PixelBuffer fRaster;
};

// Shows the cursor of a view on its window, unless cursors are disabled.
void ApplyViewCursor(QV_Wnd* window, QV_Cursor* cursor);

// The focus rule on a press, shared by the layer and the press routing: the
// pressed view takes the keyboard focus from the layer's focus widget when it
// accepts focus and is enabled; a press on a view that does not accept focus
// leaves the focus where it was.
void FocusOnPress(QV_Layer* layer, QV_View* pressed);
