#pragma once

#include <cstdint>

class MainLayer;
class QV_Message;
class QV_Rect;
class QV_View;
class QV_Wnd;
class ShellPanel;
class VornDoc;
class VornLayer;
class VornWnd;

// The four docked panels of the main window.
enum class PanelKind { Tools, Layers, Timeline, Style };

// What the subsystems built after the shell (panels, dialogs, media layers) give the main
// window. The program's main fills them before the run; every hook may stay null, and the
// shell then does without (an empty panel shell, no splash, no library window...).
struct ShellHooks {
    // The panel of that kind for the document (null when none); null lets the shell make its
    // empty panel shell.
    ShellPanel* (*makePanel)(PanelKind kind, VornWnd* owner, VornDoc* document) = nullptr;
    // The canvas view over the area (window coordinates of the main layer) for the document.
    QV_View* (*makeCanvasView)(MainLayer* layer, VornDoc* document, int32_t left, int32_t top,
        int32_t right, int32_t bottom)
        = nullptr;
    // Splash (mode 3) and About (mode 0) windows, run modally.
    void (*showAbout)(QV_Wnd* owner, int32_t mode) = nullptr;
    void (*showWelcomeScreen)(QV_Wnd* owner) = nullptr;
    // The content library window: toggles it; IsOpen answers whether it is open.
    void (*toggleLibrary)(VornWnd* owner) = nullptr;
    bool (*libraryOpen)(VornWnd* owner) = nullptr;
    void (*closeLibrary)(VornWnd* owner) = nullptr;
    // Whether the Actions window (3254) is open over the main window.
    bool (*actionsOpen)(VornWnd* owner) = nullptr;
    // Export and batch windows, asked before the document closes at Quit; false keeps running.
    bool (*exportWindowsMayQuit)(VornWnd* owner) = nullptr;
    // The open document was closed: what later windows remember of it is forgotten.
    void (*documentClosed)(VornWnd* owner) = nullptr;
    // Commands of the File menu that later windows carry out (export 3118, preview 3116/3117,
    // imports...), with the message's "path" when it has one; false when not handled.
    bool (*handleCommand)(VornWnd* owner, int32_t command, const char* path) = nullptr;
    // The main window installs the script application services when its scripts are loaded
    // (after its own, which answer for the main window and its layer).
    void (*installScriptServices)(VornWnd* owner) = nullptr;
    // Main layer commands that later dialogs and windows carry out: the movie preview (3129),
    // Cut, Copy and Paste (3132 to 3134), the Insert Text, random line width, motion tracking,
    // grid settings, rescale, copy frame, blend morphs and audio level dialogs (3150, 3153, 3176,
    // 3189, 3206 to 3209, 3214) and the preferences (-1010). Answers the dialog's result
    // (MSG_OK, MSG_CANCEL, or any other non-zero value once it ran), or 0 when nothing ran; the
    // layer does what follows.
    int32_t (*runLayerCommand)(MainLayer* layer, int32_t command, QV_Message* message) = nullptr;
    // A progress pane laid over the window while long work runs on the interface thread, and
    // the function that work reports to (done flag, fraction from 0 to 1); done takes the pane
    // away. Without them the work runs without a pane.
    void (*openProgress)(QV_Wnd* owner, const char* message) = nullptr;
    void (*reportProgress)(bool done, float fraction) = nullptr;
    // Commands the canvas view carries out on itself: the orbit presets (3182 to 3187), the
    // tracing image's visibility (3194) and a chosen tracing image (3126, with its path); false
    // when not handled.
    bool (*canvasCommand)(QV_View* canvas, int32_t command, const char* path) = nullptr;
};

extern ShellHooks gShellHooks;
