#pragma once
#include <cstdint>

#include "qv_base_widget.h"

constexpr int32_t MSG_SLIDER = 9101;

// A horizontal groove with a thumb that picks an integer in a range; it posts
// fMessage on every press and drag step. The owner reads fValue.
class QV_Slider : public QV_BaseWidget {
public:
    QV_Slider();

    void SetRange(int32_t min, int32_t max);
    // To 0 brought into the range; posts nothing.
    void ResetValue();
    // The value whose thumb centre lies at x, clamped to the range.
    int32_t ValueAtX(int32_t x) const;
    // The thumb centre's column for the current value.
    int32_t ThumbCentre() const;

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    int32_t fThumbSize;
    int32_t fMessage;
    int32_t fMin;
    int32_t fMax;
    int32_t fValue;
};
