#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "codec_dialog.h"
#include "codec_dialog_hook.h"
#include "follow_flags.h"
#include "frame_test_support.h"
#include "plat_pump.h"
#include "plat_time.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_entry.h"
#include "qv_layer.h"
#include "qv_wnd.h"

namespace {

// A layer that quits the application on its first repaint once the loop runs.
class QuitOnRepaintLayer : public QV_Layer {
public:
    QuitOnRepaintLayer()
        : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
    {
    }
    void Update(int32_t left, int32_t top, int32_t right, int32_t bottom) override
    {
        QV_Layer::Update(left, top, right, bottom);
        if (armed) {
            armed = false;
            repaintsInLoop++;
            gApp->Quit();
        }
    }
    static bool armed;
    static int repaintsInLoop;
};
bool QuitOnRepaintLayer::armed = false;
int QuitOnRepaintLayer::repaintsInLoop = 0;

class WindowedApp : public QV_App {
public:
    void Startup(const char*) override
    {
        fWindow = new QV_Wnd(0, "run loop", true, nullptr, 10, 10, 329, 249);
        ASSERT_NE(fWindow->fHwnd, nullptr);
        auto* layer = new QuitOnRepaintLayer;
        layer->ResizeTo(320, 240);
        fWindow->AddLayer(layer);
        fWindow->Show();
        fUserSettings.AddString("LastDocument", "/home/someone/walk.celv");
        fAppSettings.AddString("Installed", "TRUE");
        // A worker asks for a repaint; the loop delivers it to the window.
        const uint32_t id = PlatWindowId(fWindow->fHwnd);
        QuitOnRepaintLayer::armed = true;
        fWorker = std::thread([id] {
            PlatSleep(20);
            PlatPostWakeUp(id);
        });
    }
    void Shutdown() override
    {
        fWorker.join();
        shutdownRan = true;
        PlatWindowDestroy(fWindow->fHwnd);
    }

    QV_Wnd* fWindow = nullptr;
    std::thread fWorker;
    bool shutdownRan = false;
};

WindowedApp* gWindowedApp = nullptr;
bool gMoviesSeenInRun = false;
bool gSettingsSeenInRun = false;
bool gCodecDialogSeenInRun = false;

void RunWindowedApp()
{
    WindowedApp app;
    gWindowedApp = &app;
    // Start-up has started the movie libraries; the movie writers keep their keys in the user
    // settings.
    gMoviesSeenInRun = gQuickTimePresent;
    gSettingsSeenInRun = gMediaSettings == &app.fUserSettings;
    // The movie writers reach the codec dialog through the hook start-up installed.
    gCodecDialogSeenInRun = GetCodecDialogHook() == &ShowCodecDialog;
    app.Run();
    EXPECT_TRUE(app.shutdownRan);
    gWindowedApp = nullptr;
}

class RunLoopTest : public FrameTest { };

} // namespace

TEST_F(RunLoopTest, AnApplicationOpensAWindowQuitsFromTheLoopAndSavesItsSettings)
{
    char program[] = "celvane";
    char* argv[] = { program };
    QuitOnRepaintLayer::repaintsInLoop = 0;
    EXPECT_EQ(ToolkitMain(1, argv, RunWindowedApp), 0);
    EXPECT_EQ(QuitOnRepaintLayer::repaintsInLoop, 1);
    EXPECT_TRUE(gMoviesSeenInRun);
    EXPECT_TRUE(gSettingsSeenInRun);
    EXPECT_TRUE(gCodecDialogSeenInRun);
    EXPECT_EQ(GetCodecDialogHook(), nullptr);
    // Audio (when a device answered) is shut down again, and the settings are gone with the app.
    EXPECT_FALSE(gAudioAvailable);
    EXPECT_EQ(gMediaSettings, nullptr);

    const std::string user = GetFile(kUserSettings);
    EXPECT_NE(user.find("\"LastDocument\"\t\"/home/someone/walk.celv\"\r\n"), std::string::npos);
    EXPECT_NE(user.find("\"WindowBackground\"\t\"135 135 149 255\"\r\n"), std::string::npos);
    EXPECT_EQ(GetFile(kAppSettings), "\"Installed\"\t\"TRUE\"\r\n");
    // Every line ends in CR LF, none in a bare LF.
    for (size_t at = user.find('\n'); at != std::string::npos; at = user.find('\n', at + 1))
        EXPECT_EQ(user[at - 1], '\r');
}
