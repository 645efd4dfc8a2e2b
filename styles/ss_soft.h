#pragma once

#include <cstdint>

#include "animval.h"
#include "m_shapestyle.h"

// Style index 2: softens the shape's outline by blurring its alpha inside the shape's rectangle.
class SS_Soft : public M_ShapeStyle {
public:
    SS_Soft();
    // Keys the radius at frame 0; used by M_Style::SetSoftEdge.
    explicit SS_Soft(float radius);
    ~SS_Soft() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void ApplyInLayer(XGraphics* graphics, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox bounds,
        QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape* shape,
        int32_t finalRender) override;
    // The radius's current value.
    float Margin() override;
    int32_t CountChannels() override;
    // The radius, whatever the index.
    AnimChannel* Channel(int32_t index) override;

    // Fraction of the document height.
    AnimVal fRadius;
};
