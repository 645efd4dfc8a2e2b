#pragma once

#include <cstdint>

#include "m_shapestyle.h"

// Style index 1: shifts the shape's colours by a smooth, distorted noise laid out over the shape's
// own rectangle, so the pattern is anchored to its top-left corner. Alpha never changes.
class SS_Splotchy : public M_ShapeStyle {
public:
    SS_Splotchy();
    ~SS_Splotchy() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void Apply(
        QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument* doc, float scale) override;

    // Noise amplitude in colour levels.
    int32_t fMagnitude;
    // Size of the splotches, a fraction of the document height.
    float fScale;
    // Lightness only instead of each colour channel.
    bool fMonochrome;
};
