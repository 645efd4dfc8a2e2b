// The controls window of the widget demo under a private X server, used as a
// person would: dragged, clicked, wheeled and typed into with xdotool.
#include "demo_session.h"

namespace {

class ControlsDemoTest : public DemoSession {
protected:
    void SetUp() override
    {
        DemoSession::SetUp();
        StartDemo({ "controls" }, "vmax");
    }
    // Opens the chooser and, from its path field, the list's row below "../".
    void OpenChooserOnDocs()
    {
        ClickBox("open");
        ASSERT_TRUE(WaitForWindow("Open"));
        Xdo({ "key", "--delay", "60", "Tab", "Down", "Return" });
        ASSERT_TRUE(WaitFor("rows ../ scene.txt\n")) << Output();
        ReadBoxes();
    }
};

} // namespace

TEST_F(ControlsDemoTest, DraggingTheViewsThumbToTheBottomScrollsToTheEnd)
{
    int thumbX = 0;
    int thumbY = 0;
    ASSERT_TRUE(PlaceOf("vthumb", thumbX, thumbY));
    const DemoBox view = fBoxes["view"];
    Drag(thumbX, thumbY, thumbX, view.y + view.height + 200);
    ASSERT_TRUE(WaitFor("view y"));
    EXPECT_EQ(Last("view y"), "view y " + Last("vmax ").substr(5)) << Output();
    // The last cells show, the thumb at the bottom.
    EXPECT_EQ(ScreenSettlesTo("controls_scrolled", 0, { view, {} }), 0);
}

TEST_F(ControlsDemoTest, HoldingAnArrowRepeatsSteps)
{
    const DemoBox bar = fBoxes["vbar"];
    Move(bar.x + 9, bar.y + bar.height - 9);
    Xdo({ "mousedown", "1" });
    usleep(600000);
    Xdo({ "mouseup", "1" });
    ASSERT_TRUE(WaitFor("vbar"));
    EXPECT_GE(std::stoi(Last("vbar").substr(5)), 15) << Output();
}

TEST_F(ControlsDemoTest, TheWheelOverTheListScrollsIt)
{
    const DemoBox list = fBoxes["list"];
    Move(list.CenterX(), list.CenterY());
    // Two rows a notch: the top row is then the fifth.
    Xdo({ "click", "--delay", "100", "--repeat", "2", "5" });
    usleep(200000);
    ClickAt(list.x + 20, list.y + 6);
    ASSERT_TRUE(WaitFor("list ")) << Output();
    EXPECT_EQ(Last("list "), "list 4 Row 5") << Output();
}

TEST_F(ControlsDemoTest, SliderDraggedToItsEndAndKnobSnappedUp)
{
    const DemoBox slider = fBoxes["slider"];
    Drag(slider.x + 9, slider.y + 9, slider.x + slider.width + 40, slider.y + 9);
    ASSERT_TRUE(WaitFor("slider 9101"));
    EXPECT_EQ(Last("slider"), "slider 9101 100") << Output();

    const DemoBox angle = fBoxes["angle"];
    Move(angle.CenterX(), angle.y + 1);
    Xdo({ "keydown", "shift" });
    Xdo({ "click", "1" });
    Xdo({ "keyup", "shift" });
    ASSERT_TRUE(WaitFor("angle"));
    EXPECT_EQ(Last("angle"), "angle 90") << Output();
}

TEST_F(ControlsDemoTest, HexTypedInThePickerReachesTheSwatch)
{
    ClickBox("swatch");
    ASSERT_TRUE(WaitForWindow("Color Picker"));
    // The hue strip's top row is red, the field's top row white.
    const std::string shot = fRoot.File("picker.png");
    ASSERT_EQ(RunProgram({ "import", "-window", "root", shot }, "", nullptr), 0);
    DemoBox picker;
    ASSERT_TRUE(WindowBox("Color Picker", picker));
    EXPECT_EQ(PixelText(shot, picker.x + 14 + 250 + 14 + 10, picker.y + 14), "255,1,1");
    EXPECT_EQ(PixelText(shot, picker.x + 14 + 100, picker.y + 14), "255,255,255");
    EXPECT_EQ(ScreenSettlesTo("controls_picker", 0, { picker, {} }), 0);
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
    OpenChooserOnDocs();
    Xdo({ "key", "--delay", "60", "Down", "Return" });
    ASSERT_TRUE(WaitFor("chosen ")) << Output();
    EXPECT_EQ(Last("chosen "), "chosen " + fRoot.File("home/docs/scene.txt"));
}

TEST_F(ControlsDemoTest, TheFileTypeChosenInItsMenuChangesTheListedFiles)
{
    PutFile("home/docs/scene.txt", "");
    PutFile("home/docs/picture.png", "");
    // The first type, texts, applies.
    OpenChooserOnDocs();
    ClickBox("types");
    int x = 0;
    int y = 0;
    ASSERT_TRUE(WaitFor("item types:All Files ")) << Output();
    ASSERT_TRUE(PlaceOf("item types:All Files", x, y));
    ClickAt(x, y);
    ASSERT_TRUE(WaitFor("rows ../ picture.png scene.txt\n")) << Output();
    // The path field holds the test's own temporary folder.
    DemoBox chooser;
    ASSERT_TRUE(WindowBox("Open", chooser));
    EXPECT_EQ(ScreenSettlesTo("controls_chooser", 0, { chooser, { fBoxes["chooserpath"] } }), 0);
    // The list keeps the focus: the picture is the row below "../".
    Keys("Down");
    ClickBox("chooserok");
    ASSERT_TRUE(WaitFor("chosen ")) << Output();
    EXPECT_EQ(Last("chosen "), "chosen " + fRoot.File("home/docs/picture.png"));
}
