// Binding of points to bones: the flexible and region weights, the blend, the local frame at a
// point, and the saved dynamics state.
#include <gtest/gtest.h>

#include <cmath>

#include "m_skeleton.h"
#include "qv_memstream.h"
#include "skeleton_test_support.h"

namespace {

constexpr float kHalfPi = 1.5707964f;

// Root bones along +x unless an angle is given, already in their rest pose.
M_Bone* AddBoneAt(M_Skeleton& skeleton, QV_Vector2 base, float length, float strength = 1, float angle = 0)
{
    M_Bone* bone = AddRestBone(skeleton, -1, base, angle, length);
    bone->fStrength = strength;
    return bone;
}

TEST(BoneBindingTest, OneFlexibleBoneCarriesEveryPointByItsMatrix)
{
    M_Skeleton skeleton;
    M_Bone* bone = AddBoneAt(skeleton, { 0, 0 }, 1);
    bone->fAngle = 0.5f;
    bone->fOffset = { 0.2f, -0.1f };
    skeleton.UpdateBoneMatrix(-1);
    for (const QV_Vector2 p : { QV_Vector2 { 0.5f, 0.5f }, QV_Vector2 { 3, -2 }, QV_Vector2 { -1, 1.5f } }) {
        const QV_Vector2 expected = Apply(bone->fPtMatrix, p);
        EXPECT_VEC2_NEAR(skeleton.WeightedTransform(p), expected.x, expected.y, 1e-5f);
        EXPECT_FLOAT_EQ(bone->fBindWeight, 1);
    }
    QV_Vector2 p { 0.5f, 0.5f };
    skeleton.TransformPoint(p);
    const QV_Vector2 expected = Apply(bone->fPtMatrix, { 0.5f, 0.5f });
    EXPECT_VEC2_NEAR(p, expected.x, expected.y, 1e-5f);
}

TEST(BoneBindingTest, FlexibleWeightsFallOffWithTheFourthPowerOfTheDistance)
{
    M_Skeleton skeleton;
    M_Bone* far = AddBoneAt(skeleton, { 0, 0 }, 1);
    M_Bone* on = AddBoneAt(skeleton, { 0, 0.5f }, 1);
    skeleton.UpdateBoneMatrix(-1);
    skeleton.WeightedTransform({ 0.5f, 0.5f });
    // Raw weights 1 / (1 + 62.5) and 1.
    const float raw = 1 / 63.5f;
    EXPECT_NEAR(far->fBindWeight, raw / (1 + raw), 1e-6f);
    EXPECT_NEAR(on->fBindWeight, 1 / (1 + raw), 1e-6f);
}

TEST(BoneBindingTest, LongerBonesPullHarder)
{
    M_Skeleton skeleton;
    M_Bone* shorter = AddBoneAt(skeleton, { 0, 0 }, 1);
    M_Bone* longer = AddBoneAt(skeleton, { 0, 0 }, 2, 1, kHalfPi);
    shorter->fOffset = { 0.3f, 0 };
    skeleton.UpdateBoneMatrix(-1);
    const QV_Vector2 q = skeleton.WeightedTransform({ 0, 0 });
    EXPECT_NEAR(shorter->fBindWeight, 1.0f / 3, 1e-6f);
    EXPECT_NEAR(longer->fBindWeight, 2.0f / 3, 1e-6f);
    EXPECT_VEC2_NEAR(q, 0.1f, 0, 1e-6f);
}

TEST(BoneBindingTest, RegionWeightsEaseToZeroAtTheRegionsEdge)
{
    M_Skeleton skeleton;
    skeleton.fBindingMode = REGION_BINDING;
    M_Bone* half = AddBoneAt(skeleton, { 0, 0 }, 2);
    M_Bone* on = AddBoneAt(skeleton, { 0, 0.5f }, 2);
    M_Bone* outside = AddBoneAt(skeleton, { 0, 1.6f }, 2);
    skeleton.UpdateBoneMatrix(-1);
    skeleton.WeightedTransform({ 1, 0.5f });
    // Raw weights 0.5 (distance 0.5 of radius 1), 1 and 0 (distance 1.1).
    EXPECT_NEAR(half->fBindWeight, 1.0f / 3, 1e-6f);
    EXPECT_NEAR(on->fBindWeight, 2.0f / 3, 1e-6f);
    EXPECT_FLOAT_EQ(outside->fBindWeight, 0);
}

TEST(BoneBindingTest, APointOutsideEveryRegionFollowsTheNearestRegionRigidly)
{
    M_Skeleton skeleton;
    skeleton.fBindingMode = REGION_BINDING;
    // Both at distance 1.5 from the point; radii 1 and 0.5.
    M_Bone* wide = AddBoneAt(skeleton, { 0, 0 }, 2, 1);
    M_Bone* narrow = AddBoneAt(skeleton, { 0, 3 }, 2, 0.5f);
    wide->fAngle = 0.4f;
    narrow->fOffset = { -1, 0 };
    skeleton.UpdateBoneMatrix(-1);
    const QV_Vector2 p { 1, 1.5f };
    const QV_Vector2 expected = Apply(wide->fPtMatrix, p);
    EXPECT_VEC2_NEAR(skeleton.WeightedTransform(p), expected.x, expected.y, 1e-6f);
}

TEST(BoneBindingTest, WhenNothingPullsThePointStays)
{
    struct Case {
        const char* what;
        int32_t mode;
        float strength;
        float length;
    };
    const Case cases[] = {
        { "binding mode 0", 0, 1, 1 },
        { "unknown binding mode", 3, 1, 1 },
        { "region strength 0", REGION_BINDING, 0, 1 },
        { "flexible strength 0", FLEXI_BINDING, 0, 1 },
        { "zero length", FLEXI_BINDING, 1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        M_Skeleton skeleton;
        skeleton.fBindingMode = c.mode;
        for (int32_t i = 0; i < 2; i++) {
            M_Bone* bone = AddBoneAt(skeleton, { float(i), 0 }, c.length, c.strength);
            bone->fAngle = 1;
            bone->fOffset = { 0.5f, 0.5f };
        }
        skeleton.UpdateBoneMatrix(-1);
        for (const QV_Vector2 p : { QV_Vector2 { 0.5f, 0 }, QV_Vector2 { 5, 5 } })
            EXPECT_VEC2_NEAR(skeleton.WeightedTransform(p), p.x, p.y, 0);
    }
    M_Skeleton empty;
    EXPECT_VEC2_NEAR(empty.WeightedTransform({ 2, 3 }), 2, 3, 0);
}

TEST(BoneBindingTest, TheLocalFrameFollowsTheBlendRigidly)
{
    M_Skeleton skeleton;
    M_Bone* bone = AddBoneAt(skeleton, { 0, 0 }, 1);
    skeleton.UpdateBoneMatrix(-1);
    ExpectMatrixNear(skeleton.LocalFrameAt({ 0.3f, 0.7f }), QV_Matrix(), 1e-6f);

    bone->fAngle = 0.8f;
    bone->fOffset = { 1, 2 };
    skeleton.UpdateBoneMatrix(-1);
    // One rigid bone: the frame at any point is the bone's own movement.
    const QV_Matrix frame = skeleton.LocalFrameAt({ 0.3f, 0.7f });
    for (const QV_Vector2 z : { QV_Vector2 { 0.3f, 0.7f }, QV_Vector2 { 1, -1 } }) {
        const QV_Vector2 expected = Apply(bone->fPtMatrix, z);
        EXPECT_VEC2_NEAR(Apply(frame, z), expected.x, expected.y, 2e-3f);
    }
}

TEST(BoneDynamicsStateTest, SavedStateComesBackOnlyIntoTheSameNumberOfBones)
{
    M_Skeleton skeleton;
    M_Bone* still = skeleton.AddBone(0);
    M_Bone* swinging = skeleton.AddBone(0);
    swinging->fBoneDynamics.SetValue(0, true);
    swinging->fDynBasePos = { 1, 2 };
    swinging->fDynTipPos = { 3, 4.5f };
    swinging->fDynAngle = 0.25f;
    swinging->fDynAccel = -1;
    swinging->fDynVelocity = 2;
    still->fDynAngle = 9;

    QV_MemStream stream;
    skeleton.SaveDynamicsState(&stream);
    ASSERT_TRUE(stream.IsOpen());
    swinging->fDynBasePos = { 0, 0 };
    swinging->fDynAngle = 0;
    swinging->fDynVelocity = 0;
    still->fDynAngle = 1;
    skeleton.RestoreDynamicsState(&stream);
    EXPECT_VEC2_NEAR(swinging->fDynBasePos, 1, 2, 0);
    EXPECT_VEC2_NEAR(swinging->fDynTipPos, 3, 4.5f, 0);
    EXPECT_FLOAT_EQ(swinging->fDynAngle, 0.25f);
    EXPECT_FLOAT_EQ(swinging->fDynAccel, -1);
    EXPECT_FLOAT_EQ(swinging->fDynVelocity, 2);
    EXPECT_FLOAT_EQ(still->fDynAngle, 1);

    // Saving again rewinds the same stream.
    skeleton.SaveDynamicsState(&stream);
    M_Skeleton other;
    other.AddBone(0)->fBoneDynamics.SetValue(0, true);
    other.GetBone(0)->fDynAngle = 7;
    other.RestoreDynamicsState(&stream);
    EXPECT_FLOAT_EQ(other.GetBone(0)->fDynAngle, 7);

    QV_MemStream closed;
    other.RestoreDynamicsState(&closed);
    EXPECT_FLOAT_EQ(other.GetBone(0)->fDynAngle, 7);
}

} // namespace
