#pragma once
#include <cstdint>

#include "qv_base_widget.h"
#include "qv_color.h"

// A rounded bar filled from the left by fValue (0..1) over a background that
// pulses between two colours every 2 seconds, so long work looks alive even
// when the value stands still. Writers from other threads hold the window's
// mutex; the owner sets fValue directly and the next tick shows it.
class QV_ProgressBar : public QV_AnimatedWidget {
public:
    QV_ProgressBar(int32_t width, int32_t follow);

    // The column where the fill ends; NaN counts as nothing done.
    int32_t FillEnd() const;

    void Tick(QV_Graphics* graphics, int32_t frame, float seconds, float fps) override;
    void DrawWidget(QV_Graphics* graphics) override;

    float fValue;
    rgb_color fPulseColor;
};
