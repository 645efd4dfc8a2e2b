// One shape of the vector layer's SWF export: its segments with their flags and end widths, the
// fill (solid or gradient), the line, and the passes a special shape needs.

#include <cmath>
#include <memory>

#include "blend_tables.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "meshlayer.h"
#include "meshlayer_swf.h"
#include "render_settings.h"
#include "shape_render_style.h"
#include "swf.h"
#include "swf_gradient_reader.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr float kEpsilon = 0.000001f;
constexpr float kPi = 3.14159265f;
constexpr float kGradientScale = 0.06f / 100.0f;

int32_t Nearest(float v)
{
    return static_cast<int32_t>(v >= 0 ? v + 0.5f : v - 0.5f);
}

QV_Vector2 Apply(const QV_Matrix& m, const QV_Vector2& p)
{
    QV_Vector2 v = p;
    m.Transform(v);
    return v;
}

QV_Vector2 Turned(QV_Vector2 v, float radians)
{
    v.Rotate(radians);
    return v;
}

QV_Vector2 Perpendicular(const QV_Vector2& v)
{
    const float length = v.Mag();
    if (length == 0)
        return QV_Vector2{ 0, 1 };
    return QV_Vector2{ -v.y / length, v.x / length };
}

// The first of the own style's two fill effects, when it reads as a linear or radial gradient.
bool FindGradient(M_Shape* shape, int32_t frame, SwfGradientEffect& out)
{
    SwfGradientReader reader = GetSwfGradientReader();
    if (!reader)
        return false;
    for (int32_t slot = 0; slot < 2; slot++) {
        M_ShapeStyle* effect = shape->fMyStyle.fEffects[slot];
        if (effect && effect->StyleType() == kSwfGradientStyleType)
            return reader(effect, frame, out) && (out.fType == 0 || out.fType == 1);
    }
    return false;
}

// What one shape is written with.
struct SwfShapeJob {
    M_Shape* fShape;
    XGraphics* fGraphics;
    QV_Vector2 fQ;
    rgb_color fFill;
    rgb_color fLine;
    float fLineWidth;
    int32_t fPixels;
    bool fSpecial;
    bool fVariable;
    bool fHasGradient;
    SwfGradientEffect fGradient;
    std::unique_ptr<SwfWorkSegment[]> fSegments;
    int32_t fCount;
};

SwfShape* NewShape(MeshLayer& layer)
{
    SwfShape* shape = newSWFShape();
    layer.fSWFShapes.Append(shape);
    return shape;
}

// Into the layer's clip when it has one, else straight into the movie for this frame only.
void EndShape(MeshLayer& layer, SwfShape* shape, XGraphics* graphics)
{
    SWFShape_end(shape);
    if (layer.fSWFClip) {
        SWFMovieClip_add(layer.fSWFClip, shape);
        return;
    }
    SwfDisplayItem* item = SWFMovie_add(graphics->fSWFTarget, shape);
    if (item)
        graphics->fSWFItems.Append(item);
}

void AddFill(MeshLayer& layer, SwfShape* out, const SwfShapeJob& job, bool boxAtFrameZero)
{
    const rgb_color& c = job.fFill;
    SwfFill* fill = nullptr;
    if (!job.fHasGradient) {
        fill = SWFShape_addSolidFill(out, c.r, c.g, c.b, c.a);
    } else {
        SwfGradient* gradient = newSWFGradient();
        for (int32_t i = 0; i < job.fGradient.fCount; i++) {
            const SwfGradientStop& stop = job.fGradient.fStops[i];
            SWFGradient_addEntry(gradient, stop.fPosition, stop.fColor.r, stop.fColor.g, stop.fColor.b, c.a);
        }
        const bool radial = job.fGradient.fType == 1;
        fill = SWFShape_addGradientFill(out, gradient, radial ? SWFFILL_RADIAL_GRADIENT : SWFFILL_LINEAR_GRADIENT);
        // The fill holds the gradient; our own hold would outlive everything else.
        destroySWFGradient(gradient);
        M_Shape* shape = job.fShape;
        const float theta = shape->fEffectRotation.value;
        const float scale = shape->fEffectScale.value;
        SWFFill_rotate(fill, theta * 180 / kPi + 90);
        QV_Vector2 min, max;
        if (boxAtFrameZero)
            shape->ShapeBounds(0, min, max);
        else
            shape->ShapeBounds(min, max);
        const QV_Vector2 centre = (min + max) / 2.0f;
        QV_Vector2 p = centre;
        if (!radial) {
            const float r = std::fmax(std::fabs(min.x - centre.x), std::fabs(min.y - centre.y));
            p = centre + Turned(QV_Vector2{ 0, 0.5f * scale * r }, theta);
        }
        const QV_Matrix m = job.fGraphics->CurrentTransform();
        const QV_Vector2 d = Apply(m, centre + Turned(min - centre, -theta)) - Apply(m, centre);
        float length = std::fmax(std::fabs(d.x), std::fabs(d.y));
        if (radial)
            length *= 2;
        p = p + shape->fEffectOffset.value;
        const QV_Vector2 placed = Apply(m, p);
        const float s = scale * length * kGradientScale;
        SWFFill_scaleXY(fill, s, s);
        SWFFill_move(fill, placed.x - job.fQ.x, placed.y - job.fQ.y);
    }
    if (fill)
        layer.fSWFFills.Append(fill);
    SWFShape_setRightFill(out, fill);
}

