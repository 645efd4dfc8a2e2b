#include "view_picking.h"

#include <cmath>

#include "bonelayer.h"
#include "grouplayer.h"
#include "m_bone.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_skeleton.h"
#include "meshlayer.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "xgraphics.h"

namespace {

// Editor curves are flattened twice as coarsely as renders: picking must see what the canvas
// shows.
constexpr float kEditorTolerance = 10.0f;

MeshLayer* CurrentVectorLayer(VornDoc* doc)
{
    VornLayer* layer = doc ? doc->GetSelectedLayer() : nullptr;
    return layer && layer->LayerType() == LT_VECTOR ? static_cast<MeshLayer*>(layer) : nullptr;
}

void BeginLayerDrawing(XGraphics& graphics, VornDoc* doc, VornLayer* layer)
{
    graphics.BeginDraw();
    graphics.Push();
    QV_Matrix transform;
    layer->GetFullTransform(doc->CurFrame(), transform, doc);
    graphics.ApplyMatrix(transform);
}

void BeginPick(XGraphics& graphics, VornDoc* doc, VornLayer* layer, const QV_Point& pt, int32_t radius)
{
    graphics.Clear(rgb_color { 0, 0, 0, 255 });
    graphics.BeginPicking(pt.x, pt.y, radius);
    BeginLayerDrawing(graphics, doc, layer);
    graphics.SetColor(255, 255, 255, 255);
    graphics.SetSmoothing(false);
    graphics.SetBezierTolerance(kEditorTolerance);
}

void EndPick(XGraphics& graphics)
{
    graphics.Pop();
    graphics.EndDraw();
}

void DrawSegment(XGraphics& graphics, M_Curve* curve, int32_t segment)
{
    QV_Vector2 b[4];
    curve->GetSegmentBezier(segment, b);
    graphics.DrawCurve(b);
}

int32_t TopmostShape(XGraphics& graphics, QV_BaseImage& scratch, VornDoc* doc, MeshLayer* layer,
    const QV_Point& pt, int32_t limit, int32_t radius)
{
    M_Mesh* mesh = layer->Mesh();
    const int32_t count = mesh->GetNumShapes();
    const int32_t last = limit >= 0 && limit < count - 1 ? limit : count - 1;
    scratch.Allocate(graphics.Width(), graphics.Height(), 32);
    BeginPick(graphics, doc, layer, pt, radius);
    int32_t found = -1;
    const rgb_color white { 255, 255, 255, 255 };
    for (int32_t i = 0; i <= last; i++) {
        M_Shape* shape = mesh->GetShape(i);
        if (!shape)
            continue;
        // Drawn solid white whatever its looks, so that every pixel it covers counts.
        M_Style& own = shape->fMyStyle;
        const bool selected = shape->fSelected;
        const bool fillDefined = own.fDefineFillCol;
        const rgb_color fill = own.fFillCol.value;
        const bool lineDefined = own.fDefineLineCol;
        const rgb_color line = own.fLineCol.value;
        shape->fSelected = false;
        own.fDefineFillCol = true;
        own.fFillCol.value = white;
        own.fDefineLineCol = true;
        own.fLineCol.value = white;
        int32_t mode = DRAW_BELOW;
        layer->DrawShape(i, doc, &graphics, &scratch.buffer, mode, false, nullptr);
        shape->fSelected = selected;
        own.fDefineFillCol = fillDefined;
        own.fFillCol.value = fill;
        own.fDefineLineCol = lineDefined;
        own.fLineCol.value = line;
        if (graphics.Pick())
            found = i;
    }
    EndPick(graphics);
    return found;
}

M_Shape* ShapeInLayer(XGraphics& graphics, QV_BaseImage& scratch, VornDoc* doc, VornLayer* layer,
    const QV_Point& pt, int32_t limit, int32_t radius)
{
    if (!layer)
        return nullptr;
    const int32_t type = layer->LayerType();
    if (type >= LT_GROUP && type <= LT_PARTICLE) {
        auto* group = static_cast<GroupLayer*>(layer);
        M_Shape* found = nullptr;
        for (int32_t i = 0; i < group->CountLayers(); i++) {
            if (M_Shape* shape = ShapeInLayer(graphics, scratch, doc, group->Layer(i), pt, limit, radius))
                found = shape;
        }
        return found;
    }
    if (type != LT_VECTOR)
        return nullptr;
    auto* mesh = static_cast<MeshLayer*>(layer);
    const int32_t index = TopmostShape(graphics, scratch, doc, mesh, pt, limit, radius);
    return index >= 0 ? mesh->Mesh()->GetShape(index) : nullptr;
}

float DistanceToSegment(const QV_Vector2& p, const QV_Vector2& base, const QV_Vector2& tip)
{
    const float bx = base.x - tip.x, by = base.y - tip.y;
    const float px = p.x - base.x, py = p.y - base.y;
    if (bx * px + by * py > 0)
        return std::hypot(px, py);
    const float tx = p.x - tip.x, ty = p.y - tip.y;
    if (-bx * tx - by * ty > 0)
        return std::hypot(tx, ty);
    const float length = std::hypot(bx, by);
    if (length <= 0)
        return std::hypot(px, py);
    return std::fabs(bx * py - by * px) / length;
}

} // namespace

