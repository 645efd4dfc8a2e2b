#pragma once
#include <cstdint>

#include "qv_arraylist.h"
#include "qv_handler.h"
#include "qv_rect.h"
#include "qv_string.h"

class QV_Cursor;
class QV_Layer;
class QV_Message;
class QV_PlatformImage;
struct PlatEvent;
struct PlatMutex;
struct PlatWindow;

// One timer of a window: every period the handler gets PostMessage(what).
struct QV_TimerRecord {
    uint32_t id;
    float period; // seconds
    QV_Handler* handler; // not owned
    int32_t what;
};

// The toolkit's top-level window: one system window whose client area is
// covered by a stack of up to 16 layers. There are no native controls: the
// layers' images are presented to the window, and the window procedure is the
// only place where system events reach the toolkit. Positions given to and
// reported by a window are those of its client area; the remembered
// "_location" is the top-left of the whole window with its frame.
//
// A window deletes itself when its system window is destroyed
// (PlatWindowDestroy of fHwnd, or the close box); code does not delete it.
// Destroying a window destroys the windows it owns first.
//
// The kinds: 0 and 1 normal windows (a resizable one can be maximised), 2 a
// dialog, 3 a popup with no caption, 4 a borderless popup (both without a
// task bar entry), 5 and 6 tool windows (6 is kept as 5 once made).
class QV_Wnd : public QV_Handler {
public:
    static constexpr int32_t kMaxLayers = 16;

    // The client area covers the inclusive screen rectangle (x1, y1)-(x2, y2).
    // The window is not shown. fHwnd stays null when the system refuses the
    // window; such an object is the caller's to delete.
    QV_Wnd(int32_t kind, const char* title, bool resizable, QV_Wnd* parent, int32_t x1, int32_t y1,
        int32_t x2, int32_t y2);
    // Stops the timers, deletes the layers (except those that KeepOnClose),
    // remembers place and size under the settings names.
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
    // Client sizes the user may drag the window to: 64 x 8 to 8192 x 8192.
    virtual void SizeLimits(QV_Point& minimum, QV_Point& maximum);
    // Layers follow their follow flags.
    virtual void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight);
    // With exactly one layer: lays it out and takes its size.
    virtual void FitToLayer();
    // To the top layer; tool windows pass keys on to their parent window.
    virtual void KeyDown(int32_t key, int32_t modifiers);
    virtual void KeyUp(int32_t key, int32_t modifiers);
    // To the topmost layer under the point, in its coordinates.
    virtual void FileDropped(const char* path, int32_t x, int32_t y, int32_t modifiers);

    // Pushes a layer on top (ignored when 16 are there already).
    void AddLayer(QV_Layer* layer);
    // Takes it out of the stack wherever it is; the layer is not deleted.
    void RemoveLayer(QV_Layer* layer);
    // Every layer meeting the inclusive client rectangle, bottom to top, copies
    // its part again.
    void RedrawRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

    // Placement (qv_wnd_placement.cpp). The first Show restores the place
    // and size remembered under fLocationName and fShapeName and calls
    // Opened; every Show pulls the window's top-left onto the usable screen.
    void Show();
    // Centres the window on the usable part of the screen.
    void Center();
    // Moves the window, frame included, so that its top-left lies there on
    // the screen; its size stays and it is not activated.
    void MoveOuterTo(int32_t x, int32_t y);
    void ResizeTo(int32_t width, int32_t height);
    // The client rectangle (0, 0, width - 1, height - 1) as last seen non-empty.
    QV_Rect Bounds();

    void SetTitle(const char* title);
    QV_Point MousePosition() const { return { fMouseX, fMouseY }; }
    // Asks for the whole client area to be presented again.
    void Invalidate();
    // Shows fCursor when set (a cursor without handle hides the pointer).
    void RestoreCursor();
    // Releases the window mutex for code that must let a worker thread run;
    // it takes the mutex again before returning to the toolkit.
    void Unlock();

    // Timers (qv_wnd_timers.cpp). The id is the timer count + 1, or the
    // largest id in use + 1 when that one is taken; 0 when no timer could be
    // set. The period is rounded to whole milliseconds.
    uint32_t AddTimer(float seconds, QV_Handler* handler, int32_t what);
    void RemoveTimer(uint32_t id);
    // A tick: the timer's handler gets its message; unknown ids are ignored.
    void Timer(uint32_t id);

    // Modal loop (qv_wnd_modal.cpp): shows the window, disables the parent
    // window and handles events of every window until EndModal or a quit.
    int32_t RunModal();
    void EndModal(bool destroy, int32_t result);

    // Clipboard (qv_wnd_clipboard.cpp). Failures are silent.
    // At most the first 2047 bytes of the text are copied.
    void CopyTextToClipboard(const char* text);
    // 24- and 32-bit images, copied as an opaque picture.
    void CopyImageToClipboard(QV_PlatformImage* image);
    // The clipboard's text, valid until the next paste into this window;
    // null when the clipboard holds no text.
    const char* PasteText();

    // Input (qv_wnd_input.cpp), called by the window procedure. Points are
    // client coordinates.
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);
    void MouseMoved(int32_t modifiers, QV_Message* message, int32_t x, int32_t y);
    void MouseWheel(float distance, int32_t modifiers, QV_Message* message, int32_t x, int32_t y);
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message);
    // One typed character as the system reports it, before translation.
    void CharTyped(int32_t code, int32_t modifiers);

    // The window procedure: every event of the system window arrives here
    // (qv_window_proc.cpp).
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
    QV_ArrayList fTimers; // of owned QV_TimerRecord
    QV_String fClipboardText;
    QV_String fLocationName;
    QV_String fShapeName;
    PlatMutex* fWndMutex;

    // Tells whether a window was destroyed while code that holds it still
    // runs (a handler may close the window it was called for).
    class Watch {
    public:
        explicit Watch(QV_Wnd* window);
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;
        bool Gone() const { return fGone; }

    private:
        friend class QV_Wnd;
        QV_Wnd* fWindow;
        bool fGone = false;
        Watch* fNext = nullptr;
    };

