// Inverse kinematics: the chain solver, its limits, and the locks with their lock pass.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "m_skeleton.h"
#include "skeleton_test_support.h"
#include "vorn_test_support.h"

namespace {

constexpr float kHalfPi = 1.5707964f;

QV_Vector2 TipOf(const M_Bone& bone)
{
    return Apply(bone.fMovedMatrix, { bone.fLength, 0 });
}

// What the bone layer's frame update does before its lock pass.
void BringToFrame(M_Skeleton& skeleton, int32_t frame)
{
    for (int32_t i = 0; i < skeleton.GetNumBones(); i++) {
        M_Bone& bone = *skeleton.GetBone(i);
        const std::vector<AnimChannel*> channels { &bone.fAnimPos, &bone.fAnimAngle, &bone.fAnimScale,
            &bone.fIKLock, &bone.fIKParentTarget, &bone.fIKGlobalAngle, &bone.fBoneDynamics };
        for (AnimChannel* channel : channels)
            channel->SetCurFrame(frame);
        bone.fPos = bone.fAnimPos.value;
        bone.fAngle = bone.fAnimAngle.value;
        bone.fScale = bone.fAnimScale.value;
    }
    skeleton.UpdateBoneMatrix(-1);
}

// A root of length 1 at the origin along +x and a free child of length 1 at its tip.
class BoneIKTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = AddRestBone(skeleton, -1, { 0, 0 }, 0, 1);
        child = AddRestBone(skeleton, 0, { 1, 0 }, 0, 1);
        skeleton.UpdateBoneMatrix(-1);
    }

    M_Skeleton skeleton;
    M_Bone* root = nullptr;
    M_Bone* child = nullptr;
};

TEST_F(BoneIKTest, TheEndBoneTurnsFirstAndReachesTheTarget)
{
    skeleton.IKAngleSolver(1, { 1, 1 }, 1);
    EXPECT_NEAR(child->fAngle, kHalfPi, 1e-5f);
    EXPECT_NEAR(root->fAngle, 0, 1e-5f);
    EXPECT_VEC2_NEAR(TipOf(*child), 1, 1, 1e-5f);
    // Only the current angles change, never the channels.
    EXPECT_EQ(child->fAnimAngle.CountKeys(), 1);
    EXPECT_FLOAT_EQ(child->fAnimAngle.GetValue(0), 0);
}

TEST_F(BoneIKTest, AnUnreachableTargetStraightensTheChainTowardsIt)
{
    skeleton.IKAngleSolver(1, { 0, 10 }, 1);
    const QV_Vector2 tip = TipOf(*child);
    EXPECT_NEAR(std::atan2(tip.y, tip.x), kHalfPi, 0.02f);
    EXPECT_GT(std::hypot(tip.x, tip.y), 1.99f);
}

TEST_F(BoneIKTest, NoPassesMeansNoChange)
{
    skeleton.IKAngleSolver(1, { 1, 1 }, 0);
    skeleton.IKAngleSolver(1, { 1, 1 }, -3);
    skeleton.IKAngleSolver(2, { 1, 1 }, 1);
    skeleton.IKAngleSolver(-1, { 1, 1 }, 1);
    EXPECT_FLOAT_EQ(child->fAngle, 0);
    EXPECT_FLOAT_EQ(root->fAngle, 0);
}

TEST_F(BoneIKTest, TheEndBonesConstraintsHoldAndTheRootMakesUpTheRest)
{
    child->fConstraints = true;
    child->fMinConstraint = -0.1f;
    child->fMaxConstraint = 0.1f;
    // Reachable with the child bent by about 0.14.
    const QV_Vector2 reachable { 1.995f * std::cos(0.7f), 1.995f * std::sin(0.7f) };
    skeleton.IKAngleSolver(1, reachable, 8);
    EXPECT_GE(child->fAngle, -0.1f - 1e-6f);
    EXPECT_LE(child->fAngle, 0.1f + 1e-6f);
    EXPECT_VEC2_NEAR(TipOf(*child), reachable.x, reachable.y, 0.01f);

    // Out of the end bone's range: it stops at its limit.
    skeleton.IKAngleSolver(1, { 1, 1 }, 1);
    EXPECT_GE(child->fAngle, -0.1f - 1e-6f);
    EXPECT_LE(child->fAngle, 0.1f + 1e-6f);
    EXPECT_GT(root->fAngle, 0.3f);
}