int32_t PickMeshPoint(XGraphics& graphics, VornDoc* doc, const QV_Point& pt, int32_t radius)
{
    MeshLayer* layer = CurrentVectorLayer(doc);
    if (!layer || !graphics.fTarget.pixels)
        return -1;
    M_Mesh* mesh = layer->Mesh();
    BeginPick(graphics, doc, layer, pt, radius);
    int32_t found = -1;
    for (int32_t i = 0; i < mesh->GetNumPoints() && found < 0; i++) {
        const QV_Vector2& p = mesh->GetPoint(i)->fPos;
        graphics.DrawMarker(p.x, p.y);
        if (graphics.Pick())
            found = i;
    }
    EndPick(graphics);
    return found;
}

void PickMeshEdge(
    XGraphics& graphics, VornDoc* doc, const QV_Point& pt, int32_t& curve, int32_t& segment, int32_t radius)
{
    MeshLayer* layer = CurrentVectorLayer(doc);
    if (!layer || !graphics.fTarget.pixels)
        return;
    M_Mesh* mesh = layer->Mesh();
    const int32_t skipCurve = curve;
    const int32_t skipSegment = segment;
    curve = segment = -1;
    BeginPick(graphics, doc, layer, pt, radius);
    for (int32_t i = 0; i < mesh->GetNumCurves() && curve < 0; i++) {
        if (i == skipCurve && skipSegment == -1)
            continue;
        M_Curve* c = mesh->GetCurve(i);
        if (!c || c->GetNumPoints() < 2)
            continue;
        for (int32_t j = 0; j < c->GetNumSegments(); j++) {
            if (i == skipCurve && j == skipSegment)
                continue;
            DrawSegment(graphics, c, j);
            if (graphics.Pick()) {
                curve = i;
                segment = j;
                break;
            }
        }
    }
    EndPick(graphics);
}

int32_t PickMeshShape(
    XGraphics& graphics, QV_BaseImage& scratch, VornDoc* doc, const QV_Point& pt, int32_t limit, int32_t radius)
{
    MeshLayer* layer = CurrentVectorLayer(doc);
    if (!layer || !graphics.fTarget.pixels)
        return -1;
    return TopmostShape(graphics, scratch, doc, layer, pt, limit, radius);
}

M_Shape* PickAnyShape(
    XGraphics& graphics, QV_BaseImage& scratch, VornDoc* doc, const QV_Point& pt, int32_t limit, int32_t radius)
{
    if (!doc || !graphics.fTarget.pixels)
        return nullptr;
    M_Shape* found = nullptr;
    for (int32_t i = 0; i < doc->CountLayers(); i++) {
        if (M_Shape* shape = ShapeInLayer(graphics, scratch, doc, doc->Layer(i), pt, limit, radius))
            found = shape;
    }
    return found;
}

