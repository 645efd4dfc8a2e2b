#pragma once
#include <cstdint>

#include "qv_base_widget.h"

class QV_Menu;

// The row of menu titles along the top of a window's content layer. It opens
// the menu under the pointer, switches menus while the pointer slides along
// the bar, and dispatches the Ctrl shortcuts of all its menus (as the layer's
// main view it sees Ctrl combinations first).
class QV_MenuBar : public QV_BaseWidget {
public:
    static constexpr int32_t kMaxMenus = 12;

    QV_MenuBar();
    ~QV_MenuBar() override;

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    void DrawWidget(QV_Graphics* graphics) override;

    // The bar owns the menu and becomes its target and owner bar. False (and
    // the menu stays the caller's) when the bar is full.
    bool AddMenu(QV_Menu* menu);
    QV_Rect TitleRect(int32_t index) const;
    int32_t TitleAt(int32_t x, int32_t y) const;
    void SetEnabled(int32_t message, bool enabled);
    // From a menu of the bar that closed.
    void MenuClosed();

    bool fTracking;
    int32_t fOpenIndex;
    int32_t fMenuCount;
    QV_Menu* fMenus[kMaxMenus];

private:
    void OpenMenu(int32_t index);
    void RefreshMenus();
};
