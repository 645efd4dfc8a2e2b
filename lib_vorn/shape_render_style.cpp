#include "shape_render_style.h"

#include "m_brush.h"
#include "m_shape.h"
#include "m_style.h"

namespace {

// Own style, then the second reference, then the first.
template <typename Defines> M_Style* Definer(M_Shape* shape, Defines defines)
{
    if (defines(&shape->fMyStyle))
        return &shape->fMyStyle;
    if (shape->fStyle2 && defines(shape->fStyle2))
        return shape->fStyle2;
    if (shape->fStyle1 && defines(shape->fStyle1))
        return shape->fStyle1;
    return &shape->fMyStyle;
}

bool BrushResolves(M_Style* style, ShapeBrushUse use)
{
    if (!style)
        return false;
    style->ResolveBrush();
    if (!style->fBrush)
        return false;
    if (use == ShapeBrushUse::kEditor)
        return style->fBrushMaskCopy && style->fBrushMaskCopy->buffer.pixels != nullptr;
    return style->fBrush->fImage.buffer.pixels != nullptr;
}

} // namespace

bool ShapeRenderStyle::IsColorBrush() const
{
    return fBrush && fBrushStyle->fBrushHasAlpha && !fBrushStyle->fBrushTint;
}

QV_BaseImage* ShapeRenderStyle::BrushTexture() const
{
    if (!fBrush)
        return nullptr;
    return IsColorBrush() ? &fBrush->fImage : fBrushStyle->fBrushMask;
}

void ResolveShapeRenderStyle(M_Shape* shape, ShapeRenderStyle& out, ShapeBrushUse use)
{
    out.fFillColor = Definer(shape, [](M_Style* s) { return s->fDefineFillCol; })->fFillCol.value;
    out.fLineColor = Definer(shape, [](M_Style* s) { return s->fDefineLineCol; })->fLineCol.value;
    out.fLineWidth
        = shape->fHasOutline ? Definer(shape, [](M_Style* s) { return s->fDefineLineWidth; })->fLineWidth : 0;
    out.fBrushStyle = nullptr;
    out.fBrush = nullptr;
    for (M_Style* style : { &shape->fMyStyle, shape->fStyle2, shape->fStyle1 }) {
        if (BrushResolves(style, use)) {
            out.fBrushStyle = style;
            out.fBrush = style->fBrush;
            break;
        }
    }
}

int32_t ShapeEffectStyles(M_Shape* shape, M_Style* styles[3])
{
    int32_t n = 0;
    if (shape->fStyle1)
        styles[n++] = shape->fStyle1;
    if (shape->fStyle2)
        styles[n++] = shape->fStyle2;
    styles[n++] = &shape->fMyStyle;
    return n;
}
