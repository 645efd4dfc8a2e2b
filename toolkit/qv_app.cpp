#include "qv_app.h"

#include <cstdio>

#include "app_folders.h"
#include "plat_folders.h"
#include "plat_mutex.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "message_ids.h"
#include "qv_baseimage.h"
#include "qv_wnd.h"
#include "script_console.h"

QV_App* gApp = nullptr;
QV_String gCommandLine;
QV_String gLongCommandLine;
bool gTabletPresent = false;
QV_Wnd* gLuaConsole = nullptr;

namespace {

constexpr int32_t kFirstImageCapacity = 4;

// The system asks the program to quit: the same as the quit command, so the main window decides
// (and, with a changed document, asks) as it does for the menu's Quit.
void SystemQuitRequest()
{
    if (!gApp)
        return;
    QV_Wnd* window = gApp->fMainWindow;
    if (!window) {
        gApp->Quit();
        return;
    }
    PlatMutexLock(window->fWndMutex);
    QV_Wnd::Watch watch(window);
    window->PostMessage(MSG_QUIT);
    if (!watch.Gone())
        PlatMutexUnlock(window->fWndMutex);
}

} // namespace

QV_App::QV_App()
    : fMainWindow(nullptr)
    , fLoadStrings(true)
    , fQuitting(false)
    , fMutex(nullptr)
    , fStringsLoaded(false)
    , fLocalizeIndex(0)
    , fImageCount(0)
    , fImageCapacity(kFirstImageCapacity)
    , fImageNames(new QV_String[kFirstImageCapacity])
    , fImages(new QV_BaseImage* [kFirstImageCapacity] {})
{
    gApp = this;
    // The movie writers keep their compression keys among the user settings.
    gMediaSettings = &fUserSettings;
    fName = "Celvane Pomra";
    fVersion = "6.0";
    fMutex = PlatMutexCreate();
}

QV_App::~QV_App()
{
    if (gMediaSettings == &fUserSettings)
        gMediaSettings = nullptr;
    // Whatever still runs after the application is gone (toolkit shutdown, a later object in
    // the same process) finds no application instead of a dead one.
    if (gApp == this)
        gApp = nullptr;
    PlatMutexDestroy(fMutex);
    for (int32_t i = 0; i < fImageCount; ++i)
        delete fImages[i];
}

void QV_App::Startup(const char*) { }

void QV_App::Shutdown() { }

QV_String QV_App::UserSettingsName() const
{
    return fName + fVersion + ".user.settings";
}

QV_String QV_App::AppSettingsName() const
{
    return fName + fVersion + ".app.settings";
}

void QV_App::Run()
{
    // The copy in the application folder first; a per-user copy replaces it
    // wholesale, and the per-user path is the one written back even when no
    // copy existed there yet.
    fUserSettingsPath = AppFolder();
    fUserSettingsPath.Append(UserSettingsName());
    fUserSettings.ReadFile(fUserSettingsPath.CString());
    if (!PlatConfigFolder().empty()) {
        fUserSettingsPath = UserAppDataFolder();
        fUserSettingsPath.Append(UserSettingsName());
        fUserSettings.ReadFile(fUserSettingsPath.CString());
    }

    fAppSettingsPath = CommonAppDataFolder();
    fAppSettingsPath.Append(AppSettingsName());
    fAppSettings.ReadFile(fAppSettingsPath.CString());

    if (fLoadStrings)
        LoadStrings();
    LoadFonts();
    LoadColors();

    Startup(gLongCommandLine.CString());

    if (!fQuitting) {
        PlatSetQuitRequestHandler(SystemQuitRequest);
        for (;;) {
            const int32_t result = PlatPumpMessage();
            if (result == 0)
                break;
            if (result < 0) {
                // Nothing can arrive any more: end the run as a quit would, so
                // that the application still shuts down and saves its settings.
                std::fprintf(stderr, "Celvane: the event queue failed; quitting.\n");
                break;
            }
        }
        PlatSetQuitRequestHandler(nullptr);
    } else {
        // The quit posted inside Startup belongs to this run, not to a later loop.
        PlatClearQuit();
    }

    Shutdown();
    SaveColors();

    fUserSettings.WriteFile(fUserSettingsPath.CString());
    // The common folder is not made at start-up: only when there is something
    // to write into it.
    if (fAppSettings.Count() > 0)
        PlatMakeFolders(fAppSettingsPath.Folder().CString());
    fAppSettings.WriteFile(fAppSettingsPath.CString());
}

void QV_App::Quit()
{
    fQuitting = true;
    if (gLuaConsole && gLuaConsole->fHwnd)
        PlatWindowDestroy(gLuaConsole->fHwnd);
    PlatPostQuit();
}
