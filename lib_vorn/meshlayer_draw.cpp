// The editor view's drawing of a vector layer: the shapes in the editor's manner, then the thin
// curve outlines, the point markers and the origin marker. The shapes themselves are drawn in
// meshlayer_draw_shape.cpp; the colours come from meshlayer_draw_colors.h.

#include "bone_tool_preview.h"
#include "grouplayer.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "meshlayer_draw_colors.h"
#include "model_prefs.h"
#include "pushed_transform.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kQualitySmoothLines = 0x100;
constexpr int32_t kQualityMaskPreview = 0x40;

// The masking mode the preview follows: a group without a mask leaves its sub-layers to the
// group's own place in the mask above it.
int32_t PreviewMaskingMode(const MeshLayer& layer)
{
    const GroupLayer* parent = layer.Parent();
    if (parent && parent->fGroupMask == GROUP_MASK_NONE)
        return parent->RenderMaskingMode();
    return layer.RenderMaskingMode();
}

int32_t EditorFillModeFor(int32_t maskingMode)
{
    switch (maskingMode) {
    case MM_NOTMASKED:
        return QV_Graphics::kFillPlain;
    case MM_ADD_MASK:
    case MM_CLEAR_ADD_MASK:
        return QV_Graphics::kFillMasked | QV_Graphics::kFillSetMask;
    case MM_SUB_MASK:
        return QV_Graphics::kFillMasked | QV_Graphics::kFillClearMask;
    case MM_ADD_MASK_INVIS:
        return QV_Graphics::kFillSetMask;
    case MM_SUB_MASK_INVIS:
        return QV_Graphics::kFillClearMask;
    default:
        return QV_Graphics::kFillMasked;
    }
}

} // namespace

void MeshLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
    VornLayer* currentLayer, RenderSettings* settings)
{
    if (!graphics)
        return;
    UpdateToDocFrame(doc);
    const bool savedSmoothing = graphics->fSmoothing;
    const int32_t mode = drawMode;
    const bool isCurrent = currentLayer == this;
    if (mode == DRAW_ONION_CURRENT && !isCurrent) {
        graphics->SetSmoothing(savedSmoothing);
        return;
    }
    const bool deformed = BeginBoneToolPreview(*this, doc);
    RunLayerScript();

    PushedTransform layerTransform(graphics);
    QV_Matrix transform;
    GetLayerTransform(fCurFrame - TotalTimingOffset(), transform, doc);
    graphics->ApplyMatrix(transform);

    switch (mode) {
    case DRAW_QUICK_PREVIEW:
        DrawShapes(doc, graphics, scratch, mode, settings);
        break;
    case DRAW_SWF:
        ExportSWF(doc, graphics, settings);
        break;
    case DRAW_EDIT:
    case DRAW_ONION:
        break;
    default:
        DrawShapes(doc, graphics, scratch, mode, settings);
        if (isCurrent) {
            for (int32_t i = 0; i < fMesh.fNumShapes; i++) {
                if (fMesh.fShapes[i]->fSelected) {
                    DrawShape(i, doc, graphics, scratch, mode, true, settings);
                    break;
                }
            }
        }
        break;
    }

    if (mode != DRAW_CURRENT && mode != DRAW_QUICK_PREVIEW && mode != DRAW_SWF) {
        const int32_t quality = fQualityFlags & ViewQualityFlags();
        const bool overlays = ShowsEditOverlays();
        if (overlays || mode == DRAW_ONION) {
            graphics->SetSmoothing((quality & kQualitySmoothLines) != 0);
            DrawCurveOverlay(mode, graphics);
        }
        const bool childOfCurrent = currentLayer && Parent() == currentLayer && doc && doc->fCurFrame == 0;
        if ((mode == DRAW_EDIT || childOfCurrent) && overlays) {
            graphics->SetSmoothing(false);
            if (mode != DRAW_ONION)
                DrawPointOverlay(graphics, mode);
        }
        if (mode == DRAW_EDIT && overlays) {
            graphics->SetSmoothing(true);
            graphics->SetColorStruct(EditorColInac());
            graphics->DrawOriginMarker(fOrigin.x, fOrigin.y);
        }
    }

    layerTransform.Restore();
    if (deformed)
        EndBoneToolPreview(*this);
    graphics->SetSmoothing(savedSmoothing);
}

void MeshLayer::DrawShapes(
    VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t drawMode, RenderSettings* settings)
{
    if (!graphics)
        return;
    if ((fQualityFlags & ViewQualityFlags()) & kQualityMaskPreview) {
        const int32_t masking = PreviewMaskingMode(*this);
        if (masking == MM_CLEAR_ADD_MASK)
            graphics->ClearMask();
        fEditorFillMode = EditorFillModeFor(masking);
    } else {
        fEditorFillMode = QV_Graphics::kFillPlain;
    }
    // Without a mask the graphics keeps only the solid and checkerboard bits.
    graphics->SetFillMode(fEditorFillMode);
    for (int32_t i = 0; i < fMesh.fNumShapes; i++)
        DrawShape(i, doc, graphics, scratch, drawMode, false, settings);
    graphics->SetFillMode(QV_Graphics::kFillPlain);
}

void MeshLayer::DrawCurveOverlay(int32_t drawMode, XGraphics* graphics)
{
    if (!graphics)
        return;
    graphics->SetPenWidth(1);
    graphics->SetColorStruct(drawMode == DRAW_EDIT ? EditorColObj() : EditorColInac());
    for (int32_t c = 0; c < fMesh.fNumCurves; c++) {
        M_Curve* curve = fMesh.fCurves[c];
        // A lone point has no segment to outline.
        if (curve->GetNumPoints() < 2)
            continue;
        const int32_t segments = curve->GetNumSegments();
        for (int32_t s = 0; s < segments; s++) {
            QV_Vector2 b[4];
            curve->GetSegmentBezier(s, b);
            graphics->DrawCurve(b);
        }
    }
}

void MeshLayer::DrawPointOverlay(XGraphics* graphics, int32_t drawMode)
{
    if (!graphics)
        return;
    const rgb_color inactive = EditorColInac();
    const rgb_color object = EditorColObj();
    const rgb_color selected = EditorColSel();
    for (int32_t i = 0; i < fMesh.fNumPoints; i++) {
        const M_Point* point = fMesh.fPoints[i];
        if (drawMode == DRAW_EDIT && point->fSelected) {
            graphics->SetColorStruct(selected);
            graphics->DrawFatMarker(point->fPos.x, point->fPos.y, 3);
        } else {
            graphics->SetColorStruct(drawMode == DRAW_EDIT ? object : inactive);
            graphics->DrawMarker(point->fPos.x, point->fPos.y);
        }
    }
}
