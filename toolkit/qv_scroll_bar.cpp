#include "qv_scroll_bar.h"

#include <cmath>

#include "widget_rounding.h"
#include "interface_colors.h"
#include "qv_color.h"
#include "qv_graphics.h"
#include "qv_message.h"
#include "qv_wnd.h"

namespace {

constexpr float kRepeatSeconds = 0.11f;

} // namespace

int32_t ScrollBarThickness()
{
    return RoundHalfAway(float(ScaledMetric20() * 0.889));
}

QV_ScrollBar::QV_ScrollBar(bool vertical, int32_t length, int32_t message, int32_t follow)
    : QV_BaseWidget(follow, true)
    , fVertical(vertical)
    , fPressedPart(0)
    , fHotPart(0)
    , fLastX(0)
    , fLastY(0)
    , fTimerId(0)
    , fMessage(message)
    , fMin(0)
    , fMax(100)
    , fValue(0)
    , fStep(5)
    , fPage(20)
    , fTimerWindow(nullptr)
{
    const int32_t t = ScrollBarThickness();
    if (vertical)
        ResizeTo(t, length);
    else
        ResizeTo(length, t);
}

QV_ScrollBar::~QV_ScrollBar()
{
    StopRepeat();
}

void QV_ScrollBar::SetValue(int32_t value)
{
    if (value < fMin)
        value = fMin;
    else if (value > fMax)
        value = fMax;
    fValue = value;
    Redraw(true);
}

void QV_ScrollBar::ResetValue()
{
    fValue = fMin > 0 ? fMin : (fMax < 0 ? fMax : 0);
    Redraw(true);
    PostMessage(fMessage);
}

void QV_ScrollBar::SetRange(int32_t max)
{
    fMin = 0;
    fMax = max;
    if (fValue < 0)
        fValue = 0;
    else if (fValue > max)
        fValue = max;
    Redraw(true);
}

void QV_ScrollBar::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == MSG_TICK) {
        RepeatStep();
        return;
    }
    QV_View::HandleMessage(message);
}

void QV_ScrollBar::RepeatStep()
{
    const int32_t part = HitTest(fLastX, fLastY);
    if (fPressedPart != kThumb)
        fHotPart = part;
    if (fPressedPart != fHotPart) {
        Redraw(true);
        return;
    }
    int32_t value;
    switch (fPressedPart) {
    case kFirstArrow: value = fValue - fStep; break;
    case kSecondArrow: value = fValue + fStep; break;
    case kTrackBefore: value = fValue - fPage; break;
    case kTrackAfter: value = fValue + fPage; break;
    default: return;
    }
    SetValue(value);
    PostMessage(fMessage);
}

void QV_ScrollBar::MouseDown(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    const int32_t part = HitTest(x, y);
    fPressedPart = fHotPart = part;
    fLastX = x;
    fLastY = y;
    PostMessage(MSG_TICK);
    if (part == kNone || part == kThumb)
        return;
    StopRepeat();
    if (QV_Wnd* window = Window()) {
        fTimerId = int32_t(window->AddTimer(kRepeatSeconds, this, MSG_TICK));
        if (fTimerId != 0) {
            fTimerWindow = window;
            fTimerWatch = std::make_unique<QV_Wnd::Watch>(window);
        }
    }
}

void QV_ScrollBar::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    const int32_t part = HitTest(x, y);
    fLastX = x;
    fLastY = y;
    if (fPressedPart == kThumb) {
        fHotPart = part;
        SetValue(ValueAtPoint(x, y));
        PostMessage(fMessage);
    } else if (part != fHotPart) {
        fHotPart = part;
        Redraw(true);
    }
}

void QV_ScrollBar::MouseUp(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    fLastX = x;
    fLastY = y;
    fPressedPart = 0;
    Redraw(true);
    StopRepeat();
}

void QV_ScrollBar::Detached()
{
    // A bar taken away while held must not leave its window ticking into it.
    StopRepeat();
    fPressedPart = 0;
    QV_BaseWidget::Detached();
}

void QV_ScrollBar::StopRepeat()
{
    if (fTimerId != 0 && fTimerWindow && fTimerWatch && !fTimerWatch->Gone())
        fTimerWindow->RemoveTimer(uint32_t(fTimerId));
    fTimerId = 0;
    fTimerWindow = nullptr;
    fTimerWatch.reset();
}

int32_t QV_ScrollBar::Thickness() const
{
    const QV_Rect b = Bounds();
    return fVertical ? b.right - b.left + 1 : b.bottom - b.top + 1;
}

