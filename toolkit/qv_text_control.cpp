#include "qv_text_control.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "widget_rounding.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "plat_beep.h"
#include "qv_cursor.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "qv_wnd.h"
#include "text_chars.h"

namespace {

bool IsDigit(uint32_t code)
{
    return code >= '0' && code <= '9';
}

} // namespace

int32_t TextWidth(QV_Font* font, const QV_String& text, int32_t start, int32_t end)
{
    if (!font || end <= start)
        return 0;
    const QV_String part = text.Mid(start, end);
    return font->StringWidth(part.CString());
}

QV_String FormatFieldNumber(float value, int32_t fieldType)
{
    char text[64];
    const double x = value;
    if (fieldType == FIELD_INT || fieldType == FIELD_UINT) {
        std::snprintf(text, sizeof text, "%d", RoundHalfAway(x));
        return QV_String(text);
    }
    const double n = std::round(x);
    if (std::fabs(n - x) < 1e-6) {
        std::snprintf(text, sizeof text, "%d", int32_t(n));
        return QV_String(text);
    }
    double whole = 0;
    const double fraction = std::modf(std::fabs(x), &whole);
    std::snprintf(text, sizeof text, "%0.4f", fraction);
    const QV_String fractionText = text;
    const bool shortForm = fractionText.Length() >= 2 && fractionText.Right(2) == "00";
    std::snprintf(text, sizeof text, shortForm ? "%0.2f" : "%0.4f", x);
    return QV_String(text);
}

QV_TextControl::QV_TextControl(int32_t width, const char* text, int32_t message, int32_t fieldType)
    : QV_AnimatedWidget(FOLLOW_LEFT | FOLLOW_TOP, true, 20.0f, false)
    , fBlinkPhase(0)
    , fScrollX(0)
    , fCaret(0)
    , fAnchor(0)
    , fLastMouseX(0)
    , fLastMouseY(0)
    , fFieldType(fieldType)
    , fWheelInc(0)
    , fMessage(message)
    , fConstantMessages(false)
    , fText(text ? text : "")
{
    fCursor = gTextCursor;
    fCaret = fText.Length();
    if (fieldType == FIELD_INT || fieldType == FIELD_UINT)
        fWheelInc = 1.0f;
    else if (fieldType == FIELD_FLOAT || fieldType == FIELD_UFLOAT)
        fWheelInc = 0.25f;
    int32_t fieldWidth = (fFont ? fFont->StringWidth(fText.CString()) : 0) + 16;
    if (width > 0 && width > fieldWidth)
        fieldWidth = width;
    ResizeTo(fieldWidth, ScaledMetric20());
}

QV_TextControl::~QV_TextControl()
{
    if (gFocusedTextControl == this)
        gFocusedTextControl = nullptr;
}

void QV_TextControl::SetValue(const char* text)
{
    fText = text ? text : "";
    fCommittedText = fText;
    fCaret = fAnchor = fText.Length();
    Redraw(true);
}

void QV_TextControl::SetValue(int32_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    SetValue(text);
}

void QV_TextControl::SetValue(float value)
{
    SetValue(FormatFieldNumber(value, fFieldType).CString());
}

int32_t QV_TextControl::IntValue() const
{
    long long value = 0;
    if (fText.IsEmpty() || std::sscanf(fText.CString(), "%lld", &value) != 1)
        return 0;
    return int32_t(std::clamp(value, -1000000LL, 1000000LL));
}

float QV_TextControl::FloatValue() const
{
    float value = 0;
    if (fText.IsEmpty() || std::sscanf(fText.CString(), "%f", &value) != 1 || std::isnan(value))
        return 0;
    return std::clamp(value, -1e6f, 1e6f);
}

void QV_TextControl::SelectAll()
{
    fCaret = fText.Length();
    fAnchor = 0;
    Redraw(true);
}

void QV_TextControl::Commit()
{
    if (fText == fCommittedText)
        return;
    fCommittedText = fText;
    PostMessage(fMessage);
}

bool QV_TextControl::AcceptsFocus()
{
    return true;
}

bool QV_TextControl::WantsReturn()
{
    return fFieldType == FIELD_MULTILINE;
}