// The segments the pass keeps, a new contour wherever one does not start at the previous end.
void TracePath(MeshLayer& layer, SwfShape* out, const SwfShapeJob& job, uint8_t leaveOut)
{
    layer.fSWFPenPlaced = false;
    if (job.fCount == 0)
        return;
    QV_Vector2 previousEnd = job.fSegments[0].fP[0];
    for (int32_t i = 0; i < job.fCount; i++) {
        const SwfWorkSegment& seg = job.fSegments[i];
        if (seg.fFlags & leaveOut)
            continue;
        if (i > 0 && !SwfSamePoint(seg.fP[0], previousEnd))
            layer.fSWFPenPlaced = false;
        if (!SwfSamePoint(seg.fP[0], seg.fP[3]))
            layer.AddSWFShapeOutline(job.fGraphics, out, seg.fP, job.fQ);
        previousEnd = seg.fP[3];
    }
}

// A line of changing width as a filled band with straight caps.
void AddBand(MeshLayer& layer, XGraphics* graphics, SwfShape* out, const SwfWorkSegment& seg, const QV_Vector2& q,
    float documentHeight, bool mirrored)
{
    const QV_Vector2* p = seg.fP;
    QV_Vector2 n[4] = { Perpendicular(p[1] - p[0]) * seg.fW0, Perpendicular(p[2] - p[0]) * seg.fW0,
        Perpendicular(p[3] - p[1]) * seg.fW1, Perpendicular(p[3] - p[2]) * seg.fW1 };
    QV_Vector2 one[4], two[4];
    for (int32_t i = 0; i < 4; i++) {
        n[i] = n[i] / documentHeight;
        if (mirrored)
            n[i] = n[i] * -1.0f;
        one[i] = p[i] + n[i];
        two[i] = p[i] - n[i];
    }
    layer.fSWFPenPlaced = false;
    const QV_Vector2 side[4] = { one[0], one[1], one[2], one[3] };
    const QV_Vector2 endCap[4] = { one[3], one[3], two[3], two[3] };
    const QV_Vector2 back[4] = { two[3], two[2], two[1], two[0] };
    const QV_Vector2 startCap[4] = { two[0], two[0], one[0], one[0] };
    layer.AddSWFShapeOutline(graphics, out, side, q);
    layer.AddSWFShapeOutline(graphics, out, endCap, q);
    layer.AddSWFShapeOutline(graphics, out, back, q);
    layer.AddSWFShapeOutline(graphics, out, startCap, q);
}

}  // namespace

