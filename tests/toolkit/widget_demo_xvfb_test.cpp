// The widget demo under a private X server, used as a person would: clicked
// and typed into with xdotool, its clipboard read and written with xclip,
// its screen compared with stored pictures by ImageMagick.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "frame_test_support.h"
#include "scoped_env.h"
#include "xvfb_session.h"

namespace {

class WidgetDemoTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        for (const char* tool : { "xdotool", "xclip", "import", "compare" }) {
            if (!HasProgram(tool))
                GTEST_SKIP() << tool << " is not installed (tools/install-deps.sh test brings it)";
        }
        std::string why;
        if (!fServer.Start(1024, 738, why))
            GTEST_SKIP() << "no X server could be started: " << why;
        fDisplay = std::make_unique<ScopedEnv>("DISPLAY", fServer.Display().c_str());
        fDriver = std::make_unique<ScopedEnv>("SDL_VIDEODRIVER", "x11");
        fBus = std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        // The demo takes its pictures from beside itself.
        fAppFolder.reset();
        unsetenv("CELVANE_APP_FOLDER");
        const std::string output = fRoot.File("demo.txt");
        const char* argv[] = { WIDGET_DEMO, nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(posix_spawn(&fDemo, WIDGET_DEMO, &actions, nullptr, const_cast<char**>(argv), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_TRUE(WaitFor("at field-multiline")) << Output();
        std::istringstream lines(Output());
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            std::string kind, name;
            int x = 0, y = 0;
            fields >> kind >> name >> x >> y;
            if (kind == "at")
                fPlaces[name] = { x, y };
        }
    }
    void TearDown() override
    {
        if (fDemo > 0) {
            kill(fDemo, SIGTERM);
            int status = 0;
            waitpid(fDemo, &status, 0);
        }
    }
    std::string Output() const { return GetFile("demo.txt"); }
    bool WaitFor(const std::string& text, int times = 1, int ms = 10000)
    {
        for (int waited = 0; waited < ms; waited += 20) {
            const std::string out = Output();
            int count = 0;
            for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1))
                count++;
            if (count >= times)
                return true;
            usleep(20000);
        }
        return false;
    }
    int Count(const std::string& text) const
    {
        const std::string out = Output();
        int count = 0;
        for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1))
            count++;
        return count;
    }
    int Tool(const std::vector<std::string>& args, const std::string& output = "")
    {
        return RunProgram(args, output.empty() ? "" : fRoot.File(output.c_str()), nullptr);
    }
    void Click(const std::string& name)
    {
        ASSERT_TRUE(fPlaces.count(name)) << name;
        const auto [x, y] = fPlaces[name];
        ASSERT_EQ(
            Tool({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1" }),
            0);
        usleep(100000);
    }
    // Until a shown window with that title (a regular expression) exists.
    bool WaitForWindow(const std::string& title)
    {
        for (int waited = 0; waited < 10000; waited += 50) {
            if (Tool({ "xdotool", "search", "--onlyvisible", "--name", title }) == 0) {
                usleep(200000); // its first picture reaches the screen
                return true;
            }
            usleep(50000);
        }
        return false;
    }
    // Until the screen matches the stored picture to within that many
    // pixels; the last count.
    long ScreenSettlesTo(const std::string& golden, long tolerance)
    {
        long differs = -1;
        for (int tries = 0; tries < 25; ++tries) {
            differs = ScreenDiffers(golden);
            if (differs >= 0 && differs <= tolerance)
                break;
            usleep(200000);
        }
        return differs;
    }
    void Keys(const std::string& keys)
    {
        ASSERT_EQ(Tool({ "xdotool", "key", "--delay", "40", keys }), 0);
        usleep(100000);
    }
    void Type(const std::string& text)
    {
        ASSERT_EQ(Tool({ "xdotool", "type", "--delay", "40", text }), 0);
        usleep(100000);
    }
    // The whole screen against a stored picture; the number of pixels that differ.
    long ScreenDiffers(const std::string& golden)
    {
        const std::string shot = fRoot.File((golden + ".png").c_str());
        EXPECT_EQ(Tool({ "import", "-window", "root", "png:" + shot }), 0);
        const std::string stored = std::string(CELVANE_TEST_DATA) + "/widgets/" + golden + ".png";
        // Stored pictures are made again by running with this variable set.
        if (getenv("CELVANE_UPDATE_GOLDENS"))
            Tool({ "cp", shot, stored });
        // compare writes the count on its standard error.
        const std::string count = fRoot.File("count.txt");
        pid_t pid = 0;
        const char* argv[] = { "compare", "-metric", "AE", stored.c_str(), shot.c_str(), "null:", nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, count.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawnp(&pid, "compare", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
            return -1; // a picture is missing or unreadable
        std::ifstream in(count);
        double differing = -1;
        if (!(in >> differing))
            return -1;
        return long(differing);
    }

    XvfbSession fServer;
    std::unique_ptr<ScopedEnv> fDisplay;
    std::unique_ptr<ScopedEnv> fDriver;
    std::unique_ptr<ScopedEnv> fBus;
    pid_t fDemo = 0;
    std::map<std::string, std::pair<int, int>> fPlaces;
};

} // namespace

TEST_F(WidgetDemoTest, FieldsFilterCopyAndPasteWholeCharacters)
{
    EXPECT_EQ(ScreenSettlesTo("window", 0), 0);

    Click("field-int");
    Keys("ctrl+a");
    Type("12a3");
    Keys("Return");
    ASSERT_TRUE(WaitFor("commit int 123")) << Output();
    EXPECT_EQ(Count("beep"), 1);

    Click("field-text");
    Type("hello");
    Keys("shift+Home");
    Keys("ctrl+c");
    ASSERT_EQ(Tool({ "xclip", "-selection", "clipboard", "-o" }, "clip.txt"), 0);
    EXPECT_EQ(GetFile("clip.txt"), "hello");

    PutFile("paste.txt", "a\xC3\xA9");
    ASSERT_EQ(Tool({ "xclip", "-selection", "clipboard", "-loops", "1", "-i", fRoot.File("paste.txt") }), 0);
    Keys("ctrl+a");
    Keys("ctrl+v");
    ASSERT_TRUE(WaitFor("commit text a\xC3\xA9")) << Output();
    Keys("BackSpace");
    Keys("Return");
    ASSERT_TRUE(WaitFor("commit text a\n")) << Output();
}

TEST_F(WidgetDemoTest, DialogAlertChooserAndTip)
{
    Click("modal");
    ASSERT_TRUE(WaitForWindow("^Number$"));
    Type("150");
    Keys("Return");
    ASSERT_TRUE(WaitFor("beep")) << Output();
    const long dialogDiffers = ScreenSettlesTo("dialog", 40);
    EXPECT_GE(dialogDiffers, 0);
    EXPECT_LE(dialogDiffers, 40); // the blinking caret may differ
    Keys("Return");
    ASSERT_TRUE(WaitFor("modal -1006 100")) << Output();

    Click("alert");
    EXPECT_EQ(ScreenSettlesTo("alert", 0), 0);
    Keys("n");
    ASSERT_TRUE(WaitFor("answer 1")) << Output();

    Click("save");
    ASSERT_TRUE(WaitForWindow("^Save$"));
    Type("drawing");
    Keys("Return");
    const std::string home = fRoot.File("home");
    ASSERT_TRUE(WaitFor("path " + home + "/drawing.celv")) << Output();

    const auto [x, y] = fPlaces["toggle"];
    ASSERT_EQ(Tool({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y) }), 0);
    EXPECT_EQ(ScreenSettlesTo("tip", 0), 0);
}
