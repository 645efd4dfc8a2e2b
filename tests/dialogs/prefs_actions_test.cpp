// The preferences dialog and the Actions window, driven as their buttons and rows would drive
// them, without a window.
#include <gtest/gtest.h>

#include <vector>

#include "action_wnd.h"
#include "app_prefs.h"
#include "grouplayer.h"
#include "interface_colors.h"
#include "meshlayer.h"
#include "prefs_dlog.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_text_control.h"
#include "resource_images.h"
#include "vorndoc.h"
#include "window_test_support.h"

namespace {

struct PrefsGuard {
    PrefsGuard()
        : prefs(gPrefs)
        , toggles(gToggles)
    {
    }
    ~PrefsGuard()
    {
        gPrefs = prefs;
        gToggles = toggles;
    }
    ShellPrefs prefs;
    EditorToggles toggles;
};

void Send(QV_Handler& handler, int32_t what)
{
    QV_Message message(what);
    handler.HandleMessage(&message);
}

TEST(PrefsDlog, CancelGivesTheColoursBackOkKeepsThem)
{
    PrefsGuard guard;
    const rgb_color before = gPrefs.colBack;
    const rgb_color changed { 10, 200, 30, 255 };
    for (const int32_t end : { MSG_CANCEL, MSG_OK }) {
        PrefsDlog dialog(nullptr);
        dialog.ExchangeData(false);
        ASSERT_EQ(dialog.fColors[0].variable, &gPrefs.colBack);
        dialog.fColors[0].swatch->SetValue(changed);
        Send(dialog, 4250);
        // The canvas reads the variable: the change shows while the dialog is open.
        EXPECT_EQ(gPrefs.colBack.g, 200);
        if (end == MSG_OK)
            dialog.ExchangeData(true);
        dialog.DialogClosed(end);
        const rgb_color expected = end == MSG_CANCEL ? before : changed;
        EXPECT_EQ(gPrefs.colBack.r, expected.r) << end;
        EXPECT_EQ(gPrefs.colBack.g, expected.g) << end;
        EXPECT_EQ(gPrefs.colBack.b, expected.b) << end;
    }
    // Interface colours come back on Cancel too.
    const rgb_color text = Text;
    PrefsDlog dialog(nullptr);
    dialog.ExchangeData(false);
    for (int32_t i = 0; i < dialog.fColorCount; i++) {
        if (dialog.fColors[i].variable == &Text)
            dialog.fColors[i].swatch->SetValue(rgb_color { 1, 2, 3, 255 });
    }
    Send(dialog, 4250);
    EXPECT_EQ(Text.b, 3);
    dialog.DialogClosed(MSG_CANCEL);
    EXPECT_EQ(Text.b, text.b);
}

TEST(PrefsDlog, InterpolationPopupStoresTheTableValue)
{
    PrefsGuard guard;
    struct Case {
        int32_t stored;
        int32_t shown;
        int32_t chosen;
        int32_t result;
    };
    // Ease Out stores 8; a stored value the table lacks shows Smooth; nothing chosen stores 1.
    const Case cases[] = { { 0, 4202, 4207, 8 }, { 6, 4201, 4203, 3 }, { 2, 4204, 0, 1 } };
    for (const Case& c : cases) {
        gPrefs.defaultInterp = c.stored;
        PrefsDlog dialog(nullptr);
        dialog.ExchangeData(false);
        QV_Menu* menu = dialog.fInterpPopup->Menu();
        EXPECT_EQ(menu->FirstCheckedMsg(), c.shown) << c.stored;
        menu->UncheckAll();
        if (c.chosen)
            menu->SetChecked(c.chosen, true);
        dialog.ExchangeData(true);
        EXPECT_EQ(gPrefs.defaultInterp, c.result) << c.stored;
    }
}

TEST(PrefsDlog, ChecksFollowTheirPreferencesAndResetReloadsThem)
{
    PrefsGuard guard;
    gPrefs.topStatusBar = false;
    gPrefs.smpte = true;
    PrefsDlog dialog(nullptr);
    dialog.ExchangeData(false);
    EXPECT_FALSE(dialog.fChecks[6]->Value());
    EXPECT_TRUE(dialog.fChecks[9]->Value());
    dialog.fChecks[6]->SetValue(true);
    dialog.fChecks[9]->SetValue(false);
    gPrefs.colObj = rgb_color { 1, 1, 1, 255 };
    // The editor colours' Reset reloads every widget from what is stored.
    Send(dialog, 4230);
    EXPECT_FALSE(dialog.fChecks[6]->Value());
    EXPECT_TRUE(dialog.fChecks[9]->Value());
    EXPECT_EQ(gPrefs.colObj.g, 102);
    EXPECT_TRUE(gPrefs.smpte);
    dialog.fChecks[6]->SetValue(true);
    dialog.ExchangeData(true);
    EXPECT_TRUE(gPrefs.topStatusBar);

    Text = rgb_color { 9, 9, 9, 255 };
    Send(dialog, 4251);
    EXPECT_EQ(Text.r, 0);
    EXPECT_EQ(WindowBackground.b, 149);
}

TEST(PrefsDlog, RequestedTabsSkipTheRemovedAccountTab)
{
    const int32_t cases[][2] = { { 0, 0 }, { 1, 0 }, { 2, 1 }, { 3, 2 }, { 7, 2 }, { -4, 0 } };
    for (const auto& c : cases)
        EXPECT_EQ(TabForRequest(c[0]), c[1]) << c[0];
}

class ActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fWarning = gMissingImageWarning;
        gMissingImageWarning = [](const char*) {};
        fNames.clear();
        fAnswer = "";
        gRunActionNameDlog = [](QV_Wnd*, QV_String& name) {
            fNames.push_back(name.CString());
            if (fAnswer.empty())
                return int32_t(MSG_CANCEL);
            name = fAnswer.c_str();
            return int32_t(MSG_OK);
        };
        fLayer = new MeshLayer;
        fLayer->SetName("Hero");
        fDoc.AddLayer(fLayer);
        fDoc.SetSelLayer(fLayer);
        fActions = std::make_unique<ActionLayer>(&fDoc, nullptr);
        fActions->SetDocument(&fDoc);
    }
    void TearDown() override
    {
        fActions.reset();
        gMissingImageWarning = fWarning;
    }
    void Command(int32_t what) { Send(*fActions, what); }
    void SelectRow(const char* text)
    {
        ActionList* list = fActions->fList;
        for (int32_t i = 0; i < list->CountItems(); i++) {
            if (std::string(list->GetItem(i)) == text)
                list->SetSelItem(i);
        }
        Command(kActionUpdateButtons);
    }

    static inline std::vector<std::string> fNames;
    static inline std::string fAnswer;
    void (*fWarning)(const char*) = nullptr;
    VornDoc fDoc;
    MeshLayer* fLayer = nullptr;
    std::unique_ptr<ActionLayer> fActions;
};

