#include "shape_edges.h"

#include "grouplayer.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "qv_bbox.h"
#include "qv_graphics.h"

M_Curve* DrawableSegment(M_Mesh& mesh, int32_t curveIndex, int32_t segment, bool report)
{
    M_Curve* curve = report                               ? mesh.GetCurve(curveIndex)
        : curveIndex >= 0 && curveIndex < mesh.fNumCurves ? mesh.fCurves[curveIndex]
                                                          : nullptr;
    if (!curve || segment < 0 || segment >= curve->fNumPoints || curve->fNumPoints < 2)
        return nullptr;
    return curve;
}

bool FillableSegment(M_Curve* curve, int32_t segment)
{
    if (segment < 0 || segment >= curve->GetNumPoints() || curve->GetNumPoints() < 2)
        return false;
    const M_Point* start = curve->GetPoint(segment);
    const M_Point* end = curve->GetPoint(segment + 1);
    return start && end && !start->fDangling && !end->fDangling;
}

M_Curve* StrokedSegment(M_Mesh& mesh, int32_t curveIndex, int32_t segment)
{
    M_Curve* curve = mesh.GetCurve(curveIndex);
    if (!curve || segment >= curve->fNumPoints || !curve->IsSegmentOn(segment) || curve->fNumPoints < 2)
        return nullptr;
    return curve;
}

float PointLineWidth(const M_Point& point, float lineWidth)
{
    return point.fWidth.value < 0 ? lineWidth : point.fWidth.value;
}

void AddShapeFillPath(
    QV_Graphics& graphics, M_Mesh& mesh, const M_Shape& shape, int32_t frame, QV_BBox* bounds)
{
    for (int32_t e = 0; e < shape.fNumEdges; e++) {
        if (shape.fEdgeFlags[e] & kEdgeDangling)
            continue;
        const int32_t s = shape.fEdgeSegments[e];
        M_Curve* curve = DrawableSegment(mesh, shape.fEdgeCurves[e], s, true);
        if (!curve || !FillableSegment(curve, s))
            continue;
        QV_Vector2 b[4];
        curve->GetSegmentBezier(s, b);
        graphics.AddCurve(b[0], b[1], b[2], b[3]);
        if (bounds) {
            curve->GetSegmentBezierAtFrame(frame, s, b);
            for (const QV_Vector2& p : b)
                bounds->Include(p);
        }
    }
}

bool ShapeIsBoneBound(MeshLayer& layer, const M_Shape& shape)
{
    GroupLayer* parent = layer.Parent();
    if (layer.fLayerParentBone != -1 || !parent || !parent->IsBoneType())
        return false;
    for (int32_t e = 0; e < shape.fNumEdges; e++) {
        const int32_t s = shape.fEdgeSegments[e];
        M_Curve* curve = DrawableSegment(layer.fMesh, shape.fEdgeCurves[e], s, false);
        if (!curve)
            continue;
        const M_Point* start = curve->GetPoint(s);
        const M_Point* end = curve->GetPoint(s + 1);
        if ((start && start->fParent >= 0) || (end && end->fParent >= 0))
            return true;
    }
    return false;
}
