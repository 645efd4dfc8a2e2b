#include "console_view.h"

#include <algorithm>

#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "raster_fill.h"

namespace {

// The pen gives the top of the text.
constexpr int32_t kTextFromTop = 3;

} // namespace

QVi_ConsoleView::QVi_ConsoleView()
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
{
}

int32_t QVi_ConsoleView::LineHeight()
{
    return gWidgetFont ? gWidgetFont->LineHeight() : 0;
}

void QVi_ConsoleView::AddLine(const char* text, rgb_color color)
{
    fLines.AddLine(text, color);
    const QV_Point size = Size();
    // The width never shrinks: a wide line that scrolled out leaves the view as wide.
    const int32_t textWidth = gWidgetFont && text ? gWidgetFont->StringWidth(text) : 0;
    const int32_t width = std::max(textWidth, size.x);
    const int32_t height = std::max(1, fLines.Count() * LineHeight());
    ResizeTo(width, height);
}

void QVi_ConsoleView::Draw()
{
    if (QV_Graphics* graphics = GetGraphics()) {
        FillRaster(graphics->fTarget, WindowBackground);
        if (gWidgetFont) {
            graphics->SetFont(gWidgetFont);
            const int32_t h = gWidgetFont->LineHeight();
            for (int32_t i = 0; i < fLines.Count(); i++) {
                const QVi_ConsoleLine* line = fLines.Line(i);
                graphics->MoveTo(0, i * h);
                graphics->SetColorStruct(line->fColor);
                graphics->DrawText(line->fText.CString(), kTextFromTop);
            }
        }
        graphics->EndDraw();
    }
    QV_View::Draw();
}
