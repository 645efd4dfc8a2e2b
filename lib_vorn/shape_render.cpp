#include "shape_render.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "bone_tool_preview.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "m_style.h"
#include "meshlayer.h"
#include "pushed_transform.h"
#include "qv_noise.h"
#include "qv_random.h"
#include "render_settings.h"
#include "shape_edges.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr float kNoLineWidth = 1e-6f;
// The lower of two adjacent fills reaches under their shared border by this stroke, so no
// background shows through the seam.
constexpr float kSeamWidth = 1.75f;
// Shapes left in a layer from which one clear of the whole drawing raster costs less than
// clearing around each of them.
constexpr int32_t kWholeClearShapes = 16;

void Include(QV_BBox& box, const QV_Vector2* points)
{
    for (int i = 0; i < 4; i++)
        box.Include(points[i]);
}

} // namespace

ShapeRenderer::ShapeRenderer(MeshLayer* layer, VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target,
    QV_PixelBuffer* scratch, int32_t index, RenderSettings* settings)
    : fLayer(layer)
    , fDoc(doc)
    , fDrawing(graphics)
    , fTarget(target)
    , fScratch(scratch)
    , fIndex(index)
    , fSettings(settings)
    , fG(nullptr)
    , fShape(nullptr)
    , fStyle {}
    , fDirect(false)
    , fHasFill(false)
    , fHasLine(false)
    , fEffects(false)
    , fEffectEnlarge(1.25f)
    , fLayerFrame(0)
    , fDocHeight(0)
    , fScale(0)
    , fLargestWidth(0)
    , fRegionValid(false)
    , fRegion {}
    , fCleared(0)
    , fClearedBeforeDraw(0)
    , fDirectFill(false)
    , fDirectOutline(false)
{
}

void ShapeRenderer::Render()
{
    if (!fLayer || !fDoc || !fDrawing || !fTarget || !fSettings || fDoc->Height() <= 0)
        return;
    fLayer->UpdateToDocFrame(fDoc);
    const bool deformed = BeginBoneToolPreview(*fLayer, fDoc);
    fShape = fLayer->fMesh.GetShape(fIndex);
    if (!fShape) {
        if (deformed)
            EndBoneToolPreview(*fLayer);
        return;
    }
    ResolveShapeRenderStyle(fShape, fStyle);
    fEffectEnlarge = ShapeIsBoneBound(*fLayer, *fShape) ? 2.0f : 1.25f;
    fEffects = fSettings->fShapeEffects;
    fHasFill = fShape->fHasFill && !fSettings->fNoFills;
    fHasLine = fStyle.fLineWidth > kNoLineWidth;
    fLayerFrame = fLayer->CurFrame();
    fDocHeight = static_cast<float>(fDoc->Height());
    fDirect = CanDrawDirectly();
    fG = fDirect ? fSettings->fPreviewGraphics : fDrawing;
    if (!fG->fTarget.pixels || fG->Width() <= 0 || fG->Height() <= 0) {
        if (deformed)
            EndBoneToolPreview(*fLayer);
        return;
    }

    fG->fOutlineFills = fLayer->fGapFilling;
    QV_Matrix layerMatrix;
    fLayer->GetLayerTransform(fLayerFrame - fLayer->TotalTimingOffset(), layerMatrix, fDoc);
    PushedTransform layerTransform(fG, layerMatrix);
    const float zoom = fLayer->fScaleCompensation ? fG->CurrentScale(false, 0, 0) : fG->fZoom;
    fScale = static_cast<float>(fG->Height()) / fDocHeight * zoom;

    const bool tracking = fG->fTrackBounds;
    fG->fTrackBounds = true;
    if (!fDirect) {
        ReadMaskNote();
        PrepareClearRegion();
        fDirectFill = FillGoesDirect();
        fDirectOutline = OutlineGoesDirect();
    }

    int32_t pass = 0;
    for (;;) {
        Pass drawn;
        DrawPass(pass, drawn);
        if (!fDirect)
            FinishPass(drawn);
        if (!fHasFill)
            break;
        pass += fHasLine ? 1 : 2;
        if (pass >= 2)
            break;
    }

    if (!fDirect)
        WriteMaskNote();
    fG->fTrackBounds = tracking;
    layerTransform.Restore();
    if (deformed)
        EndBoneToolPreview(*fLayer);
}

void ShapeRenderer::DrawPass(int32_t pass, Pass& drawn)
{
    const bool fillPass = pass == 0 && fHasFill;
    // Effects may read the drawing raster around the rectangle they are given: such a pass,
    // like one whose extent cannot be foretold, starts from a clear raster.
    const bool whole = !fRegionValid || PassEffects(fillPass, nullptr) > 0;
    DrawPassOnce(pass, drawn, whole);
    if (!fDirect && !drawn.fComposited && !whole && fClearedBeforeDraw < 2 && DrewSomething()
        && !RegionHolds(PixelRect(4))) {
        drawn = Pass {};
        DrawPassOnce(pass, drawn, true);
    }
}

