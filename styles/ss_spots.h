#pragma once

#include <cstdint>

#include "m_shapestyle.h"

// Style index 3: covers the shape with a staggered pattern of jittered elliptical spots laid out
// over the shape's own rectangle. The spots show only inside the shape, whose alpha is kept.
class SS_Spots : public M_ShapeStyle {
public:
    SS_Spots();
    ~SS_Spots() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void Apply(
        QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument* doc, float scale) override;

    // Fractions of the document height: the spot's size along and across the length axis, and
    // the distances between spot centres along it and between rows.
    float fSpotLength;
    float fSpotWidth;
    float fLengthSpacing;
    float fWidthSpacing;
    // Direction of the length axis, radians.
    float fAngle;
    rgb_color fSpotColor;
};
