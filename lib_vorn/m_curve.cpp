#include "m_curve.h"

#include <algorithm>

#include "console_sink.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_vec2.h"
#include "qv_iostream.h"
#include "record_limits.h"
#include "script_object_record.h"

namespace {

constexpr int32_t kInitialCapacity = 16;
// A position is a point index, a flag and a channel record, each with a separator.
constexpr int32_t kMinPositionBytes = 6;

} // namespace

M_Curve::M_Curve()
    : fClosed(false)
    , fCurvature(nullptr)
    , fMesh(nullptr)
    , fNumPoints(0)
    , fCapacity(0)
    , fPointIDs(nullptr)
    , fSegmentOn(nullptr)
{
    MakeEmpty();
}

M_Curve::~M_Curve()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
    Release();
}

void M_Curve::Release()
{
    if (fCurvature) {
        for (int32_t i = 0; i < fCapacity; i++)
            delete fCurvature[i];
    }
    delete[] fCurvature;
    delete[] fPointIDs;
    delete[] fSegmentOn;
    fCurvature = nullptr;
    fPointIDs = nullptr;
    fSegmentOn = nullptr;
}

// Replaces the arrays with empty ones of the capacity: every channel goes, the new slots are null
// and every segment flag is 1.
void M_Curve::Reallocate(int32_t capacity)
{
    Release();
    fCapacity = capacity;
    fNumPoints = 0;
    fCurvature = new AnimVal*[capacity]();
    fPointIDs = new int32_t[capacity]();
    fSegmentOn = new uint8_t[capacity];
    std::fill(fSegmentOn, fSegmentOn + capacity, uint8_t(1));
}

void M_Curve::MakeEmpty()
{
    Reallocate(kInitialCapacity);
    for (int32_t i = 0; i < fCapacity; i++)
        fCurvature[i] = new AnimVal;
}

M_Point* M_Curve::GetPoint(int32_t i)
{
    if (fNumPoints < 1) {
        PrintOutOfRange("M_Curve:Point");
        return nullptr;
    }
    return fMesh ? fMesh->GetPoint(fPointIDs[WrapIndex(i, fNumPoints)]) : nullptr;
}

int32_t M_Curve::GetNumSegments() const
{
    return fClosed ? fNumPoints : fNumPoints - 1;
}

bool M_Curve::IsSegmentSelected(int32_t s)
{
    M_Point* a = GetPoint(s);
    M_Point* b = fNumPoints > 0 ? GetPoint(WrapIndex(s, fNumPoints) + 1) : nullptr;
    return a && b && a->fSelected && b->fSelected;
}

bool M_Curve::IsPointOnSegment(int32_t pointIndex, int32_t s) const
{
    if (s < 0 || s >= fNumPoints)
        return false;
    if (fPointIDs[s] == pointIndex)
        return true;
    const int32_t next = (s + 1) % fNumPoints;
    if (next == 0 && !fClosed)
        return false;
    return fPointIDs[next] == pointIndex;
}

bool M_Curve::IsSegmentOn(int32_t s) const
{
    if (s < 0 || s >= fNumPoints) {
        PrintOutOfRange("M_Curve:IsSegmentOn");
        return false;
    }
    return fSegmentOn[s] != 0;
}

void M_Curve::SetSegmentOn(int32_t s, bool on)
{
    if (s < 0 || s >= fNumPoints) {
        PrintOutOfRange("M_Curve:SetSegmentOn");
        return;
    }
    fSegmentOn[s] = on ? 1 : 0;
}

float M_Curve::GetCurvature(int32_t i, int32_t frame)
{
    if (i < 0 || i >= fNumPoints) {
        PrintOutOfRange("M_Curve:GetCurvature");
        return kDefaultCurvature;
    }
    return fCurvature[i]->GetValue(frame);
}

void M_Curve::SetCurvature(int32_t i, float curvature, int32_t frame)
{
    if (i < 0 || i >= fNumPoints) {
        PrintOutOfRange("M_Curve:SetCurvature");
        return;
    }
    fCurvature[i]->SetValue(frame, curvature);
}

QV_Vector2 M_Curve::PositionAt(int32_t i, bool atFrame, int32_t frame)
{
    M_Point* point = GetPoint(i);
    if (!point)
        return QV_Vector2 {};
    return atFrame ? point->fAnimPos.GetValue(frame) : point->fPos;
}