QV_Rect QV_ScrollBar::FirstArrowRect() const
{
    const QV_Rect b = Bounds();
    if (fVertical)
        return { b.left, b.top, b.right, b.top + (b.right - b.left) };
    return { b.left, b.top, b.left + (b.bottom - b.top), b.bottom };
}

QV_Rect QV_ScrollBar::SecondArrowRect() const
{
    const QV_Rect b = Bounds();
    if (fVertical)
        return { b.left, b.bottom - (b.right - b.left), b.right, b.bottom };
    return { b.right - (b.bottom - b.top), b.top, b.right, b.bottom };
}

void QV_ScrollBar::ThumbTravel(int32_t& start, int32_t& end) const
{
    const QV_Rect b = Bounds();
    const int32_t t2 = 2 * Thickness();
    start = (fVertical ? b.top : b.left) + t2;
    end = (fVertical ? b.bottom : b.right) - t2;
}

QV_Rect QV_ScrollBar::ThumbRect() const
{
    const QV_Rect b = Bounds();
    const int32_t t = Thickness();
    int32_t s;
    int32_t e;
    ThumbTravel(s, e);
    // An empty range or a bar too short for any travel keeps the thumb at the start.
    float f = 0;
    if (fMax > fMin && e >= s)
        f = float(fValue - fMin) / float(fMax - fMin);
    f = f < 0 ? 0 : (f > 1 ? 1 : f);
    const int32_t c = e >= s ? RoundHalfAway(float(s) + f * float(e + 1 - s)) : s;
    if (fVertical)
        return { b.left, c - t, b.right, c + t - 1 };
    return { c - t, b.top, c + t - 1, b.bottom };
}

int32_t QV_ScrollBar::HitTest(int32_t x, int32_t y) const
{
    const QV_Rect b = Bounds();
    if (x < b.left || x > b.right || y < b.top || y > b.bottom)
        return kNone;
    auto inside = [x, y](const QV_Rect& r) { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; };
    if (inside(FirstArrowRect()))
        return kFirstArrow;
    if (inside(SecondArrowRect()))
        return kSecondArrow;
    const QV_Rect thumb = ThumbRect();
    if (inside(thumb))
        return kThumb;
    const int32_t along = fVertical ? y : x;
    if (along < (fVertical ? thumb.top : thumb.left))
        return kTrackBefore;
    if (along > (fVertical ? thumb.bottom : thumb.right))
        return kTrackAfter;
    return kNone;
}

int32_t QV_ScrollBar::ValueAtPoint(int32_t x, int32_t y) const
{
    int32_t s;
    int32_t e;
    ThumbTravel(s, e);
    if (e <= s || fMax <= fMin)
        return fMin;
    const float g = float((fVertical ? y : x) - s) / float(e - s);
    int32_t value = RoundHalfAway(float(fMin) + float(fMax - fMin) * g);
    if (value < fMin)
        value = fMin;
    else if (value > fMax)
        value = fMax;
    return value;
}

void QV_ScrollBar::DrawArrow(QV_Graphics* graphics, QV_Rect a, bool first, bool held)
{
    const int32_t t = Thickness();
    const int32_t h = t / 2;
    const int32_t radius = ScaledMetric3();
    const rgb_color top = held ? ButtonGradient2 : ButtonGradient1;
    const rgb_color bottom = held ? ButtonGradient1 : ButtonGradient2;
    // The square is rounded at the bar's end and square toward the track.
    const bool roundAtStart = first;
    QV_Rect outer = a;
    QV_Rect inner = a;
    if (fVertical) {
        (roundAtStart ? outer.bottom : outer.top) += roundAtStart ? -h : h;
        (roundAtStart ? inner.top : inner.bottom) += roundAtStart ? h : -h;
    } else {
        (roundAtStart ? outer.right : outer.left) += roundAtStart ? -h : h;
        (roundAtStart ? inner.left : inner.right) += roundAtStart ? h : -h;
    }
    graphics->SetSmoothing(true);
    graphics->SetClipRect(outer.left, outer.top, outer.right, outer.bottom);
    graphics->FillGradientRect(radius, true, top, bottom, a.left, a.top, a.right, a.bottom);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRoundRect(radius, a.left, a.top, a.right, a.bottom);
    graphics->SetSmoothing(false);
    graphics->SetClipRect(inner.left, inner.top, inner.right, inner.bottom);
    graphics->FillGradientRect(0, true, top, bottom, a.left, a.top, a.right, a.bottom);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(a.left, a.top, a.right, a.bottom);
    graphics->ResetClip();

    graphics->SetSmoothing(true);
    graphics->SetColorStruct(fEnabled ? WidgetOutline : DisabledText);
    float cx = float(a.left) + float(t) * 0.5f - 0.5f;
    float cy = float(a.top) + float(t) * 0.5f - 0.5f;
    if (held) {
        cx += 1;
        cy += 1;
    }
    const float s = float(t) / 7.0f;
    float p[6];
    if (fVertical && first)
        p[0] = cx - s, p[1] = cy + s, p[2] = cx, p[3] = cy - s, p[4] = cx + s, p[5] = cy + s;
    else if (fVertical)
        p[0] = cx - s, p[1] = cy - s, p[2] = cx, p[3] = cy + s, p[4] = cx + s, p[5] = cy - s;
    else if (first)
        p[0] = cx + s, p[1] = cy - s, p[2] = cx - s, p[3] = cy, p[4] = cx + s, p[5] = cy + s;
    else
        p[0] = cx - s, p[1] = cy - s, p[2] = cx + s, p[3] = cy, p[4] = cx - s, p[5] = cy + s;
    graphics->BeginShape();
    graphics->AddLine(p[0], p[1], p[2], p[3]);
    graphics->AddLine(p[2], p[3], p[4], p[5]);
    graphics->AddLine(p[4], p[5], p[0], p[1]);
    graphics->EndShape();
}

