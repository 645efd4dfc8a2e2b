// One shape of a vector layer as the editor view draws it: fill and outline straight into the
// view's graphics, the selection look, brushes, the masking-preview fill mode and the previews
// of shape effects with on-canvas handles.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "m_brush.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "m_style.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_bbox.h"
#include "qv_random.h"
#include "raster_alpha.h"
#include "raster_fill.h"
#include "render_settings.h"
#include "shape_edges.h"
#include "shape_pixels.h"
#include "shape_render_style.h"
#include "style_adapters.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kQualityFills = 4;
constexpr int32_t kQualityOutlines = 8;
constexpr int32_t kQualityTransparency = 0x80;
constexpr int32_t kQualitySmoothLines = 0x100;
constexpr int32_t kQualityBrushes = 0x200;
constexpr int32_t kQualityEffectHandles = 0x400;

// Alpha of the highlight drawn over the first selected shape.
constexpr uint8_t kHighlightAlpha = 64;
// Drawn-pixel bounds whose minimum lies beyond this tracked nothing.
constexpr float kNothingTracked = 100000.0f;
// Room cleared around an effect preview, so effects that spread (halos, soft edges) start from
// an empty border.
constexpr int32_t kEffectClearMargin = 32;

// Whether an effect of the slots has a handle in any of the three styles.
bool HasHandleIn(M_Shape& shape, int32_t firstSlot, int32_t lastSlot)
{
    M_Style* styles[3];
    const int32_t count = ShapeEffectStyles(&shape, styles);
    for (int32_t i = 0; i < count; i++) {
        const M_Style* style = styles[i];
        for (int32_t slot = firstSlot; slot <= lastSlot; slot++) {
            if (style->fEffects[slot] && style->fEffects[slot]->HasHandle())
                return true;
        }
    }
    return false;
}

// Applies the handled effects of the slots, styles in the order first reference, second
// reference, own style, to the shape's coverage left in the raster's alpha channel.
void ApplyHandleEffects(M_Shape& shape, int32_t firstSlot, int32_t lastSlot, XGraphics* graphics,
    QV_Rect rect, const QV_BBox& bounds, QV_PixelBuffer* scratch, VornDoc* doc, MeshLayer* layer, float scale)
{
    VornDocStyleAdapter docAdapter(doc);
    VornLayerStyleAdapter layerAdapter(layer, doc);
    QV_PixelBuffer whole = graphics->fTarget;
    M_Style* styles[3];
    const int32_t count = ShapeEffectStyles(&shape, styles);
    for (int32_t i = 0; i < count; i++) {
        const M_Style* style = styles[i];
        for (int32_t slot = firstSlot; slot <= lastSlot; slot++) {
            M_ShapeStyle* effect = style->fEffects[slot];
            if (effect && effect->HasHandle())
                effect->ApplyInLayer(
                    graphics, &whole, rect, bounds, scratch, &docAdapter, &layerAdapter, scale, &shape, 0);
        }
    }
}

void ScaleAboutCentre(QV_BBox& box, float factor)
{
    if (box.empty)
        return;
    const float cx = (box.min.x + box.max.x) / 2, cy = (box.min.y + box.max.y) / 2;
    const float hx = (box.max.x - box.min.x) / 2 * factor, hy = (box.max.y - box.min.y) / 2 * factor;
    box.min.x = cx - hx;
    box.max.x = cx + hx;
    box.min.y = cy - hy;
    box.max.y = cy + hy;
}

// The drawn-pixel bounds grown by `grow` pixels, or the whole raster when nothing was tracked.
QV_Rect TrackedRect(const QV_Graphics& graphics, int32_t grow)
{
    const DrawBounds& b = graphics.fBounds;
    QV_Rect rect;
    if (b.minX > kNothingTracked) {
        rect = QV_Rect { 0, 0, graphics.Width() - 1, graphics.Height() - 1 };
    } else {
        rect = QV_Rect { int32_t(b.minX - 1), int32_t(b.minY - 1), int32_t(b.maxX + 1), int32_t(b.maxY + 1) };
        rect.Normalize();
    }
    rect.left -= grow;
    rect.top -= grow;
    rect.right += grow;
    rect.bottom += grow;
    return rect;
}

// Clears the alpha channel around where the effect will work, so it starts from the shape's
// coverage alone.
void ClearAlphaAround(const QV_Graphics& graphics, QV_Rect rect)
{
    rect.left -= kEffectClearMargin;
    rect.top -= kEffectClearMargin;
    rect.right += kEffectClearMargin;
    rect.bottom += kEffectClearMargin;
    QV_PixelBuffer area;
    if (graphics.SubRaster(rect, area) == QV_RESULT_OK)
        SetRasterAlpha(area, 0);
}

// Alpha of a fill or line colour: scaled by the layer opacity with the transparency preview on;
// without it the view shows every colour opaque.
uint8_t EditorAlpha(uint8_t alpha, float opacity, bool transparency)
{
    if (!transparency)
        return 255;
    const int32_t o = std::clamp(RoundShapePixels(opacity * 255), 0, 255);
    return uint8_t(int32_t(alpha) * o / 255);
}

