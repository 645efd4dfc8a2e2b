#include "qv_progress_bar.h"

#include <cmath>

#include "interface_colors.h"
#include "qv_graphics.h"

QV_ProgressBar::QV_ProgressBar(int32_t width, int32_t follow)
    : QV_AnimatedWidget(follow, true, 30, true)
    , fValue(0)
    , fPulseColor(ProgressBackground1)
{
    ResizeTo(width, ScaledMetric20());
}

int32_t QV_ProgressBar::FillEnd() const
{
    const int32_t r = Bounds().right;
    if (!(fValue > 0))
        return 0;
    if (fValue >= 1)
        return r;
    return int32_t(std::lround(fValue * float(r)));
}

void QV_ProgressBar::Tick(QV_Graphics*, int32_t, float seconds, float)
{
    const float p = std::isfinite(seconds) ? seconds * 0.5f : 0;
    const float f = p - std::floor(p);
    const float g = f < 0.5f ? 2 * f : 1 - 2 * (f - 0.5f);
    QV_ColorVector one;
    QV_ColorVector two;
    one.Set(ProgressBackground1);
    two.Set(ProgressBackground2);
    fPulseColor = (one * g + two * (1 - g)).AsColorStruct();
}

void QV_ProgressBar::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect b = Bounds();
    const int32_t r = b.right;
    const int32_t bottom = b.bottom;
    const int32_t radius = ScaledMetric3();
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(fPulseColor);
    graphics->FillRoundRect(radius, 1, 0, r - 1, bottom);
    const int32_t e = FillEnd();
    graphics->SetClipRect(2, 0, r - 2, bottom);
    graphics->FillGradientRect(radius, true, ProgressGradient1, ProgressGradient2, 0, 0, e, bottom);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(radius, 1, 0, e - 1, bottom);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRoundRect(radius, 0, 1, e, bottom - 1);
    graphics->ResetClip();
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(radius, 1, 0, r - 1, bottom);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRoundRect(radius, 0, 1, r, bottom - 1);
}
