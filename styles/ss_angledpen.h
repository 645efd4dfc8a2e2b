#pragma once

#include <cstdint>

#include "m_shapestyle.h"

// Style index 8: imitates a broad pen held at an angle: the coverage is blurred along one
// direction and sharpened again through the pen alpha table. Colours never change.
class SS_AngledPen : public M_ShapeStyle {
public:
    SS_AngledPen();
    ~SS_AngledPen() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void Apply(
        QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument* doc, float scale) override;

    // Length of the pen stroke, a fraction of the document height.
    float fRadius;
    // Direction of the stroke, radians.
    float fAngle;
};

// The stroke direction in whole degrees, as the kernel builder takes it: the angle rounded half
// away from zero and brought into 0..359 (angles of any size, the non-finite as 0).
int32_t PenDirectionDegrees(float radians);
