#pragma once
#include <cstdint>

#include "qv_base_widget.h"
#include "qv_color.h"

// A small colour well over a checkerboard that opens the colour picker when
// clicked. It never posts by itself: the picker's messages (what fMessage,
// the colour under "color") update it and go on up to its parent.
class QV_ColorSwatch : public QV_BaseWidget {
public:
    QV_ColorSwatch(bool withAlpha, rgb_color color, int32_t message);

    void SetValue(rgb_color color);
    rgb_color Value() const { return fValue; }

    void HandleMessage(QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    rgb_color fValue;
    int32_t fMessage;
    bool fWithAlpha;
    bool fLiveUpdate;
};
