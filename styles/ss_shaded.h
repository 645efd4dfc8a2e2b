#pragma once

#include <cstdint>

#include "animcolor.h"
#include "animval.h"
#include "m_shapestyle.h"

// Style index 0: shades the inside of a shape along the edges that face away from the light. A
// copy of the shape shifted towards the light masks it; what the copy leaves uncovered is
// darkened with the shadow colour, softened by a blur. One of the effects with an on-canvas
// handle, so the editor view draws it too.
class SS_Shaded : public M_ShapeStyle {
public:
    SS_Shaded();
    // Keys each channel at frame 0; used by M_Style::SetShading.
    SS_Shaded(float angle, float offset, float blur, rgb_color color);
    ~SS_Shaded() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void ApplyInLayer(XGraphics* graphics, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox bounds,
        QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape* shape,
        int32_t finalRender) override;
    // The offset's current value.
    float Margin() override;
    bool HasHandle() override;
    int32_t CountChannels() override;
    // 0 light angle, 1 offset, 2 blur, 3 shadow colour.
    AnimChannel* Channel(int32_t index) override;

    // Radians, 0 = +x, counter-clockwise with y up.
    AnimVal fLightAngle;
    // Fractions of the document height.
    AnimVal fOffset;
    AnimVal fBlur;
    AnimColor fShadowColor;
    // The shading replaces the shape instead of darkening it.
    bool fShadowOnly;
};
