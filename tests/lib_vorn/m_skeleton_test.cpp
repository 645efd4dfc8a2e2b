// Bones and the skeleton's list operations: construction, naming, deletion with re-parenting,
// index remapping, tree queries and selection.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "m_skeleton.h"
#include "qv_memstream.h"
#include "skeleton_test_support.h"
#include "vorn_test_support.h"

namespace {

constexpr float kHalfPi = 1.5707964f;

TEST(M_BoneTest, NewBoneKeysItsChannelsAtTheCreationFrame)
{
    struct Case {
        int32_t frame;
        int32_t poseKeyFrame;
    };
    for (const Case c : { Case { 0, 0 }, Case { 12, 12 } }) {
        SCOPED_TRACE(c.frame);
        M_Bone bone(c.frame);
        for (AnimChannel* channel : std::vector<AnimChannel*> { &bone.fAnimPos, &bone.fAnimAngle,
                 &bone.fAnimScale, &bone.fIKLock, &bone.fIKParentTarget, &bone.fIKGlobalAngle }) {
            ASSERT_EQ(channel->CountKeys(), 1);
            EXPECT_EQ(channel->GetKeyWhen(0), c.poseKeyFrame);
            EXPECT_EQ(channel->GetCurFrame(), c.frame);
        }
        ASSERT_EQ(bone.fBoneDynamics.CountKeys(), 1);
        EXPECT_EQ(bone.fBoneDynamics.GetKeyWhen(0), 0);
        EXPECT_FALSE(bone.fBoneDynamics.value);
        EXPECT_FLOAT_EQ(bone.fAnimAngle.GetValue(c.frame), kHalfPi);
        EXPECT_FLOAT_EQ(bone.fAnimAngle.value, kHalfPi);
        EXPECT_FLOAT_EQ(bone.fAnimScale.GetValue(c.frame), 1);
        EXPECT_EQ(bone.fParent, -1);
        EXPECT_FLOAT_EQ(bone.fLength, 0.25f);
        EXPECT_FLOAT_EQ(bone.fMinConstraint, -1.2217305f);
    }
}

TEST(M_BoneTest, SetNameDropsDoubleQuotes)
{
    M_Bone bone(0);
    bone.SetName("left \"upper\" arm\"");
    EXPECT_STREQ(bone.Name(), "left upper arm");
}

TEST(M_SkeletonTest, AutoNamingNamesUnnamedBonesByTheirNumber)
{
    {
        PrefOverride prefs({ { "AutoNaming", 1 } });
        M_Skeleton skeleton;
        skeleton.AddBone(0);
        M_Bone* named = new M_Bone(0);
        named->SetName("hip");
        skeleton.AppendBone(named);
        M_Bone* third = skeleton.AddBone(0);
        EXPECT_STREQ(skeleton.GetBone(0)->Name(), "1");
        EXPECT_STREQ(named->Name(), "hip");
        EXPECT_STREQ(third->Name(), "3");
        EXPECT_EQ(third->fOwnerSkeleton, &skeleton);
        EXPECT_EQ(skeleton.GetNumBones(), 3);
        EXPECT_GE(skeleton.fBoneCapacity, 3);
    }
    // The preference is off by default.
    M_Skeleton skeleton;
    EXPECT_STREQ(skeleton.AddBone(0)->Name(), "");
}

// 0 <- 1 <- 2 pointing in various directions, and a root 3 whose angle bone 1 controls.
class SkeletonDeleteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddRestBone(skeleton, -1, { 0, 0 }, kHalfPi, 1);
        AddRestBone(skeleton, 0, { 1, 0 }, -0.7f, 1);
        AddRestBone(skeleton, 1, { 1, 0.2f }, 0.5f, 0.5f);
        AddRestBone(skeleton, -1, { 0, 5 }, 0, 1)->fAngleControlParent = 1;
        skeleton.UpdateBoneMatrix(-1);
    }

    M_Skeleton skeleton;
};

