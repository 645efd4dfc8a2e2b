#include <gtest/gtest.h>

#include "layer_test_support.h"

namespace {

// A group holding one layer, both on the main timeline.
struct GroupWithLayer {
    GroupWithLayer() { group.AddLayer(sub); }
    GroupLayer group;
    VornLayer* sub = NewBaseLayer("sub");
};

// Makes a one-frame action (a morph) of the layer's Z rotation.
void MakeMorph(VornLayer& layer, const char* name, float value)
{
    layer.ActivatePose(name, true);
    layer.fRotationZ.SetValue(1, value);
    layer.ActivatePose(nullptr, false);
}

} // namespace

TEST(LayerActions, ActivatingAnUnknownActionNeedsAdd)
{
    GroupWithLayer tree;
    tree.group.ActivatePose("run", false);
    EXPECT_FALSE(tree.group.HasPose("run"));
    EXPECT_FALSE(tree.sub->HasPose("run"));
    EXPECT_TRUE(tree.sub->CurrentPose().IsEmpty());
    EXPECT_EQ(tree.sub->fTranslation.fActiveAction, nullptr);

    tree.group.ActivatePose("run", true);
    for (VornLayer* layer : { static_cast<VornLayer*>(&tree.group), tree.sub }) {
        EXPECT_TRUE(layer->HasPose("run"));
        EXPECT_EQ(layer->CurrentPose(), "run");
        ASSERT_NE(layer->fTranslation.fActiveAction, nullptr);
        EXPECT_EQ(layer->fTranslation.fActiveAction->fName, "run");
        ASSERT_NE(layer->fMotionBlurRadius.fActiveAction, nullptr);
    }
    ASSERT_NE(tree.group.fLayerOrdering.fActiveAction, nullptr);

    // Back to the main timeline, everywhere.
    tree.group.ActivatePose(nullptr, false);
    EXPECT_TRUE(tree.sub->CurrentPose().IsEmpty());
    EXPECT_EQ(tree.sub->fTranslation.fActiveAction, nullptr);
    EXPECT_TRUE(tree.sub->HasPose("run"));
}

TEST(LayerActions, ReactivatingTheEditedActionStillReachesTheSubLayers)
{
    GroupWithLayer tree;
    tree.group.ActivatePose("run", true);
    tree.sub->ActivatePose(nullptr, false);
    tree.group.ActivatePose("run", false);
    EXPECT_EQ(tree.sub->CurrentPose(), "run");
}

TEST(LayerActions, InsertingCopiesTheActionAtTheLayerFrame)
{
    VornLayer layer;
    layer.ActivatePose("wave", true);
    layer.fRotationZ.SetValue(1, 1);
    layer.fRotationZ.SetValue(4, 2);
    // Not into itself.
    layer.InsertPose("wave", 10, false);
    EXPECT_EQ(layer.fRotationZ.CountKeys(), 3);
    layer.ActivatePose(nullptr, false);

    layer.SetTimingOffset(5);
    layer.InsertPose("wave", 10, false);
    EXPECT_TRUE(layer.fRotationZ.HasKey(15));
    EXPECT_FLOAT_EQ(layer.fRotationZ.GetValue(18), 2);

    layer.InsertPose("wave", 30, true);
    EXPECT_EQ(layer.fRotationZ.GetKeyInterpMode(35), INTERP_POSE);
}

TEST(LayerActions, RenamingNeedsTheOldNameOnTheLayerItself)
{
    GroupWithLayer tree;
    tree.sub->ActivatePose("jump", true);
    tree.sub->ActivatePose(nullptr, false);
    // The group never listed "jump": its sub-layers keep the old name.
    tree.group.RenamePose("jump", "hop");
    EXPECT_TRUE(tree.sub->HasPose("jump"));

    tree.sub->ActivatePose("jump", false);
    tree.sub->RenamePose("jump", "hop");
    EXPECT_TRUE(tree.sub->HasPose("hop"));
    EXPECT_FALSE(tree.sub->HasPose("jump"));
    EXPECT_EQ(tree.sub->CurrentPose(), "hop");
    ASSERT_NE(tree.sub->fScale.fActiveAction, nullptr);
    EXPECT_EQ(tree.sub->fScale.fActiveAction->fName, "hop");
    EXPECT_EQ(tree.sub->fScale.fActions.fCount, 1);
}

TEST(LayerActions, DeletingTheEditedActionReturnsToTheMainTimeline)
{
    GroupWithLayer tree;
    tree.group.ActivatePose("walk", true);
    tree.sub->fRotationZ.SetValue(6, 3);
    EXPECT_EQ(tree.group.PoseDuration("walk"), 6);
    tree.group.DeletePose("walk");
    for (VornLayer* layer : { static_cast<VornLayer*>(&tree.group), tree.sub }) {
        EXPECT_FALSE(layer->HasPose("walk"));
        EXPECT_TRUE(layer->CurrentPose().IsEmpty());
        EXPECT_EQ(layer->fRotationZ.fActiveAction, nullptr);
        EXPECT_EQ(layer->fRotationZ.fActions.fCount, 0);
    }
    EXPECT_EQ(tree.group.PoseDuration("walk"), 0);
}

