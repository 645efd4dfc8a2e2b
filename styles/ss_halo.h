#pragma once

#include <cstdint>

#include "animcolor.h"
#include "animval.h"
#include "m_shapestyle.h"

// Style index 4: a glow of a colour along the inside of the shape's edges, faded towards the
// inside by a blur. Nothing is added outside the shape, whose alpha is kept.
class SS_Halo : public M_ShapeStyle {
public:
    SS_Halo();
    ~SS_Halo() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void ApplyInLayer(XGraphics* graphics, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox bounds,
        QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape* shape,
        int32_t finalRender) override;
    int32_t CountChannels() override;
    // 0 inset radius, 1 blur radius, 2 halo colour.
    AnimChannel* Channel(int32_t index) override;

    // Fractions of the document height: the width of the glow inside the edge and its softening.
    AnimVal fInsetRadius;
    AnimVal fBlurRadius;
    AnimColor fHaloColor;
    // The glow replaces the shape.
    bool fHaloOnly;
};