TEST_F(ActionsTest, NewProposesTheNextNumberAndStopsAtFive)
{
    fActions->fList->SetSelItem(0);
    fAnswer = "Action 1";
    Command(kActionNew);
    ASSERT_EQ(fNames.size(), 1u);
    EXPECT_EQ(fNames[0], "Action 1");
    // The new action is edited, from frame 1.
    EXPECT_EQ(fLayer->CurrentPose(), "Action 1");
    EXPECT_EQ(fDoc.CurFrame(), 1);
    ASSERT_EQ(fActions->fList->CountItems(), 2);
    EXPECT_EQ(fActions->fList->SelItem(), 1);
    EXPECT_EQ(fActions->fList->ActiveRow(), 1);

    fAnswer = "";
    Command(kActionNew);
    EXPECT_EQ(fNames.back(), "Action 2");
    fAnswer = "Walk";
    Command(kActionNew);
    fAnswer = "";
    Command(kActionNew);
    EXPECT_EQ(fNames.back(), "Action 3");
    for (const char* name : { "Run", "Jump", "Skip" }) {
        fAnswer = name;
        Command(kActionNew);
    }
    ASSERT_EQ(fLayer->fPoses.fCount, 5);
    EXPECT_FALSE(fActions->fNewButton->IsEnabled());
    const size_t asked = fNames.size();
    Command(kActionNew);
    EXPECT_EQ(fNames.size(), asked);
    EXPECT_EQ(fLayer->fPoses.fCount, 5);
}

