// Menus and the menu bar: geometry, choosing with the mouse, shortcuts.
#include <gtest/gtest.h>

#include "qv_dialog.h"
#include "qv_keys.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "qv_popup_dialog.h"
#include "qv_popup_menu.h"
#include "qv_stopwatch.h"
#include "widget_test_support.h"

namespace {

uint32_t gNow = 1000;

// A window with a catching layer, a clock the test moves, and a bar of two
// menus at the layer's top.
class MenuTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        gNow = 1000;
        QV_SetStopwatchTickSource([] { return gNow; });
    }
    void TearDown() override
    {
        QV_SetStopwatchTickSource(nullptr);
        delete fLoose;
        WidgetTest::TearDown();
    }
    void Wait(float seconds) { gNow += uint32_t(seconds * 1000.0f); }
    void Press(int32_t x, int32_t y) { fWindow->MouseDown(x, y, 1, 0, nullptr); }
    void Release(int32_t x, int32_t y) { fWindow->MouseUp(x, y, 1, 0, nullptr); }
    void Move(int32_t x, int32_t y) { fWindow->MouseMoved(0, nullptr, x, y); }
    void Click(int32_t x, int32_t y)
    {
        Press(x, y);
        Release(x, y);
    }
    // Runs the choice blink of the menu to its end; the ticks it took.
    int Blink(QV_Menu* menu)
    {
        int ticks = 0;
        while (menu->fBlinkTimer != 0 && ticks < 20) {
            fWindow->Timer(uint32_t(menu->fBlinkTimer));
            ++ticks;
        }
        return ticks;
    }
    // The centre of an item in window coordinates.
    static QV_Point ItemPoint(QV_Menu* menu, int32_t index)
    {
        const QV_Rect r = menu->ItemRect(index);
        return { menu->Frame().left + (r.left + r.right) / 2, menu->Frame().top + (r.top + r.bottom) / 2 };
    }
    QV_MenuBar* MakeBar(int32_t height = 300)
    {
        MakeLayer(400, height);
        fBar = new QV_MenuBar;
        fBar->ResizeTo(400, fBar->Frame().bottom - fBar->Frame().top + 1);
        fFile = new QV_Menu("File");
        fFile->AddItem("Open", 'O', 11);
        fFile->AddItem(nullptr, 0, 0);
        fFile->AddItem("Save", 'S', 12);
        fFile->AddItem("Gone", 0, 13);
        fFile->SetEnabled(13, false);
        fEdit = new QV_Menu("Edit");
        fEdit->AddItem("Copy", 'C', 21);
        fEdit->AddItem("Also save", 'S', 22);
        fBar->AddMenu(fFile);
        fBar->AddMenu(fEdit);
        Place(fBar, 0, 0);
        return fBar;
    }
    QV_Point Title(int32_t index) const
    {
        const QV_Rect slot = fBar->TitleRect(index);
        return { (slot.left + slot.right) / 2, (slot.top + slot.bottom) / 2 };
    }

    QV_MenuBar* fBar = nullptr;
    QV_Menu* fFile = nullptr;
    QV_Menu* fEdit = nullptr;
    QV_Menu* fLoose = nullptr;
};

} // namespace

TEST_F(MenuTest, ATallMenuSplitsIntoColumnsAndTheShortcutColumnFitsTheWidestFormat)
{
    MakeLayer(400, 208);
    fLoose = new QV_Menu("Many");
    ASSERT_EQ(gWidgetFont->LineHeight(), 15);
    for (int i = 0; i < 30; ++i)
        fLoose->AddItem("Item", i == 4 ? 'S' : 0, 100 + i, i == 4 ? QV_Menu::kCtrlShift : QV_Menu::kCtrl);
    fLoose->fTarget = fLayer;
    fLoose->Popup(fWindow, 0, 0);
    EXPECT_EQ(fLoose->fRows, 13);
    EXPECT_EQ(fLoose->fColumns, 3);
    EXPECT_EQ(fLoose->fColumnWidth,
        gWidgetFont->StringWidth("Item") + gWidgetFont->StringWidth("Ctrl+Shift+%c") + 8 + 40);
    // Item 13 heads the second column.
    EXPECT_EQ(fLoose->ItemRect(13).left, 2 + fLoose->fColumnWidth);
    EXPECT_EQ(fLoose->ItemRect(13).top, 2);
    // Wider than the window on the right: pulled back inside.
    fLoose->Close();
    fLoose->Popup(fWindow, 300, 0);
    EXPECT_EQ(fLoose->Frame().right, 399);
    fLoose->Close();

    // A client area lower than one row still gives one row per column.
    fWindow->ResizeTo(400, 10);
    PumpPending();
    fLoose->Popup(fWindow, 0, 0);
    EXPECT_EQ(fLoose->fRows, 1);
    EXPECT_EQ(fLoose->fColumns, 30);
    fLoose->Close();
}

