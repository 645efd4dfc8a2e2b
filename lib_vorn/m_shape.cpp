#include "m_shape.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "console_sink.h"
#include "format_version.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shapestyle.h"
#include "qv_bbox.h"
#include "qv_iostream.h"
#include "qv_memstream.h"
#include "record_limits.h"
#include "script_object_record.h"

namespace {

constexpr int32_t kInitialCapacity = 8;
// An edge is at least a curve and a segment number, each with a separator.
constexpr int32_t kMinEdgeBytes = 4;
constexpr int32_t kStyleCopyBuffer = 128;

void WriteBool(QV_IoStream* stream, bool value)
{
    stream->WriteText(value ? "true" : "false");
    stream->WriteSpace();
}

// The mesh's curve of that index, or null; no console line (readers meet damaged indices).
M_Curve* CurveOrNull(M_Mesh* mesh, int32_t index)
{
    if (!mesh || index < 0 || index >= mesh->fNumCurves)
        return nullptr;
    return mesh->fCurves[index];
}

// The mesh index of the point at the start (end false) or the end of segment s of the curve,
// wrapping, or -1 on a curve without points.
int32_t SegmentEndIndex(const M_Curve* curve, int32_t s, bool end)
{
    const int32_t n = curve->fNumPoints;
    if (n < 1)
        return -1;
    const int32_t start = WrapIndex(s, n);
    return curve->fPointIDs[end ? (start + 1) % n : start];
}

M_Point* PointOrNull(M_Mesh* mesh, int32_t index)
{
    if (!mesh || index < 0 || index >= mesh->fNumPoints)
        return nullptr;
    return mesh->fPoints[index];
}

} // namespace

M_Shape::M_Shape(int32_t frame)
    : fSelected(false)
    , fHidden(false)
    , fHasFill(true)
    , fHasOutline(false)
    , fFillAllowed(true)
    , fMyStyle(frame)
    , fStyle1(nullptr)
    , fStyle2(nullptr)
    , fMesh(nullptr)
    , fNumEdges(0)
    , fCapacity(0)
    , fEdgeCurves(nullptr)
    , fEdgeSegments(nullptr)
    , fEdgeFlags(nullptr)
{
    fEffectScale.SetValue(frame, 1.0f);
    fEffectRotation.SetValue(frame, 0.0f);
    fEffectOffset.SetValue(frame, QV_Vector2 {});
    fMyStyle.fDefineFillCol = false;
    fMyStyle.fDefineLineWidth = false;
    fMyStyle.fDefineLineCol = false;
    if (frame != 0) {
        fEffectScale.DeleteKey(0);
        fEffectRotation.DeleteKey(0);
        fEffectOffset.DeleteKey(0);
    }
    ReallocateEdges(kInitialCapacity);
}

M_Shape::~M_Shape()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
    delete[] fEdgeCurves;
    delete[] fEdgeSegments;
    delete[] fEdgeFlags;
}

void M_Shape::ReallocateEdges(int32_t capacity)
{
    delete[] fEdgeCurves;
    delete[] fEdgeSegments;
    delete[] fEdgeFlags;
    fEdgeCurves = new int32_t[capacity]();
    fEdgeSegments = new int32_t[capacity]();
    fEdgeFlags = new uint8_t[capacity]();
    fCapacity = capacity;
    fNumEdges = 0;
}

void M_Shape::GetEdge(int32_t i, int32_t& curve, int32_t& segment, uint8_t* flags) const
{
    if (i < 0 || i >= fNumEdges) {
        PrintOutOfRange("M_Shape::GetEdge");
        return;
    }
    curve = fEdgeCurves[i];
    segment = fEdgeSegments[i];
    if (flags)
        *flags = fEdgeFlags[i];
}

void M_Shape::AddEdge(int32_t curve, int32_t segment, uint8_t flags)
{
    // A shape read without edges has no room at all: doubling nothing would give none.
    if (fNumEdges == fCapacity)
        GrowEdges(std::max(fCapacity, 1));
    fEdgeCurves[fNumEdges] = curve;
    fEdgeSegments[fNumEdges] = segment;
    fEdgeFlags[fNumEdges] = flags;
    fNumEdges++;
}

void M_Shape::RemoveEdgeAt(int32_t i)
{
    std::copy(fEdgeCurves + i + 1, fEdgeCurves + fNumEdges, fEdgeCurves + i);
    std::copy(fEdgeSegments + i + 1, fEdgeSegments + fNumEdges, fEdgeSegments + i);
    std::copy(fEdgeFlags + i + 1, fEdgeFlags + fNumEdges, fEdgeFlags + i);
    fNumEdges--;
}

