#include "m_point.h"

#include <algorithm>

#include "console_sink.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "qv_iostream.h"
#include "record_limits.h"
#include "script_object_record.h"

namespace {

constexpr float kNoOwnWidth = -1;
// A membership is two numbers.
constexpr int32_t kMinMembershipBytes = 4;

} // namespace

M_Point::M_Point(int32_t frame)
    : fSelected(false)
    , fPrevSelected(false)
    , fDangling(false)
    , fPos()
    , fTempWidth(0)
    , fParent(kPointFollowsAllBones)
    , fMesh(nullptr)
    , fNumCurves(0)
    , fCurveIDs(nullptr)
    , fCurvePositions(nullptr)
{
    fAnimPos.SetCurFrame(frame);
    fAnimPos.SetValue(frame, fPos);
    fWidth.SetValue(frame, kNoOwnWidth);
    if (frame != 0) {
        fAnimPos.DeleteKey(0);
        fWidth.DeleteKey(0);
    }
    fTempPos = fPos;
}

M_Point::~M_Point()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
    delete[] fCurveIDs;
    delete[] fCurvePositions;
}

M_Curve* M_Point::GetCurve(int32_t i, int32_t* position)
{
    if (fNumCurves < 1) {
        PrintOutOfRange("M_Point:Curve");
        return nullptr;
    }
    const int32_t j = WrapIndex(i, fNumCurves);
    if (position)
        *position = fCurvePositions[j];
    return fMesh ? fMesh->GetCurve(fCurveIDs[j]) : nullptr;
}

void M_Point::SetPos(const QV_Vector2& pos, int32_t frame)
{
    fAnimPos.SetValue(frame, pos);
    if (frame == fAnimPos.GetCurFrame())
        fPos = pos;
}

void M_Point::SetCurvature(float curvature, int32_t frame)
{
    if (!fMesh)
        return;
    for (int32_t j = 0; j < fNumCurves; j++) {
        if (M_Curve* curve = fMesh->GetCurve(fCurveIDs[j]))
            curve->SetCurvature(fCurvePositions[j], curvature, frame);
    }
}

bool M_Point::IsEndpoint()
{
    if (fNumCurves != 1 || !fMesh)
        return false;
    M_Curve* curve = fMesh->GetCurve(fCurveIDs[0]);
    if (!curve || curve->fClosed)
        return false;
    return fCurvePositions[0] == 0 || fCurvePositions[0] == curve->fNumPoints - 1;
}

void M_Point::GetEndpointEdge(int32_t& curve, int32_t& segment)
{
    curve = -1;
    segment = -1;
    if (!IsEndpoint())
        return;
    curve = fCurveIDs[0];
    segment = fCurvePositions[0] == 0 ? 0 : fCurvePositions[0] - 1;
}

void M_Point::AddCurveRef(M_Curve* curve, int32_t position)
{
    const int32_t id = fMesh ? fMesh->GetCurveID(curve) : -1;
    GrowCurveRefs(1);
    fCurveIDs[fNumCurves] = id;
    fCurvePositions[fNumCurves] = position;
    fNumCurves++;
}

void M_Point::GrowCurveRefs(int32_t extra)
{
    if (extra < 1)
        return;
    const int32_t size = fNumCurves + extra;
    int32_t* ids = new int32_t[size]();
    int32_t* positions = new int32_t[size]();
    std::copy(fCurveIDs, fCurveIDs + fNumCurves, ids);
    std::copy(fCurvePositions, fCurvePositions + fNumCurves, positions);
    delete[] fCurveIDs;
    delete[] fCurvePositions;
    fCurveIDs = ids;
    fCurvePositions = positions;
}

void M_Point::DeleteCurve(int32_t i)
{
    if (i < 0 || i >= fNumCurves) {
        PrintOutOfRange("M_Point:DeleteCurve");
        return;
    }
    std::copy(fCurveIDs + i + 1, fCurveIDs + fNumCurves, fCurveIDs + i);
    std::copy(fCurvePositions + i + 1, fCurvePositions + fNumCurves, fCurvePositions + i);
    fNumCurves--;
}

int32_t M_Point::FindCurveRef(int32_t curve, int32_t position) const
{
    for (int32_t j = 0; j < fNumCurves; j++) {
        if (fCurveIDs[j] == curve && fCurvePositions[j] == position)
            return j;
    }
    return -1;
}

bool M_Point::ReadRecord(QV_IoStream* stream, int32_t curveBase)
{
    if (!fAnimPos.ReadRecord(stream, true))
        return false;
    fPos = fAnimPos.GetValue(0);
    if (stream->fVersion < 13) {
        float width;
        if (!stream->ReadFloat(width))
            return false;
        fWidth.SetValue(0, width);
    } else if (!fWidth.ReadRecord(stream, true)) {
        return false;
    }

    int32_t count;
    if (!stream->ReadInt(fParent) || !stream->ReadBool(fSelected) || !stream->ReadInt(count))
        return false;
    if (!RecordCountFits(stream, count, kMinMembershipBytes))
        return false;
    delete[] fCurveIDs;
    delete[] fCurvePositions;
    fCurveIDs = new int32_t[count]();
    fCurvePositions = new int32_t[count]();
    fNumCurves = count;
    for (int32_t j = 0; j < count; j++) {
        int32_t curve;
        if (!stream->ReadInt(curve) || !stream->ReadInt(fCurvePositions[j]))
            return false;
        if (!AddRecordBase(curve, curveBase, fCurveIDs[j]))
            return false;
    }
    return true;
}

void M_Point::WriteRecord(QV_IoStream* stream)
{
    fAnimPos.WriteRecord(stream, true);
    fWidth.WriteRecord(stream, true);
    stream->WriteIndent();
    stream->WriteInt(fParent);
    stream->WriteNewline();
    stream->WriteIndent();
    stream->WriteText(fSelected ? "true" : "false");
    stream->WriteNewline();
    stream->WriteIndent();
    stream->WriteInt(fNumCurves);
    stream->WriteNewline();
    stream->WriteIndent();
    stream->WriteText("\t");
    for (int32_t j = 0; j < fNumCurves; j++) {
        stream->WriteInt(fCurveIDs[j]);
        stream->WriteSpace();
        stream->WriteInt(fCurvePositions[j]);
        stream->WriteSpace();
    }
    stream->WriteNewline();
}
