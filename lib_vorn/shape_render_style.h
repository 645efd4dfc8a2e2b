#pragma once

#include <cstdint>

#include "qv_color.h"

class M_Brush;
class M_Shape;
class M_Style;
class QV_BaseImage;

// What one shape is drawn with once its own style and its two shared styles are merged: for each
// of fill colour, line colour and line width the own style wins when it defines the value, then
// the second shared style, then the first, and the own value again when nobody defines it. The
// brush follows the same order among the styles whose brush resolves to an image.
struct ShapeRenderStyle {
    rgb_color fFillColor;
    rgb_color fLineColor;
    // A fraction of the document height; 0 for a shape without outline.
    float fLineWidth;
    // The style the brush came from (its options travel with it); null without a brush.
    M_Style* fBrushStyle;
    M_Brush* fBrush;

    bool HasBrush() const { return fBrush != nullptr; }
    // A brush with transparency that is not tinted keeps its own colours.
    bool IsColorBrush() const;
    // The brush's image for a colour brush, else its mask.
    QV_BaseImage* BrushTexture() const;
};

// Which image a brush is drawn from besides a colour brush's own: a final render draws the mask,
// the editor view its own copy of it, tinted in place. A style's brush counts only when that
// image is there.
enum class ShapeBrushUse {
    kRender,
    kEditor,
};

void ResolveShapeRenderStyle(
    M_Shape* shape, ShapeRenderStyle& out, ShapeBrushUse use = ShapeBrushUse::kRender);

// The three styles in the order the effects are applied: first reference, second reference, own
// style. Missing references are left out; answers the count.
int32_t ShapeEffectStyles(M_Shape* shape, M_Style* styles[3]);
