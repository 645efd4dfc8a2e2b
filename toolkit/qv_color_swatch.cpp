#include "qv_color_swatch.h"

#include "interface_colors.h"
#include "pixel_blend.h"
#include "qv_color_picker.h"
#include "qv_graphics.h"
#include "qv_layer.h"
#include "qv_message.h"

namespace {

uint32_t Packed(rgb_color c)
{
    return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 | uint32_t(c.a) << 24;
}

// A 32-bit pixel (blue, green, red, alpha in memory) of an opaque grey level.
uint32_t GreyPixel(uint8_t level)
{
    return 0xFF000000u | uint32_t(level) << 16 | uint32_t(level) << 8 | level;
}

uint32_t Blended(uint8_t level, rgb_color color)
{
    uint32_t pixel = GreyPixel(level);
    BlendPixel32(&pixel, Packed(color));
    return pixel;
}

} // namespace

QV_ColorSwatch::QV_ColorSwatch(bool withAlpha, rgb_color color, int32_t message)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fValue(color)
    , fMessage(message)
    , fWithAlpha(withAlpha)
    , fLiveUpdate(false)
{
    if (!withAlpha)
        fValue.a = 255;
    ResizeTo(48, 32);
}

void QV_ColorSwatch::SetValue(rgb_color color)
{
    fValue = color;
    if (!fWithAlpha)
        fValue.a = 255;
    Redraw(true);
}

void QV_ColorSwatch::HandleMessage(QV_Message* message)
{
    if (!message || message->fWhat != fMessage) {
        QV_View::HandleMessage(message);
        return;
    }
    if (!message->FindColor("color", fValue))
        return;
    Redraw(true);
    QV_View::HandleMessage(message);
}

void QV_ColorSwatch::MouseUp(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    const QV_Rect b = Bounds();
    if (!fEnabled || x < b.left || x > b.right || y < b.top || y > b.bottom)
        return;
    QV_Layer* layer = OwnerLayer();
    auto* picker = new QV_ColorPicker(fValue, fWithAlpha, this, fMessage, layer ? layer->fWindow : nullptr);
    picker->fLiveUpdate = fLiveUpdate;
    picker->DoModal();
}

void QV_ColorSwatch::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect b = Bounds();
    const int32_t radius = ScaledMetric6();
    const uint32_t light = Blended(255, fValue);
    const uint32_t dark = Blended(128, fValue);
    graphics->SetColor(0, 0, 0, 255);
    graphics->FillRoundRect(radius, b.left, b.top + 1, b.right, b.bottom - 1);
    const QV_PixelBuffer& target = graphics->fTarget;
    if (target.pixels && target.depth == 32) {
        // Opaque black is the stencil: whatever of it lies in the swatch's
        // raster becomes the checkerboard, the corners' background too.
        for (int32_t row = 0; row < target.height; ++row) {
            auto* p = reinterpret_cast<uint32_t*>(target.pixels + int64_t(row) * target.rowBytes);
            for (int32_t col = 0; col < target.width; ++col)
                if (p[col] == 0xFF000000u)
                    p[col] = ((row & 8) == (col & 8)) ? light : dark;
        }
    }
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(radius, b.left, b.top, b.right, b.bottom);
    if (fEnabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRoundRect(radius, b.left, b.top + 1, b.right, b.bottom - 1);
    }
}
