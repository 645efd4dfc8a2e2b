#pragma once

#include <cstdint>

#include "m_shapestyle.h"
#include "texture_source.h"

// Style index 10: places an image file in the layer between the shape's two effect handles,
// centred on the first, its top row towards the second. It follows the layer's transform and the
// parent skeleton's deformation, so it depends on the shape's position and has a handle.
class SS_Texture2 : public M_ShapeStyle {
public:
    SS_Texture2();
    ~SS_Texture2() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void ApplyInLayer(XGraphics* graphics, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox bounds,
        QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape* shape,
        int32_t finalRender) override;
    bool IsPositionDependent() override;
    bool HasHandle() override;

    // Fill mode 0 repeats the image, any other value stretches its edge pixels outward.
    TextureSource fSource;
};