void M_Shape::DeleteEdge(int32_t i)
{
    if (i < 0 || i >= fNumEdges) {
        PrintOutOfRange("M_Shape:DeleteEdge");
        return;
    }
    RemoveEdgeAt(i);
}

void M_Shape::ReplaceEdge(int32_t oldCurve, int32_t oldSegment, int32_t newCurve, int32_t newSegment)
{
    for (int32_t i = 0; i < fNumEdges; i++) {
        if (fEdgeCurves[i] == oldCurve && fEdgeSegments[i] == oldSegment) {
            fEdgeCurves[i] = newCurve;
            fEdgeSegments[i] = newSegment;
            return;
        }
    }
}

void M_Shape::GrowEdges(int32_t extra)
{
    if (extra < 1)
        return;
    const int32_t capacity = fCapacity + extra;
    int32_t* curves = new int32_t[capacity]();
    int32_t* segments = new int32_t[capacity]();
    uint8_t* flags = new uint8_t[capacity]();
    std::copy(fEdgeCurves, fEdgeCurves + fNumEdges, curves);
    std::copy(fEdgeSegments, fEdgeSegments + fNumEdges, segments);
    std::copy(fEdgeFlags, fEdgeFlags + fNumEdges, flags);
    delete[] fEdgeCurves;
    delete[] fEdgeSegments;
    delete[] fEdgeFlags;
    fEdgeCurves = curves;
    fEdgeSegments = segments;
    fEdgeFlags = flags;
    fCapacity = capacity;
}

bool M_Shape::AllPointsSelected()
{
    if (!fMesh)
        return false;
    for (int32_t i = 0; i < fNumEdges; i++) {
        M_Curve* curve = fMesh->GetCurve(fEdgeCurves[i]);
        if (!curve || curve->fNumPoints < 1)
            return false;
        M_Point* a = curve->GetPoint(fEdgeSegments[i]);
        M_Point* b = curve->GetPoint(WrapIndex(fEdgeSegments[i], curve->fNumPoints) + 1);
        if (!a || !b || !a->fSelected || !b->fSelected)
            return false;
    }
    return true;
}

void M_Shape::SetCurFrame(int32_t frame)
{
    fMyStyle.fFillCol.SetCurFrame(frame);
    fMyStyle.fLineCol.SetCurFrame(frame);
    fEffectScale.SetCurFrame(frame);
    fEffectRotation.SetCurFrame(frame);
    fEffectOffset.SetCurFrame(frame);
}

void M_Shape::Bounds(bool atFrame, int32_t frame, QV_Vector2& min, QV_Vector2& max)
{
    QV_BBox box;
    for (int32_t i = 0; i < fNumEdges; i++) {
        M_Curve* curve = CurveOrNull(fMesh, fEdgeCurves[i]);
        if (!curve)
            continue;
        QV_Vector2 b[4];
        if (atFrame)
            curve->GetSegmentBezierAtFrame(frame, fEdgeSegments[i], b);
        else
            curve->GetSegmentBezier(fEdgeSegments[i], b);
        for (const QV_Vector2& p : b)
            box.Include(p);
    }
    min = QV_Vector2 { box.min.x, box.min.y };
    max = QV_Vector2 { box.max.x, box.max.y };
}

void M_Shape::ShapeBounds(QV_Vector2& min, QV_Vector2& max)
{
    Bounds(false, 0, min, max);
}

void M_Shape::ShapeBounds(int32_t frame, QV_Vector2& min, QV_Vector2& max)
{
    Bounds(true, frame, min, max);
}

QV_Vector2 M_Shape::ShapeCenter()
{
    QV_Vector2 min, max;
    ShapeBounds(0, min, max);
    return QV_Vector2 { (min.x + max.x) / 2, (min.y + max.y) / 2 };
}

QV_Vector2 M_Shape::EffectHandle1()
{
    const QV_Vector2 center = ShapeCenter();
    const QV_Vector2 offset = fEffectOffset.value;
    return QV_Vector2 { center.x + offset.x, center.y + offset.y };
}

QV_Vector2 M_Shape::EffectHandle2()
{
    QV_Vector2 min, max;
    ShapeBounds(0, min, max);
    const float w = max.x - min.x;
    const float h = max.y - min.y;
    QV_Vector2 arm { 0, fEffectScale.value * std::max(w, h) * 0.5f };
    arm.Rotate(fEffectRotation.value);
    const QV_Vector2 handle = EffectHandle1();
    return QV_Vector2 { handle.x + arm.x, handle.y + arm.y };
}

