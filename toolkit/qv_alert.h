#pragma once
#include <cstdint>

#include "qv_layer.h"
#include "qv_wnd.h"

class QV_Button;

constexpr int32_t ALERT_INFO = 0;
constexpr int32_t ALERT_WARNING = 1;
constexpr int32_t ALERT_QUESTION = 2;

// A small modal message window: an icon by kind, up to three lines and up
// to three buttons. Returns 0, 1 or 2 for the button pressed. Any text or
// label may be null.
int32_t Alert(QV_Wnd* parent, int32_t kind, const char* line1, const char* line2, const char* line3,
    const char* label1, const char* label2, const char* label3);

// Return presses the first button, Escape the last one, and the first
// letter of a label its button, unless two labels share it.
class AlertLayer : public QV_Layer {
public:
    AlertLayer(int32_t kind, const char* line1, const char* line2, const char* line3, const char* label1,
        const char* label2, const char* label3);

    void KeyDown(int32_t key, int32_t modifiers) override;
    void Draw() override;

    int32_t fKind;
    int32_t fCancelId;
    QV_Button* fButton1;
    QV_Button* fButton2;
    QV_Button* fButton3;
    int32_t fKey1;
    int32_t fKey2;
    int32_t fKey3;
};

class AlertWnd : public QV_Wnd {
public:
    AlertWnd(QV_Wnd* parent, int32_t kind, const char* line1, const char* line2, const char* line3,
        const char* label1, const char* label2, const char* label3);
    void HandleMessage(QV_Message* message) override;

    AlertLayer* fAlertLayer;
};

// The name of the icon image of a kind, or null for a kind without one.
const char* AlertIconName(int32_t kind);
