#pragma once
#include <cstdint>

#include "qv_base_widget.h"
#include "qv_string.h"
#include "qv_tool_tip.h"

// A push button: a text label (with an optional minimum width and the
// default button's thick outline) or an interface image with a tool tip.
// Either form may toggle its value on each click. A click posts fMessage.
class QV_Button : public QV_BaseWidget {
public:
    // Text form.
    QV_Button(const char* label, int32_t message, int32_t minimumWidth, bool isDefault, int32_t follow);
    // Image form; the image belongs to the caller and must outlive the button.
    QV_Button(QV_PixelBuffer* image, const char* toolTip, bool toggle, int32_t message, int32_t follow);

    void SetValue(bool value);
    bool Value() const { return fValue; }
    void SetImage(QV_PixelBuffer* image);

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    // A tip left pending or showing for a button that is gone from the screen
    // would fire over whatever took its place.
    void Detached() override;
    void DrawWidget(QV_Graphics* graphics) override;

    bool fDefault;
    QV_String fLabel;
    QV_PixelBuffer* fImage;
    QV_ToolTip fToolTip;
    bool fToggle;
    int32_t fMessage;
    bool fValue;
    bool fPressed;
};

// A plain one-row text button.
class QV_ShortButton : public QV_BaseWidget {
public:
    QV_ShortButton(const char* label, int32_t message);

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    QV_String fLabel;
    int32_t fMessage;
    bool fPressed;
};

// The shared face of both buttons: gradient, shadow, outline (doubled for a
// default button), and the content rectangle, moved when sunken.
QV_Rect DrawButtonFace(QV_Graphics* graphics, QV_Rect bounds, int32_t radius, bool sunken, bool enabled,
    rgb_color outline, bool thick);
// The label centred in the rectangle, the way widgets centre one line.
void DrawCentredLabel(QV_Graphics* graphics, QV_Rect content, const char* label);