TEST_F(SkeletonDeleteTest, DeletingTheMiddleOfAChainKeepsTheChildsRestPlacement)
{
    M_Bone* child = skeleton.GetBone(2);
    M_Bone* controlled = skeleton.GetBone(3);
    const QV_Vector2 base = child->fRestBase, tip = child->fRestTip;

    skeleton.DeleteBone(1, false);

    ASSERT_EQ(skeleton.GetNumBones(), 3);
    EXPECT_EQ(skeleton.GetBone(1), child);
    EXPECT_EQ(child->fParent, 0);
    EXPECT_EQ(controlled->fAngleControlParent, -1);
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_VEC2_NEAR(child->fRestBase, base.x, base.y, 1e-5f);
    EXPECT_VEC2_NEAR(child->fRestTip, tip.x, tip.y, 1e-5f);
    const float angle = child->fAnimAngle.GetValue(0);
    EXPECT_GE(angle, 0);
    EXPECT_LE(angle, 6.2831855f);
}

TEST_F(SkeletonDeleteTest, DeletingARootMakesItsChildARootInPlace)
{
    M_Bone* child = skeleton.GetBone(1);
    const QV_Vector2 base = child->fRestBase, tip = child->fRestTip;
    skeleton.DeleteBone(0, false);
    EXPECT_EQ(child->fParent, -1);
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_VEC2_NEAR(child->fRestBase, base.x, base.y, 1e-5f);
    EXPECT_VEC2_NEAR(child->fRestTip, tip.x, tip.y, 1e-5f);
    EXPECT_EQ(skeleton.GetBone(1)->fParent, 0);
}

TEST(M_SkeletonTest, DeferredDeletionsKeepIndicesUntilTheLastOneCompacts)
{
    M_Skeleton skeleton;
    AddRestBone(skeleton, -1, { 0, 0 }, 0);
    AddRestBone(skeleton, 0, { 1, 0 }, 0);
    M_Bone* two = AddRestBone(skeleton, 1, { 1, 0 }, 0);
    AddRestBone(skeleton, 0, { 0.5f, 0 }, 1);
    M_Bone* four = AddRestBone(skeleton, -1, { 3, 3 }, 0);
    four->fPosControlParent = 3;
    four->fAngleControlParent = 2;
    skeleton.UpdateBoneMatrix(-1);

    skeleton.DeleteBone(1, true);
    EXPECT_EQ(skeleton.GetNumBones(), 5);
    EXPECT_EQ(skeleton.GetBone(1), nullptr);
    EXPECT_EQ(two->fParent, 0);
    // Everything keeps working over the empty slot.
    skeleton.SelectAll();
    skeleton.SelectConnected();
    skeleton.UpdateBoneMatrix(-1);
    skeleton.WeightedTransform({ 0.5f, 0.5f });
    EXPECT_EQ(skeleton.NearestBone({ 3, 3 }), 4);
    EXPECT_EQ(skeleton.CountBoneChildren(0, false), 2);
    // A record written between the deletions reads back as the compacted skeleton.
    QV_MemStream stream;
    stream.Open(0);
    skeleton.WriteRecord(&stream);
    stream.Rewind();
    stream.fReading = true;
    stream.fVersion = 19;
    M_Skeleton copy;
    ASSERT_TRUE(copy.ReadRecord(&stream)) << stream.fError.CString();
    ASSERT_EQ(copy.GetNumBones(), 4);
    EXPECT_EQ(copy.GetBone(1)->fParent, 0);
    EXPECT_EQ(copy.GetBone(3)->fPosControlParent, 2);
    EXPECT_EQ(copy.GetBone(3)->fAngleControlParent, 1);
    EXPECT_EQ(four->fAngleControlParent, 2);

    skeleton.DeleteBone(3, false);
    ASSERT_EQ(skeleton.GetNumBones(), 3);
    EXPECT_EQ(skeleton.GetBone(1), two);
    EXPECT_EQ(skeleton.GetBone(2), four);
    EXPECT_EQ(two->fParent, 0);
    EXPECT_EQ(four->fPosControlParent, -1);
    EXPECT_EQ(four->fAngleControlParent, 1);
    EXPECT_EQ(skeleton.fBones[3], nullptr);
}

