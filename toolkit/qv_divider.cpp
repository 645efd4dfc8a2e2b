#include "qv_divider.h"

#include "interface_colors.h"
#include "qv_graphics.h"

QV_Divider::QV_Divider(bool vertical)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fVertical(vertical)
{
    if (vertical)
        ResizeTo(2, 32);
    else
        ResizeTo(32, 2);
}

void QV_Divider::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect bounds = Bounds();
    const int32_t R = bounds.right;
    const int32_t B = bounds.bottom;
    if (fVertical) {
        const int32_t x = (R + 1) / 2 - 1;
        graphics->SetColorStruct(WidgetShadow);
        graphics->DrawLine(float(x), 8.0f, float(x), float(B - 8));
        graphics->SetColorStruct(WidgetHighlight);
        graphics->DrawLine(float(x + 1), 8.0f, float(x + 1), float(B - 8));
    } else {
        const int32_t y = (B + 1) / 2 - 1;
        graphics->SetColorStruct(WidgetShadow);
        graphics->DrawLine(8.0f, float(y), float(R - 8), float(y));
        graphics->SetColorStruct(WidgetHighlight);
        graphics->DrawLine(8.0f, float(y + 1), float(R - 8), float(y + 1));
    }
}
