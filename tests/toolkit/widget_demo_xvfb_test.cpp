// The widget demo under a private X server, used as a person would: clicked
// and typed into with xdotool, its clipboard read and written with xclip,
// its screen compared with stored pictures by ImageMagick.
#include "demo_session.h"

namespace {

class WidgetDemoTest : public DemoSession {
protected:
    void SetUp() override
    {
        DemoSession::SetUp();
        if (!HasProgram("xclip"))
            GTEST_SKIP() << "xclip is not installed (tools/install-deps.sh test brings it)";
        StartDemo({}, "at field-multiline");
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
    int Tool(const std::vector<std::string>& args, const std::string& output = "")
    {
        return RunProgram(args, output.empty() ? "" : fRoot.File(output.c_str()), nullptr);
    }
    void Click(const std::string& name)
    {
        ASSERT_TRUE(fPlaces.count(name)) << name;
        const auto [x, y] = fPlaces[name];
        ClickAt(x, y);
    }
    void Type(const std::string& text)
    {
        Xdo({ "type", "--delay", "40", text });
        usleep(100000);
    }

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
    Move(x, y);
    EXPECT_EQ(ScreenSettlesTo("tip", 0), 0);
}