TEST_F(MenuTest, AlphabeticalInsertionIsByteOrderAndKeepsEqualLabelsInOrder)
{
    QV_Menu menu("Sorted");
    menu.AddItemAlphabetically("beta", 0, 1);
    menu.AddItemAlphabetically("Beta", 0, 2);
    menu.AddItemAlphabetically("Alpha", 0, 3);
    menu.AddItemAlphabetically("Beta", 0, 4);
    menu.AddItemAlphabetically("Zed", 0, 5);
    std::vector<int32_t> order;
    for (int32_t i = 0; i < menu.CountItems(); ++i)
        order.push_back(menu.fMessages[i]);
    EXPECT_EQ(order, (std::vector<int32_t> { 3, 2, 4, 5, 1 }));
    // Growing past the first capacity keeps every entry.
    for (int32_t i = 0; i < 20; ++i)
        menu.AddItem("More", 0, 50 + i);
    EXPECT_EQ(menu.CountItems(), 25);
    EXPECT_EQ(menu.ItemLabel(2), "Beta");
    EXPECT_EQ(menu.fMessages[24], 69);
}

TEST_F(MenuTest, CheckedAndEnabledStatesReachIntoSubmenus)
{
    QV_Menu menu("Top");
    auto* sub = new QV_Menu("Sub");
    sub->AddItem("Deep", 0, 7);
    menu.AddItem("Flat", 0, 7);
    menu.AddItem("Other", 0, 8);
    menu.AddSubmenu(sub, "More");
    menu.SetChecked(7, true);
    EXPECT_TRUE(sub->IsChecked(7));
    EXPECT_EQ(menu.FirstCheckedMsg(), 7);
    EXPECT_EQ(menu.FirstCheckedLabel(), "Flat");
    menu.UncheckAll();
    EXPECT_EQ(menu.FirstChecked(), -1);
    EXPECT_TRUE(sub->IsChecked(7));
    menu.SetCheckedLabel("Deep", false);
    EXPECT_FALSE(sub->IsChecked(7));
    menu.SetEnabled(7, false);
    EXPECT_FALSE(sub->IsEnabled(7));
    EXPECT_FALSE(menu.IsEnabled(99));
    EXPECT_EQ(sub->fParentMenu, &menu);
}

TEST_F(MenuTest, AQuickReleaseLeavesTheMenuOpenAndAClickChoosesAfterTheBlink)
{
    MakeBar();
    const QV_Point file = Title(0);
    Press(file.x, file.y);
    ASSERT_NE(fFile->fWindow, nullptr);
    EXPECT_EQ(fFile->Frame().top, fBar->Frame().bottom);
    Wait(0.2f);
    Release(file.x, file.y);
    EXPECT_NE(fFile->fWindow, nullptr);

    // Escape does not close it; separators and disabled items do nothing.
    fWindow->KeyDown(KEY_ESCAPE, 0);
    for (int32_t item : { 1, 3 }) {
        const QV_Point p = ItemPoint(fFile, item);
        Wait(1);
        Click(p.x, p.y);
        EXPECT_NE(fFile->fWindow, nullptr) << item;
        EXPECT_FALSE(fFile->fChoosing);
    }

    const QV_Point save = ItemPoint(fFile, 2);
    Move(save.x, save.y);
    EXPECT_EQ(fFile->fHover, 2);
    Click(save.x, save.y);
    EXPECT_TRUE(fFile->fChoosing);
    // Input during the blink is ignored.
    Click(save.x, save.y);
    EXPECT_TRUE(gPosted.empty());
    EXPECT_EQ(Blink(fFile), 5);
    EXPECT_EQ(fFile->fWindow, nullptr);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 12 }));
    EXPECT_EQ(fBar->fOpenIndex, -1);
    EXPECT_FALSE(fBar->fTracking);
}

