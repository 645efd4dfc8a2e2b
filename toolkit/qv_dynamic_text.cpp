#include "qv_dynamic_text.h"

#include <cstdio>

#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"

QV_DynamicText::QV_DynamicText(const char* text, int32_t minimumWidth, int32_t alignment)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fText(text ? text : "")
    , fAlignment(alignment)
{
    int32_t width = (gWidgetFont ? gWidgetFont->StringWidth(fText.CString()) : 0) + 4;
    if (minimumWidth > 0 && minimumWidth > width)
        width = minimumWidth;
    ResizeTo(width, ScaledMetric20());
}

void QV_DynamicText::SetValue(const char* text)
{
    fText = text ? text : "";
    Redraw(true);
}

void QV_DynamicText::SetValue(int32_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    SetValue(text);
}

void QV_DynamicText::SetValue(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%0.2f", double(value));
    SetValue(text);
}

void QV_DynamicText::DrawWidget(QV_Graphics* graphics)
{
    if (!fFont)
        return;
    const QV_Rect bounds = Bounds();
    const int32_t R = bounds.right;
    const int32_t B = bounds.bottom;
    const int32_t width = fFont->StringWidth(fText.CString());
    int32_t x = 0;
    if (fAlignment == kAlignRight)
        x = R - width;
    else if (fAlignment == kAlignCentre)
        x = (R + 1) / 2 - width / 2;
    graphics->SetColorStruct(fEnabled ? Text : DisabledText);
    graphics->MoveTo(x, (B + 1) / 2);
    graphics->DrawText(fText.CString(), 4);
}
