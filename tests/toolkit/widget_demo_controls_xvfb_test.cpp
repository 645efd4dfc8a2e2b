// The controls window of the widget demo under a private X server, used as a
// person would: dragged, clicked, wheeled and typed into with xdotool.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "frame_test_support.h"
#include "scoped_env.h"
#include "xvfb_session.h"

namespace {

struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class ControlsDemoTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        for (const char* tool : { "xdotool", "import" }) {
            if (!HasProgram(tool))
                GTEST_SKIP() << tool << " is not installed (tools/install-deps.sh test brings it)";
        }
        std::string why;
        if (!fServer.Start(1024, 738, why))
            GTEST_SKIP() << "no X server could be started: " << why;
        fDisplay = std::make_unique<ScopedEnv>("DISPLAY", fServer.Display().c_str());
        fDriver = std::make_unique<ScopedEnv>("SDL_VIDEODRIVER", "x11");
        fBus = std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        fAppFolder.reset();
        unsetenv("CELVANE_APP_FOLDER");
        const std::string output = fRoot.File("demo.txt");
        const char* argv[] = { WIDGET_DEMO, "controls", nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(posix_spawn(&fDemo, WIDGET_DEMO, &actions, nullptr, const_cast<char**>(argv), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_TRUE(WaitFor("vmax")) << Output();
        std::istringstream lines(Output());
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            std::string kind, name;
            fields >> kind;
            if (kind == "rect") {
                Box box;
                fields >> name >> box.x >> box.y >> box.width >> box.height;
                fBoxes[name] = box;
            } else if (kind == "vthumb") {
                fields >> fThumbX >> fThumbY;
            } else if (kind == "vmax") {
                fields >> fMax;
            }
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
    bool WaitFor(const std::string& text, int ms = 10000)
    {
        for (int waited = 0; waited < ms; waited += 20) {
            if (Output().find(text) != std::string::npos)
                return true;
            usleep(20000);
        }
        return false;
    }
    // The last line that starts with the prefix, or "".
    std::string Last(const std::string& prefix) const
    {
        std::istringstream lines(Output());
        std::string last;
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(prefix, 0) == 0)
                last = line;
        return last;
    }
    void Xdo(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = { "xdotool" };
        all.insert(all.end(), args.begin(), args.end());
        ASSERT_EQ(RunProgram(all, "", nullptr), 0);
    }
    void Move(int x, int y) { Xdo({ "mousemove", "--sync", std::to_string(x), std::to_string(y) }); }
    // Press at the start, a few moves, release at the end.
    void Drag(int x0, int y0, int x1, int y1)
    {
        Move(x0, y0);
        Xdo({ "mousedown", "1" });
        for (int step = 1; step <= 5; ++step)
            Move(x0 + (x1 - x0) * step / 5, y0 + (y1 - y0) * step / 5);
        Xdo({ "mouseup", "1" });
        usleep(200000);
    }

    bool WaitForWindow(const std::string& title)
    {
        for (int waited = 0; waited < 10000; waited += 50) {
            if (RunProgram({ "xdotool", "search", "--onlyvisible", "--name", title }, "", nullptr) == 0) {
                usleep(300000);
                return true;
            }
            usleep(50000);
        }
        return false;
    }
    // The picker window's client area on the screen.
    bool PickerPosition(int& x, int& y)
    {
        const std::string out = fRoot.File("geometry.txt");
        if (RunProgram({ "xdotool", "search", "--onlyvisible", "--name", "Color Picker", "getwindowgeometry",
                           "--shell" },
                out, nullptr)
            != 0)
            return false;
        std::istringstream lines(GetFile("geometry.txt"));
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("X=", 0) == 0)
                x = std::stoi(line.substr(2));
            if (line.rfind("Y=", 0) == 0)
                y = std::stoi(line.substr(2));
        }
        return true;
    }
    // "r,g,b" of one pixel of a picture, as ImageMagick reads it.
    std::string PixelText(const std::string& picture, int x, int y)
    {
        RunProgram({ "convert", picture, "-crop", "1x1+" + std::to_string(x) + "+" + std::to_string(y), "-format",
                       "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]", "info:" },
            fRoot.File("pixel.txt"), nullptr);
        std::string text = GetFile("pixel.txt");
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        return text;
    }

    XvfbSession fServer;
    std::unique_ptr<ScopedEnv> fDisplay;
    std::unique_ptr<ScopedEnv> fDriver;
    std::unique_ptr<ScopedEnv> fBus;
    pid_t fDemo = 0;
    std::map<std::string, Box> fBoxes;
    int fThumbX = 0;
    int fThumbY = 0;
    int fMax = 0;
};

} // namespace

TEST_F(ControlsDemoTest, DraggingTheViewsThumbToTheBottomScrollsToTheEnd)
{
    const Box view = fBoxes["view"];
    Drag(fThumbX, fThumbY, fThumbX, view.y + view.height + 200);
    ASSERT_TRUE(WaitFor("view y"));
    EXPECT_EQ(Last("view y"), "view y " + std::to_string(fMax)) << Output();
}

