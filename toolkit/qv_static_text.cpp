#include "qv_static_text.h"

#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"

void DrawLineCentredAt(QV_Graphics* graphics, int32_t x, int32_t y, const char* text)
{
    if (!graphics->fFont || !text)
        return;
    graphics->MoveTo(x, y);
    graphics->DrawText(text, 4);
}

QV_StaticText::QV_StaticText(const char* text)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, false)
    , fLabel(text ? text : "")
{
    ResizeTo((gWidgetFont ? gWidgetFont->StringWidth(fLabel.CString()) : 0) + 4, ScaledMetric20());
}

void QV_StaticText::DrawWidget(QV_Graphics* graphics)
{
    // Labels stay readable next to disabled fields.
    graphics->SetColorStruct(Text);
    const QV_Rect bounds = Bounds();
    DrawLineCentredAt(
        graphics, bounds.left, bounds.top + (bounds.bottom - bounds.top + 1) / 2, fLabel.CString());
}