private:
    void HandleEvent(const PlatEvent& event);
    void Activated(bool active);
    void UpdateCursor();
    void ApplySizeLimits();
    // The layers' size follows a new client size; nothing when unchanged.
    void FollowClientSize(int32_t width, int32_t height);
    // The top-left of the whole window, frame included, on the screen.
    QV_Point OuterPosition();
    void SavePlacement();
    // After the top layer took a key: whether this window hands it on to its parent. A tool
    // window passes keys on, except the key that closed a popup and the keys that its focused
    // field keeps.
    bool PassesKeyOn(int32_t key, int32_t modifiers, int32_t layersBefore) const;

    Watch* fWatches = nullptr;
    // The client size the layers were last laid out for.
    int32_t fLaidOutWidth = 0;
    int32_t fLaidOutHeight = 0;
    // The result of a running modal loop, kept where the loop finds it even
    // when the window is destroyed under it.
    int32_t* fModalResultOut = nullptr;
};

// Every system window made by the toolkit and not yet destroyed (PlatWindow*).
extern QV_ArrayList gWindowList;
// The window on which the tablet was opened, while it lives.
extern PlatWindow* gTabletWindow;
// The tablet is being read (opened on the first window made while a tablet
// is present).
extern bool gTabletContext;
// Pressure of the pen, 0 to 1; 0 until the tablet reports one.
extern float gPenPressure;
// Set from the application's preferences; while set, view cursors are never shown.
extern bool gCursorsDisabled;

// The QV_Wnd of a system window of the toolkit, or null.
QV_Wnd* WindowOfHandle(PlatWindow* handle);
// Starts reading the tablet for the window's sake; false when it cannot.
bool OpenTabletContext(PlatWindow* window);
