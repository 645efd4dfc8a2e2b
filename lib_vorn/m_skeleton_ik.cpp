// Inverse kinematics: turning a chain of bones so that its end reaches a point, and the locks
// that pin a bone's parent tip and world angle while the rest of the skeleton moves.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "bone_math.h"
#include "m_skeleton.h"
#include "model_prefs.h"

using namespace bone_math;

namespace {

constexpr int32_t kMaxChain = 32;
constexpr int32_t kLockIterations = 8;

struct ChainJoint {
    int32_t bone;
    float angle;
    float rest;
    float minConstraint;
    float maxConstraint;
    bool constraints;
    // Layer-space origin of the bone in the current pose.
    QV_Vector2 pivot;
};

bool AutoLockKeys()
{
    return ModelPrefInt("AutoLockKeys", 1) != 0;
}

QV_Vector2 BoneTip(const M_Bone& bone)
{
    return Transformed(bone.fMovedMatrix, QV_Vector2 { bone.fLength, 0 });
}

// Lock targets hold from key to key; pose keys keep playing their action.
template <class Channel> void StepKeys(Channel& channel)
{
    const int32_t count = channel.CountKeys();
    for (int32_t id = 0; id < count; id++) {
        if (channel.GetKeyInterpModeByID(id) != INTERP_POSE)
            channel.SetKeyInterpByID(id, INTERP_STEP, -1, -1);
    }
}

// The signed angle from u to v (counter-clockwise positive); a zero vector counts as (0, 1).
// Worked in double: near alignment the cosine lies within a float step of 1, and acos of a
// float there cannot tell turns below about 0.0003 apart, which left chains stalled short of
// targets they could reach.
float SignedTurn(const QV_Vector2& uf, const QV_Vector2& vf)
{
    auto unit = [](const QV_Vector2& a, double& x, double& y) {
        const double length = std::sqrt(double(a.x) * a.x + double(a.y) * a.y);
        if (length == 0) {
            x = 0;
            y = 1;
            return;
        }
        x = a.x / length;
        y = a.y / length;
    };
    double ux, uy, vx, vy;
    unit(uf, ux, uy);
    unit(vf, vx, vy);
    double theta = std::acos(std::clamp(ux * vx + uy * vy, -1.0, 1.0));
    if (uy * vx - ux * vy > 0)
        theta = -theta;
    return float(theta);
}

int32_t FrameAfter(int32_t frame, int32_t step)
{
    return ClampFrame(int64_t(frame) + step);
}

} // namespace

void M_Skeleton::IKAngleSolver(int32_t index, const QV_Vector2& target, int32_t iterations)
{
    if (!GetBone(index) || !IsFree(index))
        return;

    // The free chain, gathered upwards from the end bone and then turned root first.
    ChainJoint chain[kMaxChain];
    int32_t n = 0;
    chain[n++].bone = index;
    for (int32_t bone = index; n < kMaxChain;) {
        const int32_t parent = ParentOf(bone);
        if (parent < 0 || !IsFree(parent) || CountBoneChildren(parent, true) > 1)
            break;
        // A parent cycle made by a script would otherwise fill the chain with repeats.
        if (std::any_of(chain, chain + n, [parent](const ChainJoint& j) { return j.bone == parent; }))
            break;
        chain[n++].bone = parent;
        bone = parent;
    }
    std::reverse(chain, chain + n);

    const int64_t passes = int64_t(iterations) * 10;
    if (passes <= 0)
        return;
    QV_Vector2 previousTip { 1000000, 1000000 };
    for (int64_t pass = 0; pass < passes; pass++) {
        for (int32_t j = 0; j < n; j++) {
            ChainJoint& joint = chain[j];
            M_Bone& bone = *fBones[joint.bone];
            joint.angle = bone.fAngle;
            joint.rest = bone.fAnimAngle.GetValue(bone.fAnimAngle.GetKeyWhen(0));
            joint.minConstraint = bone.fMinConstraint;
            joint.maxConstraint = bone.fMaxConstraint;
            joint.constraints = bone.fConstraints;
            joint.pivot = Transformed(bone.fMovedMatrix, QV_Vector2 { 0, 0 });
        }
        M_Bone& end = *fBones[chain[n - 1].bone];
        QV_Vector2 tip = BoneTip(end);

        // End bone first: each joint turns by the angle that points the chain's end at the
        // target, within its constraints.
        for (int32_t j = n - 1; j >= 0; j--) {
            ChainJoint& joint = chain[j];
            const QV_Vector2 pivot = joint.pivot;
            const float theta = SignedTurn(Sub(tip, pivot), Sub(target, pivot));
            float angle = joint.angle + theta;
            if (joint.constraints) {
                if (angle < joint.rest + joint.minConstraint)
                    angle = joint.rest + joint.minConstraint;
                else if (angle > joint.rest + joint.maxConstraint)
                    angle = joint.rest + joint.maxConstraint;
            }
            const float delta = angle - joint.angle;
            joint.angle = angle;
            QV_Vector2 arm = Sub(tip, pivot);
            arm.Rotate(delta);
            tip = Add(pivot, arm);
        }

        for (int32_t j = 0; j < n; j++)
            fBones[chain[j].bone]->fAngle = chain[j].angle;
        UpdateBoneMatrix(-1);

        tip = BoneTip(end);
        if (MagSquared(Sub(tip, target)) < 2.5e-7f)
            return;
        if (pass > passes / 2 && MagSquared(Sub(tip, previousTip)) < 0.000001f)
            return;
        previousTip = tip;
    }
}

