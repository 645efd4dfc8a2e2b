#include "qv_angle_widget.h"

#include <cmath>

#include "interface_colors.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_text_control.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kWheelStep = 0.08726647f;
constexpr float kWheelStepCtrlShift = 0.17453294f;
constexpr float kWheelStepCtrl = 0.043633234f;

} // namespace

float WrapAngle(float radians)
{
    if (!std::isfinite(radians))
        return 0;
    if (radians >= 0 && radians < kTwoPi)
        return radians;
    // fmod instead of repeated steps: a huge angle would never get there.
    float wrapped = std::fmod(radians, kTwoPi);
    if (wrapped < 0)
        wrapped += kTwoPi;
    // A tiny negative remainder can round up to 2 pi itself.
    return wrapped >= kTwoPi ? 0 : wrapped;
}

QV_AngleKnob::QV_AngleKnob()
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fShowGuides(true)
    , fMessage(MSG_ANGLE_KNOB)
    , fAngle(0)
{
    ResizeTo(ScaledMetric30(), ScaledMetric30());
}

void QV_AngleKnob::SetValue(float radians)
{
    fAngle = WrapAngle(radians);
    Redraw(true);
}

float QV_AngleKnob::Value() const
{
    return WrapAngle(fAngle);
}

void QV_AngleKnob::AngleFromPoint(int32_t x, int32_t y, int32_t modifiers)
{
    QV_Rect b = Bounds();
    const int32_t w = b.right - b.left + 1;
    const int32_t h = b.bottom - b.top + 1;
    if (w > h)
        b.right = b.left + h;
    else if (h > w)
        b.bottom = b.top + w;
    const float cx = float(b.left) + float(b.right - b.left) / 2;
    const float cy = float(b.top) + float(b.bottom - b.top) / 2;
    fAngle = std::atan2(cy - float(y), float(x) - cx);
    if (modifiers & MODIFIER_SHIFT) {
        const float degrees = fAngle * 180 / kPi;
        const float n = std::round(degrees / 45);
        fAngle = n * 45 * kPi / 180;
    }
}

void QV_AngleKnob::UserChanged()
{
    Redraw(true);
    PostMessage(fMessage);
}

void QV_AngleKnob::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseDown(x, y, button, modifiers, message);
    if (!fEnabled)
        return;
    AngleFromPoint(x, y, modifiers);
    UserChanged();
}

void QV_AngleKnob::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseMoved(x, y, modifiers, message);
    if (!fEnabled || !AnyButtonDown())
        return;
    AngleFromPoint(x, y, modifiers);
    UserChanged();
}

void QV_AngleKnob::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseUp(x, y, button, modifiers, message);
    if (!fEnabled)
        return;
    AngleFromPoint(x, y, modifiers);
    UserChanged();
}

void QV_AngleKnob::MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseWheel(distance, x, y, modifiers, message);
    if (!fEnabled)
        return;
    float step = kWheelStep;
    if (modifiers & MODIFIER_CTRL)
        step = (modifiers & MODIFIER_SHIFT) ? kWheelStepCtrlShift : kWheelStepCtrl;
    fAngle = WrapAngle(fAngle + distance * step);
    UserChanged();
}

void QV_AngleKnob::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect b = Bounds();
    const int32_t r = b.right;
    const int32_t bottom = b.bottom;
    const int32_t w = r + 1;
    const int32_t h = bottom + 1;
    if (fShowGuides) {
        const int32_t f = h / 2 - 1;
        graphics->SetSmoothing(false);
        if (fEnabled) {
            graphics->SetColorStruct(WidgetOutline);
            graphics->DrawLine(0.0f, float(f), float(r), float(f));
            graphics->DrawLine(float(f), 0.0f, float(f), float(bottom));
        }
        graphics->SetColorStruct(WidgetShadow);
        graphics->DrawLine(0.0f, float(f + 1), float(r), float(f + 1));
        graphics->DrawLine(float(f + 1), 0.0f, float(f + 1), float(bottom));
        graphics->SetSmoothing(true);
        const float m = float(w / 8);
        graphics->DrawLine(m, m + 1, float(r) - m, float(bottom) - m + 1);
        graphics->DrawLine(float(r) - m, m + 1, m, float(bottom) - m + 1);
        if (fEnabled) {
            graphics->SetColorStruct(WidgetOutline);
            graphics->DrawLine(m, m, float(r) - m, float(bottom) - m);
            graphics->DrawLine(float(r) - m, m, m, float(bottom) - m);
        }
    }
    graphics->SetSmoothing(true);
    const int32_t f = w / 8;
    graphics->SetColorStruct(WidgetFill);
    graphics->FillEllipse(f, f, r - f, bottom - f);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameEllipse(f, f, r - f - 2, bottom - f - 2);
    graphics->SetColorStruct(WidgetHighlight);
    graphics->FrameEllipse(f + 2, f + 2, r - f, bottom - f);
    if (fEnabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameEllipse(f, f, r - f, bottom - f);
    }
    graphics->SetPenWidth(2);
    graphics->SetColorStruct(fEnabled ? WidgetOutline : WidgetShadow);
    const float cx = float(w) / 2;
    const float cy = float(h) / 2;
    const float radius = float(w) / 2 - float(f) - 1;
    graphics->DrawLine(cx, cy, cx + std::cos(fAngle) * radius, cy - std::sin(fAngle) * radius);
    graphics->SetPenWidth(1);
}

QV_AngleWidget::QV_AngleWidget(int32_t message)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, false)
    , fMessage(message)
    , fKnob(new QV_AngleKnob())
    , fField(new QV_TextControl(2 * ScaledMetric30(), "0.00", MSG_ANGLE_FIELD, FIELD_UFLOAT))
{
    fField->SetWheelInc(5);
    fField->SetConstantMessages(true);
    auto* layout = new QV_LayoutView(true, 0, 0, 0);
    layout->AddChild(fKnob, ALIGN_CENTER);
    layout->AddChild(fField, ALIGN_CENTER);
    AddChild(layout);
    const QV_Point size = layout->PreferredSize();
    layout->ResizeTo(size.x, size.y);
    layout->Layout();
    ResizeTo(size.x, size.y);
}

void QV_AngleWidget::SetValue(float radians)
{
    fKnob->SetValue(radians);
    fField->SetValue((std::isfinite(radians) ? radians : 0) * 180 / kPi);
}

float QV_AngleWidget::Value() const
{
    return fKnob->Value();
}

void QV_AngleWidget::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == MSG_ANGLE_FIELD) {
        fKnob->SetValue(fField->FloatValue() * kPi / 180);
        PostMessage(fMessage);
        return;
    }
    if (message && message->fWhat == MSG_ANGLE_KNOB) {
        const float degrees = fKnob->Value() * 180 / kPi;
        fField->SetValue(std::round(degrees * 100) / 100);
        PostMessage(fMessage);
        return;
    }
    QV_View::HandleMessage(message);
}
