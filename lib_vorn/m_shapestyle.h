#pragma once

#include <cstdint>

#include "qv_bbox.h"
#include "qv_color.h"
#include "qv_rect.h"

class AnimChannel;
class M_Shape;
class QV_IoStream;
class QV_Wnd;
class StyleDocument;
class StyleLayer;
class XGraphics;
struct QV_PixelBuffer;

// Base of the fill and line effects that a style holds in its three effect slots: what the
// model stores, copies and reads, and what the vector layer's renderer, the editor view and the
// style panel ask of an effect. Each operation has the neutral behaviour here; the eleven effect
// kinds (shading, soft edge, halo, gradients, textures ...) live with the shape-style code and
// override what they use.
//
// Images are 32-bit rasters (bytes b, g, r, a, straight alpha). Sizes are stored as fractions of
// the document height and become value x document height x scale pixels when applied.
class M_ShapeStyle {
public:
    virtual ~M_ShapeStyle();

    // The style index 0 to 10; stored in the style record, and 10203 + index is the type id
    // that CreateShapeStyle makes.
    virtual int32_t StyleType();
    // The effect's values, which follow the index on the style record's line.
    virtual bool ReadRecord(QV_IoStream* stream);
    // The values on the current line, without a line feed.
    virtual void WriteRecord(QV_IoStream* stream);
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
    // Opens the kind's modal edit dialog (the effect kinds override it). Nothing here.
    virtual void Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,
        StyleDocument* doc);
    // The latest key frame over the kind's channels; 0 here.
    virtual int32_t Duration();
    // Extra extent around the shape, a fraction of the document height; 0 here.
    virtual float Margin();
    // Effects placed in layer space (rather than relative to the shape) answer true.
    virtual bool IsPositionDependent();
    // The editor view draws the effects that answer true; false here.
    virtual bool HasHandle();
    virtual int32_t CountChannels();
    // Null here and for indices the kind does not have.
    virtual AnimChannel* Channel(int32_t index);

protected:
    M_ShapeStyle() = default;
};

// Type ids: 10202 means no effect, 10203 + the style index each effect kind.
constexpr int32_t kNoShapeStyleId = 10202;
constexpr int32_t kFirstShapeStyleId = 10203;

// The effect kinds register their maker here when they are linked in; without one every type id
// answers null, so a style record that names an effect cannot be read.
using ShapeStyleFactory = M_ShapeStyle* (*)(int32_t typeId);
void SetShapeStyleFactory(ShapeStyleFactory factory);

// A new effect of the type id, owned by the caller, or null.
M_ShapeStyle* CreateShapeStyle(int32_t typeId);
