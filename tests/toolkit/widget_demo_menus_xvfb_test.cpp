// The menus window of the widget demo under a private X server: menus chosen
// by press-drag-release and by click and click, a submenu, a shortcut, the
// long menu in columns, popup buttons, the context menu, radio groups, tabs
// and the tool bar, each used with the pointer or the keyboard.
#include "demo_session.h"

namespace {

class MenusDemoTest : public DemoSession {
protected:
    void SetUp() override
    {
        DemoSession::SetUp();
        StartDemo({ "menus" }, "tab 2 ");
    }
    void ClickItem(const std::string& menu, const std::string& label)
    {
        int x = 0;
        int y = 0;
        ASSERT_TRUE(WaitFor("open " + menu + " ")) << Output();
        ASSERT_TRUE(PlaceOf("item " + menu + ":" + label, x, y)) << Output();
        ClickAt(x, y);
    }
    void ClickTitle(int index)
    {
        int x = 0;
        int y = 0;
        ASSERT_TRUE(PlaceOf("title " + std::to_string(index), x, y)) << Output();
        ClickAt(x, y);
    }
};

} // namespace

TEST_F(MenusDemoTest, PressDragReleaseAndClickThenClickChooseOnce)
{
    int x = 0;
    int y = 0;
    ASSERT_TRUE(PlaceOf("title 0", x, y));
    Move(x, y);
    Xdo({ "mousedown", "1" });
    ASSERT_TRUE(WaitFor("open File ")) << Output();
    int itemX = 0;
    int itemY = 0;
    ASSERT_TRUE(PlaceOf("item File:New", itemX, itemY));
    // Down out of the bar first: sliding along it would open the next title.
    for (int step = 1; step <= 4; ++step)
        Move(x, y + (itemY - y) * step / 4);
    Move(itemX, itemY);
    usleep(600000);
    Xdo({ "mouseup", "1" });
    ASSERT_TRUE(WaitFor("message 501")) << Output();
    usleep(300000);
    EXPECT_EQ(Count("message 501"), 1);
    // The command runs with no menu on screen.
    EXPECT_LT(Output().find("closed File"), Output().find("message 501")) << Output();

    ClickTitle(0);
    ClickItem("File", "Open");
    ASSERT_TRUE(WaitFor("message 502")) << Output();
    EXPECT_EQ(Count("message 502"), 1);
}

TEST_F(MenusDemoTest, SubmenuShortcutAndTheLongMenuInColumns)
{
    ClickTitle(0);
    int x = 0;
    int y = 0;
    ASSERT_TRUE(WaitFor("open File ")) << Output();
    ASSERT_TRUE(PlaceOf("item File:Recent", x, y));
    Move(x, y);
    ASSERT_TRUE(WaitFor("open Recent ")) << Output();
    int subX = 0;
    int subY = 0;
    ASSERT_TRUE(PlaceOf("item Recent:second.celv", subX, subY));
    // Across to the submenu along its item's row, then down to the entry.
    Move(subX, y);
    EXPECT_EQ(ScreenSettlesTo("menu_submenu", 0), 0);
    ClickAt(subX, subY);
    ASSERT_TRUE(WaitFor("message 512")) << Output();

    Keys("ctrl+shift+s");
    ASSERT_TRUE(WaitFor("message 504")) << Output();
    EXPECT_EQ(Count("message 503"), 0);

    ClickTitle(2);
    ASSERT_TRUE(WaitFor("open Many 3")) << Output();
    EXPECT_EQ(ScreenSettlesTo("menu_columns", 0), 0);
    ClickTitle(2);
    ASSERT_TRUE(WaitFor("closed Many")) << Output();
}

TEST_F(MenusDemoTest, PopupsContextMenuRadiosTabsAndTools)
{
    ClickBox("sizes");
    ClickItem("Size", "Large");
    ASSERT_TRUE(WaitFor("message 703")) << Output();

    // Right of the check boxes, below the popup buttons: nothing but the layer.
    const DemoBox loop = fBoxes["loop"];
    ClickAt(loop.x + 130, loop.y + 70, 3);
    ClickItem("Context", "Paste here");
    ASSERT_TRUE(WaitFor("message 602")) << Output();

    ClickBox("Green");
    ClickBox("Blue");
    ClickBox("Slow");
    ASSERT_TRUE(WaitFor("message 751")) << Output();
    EXPECT_EQ(Count("message 741"), 1);
    EXPECT_EQ(Count("message 742"), 1);

    int x = 0;
    int y = 0;
    ASSERT_TRUE(PlaceOf("tab 1", x, y));
    ClickAt(x, y);

    const DemoBox tools = fBoxes["tools"];
    ClickAt(tools.x + 25 + 12, tools.y + 12);
    ASSERT_TRUE(WaitFor("message 802")) << Output();
    ClickAt(tools.x + 50 + 12, tools.y + 12);
    ASSERT_TRUE(WaitFor("message 803")) << Output();
    Move(tools.x + 300, tools.y + 120);

    // "Large" on the button, Blue and Slow on, the second page, the brush
    // tool chosen and the toggle down.
    EXPECT_EQ(ScreenSettlesTo("menus_pages", 0), 0);
}