void QV_TextControl::FocusChanged(bool focused)
{
    fBlinkPhase = 0;
    SelectAll();
    if (focused) {
        gFocusedTextControl = this;
        StartAnimation();
    } else {
        if (gFocusedTextControl == this)
            gFocusedTextControl = nullptr;
        StopAnimation();
        Commit();
    }
}

void QV_TextControl::Tick(QV_Graphics*, int32_t, float, float)
{
    fBlinkPhase = (fBlinkPhase + 1) % 20;
}

bool QV_TextControl::Accepts(uint32_t code) const
{
    switch (fFieldType) {
    case FIELD_INT:
        return IsDigit(code) || code == '-';
    case FIELD_FLOAT:
        return IsDigit(code) || code == '.' || code == '-';
    case FIELD_UINT:
        return IsDigit(code);
    case FIELD_UFLOAT:
        return IsDigit(code) || code == '.';
    case FIELD_NODIGITS:
        return !IsDigit(code);
    default:
        return true;
    }
}

void QV_TextControl::Settle()
{
    fCaret = CharStartAtOrBefore(fText, std::clamp(fCaret, 0, fText.Length()));
    fAnchor = fCaret;
    Redraw(true);
}

void QV_TextControl::DeleteSelection()
{
    const int32_t low = std::min(fCaret, fAnchor);
    const int32_t high = std::max(fCaret, fAnchor);
    fText = fText.Left(low) + fText.Mid(high, fText.Length());
    fCaret = fAnchor = low;
}

void QV_TextControl::DeleteAround(bool backwards)
{
    if (fCaret != fAnchor) {
        DeleteSelection();
    } else if (backwards && fCaret > 0) {
        const int32_t start = PreviousCharStart(fText, fCaret);
        fText = fText.Left(start) + fText.Mid(fCaret, fText.Length());
        fCaret = start;
    } else if (!backwards && fCaret < fText.Length()) {
        const int32_t end = NextCharStart(fText, fCaret);
        fText = fText.Left(fCaret) + fText.Mid(end, fText.Length());
    }
    Settle();
}

void QV_TextControl::InsertBytes(const char* bytes)
{
    const QV_String inserted = bytes;
    fText = fText.Left(fCaret) + inserted + fText.Mid(fCaret, fText.Length());
    fCaret += inserted.Length();
}

void QV_TextControl::TypeCharacter(uint32_t code)
{
    if (!Accepts(code)) {
        PlatBeep();
        return;
    }
    char bytes[5];
    if (!EncodeUtf8(code, bytes))
        return;
    if (fCaret != fAnchor)
        DeleteSelection();
    InsertBytes(bytes);
    Settle();
}

void QV_TextControl::KeyDown(int32_t key, int32_t modifiers)
{
    if (!fEnabled)
        return;
    if (modifiers & (MODIFIER_CTRL | MODIFIER_ALT)) {
        const int32_t low = std::min(fCaret, fAnchor);
        const int32_t high = std::max(fCaret, fAnchor);
        QV_Wnd* window = Window();
        switch (key) {
        case 'a':
        case 'A':
            fAnchor = 0;
            fCaret = fText.Length();
            Redraw(true);
            return;
        case 'c':
        case 'C':
        case 'x':
        case 'X':
            if (high > low && window)
                window->CopyTextToClipboard(fText.Mid(low, high).CString());
            if (key == 'x' || key == 'X') {
                DeleteAround(true);
                if (fConstantMessages)
                    Commit();
            }
            return;
        case 'v':
        case 'V': {
            const char* pasted = window ? window->PasteText() : nullptr;
            if (!pasted)
                return;
            // Copied before the selection goes: the paste buffer stays ours.
            const QV_String text = pasted;
            if (fCaret != fAnchor)
                DeleteSelection();
            InsertBytes(text.CString());
            Settle();
            Commit();
            return;
        }
        default:
            return;
        }
    }
    switch (key) {
    case KEY_LEFT:
    case KEY_RIGHT:
    case KEY_HOME:
    case KEY_END:
        if (key == KEY_LEFT)
            fCaret = PreviousCharStart(fText, fCaret);
        else if (key == KEY_RIGHT)
            fCaret = NextCharStart(fText, fCaret);
        else
            fCaret = key == KEY_HOME ? 0 : fText.Length();
        fCaret = std::clamp(fCaret, 0, fText.Length());
        if (!(modifiers & MODIFIER_SHIFT))
            fAnchor = fCaret;
        fBlinkPhase = 0;
        Redraw(true);
        break;
    case KEY_RETURN:
        if (fFieldType == FIELD_MULTILINE)
            TypeCharacter(13);
        else
            Commit();
        break;
    case KEY_BACKSPACE:
    case KEY_DELETE:
        DeleteAround(key == KEY_BACKSPACE);
        break;
    default:
        if (key >= 0xD800 && key <= 0xDBFF) {
            fPendingHighSurrogate = uint32_t(key);
            return;
        }
        if (key >= 0xDC00 && key <= 0xDFFF) {
            if (fPendingHighSurrogate)
                TypeCharacter(0x10000 + ((fPendingHighSurrogate - 0xD800) << 10) + (uint32_t(key) - 0xDC00));
            fPendingHighSurrogate = 0;
            break;
        }
        fPendingHighSurrogate = 0;
        if (key >= 32)
            TypeCharacter(uint32_t(key));
        break;
    }
    if (fConstantMessages)
        Commit();
}

