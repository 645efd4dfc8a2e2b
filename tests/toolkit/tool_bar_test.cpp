// The tool bar: cell geometry, tools, toggles and push buttons.
#include <gtest/gtest.h>

#include "qv_tool_bar.h"
#include "widget_test_support.h"

namespace {

using ToolBarTest = WidgetTest;

// An opaque sheet of one colour.
struct Sheet {
    Sheet(int32_t width, int32_t height, uint8_t grey)
        : bytes(size_t(width) * size_t(height) * 4, grey)
    {
        for (size_t i = 3; i < bytes.size(); i += 4)
            bytes[i] = 255;
        buffer = { bytes.data(), width, height, 32, 4, width * 4 };
    }
    std::vector<uint8_t> bytes;
    QV_PixelBuffer buffer;
};

} // namespace

TEST_F(ToolBarTest, CellsOfASheetThatDoesNotDivideEvenlyOverlapByAPixel)
{
    Sheet normal(101, 25, 200);
    QV_ToolBar bar(&normal.buffer, nullptr, nullptr, nullptr);
    EXPECT_EQ(bar.Frame().right - bar.Frame().left + 1, 101);
    bar.fColumns = 4;
    bar.fRows = 1;
    bar.fCellWidth = 25;
    bar.fCellHeight = 25;
    EXPECT_EQ(bar.CellRect(1).left, 25);
    EXPECT_EQ(bar.CellRect(1).right, 50);
    EXPECT_EQ(bar.CellRect(3).left, 75);
    EXPECT_EQ(bar.CellRect(3).right, 100);
    // Unconfigured cells hold no button.
    EXPECT_EQ(bar.CellAt(30, 5), -1);
    EXPECT_FALSE(bar.SelectFirstTool());
    // A grid larger than 32 cells uses the first 32.
    bar.fColumns = 8;
    bar.fRows = 8;
    bar.DisableAll();
    EXPECT_FALSE(bar.HasActiveTool());
}

TEST_F(ToolBarTest, ToolsTogglesAndPushButtons)
{
    MakeLayer();
    Sheet normal(100, 25, 200);
    Sheet down(100, 25, 60);
    Sheet disabled(100, 25, 140);
    auto* bar = Place(new QV_ToolBar(&normal.buffer, &down.buffer, &disabled.buffer, nullptr), 10, 10);
    bar->fColumns = 4;
    bar->fRows = 1;
    bar->fCellWidth = 25;
    bar->fCellHeight = 25;
    bar->fActOnPress = true;
    const int32_t messages[4] = { 3601, 3602, 3603, 3604 };
    const int32_t kinds[4] = { QV_ToolBar::kTool, QV_ToolBar::kTool, QV_ToolBar::kToggle, QV_ToolBar::kPush };
    for (int i = 0; i < 4; ++i) {
        bar->fMessages[i] = messages[i];
        bar->fKinds[i] = kinds[i];
    }
    EXPECT_TRUE(bar->SelectFirstTool());
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 3601 }));
    EXPECT_EQ(Pixel(15, 15), 0x3C3C3Cu);
    gPosted.clear();

    // The selected tool ignores presses; another tool acts on the press.
    bar->RouteMouseDown(5, 5, 1, 0, nullptr);
    bar->RouteMouseUp(5, 5, 1, 0, nullptr);
    EXPECT_TRUE(gPosted.empty());
    bar->RouteMouseDown(30, 5, 1, 0, nullptr);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 3602 }));
    bar->RouteMouseUp(30, 5, 1, 0, nullptr);
    EXPECT_FALSE(bar->fSelected[0]);
    EXPECT_TRUE(bar->fSelected[1]);
    EXPECT_EQ(Pixel(15, 15), 0xC8C8C8u);

    // A toggle flips on each press.
    gPosted.clear();
    for (bool expected : { true, false }) {
        bar->RouteMouseDown(55, 5, 1, 0, nullptr);
        bar->RouteMouseUp(55, 5, 1, 0, nullptr);
        EXPECT_EQ(bar->fSelected[2], expected);
    }
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 3603, 3603 }));

    // A push button posts only on a release over its own cell.
    gPosted.clear();
    bar->RouteMouseDown(80, 5, 1, 0, nullptr);
    EXPECT_EQ(Pixel(10 + 80, 15), 0x3C3C3Cu);
    bar->RouteMouseUp(30, 5, 1, 0, nullptr);
    EXPECT_TRUE(gPosted.empty());
    bar->RouteMouseDown(80, 5, 1, 0, nullptr);
    bar->RouteMouseUp(80, 5, 1, 0, nullptr);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 3604 }));

    // Every tool disabled: none can be selected; disabled cells use their sheet.
    gPosted.clear();
    bar->SetEnabled(3601, false);
    bar->SetEnabled(3602, false);
    EXPECT_FALSE(bar->HasActiveTool());
    EXPECT_FALSE(bar->SelectFirstTool());
    EXPECT_TRUE(gPosted.empty());
    EXPECT_EQ(Pixel(15, 15), 0x8C8C8Cu);
}
