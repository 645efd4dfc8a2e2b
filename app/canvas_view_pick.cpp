#include "canvas_view.h"

#include "app_prefs.h"
#include "view_picking.h"

int32_t CanvasView::PickPoint(const QV_Point& pt, int32_t tolerance)
{
    return PickMeshPoint(fGraphics, fDoc, pt, tolerance);
}

void CanvasView::PickEdge(const QV_Point& pt, int32_t& curve, int32_t& segment, int32_t tolerance)
{
    PickMeshEdge(fGraphics, fDoc, pt, curve, segment, tolerance);
}

int32_t CanvasView::PickShape(const QV_Point& pt, int32_t start, int32_t tolerance)
{
    return PickMeshShape(fGraphics, fScratchImage, fDoc, pt, start, tolerance);
}

int32_t CanvasView::PickBone(const QV_Point& pt, const QV_Vector2& vec, VornLayer* layer, bool exact, int32_t tolerance)
{
    return PickSkeletonBone(fGraphics, fDoc, layer, exact, pt, vec, tolerance, gToggles.hideControlledBones);
}

void CanvasView::FloodSelect(const QV_Point& pt, int32_t tolerance)
{
    FloodSelectMesh(fGraphics, fDoc, pt, tolerance);
}

M_Shape* CanvasView::PickGlobalShape(const QV_Point& pt, int32_t start, int32_t tolerance)
{
    return PickAnyShape(fGraphics, fScratchImage, fDoc, pt, start, tolerance);
}

void CanvasView::DrawPreviewShape()
{
    DrawMeshPreviewShape(fGraphics, fDoc, gPrefs.colSel);
}
