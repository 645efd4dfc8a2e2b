// The bone layer's frame update: the bones' channels and constraints, the lock pass, and the
// dynamics that let a bone lag behind and swing back as its layer moves.

#include <algorithm>
#include <cmath>

#include "bonelayer.h"
#include "vorndoc.h"

namespace {

constexpr float kDefaultStep = 1.0f / 24.0f;
constexpr float kStillDistance = 0.000001f;
constexpr float kMaxAccel = 10000.0f;

// The channel's value at its first key: the rest the constraints are measured from.
float RestAngle(AnimVal& angle)
{
    return angle.GetValue(angle.fKeyCount > 0 ? angle.fKeyFrames[0] : 0);
}

QV_Vector3 Placed(const QV_Matrix& bone, const QV_Matrix& layer, float x, float y)
{
    QV_Vector3 v { x, y, 0 };
    bone.TransformAffine(v);
    layer.TransformAffine(v);
    return v;
}

} // namespace

void BoneLayer::SetCurFrame(int32_t frame)
{
    const int32_t offset = TotalTimingOffset();
    const int32_t t = LayerFrameOf(frame);
    const int32_t start = fDoc ? fDoc->StartFrame() : 1;
    fSkeleton.fLayerTimingOffset = offset;

    UpdateBoneChannels(t);
    if (frame > 0)
        fSkeleton.ApplyIKLocks(t, frame);
    fSkeleton.UpdateBoneMatrix(-1);
    // fCurFrame still holds the previous update's layer frame: only a single step forward moves
    // the simulation, so playing from the start gives the same motion every time.
    if (t == fCurFrame + 1 || t <= start)
        StepDynamics(frame, t <= start);

    GroupLayer::SetCurFrame(frame);
}

void BoneLayer::UpdateBoneChannels(int32_t t)
{
    for (int32_t i = 0; i < fSkeleton.GetNumBones(); i++) {
        M_Bone* bone = fSkeleton.GetBone(i);
        if (!bone)
            continue;
        bone->fAnimPos.SetCurFrame(t);
        bone->fAnimAngle.SetCurFrame(t);
        bone->fAnimScale.SetCurFrame(t);
        bone->fIKLock.SetCurFrame(t);
        bone->fIKParentTarget.SetCurFrame(t);
        bone->fIKGlobalAngle.SetCurFrame(t);
        const bool wasDynamic = bone->fBoneDynamics.value;
        bone->fBoneDynamics.SetCurFrame(t);
        if (bone->fBoneDynamics.value != wasDynamic) {
            bone->fDynAngle = bone->fAngle;
            bone->fDynAccel = 0;
            bone->fDynVelocity = 0;
        }
        bone->fAngle = bone->fAnimAngle.value;
        bone->fPos = bone->fAnimPos.value;
        bone->fScale = bone->fAnimScale.value;
        if (bone->fConstraints) {
            const float rest = RestAngle(bone->fAnimAngle);
            if (bone->fAngle < rest + bone->fMinConstraint)
                bone->fAngle = rest + bone->fMinConstraint;
            else if (bone->fAngle > rest + bone->fMaxConstraint)
                bone->fAngle = rest + bone->fMaxConstraint;
        }
    }
}

void BoneLayer::StepDynamics(int32_t docFrame, bool atStart)
{
    QV_Matrix layer;
    GetFullTransform(docFrame, layer, fDoc);
    const float dt = fDoc && fDoc->Fps() > 0 ? 1.0f / fDoc->Fps() : kDefaultStep;
    bool moved = false;
    for (int32_t i = 0; i < fSkeleton.GetNumBones(); i++) {
        M_Bone* bone = fSkeleton.GetBone(i);
        if (!bone || !bone->fBoneDynamics.value)
            continue;
        moved = true;
        const QV_Vector3 b = Placed(bone->fMovedMatrix, layer, 0, 0);
        const QV_Vector3 tip = Placed(bone->fMovedMatrix, layer, bone->fLength, 0);
        const QV_Vector3 xa = Placed(bone->fMovedMatrix, layer, 1, 0);
        const QV_Vector3 ya = Placed(bone->fMovedMatrix, layer, 0, 1);
        const float xx = xa.x - b.x, xy = xa.y - b.y, yx = ya.x - b.x, yy = ya.y - b.y;
        const bool mirrored = yy * xx - xy * yx < 0;

        const float dx = tip.x - b.x, dy = tip.y - b.y;
        const float vx = b.x - bone->fDynBasePos.x, vy = b.y - bone->fDynBasePos.y;
        float wx = dx, wy = dy;
        if (vx * vx + vy * vy >= kStillDistance) {
            // The base moved: the tip is still where it was and trails behind.
            wx = bone->fDynTipPos.x - b.x;
            wy = bone->fDynTipPos.y - b.y;
        }
        bone->fDynBasePos = QV_Vector2 { b.x, b.y };
        bone->fDynTipPos = QV_Vector2 { tip.x, tip.y };

        if (atStart) {
            bone->fDynAngle = bone->fAngle;
            bone->fDynAccel = 0;
            bone->fDynVelocity = 0;
            continue;
        }
        const float d = std::atan2(dy, dx);
        const float c = std::cos(-d), s = std::sin(-d);
        float torque = std::atan2(wx * s + wy * c, wx * c - wy * s) * bone->fTorqueForce * 100.0f;
        if (mirrored)
            torque = -torque;
        float a = bone->fSpringForce * 150.0f * (bone->fAngle - bone->fDynAngle) + torque
            - bone->fDampingForce * 3.0f * bone->fDynVelocity;
        a = std::clamp(a, -kMaxAccel, kMaxAccel);
        bone->fDynAccel = a;
        const float inertia = std::max(bone->fLength / 0.2f, 0.25f);
        bone->fDynVelocity += a / inertia * dt;
        bone->fDynAngle += bone->fDynVelocity * dt;
        if (bone->fConstraints) {
            const float rest = bone->fAnimAngle.GetValue(0);
            const float lo = rest + bone->fMinConstraint, hi = rest + bone->fMaxConstraint;
            if (bone->fDynAngle < lo) {
                bone->fDynAngle = 2 * lo - bone->fDynAngle;
                bone->fDynVelocity = -bone->fDynVelocity;
            } else if (bone->fDynAngle > hi) {
                bone->fDynAngle = 2 * hi - bone->fDynAngle;
                bone->fDynVelocity = -bone->fDynVelocity;
            }
        }
        bone->fAngle = bone->fDynAngle;
    }
    if (moved)
        fSkeleton.UpdateBoneMatrix(-1);
}
