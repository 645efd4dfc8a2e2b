#include "status_bar.h"

#include "follow_flags.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_static_text.h"

StatusBar::StatusBar(bool atBottom, int32_t left, int32_t top, int32_t right, int32_t bottom)
    : QV_View(FOLLOW_LEFT | FOLLOW_RIGHT | (atBottom ? FOLLOW_BOTTOM : FOLLOW_TOP))
{
    MoveTo(left, top);
    ResizeTo(right - left + 1, bottom - top + 1);
}

void StatusBar::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    const QV_Rect bounds = Bounds();
    graphics->SetColorStruct(WidgetFill);
    graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRoundRect(3, bounds.left, bounds.top, bounds.right, bounds.bottom);
    QV_Font* font = gWidgetFont;
    if (!font)
        return;
    graphics->SetFont(font);
    graphics->SetColorStruct(Text);
    const int32_t middle = (bounds.top + bounds.bottom) / 2;
    const int32_t rightWidth = font->StringWidth(fRightText.CString());
    DrawLineCentredAt(graphics, bounds.right - 4 - rightWidth, middle, fRightText.CString());
    graphics->SetClipRect(bounds.left + 4, bounds.top, bounds.right - rightWidth - 20, bounds.bottom);
    DrawLineCentredAt(graphics, bounds.left + 4, middle, fLeftText.CString());
    graphics->ResetClip();
}

void StatusBar::SetRightText(const char* text)
{
    fRightText = text ? text : "";
    Draw();
    Refresh();
}

void StatusBar::SetLeftText(const char* text)
{
    fLeftText = text ? text : "";
    Draw();
    Refresh();
}
