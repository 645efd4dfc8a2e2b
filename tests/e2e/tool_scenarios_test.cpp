// The tools as a user meets them: the palette over the test scripts of tests/data/dispatch_app,
// its clicks, the status bar and the tool options bar.
#include <filesystem>

#include "celvane_session.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";

class ToolScenarios : public CelvaneSession {
protected:
    // An application folder of the built program's resources and the test scripts.
    void StartWithTestScripts()
    {
        const std::filesystem::path app = fRoot.File("app");
        std::filesystem::create_directories(app);
        std::filesystem::create_directory_symlink(
            std::filesystem::path(CELVANE_APP).parent_path() / "Resources", app / "Resources");
        std::filesystem::copy(std::string(CELVANE_TEST_DATA) + "/dispatch_app/scripts", app / "scripts",
            std::filesystem::copy_options::recursive);
        fExtraEnv = { "CELVANE_APP_FOLDER=" + app.string(), "CELVANE_TOOL_LOG=" + fRoot.File("tool.log") };
        Start();
    }
    void Click(int x, int y)
    {
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1" }, "",
            nullptr);
        usleep(400000);
    }
};

// S9, up to the canvas: the first tool of the list is current at start; a click on another
// cell moves the selection's yellow there and shows that tool's description; a click back on
// the recording tool returns both.
TEST_F(ToolScenarios, ClickingAToolInThePaletteMakesItCurrent)
{
    StartWithTestScripts();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    const std::string yellow = "rgb(255,255,102)";
    const std::string first = Screenshot("first");
    const ScreenBox record = ColourBox(first, yellow);
    ASSERT_GT(record.width, 0) << "no selected cell at start";
    EXPECT_LE(record.width, 25);
    EXPECT_LE(record.height, 21);

    Click(record.x + 25 + 12, record.y + 10);
    const std::string plain = Screenshot("plain");
    const ScreenBox moved = ColourBox(plain, yellow);
    EXPECT_EQ(moved.x, record.x + 25);
    EXPECT_EQ(moved.y, record.y);

    Click(record.x + 12, record.y + 10);
    const std::string back = Screenshot("back");
    const ScreenBox again = ColourBox(back, yellow);
    EXPECT_EQ(again.x, record.x);
    // The status bar's left text, above the palette's title bars: the plain tool's description
    // replaced the recording tool's, which came back with it.
    const ScreenBox status { window.x, record.y - 58, 300, 16 };
    EXPECT_GT(BoxDiffers(first, plain, status), 100);
    EXPECT_LE(BoxDiffers(first, back, status), 10);
    // The recording tool built its widgets at start and again when chosen once more.
    const std::string log = fRoot.Get("tool.log");
    ASSERT_NE(log.find("DoLayout"), std::string::npos) << log;
    EXPECT_NE(log.find("DoLayout"), log.rfind("DoLayout")) << log;
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

// S9 on the canvas: a drag with the recording tool adds a filled rectangle; Ctrl+Z gives the
// canvas back as it was, Ctrl+Shift+Z brings the rectangle again, and the saved file holds it.
TEST_F(ToolScenarios, ADragWithTheRecordingToolDrawsAndUndoes)
{
    StartWithTestScripts();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    const std::string before = Screenshot("before");
    const ScreenBox frame = ColourBox(before, "rgb(152,152,203)");
    ASSERT_GT(frame.width, 100) << "no frame guides on the canvas";
    const ScreenBox canvas { frame.x + 4, frame.y + 4, frame.width - 8, frame.height - 8 };
    const int cx = frame.x + frame.width / 2;
    const int cy = frame.y + frame.height / 2;

    Drag(cx - 40, cy - 30, cx + 40, cy + 30);
    usleep(500000);
    const std::string drawn = Screenshot("drawn");
    EXPECT_GT(BoxDiffers(before, drawn, canvas), 500);
    const std::string log = fRoot.Get("tool.log");
    EXPECT_NE(log.find("OnMouseDown"), std::string::npos) << log;
    EXPECT_NE(log.find("OnMouseUp"), std::string::npos) << log;

    KeysTo(kUntitled, "ctrl+z");
    usleep(500000);
    EXPECT_LE(BoxDiffers(before, Screenshot("undone"), canvas), 10);
    KeysTo(kUntitled, "ctrl+shift+z");
    usleep(500000);
    EXPECT_LE(BoxDiffers(drawn, Screenshot("redone"), canvas), 10);

    const std::string saved = fRoot.File("draw.celv");
    KeysTo(kUntitled, "ctrl+s");
    ASSERT_TRUE(WaitForTitle("Save As")) << Output();
    KeysTo("Save As", "ctrl+a");
    TypeTo("Save As", saved);
    KeysTo("Save As", "Return");
    ASSERT_TRUE(WaitForTitle("draw.celv - Celvane")) << Output();
    EXPECT_NE(fRoot.Get("draw.celv").find("shapes 1"), std::string::npos);
    EXPECT_EQ(Quit("draw.celv - Celvane"), 0) << Output();
}

} // namespace