void QV_TextControl::MouseDown(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    fCaret = fAnchor = HitTest(x, y);
    fLastMouseX = x;
    fLastMouseY = y;
    fBlinkPhase = 0;
    Redraw(true);
}

void QV_TextControl::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    if (!fEnabled)
        return;
    if (fLeftDown) {
        fCaret = HitTest(x, y);
        Redraw(true);
    } else if (fRightDown) {
        const int32_t steps = (x - fLastMouseX) / 8;
        if (steps != 0) {
            MouseWheel(float(steps), x, y, modifiers, message);
            fLastMouseX = x;
            fLastMouseY = y;
        }
    }
}

void QV_TextControl::MouseUp(int32_t, int32_t, int32_t, int32_t, QV_Message*) { }

void QV_TextControl::MouseWheel(float delta, int32_t, int32_t, int32_t modifiers, QV_Message* message)
{
    if (!fEnabled || fFieldType == FIELD_TEXT || fFieldType == FIELD_NODIGITS)
        return;
    const QV_String before = fText;
    const float v = FloatValue();
    float d = fWheelInc * delta;
    if (modifiers & (MODIFIER_SHIFT | MODIFIER_ALT))
        d *= 2;
    if (modifiers & MODIFIER_CTRL)
        d /= 2;
    if ((fFieldType == FIELD_INT || fFieldType == FIELD_UINT) && d > -1 && d < 0)
        d = -1;
    const float n = v + d;
    switch (fFieldType) {
    case FIELD_INT:
        SetValue(RoundHalfAway(n));
        break;
    case FIELD_UINT:
        SetValue(n < 0 ? 0 : RoundHalfAway(n));
        break;
    case FIELD_FLOAT:
        SetValue(n);
        break;
    case FIELD_UFLOAT:
        SetValue(n < 0 ? 0.0f : n);
        break;
    default:
        break;
    }
    if (message)
        message->AddBool("HandledMouseWheel", true);
    Redraw(true);
    if (fText != before)
        PostMessage(fMessage);
}

QV_Rect QV_TextControl::TextRect() const
{
    const QV_Rect bounds = Bounds();
    const int32_t inset = ScaledMetric3();
    return { bounds.left + inset, bounds.top + 3, bounds.right - inset, bounds.bottom - 3 };
}

QV_String QV_TextControl::DisplayText() const
{
    if (fFieldType != FIELD_PASSWORD)
        return fText;
    QV_String stars;
    const int32_t count = CharCount(fText, fText.Length());
    for (int32_t i = 0; i < count; ++i)
        stars.Append('*');
    return stars;
}

int32_t QV_TextControl::DisplayOffset(int32_t position) const
{
    return fFieldType == FIELD_PASSWORD ? CharCount(fText, position) : position;
}

