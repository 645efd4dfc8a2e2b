#include "vorn_app.h"

#include <cstdio>
#include <unistd.h>

#include "app_folders.h"
#include "m_brush.h"
#include "message_ids.h"
#include "model_prefs.h"
#include "plat_window.h"
#include "qv_cursor.h"
#include "qv_message.h"
#include "qv_temp_file.h"
#include "qv_wnd.h"
#include "resource_images.h"
#include "script_registry.h"
#include "shape_style_factory.h"
#include "shell_hooks.h"
#include "vorn_module.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

QV_Cursor* CrossCursor = nullptr;
QV_Cursor* ResizeCursor = nullptr;
QV_Cursor* HResizeCursor = nullptr;
QV_Cursor* VResizeCursor = nullptr;

namespace {

QV_String gAppTitle = "Celvane";
Vorn* gVorn = nullptr;

QV_Cursor* MakeCursor(const char* name)
{
    QV_PixelBuffer* image = GetResourceImage(name);
    return image ? new QV_Cursor(image, 7, 7) : nullptr;
}

void DeleteCursor(QV_Cursor*& cursor)
{
    delete cursor;
    cursor = nullptr;
}

} // namespace

const char* AppTitle()
{
    return gAppTitle.CString();
}

Vorn* TheApp()
{
    return gVorn;
}

Vorn::Vorn()
    : fScriptRegistry(nullptr)
{
    gVorn = this;
    fName = "Celvane Pomra";
    fMainWindow = nullptr;
    ResetPreferences();
    fScriptRegistry = new ScriptRegistry(&fUserSettings, OpenVornModule);
}

Vorn::~Vorn()
{
    delete fScriptRegistry;
    if (gVorn == this)
        gVorn = nullptr;
}

void Vorn::Startup(const char* commandLine)
{
    // The interface texts are loaded now, so the title can be looked up.
    gAppTitle = Localize("/Application/Title=Celvane");
    // The cursors need the video layer, which the run has started by now.
    CrossCursor = MakeCursor("curs_crosshair");
    ResizeCursor = MakeCursor("curs_resize");
    HResizeCursor = MakeCursor("curs_hresize");
    VResizeCursor = MakeCursor("curs_vresize");

    ApplySettingsVersion(fUserSettings);
    ReadPreferences(fUserSettings);
    gCursorsDisabled = gPrefs.disableCursors;
    SetModelPrefSource(&fPrefSource);

    QV_Path brushes = AppFolder();
    brushes.Append("brushes");
    LoadBrushes(brushes.CString());

    QV_String folder;
    if (fUserSettings.FindString("CurrentDirectory", folder) && !folder.IsEmpty()) {
        if (chdir(folder.CString()) != 0) {
            // A folder that is gone is no reason to stop.
        }
    }

    RegisterShapeStyles();
    auto* window = new VornWnd(commandLine);
    if (!window->fHwnd) {
        // No display: nothing to run.
        delete window;
        Quit();
        return;
    }
    fMainWindow = window;
    window->PostMessage(CMD_TOOLS_PANEL);
    window->PostMessage(CMD_LAYERS_PANEL);
    window->PostMessage(CMD_TIMELINE_PANEL);
    window->PostMessage(CMD_STYLE_PANEL);
    window->PostMessage(1004);

    bool libraryOpen = true;
    fUserSettings.FindBool("LibraryWnd_Open", libraryOpen);
    if (libraryOpen && gShellHooks.toggleLibrary)
        window->PostMessage(CMD_LIBRARY);

    if (gPrefs.welcomeScreen && QV_String(Localize("/Strings/Locale=EN")) == "EN" && gShellHooks.showWelcomeScreen)
        gShellHooks.showWelcomeScreen(window);
}

void Vorn::Shutdown()
{
    if (fMainWindow && fMainWindow->fHwnd)
        PlatWindowDestroy(fMainWindow->fHwnd);
    delete fScriptRegistry;
    fScriptRegistry = nullptr;
    WritePreferences(fUserSettings);
    FreeBrushes();
    SetModelPrefSource(nullptr);
    // Before the video layer closes behind the run.
    DeleteCursor(CrossCursor);
    DeleteCursor(ResizeCursor);
    DeleteCursor(HResizeCursor);
    DeleteCursor(VResizeCursor);
    char folder[4096];
    if (getcwd(folder, sizeof(folder)))
        fUserSettings.AddString("CurrentDirectory", folder);
}

QV_String MixAudioToTempFile(VornDoc* document, int32_t firstFrame, int32_t lastFrame)
{
    if (!document)
        return "";
    const QV_String path = TempFileName() + ".wav";
    if (!document->MixdownAudio(firstFrame, lastFrame, path.CString())) {
        // A file begun before the failure is no use to anyone.
        std::remove(path.CString());
        return "";
    }
    return path;
}

void RunApplication()
{
    Vorn application;
    application.Run();
}
