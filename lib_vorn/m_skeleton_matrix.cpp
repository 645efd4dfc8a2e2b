// The bones' matrices: where each bone rests, where it is now, and how points bound to it move
// from the rest pose to the current pose; and the control links applied before them.
#include <cmath>
#include <cstdint>

#include "bone_math.h"
#include "m_skeleton.h"

using namespace bone_math;

namespace {

// The rest value of a channel is the one at its first key (the active action's while one is
// edited).
template <class Channel> auto FirstKeyValue(Channel& channel)
{
    return channel.GetValue(channel.GetKeyWhen(0));
}

void TranslateBy(QV_Matrix& matrix, const QV_Vector2& v)
{
    matrix.Translate(v.x, v.y, 0);
}

void RotateBy(QV_Matrix& matrix, float radians)
{
    matrix.Rotate(Z_AXIS, radians);
}

// A stretch along the bone's own x axis.
void StretchBy(QV_Matrix& matrix, float scale)
{
    matrix.Scale(scale, 1, 1);
}

} // namespace

void M_Skeleton::ApplyControls()
{
    for (int32_t i = 0; i < fBoneCount; i++) {
        M_Bone* bone = fBones[i];
        if (!bone)
            continue;
        if (M_Bone* control = GetBone(bone->fAngleControlParent)) {
            const float rest = FirstKeyValue(bone->fAnimAngle);
            float angle
                = rest + bone->fAngleControlScale * (control->fAngle - FirstKeyValue(control->fAnimAngle));
            if (bone->fConstraints) {
                if (angle < rest + bone->fMinConstraint)
                    angle = rest + bone->fMinConstraint;
                else if (angle > rest + bone->fMaxConstraint)
                    angle = rest + bone->fMaxConstraint;
            }
            bone->fAngle = angle;
        }
        if (M_Bone* control = GetBone(bone->fPosControlParent)) {
            const QV_Vector2 rest = FirstKeyValue(bone->fAnimPos);
            const QV_Vector2 moved = Sub(control->fPos, FirstKeyValue(control->fAnimPos));
            bone->fPos = QV_Vector2 { rest.x + moved.x * bone->fPosControlScale.x,
                rest.y + moved.y * bone->fPosControlScale.y };
        }
        if (M_Bone* control = GetBone(bone->fScaleControlParent)) {
            bone->fScale = FirstKeyValue(bone->fAnimScale)
                + bone->fScaleControlScale * (control->fScale - FirstKeyValue(control->fAnimScale));
        }
    }
}

void M_Skeleton::UpdateBoneMatrix(int32_t index)
{
    ApplyControls();
    if (index >= 0) {
        if (GetBone(index))
            UpdateOneBone(index, 0);
        return;
    }
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i])
            fBones[i]->fMatrixUpdated = false;
    }
    // Controls run again before each bone so that chained controls settle.
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i] && !fBones[i]->fMatrixUpdated) {
            ApplyControls();
            UpdateOneBone(i, 0);
        }
    }
    for (int32_t i = 0; i < fBoneCount; i++) {
        M_Bone* bone = fBones[i];
        if (!bone)
            continue;
        bone->fRestBase = Transformed(bone->fRestMatrix, QV_Vector2 { 0, 0 });
        bone->fRestTip = Transformed(bone->fRestMatrix, QV_Vector2 { bone->fLength, 0 });
    }
}

void M_Skeleton::UpdateOneBone(int32_t index, int32_t depth)
{
    M_Bone& bone = *fBones[index];
    float parentScale = 1;

    float restAngle;
    if (fLayerTimingOffset < 0 && bone.fAnimAngle.HasKey(fLayerTimingOffset))
        restAngle = bone.fAnimAngle.GetValue(fLayerTimingOffset);
    else
        restAngle = bone.fAnimAngle.GetValue(0);

    // Deeper than the bone count means a parent cycle made by a script: the bone is then
    // placed as a root rather than recursing without end.
    const int32_t parentIndex = depth < fBoneCount ? ParentOf(index) : -1;
    if (parentIndex < 0) {
        bone.fRestMatrix.Identity();
        bone.fMovedMatrix.Identity();
        bone.fPtMatrix.Identity();
        bone.fChildMovedMatrix.Identity();
        bone.fChildPtMatrix.Identity();
    } else {
        M_Bone& parent = *fBones[parentIndex];
        if (!parent.fMatrixUpdated)
            UpdateOneBone(parentIndex, depth + 1);
        parentScale = parent.fScale;
        bone.fRestMatrix = parent.fRestMatrix;
        bone.fMovedMatrix = parent.fChildMovedMatrix;
        bone.fChildMovedMatrix = parent.fChildMovedMatrix;
        bone.fPtMatrix = parent.fChildPtMatrix;
        bone.fChildPtMatrix = parent.fChildPtMatrix;
    }

    // The current position is stretched along the parent's axis by the parent's scale; the
    // rest position ignores the offset and every scale.
    const QV_Vector2 restPos = FirstKeyValue(bone.fAnimPos);
    const QV_Vector2 current { (bone.fPos.x + bone.fOffset.x) * parentScale, bone.fPos.y + bone.fOffset.y };
    const QV_Vector2 restPosWorld = Transformed(bone.fRestMatrix, restPos);
    const QV_Vector2 currentWorld = Transformed(bone.fRestMatrix, current);

    // Each factor goes in front, so the products are built from their right end.
    TranslateBy(bone.fRestMatrix, restPos);
    RotateBy(bone.fRestMatrix, restAngle);

    TranslateBy(bone.fMovedMatrix, current);
    RotateBy(bone.fMovedMatrix, bone.fAngle);
    StretchBy(bone.fMovedMatrix, bone.fScale);

    TranslateBy(bone.fChildMovedMatrix, current);
    RotateBy(bone.fChildMovedMatrix, bone.fAngle);

    const QV_Vector2 restBase = Transformed(bone.fRestMatrix, QV_Vector2 { 0, 0 });
    const QV_Vector2 restTip = Transformed(bone.fRestMatrix, QV_Vector2 { bone.fLength, 0 });
    const float restDirection = std::atan2(restTip.y - restBase.y, restTip.x - restBase.x);
    const QV_Vector2 displacement = Sub(currentWorld, restPosWorld);
    const float turn = bone.fAngle - restAngle;

    // A bound point: moved by the bone's displacement, turned about the rest origin by the
    // angle change, stretched along the bone's rest direction, then carried by the parent.
    TranslateBy(bone.fPtMatrix, displacement);
    TranslateBy(bone.fPtMatrix, restBase);
    RotateBy(bone.fPtMatrix, turn);
    RotateBy(bone.fPtMatrix, restDirection);
    StretchBy(bone.fPtMatrix, bone.fScale);
    RotateBy(bone.fPtMatrix, -restDirection);
    TranslateBy(bone.fPtMatrix, QV_Vector2 { -restBase.x, -restBase.y });

    TranslateBy(bone.fChildPtMatrix, displacement);
    TranslateBy(bone.fChildPtMatrix, restBase);
    RotateBy(bone.fChildPtMatrix, turn);
    TranslateBy(bone.fChildPtMatrix, QV_Vector2 { -restBase.x, -restBase.y });

    bone.fMatrixUpdated = true;
}
