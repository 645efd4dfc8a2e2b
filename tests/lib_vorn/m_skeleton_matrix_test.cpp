// Bone matrices: rest and current poses, the point matrices, parents' scale, offsets, control
// links with constraints, and the rest angle of layers with a negative timing offset.
#include <gtest/gtest.h>

#include <cmath>

#include "m_skeleton.h"
#include "skeleton_test_support.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kLength = 0.5f;

// One root bone resting at (1, 2) along +x.
class BoneMatrixRootTest : public ::testing::Test {
protected:
    void SetUp() override { bone = AddRestBone(skeleton, -1, { 1, 2 }, 0, kLength); }

    M_Skeleton skeleton;
    M_Bone* bone = nullptr;
};

TEST_F(BoneMatrixRootTest, AtRestThePointMatrixIsTheIdentity)
{
    skeleton.UpdateBoneMatrix(-1);
    ExpectMatrixNear(bone->fRestMatrix, Translation(1, 2));
    ExpectMatrixNear(bone->fMovedMatrix, Translation(1, 2));
    ExpectMatrixNear(bone->fPtMatrix, QV_Matrix());
    EXPECT_VEC2_NEAR(bone->fRestBase, 1, 2, 1e-6f);
    EXPECT_VEC2_NEAR(bone->fRestTip, 1 + kLength, 2, 1e-6f);
}

TEST_F(BoneMatrixRootTest, ATurnedBoneTurnsItsPointsAboutItsOrigin)
{
    bone->fAngle = kHalfPi;
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_VEC2_NEAR(Apply(bone->fPtMatrix, { 2, 2 }), 1, 3, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(bone->fPtMatrix, { 1, 2 }), 1, 2, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(bone->fMovedMatrix, { kLength, 0 }), 1, 2 + kLength, 1e-5f);
    // The rest pose does not move.
    ExpectMatrixNear(bone->fRestMatrix, Translation(1, 2));
}

TEST_F(BoneMatrixRootTest, AScaledBoneStretchesAlongItselfOnly)
{
    bone->fScale = 2;
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_VEC2_NEAR(Apply(bone->fMovedMatrix, { kLength, 0 }), 1 + 2 * kLength, 2, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(bone->fPtMatrix, { 1.5f, 2 }), 2, 2, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(bone->fPtMatrix, { 1, 2.5f }), 1, 2.5f, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(bone->fChildMovedMatrix, { kLength, 0 }), 1 + kLength, 2, 1e-5f);
    ExpectMatrixNear(bone->fChildPtMatrix, QV_Matrix());
}

TEST_F(BoneMatrixRootTest, AnOffsetMovesTheCurrentPoseButNotTheRest)
{
    bone->fOffset = { 0.1f, 0 };
    skeleton.UpdateBoneMatrix(-1);
    ExpectMatrixNear(bone->fRestMatrix, Translation(1, 2));
    ExpectMatrixNear(bone->fMovedMatrix, Translation(1.1f, 2));
    EXPECT_VEC2_NEAR(Apply(bone->fPtMatrix, { 3, -4 }), 3.1f, -4, 1e-5f);
}

TEST(BoneMatrixTest, AChildOfAScaledParentMovesAlongItButIsNotScaled)
{
    M_Skeleton skeleton;
    M_Bone* parent = AddRestBone(skeleton, -1, { 0, 0 }, 0, 1);
    M_Bone* child = AddRestBone(skeleton, 0, { 0.5f, 0 }, 0, kLength);
    parent->fScale = 2;
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_VEC2_NEAR(Apply(child->fMovedMatrix, { 0, 0 }), 1, 0, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(child->fMovedMatrix, { kLength, 0 }), 1 + kLength, 0, 1e-5f);
    EXPECT_VEC2_NEAR(child->fRestBase, 0.5f, 0, 1e-6f);
    EXPECT_VEC2_NEAR(child->fRestTip, 0.5f + kLength, 0, 1e-6f);
    // A point bound to the child moves with it, unstretched.
    EXPECT_VEC2_NEAR(Apply(child->fPtMatrix, { 0.75f, 0.1f }), 1.25f, 0.1f, 1e-5f);
}

