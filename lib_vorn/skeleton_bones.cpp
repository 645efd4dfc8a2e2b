#include "skeleton_bones.h"

#include "m_skeleton.h"

SkeletonBones::SkeletonBones(M_Skeleton* skeleton)
    : fSkeleton(skeleton)
{
}

int32_t SkeletonBones::CountBones() const
{
    return fSkeleton ? fSkeleton->GetNumBones() : 0;
}

bool SkeletonBones::BonePointMatrix(int32_t bone, QV_Matrix& matrix) const
{
    // Null for indices out of range and for slots a deferred deletion left empty.
    M_Bone* found = fSkeleton ? fSkeleton->GetBone(bone) : nullptr;
    if (!found)
        return false;
    matrix = found->fPtMatrix;
    return true;
}

void SkeletonBones::LocalFrameAt(const QV_Vector2& point, QV_Matrix& frame) const
{
    if (fSkeleton)
        frame = fSkeleton->LocalFrameAt(point);
    else
        frame.Identity();
}

void SkeletonBones::TransformPoint(QV_Vector2& point) const
{
    if (fSkeleton)
        fSkeleton->TransformPoint(point);
}

int32_t SkeletonBones::RemapBoneID(int32_t id, int32_t deleted) const
{
    return fSkeleton ? fSkeleton->RemapBoneID(id, deleted) : id;
}
