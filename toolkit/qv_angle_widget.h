#pragma once
#include <cstdint>

#include "qv_base_widget.h"

class QV_TextControl;

constexpr int32_t MSG_ANGLE_KNOB = -1000;
constexpr int32_t MSG_ANGLE_FIELD = -1001;

// Wraps an angle into [0, 2 pi); a non-finite angle becomes 0.
float WrapAngle(float radians);

// A round knob whose needle points at the angle (0 to the right,
// counter-clockwise positive). Dragging points it at the pointer, Shift snaps
// to 45 degrees, the wheel turns it in small steps.
class QV_AngleKnob : public QV_BaseWidget {
public:
    QV_AngleKnob();

    void SetValue(float radians);
    float Value() const;
    // Points the knob at (x, y); Shift (bit 1) snaps to 45 degrees.
    void AngleFromPoint(int32_t x, int32_t y, int32_t modifiers);

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    bool fShowGuides;
    int32_t fMessage;
    float fAngle;

private:
    void UserChanged();
};

// A knob over a degree field, kept in step; posts fMessage when either changes.
class QV_AngleWidget : public QV_BaseWidget {
public:
    explicit QV_AngleWidget(int32_t message);

    void SetValue(float radians);
    float Value() const;

    void HandleMessage(QV_Message* message) override;

    int32_t fMessage;
    QV_AngleKnob* fKnob;
    QV_TextControl* fField;
};
