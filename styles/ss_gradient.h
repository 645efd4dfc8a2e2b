#pragma once

#include <cstdint>

#include "animcolor.h"
#include "animval.h"
#include "m_shapestyle.h"

// Style index 5: a linear or radial blend between two colours laid out over the shape's own
// rectangle, composited over the shape's colours; the shape's alpha is kept.
class SS_Gradient : public M_ShapeStyle {
public:
    SS_Gradient();
    ~SS_Gradient() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    // Evaluates the channels at the document's frame.
    void Apply(
        QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument* doc, float scale) override;
    int32_t Duration() override;

    // Direction from colour 1 to colour 2, radians, 0 = +x, counter-clockwise with y up.
    AnimVal fAngle;
    // At the start (linear) or the centre (radial).
    AnimColor fColor1;
    // At the end (linear) or the rim (radial).
    AnimColor fColor2;
    bool fRadial;
};
