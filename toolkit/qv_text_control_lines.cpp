// The wrapped lines of a multi-line field: layout, drawing and hit tests.
#include <algorithm>

#include "interface_colors.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_text_control.h"
#include "text_chars.h"

namespace {

constexpr int32_t kMaxLines = 256;

} // namespace

int32_t QV_TextControl::LayoutLines(Line* lines, int32_t capacity) const
{
    const QV_Rect rect = TextRect();
    const int32_t width = rect.right - rect.left + 1;
    const int32_t length = fText.Length();
    const char* text = fText.CString();
    int32_t count = 0;
    int32_t s = 0;
    do {
        int32_t end = s;
        while (end < length) {
            if (end > s && TextWidth(fFont, fText, s, end) >= width)
                break;
            int32_t wordEnd = end;
            while (wordEnd < length && text[wordEnd] != ' ' && text[wordEnd] != '\r')
                wordEnd++;
            if (wordEnd < length)
                wordEnd++;
            if (end > s && TextWidth(fFont, fText, s, wordEnd) > width)
                break;
            end = wordEnd;
            if (text[end - 1] == '\r')
                break;
        }
        lines[count++] = { s, end };
        s = end;
    } while (s < length && count < capacity);
    return count;
}

void QV_TextControl::DrawLines(QV_Graphics* graphics)
{
    if (!fFont)
        return;
    const QV_Rect rect = TextRect();
    graphics->SetClipRect(rect.left, rect.top, rect.right, rect.bottom);
    Line lines[kMaxLines];
    const int32_t count = LayoutLines(lines, kMaxLines);
    const int32_t h = fFont->LineHeight();
    const int32_t ascent = fFont->Ascent();
    const int32_t low = std::min(fCaret, fAnchor);
    const int32_t high = std::max(fCaret, fAnchor);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t top = rect.top + i * h;
        QV_String line = fText.Mid(lines[i].start, lines[i].end);
        line.TrimLeft();
        line.TrimRight();
        graphics->SetColorStruct(fFocused || fEnabled ? Text : DisabledText);
        graphics->MoveTo(rect.left, top);
        graphics->DrawText(line.CString(), 3);
        if (fFocused && low != high && low < lines[i].end && high > lines[i].start) {
            const int32_t from = std::max(low, lines[i].start) - lines[i].start;
            const int32_t to = std::min(high, lines[i].end) - lines[i].start;
            const int32_t x0 = rect.left + TextWidth(fFont, line, 0, std::min(from, line.Length()));
            const bool runsOn = high > lines[i].end;
            const int32_t x1
                = runsOn ? rect.right : rect.left + TextWidth(fFont, line, 0, std::min(to, line.Length()));
            const int32_t bottom = runsOn ? top + h - 1 : top + ascent;
            graphics->SetColorStruct(Selection);
            graphics->FillRect(x0, top, x1, bottom);
            graphics->SetClipRect(std::max(x0, rect.left), std::max(top, rect.top), std::min(x1, rect.right),
                std::min(bottom, rect.bottom));
            graphics->SetColorStruct(SelectedText);
            graphics->MoveTo(rect.left, top);
            graphics->DrawText(line.CString(), 3);
            graphics->SetClipRect(rect.left, rect.top, rect.right, rect.bottom);
        }
        const bool holdsCaret = lines[i].start <= fCaret
            && (fCaret < lines[i].end || lines[i].start == lines[i].end || (i == count - 1));
        if (fFocused && fBlinkPhase < 12 && holdsCaret) {
            const int32_t x = rect.left + TextWidth(fFont, fText, lines[i].start, fCaret);
            graphics->SetColorStruct(Text);
            graphics->FillRect(x, top, x + 1, top + ascent);
        }
    }
}

int32_t QV_TextControl::HitTestLines(int32_t x, int32_t y)
{
    if (!fFont)
        return fText.Length();
    const QV_Rect rect = TextRect();
    Line lines[kMaxLines];
    const int32_t count = LayoutLines(lines, kMaxLines);
    const int32_t h = fFont->LineHeight();
    for (int32_t i = 0; i < count; ++i) {
        const int32_t top = rect.top + i * h;
        if (y < top || y > top + h)
            continue;
        const int32_t dx = x - rect.left;
        int32_t result = lines[i].start;
        int32_t position = lines[i].start;
        while (position < lines[i].end) {
            const int32_t next = NextCharStart(fText, position);
            const int32_t before = TextWidth(fFont, fText, lines[i].start, position);
            const int32_t through = TextWidth(fFont, fText, lines[i].start, next);
            if (dx >= before - (through - before) / 2 && dx <= through)
                result = position;
            position = next;
        }
        if (dx > TextWidth(fFont, fText, lines[i].start, lines[i].end))
            result = lines[i].end;
        return std::clamp(result, 0, fText.Length());
    }
    return fText.Length();
}