TEST(M_SkeletonTest, OutOfRangeIndicesPrintAndChangeNothing)
{
    M_Skeleton skeleton;
    skeleton.AddBone(0);
    ConsoleCapture console;
    skeleton.DeleteBone(1, false);
    skeleton.DeleteBone(-1, true);
    EXPECT_EQ(skeleton.CountBoneChildren(3, false), 0);
    EXPECT_EQ(skeleton.GetFirstChildBone(-2, true), -1);
    EXPECT_TRUE(skeleton.IsAncestorSelected(7));
    EXPECT_EQ(skeleton.GetNumBones(), 1);
    EXPECT_EQ(console.lines,
        (std::vector<std::string> { "M_Skeleton:DeleteBone - out of range",
            "M_Skeleton:DeleteBone - out of range", "M_Skeleton:CountBoneChildren - out of range",
            "M_Skeleton:GetFirstChildBone - out of range", "M_Skeleton:IsAncestorSelected - out of range" }));
    ASSERT_FALSE(console.colors.empty());
    EXPECT_EQ(console.colors[0].r, 255);
    EXPECT_EQ(console.colors[0].g, 0);
    EXPECT_EQ(console.colors[0].a, 255);
    EXPECT_EQ(skeleton.GetBone(1), nullptr);
    EXPECT_EQ(skeleton.GetBone(-1), nullptr);
}

// 0 <- 1 <- 2 and 0 <- 3.
class SkeletonTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int32_t parent : { -1, 0, 1, 0 })
            AddRestBone(skeleton, parent, { 0, 1 }, 0);
    }

    M_Skeleton skeleton;
};

TEST_F(SkeletonTreeTest, RemapBoneID)
{
    struct Case {
        int32_t removed;
        int32_t expected[4];
    };
    for (const Case& c : { Case { 1, { 0, 0, 0, 1 } }, Case { 0, { -1, -1, -1, -1 } },
             Case { 3, { 0, 1, 2, 0 } }, Case { -1, { 0, 1, 2, 3 } } }) {
        for (int32_t i = 0; i < 4; i++)
            EXPECT_EQ(skeleton.RemapBoneID(i, c.removed), c.expected[i])
                << "bone " << i << " removed " << c.removed;
    }
    EXPECT_EQ(skeleton.RemapBoneID(-1, 1), -1);
    EXPECT_EQ(skeleton.RemapBoneID(4, -1), -1);
}

TEST_F(SkeletonTreeTest, ParentAndChildRelations)
{
    EXPECT_TRUE(skeleton.IsBoneChild(2, 2));
    EXPECT_TRUE(skeleton.IsBoneParent(2, 2));
    EXPECT_TRUE(skeleton.IsBoneChild(0, 2));
    EXPECT_TRUE(skeleton.IsBoneParent(2, 0));
    EXPECT_FALSE(skeleton.IsBoneChild(2, 0));
    EXPECT_FALSE(skeleton.IsBoneChild(1, 3));
    EXPECT_FALSE(skeleton.IsBoneChild(-1, 2));
    EXPECT_FALSE(skeleton.IsBoneChild(2, -1));

    EXPECT_EQ(skeleton.CountBoneChildren(0, false), 2);
    EXPECT_EQ(skeleton.GetFirstChildBone(0, false), 1);
    EXPECT_EQ(skeleton.GetFirstChildBone(2, false), -1);
    // A controlled or dynamic child is not free.
    skeleton.GetBone(1)->fScaleControlParent = 3;
    skeleton.GetBone(3)->fBoneDynamics.SetValue(0, true);
    EXPECT_EQ(skeleton.CountBoneChildren(0, true), 0);
    EXPECT_EQ(skeleton.GetFirstChildBone(0, true), -1);
    skeleton.GetBone(3)->fBoneDynamics.SetValue(0, false);
    EXPECT_EQ(skeleton.GetFirstChildBone(0, true), 3);
}

