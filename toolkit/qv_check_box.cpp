#include "qv_check_box.h"

#include "follow_flags.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_message.h"

namespace {

int32_t BoxSize()
{
    return ScaledMetric20() / 6 + ScaledMetric20() / 2;
}

int32_t LabelWidth(const char* label)
{
    return gWidgetFont && label ? gWidgetFont->StringWidth(label) : 0;
}

// The press and the drag are the same for both kinds of button.
void Press(QV_BaseWidget* widget, bool& pressed)
{
    if (!widget->fEnabled)
        return;
    pressed = true;
    widget->Redraw(true);
}

void Drag(QV_BaseWidget* widget, bool& pressed, int32_t x, int32_t y)
{
    if (!widget->fEnabled)
        return;
    const QV_Rect b = widget->Bounds();
    pressed = x >= b.left && x <= b.right && y >= b.top && y <= b.bottom;
    if (widget->AnyButtonDown())
        widget->Redraw(true);
}

bool Inside(const QV_BaseWidget* widget, int32_t x, int32_t y)
{
    const QV_Rect b = widget->Bounds();
    return x >= b.left && x <= b.right && y >= b.top && y <= b.bottom;
}

struct Box {
    int32_t l, y0, x1, y1, cy;
};

Box BoxOf(const QV_BaseWidget* widget, int32_t size)
{
    const QV_Rect b = widget->Bounds();
    Box box;
    box.l = b.left;
    box.cy = b.top + (b.bottom - b.top + 1) / 2;
    box.y0 = box.cy - size / 2;
    box.x1 = b.left + size - 1;
    box.y1 = box.y0 + size - 1;
    return box;
}

void DrawLabel(QV_Graphics* graphics, const Box& box, int32_t size, bool enabled, const QV_String& label)
{
    graphics->SetColorStruct(enabled ? Text : DisabledText);
    graphics->MoveTo(box.l + size + 4, box.cy);
    graphics->DrawText(label.CString(), 4);
}

rgb_color MarkColor(bool enabled)
{
    rgb_color mark = WidgetMark;
    if (!enabled)
        mark.a = 128;
    return mark;
}

} // namespace

QV_CheckBox::QV_CheckBox(const char* label, int32_t message)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fValue(false)
    , fLabel(label ? label : "")
    , fMessage(message)
    , fBoxSize(BoxSize())
    , fPressed(false)
{
    fFont = gWidgetFont;
    ResizeTo(LabelWidth(label) + fBoxSize + 8, ScaledMetric20());
}

void QV_CheckBox::MouseDown(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    Press(this, fPressed);
}

void QV_CheckBox::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    Drag(this, fPressed, x, y);
}

void QV_CheckBox::MouseUp(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    fPressed = false;
    if (!Inside(this, x, y)) {
        Redraw(true);
        return;
    }
    fValue = !fValue;
    Redraw(true);
    PostMessage(fMessage);
}

void QV_CheckBox::SetValue(bool value)
{
    fValue = value;
    Redraw(true);
}

void QV_CheckBox::DrawWidget(QV_Graphics* graphics)
{
    const Box box = BoxOf(this, fBoxSize);
    graphics->SetColorStruct(WidgetFill);
    graphics->FillRect(box.l, box.y0, box.x1, box.y1);
    if (fEnabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRect(box.l, box.y0, box.x1, box.y1);
    }
    const bool sunken = AnyButtonDown() && fPressed;
    graphics->SetColorStruct(sunken ? WidgetHighlight : WidgetShadow);
    graphics->MoveTo(box.l + 1, box.y1 - 1);
    graphics->LineTo(box.x1 - 1, box.y1 - 1);
    graphics->LineTo(box.x1 - 1, box.y0 + 1);
    graphics->SetColorStruct(sunken ? WidgetShadow : WidgetHighlight);
    graphics->MoveTo(box.l + 1, box.y1 - 1);
    graphics->LineTo(box.l + 1, box.y0 + 1);
    graphics->LineTo(box.x1 - 1, box.y0 + 1);
    if (fValue) {
        const int32_t s = fBoxSize;
        const float px[4] = { 2.0f, float(s / 2), float(s + 2), float(s / 2) };
        const float py[4] = { float(s / 4), float(s - 2), -2.0f, float(s / 2) };
        graphics->SetColorStruct(MarkColor(fEnabled));
        graphics->SetSmoothing(true);
        graphics->BeginShape();
        for (int i = 0; i < 4; ++i) {
            const int j = (i + 1) % 4;
            graphics->AddLineSegment(
                { float(box.l) + px[i], float(box.y0) + py[i], float(box.l) + px[j], float(box.y0) + py[j] });
        }
        if (graphics->EndShape())
            graphics->FillShape();
        graphics->SetSmoothing(false);
    }
    DrawLabel(graphics, box, fBoxSize, fEnabled, fLabel);
}

QV_RadioButton::QV_RadioButton(const char* label, int32_t message)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fValue(false)
    , fLabel(label ? label : "")
    , fMessage(message)
    , fBoxSize(BoxSize())
    , fPressed(false)
{
    fFont = gWidgetFont;
    ResizeTo(LabelWidth(label) + fBoxSize + 8, ScaledMetric20());
}

void QV_RadioButton::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == MSG_UNCHECK_RADIO) {
        fValue = false;
        Redraw(true);
        return;
    }
    QV_BaseWidget::HandleMessage(message);
}

void QV_RadioButton::MouseDown(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    Press(this, fPressed);
}

void QV_RadioButton::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    Drag(this, fPressed, x, y);
}

void QV_RadioButton::MouseUp(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    fPressed = false;
    if (!Inside(this, x, y)) {
        Redraw(true);
        return;
    }
    fValue = true;
    Redraw(true);
    UncheckSiblings();
    PostMessage(fMessage);
}

void QV_RadioButton::SetValue(bool value)
{
    fValue = value;
    Redraw(true);
    if (value)
        UncheckSiblings();
}

void QV_RadioButton::UncheckSiblings()
{
    QV_View* parent = fParent;
    if (!parent)
        return;
    for (int32_t i = 0; i < parent->fChildCount; ++i) {
        QV_View* child = parent->fChildren[i];
        if (child != this)
            child->PostMessage(MSG_UNCHECK_RADIO);
    }
}

void QV_RadioButton::DrawWidget(QV_Graphics* graphics)
{
    const Box box = BoxOf(this, fBoxSize);
    const bool sunken = AnyButtonDown() && fPressed;
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(WidgetFill);
    graphics->FillEllipse(box.l, box.y0, box.x1, box.y1);
    graphics->SetColorStruct(sunken ? WidgetHighlight : WidgetShadow);
    graphics->FrameEllipse(box.l, box.y0, box.x1 - 2, box.y1 - 2);
    graphics->SetColorStruct(sunken ? WidgetShadow : WidgetHighlight);
    graphics->FrameEllipse(box.l + 2, box.y0 + 2, box.x1, box.y1);
    if (fEnabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameEllipse(box.l, box.y0, box.x1, box.y1);
    }
    if (fValue) {
        graphics->SetColorStruct(MarkColor(fEnabled));
        graphics->FillEllipse(box.l + 3, box.y0 + 3, box.x1 - 3, box.y1 - 3);
    }
    graphics->SetSmoothing(false);
    DrawLabel(graphics, box, fBoxSize, fEnabled, fLabel);
}
