#include "m_bone.h"

#include <cstdint>

#include "qv_iostream.h"
#include "script_object_record.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
// -70 and +70 degrees.
constexpr float kDefaultMinConstraint = -1.2217305f;
constexpr float kDefaultMaxConstraint = 1.2217305f;

template <class Channel, class Value> void StartChannel(Channel& channel, int32_t frame, const Value& value)
{
    channel.SetCurFrame(frame);
    channel.SetValue(frame, value);
    if (frame != 0)
        channel.DeleteKey(0);
}

void WriteBool(QV_IoStream* stream, bool value)
{
    stream->WriteText(value ? "true" : "false");
}

void WriteVector2(QV_IoStream* stream, const QV_Vector2& v)
{
    stream->WriteFloat(v.x);
    stream->WriteSpace();
    stream->WriteFloat(v.y);
}

// A bone reference as stored: the id base moves the references of appended records.
bool ReadReference(QV_IoStream* stream, int32_t idBase, int32_t& reference)
{
    int32_t value;
    if (!stream->ReadInt(value))
        return false;
    if (value >= 0) {
        // A reference this large cannot name a bone; leaving it out of range lets the
        // skeleton's check refuse it instead of wrapping around to a valid index.
        const int64_t moved = int64_t(value) + idBase;
        value = moved > INT32_MAX ? INT32_MAX : int32_t(moved);
    }
    reference = value;
    return true;
}

} // namespace

M_Bone::M_Bone(int32_t frame)
    : fSelected(false)
    , fParent(-1)
    , fAngleControlParent(-1)
    , fAngleControlScale(1)
    , fPosControlParent(-1)
    , fPosControlScale { 1, 1 }
    , fScaleControlParent(-1)
    , fScaleControlScale(1)
    , fLength(0.25f)
    , fStrength(1)
    , fConstraints(false)
    , fMinConstraint(kDefaultMinConstraint)
    , fMaxConstraint(kDefaultMaxConstraint)
    , fAngle(kHalfPi)
    , fScale(1)
    , fTempLength(0)
    , fTempAngle(0)
    , fTempScale(0)
    , fTorqueForce(2)
    , fSpringForce(2)
    , fDampingForce(1)
    , fDynAngle(0)
    , fDynAccel(0)
    , fDynVelocity(0)
    , fMatrixUpdated(false)
    , fBindWeight(0)
    , fOwnerSkeleton(nullptr)
{
    StartChannel(fAnimPos, frame, QV_Vector2 { 0, 0 });
    StartChannel(fAnimAngle, frame, kHalfPi);
    StartChannel(fAnimScale, frame, 1.0f);
    StartChannel(fIKLock, frame, false);
    StartChannel(fIKParentTarget, frame, QV_Vector2 { 0, 0 });
    StartChannel(fIKGlobalAngle, frame, 0.0f);
    fBoneDynamics.SetCurFrame(frame);
    fBoneDynamics.SetValue(0, false);
}

M_Bone::~M_Bone()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
}

void M_Bone::SetName(const char* name)
{
    fName = name ? name : "";
    fName.RemoveChar('"');
}

void M_Bone::WriteRecord(QV_IoStream* stream)
{
    stream->WriteIndent();
    stream->WriteQuoted(fName.CString());
    stream->WriteSpace();
    stream->WriteInt(fParent);
    stream->WriteSpace();
    stream->WriteInt(fAngleControlParent);
    stream->WriteSpace();
    stream->WriteFloat(fAngleControlScale);
    stream->WriteSpace();
    stream->WriteInt(fPosControlParent);
    stream->WriteSpace();
    WriteVector2(stream, fPosControlScale);
    stream->WriteSpace();
    stream->WriteInt(fScaleControlParent);
    stream->WriteSpace();
    stream->WriteFloat(fScaleControlScale);
    stream->WriteSpace();
    WriteBool(stream, fSelected);
    stream->WriteSpace();
    stream->WriteFloat(fLength);
    stream->WriteSpace();
    stream->WriteFloat(fStrength);
    stream->WriteSpace();
    WriteVector2(stream, fOffset);
    stream->WriteNewline();

    stream->WriteIndent();
    WriteBool(stream, fConstraints);
    stream->WriteSpace();
    stream->WriteFloat(fMinConstraint);
    stream->WriteSpace();
    stream->WriteFloat(fMaxConstraint);
    stream->WriteNewline();

    fBoneDynamics.WriteRecord(stream, true);

    stream->WriteIndent();
    stream->WriteFloat(fTorqueForce);
    stream->WriteSpace();
    stream->WriteFloat(fSpringForce);
    stream->WriteSpace();
    stream->WriteFloat(fDampingForce);
    stream->WriteNewline();

    fAnimPos.WriteRecord(stream, true);
    fAnimAngle.WriteRecord(stream, true);
    fAnimScale.WriteRecord(stream, true);
    fIKLock.WriteRecord(stream, true);
    fIKParentTarget.WriteRecord(stream, true);
    fIKGlobalAngle.WriteRecord(stream, true);
}

bool M_Bone::ReadRecord(QV_IoStream* stream, int32_t idBase)
{
    // Names are read whole, whatever their length: SetName takes any length, and a name the
    // reader refused would make the document unreadable.
    if (!stream->ReadString(fName))
        return false;
    if (!ReadReference(stream, idBase, fParent) || !ReadReference(stream, idBase, fAngleControlParent)
        || !stream->ReadFloat(fAngleControlScale) || !ReadReference(stream, idBase, fPosControlParent)
        || !stream->ReadVector2(fPosControlScale) || !ReadReference(stream, idBase, fScaleControlParent)
        || !stream->ReadFloat(fScaleControlScale) || !stream->ReadBool(fSelected)
        || !stream->ReadFloat(fLength) || !stream->ReadFloat(fStrength) || !stream->ReadVector2(fOffset))
        return false;
    if (!stream->ReadBool(fConstraints) || !stream->ReadFloat(fMinConstraint)
        || !stream->ReadFloat(fMaxConstraint))
        return false;
    if (stream->fVersion < 13) {
        bool dynamics;
        if (!stream->ReadBool(dynamics))
            return false;
        fBoneDynamics.SetValue(0, dynamics);
    } else if (!fBoneDynamics.ReadRecord(stream, true)) {
        return false;
    }
    if (!stream->ReadFloat(fTorqueForce) || !stream->ReadFloat(fSpringForce)
        || !stream->ReadFloat(fDampingForce))
        return false;
    if (!fAnimPos.ReadRecord(stream, true) || !fAnimAngle.ReadRecord(stream, true)
        || !fAnimScale.ReadRecord(stream, true))
        return false;
    fPos = fAnimPos.GetValue(0);
    fAngle = fAnimAngle.GetValue(0);
    fScale = fAnimScale.GetValue(0);
    return fIKLock.ReadRecord(stream, true) && fIKParentTarget.ReadRecord(stream, true)
        && fIKGlobalAngle.ReadRecord(stream, true);
}