TEST_F(SkeletonTreeTest, SelectionOperations)
{
    AddRestBone(skeleton, -1, { 5, 5 }, 0);
    skeleton.GetBone(2)->fSelected = true;
    EXPECT_EQ(skeleton.SelectedBoneID(), 2);
    EXPECT_TRUE(skeleton.IsAncestorSelected(2) == false);
    skeleton.GetBone(0)->fSelected = true;
    EXPECT_TRUE(skeleton.IsAncestorSelected(2));
    EXPECT_FALSE(skeleton.IsAncestorSelected(0));
    skeleton.GetBone(0)->fSelected = false;

    skeleton.SelectConnected();
    for (int32_t i = 0; i < 4; i++)
        EXPECT_TRUE(skeleton.GetBone(i)->fSelected) << i;
    EXPECT_FALSE(skeleton.GetBone(4)->fSelected);

    skeleton.SelectInverse();
    EXPECT_EQ(skeleton.SelectedBoneID(), 4);
    skeleton.SelectAll();
    EXPECT_EQ(skeleton.SelectedBoneID(), 0);
    skeleton.SelectNone();
    EXPECT_EQ(skeleton.SelectedBoneID(), -1);
}

TEST_F(SkeletonTreeTest, ScriptParentLinksThatWouldMakeACycleAreRefused)
{
    EXPECT_FALSE(skeleton.SetBoneParent(0, 2));
    EXPECT_FALSE(skeleton.SetBoneParent(1, 1));
    EXPECT_FALSE(skeleton.SetBoneParent(1, 4));
    EXPECT_FALSE(skeleton.SetBoneParent(1, -2));
    EXPECT_FALSE(skeleton.SetBoneParent(9, 0));
    EXPECT_EQ(skeleton.GetBone(0)->fParent, -1);
    EXPECT_EQ(skeleton.GetBone(1)->fParent, 0);
    EXPECT_TRUE(skeleton.SetBoneParent(3, 2));
    EXPECT_TRUE(skeleton.SetBoneParent(1, -1));
    EXPECT_EQ(skeleton.GetBone(3)->fParent, 2);
    EXPECT_EQ(skeleton.GetBone(1)->fParent, -1);
}

TEST_F(SkeletonTreeTest, ACycleWrittenDirectlyByAScriptEndsEveryWalk)
{
    skeleton.GetBone(0)->fParent = 2;
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_FALSE(skeleton.IsBoneChild(3, 1));
    EXPECT_TRUE(skeleton.IsAncestorSelected(1));
    EXPECT_EQ(skeleton.RemapBoneID(3, 1), -1);
    skeleton.GetBone(1)->fSelected = true;
    skeleton.SelectConnected();
    skeleton.IKAngleSolver(2, { 1, 1 }, 1);
}

TEST(M_SkeletonTest, NearestBone)
{
    M_Skeleton skeleton;
    EXPECT_EQ(skeleton.NearestBone({ 0, 0 }), -1);
    // Two bones crossing at (0.5, 0): a point there is on both.
    AddRestBone(skeleton, -1, { 0, 0 }, 0, 1);
    AddRestBone(skeleton, -1, { 0.5f, -0.5f }, kHalfPi, 1);
    AddRestBone(skeleton, -1, { 5, 5 }, 0, 1);
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_EQ(skeleton.NearestBone({ 0.5f, 0 }), 0);
    EXPECT_EQ(skeleton.NearestBone({ 0.55f, 0.4f }), 1);
    EXPECT_EQ(skeleton.NearestBone({ 7, 5.5f }), 2);
    // Beyond the end of a segment the distance is to the end point.
    EXPECT_EQ(skeleton.NearestBone({ -3, 0.1f }), 0);
    EXPECT_EQ(skeleton.NearestBone({ 2000000, 0 }), -1);
}

} // namespace
