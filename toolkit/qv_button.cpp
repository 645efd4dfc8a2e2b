#include "qv_button.h"

#include <cmath>

#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layer.h"
#include "qv_wnd.h"

namespace {

bool Inside(const QV_View& view, int32_t x, int32_t y)
{
    const QV_Rect bounds = view.Bounds();
    return x >= bounds.left && x <= bounds.right && y >= bounds.top && y <= bounds.bottom;
}

int32_t LabelWidth(const char* label)
{
    return gMenuFont && label ? gMenuFont->StringWidth(label) : 0;
}

} // namespace

QV_Rect DrawButtonFace(QV_Graphics* graphics, QV_Rect bounds, int32_t radius, bool sunken, bool enabled,
    rgb_color outline, bool thick)
{
    const int32_t l = bounds.left;
    const int32_t t = bounds.top;
    const int32_t r = bounds.right;
    const int32_t b = bounds.bottom;
    graphics->SetSmoothing(true);
    graphics->FillGradientRect(radius, true, sunken ? ButtonGradient2 : ButtonGradient1,
        sunken ? ButtonGradient1 : ButtonGradient2, l + 1, t + 1, r - 1, b - 1);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(radius, l + 1, t, r - 1, b);
    if (enabled) {
        graphics->SetColorStruct(outline);
        graphics->FrameRoundRect(radius, l, t + 1, r, b - 1);
        if (thick) {
            graphics->FrameRoundRect(radius, l + 1, t + 1, r - 1, b - 1);
            graphics->FrameRoundRect(radius, l, t + 2, r, b - 2);
            graphics->FrameRoundRect(radius, l + 1, t + 2, r - 1, b - 2);
        }
    }
    QV_Rect content = bounds;
    if (sunken)
        content = { l + 1, t + 1, r + 1, b + 1 };
    return content;
}

void DrawCentredLabel(QV_Graphics* graphics, QV_Rect content, const char* label)
{
    QV_Font* font = graphics->fFont;
    if (!font || !label)
        return;
    const int32_t x = content.left + (content.right - content.left + 1) / 2;
    const int32_t y = content.top + (content.bottom - content.top + 1) / 2;
    graphics->MoveTo(x - font->StringWidth(label) / 2, y);
    graphics->DrawText(label, 4);
}

QV_Button::QV_Button(const char* label, int32_t message, int32_t minimumWidth, bool isDefault, int32_t follow)
    : QV_BaseWidget(follow, true)
    , fDefault(isDefault)
    , fLabel(label ? label : "")
    , fImage(nullptr)
    , fToggle(false)
    , fMessage(message)
    , fValue(false)
    , fPressed(false)
{
    fFont = gMenuFont;
    int32_t width = LabelWidth(fLabel.CString()) + 16;
    if (minimumWidth > 0 && width < minimumWidth)
        width = minimumWidth;
    const int32_t height = int32_t(std::lround(float(ScaledMetric20() * 1.222)));
    ResizeTo(width, height);
}

QV_Button::QV_Button(QV_PixelBuffer* image, const char* toolTip, bool toggle, int32_t message, int32_t follow)
    : QV_BaseWidget(follow, true)
    , fDefault(false)
    , fLabel(toolTip ? toolTip : "")
    , fImage(image)
    , fToggle(toggle)
    , fMessage(message)
    , fValue(false)
    , fPressed(false)
{
    fFont = gMenuFont;
    if (image)
        ResizeTo(image->width, image->height);
}

void QV_Button::SetValue(bool value)
{
    fValue = value;
    Redraw(true);
}

void QV_Button::SetImage(QV_PixelBuffer* image)
{
    fImage = image;
    Redraw(true);
}

void QV_Button::MouseDown(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    fPressed = true;
    Redraw(true);
}

void QV_Button::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    if (fImage && !AnyButtonDown() && !fLabel.IsEmpty()) {
        QV_Layer* layer = OwnerLayer();
        if (layer && layer->fShown && layer->fWindow) {
            const QV_Point at = ConvertToWindow({ x, y });
            fToolTip.Show(layer->fWindow, at.x, at.y, fLabel.CString());
        }
    }
    if (!fEnabled)
        return;
    fPressed = Inside(*this, x, y);
    if (AnyButtonDown())
        Redraw(true);
}

void QV_Button::MouseUp(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    const bool inside = Inside(*this, x, y);
    fPressed = false;
    if (inside) {
        if (fToggle)
            fValue = !fValue;
        // The click may close the window, and the button goes with it.
        QV_Wnd::Watch watch(Window());
        PostMessage(fMessage);
        if (watch.Gone())
            return;
    }
    Redraw(true);
}

void QV_Button::Detached()
{
    fToolTip.Hide();
    QV_BaseWidget::Detached();
}

void QV_Button::DrawWidget(QV_Graphics* graphics)
{
    const bool image = fImage != nullptr;
    const int32_t radius = image ? ScaledMetric3() : ScaledMetric5();
    const bool sunken = (AnyButtonDown() && fPressed) != (fToggle && fValue);
    const rgb_color outline = fToggle && fValue ? WidgetMark : WidgetOutline;
    const QV_Rect content = DrawButtonFace(graphics, Bounds(), radius, sunken, fEnabled, outline, fDefault);
    if (image) {
        if (fEnabled) {
            const int32_t x = content.left + (content.right - content.left + 1) / 2 - fImage->width / 2;
            const int32_t y = content.top + (content.bottom - content.top + 1) / 2 - fImage->height / 2;
            graphics->DrawImageAlpha(fImage, float(x), float(y), false);
        } else {
            graphics->DrawImageFaded(fImage, float(content.left), float(content.top), -160);
        }
        return;
    }
    graphics->SetColorStruct(fEnabled ? Text : DisabledText);
    DrawCentredLabel(graphics, content, fLabel.CString());
}

QV_ShortButton::QV_ShortButton(const char* label, int32_t message)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fLabel(label ? label : "")
    , fMessage(message)
    , fPressed(false)
{
    fFont = gMenuFont;
    ResizeTo(ScaledMetric20() + LabelWidth(fLabel.CString()), ScaledMetric20());
}

void QV_ShortButton::MouseDown(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    fPressed = true;
    Redraw(true);
}

void QV_ShortButton::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    fPressed = Inside(*this, x, y);
    if (AnyButtonDown())
        Redraw(true);
}

void QV_ShortButton::MouseUp(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    const bool inside = Inside(*this, x, y);
    fPressed = false;
    Redraw(true);
    if (inside)
        PostMessage(fMessage);
}

void QV_ShortButton::DrawWidget(QV_Graphics* graphics)
{
    const bool sunken = AnyButtonDown() && fPressed;
    const QV_Rect content
        = DrawButtonFace(graphics, Bounds(), ScaledMetric3(), sunken, fEnabled, WidgetOutline, false);
    graphics->SetColorStruct(fEnabled ? Text : DisabledText);
    DrawCentredLabel(graphics, content, fLabel.CString());
}