TEST(BoneMatrixTest, ChildrenFollowTheirParentsTurn)
{
    M_Skeleton skeleton;
    M_Bone* parent = AddRestBone(skeleton, -1, { 0, 0 }, 0, 1);
    M_Bone* child = AddRestBone(skeleton, 0, { 1, 0 }, 0, 1);
    parent->fAngle = kHalfPi;
    child->fAngle = -kHalfPi;
    // A one-bone update computes the parent first when its matrices are not current.
    skeleton.UpdateBoneMatrix(1);
    EXPECT_VEC2_NEAR(Apply(child->fMovedMatrix, { 0, 0 }), 0, 1, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(child->fMovedMatrix, { 1, 0 }), 1, 1, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(child->fPtMatrix, { 2, 0 }), 1, 1, 1e-5f);
    EXPECT_VEC2_NEAR(Apply(parent->fPtMatrix, { 1, 0 }), 0, 1, 1e-5f);
}

TEST(BoneMatrixTest, AngleControlFollowsScaledAndClampedByConstraints)
{
    struct Case {
        bool constraints;
        float expected;
    };
    for (const Case c : { Case { false, 1.2f }, Case { true, 1.1f } }) {
        M_Skeleton skeleton;
        M_Bone* driver = AddRestBone(skeleton, -1, { 0, 0 }, 0.3f);
        M_Bone* driven = AddRestBone(skeleton, -1, { 2, 0 }, 1.0f);
        driven->fAngleControlParent = 0;
        driven->fAngleControlScale = 0.5f;
        driven->fConstraints = c.constraints;
        driven->fMinConstraint = -0.1f;
        driven->fMaxConstraint = 0.1f;
        driver->fAngle = 0.7f;
        skeleton.UpdateBoneMatrix(-1);
        EXPECT_NEAR(driven->fAngle, c.expected, 1e-6f);
        EXPECT_NEAR(WorldAngleOf(driven->fMovedMatrix), c.expected, 1e-5f);
    }
}

TEST(BoneMatrixTest, PositionAndScaleControls)
{
    M_Skeleton skeleton;
    M_Bone* driver = AddRestBone(skeleton, -1, { 1, 1 }, 0);
    M_Bone* driven = AddRestBone(skeleton, -1, { 5, 5 }, 0);
    driven->fPosControlParent = 0;
    driven->fPosControlScale = { 2, -1 };
    driven->fScaleControlParent = 0;
    driven->fScaleControlScale = 0.5f;
    driver->fPos = { 1.5f, 2 };
    driver->fScale = 3;
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_VEC2_NEAR(driven->fPos, 6, 4, 1e-6f);
    EXPECT_FLOAT_EQ(driven->fScale, 2);
    // Links beyond the bone count do nothing.
    driven->fAngleControlParent = 9;
    driven->fAngle = 0.25f;
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_FLOAT_EQ(driven->fAngle, 0.25f);
}

TEST(BoneMatrixTest, RestAngleComesFromTheKeyAtANegativeTimingOffset)
{
    struct Case {
        bool keyAtOffset;
        float expectedRest;
    };
    for (const Case c : { Case { true, 0.5f }, Case { false, 0.0f } }) {
        M_Skeleton skeleton;
        skeleton.fLayerTimingOffset = -5;
        M_Bone* bone = AddRestBone(skeleton, -1, { 0, 0 }, 0, 1);
        if (c.keyAtOffset)
            bone->fAnimAngle.SetValue(-5, 0.5f);
        else
            bone->fAnimAngle.SetValue(-6, 0.5f);
        skeleton.UpdateBoneMatrix(-1);
        EXPECT_NEAR(WorldAngleOf(bone->fRestMatrix), c.expectedRest, 1e-6f);
    }
}

} // namespace