TEST_F(MenuTest, PressDragReleaseChoosesAndALateReleaseOutsideItemsCloses)
{
    MakeBar();
    const QV_Point file = Title(0);
    Press(file.x, file.y);
    const QV_Point open = ItemPoint(fFile, 0);
    Move(open.x, open.y);
    Wait(0.6f);
    Release(open.x, open.y);
    EXPECT_EQ(Blink(fFile), 5);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 11 }));

    gPosted.clear();
    Press(file.x, file.y);
    Wait(0.6f);
    Release(390, 250);
    EXPECT_EQ(fFile->fWindow, nullptr);
    EXPECT_EQ(fBar->fOpenIndex, -1);
    EXPECT_TRUE(gPosted.empty());
}

TEST_F(MenuTest, OneBarMenuIsOpenAtATime)
{
    MakeBar();
    const QV_Point file = Title(0);
    const QV_Point edit = Title(1);
    // A click outside reaches what lies below: the other title opens.
    Click(file.x, file.y);
    Wait(1);
    Click(edit.x, edit.y);
    EXPECT_EQ(fFile->fWindow, nullptr);
    EXPECT_NE(fEdit->fWindow, nullptr);
    EXPECT_EQ(fBar->fOpenIndex, 1);
    EXPECT_TRUE(fBar->fTracking);
    // Clicking the open title closes it.
    Wait(1);
    Click(edit.x, edit.y);
    EXPECT_EQ(fEdit->fWindow, nullptr);
    EXPECT_EQ(fBar->fOpenIndex, -1);

    // After a quick release, sliding to the other title swaps the menus.
    Click(file.x, file.y);
    Move(edit.x, edit.y);
    EXPECT_EQ(fFile->fWindow, nullptr);
    EXPECT_NE(fEdit->fWindow, nullptr);
    EXPECT_EQ(fWindow->fLayerCount, 2);
    fEdit->Close();
}

TEST_F(MenuTest, ASubmenuOpensAtItsItemsTopRightAndItsChoiceClosesTheChain)
{
    MakeBar();
    auto* sub = new QV_Menu("Sub");
    sub->AddItem("Inner", 0, 31);
    const int32_t at = fFile->AddSubmenu(sub, "More");
    EXPECT_EQ(sub->fTarget, fBar);
    const QV_Point file = Title(0);
    Click(file.x, file.y);
    const QV_Point more = ItemPoint(fFile, at);
    Move(more.x, more.y);
    ASSERT_NE(sub->fWindow, nullptr);
    const QV_Rect r = fFile->ItemRect(at);
    EXPECT_EQ(sub->Frame().left, fFile->Frame().left + r.right);
    EXPECT_EQ(sub->Frame().top, fFile->Frame().top + r.top);
    // Moving off the item towards the submenu keeps it open.
    Move(fFile->Frame().right, more.y);
    EXPECT_NE(sub->fWindow, nullptr);
    const QV_Point inner = ItemPoint(sub, 0);
    Move(inner.x, inner.y);
    Wait(1);
    Click(inner.x, inner.y);
    EXPECT_EQ(Blink(sub), 5);
    EXPECT_EQ(sub->fWindow, nullptr);
    EXPECT_EQ(fFile->fWindow, nullptr);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 31 }));
}

