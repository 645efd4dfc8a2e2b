#include "qv_color_picker.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "interface_colors.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_color_swatch.h"
#include "qv_graphics.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "raster_fill.h"

namespace {

int32_t RoundClamp(float value, int32_t low, int32_t high)
{
    if (!std::isfinite(value))
        return low;
    const float rounded = std::round(value);
    return rounded < float(low) ? low : (rounded > float(high) ? high : int32_t(rounded));
}

uint8_t ScanPair(const std::string& pair)
{
    unsigned int value = 0;
    if (pair.empty() || std::sscanf(pair.c_str(), "%x", &value) != 1)
        return 0;
    return uint8_t(value & 0xFF);
}

uint32_t* PixelAt(const QV_PixelBuffer& raster, int32_t row)
{
    return reinterpret_cast<uint32_t*>(raster.pixels + int64_t(row) * raster.rowBytes);
}

uint32_t PixelOf(uint8_t r, uint8_t g, uint8_t b)
{
    return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

bool Inside(const QV_Rect& r, int32_t x, int32_t y)
{
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

QV_TextControl* NumberField()
{
    auto* field = new QV_TextControl(40, "", MSG_PICKER_NUMBER, FIELD_UINT);
    field->SetConstantMessages(true);
    field->SetWheelInc(5.0f);
    return field;
}

} // namespace

void ParseHexColor(const char* text, uint8_t& red, uint8_t& green, uint8_t& blue)
{
    std::string rest = text ? text : "";
    uint8_t* targets[3] = { &blue, &green, &red };
    for (uint8_t* target : targets) {
        const size_t take = rest.size() < 2 ? rest.size() : 2;
        *target = ScanPair(rest.substr(rest.size() - take));
        rest.resize(rest.size() - take);
    }
}

QV_ColorPicker::QV_ColorPicker(
    rgb_color color, bool withAlpha, QV_ColorSwatch* swatch, int32_t swatchMessage, QV_Wnd* ownerWindow)
    : QV_Dialog(Localize("/Dialogs/ColorPicker/Title=Color Picker"), ownerWindow)
    , fWithAlpha(withAlpha)
    , fLiveUpdate(false)
    , fSwatch(swatch)
    , fSwatchMessage(swatchMessage)
    , fAlphaField(nullptr)
    , fDragField(false)
    , fDragHue(false)
    , fDragAlpha(false)
{
    if (!withAlpha)
        color.a = 255;
    fColor = fInitialColor = color;
    RGBToHSL(color.r, color.g, color.b, fHSLA[0], fHSLA[1], fHSLA[2]);
    fHSLA[3] = color.a;
    std::memcpy(fInitialHSLA, fHSLA, 4);
    fSettingsName = "QV_ColorPicker";

    auto* root = new QV_LayoutView(true, 14, 14, 14);
    auto* row1 = new QV_LayoutView(false, 14, 0, 0);
    auto* fieldPad = new QV_PadView(250, 250);
    auto* huePad = new QV_PadView(20, 250);
    QV_PadView* alphaPad = withAlpha ? new QV_PadView(20, 250) : nullptr;
    row1->AddChild(fieldPad);
    row1->AddChild(huePad);
    if (alphaPad)
        row1->AddChild(alphaPad);
    auto* column2 = new QV_LayoutView(true, 8, 0, 0);
    auto* previewPad = new QV_PadView(80, 48);
    column2->AddChild(previewPad, ALIGN_FILL);
    auto* row3 = new QV_LayoutView(false, 8, 0, 0);
    auto* labels = new QV_LayoutView(true, 8, 0, 0);
    auto* fields = new QV_LayoutView(true, 8, 0, 0);
    labels->AddChild(new QV_StaticText(Localize("/Dialogs/ColorPicker/Red=Red")));
    labels->AddChild(new QV_StaticText(Localize("/Dialogs/ColorPicker/Green=Green")));
    labels->AddChild(new QV_StaticText(Localize("/Dialogs/ColorPicker/Blue=Blue")));
    fields->AddChild(fRedField = NumberField());
    fields->AddChild(fGreenField = NumberField());
    fields->AddChild(fBlueField = NumberField());
    if (withAlpha) {
        labels->AddChild(new QV_StaticText(Localize("/Dialogs/ColorPicker/Alpha=Alpha")));
        fields->AddChild(fAlphaField = NumberField());
    }
    row3->AddChild(labels);
    row3->AddChild(fields);
    column2->AddChild(row3, ALIGN_FILL);
    column2->AddPadding(8);
    column2->AddPadding(8);
    auto* row6 = new QV_LayoutView(false, 8, 0, 0);
    row6->AddChild(new QV_StaticText("#"));
    fHexField = new QV_TextControl(0, "DDDDDD", MSG_PICKER_HEX, FIELD_TEXT);
    fHexField->SetConstantMessages(true);
    row6->AddChild(fHexField);
    column2->AddChild(row6, ALIGN_CENTER);
    row1->AddChild(column2);
    root->AddChild(row1);

    auto* row7 = new QV_LayoutView(false, 8, 0, 0);
    auto* ok = new QV_Button(Localize("/Strings/OK=OK"), MSG_OK, 64, true, FOLLOW_LEFT | FOLLOW_TOP);
    auto* cancel = new QV_Button(Localize("/Strings/Cancel=Cancel"), MSG_CANCEL, 64, false, FOLLOW_LEFT | FOLLOW_TOP);
    row7->AddChild(ok);
    row7->AddChild(cancel);
    root->AddChild(row7, ALIGN_RIGHT);
    AddView(root);
    fDefaultButton = ok;
    fCancelButton = cancel;
    Layout();
    fFieldRect = fieldPad->FrameInLayer();
    fHueRect = huePad->FrameInLayer();
    fAlphaRect = alphaPad ? alphaPad->FrameInLayer() : QV_Rect {};
    fPreviewRect = previewPad->FrameInLayer();
}

void QV_ColorPicker::Send(rgb_color color)
{
    if (!fSwatch)
        return;
    QV_Message message(fSwatchMessage);
    message.AddColor("color", color);
    fSwatch->DispatchMessage(&message);
}

void QV_ColorPicker::ExchangeData(bool apply)
{
    if (!apply) {
        SetNumberFields();
        fRedField->SelectAll();
        if (fRedField->AcceptsFocus()) {
            fRedField->fFocused = true;
            SetFocus(fRedField);
            fRedField->FocusChanged(true);
        }
    } else {
        auto byte = [](QV_TextControl* field) {
            const int32_t v = field->IntValue();
            return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
        };
        fColor.r = byte(fRedField);
        fColor.g = byte(fGreenField);
        fColor.b = byte(fBlueField);
        if (fAlphaField)
            fColor.a = byte(fAlphaField);
        RGBToHSL(fColor.r, fColor.g, fColor.b, fHSLA[0], fHSLA[1], fHSLA[2]);
        fHSLA[3] = fColor.a;
    }
    SetHexField();
}

bool QV_ColorPicker::OnValidate()
{
    bool valid = true;
    QV_TextControl* fields[4] = { fRedField, fGreenField, fBlueField, fAlphaField };
    for (QV_TextControl* field : fields) {
        if (!field)
            continue;
        const int32_t v = field->IntValue();
        if (v < 0 || v > 255) {
            field->SetValue(int32_t(v < 0 ? 0 : 255));
            valid = false;
        }
    }
    if (valid)
        return true;
    ExchangeData(true);
    RenderAll();
    return false;
}

void QV_ColorPicker::DialogClosed(int32_t id)
{
    if (id == MSG_OK)
        Send(fColor);
    else if (fLiveUpdate)
        Send(fInitialColor);
}

void QV_ColorPicker::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (what == MSG_PICKER_NUMBER) {
        OnValidate();
        ExchangeData(true);
        RenderAll();
        FlushRect(fPreviewRect.left, fPreviewRect.top, fPreviewRect.right, fPreviewRect.bottom);
        if (fLiveUpdate)
            Send(fColor);
        return;
    }
    if (what == MSG_PICKER_HEX) {
        ParseHexColor(fHexField->Value(), fColor.r, fColor.g, fColor.b);
        fRedField->SetValue(int32_t(fColor.r));
        fGreenField->SetValue(int32_t(fColor.g));
        fBlueField->SetValue(int32_t(fColor.b));
        RGBToHSL(fColor.r, fColor.g, fColor.b, fHSLA[0], fHSLA[1], fHSLA[2]);
        RenderAll();
        FlushRect(fPreviewRect.left, fPreviewRect.top, fPreviewRect.right, fPreviewRect.bottom);
        if (fLiveUpdate)
            Send(fColor);
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void QV_ColorPicker::SetNumberFields()
{
    fRedField->SetValue(int32_t(fColor.r));
    fGreenField->SetValue(int32_t(fColor.g));
    fBlueField->SetValue(int32_t(fColor.b));
    if (fAlphaField)
        fAlphaField->SetValue(int32_t(fColor.a));
}

void QV_ColorPicker::SetHexField()
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", fColor.r, fColor.g, fColor.b);
    fHexField->SetValue(text);
}

void QV_ColorPicker::ColorFromHSL()
{
    HSLToRGB(fHSLA[0], fHSLA[1], fHSLA[2], fColor.r, fColor.g, fColor.b);
}

void QV_ColorPicker::Draw()
{
    QV_Dialog::Draw();
    RenderAll();
    QV_Graphics graphics;
    if (!fImage.buffer.pixels || graphics.SetRaster(&fImage.buffer) != 0)
        return;
    graphics.BeginDraw();
    const QV_Rect* areas[4] = { &fFieldRect, &fHueRect, fWithAlpha ? &fAlphaRect : nullptr, &fPreviewRect };
    for (const QV_Rect* area : areas) {
        if (!area)
            continue;
        const float l = float(area->left);
        const float t = float(area->top);
        const float r = float(area->right);
        const float b = float(area->bottom);
        graphics.SetColorStruct(WidgetShadow);
        graphics.DrawLine(l - 1, t - 1, r + 1, t - 1);
        graphics.DrawLine(l - 1, t - 1, l - 1, b + 1);
        graphics.SetColorStruct(WidgetHighlight);
        graphics.DrawLine(l - 1, b + 1, r + 1, b + 1);
        graphics.DrawLine(r + 1, t - 1, r + 1, b + 1);
        graphics.SetColorStruct(WidgetOutline);
        graphics.FrameRect(area->left - 2, area->top - 2, area->right + 2, area->bottom + 2);
    }
    graphics.EndDraw();
}

void QV_ColorPicker::TakeRasters()
{
    fFieldRaster = fHueRaster = fAlphaRaster = fPreviewRaster = QV_PixelBuffer {};
    if (!fImage.buffer.pixels || fImage.buffer.depth != 32)
        return;
    fImage.GetSubPixelBuffer(fFieldRect, fFieldRaster);
    fImage.GetSubPixelBuffer(fHueRect, fHueRaster);
    if (fWithAlpha)
        fImage.GetSubPixelBuffer(fAlphaRect, fAlphaRaster);
    fImage.GetSubPixelBuffer(fPreviewRect, fPreviewRaster);
}

void QV_ColorPicker::RenderAll()
{
    TakeRasters();
    RenderField();
    RenderHue();
    RenderAlpha();
    RenderPreview();
    DrawFieldMarker();
    DrawHueMarker();
    DrawAlphaMarker();
}

void QV_ColorPicker::RenderField()
{
    const QV_PixelBuffer& raster = fFieldRaster;
    const int32_t n = raster.height;
    const int32_t m = raster.width;
    if (!raster.pixels || n < 2 || m < 2)
        return;
    uint8_t hue[3];
    HSLToRGB(fHSLA[0], 255, 128, hue[0], hue[1], hue[2]);
    for (int32_t i = 0; i < n; ++i) {
        const float t = float(i) / float(n - 1);
        const float grey = 255 - 255 * t;
        int32_t start[3];
        int32_t step[3];
        for (int32_t c = 0; c < 3; ++c) {
            const float c0 = hue[c];
            const float right = t < 0.5f ? 255 + (c0 - 255) * (2 * t) : c0 - c0 * ((t - 0.5f) * 2);
            start[c] = int32_t(grey * 65536);
            step[c] = int32_t((right - grey) / float(m - 1) * 65536);
        }
        uint32_t* p = PixelAt(raster, i);
        for (int32_t j = 0; j < m; ++j) {
            const auto channel = [&](int32_t c) { return uint8_t(uint32_t(start[c] + j * step[c]) >> 16); };
            p[j] = PixelOf(channel(0), channel(1), channel(2));
        }
    }
}

void QV_ColorPicker::RenderHue()
{
    const QV_PixelBuffer& raster = fHueRaster;
    const int32_t n = raster.height;
    if (!raster.pixels || n < 2)
        return;
    for (int32_t i = 0; i < n; ++i) {
        float h = (1 - float(i) / float(n - 1)) * 255;
        h = h < 0 ? 0 : (h > 255 ? 255 : h);
        uint8_t r, g, b;
        HSLToRGB(uint8_t(h), 255, 128, r, g, b);
        uint32_t* p = PixelAt(raster, i);
        for (int32_t j = 0; j < raster.width; ++j)
            p[j] = PixelOf(r, g, b);
    }
}

void QV_ColorPicker::RenderAlpha()
{
    const QV_PixelBuffer& raster = fAlphaRaster;
    const int32_t n = raster.height;
    if (!fWithAlpha || !raster.pixels || n < 2)
        return;
    auto level = [](float v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    for (int32_t i = 0; i < n; ++i) {
        const float a = 1 - float(i) / float(n - 1);
        const uint8_t x = level(154 + 101 * a);
        const uint8_t y = level(179 + 76 * a);
        const uint8_t z = level(205 + 50 * a);
        const uint32_t p1 = PixelOf(x, y, z);
        const uint32_t q1 = PixelOf(y, z, x);
        uint32_t* p = PixelAt(raster, i);
        for (int32_t j = 0; j < raster.width; ++j)
            p[j] = ((i & 8) == (j & 8)) ? q1 : p1;
    }
}

void QV_ColorPicker::RenderPreview()
{
    QV_PixelBuffer raster = fPreviewRaster;
    const int32_t n = raster.height;
    if (!raster.pixels || n < 2)
        return;
    for (int32_t i = 0; i < n; ++i) {
        uint32_t* p = PixelAt(raster, i);
        for (int32_t j = 0; j < raster.width; ++j)
            p[j] = ((i & 8) == (j & 8)) ? PixelOf(255, 255, 255) : PixelOf(128, 128, 128);
    }
    QV_PixelBuffer upper = raster;
    upper.height = n / 2;
    QV_PixelBuffer lower = raster;
    lower.pixels = raster.pixels + int64_t(n / 2) * raster.rowBytes;
    lower.height = n - n / 2;
    // The tint takes red in the low byte.
    TintRaster(upper, uint32_t(fColor.r) | uint32_t(fColor.g) << 8 | uint32_t(fColor.b) << 16 | uint32_t(fColor.a) << 24);
    TintRaster(lower, uint32_t(fInitialColor.r) | uint32_t(fInitialColor.g) << 8 | uint32_t(fInitialColor.b) << 16
            | uint32_t(fInitialColor.a) << 24);
}

bool QV_ColorPicker::BeginMarker(QV_Graphics& graphics, const QV_Rect& rect)
{
    if (!fImage.buffer.pixels || graphics.SetRaster(&fImage.buffer) != 0)
        return false;
    graphics.BeginDraw();
    graphics.SetClipRect(rect.left, rect.top, rect.right, rect.bottom);
    graphics.SetBezierTolerance(1.0f);
    graphics.SetSmoothing(true);
    return true;
}

void QV_ColorPicker::EndMarker(QV_Graphics& graphics, const QV_Rect& rect)
{
    graphics.ResetClip();
    graphics.EndDraw();
    FlushRect(rect.left, rect.top, rect.right, rect.bottom);
}

void QV_ColorPicker::DrawFieldMarker()
{
    QV_Graphics graphics;
    const QV_Rect& r = fFieldRect;
    if (!BeginMarker(graphics, r))
        return;
    const int32_t x = int32_t(std::round(float(r.left) + float(r.right - r.left) * fHSLA[1] / 255));
    const int32_t y = int32_t(std::round(float(r.bottom) - float(r.bottom - r.top) * fHSLA[2] / 255));
    graphics.SetColor(0, 0, 0, 255);
    graphics.FrameEllipse(x - 3, y - 3, x + 3, y + 3);
    graphics.SetColor(255, 255, 255, 255);
    graphics.FrameEllipse(x - 4, y - 4, x + 4, y + 4);
    EndMarker(graphics, r);
}

void QV_ColorPicker::DrawStripMarker(const QV_Rect& r, int32_t y)
{
    QV_Graphics graphics;
    if (!BeginMarker(graphics, r))
        return;
    graphics.SetColor(0, 0, 0, 255);
    graphics.DrawLine(float(r.left), float(y), float(r.right), float(y));
    const QV_Rect knobs[2] = { { r.left - 4, y - 3, r.left + 2, y + 3 }, { r.right - 2, y - 3, r.right + 4, y + 3 } };
    for (const QV_Rect& k : knobs) {
        graphics.SetColor(255, 255, 255, 255);
        graphics.FillEllipse(k.left, k.top, k.right, k.bottom);
        graphics.SetColor(0, 0, 0, 255);
        graphics.FrameEllipse(k.left, k.top, k.right, k.bottom);
    }
    EndMarker(graphics, r);
}

void QV_ColorPicker::DrawHueMarker()
{
    const QV_Rect& r = fHueRect;
    DrawStripMarker(r, int32_t(std::round(float(r.bottom) - 1 - float(r.bottom - r.top) * fHSLA[0] / 255)));
}

void QV_ColorPicker::DrawAlphaMarker()
{
    if (!fWithAlpha)
        return;
    const QV_Rect& r = fAlphaRect;
    DrawStripMarker(r, int32_t(std::round(float(r.bottom) - float(r.bottom - r.top) * fColor.a / 255)));
}

void QV_ColorPicker::PickField(int32_t x, int32_t y)
{
    const QV_Rect& r = fFieldRect;
    const uint8_t s = uint8_t(RoundClamp(float(x - r.left) * 255 / float(r.right - r.left), 0, 255));
    const uint8_t l = uint8_t(RoundClamp(float(y - r.bottom) * 255 / float(r.top - r.bottom), 0, 255));
    if (s == fHSLA[1] && l == fHSLA[2])
        return;
    fHSLA[1] = s;
    fHSLA[2] = l;
    ColorFromHSL();
    TakeRasters();
    RenderField();
    DrawFieldMarker();
    fRedField->SetValue(int32_t(fColor.r));
    fGreenField->SetValue(int32_t(fColor.g));
    fBlueField->SetValue(int32_t(fColor.b));
    SetHexField();
    RenderPreview();
    FlushRect(fPreviewRect.left, fPreviewRect.top, fPreviewRect.right, fPreviewRect.bottom);
    if (fLiveUpdate)
        Send(fColor);
}

void QV_ColorPicker::PickHue(int32_t y)
{
    const QV_Rect& r = fHueRect;
    const uint8_t h = uint8_t(RoundClamp(float(y - r.bottom) * 254 / float(r.top - r.bottom), 0, 254));
    if (h == fHSLA[0])
        return;
    fHSLA[0] = h;
    ColorFromHSL();
    TakeRasters();
    RenderHue();
    DrawHueMarker();
    RenderField();
    DrawFieldMarker();
    fRedField->SetValue(int32_t(fColor.r));
    fGreenField->SetValue(int32_t(fColor.g));
    fBlueField->SetValue(int32_t(fColor.b));
    SetHexField();
    RenderPreview();
    FlushRect(fPreviewRect.left, fPreviewRect.top, fPreviewRect.right, fPreviewRect.bottom);
    if (fLiveUpdate)
        Send(fColor);
}

void QV_ColorPicker::PickAlpha(int32_t y)
{
    const QV_Rect& r = fAlphaRect;
    const uint8_t a = uint8_t(RoundClamp(float(y - r.bottom) * 255 / float(r.top - r.bottom), 0, 255));
    if (a == fColor.a)
        return;
    fColor.a = fHSLA[3] = a;
    TakeRasters();
    RenderAlpha();
    DrawAlphaMarker();
    if (fAlphaField)
        fAlphaField->SetValue(int32_t(a));
    RenderPreview();
    FlushRect(fPreviewRect.left, fPreviewRect.top, fPreviewRect.right, fPreviewRect.bottom);
    if (fLiveUpdate)
        Send(fColor);
}

void QV_ColorPicker::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_Layer::MouseDown(x, y, button, modifiers, message);
    const QV_Rect& p = fPreviewRect;
    if (x >= p.left && x <= p.right && y >= p.top + (p.bottom - p.top) / 2 && y <= p.bottom) {
        // Back to where the picker started; the swatch hears of it only on OK or Cancel.
        fColor = fInitialColor;
        std::memcpy(fHSLA, fInitialHSLA, 4);
        SetNumberFields();
        SetHexField();
        RenderAll();
        Flush();
    }
    if (Inside(fFieldRect, x, y)) {
        fDragField = true;
        PickField(x, y);
    }
    if (Inside(fHueRect, x, y)) {
        fDragHue = true;
        PickHue(y);
    }
    if (fWithAlpha && Inside(fAlphaRect, x, y)) {
        fDragAlpha = true;
        PickAlpha(y);
    }
}

void QV_ColorPicker::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    QV_Layer::MouseMoved(x, y, modifiers, message);
    if (fDragField)
        PickField(x, y);
    if (fDragHue)
        PickHue(y);
    if (fDragAlpha)
        PickAlpha(y);
}

void QV_ColorPicker::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_Layer::MouseUp(x, y, button, modifiers, message);
    fDragField = fDragHue = fDragAlpha = false;
}