void ShapeRenderer::DrawPassOnce(int32_t pass, Pass& drawn, bool wholeRaster)
{
    const bool sameSize = fG->fTarget.width == fTarget->width && fG->fTarget.height == fTarget->height;
    const int32_t offset = sameSize ? 0 : fSettings->fMargin;
    const bool outlinePass = fHasLine && (!fHasFill || pass == 1);
    if (outlinePass && fDirectOutline && fDrawing->fOutlineCoverage.Begin(fRegion)) {
        // The drawing raster is left as it is. An outline that reaches beyond its predicted
        // region after all is drawn again through the drawing raster.
        CoverageAccumulator& coverage = fDrawing->fOutlineCoverage;
        fG->fSmoothSink = &coverage;
        fG->ResetBounds();
        OutlinePart();
        fG->fSmoothSink = nullptr;
        if (coverage.CompositeAndClear(fStyle.fLineColor, *fTarget, offset)) {
            drawn.fOutline = true;
            drawn.fComposited = true;
            return;
        }
    }
    if (pass == 0 && fHasFill && fDirectFill) {
        // The drawing raster is left as it is.
        DirectFillComposite sink(*fTarget, offset, fStyle.fFillColor);
        fG->fSmoothSink = &sink;
        fG->ResetBounds();
        FillPart();
        fG->fSmoothSink = nullptr;
        drawn.fFill = true;
        drawn.fComposited = true;
        return;
    }
    if (!fDirect) {
        if (fCleared < (wholeRaster ? 2 : 1)) {
            // A layer with many shapes to come clears the raster once: each shape after leaves it
            // clear for the next.
            if (fLayer->fMesh.fNumShapes - fIndex >= kWholeClearShapes)
                wholeRaster = true;
            ClearMask(wholeRaster);
            fCleared = wholeRaster ? 2 : 1;
        }
        fClearedBeforeDraw = fCleared;
        fCleared = 0;
        fG->SetColor(255, 255, 255, 255);
    }
    fG->ResetBounds();
    if (pass == 0 && fHasFill) {
        FillPart();
        drawn.fFill = true;
    }
    if (outlinePass) {
        OutlinePart();
        drawn.fOutline = true;
    }
}

bool ShapeRenderer::EffectApplies(int32_t slot) const
{
    M_Style* styles[3];
    const int32_t n = ShapeEffectStyles(fShape, styles);
    for (int32_t i = 0; i < n; i++) {
        if (styles[i]->fEffects[slot])
            return true;
    }
    return false;
}

bool ShapeRenderer::CanDrawDirectly() const
{
    if (!fSettings->fPreviewGraphics)
        return false;
    if (fHasFill && fStyle.fFillColor.a < 255)
        return false;
    if (fHasLine && (fStyle.fLineColor.a < 255 || fStyle.HasBrush()))
        return false;
    if (!fLayer->fFillTexture.IsEmpty() || !fLayer->fLineTexture.IsEmpty())
        return false;
    if (fEffects) {
        if (fHasFill && (EffectApplies(0) || EffectApplies(1)))
            return false;
        if (fHasLine && EffectApplies(kLineEffectSlot))
            return false;
    }
    return true;
}

void ShapeRenderer::NoiseOn(int32_t seed)
{
    const float pixels = fDocHeight * fScale;
    fG->SetLineNoise(RoundShapePixels(fLayer->fNoiseAmp * pixels),
        std::max(1, RoundShapePixels(fLayer->fNoiseScale * pixels)), seed);
}

void ShapeRenderer::FillPart()
{
    if (fDirect)
        fG->SetColorStruct(fStyle.fFillColor);
    if (fLayer->fNoisyShapes)
        NoiseOn(fLayer->fAnimatedNoise ? fLayerFrame : 0);
    if (fIndex < fLayer->fMesh.fNumShapes - 1)
        StrokeSeams(true);

    fBounds = QV_BBox {};
    fG->BeginShape();
    AddShapeFillPath(*fG, fLayer->fMesh, *fShape, fLayerFrame, fEffects ? &fBounds : nullptr);
    fG->EndShape();
    fG->fLineNoise = false;
}

// The segments this shape shares with a filled shape above it are stroked in the fill colour.
int32_t ShapeRenderer::StrokeSeams(bool draw)
{
    M_Mesh& mesh = fLayer->fMesh;
    int32_t stroked = 0;
    const ShapeSeamTable& seams = fLayer->fSeams;
    for (int32_t e = 0; e < fShape->fNumEdges; e++) {
        const int32_t c = fShape->fEdgeCurves[e];
        const int32_t s = fShape->fEdgeSegments[e];
        if (seams.TopFilledShape(c, s) <= fIndex)
            continue;
        // A segment that fails the test is passed over wherever it turns up.
        M_Curve* curve = DrawableSegment(mesh, c, s, false);
        if (!curve || !FillableSegment(curve, s))
            continue;
        stroked++;
        if (!draw)
            continue;
        QV_Vector2 b[4];
        curve->GetSegmentBezier(s, b);
        fG->DrawWideCurve(b, kSeamWidth, kSeamWidth);
    }
    return stroked;
}

