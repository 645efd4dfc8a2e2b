#pragma once

#include <cstdint>

#include "m_shapestyle.h"
#include "qv_bbox.h"
#include "qv_color.h"
#include "qv_rect.h"

class AnimChannel;
class M_Shape;
class QV_Wnd;
class StyleDocument;
class StyleLayer;
class XGraphics;
struct QV_PixelBuffer;

// The rendering and editing half of a shape effect, shared by the eleven effect kinds: what the
// vector layer's renderer, the editor view and the style panel ask of an effect beyond its type
// and record. The virtual operations continue those of M_ShapeStyle in slot order (slots 4 to
// 12); each has the neutral behaviour here and the kinds override what they use.
//
// Images are 32-bit rasters (bytes b, g, r, a, straight alpha). Sizes are stored as fractions of
// the document height and become value x document height x scale pixels when applied.
class M_ShapeEffect : public M_ShapeStyle {
public:
    ~M_ShapeEffect() override;

    int32_t StyleType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;

    // Changes image (and may overwrite work, a buffer of the same size and row layout) inside
    // rect. Nothing here.
    virtual void Apply(
        QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument* doc, float scale);
    // The renderer's entry. graphics draws into the per-shape work image of the layer frame;
    // shapeImage views rect of that target; bounds hold the shape's extent in layer units; work
    // has the target's size and layout; layer and shape may be null (the style dialog preview);
    // finalRender is 1 for rendering and previews, 0 when the editor view draws. Here: Apply on
    // the shape image alone, with (0, 0) at its top-left corner.
    virtual void ApplyInLayer(XGraphics* graphics, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox bounds,
        QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape* shape,
        int32_t finalRender);
    // Opens the kind's modal edit dialog. Nothing yet: the dialogs come with the widget set.
    virtual void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc);
    // The latest key frame over the kind's channels; 0 here.
    virtual int32_t Duration();
    // Extra extent around the shape, a fraction of the document height; 0 here.
    virtual float Margin();
    // The editor view draws the effects that answer true; false here.
    virtual bool HasHandle();
    virtual int32_t CountChannels();
    // Null here and for indices the kind does not have.
    virtual AnimChannel* Channel(int32_t index);

protected:
    M_ShapeEffect() = default;
};