void M_Skeleton::LockBone(int32_t index, int32_t frame)
{
    M_Bone* bone = GetBone(index);
    if (!bone)
        return;
    M_Bone* parent = GetBone(ParentOf(index));
    if (!parent)
        return;
    bone->fIKLock.SetValue(frame, true);
    bone->fIKParentTarget.SetValue(frame, BoneTip(*parent));
    bone->fIKGlobalAngle.SetValue(frame, WrapAngle(WorldAngle(bone->fMovedMatrix, bone->fLength)));
}

void M_Skeleton::UnlockBone(int32_t index, int32_t frame)
{
    M_Bone* bone = GetBone(index);
    if (!bone)
        return;
    bone->fIKLock.SetValue(frame, false);
    bone->fIKParentTarget.SetValue(frame, bone->fIKParentTarget.GetValue(frame));
    bone->fIKGlobalAngle.SetValue(frame, bone->fIKGlobalAngle.GetValue(frame));
}

void M_Skeleton::KeyLockAngles(int32_t index, int32_t frame)
{
    if (!AutoLockKeys())
        return;
    M_Bone& bone = *fBones[index];
    bone.fAnimAngle.SetValue(frame, bone.fAngle);
    int32_t ancestor = ParentOf(index);
    for (int32_t steps = 0; ancestor >= 0 && steps < fBoneCount; steps++) {
        if (CountBoneChildren(ancestor, false) > 1)
            break;
        M_Bone& up = *fBones[ancestor];
        up.fAnimAngle.SetValue(frame, up.fAngle);
        ancestor = ParentOf(ancestor);
    }
}

void M_Skeleton::ApplyIKLocks(int32_t layerFrame, int32_t documentFrame)
{
    if (documentFrame <= 0)
        return;
    const int32_t t = layerFrame;
    for (int32_t i = 0; i < fBoneCount; i++) {
        M_Bone* bone = fBones[i];
        const int32_t parent = ParentOf(i);
        if (!bone || parent < 0 || !bone->fIKLock.value)
            continue;

        StepKeys(bone->fIKParentTarget);
        StepKeys(bone->fIKGlobalAngle);

        if (bone->fIKLock.HasKey(t) && !bone->fIKLock.GetValue(FrameAfter(t, -1)))
            KeyLockAngles(i, t);

        IKAngleSolver(parent, bone->fIKParentTarget.GetValue(t), kLockIterations);
        UpdateBoneMatrix(-1);

        // Keep the world angle the lock recorded: the bone's present world angle is moved by
        // whole turns to within one turn of it (not necessarily the nearer way round), and the
        // bone turns by the difference left, which may be up to a full turn.
        const float global = bone->fIKGlobalAngle.value;
        const float world = UnwrapNear(WorldAngle(bone->fMovedMatrix, bone->fLength), global);
        bone->fAngle = WrapAngle(bone->fAngle + (global - world));

        const int32_t next = FrameAfter(t, 1);
        if (bone->fIKLock.HasKey(next) && !bone->fIKLock.GetValue(next))
            KeyLockAngles(i, t);
    }
}