void ShapeRenderer::OutlinePart()
{
    fBounds = QV_BBox {};
    fLargestWidth = 0;
    if (fDirect)
        fG->SetColorStruct(fStyle.fLineColor);
    int32_t widthUnits = RoundShapePixels(fDocHeight * fStyle.fLineWidth);
    if (widthUnits == 0)
        widthUnits = 1;
    fG->SetPenWidth(RoundShapePixels(fScale * static_cast<float>(widthUnits)));
    // A negative count from a damaged file still draws the outline once.
    const int32_t strokes = fLayer->fNoisyLines ? std::max(1, fLayer->fExtraLines + 1) : 1;
    const bool brush = fEffects && fStyle.HasBrush();
    if (brush) {
        QV_BaseImage* texture = fStyle.BrushTexture();
        fG->SetTexture(texture ? &texture->buffer : nullptr);
    }
    for (int32_t k = 0; k < strokes; k++)
        OutlineStroke(k, widthUnits);
    if (brush)
        fG->SetTexture(nullptr);
    const float w = fLargestWidth;
    fBounds.min = QV_Vector3 { fBounds.min.x - w, fBounds.min.y - w, fBounds.min.z - w };
    fBounds.max = QV_Vector3 { fBounds.max.x + w, fBounds.max.y + w, fBounds.max.z + w };
}

void ShapeRenderer::OutlineStroke(int32_t k, int32_t widthUnits)
{
    MeshLayer& layer = *fLayer;
    M_Mesh& mesh = layer.fMesh;
    const float noiseFrame = layer.fAnimatedNoise ? static_cast<float>(fLayerFrame) : 0.0f;
    if (layer.fNoisyLines) {
        NoiseOn(7 * k + (layer.fAnimatedNoise ? fLayerFrame : 0));
        fG->SetPenWidth(widthUnits);
    }
    const bool sketchy = layer.fNoisyLines && layer.fExtraSketchy;
    const bool brush = fEffects && fStyle.HasBrush();
    const float rasterPerDoc = static_cast<float>(fG->Height()) / fDocHeight;
    const float fk = static_cast<float>(k);
    for (int32_t e = 0; e < fShape->fNumEdges; e++) {
        const int32_t s = fShape->fEdgeSegments[e];
        M_Curve* curve = StrokedSegment(mesh, fShape->fEdgeCurves[e], s);
        if (!curve)
            continue;
        QV_Vector2 p[4];
        curve->GetSegmentBezier(s, p);
        float ws = PointLineWidth(*curve->GetPoint(s), fStyle.fLineWidth);
        float we = PointLineWidth(*curve->GetPoint(s + 1), fStyle.fLineWidth);
        if (sketchy) {
            const float fe = static_cast<float>(e);
            if (layer.fExtraLines > 0) {
                const float n = Noise3D(noiseFrame + fk + fe, noiseFrame - fk + fe,
                    noiseFrame + fk + static_cast<float>(fIndex), 1, 1);
                if (RoundShapePixels((n + 0.5f) * 10000) % layer.fExtraLines < layer.fExtraLines / 3)
                    continue;
            }
            const float frequency = 1.0f / layer.fNoiseScale;
            const float z = (noiseFrame + fk) * 1234;
            ws *= 0.5f + Noise3D(p[0].x + fk + noiseFrame, p[0].y + fk + noiseFrame, z, 1, frequency);
            we *= 0.5f + Noise3D(p[3].x + fk + noiseFrame, p[3].y + fk + noiseFrame, z, 1, frequency);
            // Also catches what a noise scale of 0 makes of the widths.
            if (!(ws >= 0))
                ws = 0;
            if (!(we >= 0))
                we = 0;
        }
        fLargestWidth = std::max({ fLargestWidth, ws, we });
        fG->SetPenWidth(std::max(1, RoundShapePixels(fScale * static_cast<float>(widthUnits))));
        float wsPixels = ws * fDocHeight * fScale;
        float wePixels = we * fDocHeight * fScale;
        if (layer.fScaleCompensation) {
            wsPixels = ws * fDocHeight * fG->CurrentScale(false, p[0].x, p[0].y) * rasterPerDoc;
            wePixels = we * fDocHeight * fG->CurrentScale(false, p[3].x, p[3].y) * rasterPerDoc;
        }
        if (brush) {
            M_Style* style = fStyle.fBrushStyle;
            // The same jitter every frame unless the style asks for a varying brush.
            if (!style->fBrushVaries)
                QV_SRand(
                    static_cast<uint32_t>(reinterpret_cast<uintptr_t>(fShape)) + static_cast<uint32_t>(e));
            fG->DrawBrushStroke(
                p, wsPixels, wePixels, style->fBrushAlign, style->fBrushAngle, style->fBrushSpacing);
        } else {
            fG->DrawWideCurve(p, wsPixels, wePixels);
        }
        if (fEffects) {
            curve->GetSegmentBezierAtFrame(fLayerFrame, s, p);
            Include(fBounds, p);
        }
    }
    fG->SetPenWidth(1);
    fG->fLineNoise = false;
}
