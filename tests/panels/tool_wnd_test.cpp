// The tools palette over the test scripts: its groups, buttons and enabling, and how it
// follows a tool list loaded again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../app/scripted_app.h"
#include "../core/scratch_folder.h"
#include "document_shell.h"
#include "interface_fonts.h"
#include "main_layout.h"
#include "qv_font.h"
#include "qv_tool_bar.h"
#include "resource_images.h"
#include "tool_wnd.h"
#include "vorndoc.h"

namespace {

class ToolWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fWarning = gMissingImageWarning;
        gMissingImageWarning = [](const char*) {};
        fDoc = MakeNewDocument();
    }
    void TearDown() override
    {
        delete fDoc;
        gMissingImageWarning = fWarning;
    }
    // The id selected in the bars, or 0.
    static int32_t Selected(const ToolWnd& palette)
    {
        for (const auto& group : palette.fGroups) {
            for (int32_t i = 0; i < QV_ToolBar::kMaxCells; i++) {
                if (group->bar->fSelected[i])
                    return group->bar->fMessages[i];
            }
        }
        return 0;
    }
    static bool Enabled(const ToolWnd& palette, int32_t id)
    {
        for (const auto& group : palette.fGroups) {
            for (int32_t i = 0; i < QV_ToolBar::kMaxCells; i++) {
                if (group->bar->fMessages[i] == id)
                    return group->bar->fCellEnabled[i];
            }
        }
        return false;
    }
    void Send(ToolWnd& palette, int32_t what)
    {
        QV_Message message(what);
        palette.HandleMessage(&message);
    }

    ScriptedApp fScripts;
    VornDoc* fDoc = nullptr;
    void (*fWarning)(const char*) = nullptr;
};

TEST_F(ToolWndTest, GroupsBecomeBarsOfFourColumns)
{
    ToolWnd palette(nullptr, fDoc);
    ASSERT_EQ(palette.fGroups.size(), 2u);
    const QV_Rect first = palette.fGroups[0]->bar->Frame();
    const QV_Rect second = palette.fGroups[1]->bar->Frame();
    EXPECT_EQ(RectWidth(first), 100);
    EXPECT_EQ(RectHeight(first), 2 * 21);
    EXPECT_EQ(RectWidth(second), 100);
    EXPECT_EQ(RectHeight(second), 21);
    EXPECT_EQ(first.left, 1);
    const int32_t line = gWidgetFont ? gWidgetFont->LineHeight() : 15;
    EXPECT_EQ(first.top, line + 5);
    // The second title bar starts 2 pixels below the first bar.
    EXPECT_EQ(second.top - line - 4, first.bottom + 2);
    EXPECT_EQ(palette.Size().x, first.right + 2);
    EXPECT_EQ(palette.Size().y, second.bottom + 2);
    EXPECT_EQ(palette.fGroups[0]->name, "Draw");
    EXPECT_EQ(palette.fGroups[1]->name, "Edit");

    const QV_ToolBar* draw = palette.fGroups[0]->bar;
    EXPECT_EQ(draw->fMessages[0], 3600);
    EXPECT_EQ(draw->fLabels[0], "Record (S)");
    EXPECT_EQ(draw->fKinds[0], QV_ToolBar::kTool);
    // The spacer's cell holds nothing and does not react; the button runs.
    EXPECT_EQ(draw->fMessages[3], 0);
    EXPECT_EQ(draw->CellAt(3 * 25 + 10, 10), -1);
    EXPECT_EQ(draw->fMessages[4], 3604);
    EXPECT_EQ(draw->fKinds[4], QV_ToolBar::kPush);
    EXPECT_EQ(palette.fGroups[1]->bar->fMessages[0], 3605);
}

TEST_F(ToolWndTest, TheFirstEnabledToolStandsInForADisabledCurrentOne)
{
    ToolWnd palette(nullptr, fDoc);
    palette.UpdateToolButtons();
    EXPECT_EQ(Selected(palette), 3600);
    Send(palette, 3605);
    EXPECT_EQ(Selected(palette), 3605);
    // A button and ids beyond the list select nothing.
    Send(palette, 3604);
    Send(palette, 3799);
    EXPECT_EQ(Selected(palette), 3605);

    fScripts.Lua("SwitchableOff = true");
    palette.UpdateToolButtons();
    EXPECT_FALSE(Enabled(palette, 3605));
    EXPECT_TRUE(Enabled(palette, 3606));
    EXPECT_EQ(Selected(palette), 3600);

    // Without a document everything is off and nothing is chosen anew.
    palette.SetDocument(nullptr);
    fScripts.Lua("SwitchableOff = false");
    palette.UpdateToolButtons();
    for (int32_t id = 3600; id < 3608; id++)
        EXPECT_FALSE(Enabled(palette, id)) << id;
    EXPECT_EQ(Selected(palette), 3600);
}

TEST_F(ToolWndTest, APaletteFollowsAToolListLoadedAgain)
{
    ToolWnd palette(nullptr, fDoc);
    ScratchFolder folder;
    std::filesystem::create_directories(folder.File("tool"));
    folder.Put("tool/solo.lua", "Solo = {} ScriptName = 'Solo'\nfunction Solo:UILabel() return 'Solo' end\n");
    folder.Put("tool/_tool_list.txt", "group Only tool solo o\n");
    ScriptRegistry& registry = fScripts.Registry();
    registry.UnloadScripts();
    registry.fScriptsFolder = folder.Path().c_str();
    registry.LoadScripts();

    palette.UpdateToolButtons();
    ASSERT_EQ(palette.fGroups.size(), 1u);
    EXPECT_EQ(palette.fGroups[0]->name, "Only");
    EXPECT_EQ(palette.fGroups[0]->bar->fLabels[0], "Solo (O)");
    EXPECT_EQ(RectHeight(palette.fGroups[0]->bar->Frame()), 21);
    EXPECT_EQ(Selected(palette), 3600);
    // The old list's ids no longer address anything.
    Send(palette, 3605);
    EXPECT_EQ(Selected(palette), 3600);

    // An empty list leaves an empty palette.
    registry.UnloadScripts();
    palette.UpdateToolButtons();
    EXPECT_TRUE(palette.fGroups.empty());
    EXPECT_EQ(palette.Size().x, 32);
}

} // namespace
