#pragma once

#include "qv_app.h"
#include "qv_wnd.h"

// The application's main window. Closing it ends the run, and so does the quit
// command (MSG_QUIT) when QuitRequested allows it.
class VornWnd : public QV_Wnd {
public:
    VornWnd(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    ~VornWnd() override;
    void HandleMessage(QV_Message* message) override;
    void Closed() override;
};

// The one main window while it is open, else null.
extern VornWnd* gVornWnd;

// The application object. Until the shell's own parts arrive it opens an
// empty main window and quits when that window is closed.
class Vorn : public QV_App {
public:
    Vorn();
    void Startup(const char* commandLine) override;
    void Shutdown() override;
};

// The application's main routine: builds the application object on its own
// stack and runs it.
void RunApplication();