TEST_F(ActionsTest, NameDialogRefusesOnlyQuotesAndDropsQuotes)
{
    QV_String name("Action 3");
    NewActionDlog dialog(&name, nullptr);
    dialog.ExchangeData(false);
    EXPECT_STREQ(dialog.fNameField->Value(), "Action 3");
    dialog.fNameField->SetValue("\"\"\"");
    EXPECT_FALSE(dialog.OnValidate());
    EXPECT_STREQ(dialog.fNameField->Value(), "");
    dialog.fNameField->SetValue("Big \"Walk\"");
    EXPECT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    EXPECT_EQ(name, "Big Walk");
}

TEST_F(ActionsTest, ButtonStatesFollowTheRowAndFrame)
{
    fLayer->ActivatePose("Walk", true);
    fLayer->ActivatePose("Run", true);
    fLayer->ActivatePose(nullptr, false);
    fDoc.SetCurFrame(0);
    Command(1006);
    struct Case {
        const char* editing;
        int32_t frame;
        const char* row;
        bool ref, copy, del;
    };
    const Case cases[] = {
        { "", 5, "Walk", true, true, true },
        { "", 0, "Walk", false, false, true },
        { "", 5, "--- Mainline ---", false, false, false },
        { "Walk", 5, "--- Mainline ---", false, true, false },
        { "Walk", 5, "Walk", false, false, true },
        { "Walk", 5, "Run", false, true, true },
    };
    for (const Case& c : cases) {
        fLayer->ActivatePose(*c.editing ? c.editing : nullptr, false);
        fDoc.SetCurFrame(c.frame);
        Command(1006);
        SelectRow(c.row);
        EXPECT_EQ(fActions->fInsertRefButton->IsEnabled(), c.ref) << c.editing << " " << c.row;
        EXPECT_EQ(fActions->fInsertCopyButton->IsEnabled(), c.copy) << c.editing << " " << c.row;
        EXPECT_EQ(fActions->fDeleteButton->IsEnabled(), c.del) << c.editing << " " << c.row;
        EXPECT_TRUE(fActions->fNewButton->IsEnabled());
    }
}

TEST_F(ActionsTest, MakeActiveReturnsTheTreeWhenTheParentLacksTheAction)
{
    // Hero moves into a group; the group edits "Run", which only it and Hero have, Hero alone
    // also has "Wave".
    fDoc.RemoveLayer(fLayer);
    auto* group = new GroupLayer;
    fDoc.AddLayer(group);
    group->AddLayer(fLayer);
    fDoc.SetSelLayer(fLayer);
    fLayer->ActivatePose("Wave", true);
    fLayer->ActivatePose(nullptr, false);
    group->ActivatePose("Run", true);
    ASSERT_EQ(fLayer->CurrentPose(), "Run");
    Command(1006);
    SelectRow("Wave");
    Command(kActionMakeActive);
    EXPECT_EQ(group->CurrentPose(), "");
    EXPECT_EQ(fLayer->CurrentPose(), "Wave");
    EXPECT_EQ(fDoc.CurFrame(), 1);

    // The group has "Run": the climb reaches it and the whole tree edits it.
    SelectRow("Run");
    Command(kActionMakeActive);
    EXPECT_EQ(group->CurrentPose(), "Run");
    EXPECT_EQ(fLayer->CurrentPose(), "Run");

    SelectRow("--- Mainline ---");
    Command(kActionMakeActive);
    EXPECT_EQ(group->CurrentPose(), "");
    EXPECT_EQ(fLayer->CurrentPose(), "");
    EXPECT_EQ(fDoc.CurFrame(), 0);
}

