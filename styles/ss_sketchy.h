#pragma once

#include <cstdint>

#include "m_shapestyle.h"

// Style index 7: rounds and thins the outline: the coverage is box-blurred and sharpened again
// through the sketch alpha table. Colours never change.
class SS_Sketchy : public M_ShapeStyle {
public:
    SS_Sketchy();
    ~SS_Sketchy() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void Apply(
        QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument* doc, float scale) override;

    // Blur radius, a fraction of the document height.
    float fRadius;
};