void M_Curve::BezierFrom(int32_t s, bool atFrame, int32_t frame, QV_Vector2 b[4])
{
    const int32_t n = fNumPoints;
    if (n < 1) {
        b[0] = b[1] = b[2] = b[3] = QV_Vector2 {};
        return;
    }
    s = WrapIndex(s, n);
    const int32_t i1 = (s + 1) % n;
    const int32_t i2 = (s + 2) % n;
    const int32_t iPrev = WrapIndex(s - 1, n);
    const QV_Vector2 ps = PositionAt(s, atFrame, frame);
    const QV_Vector2 p1 = PositionAt(i1, atFrame, frame);

    QV_Vector2 t0;
    if (n == 2 || (s == 0 && !fClosed)) {
        t0 = Vec2Sub(p1, ps);
    } else {
        const QV_Vector2 prev = PositionAt(iPrev, atFrame, frame);
        t0 = Vec2Sub(p1, Vec2Scale(Vec2Add(prev, p1), 0.5f));
    }
    t0.NormMe();

    QV_Vector2 t1;
    if (n == 2 || (i1 >= n - 1 && !fClosed)) {
        t1 = Vec2Sub(ps, p1);
    } else {
        const QV_Vector2 after = PositionAt(i2, atFrame, frame);
        t1 = Vec2Sub(ps, Vec2Scale(Vec2Add(after, ps), 0.5f));
    }
    t1.NormMe();

    const float chord = Vec2Sub(p1, ps).Mag();
    b[0] = ps;
    b[1] = Vec2Add(ps, Vec2Scale(t0, chord * fCurvature[s]->value));
    b[2] = Vec2Add(p1, Vec2Scale(t1, chord * fCurvature[i1]->value));
    b[3] = p1;
}

void M_Curve::GetSegmentBezier(int32_t s, QV_Vector2 b[4])
{
    BezierFrom(s, false, 0, b);
}

void M_Curve::GetSegmentBezierAtFrame(int32_t frame, int32_t s, QV_Vector2 b[4])
{
    BezierFrom(s, true, frame, b);
}

namespace {

QV_Vector2 BezierPoint(const QV_Vector2 b[4], float t)
{
    const float u = 1 - t;
    const float w0 = u * u * u;
    const float w1 = 3 * t * u * u;
    const float w2 = 3 * t * t * u;
    const float w3 = t * t * t;
    return QV_Vector2 { w0 * b[0].x + w1 * b[1].x + w2 * b[2].x + w3 * b[3].x,
        w0 * b[0].y + w1 * b[1].y + w2 * b[2].y + w3 * b[3].y };
}

} // namespace

QV_Vector2 M_Curve::PointOnSegment(int32_t s, float t)
{
    QV_Vector2 b[4];
    GetSegmentBezier(s, b);
    return BezierPoint(b, t);
}

QV_Vector2 M_Curve::ClosestPointOnSegment(int32_t s, const QV_Vector2& point)
{
    QV_Vector2 b[4];
    GetSegmentBezier(s, b);
    QV_Vector2 result {};
    float best = 1000000.0f;
    for (float t = 0; t < 1.001f; t = t + 0.01f) {
        const QV_Vector2 sample = BezierPoint(b, t);
        const float d = Vec2DistSq(sample, point);
        if (best > d) {
            result = sample;
            best = d;
        }
    }
    return result;
}

void M_Curve::AddPoint(M_Point* point, int32_t position, int32_t frame)
{
    if (position < 0 || position > fNumPoints) {
        PrintOutOfRange("M_Curve:AddPoint");
        return;
    }
    if (fNumPoints == fCapacity)
        GrowPoints(std::max(fCapacity, 1));

    if (position < fNumPoints) {
        // From the end down, so that a raised membership is never met again (a point welded onto
        // this curve twice holds two of them).
        const int32_t self = fMesh ? fMesh->GetCurveID(this) : -1;
        for (int32_t q = fNumPoints - 1; self >= 0 && q >= position; q--) {
            const int32_t id = fPointIDs[q];
            if (id < 0 || id >= fMesh->fNumPoints)
                continue;
            M_Point* moved = fMesh->fPoints[id];
            const int32_t j = moved->FindCurveRef(self, q);
            if (j >= 0)
                moved->fCurvePositions[j]++;
        }
        AnimVal* spare = fCurvature[fNumPoints];
        for (int32_t q = fNumPoints; q > position; q--) {
            fPointIDs[q] = fPointIDs[q - 1];
            fSegmentOn[q] = fSegmentOn[q - 1];
            fCurvature[q] = fCurvature[q - 1];
        }
        fCurvature[position] = spare;
    }

    AnimVal* curvature = fCurvature[position];
    curvature->Clear();
    fPointIDs[position] = fMesh ? fMesh->GetPointID(point) : -1;
    fSegmentOn[position] = 1;
    curvature->SetValue(frame, kDefaultCurvature);
    if (frame != 0)
        curvature->DeleteKey(0);
    if (point)
        point->AddCurveRef(this, position);
    fNumPoints++;
}

