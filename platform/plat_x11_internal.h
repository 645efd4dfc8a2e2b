#pragma once
// Shared by the files of the layer that speak to the X server directly:
// beeps, the clipboard's image and the pen tablet. SDL keeps its own
// connection; the clipboard and the tablet open private ones, served by
// threads of their own, so that nothing here depends on how SDL reads its
// events. Every function degrades to nothing where no X server is in use
// (another video driver, no display).
#include <cstdint>
#include <vector>

// Xlib's own declaration, so that this header brings in none of Xlib's
// macros (they clash with names of ours such as Expose).
typedef struct _XDisplay Display;
struct PlatWindow;

// True when the video layer runs on X11.
bool X11InUse();
// Keeps X errors that mean no harm from ending the program (an event sent to a
// window that has just closed); called once video runs.
void X11FilterErrors();
// SDL's connection of the window, or null.
Display* X11DisplayOfWindow(PlatWindow* window);
// A connection of our own to the server SDL uses. X errors on it are ignored
// (a requestor that vanished mid-transfer must not end the program). Null
// when none can be made.
Display* X11OpenPrivateConnection();
void X11ClosePrivateConnection(Display* display);

// Makes a window of a private connection the owner of the clipboard, serving
// the bytes as "image/png" (large ones in increments) until another program
// takes the clipboard. False where that is impossible.
bool X11OfferClipboardPng(std::vector<uint8_t> png);
// True while the clipboard's image is ours.
bool X11OwnsClipboardPng();
// Stops serving and closes the connection; called when video stops.
void X11StopClipboardServer();