uint32_t PackForTint(rgb_color c)
{
    return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 | 0xFF000000u;
}

} // namespace

void MeshLayer::DrawShape(int32_t index, VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch,
    int32_t drawMode, bool highlight, RenderSettings* settings)
{
    if (!graphics)
        return;
    M_Shape* shape = fMesh.GetShape(index);
    if (!shape || shape->fHidden)
        return;
    const int32_t quality = fQualityFlags & ViewQualityFlags();
    const bool selectedLook = shape->fSelected && drawMode == DRAW_CURRENT;

    bool fillHandle = false;
    bool lineHandle = false;
    if (graphics->fTarget.bytesPerPixel == 4 && !highlight) {
        const bool handlesShown = (quality & kQualityEffectHandles)
            || (doc && doc->fSelLayer == this && doc->fCurrentTool == "QV_SelectShape");
        if (handlesShown) {
            fillHandle = HasHandleIn(*shape, 0, 1);
            lineHandle = HasHandleIn(*shape, kLineEffectSlot, kLineEffectSlot);
        }
    }
    const float enlargement = (fillHandle || lineHandle) && ShapeIsBoneBound(*this, *shape) ? 2.0f : 1.25f;

    ShapeRenderStyle style;
    ResolveShapeRenderStyle(shape, style, ShapeBrushUse::kEditor);
    M_Style* brushStyle = style.fBrushStyle;
    const bool brushShown = brushStyle && ((quality & kQualityBrushes) || selectedLook);
    QV_PixelBuffer brush;
    if (brushShown) {
        const bool colourBrush = brushStyle->fBrushHasAlpha && !brushStyle->fBrushTint;
        if (colourBrush) {
            brushStyle->fBrush->fImage.GetPixelBuffer(brush);
        } else {
            // The editor copy is tinted in place at every draw; the render keeps the plain mask.
            brushStyle->fBrushMaskCopy->GetPixelBuffer(brush);
            TintRaster(brush, PackForTint(style.fLineColor));
        }
    }

    const bool savedSmoothing = graphics->fSmoothing;
    graphics->SetSmoothing((quality & kQualitySmoothLines) != 0);
    const float docHeight = doc && doc->fHeight > 0 ? float(doc->fHeight) : float(graphics->Height());
    const float rasterRatio = docHeight > 0 ? graphics->Height() / docHeight : 1.0f;
    const float scale
        = rasterRatio * (fScaleCompensation ? graphics->CurrentScale(false, 0, 0) : graphics->fZoom);
    const bool transparency = (quality & kQualityTransparency) != 0;
    const float opacity = fAlpha.value;
    const int32_t noiseAmplitude = RoundShapePixels(fNoiseAmp * docHeight * scale);
    const int32_t noiseWavelength = std::max(1, RoundShapePixels(fNoiseScale * docHeight * scale));
    const int32_t noiseSeed = fAnimatedNoise ? fCurFrame : 0;

    // ---- Fill ----
    if ((quality & kQualityFills) && shape->fHasFill && style.fFillColor.a > 0) {
        if (fNoisyShapes)
            graphics->SetLineNoise(noiseAmplitude, noiseWavelength, noiseSeed);
        rgb_color colour = style.fFillColor;
        colour.a = EditorAlpha(colour.a, opacity, transparency);
        graphics->SetFillMode(fEditorFillMode);
        if (highlight) {
            graphics->SetFillMode(QV_Graphics::kFillPlain);
            colour.a = kHighlightAlpha;
        } else if (selectedLook) {
            graphics->SetFillMode(QV_Graphics::kFillChecker);
        }
        graphics->SetColorStruct(colour);
        QV_BBox bounds;
        if (fillHandle) {
            graphics->ResetBounds();
            graphics->fTrackBounds = true;
        }
        graphics->BeginShape();
        AddShapeFillPath(*graphics, fMesh, *shape, fCurFrame, fillHandle ? &bounds : nullptr);
        QV_Rect rect;
        if (fillHandle) {
            ScaleAboutCentre(bounds, enlargement);
            rect = TrackedRect(*graphics, 0);
            ClearAlphaAround(*graphics, rect);
        }
        graphics->EndShape();
        graphics->fLineNoise = false;
        graphics->fTrackBounds = false;
        if (fillHandle)
            ApplyHandleEffects(*shape, 0, 1, graphics, rect, bounds, scratch, doc, this, scale);
    }

    // ---- Outline ----
    if ((quality & kQualityOutlines) && style.fLineWidth > 1e-6f && style.fLineColor.a > 0) {
        const int32_t masking = RenderMaskingMode();
        const bool excludeFromMask = fExcludeLinesFromMask && fEditorFillMode != QV_Graphics::kFillPlain
            && (masking == MM_ADD_MASK || masking == MM_ADD_MASK_INVIS || masking == MM_CLEAR_ADD_MASK);
        if (excludeFromMask)
            graphics->SetFillMode(QV_Graphics::kFillPlain | QV_Graphics::kFillClearMask);
        int32_t widthUnits = RoundShapePixels(docHeight * style.fLineWidth);
        if (widthUnits == 0)
            widthUnits = 1;
        rgb_color colour = style.fLineColor;
        colour.a = EditorAlpha(colour.a, opacity, transparency);
        graphics->SetPenWidth(RoundShapePixels(scale * widthUnits));

        QV_BBox bounds;
        float widest = style.fLineWidth;
        QV_Rect rect;
        if (lineHandle) {
            // A tracing pass finds how far the outline reaches, before anything is drawn.
            graphics->fTrackBounds = true;
            graphics->ResetBounds();
            graphics->BeginShape();
            for (int32_t e = 0; e < shape->fNumEdges; e++) {
                const int32_t s = shape->fEdgeSegments[e];
                M_Curve* curve = DrawableSegment(fMesh, shape->fEdgeCurves[e], s, true);
                if (!curve || !FillableSegment(curve, s))
                    continue;
                QV_Vector2 b[4];
                curve->GetSegmentBezier(s, b);
                graphics->AddCurve(b[0], b[1], b[2], b[3]);
                for (const M_Point* p : { curve->GetPoint(s), curve->GetPoint(s + 1) }) {
                    widest = std::max(widest, PointLineWidth(*p, style.fLineWidth));
                }
            }
            rect = TrackedRect(*graphics, RoundShapePixels(widest * scale * docHeight));
            ClearAlphaAround(*graphics, rect);
            graphics->ResetBounds();
        }
        if (brushShown)
            graphics->SetTexture(&brush);
        if (fNoisyLines)
            graphics->SetLineNoise(noiseAmplitude, noiseWavelength, noiseSeed);

        const bool fixedWidths = settings && !settings->fVariableLineWidths;
        for (int32_t e = 0; e < shape->fNumEdges; e++) {
            const int32_t s = shape->fEdgeSegments[e];
            M_Curve* curve = StrokedSegment(fMesh, shape->fEdgeCurves[e], s);
            if (!curve)
                continue;
            const M_Point* start = curve->GetPoint(s);
            const M_Point* end = curve->GetPoint(s + 1);
            float ws = style.fLineWidth;
            float we = style.fLineWidth;
            if (!fixedWidths) {
                ws = PointLineWidth(*start, style.fLineWidth);
                we = PointLineWidth(*end, style.fLineWidth);
            }
            rgb_color edgeColour = colour;
            if (!excludeFromMask) {
                graphics->SetFillMode(fEditorFillMode);
                if (highlight && !brushShown) {
                    graphics->SetFillMode(QV_Graphics::kFillPlain);
                    edgeColour.a = kHighlightAlpha;
                } else if (selectedLook) {
                    graphics->SetFillMode(QV_Graphics::kFillChecker);
                }
            }
            graphics->SetColorStruct(edgeColour);
            graphics->SetPenWidth(std::max(1, RoundShapePixels(scale * widthUnits)));
            QV_Vector2 b[4];
            curve->GetSegmentBezier(s, b);
            float startScale = scale;
            float endScale = scale;
            if (fScaleCompensation) {
                startScale = graphics->CurrentScale(false, b[0].x, b[0].y) * rasterRatio;
                endScale = graphics->CurrentScale(false, b[3].x, b[3].y) * rasterRatio;
            }
            const float wsPixels = ws * docHeight * startScale;
            const float wePixels = we * docHeight * endScale;
            if (brushShown) {
                // Reseeded always, whatever the style asks of renders, so the pattern holds
                // still while the user edits.
                QV_SRand(uint32_t(reinterpret_cast<uintptr_t>(shape) + uintptr_t(e)));
                graphics->DrawBrushStroke(b, wsPixels, wePixels, brushStyle->fBrushAlign,
                    brushStyle->fBrushAngle, brushStyle->fBrushSpacing);
            } else {
                graphics->DrawWideCurve(b, wsPixels, wePixels);
            }
            if (lineHandle) {
                curve->GetSegmentBezierAtFrame(fCurFrame, s, b);
                for (const QV_Vector2& p : b)
                    bounds.Include(p);
            }
        }
        graphics->SetPenWidth(1);
        graphics->fLineNoise = false;
        if (lineHandle) {
            if (!bounds.empty) {
                const float grow = widest * scale / 2;
                bounds.min.x -= grow;
                bounds.min.y -= grow;
                bounds.max.x += grow;
                bounds.max.y += grow;
            }
            ScaleAboutCentre(bounds, enlargement);
            ApplyHandleEffects(
                *shape, kLineEffectSlot, kLineEffectSlot, graphics, rect, bounds, scratch, doc, this, scale);
            graphics->fTrackBounds = false;
        }
        if (excludeFromMask)
            graphics->SetFillMode(fEditorFillMode);
    }
    graphics->SetSmoothing(savedSmoothing);
}