void M_Curve::DeletePoint(int32_t position)
{
    if (position < 0 || position >= fNumPoints) {
        PrintOutOfRange("M_Curve:DeletePoint");
        return;
    }
    AnimVal* removed = fCurvature[position];
    for (int32_t q = position; q < fNumPoints - 1; q++) {
        fPointIDs[q] = fPointIDs[q + 1];
        fSegmentOn[q] = fSegmentOn[q + 1];
        fCurvature[q] = fCurvature[q + 1];
    }
    fCurvature[fNumPoints - 1] = removed;
    fNumPoints--;
    if (fNumPoints < 3)
        fClosed = false;
}

void M_Curve::GrowPoints(int32_t extra)
{
    if (extra < 1)
        return;
    const int32_t capacity = fCapacity + extra;
    AnimVal** curvature = new AnimVal*[capacity];
    int32_t* ids = new int32_t[capacity]();
    uint8_t* on = new uint8_t[capacity];
    std::copy(fCurvature, fCurvature + fNumPoints, curvature);
    std::copy(fPointIDs, fPointIDs + fNumPoints, ids);
    std::copy(fSegmentOn, fSegmentOn + fNumPoints, on);
    for (int32_t i = fNumPoints; i < fCapacity; i++)
        delete fCurvature[i];
    for (int32_t i = fNumPoints; i < capacity; i++) {
        curvature[i] = new AnimVal;
        on[i] = 1;
    }
    delete[] fCurvature;
    delete[] fPointIDs;
    delete[] fSegmentOn;
    fCurvature = curvature;
    fPointIDs = ids;
    fSegmentOn = on;
    fCapacity = capacity;
}

bool M_Curve::ReadRecord(QV_IoStream* stream, int32_t pointBase)
{
    int32_t count;
    bool closed;
    if (!stream->ReadInt(count) || !stream->ReadBool(closed))
        return false;
    if (!RecordCountFits(stream, count, kMinPositionBytes))
        return false;
    fClosed = closed;
    Reallocate(2 * count);
    // Channels are made as their records arrive, so that memory follows the data actually read;
    // the spares come once every position is in. A failed read leaves an empty curve.
    for (int32_t i = 0; i < count; i++) {
        int32_t id = 0;
        bool on = false;
        bool read = stream->ReadInt(id) && stream->ReadBool(on) && AddRecordBase(id, pointBase, fPointIDs[i]);
        if (read) {
            fSegmentOn[i] = on ? 1 : 0;
            fCurvature[i] = new AnimVal;
            read = fCurvature[i]->ReadRecord(stream, true);
        }
        if (!read) {
            MakeEmpty();
            fClosed = false;
            return false;
        }
        fNumPoints = i + 1;
    }
    for (int32_t i = count; i < fCapacity; i++)
        fCurvature[i] = new AnimVal;
    return true;
}

void M_Curve::WriteRecord(QV_IoStream* stream)
{
    stream->WriteIndent();
    stream->WriteInt(fNumPoints);
    stream->WriteSpace();
    stream->WriteText(fClosed ? "true" : "false");
    stream->WriteNewline();
    stream->fIndent++;
    for (int32_t i = 0; i < fNumPoints; i++) {
        stream->WriteIndent();
        stream->WriteInt(fPointIDs[i]);
        stream->WriteSpace();
        stream->WriteText(fSegmentOn[i] ? "true" : "false");
        stream->WriteNewline();
        fCurvature[i]->WriteRecord(stream, true);
    }
    if (stream->fIndent > 0)
        stream->fIndent--;
}