void M_Shape::CopyStyleProperties(M_Shape* source)
{
    if (!source || source == this)
        return;
    const float oldWidth = fMyStyle.fLineWidth;
    QV_MemStream stream;
    stream.Open(kStyleCopyBuffer);
    stream.fVersion = kCurrentFormatVersion;
    source->fMyStyle.WriteRecord(&stream);
    stream.Rewind();
    stream.fReading = true;
    fMyStyle.ReadRecord(&stream);
    fStyleName1 = source->fStyleName1;
    fStyle1 = source->fStyle1;
    fStyleName2 = source->fStyleName2;
    fStyle2 = source->fStyle2;
    ScaleLineWidths(fMyStyle.fLineWidth, oldWidth);
}

void M_Shape::RemoveStyles()
{
    fStyleName1 = "";
    fStyle1 = nullptr;
    fStyleName2 = "";
    fStyle2 = nullptr;
}

bool M_Shape::HasPositionDependentStyles()
{
    for (M_Style* style : { &fMyStyle, fStyle1, fStyle2 }) {
        if (!style)
            continue;
        for (M_ShapeStyle* effect : style->fEffects) {
            if (effect && effect->IsPositionDependent())
                return true;
        }
    }
    return false;
}

void M_Shape::ScaleLineWidths(float newWidth, float oldWidth)
{
    if (!fMesh)
        return;
    const float factor = newWidth / oldWidth;
    // A width of 0 cannot be scaled from: the widths stay rather than become infinite.
    if (!std::isfinite(factor))
        return;
    std::vector<int32_t> points;
    for (int32_t i = 0; i < fNumEdges; i++) {
        const M_Curve* curve = CurveOrNull(fMesh, fEdgeCurves[i]);
        if (!curve)
            continue;
        for (bool end : { false, true }) {
            const int32_t id = SegmentEndIndex(curve, fEdgeSegments[i], end);
            if (PointOrNull(fMesh, id) && std::find(points.begin(), points.end(), id) == points.end())
                points.push_back(id);
        }
    }
    for (int32_t id : points) {
        AnimVal& width = fMesh->fPoints[id]->fWidth;
        const AnimChannel* keys = width.fActiveAction ? width.fActiveAction : &width;
        for (int32_t k = 0; k < keys->fKeyCount; k++) {
            const int32_t frame = keys->fKeyFrames[k];
            const float v = width.GetValue(frame);
            if (v > 0)
                width.SetValue(frame, v * factor);
        }
    }
}

void M_Shape::RemoveInvalidEdges()
{
    if (!fMesh)
        return;
    for (int32_t i = fNumEdges - 1; i >= 0; i--) {
        const M_Curve* curve = CurveOrNull(fMesh, fEdgeCurves[i]);
        if (!curve || fEdgeSegments[i] < 0 || fEdgeSegments[i] >= curve->fNumPoints)
            RemoveEdgeAt(i);
    }
}

void M_Shape::CurvePointInserted(int32_t curveIndex, int32_t position)
{
    const M_Curve* curve = CurveOrNull(fMesh, curveIndex);
    if (!curve)
        return;
    const int32_t n = curve->fNumPoints;
    bool split = false;
    for (int32_t i = 0; i < fNumEdges; i++) {
        if (fEdgeCurves[i] != curveIndex)
            continue;
        const int32_t s = fEdgeSegments[i];
        const bool closingSplit = curve->fClosed && position == 0 && s == n - 1;
        if (s == position - 1 || closingSplit) {
            split = true;
            if (closingSplit)
                fEdgeSegments[i] = n;
        } else if (s >= position) {
            fEdgeSegments[i] = s + 1;
        }
    }
    if (!split)
        return;
    uint8_t flags = 0;
    for (int32_t i = 0; i < fNumEdges; i++) {
        if (fEdgeCurves[i] != curveIndex)
            continue;
        const int32_t s = fEdgeSegments[i];
        if ((s == position - 1 || s == position + 1) && (fEdgeFlags[i] & kEdgeDangling))
            flags = kEdgeDangling;
    }
    AddEdge(curveIndex, position, flags);
}

void M_Shape::CurvePointDeleted(int32_t curveIndex, int32_t position)
{
    const M_Curve* curve = CurveOrNull(fMesh, curveIndex);
    if (!curve)
        return;
    const int32_t n = curve->fNumPoints;
    for (int32_t i = fNumEdges - 1; i >= 0; i--) {
        if (fEdgeCurves[i] != curveIndex)
            continue;
        const int32_t s = fEdgeSegments[i];
        if (s == position || (!curve->fClosed && position == n - 1 && s == position - 1))
            RemoveEdgeAt(i);
        else if (s > position)
            fEdgeSegments[i] = s - 1;
    }
}