TEST_F(MenuTest, TitleSlotsAndShortcutsOfTheBar)
{
    MakeBar();
    QV_MenuBar bar;
    auto* a = new QV_Menu(TextOfWidth(gMenuFont, 30).c_str());
    auto* b = new QV_Menu(TextOfWidth(gMenuFont, 40).c_str());
    bar.AddMenu(a);
    bar.AddMenu(b);
    EXPECT_EQ(bar.TitleRect(0).left, 0);
    EXPECT_EQ(bar.TitleRect(0).right, 45);
    EXPECT_EQ(bar.TitleRect(1).left, 46);
    EXPECT_EQ(bar.TitleRect(1).right, 101);
    EXPECT_EQ(bar.TitleAt(46, 3), 1);
    EXPECT_EQ(bar.TitleAt(102, 3), -1);
    // The bar holds twelve menus and refuses the thirteenth.
    for (int i = 2; i < 12; ++i)
        EXPECT_TRUE(bar.AddMenu(new QV_Menu("M")));
    QV_Menu extra("Extra");
    EXPECT_FALSE(bar.AddMenu(&extra));
    EXPECT_EQ(extra.fOwnerBar, nullptr);

    // Ctrl+S matches an item in each menu; Ctrl+Shift+S none.
    fLayer->fMainView = fBar;
    fWindow->KeyDown('s', MODIFIER_CTRL);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 12, 22 }));
    gPosted.clear();
    fWindow->KeyDown('S', MODIFIER_CTRL | MODIFIER_SHIFT);
    EXPECT_TRUE(gPosted.empty());
    fBar->SetEnabled(12, false);
    fWindow->KeyDown('S', MODIFIER_CTRL);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 22 }));
}

TEST_F(MenuTest, APopupMenuButtonInCheckedModeChecksTheChoiceAndOpensNearThePointer)
{
    MakeLayer(400, 300);
    auto* button = Place(new QV_PopupMenu(300, true), 10, 10);
    auto* menu = new QV_Menu("Sizes");
    menu->AddItem("Small", 0, 41);
    menu->AddItem("Medium", 0, 42);
    menu->AddItem("Large", 0, 43);
    menu->SetChecked(41, true);
    button->SetMenu(menu);
    EXPECT_EQ(menu->fTarget, button);

    // Pressed far right of the button's left edge: 16 px left of the pointer.
    Press(250, 15);
    ASSERT_TRUE(button->fOpen);
    EXPECT_EQ(menu->Frame().left, 234);
    EXPECT_EQ(menu->Frame().top, button->Frame().bottom);
    Release(250, 15);
    EXPECT_NE(menu->fWindow, nullptr);
    const QV_Point medium = ItemPoint(menu, 1);
    Move(medium.x, medium.y);
    Wait(1);
    Click(medium.x, medium.y);
    EXPECT_EQ(Blink(menu), 5);
    EXPECT_FALSE(button->fOpen);
    EXPECT_FALSE(menu->IsChecked(41));
    EXPECT_TRUE(menu->IsChecked(42));
    EXPECT_FALSE(menu->IsChecked(43));
    EXPECT_EQ(menu->FirstCheckedLabel(), "Medium");
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 42 }));

    // A click on the button while its menu is open closes it for good.
    Click(20, 15);
    ASSERT_NE(menu->fWindow, nullptr);
    Wait(1);
    Click(20, 15);
    EXPECT_EQ(menu->fWindow, nullptr);
    EXPECT_FALSE(button->fOpen);

    // Detaching hands the menu back without deleting it.
    button->SetMenu(nullptr);
    EXPECT_EQ(menu->fOwnerButton, nullptr);
    fLoose = menu;
}

TEST_F(MenuTest, APopupDialogPostsAtOpeningAndClosingAndIsNotReopenedByTheClosingClick)
{
    MakeLayer(400, 300);
    auto* button = Place(new QV_PopupDialog("Settings", false, 55), 10, 10);
    EXPECT_EQ(button->Frame().right - button->Frame().left + 1,
        20 + gWidgetFont->StringWidth("Settings") + 15);
    auto* dialog = new QV_Dialog("Popup", nullptr);
    auto* inside = new QV_View(FOLLOW_LEFT | FOLLOW_TOP);
    inside->ResizeTo(80, 60);
    dialog->AddView(inside);
    button->SetDialog(dialog);
    Click(15, 15);
    ASSERT_EQ(dialog->fWindow, fWindow);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 55 }));
    // A click outside the popup onto its own button closes it only.
    Click(15, 15);
    EXPECT_EQ(dialog->fWindow, nullptr);
    EXPECT_FALSE(button->fOpen);
    EXPECT_EQ(gPosted, (std::vector<int32_t> { 55, 55 }));
    Wait(0.3f);
    Click(15, 15);
    EXPECT_EQ(dialog->fWindow, fWindow);
    EXPECT_TRUE(button->fOpen);
    fWindow->RemoveLayer(dialog);
}