TEST_F(BoneIKTest, TheChainEndsAtADynamicOrControlledOrBranchingBone)
{
    struct Case {
        const char* what;
        void (*setup)(M_Skeleton&);
    };
    const Case cases[] = {
        { "dynamic parent", [](M_Skeleton& s) { s.GetBone(0)->fBoneDynamics.SetValue(0, true); } },
        { "controlled parent", [](M_Skeleton& s) { s.GetBone(0)->fPosControlParent = 2; } },
        { "second free child", [](M_Skeleton&) {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        M_Skeleton s;
        AddRestBone(s, -1, { 0, 0 }, 0, 1);
        M_Bone* dragged = AddRestBone(s, 0, { 1, 0 }, 0, 1);
        M_Bone* sibling = AddRestBone(s, -1, { 5, 5 }, 0, 1);
        if (std::string(c.what) == "second free child")
            sibling->fParent = 0;
        c.setup(s);
        s.UpdateBoneMatrix(-1);
        s.IKAngleSolver(1, { 1, 1 }, 1);
        EXPECT_NEAR(dragged->fAngle, kHalfPi, 1e-5f);
        EXPECT_FLOAT_EQ(s.GetBone(0)->fAngle, 0);
        EXPECT_FLOAT_EQ(sibling->fAngle, 0);
    }
}

TEST_F(BoneIKTest, LockAndUnlockKeyTheTargetAndTheWorldAngle)
{
    child->fAngle = kHalfPi;
    skeleton.UpdateBoneMatrix(-1);
    skeleton.LockBone(1, 10);
    EXPECT_TRUE(child->fIKLock.GetValue(10));
    EXPECT_FALSE(child->fIKLock.GetValue(9));
    EXPECT_VEC2_NEAR(child->fIKParentTarget.GetValue(10), 1, 0, 1e-6f);
    EXPECT_NEAR(child->fIKGlobalAngle.GetValue(10), kHalfPi, 1e-6f);

    child->fAngle = -kHalfPi;
    skeleton.UpdateBoneMatrix(-1);
    skeleton.LockBone(1, 12);
    EXPECT_NEAR(child->fIKGlobalAngle.GetValue(12), 3 * kHalfPi, 1e-5f);

    skeleton.UnlockBone(1, 20);
    EXPECT_FALSE(child->fIKLock.GetValue(20));
    EXPECT_TRUE(child->fIKParentTarget.HasKey(20));
    EXPECT_TRUE(child->fIKGlobalAngle.HasKey(20));
    EXPECT_NEAR(child->fIKGlobalAngle.GetValue(20), child->fIKGlobalAngle.GetValue(19), 1e-6f);
}

TEST_F(BoneIKTest, LockingARootOrABoneOutOfRangeChangesNothing)
{
    for (int32_t index : { 0, 2, -1, 100 }) {
        skeleton.LockBone(index, 5);
        skeleton.UnlockBone(index == 0 ? 2 : index, 5);
    }
    EXPECT_EQ(root->fIKLock.CountKeys(), 1);
    EXPECT_EQ(root->fIKParentTarget.CountKeys(), 1);
    EXPECT_EQ(child->fIKLock.CountKeys(), 1);
}

// hip (0) <- shin (1) <- foot (2): the hip points down, the foot forward.
class BoneLockPassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddRestBone(skeleton, -1, { 0, 0 }, -kHalfPi, 1);
        AddRestBone(skeleton, 0, { 1, 0 }, 0, 1);
        AddRestBone(skeleton, 1, { 1, 0 }, kHalfPi, 0.3f);
    }

    void LockFootAt10()
    {
        BringToFrame(skeleton, 10);
        skeleton.LockBone(2, 10);
    }

    M_Skeleton skeleton;
};

