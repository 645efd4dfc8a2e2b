// How points follow the bones: one bone rigidly, or the blend of all bones weighted by the
// distance to each in the rest pose; and the saving of the bones' dynamics state.
#include <cmath>
#include <cstdint>

#include "bone_math.h"
#include "m_skeleton.h"
#include "qv_interp.h"
#include "qv_memstream.h"

using namespace bone_math;

namespace {

constexpr float kTiny = 0.000001f;
// Falloff of the flexible binding: L / (1 + 1000 (d / S)^4).
constexpr float kFlexiFalloff = 1000;
// The step along x that shows how the blend turns the surroundings of a point.
constexpr float kFrameStep = 0.001f;

} // namespace

QV_Vector2 M_Skeleton::WeightedTransform(const QV_Vector2& p)
{
    float sum = 0;
    int32_t nearestRegion = -1;
    float bestExcess = 1000000.0f;
    for (int32_t i = 0; i < fBoneCount; i++) {
        M_Bone* bone = fBones[i];
        if (!bone)
            continue;
        bone->fBindWeight = 0;
        const float length = bone->fLength, strength = bone->fStrength;
        if (std::fabs(length) < kTiny || std::fabs(strength) < kTiny)
            continue;
        // The rest segment is as long as the bone: its length turns the cross product into the
        // distance from the line without a square root.
        const float d = SegmentDistance(p, bone->fRestBase, bone->fRestTip, 1 / std::fabs(length));
        float weight = 0;
        if (fBindingMode == FLEXI_BINDING) {
            const float r = d / strength;
            const float r2 = r * r;
            weight = length / (1 + kFlexiFalloff * (r2 * r2));
        } else if (fBindingMode == REGION_BINDING) {
            const float radius = strength * length * 0.5f;
            if (d > radius - kTiny) {
                if (d - radius < bestExcess) {
                    bestExcess = d - radius;
                    nearestRegion = i;
                }
            } else if (std::fabs(radius) >= kTiny) {
                weight = Slerp(d / radius, 1, 0);
            }
        }
        bone->fBindWeight = weight;
        sum += weight;
    }

    if (fBoneCount == 0)
        return p;
    if (fBindingMode == REGION_BINDING && sum < kTiny) {
        if (nearestRegion >= 0)
            return Transformed(fBones[nearestRegion]->fPtMatrix, p);
        return p;
    }
    if (std::fabs(sum) < kTiny)
        return p;
    QV_Vector2 q { 0, 0 };
    for (int32_t i = 0; i < fBoneCount; i++) {
        M_Bone* bone = fBones[i];
        if (!bone || bone->fBindWeight == 0)
            continue;
        bone->fBindWeight /= sum;
        const QV_Vector2 moved = TransformedInline(bone->fPtMatrix, p);
        q.x += bone->fBindWeight * moved.x;
        q.y += bone->fBindWeight * moved.y;
    }
    return q;
}

void M_Skeleton::TransformPoint(QV_Vector2& p)
{
    p = WeightedTransform(p);
}

QV_Matrix M_Skeleton::LocalFrameAt(const QV_Vector2& p)
{
    const QV_Vector2 q0 = WeightedTransform(p);
    const QV_Vector2 q1 = WeightedTransform(QV_Vector2 { p.x + kFrameStep, p.y });
    const float turn = std::atan2(q1.y - q0.y, q1.x - q0.x);
    // R(turn) (z - p) + q0, built from its right end.
    QV_Matrix frame;
    frame.Translate(q0.x - p.x, q0.y - p.y, 0);
    frame.Translate(p.x, p.y, 0);
    frame.Rotate(Z_AXIS, turn);
    frame.Translate(-p.x, -p.y, 0);
    return frame;
}

void M_Skeleton::SaveDynamicsState(QV_MemStream* stream)
{
    if (!stream)
        return;
    if (!stream->IsOpen() && stream->Open(128) != 0)
        return;
    stream->fReading = false;
    stream->Rewind();
    stream->WriteInt(fBoneCount);
    stream->WriteNewline();
    for (int32_t i = 0; i < fBoneCount; i++) {
        const M_Bone* bone = fBones[i];
        if (!bone || !bone->fBoneDynamics.value)
            continue;
        const float values[] = { bone->fDynBasePos.x, bone->fDynBasePos.y, bone->fDynTipPos.x,
            bone->fDynTipPos.y, bone->fDynAngle, bone->fDynAccel, bone->fDynVelocity };
        for (size_t k = 0; k < sizeof(values) / sizeof(values[0]); k++) {
            if (k > 0)
                stream->WriteSpace();
            stream->WriteFloat(values[k]);
        }
        stream->WriteNewline();
    }
}

void M_Skeleton::RestoreDynamicsState(QV_MemStream* stream)
{
    if (!stream || !stream->IsOpen())
        return;
    stream->Rewind();
    int32_t count;
    if (!stream->ReadInt(count) || count != fBoneCount)
        return;
    for (int32_t i = 0; i < fBoneCount; i++) {
        M_Bone* bone = fBones[i];
        if (!bone || !bone->fBoneDynamics.value)
            continue;
        // Each value is stored only once it is read, so a short stream leaves the rest alone.
        if (!stream->ReadVector2(bone->fDynBasePos) || !stream->ReadVector2(bone->fDynTipPos)
            || !stream->ReadFloat(bone->fDynAngle) || !stream->ReadFloat(bone->fDynAccel)
            || !stream->ReadFloat(bone->fDynVelocity))
            return;
    }
}
