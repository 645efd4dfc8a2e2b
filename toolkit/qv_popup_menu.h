#pragma once
#include <cstdint>

#include "qv_base_widget.h"

class QV_Menu;

// A button that opens a menu below itself. In checked mode it shows the label
// of the menu's checked item and keeps exactly the chosen item checked, like
// a choice list; otherwise it shows the menu's title.
class QV_PopupMenu : public QV_BaseWidget {
public:
    QV_PopupMenu(int32_t width, bool showsChecked = true);
    ~QV_PopupMenu() override;

    void HandleMessage(QV_Message* message) override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    // The button owns the menu from here on. Null detaches the current menu
    // without deleting it (it is handed to another button).
    void SetMenu(QV_Menu* menu);
    QV_Menu* Menu() const { return fMenu; }
    // From the menu when it closes.
    void MenuClosed();

    bool fOpen;
    bool fShowsChecked;
    QV_Menu* fMenu;
};

// The face of both popup buttons: gradient, arrow and the clipped label.
void DrawPopupButtonFace(QV_BaseWidget* widget, QV_Graphics* graphics, bool open, const char* label);