bool M_Shape::ReadRecord(QV_IoStream* stream, int32_t curveBase)
{
    const int32_t version = stream->fVersion;
    if (!stream->ReadString(fName))
        return false;
    if (!stream->ReadBool(fSelected))
        return false;
    fHidden = false;
    if (version >= 19 && !stream->IsFile() && !stream->ReadBool(fHidden))
        return false;
    if (!stream->ReadBool(fHasFill) || !stream->ReadBool(fHasOutline))
        return false;
    fFillAllowed = true;
    if (version >= 12 && !stream->ReadBool(fFillAllowed))
        return false;

    if (version >= 18) {
        if (!fEffectScale.ReadRecord(stream, true) || !fEffectRotation.ReadRecord(stream, true)
            || !fEffectOffset.ReadRecord(stream, true))
            return false;
    } else {
        float scale = 1, rotation = 0;
        QV_Vector2 offset {};
        if (version >= 16
            && (!stream->ReadFloat(scale) || !stream->ReadFloat(rotation) || !stream->ReadVector2(offset)))
            return false;
        fEffectScale.SetValue(0, scale);
        fEffectRotation.SetValue(0, rotation);
        fEffectOffset.SetValue(0, offset);
    }

    int32_t count;
    if (!stream->ReadInt(count) || !RecordCountFits(stream, count, kMinEdgeBytes))
        return false;
    ReallocateEdges(2 * count);
    for (int32_t i = 0; i < count; i++) {
        int32_t curve, segment, flags = 0;
        if (!stream->ReadInt(curve) || !stream->ReadInt(segment))
            return false;
        if (version >= 19 && !stream->ReadInt(flags))
            return false;
        if (!AddRecordBase(curve, curveBase, curve))
            return false;
        uint8_t edgeFlags = uint8_t(flags & 0xFF);
        // An edge that names no curve has no end points to test; the clean-up removes it.
        if (const M_Curve* owner = CurveOrNull(fMesh, curve)) {
            for (bool end : { false, true }) {
                const M_Point* point = PointOrNull(fMesh, SegmentEndIndex(owner, segment, end));
                if (point && point->fDangling)
                    edgeFlags |= kEdgeDangling;
            }
        }
        fEdgeCurves[i] = curve;
        fEdgeSegments[i] = segment;
        fEdgeFlags[i] = edgeFlags;
        fNumEdges = i + 1;
    }

    return fMyStyle.ReadRecord(stream) && stream->ReadString(fStyleName1) && stream->ReadString(fStyleName2);
}

void M_Shape::WriteRecord(QV_IoStream* stream)
{
    stream->WriteIndent();
    stream->WriteQuoted(fName.CString());
    stream->WriteSpace();
    WriteBool(stream, fSelected);
    if (!stream->IsFile())
        WriteBool(stream, fHidden);
    WriteBool(stream, fHasFill);
    WriteBool(stream, fHasOutline);
    WriteBool(stream, fFillAllowed);
    stream->WriteNewline();
    fEffectScale.WriteRecord(stream, true);
    fEffectRotation.WriteRecord(stream, true);
    fEffectOffset.WriteRecord(stream, true);

    stream->fIndent++;
    stream->WriteIndent();
    stream->WriteInt(fNumEdges);
    stream->WriteNewline();
    for (int32_t i = 0; i < fNumEdges; i++) {
        stream->WriteIndent();
        stream->WriteText("\t");
        stream->WriteInt(fEdgeCurves[i]);
        stream->WriteSpace();
        stream->WriteInt(fEdgeSegments[i]);
        stream->WriteSpace();
        stream->WriteInt(int8_t(fEdgeFlags[i]));
        stream->WriteNewline();
    }
    fMyStyle.WriteRecord(stream);
    stream->WriteIndent();
    stream->WriteQuoted(fStyle1 ? fStyle1->fName.CString() : fStyleName1.CString());
    stream->WriteNewline();
    stream->WriteIndent();
    stream->WriteQuoted(fStyle2 ? fStyle2->fName.CString() : fStyleName2.CString());
    stream->WriteNewline();
    stream->WriteNewline();
    if (stream->fIndent > 0)
        stream->fIndent--;
}

void DeleteShapeObject(M_Shape* shape)
{
    delete shape;
}
