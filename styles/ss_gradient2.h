#pragma once

#include <cstdint>

#include "m_shapestyle.h"
#include "qv_arraylist.h"
#include "qv_color.h"

struct GradientStop;

// Gradient types of SS_Gradient2; any other value draws as linear.
constexpr int32_t kGradientLinear = 0;
constexpr int32_t kGradientRadial = 1;
constexpr int32_t kGradientReflected = 2;
constexpr int32_t kGradientAngle = 3;

// Style index 9: a gradient of any number of colour stops (linear, radial, reflected or around
// an angle) laid out in the layer between the shape's two effect handles. It follows the layer's
// transform and the parent skeleton's deformation, so it depends on the shape's position and has
// an on-canvas handle.
class SS_Gradient2 : public M_ShapeStyle {
public:
    // Linear, white at 0 and black at 1.
    SS_Gradient2();
    ~SS_Gradient2() override;

    // Opens the kind's edit dialog (style_dialogs.cpp).
    void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc) override;
    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void ApplyInLayer(XGraphics* graphics, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox bounds,
        QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape* shape,
        int32_t finalRender) override;
    int32_t Duration() override;
    bool IsPositionDependent() override;
    bool HasHandle() override;
    // Two per stop.
    int32_t CountChannels() override;
    // 2k the position of stop k, 2k + 1 its colour.
    AnimChannel* Channel(int32_t index) override;

    int32_t CountStops() const { return fStops.fCount; }
    GradientStop* Stop(int32_t index) const;
    // Takes ownership; appended at the end (SortStops puts it in place).
    void AppendStop(GradientStop* stop);
    // Removes and deletes the stop.
    void DeleteStop(GradientStop* stop);
    void DeleteAllStops();

    // Brings every stop to the frame and sorts them, unless they are there already.
    void SetFrame(int32_t frame);
    // Stable: each stop moves in front of the first earlier stop whose position is greater.
    void SortStops();
    // The colour at t from the stops' current values (fractions); white without stops.
    QV_ColorVector ColourAt(float t) const;
    // ColourAt as bytes, the angle type wrapping t beyond 1 back by 1.
    rgb_color LookupColour(float t) const;

    int32_t fType;
    // Owned GradientStop pointers, sorted by their current positions.
    QV_ArrayList fStops;
    // The frame the stops were last brought to; -1 for none.
    int32_t fCachedFrame;

private:
    float Parameter(
        const QV_Vector2& point, const QV_Vector2& origin, const QV_Vector2& direction, float length) const;
};