TEST_F(ControlsDemoTest, HoldingAnArrowRepeatsSteps)
{
    const Box bar = fBoxes["vbar"];
    Move(bar.x + 9, bar.y + bar.height - 9);
    Xdo({ "mousedown", "1" });
    usleep(600000);
    Xdo({ "mouseup", "1" });
    ASSERT_TRUE(WaitFor("vbar"));
    EXPECT_GE(std::stoi(Last("vbar").substr(5)), 15) << Output();
}

TEST_F(ControlsDemoTest, SliderDraggedToItsEndAndKnobSnappedUp)
{
    const Box slider = fBoxes["slider"];
    Drag(slider.x + 9, slider.y + 9, slider.x + slider.width + 40, slider.y + 9);
    ASSERT_TRUE(WaitFor("slider 9101"));
    EXPECT_EQ(Last("slider"), "slider 9101 100") << Output();

    const Box angle = fBoxes["angle"];
    Move(angle.x + angle.width / 2, angle.y + 1);
    Xdo({ "keydown", "shift" });
    Xdo({ "click", "1" });
    Xdo({ "keyup", "shift" });
    ASSERT_TRUE(WaitFor("angle"));
    EXPECT_EQ(Last("angle"), "angle 90") << Output();
}

TEST_F(ControlsDemoTest, HexTypedInThePickerReachesTheSwatch)
{
    const Box swatch = fBoxes["swatch"];
    Move(swatch.x + swatch.width / 2, swatch.y + swatch.height / 2);
    Xdo({ "click", "1" });
    ASSERT_TRUE(WaitForWindow("Color Picker"));
    // The hue strip's top row is red, the field's top row white.
    const std::string shot = fRoot.File("picker.png");
    ASSERT_EQ(RunProgram({ "import", "-window", "root", shot }, "", nullptr), 0);
    int wx = 0;
    int wy = 0;
    ASSERT_TRUE(PickerPosition(wx, wy));
    EXPECT_EQ(PixelText(shot, wx + 14 + 250 + 14 + 10, wy + 14), "255,1,1");
    EXPECT_EQ(PixelText(shot, wx + 14 + 100, wy + 14), "255,255,255");
    // The red field has the focus; the hexadecimal field is three Tabs on.
    Xdo({ "key", "--delay", "40", "Tab", "Tab", "Tab", "ctrl+a" });
    Xdo({ "type", "--delay", "40", "FF8000" });
    Xdo({ "key", "Return" });
    ASSERT_TRUE(WaitFor("\nswatch ")) << Output();
    EXPECT_EQ(Last("swatch "), "swatch 255 128 0 255");
}

TEST_F(ControlsDemoTest, TheChooserOpensAFolderRowAndChoosesAFileRow)
{
    PutFile("home/docs/scene.txt", "");
    const Box open = fBoxes["open"];
    Move(open.x + open.width / 2, open.y + open.height / 2);
    Xdo({ "click", "1" });
    ASSERT_TRUE(WaitForWindow("Open"));
    // From the path field to the list: "../" is selected, "docs/" below it.
    Xdo({ "key", "--delay", "60", "Tab", "Down", "Return" });
    usleep(300000);
    Xdo({ "key", "--delay", "60", "Down", "Return" });
    ASSERT_TRUE(WaitFor("chosen ")) << Output();
    EXPECT_EQ(Last("chosen "), "chosen " + fRoot.File("home/docs/scene.txt"));
}

TEST_F(ControlsDemoTest, TheFileTypeChosenInItsMenuChangesTheListedFiles)
{
    PutFile("home/docs/scene.txt", "");
    PutFile("home/docs/picture.png", "");
    const Box open = fBoxes["open"];
    Move(open.x + open.width / 2, open.y + open.height / 2);
    Xdo({ "click", "1" });
    ASSERT_TRUE(WaitForWindow("Open"));
    Xdo({ "key", "--delay", "60", "Tab", "Down", "Return" });
    // The first type, texts, applies.
    ASSERT_TRUE(WaitFor("rows ../ scene.txt\n")) << Output();
    std::istringstream types(Last("rect types "));
    std::string kind, name;
    Box button;
    types >> kind >> name >> button.x >> button.y >> button.width >> button.height;
    Move(button.x + button.width / 2, button.y + button.height / 2);
    Xdo({ "click", "1" });
    ASSERT_TRUE(WaitFor("item types:All Files ")) << Output();
    std::istringstream item(Last("item types:All Files ").substr(21));
    int x = 0;
    int y = 0;
    item >> x >> y;
    Move(x, y);
    Xdo({ "click", "1" });
    ASSERT_TRUE(WaitFor("rows ../ picture.png scene.txt\n")) << Output();
    // The list keeps the focus: the picture is the row below "../".
    Xdo({ "key", "--delay", "60", "Down", "Return" });
    ASSERT_TRUE(WaitFor("chosen ")) << Output();
    EXPECT_EQ(Last("chosen "), "chosen " + fRoot.File("home/docs/picture.png"));
}