int32_t QV_TextControl::HitTest(int32_t x, int32_t y)
{
    if (fFieldType == FIELD_MULTILINE)
        return HitTestLines(x, y);
    return HitTestOneLine(x);
}

int32_t QV_TextControl::HitTestOneLine(int32_t x)
{
    // Measured on what is drawn, so a click in a password field lands where
    // the stars suggest.
    const QV_String shown = DisplayText();
    const QV_Rect rect = TextRect();
    int32_t pen = rect.left - fScrollX;
    int32_t result = 0;
    int32_t position = 0;
    while (position < fText.Length()) {
        const int32_t next = NextCharStart(fText, position);
        const int32_t w = TextWidth(fFont, shown, DisplayOffset(position), DisplayOffset(next));
        if (x > pen + w / 2)
            result = next;
        pen += w;
        position = next;
    }
    return std::clamp(result, 0, fText.Length());
}

void QV_TextControl::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect bounds = Bounds();
    const int32_t r = ScaledMetric3();
    graphics->SetColorStruct(fEnabled ? TextBackground : DisabledTextBackground);
    graphics->FillRoundRect(r, bounds.left + 1, bounds.top + 1, bounds.right - 1, bounds.bottom - 1);
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(r, bounds.left + 1, bounds.top, bounds.right - 1, bounds.bottom);
    if (fEnabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRoundRect(r, bounds.left, bounds.top + 1, bounds.right, bounds.bottom - 1);
    }
    graphics->SetSmoothing(false);
    if (fFieldType == FIELD_MULTILINE)
        DrawLines(graphics);
    else
        DrawOneLine(graphics);
    graphics->ResetClip();
}

void QV_TextControl::DrawOneLine(QV_Graphics* graphics)
{
    const QV_Rect rect = TextRect();
    graphics->SetClipRect(rect.left, rect.top, rect.right, rect.bottom);
    const int32_t y = rect.top + (rect.bottom - rect.top + 1) / 2;
    const QV_String shown = DisplayText();
    if (fFocused && fFont) {
        const int32_t caretX = rect.left + TextWidth(fFont, shown, 0, DisplayOffset(fCaret));
        const int32_t v = caretX - fScrollX;
        if (v > rect.right - 8)
            fScrollX = caretX - rect.right + 8;
        else if (v < rect.left + 8)
            fScrollX = caretX - rect.left - 8;
        else if (fCaret == fText.Length() && v < rect.right - 8)
            fScrollX = caretX - rect.right + 8;
        if (fScrollX < 0)
            fScrollX = 0;
    } else {
        fScrollX = 0;
    }
    const int32_t start = rect.left - fScrollX;
    if (!fFocused) {
        graphics->SetColorStruct(fEnabled ? Text : DisabledText);
        graphics->MoveTo(start, y);
        graphics->DrawText(shown.CString(), 4);
        return;
    }
    const int32_t low = DisplayOffset(std::min(fCaret, fAnchor));
    const int32_t high = DisplayOffset(std::max(fCaret, fAnchor));
    if (low == high) {
        graphics->SetColorStruct(Text);
        graphics->MoveTo(start, y);
        graphics->DrawText(shown.CString(), 4);
    } else {
        const int32_t lowX = start + TextWidth(fFont, shown, 0, low);
        const int32_t highX = start + TextWidth(fFont, shown, 0, high);
        graphics->SetColorStruct(Selection);
        graphics->FillRect(lowX, rect.top, highX - 1, rect.bottom);
        graphics->SetColorStruct(Text);
        graphics->MoveTo(start, y);
        graphics->DrawText(shown.Left(low).CString(), 4);
        graphics->SetColorStruct(SelectedText);
        graphics->MoveTo(lowX, y);
        graphics->DrawText(shown.Mid(low, high).CString(), 4);
        graphics->SetColorStruct(Text);
        graphics->MoveTo(highX, y);
        graphics->DrawText(shown.Mid(high, shown.Length()).CString(), 4);
    }
    if (fBlinkPhase < 12) {
        const int32_t caretX = start + TextWidth(fFont, shown, 0, DisplayOffset(fCaret));
        graphics->SetColorStruct(Text);
        graphics->FillRect(caretX, rect.top, caretX + 1, rect.bottom);
    }
}
