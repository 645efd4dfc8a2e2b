#pragma once

#include <cstdint>

#include "qv_matrix.h"
#include "qv_vector.h"

// What a layer needs of the skeleton of its bone or switch parent: the pose matrix of one bone,
// the rigid frame that follows the whole skeleton at a point, and how bone indices move when a
// bone is deleted. A bone or switch layer hands its skeleton to its sub-layers through this
// (GroupLayer::fBoneParent; SkeletonBones offers an M_Skeleton), so the layer code never
// depends on the skeleton classes.
class BoneParent {
public:
    virtual ~BoneParent();

    virtual int32_t CountBones() const = 0;
    // The bone's matrix from its rest placement to its current pose; false when the index names
    // no bone.
    virtual bool BonePointMatrix(int32_t bone, QV_Matrix& matrix) const = 0;
    // The rigid frame that approximates the skeleton's deformation at a point of the parent's
    // space.
    virtual void LocalFrameAt(const QV_Vector2& point, QV_Matrix& frame) const = 0;
    // Moves a point of the parent's space the way the skeleton's bones move bound points.
    virtual void TransformPoint(QV_Vector2& point) const = 0;
    // The index that bone id will have once deleted and its sub-tree are removed; a removed
    // bone maps to its nearest surviving ancestor or -1.
    virtual int32_t RemapBoneID(int32_t id, int32_t deleted) const = 0;
};