TEST_F(ActionsTest, DoubleClickMakesTheRowActiveRenameAndDelete)
{
    fLayer->ActivatePose("Walk", true);
    fLayer->ActivatePose(nullptr, false);
    Command(1006);
    ActionList* list = fActions->fList;
    list->ResizeTo(128, 200);
    const int32_t y = 4 + list->RowHeight() + list->RowHeight() / 2;
    list->MouseDown(10, y, 0, 0, nullptr);
    list->MouseUp(10, y, 0, 0, nullptr);
    EXPECT_EQ(list->SelItem(), 1);
    EXPECT_EQ(fLayer->CurrentPose(), "");
    list->MouseDown(10, y, 0, 0, nullptr);
    list->MouseUp(10, y, 0, 0, nullptr);
    EXPECT_EQ(fLayer->CurrentPose(), "Walk");

    fAnswer = "Stroll";
    SelectRow("Walk");
    Command(kActionRename);
    ASSERT_FALSE(fNames.empty());
    EXPECT_EQ(fNames.back(), "Walk");
    EXPECT_TRUE(fLayer->HasPose("Stroll"));
    EXPECT_FALSE(fLayer->HasPose("Walk"));
    SelectRow("Stroll");
    Command(kActionDelete);
    EXPECT_EQ(fLayer->fPoses.fCount, 0);
    EXPECT_EQ(list->CountItems(), 1);
    // Nothing happens for the mainline row.
    Command(kActionDelete);
    Command(kActionRename);
    EXPECT_EQ(list->CountItems(), 1);
}

// The main window hears of the new frame (its frame field and status bar follow) and of the
// changed actions.
TEST_F(ActionsTest, TheMainWindowIsToldOfTheFrameAndTheActions)
{
    struct Owner : public QV_Wnd {
        Owner()
            : QV_Wnd(0, "owner", false, nullptr, 0, 0, 99, 99)
        {
        }
        void HandleMessage(QV_Message* message) override { seen.push_back(message->fWhat); }
        std::vector<int32_t> seen;
    } owner;
    fActions->fOwner = &owner;
    fAnswer = "Walk";
    Command(kActionNew);
    EXPECT_EQ(owner.seen, (std::vector<int32_t> { 1004, 1006 }));
    owner.seen.clear();
    SelectRow("--- Mainline ---");
    Command(kActionMakeActive);
    EXPECT_EQ(fDoc.CurFrame(), 0);
    EXPECT_EQ(owner.seen, (std::vector<int32_t> { 1004, 1006 }));
    fActions->fOwner = nullptr;
}

TEST_F(ActionsTest, WithoutADocumentNothingRunsAndTheButtonsAreOff)
{
    fActions->SetDocument(nullptr);
    EXPECT_EQ(fActions->fList->CountItems(), 0);
    EXPECT_EQ(fActions->fList->SelectedText(), nullptr);
    for (QV_Button* button :
        { fActions->fNewButton, fActions->fInsertRefButton, fActions->fInsertCopyButton, fActions->fDeleteButton })
        EXPECT_FALSE(button->IsEnabled());
    fAnswer = "Walk";
    for (int32_t what = kActionNew; what <= kActionRename; what++)
        Command(what);
    EXPECT_TRUE(fNames.empty());
}

using ActionsWindowTest = WindowTest;

// 3254 opens the window, and closes it when it is open; the Window menu's check follows.
TEST_F(ActionsWindowTest, TheCommandTogglesTheWindow)
{
    ASSERT_FALSE(ActionWndOpen(nullptr));
    EXPECT_TRUE(HandleActionWndCommand(nullptr, 3254));
    ASSERT_TRUE(ActionWndOpen(nullptr));
    const uint32_t id = IdOf(gActionWnd);
    PumpPending();
    EXPECT_TRUE(Alive(id));
    EXPECT_TRUE(HandleActionWndCommand(nullptr, 3254));
    PumpPending();
    EXPECT_FALSE(ActionWndOpen(nullptr));
    EXPECT_FALSE(Alive(id));
    EXPECT_TRUE(HandleActionWndCommand(nullptr, 3254));
    EXPECT_TRUE(ActionWndOpen(nullptr));
    HandleActionWndCommand(nullptr, 3254);
    PumpPending();
}

} // namespace
