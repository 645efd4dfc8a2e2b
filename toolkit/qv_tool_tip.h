#pragma once
#include <cstdint>
#include <memory>

#include "qv_layer.h"
#include "qv_string.h"
#include "qv_wnd.h"

// The tool tip's hide timer.
constexpr int32_t MSG_TIP_HIDE = -1005;

// A small layer with a short text that appears near the pointer after it
// rested over a widget, and goes away after a few seconds, when the pointer
// moves away, or on a click or key. At most one is on screen.
class QV_ToolTip : public QV_Layer {
public:
    QV_ToolTip();
    ~QV_ToolTip() override;

    // x and y: window client coordinates. Every call restarts the delay.
    void Show(QV_Wnd* window, int32_t x, int32_t y, const char* text);
    void Hide();

    void HandleMessage(QV_Message* message) override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseDownOutside(
        int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    void Draw() override;
    bool BlocksClose() override;
    bool KeepOnClose() override;

    int32_t fAnchorX;
    int32_t fAnchorY;
    QV_String fTipText;
    QV_Wnd* fTipWindow;
    float fShowDelay;
    int32_t fShowTimer;
    int32_t fHideTimer;
    bool fShowing;
    bool fTwoLines;
    QV_String fLine1;
    QV_String fLine2;

private:
    // The window known to the tip, or null once it was destroyed (its timers
    // went with it).
    QV_Wnd* LiveWindow();
    void Place(int32_t width, int32_t height);
    void StopTimer(int32_t& timer);

    std::unique_ptr<QV_Wnd::Watch> fWindowWatch;
};

// The tip last put on screen, while it shows.
extern QV_ToolTip* gCurrentToolTip;
