#pragma once
#include <cstdint>

#include "qv_base_widget.h"
#include "qv_string.h"

// Sent to every other child of a radio button's parent when the button turns
// on: radio buttons turn off, other widgets pass it up as unknown.
constexpr int32_t MSG_UNCHECK_RADIO = -1013;

// A labelled square box that toggles on each click.
class QV_CheckBox : public QV_BaseWidget {
public:
    QV_CheckBox(const char* label, int32_t message);

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    // No message.
    void SetValue(bool value);
    bool Value() const { return fValue; }

    bool fValue;
    QV_String fLabel;
    int32_t fMessage;
    int32_t fBoxSize;
    bool fPressed;
};

// A labelled round button that turns on when clicked and turns off the other
// radio buttons of its parent view: the group is the parent's children.
class QV_RadioButton : public QV_BaseWidget {
public:
    QV_RadioButton(const char* label, int32_t message);

    void HandleMessage(QV_Message* message) override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    // On also turns the siblings off; no message of its own.
    void SetValue(bool value);
    bool Value() const { return fValue; }
    void UncheckSiblings();

    bool fValue;
    QV_String fLabel;
    int32_t fMessage;
    int32_t fBoxSize;
    bool fPressed;
};
