// Check boxes, radio groups, tab views and tab bars.
#include <gtest/gtest.h>

#include "interface_colors.h"
#include "qv_check_box.h"
#include "qv_static_text.h"
#include "qv_tab_view.h"
#include "widget_test_support.h"

namespace {

using CheckRadioTabsTest = WidgetTest;

class Box : public QV_View {
public:
    Box(int32_t width, int32_t height)
        : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    {
        ResizeTo(width, height);
    }
};

void Click(QV_View* view, int32_t x = 3, int32_t y = 5)
{
    view->RouteMouseDown(x, y, 1, 0, nullptr);
    view->RouteMouseUp(x, y, 1, 0, nullptr);
}

uint32_t Rgb(rgb_color c)
{
    return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

} // namespace

TEST_F(CheckRadioTabsTest, ARadioGroupIsItsParentsChildren)
{
    MakeLayer();
    auto* column = new Box(200, 120);
    QV_RadioButton* radios[3];
    for (int i = 0; i < 3; ++i) {
        radios[i] = new QV_RadioButton("Choice", 10 + i);
        radios[i]->MoveTo(0, i * 22);
        column->AddChild(radios[i]);
    }
    auto* other = new Box(200, 30);
    auto* lone = new QV_RadioButton("Alone", 20);
    other->AddChild(lone);
    Place(column, 10, 10);
    Place(other, 10, 150);
    lone->SetValue(true);
    radios[0]->SetValue(true);
    EXPECT_TRUE(gPosted.empty());

    Click(radios[1]);
    EXPECT_FALSE(radios[0]->Value());
    EXPECT_TRUE(radios[1]->Value());
    EXPECT_FALSE(radios[2]->Value());
    EXPECT_TRUE(lone->Value());
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 11 }));
    Click(radios[1]);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 11, 11 }));

    // A release outside after a press changes nothing.
    gPosted.clear();
    radios[2]->RouteMouseDown(3, 5, 1, 0, nullptr);
    radios[2]->RouteMouseUp(300, 5, 1, 0, nullptr);
    EXPECT_FALSE(radios[2]->Value());
    EXPECT_TRUE(gPosted.empty());

    // A text among the radios passes the uncheck up, once per text.
    column->AddChild(new QV_StaticText("Note"));
    radios[2]->SetValue(true);
    EXPECT_FALSE(radios[1]->Value());
    EXPECT_EQ(gPosted, (std::vector<int32_t> { MSG_UNCHECK_RADIO }));
    gPosted.clear();
    radios[2]->SetValue(false);
    EXPECT_FALSE(radios[0]->Value() || radios[1]->Value() || radios[2]->Value());
    EXPECT_TRUE(gPosted.empty());
}

TEST_F(CheckRadioTabsTest, ACheckBoxTogglesAndWhenDisabledDrawsAFadedTickWithoutOutline)
{
    MakeLayer();
    auto* box = Place(new QV_CheckBox("Loud", 30), 10, 10);
    EXPECT_EQ(box->fBoxSize, 13);
    EXPECT_EQ(box->Frame().bottom - box->Frame().top + 1, 20);
    Click(box);
    EXPECT_TRUE(box->Value());
    Click(box);
    EXPECT_FALSE(box->Value());
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 30, 30 }));

    box->SetValue(true);
    const int32_t y0 = 10 + 10 - box->fBoxSize / 2;
    const uint32_t tickEnabled = Pixel(10 + 6, y0 + 8);
    EXPECT_EQ(Pixel(10, y0), Rgb(WidgetOutline));
    box->Enable(false);
    box->Draw();
    EXPECT_EQ(Pixel(10, y0), Rgb(WidgetFill));
    const uint32_t tickDisabled = Pixel(10 + 6, y0 + 8);
    EXPECT_EQ(tickEnabled, Rgb(WidgetMark));
    EXPECT_NE(tickDisabled, tickEnabled);
    EXPECT_NE(tickDisabled, Rgb(WidgetFill));
    gPosted.clear();
    Click(box);
    EXPECT_TRUE(box->Value());
    EXPECT_TRUE(gPosted.empty());
}

TEST_F(CheckRadioTabsTest, TabsAreHitInsideTheirOuterPixelsAndSwapPages)
{
    MakeLayer();
    auto* tabs = new QV_TabView;
    EXPECT_EQ(tabs->fTabHeight, 18);
    auto* first = new Box(50, 40);
    auto* second = new Box(500, 40);
    tabs->AddTab(TextOfWidth(gMenuFont, 60).c_str(), first);
    tabs->AddTab(TextOfWidth(gMenuFont, 80).c_str(), second);
    EXPECT_EQ(tabs->fTabWidths[0], 76);
    EXPECT_EQ(tabs->fTabWidths[1], 96);
    Place(tabs, 0, 0);
    tabs->ResizeTo(300, 120);
    tabs->SelectTab(0);
    // The narrow page is centred in the room between the 8-pixel margins.
    EXPECT_EQ(first->Frame().left, 8 + (284 - 50) / 2);
    EXPECT_EQ(first->Frame().top, 18 + 8);

    const struct {
        int32_t x;
        int32_t selected;
    } cases[] = { { 82, 0 }, { 83, -1 }, { 84, 1 }, { 176, 1 }, { 177, -1 } };
    for (const auto& c : cases) {
        tabs->SelectTab(c.selected == 0 ? 1 : 0);
        const int32_t before = tabs->fSelTab;
        tabs->RouteMouseDown(c.x, 5, 1, 0, nullptr);
        tabs->RouteMouseUp(c.x, 5, 1, 0, nullptr);
        EXPECT_EQ(tabs->fSelTab, c.selected < 0 ? before : c.selected) << c.x;
    }
    tabs->SelectTab(1);
    EXPECT_EQ(tabs->fChildCount, 1);
    EXPECT_EQ(tabs->fChildren[0], second);
    EXPECT_EQ(second->Frame().left, 8);
    tabs->SelectTab(-4);
    EXPECT_EQ(tabs->fSelTab, 0);
    tabs->SelectTab(40);
    EXPECT_EQ(tabs->fSelTab, 1);
    EXPECT_TRUE(gPosted.empty());
}

TEST_F(CheckRadioTabsTest, ATabBarPostsItsMessageAndHoldsTwelveTabs)
{
    MakeLayer();
    auto* bar = new QV_TabBar;
    bar->AddTab("Channels");
    bar->AddTab("Sequencer");
    Place(bar, 10, 10);
    bar->Layout();
    EXPECT_EQ(bar->Frame().right - bar->Frame().left + 1, bar->fTabWidths[0] + bar->fTabWidths[1] - 2 + 2);
    const int32_t x = bar->TabLeft(1) + 5;
    Click(bar, x, 5);
    EXPECT_EQ(bar->fSelTab, 1);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 7001 }));
    for (int i = 0; i < 12; ++i)
        bar->AddTab("More");
    EXPECT_EQ(bar->fTabCount, 12);

    // A tab view without tabs draws its panel and ignores clicks and selection.
    auto* empty = Place(new QV_TabView, 10, 60);
    empty->ResizeTo(100, 60);
    empty->SelectTab(2);
    Click(empty, 20, 5);
    EXPECT_EQ(empty->fSelTab, 0);
    EXPECT_EQ(empty->fChildCount, 0);
    empty->Layout();
    empty->ResizeTo(100, 60);
    empty->Draw();
    EXPECT_EQ(Pixel(10 + 50, 60 + 40), Rgb(TabBackground));
}
