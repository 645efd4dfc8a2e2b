#include "qv_box.h"

#include <algorithm>

#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"

QV_Box::QV_Box(const char* title)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, false)
    , fTitle(title ? title : "")
{
    fFont = gMenuFont;
}

int32_t QV_Box::TitleAllowance() const
{
    return fFont ? fFont->Ascent() : 0;
}

int32_t QV_Box::TitleWidth() const
{
    return fFont ? fFont->StringWidth(fTitle.CString()) : 0;
}

QV_Point QV_Box::PreferredSize()
{
    const int32_t t = TitleAllowance();
    if (fChildCount != 1)
        return { TitleWidth() + 16, t + 16 };
    const QV_Point child = fChildren[0]->PreferredSize();
    return { std::max(child.x + 16, TitleWidth() + 32), child.y + t + 16 };
}

void QV_Box::Layout()
{
    if (fChildCount != 1) {
        QV_View::Layout();
        return;
    }
    QV_View* child = fChildren[0];
    child->Layout();
    const QV_Point childSize = child->PreferredSize();
    child->ResizeTo(childSize.x, childSize.y);
    const QV_Point preferred = PreferredSize();
    SetSize(preferred.x, preferred.y);
    child->MoveTo(8, TitleAllowance() + 8);
}

void QV_Box::Arrange()
{
    if (fChildCount != 1) {
        QV_View::Arrange();
        return;
    }
    const QV_Point size = Size();
    const int32_t t = TitleAllowance();
    QV_View* child = fChildren[0];
    child->SetSize(size.x - 16, size.y - t - 16);
    child->Arrange();
    child->MoveTo(8, t + 8);
}

void QV_Box::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect bounds = Bounds();
    const int32_t R = bounds.right;
    const int32_t B = bounds.bottom;
    const int32_t r = ScaledMetric6();
    const int32_t t = TitleAllowance();
    const int32_t x0 = r + 6;
    const int32_t x1 = x0 + std::min(R - 15, TitleWidth());
    const int32_t top = t / 2;
    graphics->FillGradientRect(r, true, BoxGradient1, BoxGradient2, 0, top, R, B);
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(BoxOutline);
    const int32_t m = (B + 1) / 2;
    const QV_Rect clips[3] = { { 0, m, R, B }, { 0, 0, x0 - 4, m - 1 }, { x1 + 4, 0, R, m - 1 } };
    for (const QV_Rect& clip : clips) {
        if (clip.right < clip.left || clip.bottom < clip.top)
            continue;
        graphics->SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
        graphics->FrameRoundRect(r, 0, top, R, B);
        graphics->FrameRoundRect(r, 1, top, R - 1, B);
        graphics->FrameRoundRect(r, 0, top + 1, R, B - 1);
        graphics->FrameRoundRect(r, 1, top + 1, R - 1, B - 1);
    }
    graphics->ResetClip();
    if (x1 > x0) {
        graphics->SetClipRect(x0, 0, x1, B);
        graphics->SetColorStruct(Text);
        graphics->MoveTo(x0, top);
        graphics->DrawText(fTitle.CString(), 4);
        graphics->ResetClip();
    }
}
