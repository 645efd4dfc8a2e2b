#pragma once
#include <cstdint>

#include "qv_layer.h"
#include "qv_pixelbuffer.h"
#include "qv_stopwatch.h"
#include "qv_string.h"

class QV_Font;
class QV_MenuBar;
class QV_PopupMenu;

// A drop-down or pop-up list of commands drawn by the toolkit itself: a layer
// pushed on top of a window while open. A chosen item blinks, the whole chain
// of open menus closes, and only then is the item's message posted, so the
// command runs with no menu on screen. Menus have no keyboard navigation;
// their Ctrl shortcuts are dispatched by the menu bar.
class QV_Menu : public QV_Layer {
public:
    // Shortcut modifiers of an item: the toolkit's modifier bits without Ctrl.
    static constexpr int32_t kCtrl = 0;
    static constexpr int32_t kCtrlShift = 1;
    static constexpr int32_t kCtrlAlt = 4;

    explicit QV_Menu(const char* title);
    ~QV_Menu() override;

    void HandleMessage(QV_Message* message) override;
    void Activate() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseDownOutside(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void Draw() override;
    bool BlocksClose() override { return false; }
    bool KeepOnClose() override { return true; }
    bool TabNavigation() override { return false; }

    // A null label is a separator. Returns the new index.
    int32_t AddItem(const char* label, char shortcut, int32_t message, int32_t modifiers = kCtrl);
    // Before the first greater label in byte order (after equal ones).
    int32_t AddItemAlphabetically(const char* label, char shortcut, int32_t message);
    // Takes ownership of the submenu.
    int32_t AddSubmenu(QV_Menu* submenu, const char* label);
    void RemoveAllItems();
    int32_t CountItems() const { return fCount; }

    // By message: every match, here and in all submenus.
    void SetEnabled(int32_t message, bool enabled);
    void SetChecked(int32_t message, bool checked);
    void SetCheckedLabel(const char* label, bool checked);
    // By message: the first match of this menu only; false when none.
    bool IsEnabled(int32_t message) const;
    bool IsChecked(int32_t message) const;
    void UncheckAll();
    int32_t FirstChecked() const;
    int32_t FirstCheckedMsg() const;
    QV_String FirstCheckedLabel() const;
    QV_String ItemLabel(int32_t message) const;
    void SetItemLabel(int32_t message, const char* label);

    // Opens with the top-left at (x, y) in the window's client coordinates;
    // nothing when already open.
    void Popup(QV_Wnd* window, int32_t x, int32_t y);
    // Closes this menu and every menu up its chain.
    void Close();
    // The open submenus below first, deepest first, then this menu.
    void CloseWithSubmenus();
    void HandleShortcut(int32_t key, int32_t modifiers);

    // In the menu's own coordinates.
    QV_Rect ItemRect(int32_t index) const;
    // A choosable item (labelled and enabled) under the point, or -1.
    int32_t ItemAt(int32_t x, int32_t y) const;
    // The unfilled shortcut text of that modifier value.
    static const char* ShortcutFormat(int32_t modifiers);

    QV_Handler* fTarget;
    QV_MenuBar* fOwnerBar;
    QV_Menu* fParentMenu;
    QV_PopupMenu* fOwnerButton;
    QV_String fTitle;
    QV_PixelBuffer fIcon;
    QV_Font* fFont;
    int32_t fLineHeight;
    int32_t fHover;
    QV_Menu* fOpenSubmenu;
    int32_t fColumns;
    int32_t fColumnWidth;
    int32_t fRows;
    int32_t fColumnHeight;
    QV_Stopwatch fOpenClock;
    int32_t fBlinkTimer;
    int32_t fBlinkCount;
    bool fChoosing;
    int32_t fCount;
    int32_t fCapacity;

    QV_String* fLabels;
    char* fShortcuts;
    int32_t* fMessages;
    int32_t* fModifiers;
    bool* fEnabled;
    bool* fChecked;
    QV_Menu** fSubmenus;

private:
    void Grow();
    int32_t InsertItem(int32_t index, const char* label, char shortcut, int32_t message, int32_t modifiers);
    // Closes the open submenu chain below this menu, deepest first.
    void CloseSubmenuChain();
    // Draws the items with `shown` as the highlighted one.
    void DrawItems(int32_t shown);
    void FinishChoice();
    bool OnAnyItem(int32_t x, int32_t y) const;
    // The item the running choice blinks.
    int32_t fChosen;
};
