#pragma once

#include <cstdint>

#include "m_shapestyle.h"
#include "texture_source.h"

// Style index 6: paints an image file over the shape, keeping its outline: tiled or stretched
// over the shape's rectangle, or, when rendered in a layer, laid over the shape's extent in the
// layer's units.
class SS_Texture : public M_ShapeStyle {
public:
    SS_Texture();
    ~SS_Texture() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void Apply(
        QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument* doc, float scale) override;
    void ApplyInLayer(XGraphics* graphics, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox bounds,
        QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape* shape,
        int32_t finalRender) override;

    // Fill mode 0 tiles the image, any other value stretches it.
    TextureSource fSource;
};
