#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "frame_test_support.h"
#include "plat_pump.h"
#include "plat_video.h"
#include "plat_window.h"
#include "qv_app.h"

namespace {

// An application that quits inside Startup, so Run never waits for events.
class QuittingApp : public QV_App {
public:
    void Startup(const char*) override
    {
        startupCalls++;
        if (onStartup)
            onStartup(*this);
        Quit();
    }
    void Shutdown() override
    {
        shutdownCalls++;
        if (onShutdown)
            onShutdown(*this);
    }

    int startupCalls = 0;
    int shutdownCalls = 0;
    void (*onStartup)(QuittingApp&) = nullptr;
    void (*onShutdown)(QuittingApp&) = nullptr;
};

bool HasEntry(const QV_Message& record, const char* name)
{
    const char* text = nullptr;
    return record.FindString(name, &text);
}

unsigned ModeOf(const std::string& path)
{
    struct stat info { };
    stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

class AppSettingsTest : public FrameTest { };

} // namespace

TEST_F(AppSettingsTest, PerUserCopyReplacesTheApplicationFolderCopyAndIsRewritten)
{
    const std::string appFolderCopy = "\"Shared\"\t\"1\"\r\n\"Both\"\t\"app\"\r\n";
    PutFile(kAppFolderSettings, appFolderCopy);
    PutFile(kUserSettings, "\"Mine\"\t\"2\"\r\n\"Both\"\t\"user\"\r\n");

    QuittingApp app;
    app.onShutdown = [](QuittingApp& a) { a.fUserSettings.AddString("Added", "3"); };
    app.Run();

    EXPECT_FALSE(HasEntry(app.fUserSettings, "Shared"));
    QV_String both;
    ASSERT_TRUE(app.fUserSettings.FindString("Both", both));
    EXPECT_EQ(both, "user");
    EXPECT_EQ(app.UserSettingsPath(), fRoot.File(kUserSettings).c_str());

    const std::string written = GetFile(kUserSettings);
    EXPECT_NE(written.find("\"Mine\"\t\"2\""), std::string::npos);
    EXPECT_NE(written.find("\"Added\"\t\"3\""), std::string::npos);
    EXPECT_EQ(written.find("Shared"), std::string::npos);
    // The application folder is only ever read.
    EXPECT_EQ(GetFile(kAppFolderSettings), appFolderCopy);
}

TEST_F(AppSettingsTest, WithoutAPerUserCopyThePerUserPathIsStillWritten)
{
    const std::string appFolderCopy = "\"Shared\"\t\"1\"\r\n";
    PutFile(kAppFolderSettings, appFolderCopy);

    QuittingApp app;
    app.Run();

    EXPECT_TRUE(HasEntry(app.fUserSettings, "Shared"));
    ASSERT_TRUE(HasEntry(app.fUserSettings, "WindowBackground")); // the colours join a non-empty record
    const std::string written = GetFile(kUserSettings);
    EXPECT_NE(written.find("\"Shared\"\t\"1\""), std::string::npos);
    EXPECT_NE(written.find("\"WindowBackground\"\t\"135 135 149 255\""), std::string::npos);
    EXPECT_EQ(GetFile(kAppFolderSettings), appFolderCopy);
    // Both folders on the way are private.
    EXPECT_EQ(ModeOf(fRoot.File("config/Drelmor")), 0700u);
    EXPECT_EQ(ModeOf(fRoot.File(kUserFolder)), 0700u);
}

TEST_F(AppSettingsTest, QuitInsideStartupSkipsTheLoopButShutsDownAndWritesBothFiles)
{
    ASSERT_TRUE(PlatVideoStart()) << PlatVideoError();
    static int delivered;
    delivered = 0;
    static PlatWindow* window;
    window = PlatWindowCreate("probe", 0, 0, 16, 16, 0);
    ASSERT_NE(window, nullptr);
    PlatWindowSetHandler(
        window,
        [](void*, PlatWindow*, const PlatEvent& event) {
            if (event.type != PlatEventType::Destroy)
                delivered++;
        },
        nullptr);

    QuittingApp app;
    app.onStartup = [](QuittingApp& a) {
        // Both would be handled by a running loop.
        PlatWindowInvalidate(window);
        PlatPostWakeUp(PlatWindowId(window));
        a.fUserSettings.AddString("Pref", "1");
        a.fAppSettings.AddString("Machine", "2");
    };
    app.Run();

    EXPECT_EQ(delivered, 0);
    EXPECT_TRUE(app.fQuitting);
    EXPECT_EQ(app.startupCalls, 1);
    EXPECT_EQ(app.shutdownCalls, 1);
    EXPECT_NE(GetFile(kUserSettings).find("\"Pref\"\t\"1\""), std::string::npos);
    EXPECT_EQ(GetFile(kAppSettings), "\"Machine\"\t\"2\"\r\n");
    EXPECT_EQ(ModeOf(fRoot.File("config/Drelmor/Celvane Pomra/6.0")), 0700u);
    EXPECT_EQ(app.AppSettingsPath(), fRoot.File(kAppSettings).c_str());
    PlatVideoStop();
}

TEST_F(AppSettingsTest, AnEmptyRecordWritesNothing)
{
    QuittingApp app;
    app.Run();
    EXPECT_EQ(app.fUserSettings.Count(), 0); // no colours are added to an empty record
    EXPECT_FALSE(HasFile(kUserSettings));
    EXPECT_FALSE(HasFile(kAppSettings));
    EXPECT_FALSE(HasFile("config/Drelmor/Celvane Pomra/6.0"));
}

namespace {

class StayingApp : public QV_App {
public:
    void Startup(const char*) override { fUserSettings.AddString("Pref", "kept"); }
    void Shutdown() override { shutdownCalls++; }
    int shutdownCalls = 0;
};

} // namespace

TEST_F(AppSettingsTest, WhenNoEventCanArriveTheRunStillEndsWithShutdownAndSaving)
{
    // The video layer is not running: the loop cannot wait for anything.
    ASSERT_FALSE(PlatVideoRunning());
    StayingApp app;
    app.Run();
    EXPECT_EQ(app.shutdownCalls, 1);
    EXPECT_NE(GetFile(kUserSettings).find("\"Pref\"\t\"kept\""), std::string::npos);
}
