#include "qv_slider.h"

#include <cmath>

#include "widget_rounding.h"
#include "interface_colors.h"
#include "qv_color.h"
#include "qv_graphics.h"
#include "qv_scroll_bar.h"

QV_Slider::QV_Slider()
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fThumbSize(ScrollBarThickness())
    , fMessage(MSG_SLIDER)
    , fMin(1)
    , fMax(10)
    , fValue(1)
{
    ResizeTo(256, ScrollBarThickness());
}

void QV_Slider::SetRange(int32_t min, int32_t max)
{
    fMin = min;
    fMax = max;
    if (fValue < min)
        fValue = min;
    else if (fValue > max)
        fValue = max;
    Redraw(true);
}

void QV_Slider::ResetValue()
{
    fValue = fMin > 0 ? fMin : (fMax < 0 ? fMax : 0);
    Redraw(true);
}

int32_t QV_Slider::ValueAtX(int32_t x) const
{
    const QV_Rect b = Bounds();
    const int32_t h = fThumbSize / 2;
    const int32_t travel = b.right - b.left - 2 * h;
    // No travel or no range: the only value is the lowest.
    if (travel <= 0 || fMax <= fMin)
        return fMin;
    const float g = float(x - h - b.left) / float(travel);
    int32_t value = RoundHalfAway(float(fMin) + float(fMax - fMin) * g);
    if (value < fMin)
        value = fMin;
    else if (value > fMax)
        value = fMax;
    return value;
}

int32_t QV_Slider::ThumbCentre() const
{
    const QV_Rect b = Bounds();
    const int32_t h = fThumbSize / 2;
    const int32_t travel = b.right - b.left - 2 * h;
    float f = 0;
    if (fMax > fMin && travel > 0)
        f = float(fValue - fMin) / float(fMax - fMin);
    return RoundHalfAway(f * float(travel) + float(b.left + h));
}

void QV_Slider::MouseDown(int32_t x, int32_t, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    fValue = ValueAtX(x);
    Redraw(true);
    PostMessage(fMessage);
}

void QV_Slider::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message* message)
{
    if (fEnabled && AnyButtonDown())
        MouseDown(x, y, 1, 0, message);
}

void QV_Slider::MouseUp(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    if (fEnabled)
        Redraw(true);
}

void QV_Slider::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect b = Bounds();
    const int32_t h = fThumbSize / 2;
    const int32_t gl = b.left + h;
    const int32_t gr = b.right - h;
    const int32_t gt = b.top + (b.bottom - b.top) / 2 - 1;
    graphics->SetSmoothing(false);
    graphics->SetColorStruct(WidgetFill);
    graphics->DrawLine(float(gl), float(gt + 1), float(gr), float(gt + 1));
    graphics->SetColorStruct(WidgetShadow);
    graphics->DrawLine(float(gl), float(gt + 2), float(gr), float(gt + 2));
    if (fEnabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRect(gl, gt, gr, gt + 3);
    }
    const int32_t c = ThumbCentre();
    const int32_t left = c - fThumbSize / 2;
    const int32_t right = c + fThumbSize / 2 - 1;
    const int32_t radius = ScaledMetric3();
    graphics->FillGradientRect(radius, true, ThumbGradient1, ThumbGradient2, left + 1, b.top + 1, right, b.bottom - 1);
    const int32_t my = (b.top + 1) + (b.bottom - b.top - 1) / 2;
    const int32_t q = (b.bottom - b.top - 1) / 4;
    graphics->SetColorStruct(ScaledColor(ThumbGradient2, 0.85f));
    graphics->DrawLine(float(c), float(my - q), float(c), float(my + q - 1));
    graphics->SetColorStruct(ScaledColor(ThumbGradient1, 1.05f));
    graphics->DrawLine(float(c + 1), float(my - q), float(c + 1), float(my + q - 1));
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(radius, left + 1, b.top + 1, right, b.bottom - 1);
    if (fEnabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRoundRect(radius, left, b.top + 2, right + 1, b.bottom - 2);
    }
}