int32_t PickSkeletonBone(XGraphics& graphics, VornDoc* doc, VornLayer* layer, bool exact, const QV_Point& pt,
    const QV_Vector2& vec, int32_t radius, bool hideControlled)
{
    if (!doc || !layer || !graphics.fTarget.pixels)
        return -1;
    const int32_t type = layer->LayerType();
    if (type != LT_BONE && type != LT_SWITCH)
        return -1;
    M_Skeleton* skeleton = static_cast<BoneLayer*>(layer)->Skeleton();
    const int32_t frame = doc->CurFrame();
    // At the rest frame the bones show where they rest, unless a tool that moves them is on.
    const QV_String& tool = doc->fCurrentTool;
    const bool rest = frame <= 0 && tool != "QV_ManipulateBones" && tool != "QV_OffsetBone" && tool != "QV_BoneStrength";
    float best = 1000000.0f;
    int32_t nearest = -1;
    int32_t answer = -1;
    BeginPick(graphics, doc, layer, pt, radius);
    for (int32_t i = 0; i < skeleton->GetNumBones(); i++) {
        M_Bone* bone = skeleton->GetBone(i);
        if (!bone)
            continue;
        if (hideControlled && frame > 0
            && (bone->fAngleControlParent >= 0 || bone->fPosControlParent >= 0 || bone->fBoneDynamics.value))
            continue;
        const float len = bone->fLength;
        const float d = 0.075f * len;
        QV_Vector2 base { 0, 0 }, tip { len, 0 }, up { d, d }, down { d, -d };
        const QV_Matrix& m = rest ? bone->fRestMatrix : bone->fMovedMatrix;
        for (QV_Vector2* v : { &base, &tip, &up, &down })
            m.Transform(*v);
        graphics.DrawLine(tip.x, tip.y, base.x, base.y);
        graphics.DrawLine(up.x, up.y, base.x, base.y);
        graphics.DrawLine(tip.x, tip.y, up.x, up.y);
        graphics.DrawLine(down.x, down.y, base.x, base.y);
        graphics.DrawLine(tip.x, tip.y, down.x, down.y);
        graphics.DrawLine(down.x, down.y, up.x, up.y);
        if (graphics.Pick())
            answer = i;
        const float distance = DistanceToSegment(vec, base, tip);
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    EndPick(graphics);
    return answer < 0 && !exact ? nearest : answer;
}

void FloodSelectMesh(XGraphics& graphics, VornDoc* doc, const QV_Point& pt, int32_t radius)
{
    MeshLayer* layer = CurrentVectorLayer(doc);
    if (!layer || !graphics.fTarget.pixels)
        return;
    M_Mesh* mesh = layer->Mesh();
    mesh->SelectNone();
    graphics.Clear(rgb_color { 0, 0, 0, 0 });
    BeginLayerDrawing(graphics, doc, layer);
    graphics.SetColor(255, 0, 0, 255);
    graphics.SetBezierTolerance(kEditorTolerance);
    graphics.SetSmoothing(false);
    for (int32_t i = 0; i < mesh->GetNumCurves(); i++) {
        M_Curve* c = mesh->GetCurve(i);
        if (!c || c->GetNumPoints() < 2)
            continue;
        for (int32_t j = 0; j < c->GetNumSegments(); j++)
            DrawSegment(graphics, c, j);
    }
    graphics.SetColor(255, 255, 255, 255);
    const int32_t width = graphics.Width();
    const int32_t height = graphics.Height();
    const bool inside = pt.x >= 0 && pt.y >= 0 && pt.x < width && pt.y < height;
    if (inside && graphics.FloodFill(pt.x, pt.y)) {
        for (int32_t i = 0; i < mesh->GetNumCurves(); i++) {
            M_Curve* c = mesh->GetCurve(i);
            if (!c || c->GetNumPoints() < 2)
                continue;
            for (int32_t u = 0; u < c->GetNumSegments(); u++) {
                QV_Point s;
                graphics.WorldToScreen(c->PointOnSegment(u, 0.5f), s);
                bool hit = false;
                for (int32_t y = s.y - radius; y <= s.y + radius && !hit; y++) {
                    for (int32_t x = s.x - radius; x <= s.x + radius && !hit; x++) {
                        if (x < 0 || y < 0 || x >= width || y >= height)
                            continue;
                        hit = graphics.GetPixel(x, y).g != 0;
                    }
                }
                if (!hit)
                    continue;
                c->GetPoint(u)->fSelected = true;
                if (u != c->GetNumPoints() - 1)
                    c->GetPoint(u + 1)->fSelected = true;
            }
        }
    }
    EndPick(graphics);
}

void DrawMeshPreviewShape(XGraphics& graphics, VornDoc* doc, rgb_color selection)
{
    MeshLayer* layer = CurrentVectorLayer(doc);
    if (!layer || !graphics.fTarget.pixels)
        return;
    M_Mesh* mesh = layer->Mesh();
    graphics.SetColorStruct(selection);
    mesh->MarkDanglingPoints(false);
    auto selectedSegment = [](M_Curve* c, int32_t s, bool skipDangling) {
        M_Point* a = c->GetPoint(s);
        M_Point* b = c->GetPoint(s + 1);
        if (!a || !b || !a->fSelected || !b->fSelected)
            return false;
        return !skipDangling || (!a->fDangling && !b->fDangling);
    };
    graphics.SetFillMode(QV_Graphics::kFillChecker);
    graphics.BeginShape();
    for (int32_t i = 0; i < mesh->GetNumCurves(); i++) {
        M_Curve* c = mesh->GetCurve(i);
        if (!c || c->GetNumPoints() < 2)
            continue;
        for (int32_t s = 0; s < c->GetNumSegments(); s++) {
            if (!selectedSegment(c, s, true))
                continue;
            QV_Vector2 b[4];
            c->GetSegmentBezier(s, b);
            graphics.AddCurve(b[0], b[1], b[2], b[3]);
        }
    }
    graphics.EndShape();
    graphics.SetFillMode(QV_Graphics::kFillPlain);
    graphics.SetPenWidth(graphics.fSmoothing ? 2 : 3);
    for (int32_t i = 0; i < mesh->GetNumCurves(); i++) {
        M_Curve* c = mesh->GetCurve(i);
        if (!c || c->GetNumPoints() < 2)
            continue;
        for (int32_t s = 0; s < c->GetNumSegments(); s++) {
            if (selectedSegment(c, s, false))
                DrawSegment(graphics, c, s);
        }
    }
    mesh->MarkDanglingPoints(false);
}
