#pragma once

#include "bone_parent.h"

class M_Skeleton;

// A skeleton offered to the sub-layers of its bone or switch layer.
class SkeletonBones : public BoneParent {
public:
    explicit SkeletonBones(M_Skeleton* skeleton = nullptr);

    int32_t CountBones() const override;
    bool BonePointMatrix(int32_t bone, QV_Matrix& matrix) const override;
    void LocalFrameAt(const QV_Vector2& point, QV_Matrix& frame) const override;
    void TransformPoint(QV_Vector2& point) const override;
    int32_t RemapBoneID(int32_t id, int32_t deleted) const override;

    // Not owned; null offers no bones.
    M_Skeleton* fSkeleton;
};
