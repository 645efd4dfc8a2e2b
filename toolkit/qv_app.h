#pragma once
#include <cstdint>
#include <memory>

#include "media_presence.h"
#include "qv_handler.h"
#include "qv_message.h"
#include "qv_path.h"
#include "qv_string.h"

class QV_BaseImage;
class QV_Wnd;
struct PlatMutex;

// The base of the application object. It owns the two settings records, the
// table of interface texts, the application mutex and the cache of interface
// images, and runs the message loop of the interface thread. The application
// derives from it and supplies Startup and Shutdown.
class QV_App : public QV_Handler {
public:
    static constexpr int32_t kLocalizeRingSize = 32;

    QV_App();
    ~QV_App() override;

    // Reads the settings, loads texts, fonts and colours, calls Startup,
    // runs the message loop until a quit, calls Shutdown, saves colours and
    // settings. While the loop runs, a termination signal (SIGTERM, SIGINT,
    // once the program catches them) is the quit command MSG_QUIT sent to
    // fMainWindow, or, without a main window, Quit.
    void Run();
    // Ends the run: the loop stops at its next message, or never starts when
    // called inside Startup.
    void Quit();

    // The application's hooks, called only by Run.
    virtual void Startup(const char* commandLine);
    virtual void Shutdown();

    // The interface texts file of the resources folder into fStrings.
    void LoadStrings();
    // The 28 interface colours from and to fUserSettings.
    void LoadColors();
    void SaveColors();
    // Chooses the interface fonts by locale and "UseLargeFonts".
    void LoadFonts();

    // Settings file names: fName + fVersion + the suffix.
    QV_String UserSettingsName() const;
    QV_String AppSettingsName() const;
    // Where Run read and writes the two settings files (set by Run).
    const QV_Path& UserSettingsPath() const { return fUserSettingsPath; }
    const QV_Path& AppSettingsPath() const { return fAppSettingsPath; }

    QV_String fName;
    QV_String fVersion;
    // The application's main window while it exists (the application sets
    // and clears it); null otherwise.
    QV_Wnd* fMainWindow;
    bool fLoadStrings;
    bool fQuitting;
    QV_Message fUserSettings;
    QV_Message fAppSettings;
    PlatMutex* fMutex;
    bool fStringsLoaded;
    QV_Message fStrings;
    int32_t fLocalizeIndex;
    QV_String fLocalizeRing[kLocalizeRingSize];
    int32_t fImageCount;
    int32_t fImageCapacity;
    std::unique_ptr<QV_String[]> fImageNames;
    std::unique_ptr<QV_BaseImage*[]> fImages;

private:
    QV_Path fUserSettingsPath;
    QV_Path fAppSettingsPath;
};

// The one application object; set by its constructor, null again once it is destroyed.
extern QV_App* gApp;
// The command line: the arguments joined with single spaces, trimmed.
extern QV_String gCommandLine;
// The absolute form of the untrimmed command line when it names an existing
// file, else empty.
extern QV_String gLongCommandLine;
extern bool gTabletPresent;

// The translated text of "key=default" (for example "/Strings/OK=OK"), or the
// default. The result lives in a ring of 32 strings of the application and
// stays valid until 32 further calls. Interface thread only.
const char* Localize(const char* text);