TEST_F(BoneLockPassTest, ALockStartKeysTheAnglesUpToTheFirstBranchingBone)
{
    struct Case {
        int32_t autoLockKeys;
        int32_t documentFrame;
        bool footAndShinKeyed;
    };
    for (const Case c : { Case { 1, 10, true }, Case { 0, 10, false }, Case { 1, 0, false } }) {
        SCOPED_TRACE(c.autoLockKeys * 10 + c.documentFrame);
        PrefOverride prefs({ { "AutoLockKeys", c.autoLockKeys } });
        M_Skeleton s;
        AddRestBone(s, -1, { 0, 0 }, -kHalfPi, 1);
        AddRestBone(s, 0, { 1, 0 }, 0, 1);
        AddRestBone(s, 1, { 1, 0 }, kHalfPi, 0.3f);
        AddRestBone(s, 0, { 0.5f, 0 }, 1, 1);
        BringToFrame(s, 10);
        s.LockBone(2, 10);
        s.ApplyIKLocks(10, c.documentFrame);
        EXPECT_EQ(s.GetBone(2)->fAnimAngle.HasKey(10), c.footAndShinKeyed);
        EXPECT_EQ(s.GetBone(1)->fAnimAngle.HasKey(10), c.footAndShinKeyed);
        EXPECT_FALSE(s.GetBone(0)->fAnimAngle.HasKey(10));
    }
}

TEST_F(BoneLockPassTest, ALockStartWithoutABranchKeysEveryAncestor)
{
    LockFootAt10();
    skeleton.ApplyIKLocks(10, 10);
    for (int32_t i = 0; i < 3; i++)
        EXPECT_TRUE(skeleton.GetBone(i)->fAnimAngle.HasKey(10)) << i;
}

TEST_F(BoneLockPassTest, ALockHoldsTheParentTipAndTheWorldAngleWhileTheBodyMoves)
{
    LockFootAt10();
    M_Bone& hip = *skeleton.GetBone(0);
    M_Bone& shin = *skeleton.GetBone(1);
    M_Bone& foot = *skeleton.GetBone(2);
    hip.fAnimPos.SetValue(20, { 0.5f, -0.3f });
    foot.fIKParentTarget.SetValue(15, { 0, -2 });
    foot.fIKParentTarget.SetKeyInterp(15, INTERP_SMOOTH, 0.1f, 0.5f);
    foot.fIKGlobalAngle.SetValue(17, 0);
    foot.fIKGlobalAngle.SetKeyInterp(17, INTERP_POSE, 0, -1);

    BringToFrame(skeleton, 20);
    skeleton.ApplyIKLocks(20, 20);
    skeleton.UpdateBoneMatrix(-1);

    EXPECT_VEC2_NEAR(TipOf(shin), 0, -2, 0.001f);
    EXPECT_NEAR(WorldAngleOf(foot.fMovedMatrix), 0, 1e-4f);
    EXPECT_GE(foot.fAngle, 0);
    EXPECT_LE(foot.fAngle, 6.2831855f);
    // Lock targets hold from key to key; pose keys keep their mode.
    EXPECT_EQ(foot.fIKParentTarget.GetKeyInterpMode(15), INTERP_STEP);
    EXPECT_FLOAT_EQ(foot.fIKParentTarget.GetKeyInterp(15).val1, -1);
    EXPECT_EQ(foot.fIKGlobalAngle.GetKeyInterpMode(10), INTERP_STEP);
    EXPECT_EQ(foot.fIKGlobalAngle.GetKeyInterpMode(17), INTERP_POSE);
    // No lock starts or ends here: no angle keys.
    EXPECT_FALSE(foot.fAnimAngle.HasKey(20));
}

TEST_F(BoneLockPassTest, ALockEndKeysTheAnglesAtTheFrameBefore)
{
    LockFootAt10();
    skeleton.UnlockBone(2, 15);
    BringToFrame(skeleton, 14);
    skeleton.ApplyIKLocks(14, 14);
    EXPECT_TRUE(skeleton.GetBone(2)->fAnimAngle.HasKey(14));
    EXPECT_TRUE(skeleton.GetBone(1)->fAnimAngle.HasKey(14));
}

TEST_F(BoneLockPassTest, AHugeLockedAngleEndsTheLockPass)
{
    LockFootAt10();
    M_Bone& foot = *skeleton.GetBone(2);
    foot.fIKGlobalAngle.SetValue(10, 1e30f);
    BringToFrame(skeleton, 10);
    skeleton.ApplyIKLocks(10, 10);
    EXPECT_TRUE(std::isfinite(foot.fAngle));
    EXPECT_GE(foot.fAngle, 0);
    EXPECT_LE(foot.fAngle, 6.2831855f);
}

} // namespace
