#include <gtest/gtest.h>

#include "layer_test_support.h"
#include "skeleton_bones.h"
#include "skeleton_test_support.h"

TEST(SkeletonBones, ALayerOnABoneTurnsWithIt)
{
    M_Skeleton skeleton;
    AddRestBone(skeleton, -1, QV_Vector2 { 0, 0 }, 0);
    AddRestBone(skeleton, 0, QV_Vector2 { 1, 0 }, 0);
    AddRestBone(skeleton, -1, QV_Vector2 { 5, 0 }, 0);
    skeleton.GetBone(0)->fAngle = 1.5707964f;
    skeleton.UpdateBoneMatrix(-1);

    StandInGroupKind boneLayer(LT_BONE);
    SkeletonBones bones(&skeleton);
    boneLayer.fBoneParent = &bones;
    VornLayer* layer = NewBaseLayer();
    boneLayer.AddLayer(layer);
    layer->fLayerParentBone = 0;
    QV_Matrix m;
    layer->GetLayerTransform(1, m, nullptr);
    EXPECT_VEC2_NEAR(Apply(m, { 1, 0 }), 0, 1, 1e-5f);

    // Deleting the turned bone (and with it its child) hands the layer to no bone; a bone of
    // another tree moves down past both.
    layer->DeleteParentBone(0);
    EXPECT_EQ(layer->fLayerParentBone, -1);
    layer->fLayerParentBone = 2;
    layer->DeleteParentBone(0);
    EXPECT_EQ(layer->fLayerParentBone, 0);

    // Slots outside the skeleton offer no matrix.
    EXPECT_EQ(bones.CountBones(), 3);
    EXPECT_FALSE(bones.BonePointMatrix(3, m));
    SkeletonBones none;
    EXPECT_EQ(none.CountBones(), 0);
    none.LocalFrameAt(QV_Vector2 { 3, 4 }, m);
    ExpectMatrixNear(m, QV_Matrix());
}