void MeshLayer::ExportSWFShape(int32_t index, VornDoc* doc, XGraphics* graphics, RenderSettings* settings,
    const QV_Vector2& q, float lineScale, bool mirrored)
{
    M_Shape* shape = fMesh.GetShape(index);
    if (!shape)
        return;
    const float documentHeight = static_cast<float>(doc->Height());
    const int32_t frame = doc->CurFrame() + TotalTimingOffset();
    SwfShapeJob job;
    job.fShape = shape;
    job.fGraphics = graphics;
    job.fQ = q;
    job.fHasGradient = FindGradient(shape, frame, job.fGradient);

    ShapeRenderStyle style;
    ResolveShapeRenderStyle(shape, style);
    job.fFill = style.fFillColor;
    job.fLine = style.fLineColor;
    job.fPixels = Nearest(documentHeight * style.fLineWidth * lineScale);
    job.fPixels = job.fPixels < 1 ? 1 : job.fPixels;
    job.fLineWidth = shape->fHasOutline ? style.fLineWidth : 0;
    int32_t opacity = Nearest(fAlpha.value * 255);
    opacity = opacity < 0 ? 0 : (opacity > 255 ? 255 : opacity);
    if (!fSWFClip) {
        job.fFill.a = BlendMulTable[job.fFill.a][opacity];
        job.fLine.a = BlendMulTable[job.fLine.a][opacity];
    }

    // Segments in edge order with their flags and end widths.
    job.fCount = shape->GetNumEdges();
    job.fSegments.reset(new SwfWorkSegment[job.fCount > 0 ? job.fCount : 1]);
    job.fSpecial = false;
    job.fVariable = false;
    const bool variableAllowed = !settings || settings->fVariableLineWidths;
    const float pixelScale = fScaleCompensation ? 1.0f : graphics->CurrentScale(false, 0, 0);
    float widthSum = 0;
    for (int32_t i = 0; i < job.fCount; i++) {
        SwfWorkSegment& seg = job.fSegments[i];
        seg = SwfWorkSegment{};
        int32_t curveIndex = -1, s = 0;
        shape->GetEdge(i, curveIndex, s);
        M_Curve* curve = fMesh.GetCurve(curveIndex);
        M_Point* p0 = curve ? curve->GetPoint(s) : nullptr;
        M_Point* p1 = curve ? curve->GetPoint(s + 1) : nullptr;
        if (curve)
            curve->GetSegmentBezier(s, seg.fP);
        if ((p0 && p0->fDangling) || (p1 && p1->fDangling)) {
            seg.fFlags |= kSwfSegmentOpen;
            job.fSpecial = true;
        }
        if (!curve || !curve->IsSegmentOn(s)) {
            seg.fFlags |= kSwfSegmentHidden;
            job.fSpecial = true;
        }
        seg.fW0 = p0 ? p0->fWidth.value : -1;
        seg.fW1 = p1 ? p1->fWidth.value : -1;
        if ((seg.fW0 >= 0 || seg.fW1 >= 0) && variableAllowed) {
            job.fVariable = true;
            job.fSpecial = true;
        }
        // Point widths are fractions of the document height; a negative one follows the style.
        seg.fW0 = (seg.fW0 < 0 ? job.fLineWidth : seg.fW0) * documentHeight / pixelScale;
        seg.fW1 = (seg.fW1 < 0 ? job.fLineWidth : seg.fW1) * documentHeight / pixelScale;
        widthSum += seg.fW0 + seg.fW1;
        if (SwfSamePoint(seg.fP[0], seg.fP[3]))
            seg.fFlags |= kSwfSegmentOpen | kSwfSegmentHidden;
    }
    if (shape->fHasOutline && job.fCount > 0) {
        job.fLineWidth = widthSum / (2.0f * job.fCount);
        job.fPixels = Nearest(job.fLineWidth * lineScale);
        job.fPixels = job.fPixels < 1 ? 1 : job.fPixels;
    } else {
        job.fLineWidth *= documentHeight;
    }
    ChainSwfSegments(job.fSegments.get(), job.fCount);
    OrientSwfContours(job.fSegments.get(), job.fCount, mirrored);

    const bool fillOn = shape->fHasFill && job.fFill.a > 0;
    const bool lineOn = job.fLineWidth > kEpsilon && job.fLine.a > 0;
    if (!job.fSpecial) {
        SwfShape* out = NewShape(*this);
        if (fillOn)
            AddFill(*this, out, job, true);
        if (lineOn)
            SWFShape_setLine(out, static_cast<float>(job.fPixels), job.fLine.r, job.fLine.g, job.fLine.b, job.fLine.a);
        TracePath(*this, out, job, 0);
        EndShape(*this, out, graphics);
        return;
    }
    if (fillOn) {
        SwfShape* out = NewShape(*this);
        AddFill(*this, out, job, false);
        TracePath(*this, out, job, kSwfSegmentOpen);
        EndShape(*this, out, graphics);
    }
    if (!lineOn)
        return;
    if (!job.fVariable) {
        SwfShape* out = NewShape(*this);
        SWFShape_setLine(out, static_cast<float>(job.fPixels), job.fLine.r, job.fLine.g, job.fLine.b, job.fLine.a);
        TracePath(*this, out, job, kSwfSegmentHidden);
        EndShape(*this, out, graphics);
        return;
    }
    for (int32_t i = 0; i < job.fCount; i++) {
        const SwfWorkSegment& seg = job.fSegments[i];
        if ((seg.fFlags & kSwfSegmentHidden) || SwfSamePoint(seg.fP[0], seg.fP[3]))
            continue;
        SwfShape* out = NewShape(*this);
        if (std::fabs(seg.fW0 - seg.fW1) < kEpsilon && fScaleCompensation) {
            SWFShape_setLine(out, static_cast<float>(Nearest(lineScale * seg.fW0)), job.fLine.r, job.fLine.g, job.fLine.b,
                job.fLine.a);
            fSWFPenPlaced = false;
            AddSWFShapeOutline(graphics, out, seg.fP, q);
        } else {
            SwfFill* fill = SWFShape_addSolidFill(out, job.fLine.r, job.fLine.g, job.fLine.b, job.fLine.a);
            fSWFFills.Append(fill);
            SWFShape_setRightFill(out, fill);
            AddBand(*this, graphics, out, seg, q, documentHeight, mirrored);
        }
        EndShape(*this, out, graphics);
    }
}