TEST(LayerActions, BlendingMixesMorphsIntoTheKey)
{
    // A single morph weighted 0.25 over a value of 4, the morph holding 8.
    VornLayer layer;
    layer.fRotationZ.SetValue(10, 4);
    MakeMorph(layer, "smile", 8);
    const char* names[] = { "smile" };
    const float weights[] = { 0.25f };
    layer.BlendPoses(10, 1, names, weights);
    EXPECT_FLOAT_EQ(layer.fRotationZ.GetValue(10), 5);
    // Channels without the morph are left alone.
    EXPECT_EQ(layer.fTranslation.CountKeys(), 1);

    // The default (the frame-0 value, here 1) and a morph of 10, half each, over a value of 2.
    VornLayer other;
    other.fRotationZ.SetValue(0, 1);
    other.fRotationZ.SetValue(10, 2);
    MakeMorph(other, "frown", 10);
    const char* both[] = { "", "frown" };
    const float halves[] = { 0.5f, 0.5f };
    other.BlendPoses(10, 2, both, halves);
    EXPECT_FLOAT_EQ(other.fRotationZ.GetValue(10), 0.5f * 1 + 0.5f * 10);

    // Weights at 1e-6 or less change nothing.
    const float tiny[] = { 1e-6f };
    other.BlendPoses(10, 1, both + 1, tiny);
    EXPECT_FLOAT_EQ(other.fRotationZ.GetValue(10), 5.5f);
}

TEST(LayerActions, BlendingNormalisesWeightsAboveOne)
{
    GroupWithLayer tree;
    tree.sub->fRotationZ.SetValue(4, 100);
    MakeMorph(*tree.sub, "a", 2);
    MakeMorph(*tree.sub, "b", 6);
    const char* names[] = { "a", "b" };
    const float weights[] = { 1, 1 };
    tree.group.BlendPoses(4, 2, names, weights);
    EXPECT_FLOAT_EQ(tree.sub->fRotationZ.GetValue(4), 4);
}

TEST(LayerActions, ClearingAndResettingVisitEveryChannel)
{
    GroupWithLayer tree;
    tree.sub->fAlpha.SetValue(8, 0.5f);
    tree.sub->fShear.SetValue(3, QV_Vector3 { 1, 0, 0 });
    tree.group.ClearAnimation(false);
    EXPECT_EQ(tree.sub->fAlpha.CountKeys(), 2);
    tree.group.ClearAnimation(true);
    EXPECT_EQ(tree.sub->fAlpha.CountKeys(), 1);
    EXPECT_EQ(tree.sub->fShear.CountKeys(), 1);

    // A channel whose first key is past frame 0 ends without keys.
    tree.sub->fBlur.SetValue(5, 0.1f);
    tree.sub->fBlur.DeleteKey(0);
    tree.sub->ClearAnimation(false);
    EXPECT_EQ(tree.sub->fBlur.CountKeys(), 0);

    tree.sub->SetCurFrame(12);
    tree.sub->fAlpha.SetValue(0, 0.75f);
    tree.group.ResetAllChannels(true);
    EXPECT_TRUE(tree.sub->fAlpha.HasKey(12));
    EXPECT_FLOAT_EQ(tree.sub->fAlpha.GetValue(12), 0.75f);
    EXPECT_TRUE(tree.sub->fMotionBlur.HasKey(12));
}

TEST(LayerActions, ActionNamesStayReadableAndDistinct)
{
    VornLayer layer;
    // A double quote would end the name early in the record.
    layer.ActivatePose("say \"hi\"", true);
    EXPECT_EQ(layer.CurrentPose(), "say hi");
    EXPECT_TRUE(layer.HasPose("say hi"));
    ASSERT_NE(layer.fAlpha.fActiveAction, nullptr);
    EXPECT_EQ(layer.fAlpha.fActiveAction->fName, "say hi");
    layer.ActivatePose(nullptr, false);
    layer.ActivatePose("wave", true);
    layer.ActivatePose(nullptr, false);

    // Renaming onto a name in use, or to nothing, would leave the list and the channels apart.
    for (const char* taken : { "wave", "", "\"\"" }) {
        layer.RenamePose("say hi", taken);
        EXPECT_TRUE(layer.HasPose("say hi")) << taken;
        EXPECT_NE(layer.fAlpha.ActionNamed("say hi"), nullptr) << taken;
    }
    layer.RenamePose("say hi", "greet \"all\"");
    EXPECT_TRUE(layer.HasPose("greet all"));
    EXPECT_NE(layer.fAlpha.ActionNamed("greet all"), nullptr);
    EXPECT_EQ(layer.fPoses.fCount, 2);
}
