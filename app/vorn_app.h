#pragma once

#include <cstdint>

#include "app_prefs.h"
#include "qv_app.h"
#include "qv_string.h"

class QV_Cursor;
class ScriptRegistry;
class VornDoc;
class VornWnd;

constexpr const char* kAppVersion = "6.0";

// The program's title: the main window's title without a document and the suffix behind a
// document's name.
const char* AppTitle();

// The application's tool cursors (hot spot 7, 7), made at start.
extern QV_Cursor* CrossCursor;
extern QV_Cursor* ResizeCursor;
extern QV_Cursor* HResizeCursor;
extern QV_Cursor* VResizeCursor;

// The application object: preferences, cursors, brushes, the script registry and the main
// window.
class Vorn : public QV_App {
public:
    Vorn();
    ~Vorn() override;
    void Startup(const char* commandLine) override;
    void Shutdown() override;

    ScriptRegistry* fScriptRegistry;

private:
    ShellPrefSource fPrefSource;
};

// The application's one object while it runs.
Vorn* TheApp();

// The document's audio layers mixed over the frames into a new WAV file of the temporary
// folder; the path, which the caller deletes after use, or empty when nothing was written.
// Each call has a path of its own.
QV_String MixAudioToTempFile(VornDoc* document, int32_t firstFrame, int32_t lastFrame);

// Builds the application object on the stack and runs it.
void RunApplication();
