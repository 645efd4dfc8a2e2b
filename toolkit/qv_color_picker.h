#pragma once
#include <cstdint>

#include "qv_color.h"
#include "qv_dialog.h"
#include "qv_pixelbuffer.h"

class QV_ColorSwatch;
class QV_Graphics;
class QV_TextControl;

constexpr int32_t MSG_PICKER_NUMBER = -1000;
constexpr int32_t MSG_PICKER_HEX = -1001;

// Reads up to six hexadecimal digits from the right: blue, green, red. A pair
// that does not scan, or is missing, gives 0.
void ParseHexColor(const char* text, uint8_t& red, uint8_t& green, uint8_t& blue);

// The colour dialog a swatch opens: a saturation-lightness field of the
// current hue, a hue strip, an optional alpha strip, a preview of the new
// colour over the initial one, number fields and a hexadecimal field. The
// result goes to the swatch as a message with the colour under "color"; in
// live mode every change does, and Cancel sends the initial colour back.
class QV_ColorPicker : public QV_Dialog {
public:
    QV_ColorPicker(rgb_color color, bool withAlpha, QV_ColorSwatch* swatch, int32_t swatchMessage,
        QV_Wnd* ownerWindow);

    void HandleMessage(QV_Message* message) override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void Draw() override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void DialogClosed(int32_t id) override;

    void PickField(int32_t x, int32_t y);
    void PickHue(int32_t y);
    void PickAlpha(int32_t y);

    rgb_color fColor;
    rgb_color fInitialColor;
    uint8_t fHSLA[4];
    uint8_t fInitialHSLA[4];
    bool fWithAlpha;
    bool fLiveUpdate;
    QV_ColorSwatch* fSwatch;
    int32_t fSwatchMessage;
    QV_TextControl* fRedField;
    QV_TextControl* fGreenField;
    QV_TextControl* fBlueField;
    QV_TextControl* fAlphaField;
    QV_TextControl* fHexField;
    QV_PixelBuffer fFieldRaster;
    QV_PixelBuffer fHueRaster;
    QV_PixelBuffer fAlphaRaster;
    QV_PixelBuffer fPreviewRaster;
    QV_Rect fFieldRect;
    QV_Rect fHueRect;
    QV_Rect fAlphaRect;
    QV_Rect fPreviewRect;
    bool fDragField;
    bool fDragHue;
    bool fDragAlpha;

private:
    void Send(rgb_color color);
    void TakeRasters();
    void RenderField();
    void RenderHue();
    void RenderAlpha();
    void RenderPreview();
    void DrawFieldMarker();
    void DrawStripMarker(const QV_Rect& rect, int32_t y);
    void DrawHueMarker();
    void DrawAlphaMarker();
    // The four areas and the three markers.
    void RenderAll();
    void SetNumberFields();
    void SetHexField();
    void ColorFromHSL();
    // A graphics context on the layer image clipped to the rectangle; null without an image.
    bool BeginMarker(QV_Graphics& graphics, const QV_Rect& rect);
    void EndMarker(QV_Graphics& graphics, const QV_Rect& rect);
};