void QV_ScrollBar::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect b = Bounds();
    const int32_t t = Thickness();
    const int32_t h = t / 2;
    const int32_t radius = ScaledMetric3();
    const QV_Rect thumb = ThumbRect();
    auto held = [this](int32_t part) { return fPressedPart == part && fHotPart == part; };

    graphics->FillGradientRect(radius, !fVertical, ButtonGradient2, ButtonGradient1, b.left, b.top, b.right, b.bottom);
    QV_Rect inner = b;
    if (fVertical)
        inner.top += h, inner.bottom -= h;
    else
        inner.left += h, inner.right -= h;
    graphics->SetColorStruct(ThumbGradient1);
    if (held(kTrackBefore)) {
        if (fVertical)
            graphics->FillRect(inner.left, inner.top, inner.right, thumb.top);
        else
            graphics->FillRect(inner.left, inner.top, thumb.left, inner.bottom);
    }
    if (held(kTrackAfter)) {
        if (fVertical)
            graphics->FillRect(inner.left, thumb.bottom, inner.right, inner.bottom);
        else
            graphics->FillRect(thumb.right, inner.top, inner.right, inner.bottom);
    }
    DrawArrow(graphics, FirstArrowRect(), true, held(kFirstArrow));
    DrawArrow(graphics, SecondArrowRect(), false, held(kSecondArrow));

    if (fEnabled) {
        const QV_Rect m = thumb;
        graphics->SetSmoothing(false);
        graphics->FillGradientRect(0, !fVertical, ThumbGradient1, ThumbGradient2, m.left, m.top, m.right, m.bottom);
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRect(m.left, m.top, m.right, m.bottom);
        graphics->SetSmoothing(true);
        graphics->FrameRoundRect(3, m.left, m.top, m.right, m.bottom);
        graphics->SetSmoothing(false);
        const int32_t mx = m.left + (m.right - m.left + 1) / 2;
        const int32_t my = m.top + (m.bottom - m.top + 1) / 2;
        const int32_t q = t / 4;
        const rgb_color dark = ScaledColor(ThumbGradient2, 0.75f);
        const rgb_color light = ScaledColor(ThumbGradient1, 1.1f);
        for (int32_t d = -4; d <= 4; d += 4) {
            if (fVertical) {
                graphics->SetColorStruct(dark);
                graphics->DrawLine(float(mx - q), float(my + d), float(mx + q - 1), float(my + d));
                graphics->SetColorStruct(light);
                graphics->DrawLine(float(mx - q), float(my + d + 1), float(mx + q - 1), float(my + d + 1));
            } else {
                graphics->SetColorStruct(dark);
                graphics->DrawLine(float(mx + d), float(my - q), float(mx + d), float(my + q - 1));
                graphics->SetColorStruct(light);
                graphics->DrawLine(float(mx + d + 1), float(my - q), float(mx + d + 1), float(my + q - 1));
            }
        }
    }
    graphics->SetSmoothing(false);
    graphics->SetColorStruct(WidgetOutline);
    if (fVertical) {
        graphics->DrawLine(float(b.left), float(b.top + t), float(b.left), float(b.bottom - t));
        graphics->DrawLine(float(b.right), float(b.top + t), float(b.right), float(b.bottom - t));
    } else {
        graphics->DrawLine(float(b.left + t), float(b.top), float(b.right - t), float(b.top));
        graphics->DrawLine(float(b.left + t), float(b.bottom), float(b.right - t), float(b.bottom));
    }
}
