#include <gtest/gtest.h>

#include <vector>

#include "animbool.h"
#include "animcolor.h"
#include "animval.h"
#include "vorn_test_support.h"

namespace {

std::vector<int32_t> Frames(const AnimChannel& channel)
{
    return std::vector<int32_t>(channel.fKeyFrames, channel.fKeyFrames + channel.fKeyCount);
}

// Leaves action editing the way the layers do.
void StopEditing(AnimChannel& channel)
{
    channel.fActiveAction = nullptr;
    channel.ActivateAction("");
}

// An action of the given keys (frame, value) on the channel, left inactive.
AnimVal* MakeAction(AnimVal& channel, const char* name, std::initializer_list<std::pair<int32_t, float>> keys)
{
    channel.ActivateAction(name);
    for (const auto& key : keys)
        channel.SetValue(key.first, key.second);
    AnimVal* action = static_cast<AnimVal*>(channel.fActiveAction);
    StopEditing(channel);
    return action;
}

TEST(AnimAction, ActivatingANewActionStartsFromTheFrameZeroValue)
{
    AnimVal channel;
    channel.SetValue(0, 7);
    channel.SetValue(10, 20);
    channel.SetCurFrame(10);
    channel.ActivateAction("jump");
    ASSERT_NE(channel.fActiveAction, nullptr);
    EXPECT_EQ(channel.fActions.fCount, 1);
    EXPECT_EQ(channel.fActiveAction->fName, "jump");
    EXPECT_EQ(channel.CountKeys(), 1);
    EXPECT_EQ(channel.GetValue(0), 7.0f);
    // The cached value follows the action at the current frame.
    EXPECT_EQ(channel.value, 7.0f);
    EXPECT_EQ(channel.GetCurFrame(), 10);
}

TEST(AnimAction, ANewActionTakesTheFrameZeroValueEvenWithoutAFrameZeroKey)
{
    AnimVal channel;
    channel.SetValue(5, 3);
    channel.DeleteKey(0);
    channel.SetCurFrame(0);
    channel.ActivateAction("a");
    EXPECT_EQ(channel.GetValue(0), 3.0f);
    StopEditing(channel);
    EXPECT_EQ(Frames(channel), (std::vector<int32_t> { 0, 5 }));
}

TEST(AnimAction, TheRedirectHidesTheOwnersKeys)
{
    ConsoleCapture console;
    AnimVal channel;
    channel.SetValue(10, 1);
    channel.SetValue(20, 2);
    channel.ActivateAction("idle");

    EXPECT_EQ(channel.CountKeys(), 1);
    EXPECT_FALSE(channel.HasKey(10));
    EXPECT_EQ(channel.GetKeyWhen(1), 0);
    EXPECT_EQ(console.lines, std::vector<std::string> { "AnimChannel:GetKeyWhen - out of range" });
    EXPECT_EQ(channel.Duration(), 0);

    channel.SetValue(10, 5);
    channel.SetKeyInterp(10, INTERP_STEP, 0, 0);
    EXPECT_EQ(channel.GetKeyInterpMode(10), INTERP_STEP);
    channel.SetValue(0, 9);
    EXPECT_EQ(channel.GetValue(10), 5.0f);

    StopEditing(channel);
    // Only the frame-0 value reached the owner.
    EXPECT_EQ(Frames(channel), (std::vector<int32_t> { 0, 10, 20 }));
    EXPECT_EQ(channel.GetValue(0), 9.0f);
    EXPECT_EQ(channel.GetValue(10), 1.0f);
    EXPECT_EQ(channel.GetKeyInterpMode(10), INTERP_SMOOTH);
    AnimVal* action = static_cast<AnimVal*>(channel.ActionNamed("idle"));
    EXPECT_EQ(Frames(*action), (std::vector<int32_t> { 0, 10 }));
    EXPECT_EQ(action->fValues[0], 9.0f);
}

TEST(AnimAction, EditsWhileActiveGoToTheAction)
{
    AnimVal channel;
    channel.SetValue(10, 1);
    channel.ActivateAction("idle");
    channel.SetValue(5, 2);
    channel.SetValue(8, 3);
    channel.DeleteKey(5);
    channel.Reset(30);
    channel.SetCurFrame(8);
    channel.StoreValue();
    channel.Clear();
    EXPECT_EQ(channel.CountKeys(), 1);
    StopEditing(channel);
    EXPECT_EQ(Frames(channel), (std::vector<int32_t> { 0, 10 }));
}

TEST(AnimAction, ActivatingAMissingNameWhileAnotherIsActiveDoesNothing)
{
    AnimVal channel;
    channel.ActivateAction("a");
    AnimChannel* a = channel.fActiveAction;
    channel.ActivateAction("b");
    EXPECT_EQ(channel.fActions.fCount, 1);
    EXPECT_EQ(channel.fActiveAction, a);

    StopEditing(channel);
    EXPECT_EQ(channel.fActiveAction, nullptr);
    channel.ActivateAction("b");
    EXPECT_EQ(channel.fActions.fCount, 2);
    channel.fActiveAction = nullptr;
    channel.ActivateAction("a");
    EXPECT_EQ(channel.fActiveAction, a);
}

TEST(AnimAction, RenameRefusesATakenOrEmptyName)
{
    AnimVal channel;
    MakeAction(channel, "run", { { 5, 1 } });
    MakeAction(channel, "walk", { { 5, 2 } });

    channel.RenameAction("run", "walk");
    channel.RenameAction("run", "");
    EXPECT_EQ(channel.ActionIndex("run"), 0);
    EXPECT_EQ(channel.ActionIndex("walk"), 1);

    channel.RenameAction("run", "sprint");
    EXPECT_EQ(channel.ActionIndex("run"), -1);
    EXPECT_EQ(channel.ActionIndex("sprint"), 0);
    channel.RenameAction("missing", "other");
    EXPECT_EQ(channel.ActionIndex("other"), -1);
}

TEST(AnimAction, DeletingAnActionDemotesOrRenumbersPoseKeys)
{
    PrefOverride prefs({ { "DefaultInterp", INTERP_EASE } });
    AnimVal channel;
    MakeAction(channel, "X", { { 4, 1 } });
    MakeAction(channel, "Y", { { 4, 2 } });
    MakeAction(channel, "Z", { { 4, 3 } });
    channel.SetValue(10, 5);
    channel.SetKeyInterp(10, INTERP_POSE, 0, -1);
    channel.SetValue(20, 6);
    channel.SetKeyInterp(20, INTERP_POSE, 2, -1);
    channel.SetValue(30, 6);
    channel.SetKeyInterp(30, INTERP_STEP, 2, 9);

    channel.DeleteAction("X");
    EXPECT_EQ(channel.fActions.fCount, 2);
    InterpSetting first = channel.GetKeyInterp(10);
    EXPECT_EQ(first.interpMode, INTERP_EASE);
    EXPECT_EQ(first.val1, 0.1f);
    EXPECT_EQ(first.val2, 0.5f);
    EXPECT_EQ(channel.GetValue(10), 5.0f);
    InterpSetting second = channel.GetKeyInterp(20);
    EXPECT_EQ(second.interpMode, INTERP_POSE);
    EXPECT_EQ(second.val1, 1.0f);
    EXPECT_EQ(channel.PoseAction(second)->fName, "Z");
    EXPECT_EQ(channel.GetKeyInterp(30).val1, 2.0f);

    channel.DeleteAction("nothing");
    EXPECT_EQ(channel.fActions.fCount, 2);
}

TEST(AnimAction, DeletingTheActiveActionEndsEditing)
{
    AnimVal channel;
    channel.SetValue(10, 4);
    channel.SetCurFrame(10);
    channel.ActivateAction("a");
    EXPECT_EQ(channel.value, 0.0f);
    channel.DeleteAction("a");
    EXPECT_EQ(channel.fActiveAction, nullptr);
    EXPECT_EQ(channel.value, 4.0f);

    channel.ActivateAction("b");
    channel.ActivateAction("c");
    channel.DeleteAllActions();
    EXPECT_EQ(channel.fActions.fCount, 0);
    EXPECT_EQ(channel.fActiveAction, nullptr);
    EXPECT_EQ(channel.value, 4.0f);
}

TEST(AnimAction, InsertActionCopiesTheActionsKeys)
{
    AnimVal channel;
    AnimVal* action = MakeAction(channel, "hop", { { 1, 5 }, { 10, 8 } });
    action->SetKeyInterp(1, INTERP_STEP, 0, 0);
    action->SetKeyInterp(10, INTERP_EASE, 1, 2);
    channel.SetValue(22, 3);
    channel.SetValue(40, 4);

    // The holding key keeps what frame 19 showed once the key at 22 was gone.
    AnimVal before;
    before.SetValue(40, 4);
    channel.InsertAction("hop", 20);
    EXPECT_EQ(Frames(channel), (std::vector<int32_t> { 0, 19, 20, 29, 40 }));
    EXPECT_EQ(channel.GetValue(19), before.GetValue(19));
    EXPECT_EQ(channel.GetValue(20), 5.0f);
    EXPECT_EQ(channel.GetValue(29), 8.0f);
    EXPECT_EQ(channel.GetKeyInterpMode(20), INTERP_STEP);
    InterpSetting end = channel.GetKeyInterp(29);
    EXPECT_EQ(end.interpMode, INTERP_EASE);
    EXPECT_EQ(end.val1, 1.0f);
    EXPECT_EQ(end.val2, 2.0f);
    EXPECT_EQ(channel.GetValue(40), 4.0f);
}

TEST(AnimAction, InsertActionIntoTheActiveAction)
{
    AnimVal channel;
    MakeAction(channel, "hop", { { 3, 5 } });
    channel.ActivateAction("edit");
    AnimChannel* edited = channel.fActiveAction;
    channel.InsertAction("hop", 1);
    EXPECT_EQ(channel.fActiveAction, edited);
    EXPECT_EQ(Frames(*edited), (std::vector<int32_t> { 0, 3 }));
    StopEditing(channel);
    EXPECT_EQ(Frames(channel), (std::vector<int32_t> { 0 }));
}

TEST(AnimAction, ActionsWithoutAnimationInsertAndBlendNothing)
{
    AnimVal channel;
    channel.SetValue(10, 1);
    MakeAction(channel, "still", {});
    channel.ActivateAction("edit");
    AnimChannel* edited = channel.fActiveAction;
    channel.InsertAction("still", 5);
    EXPECT_EQ(channel.BlendAction("still", 5, 1), 0.0f);
    EXPECT_EQ(channel.BlendAction("missing", 5, 1), 0.0f);
    EXPECT_EQ(channel.fActiveAction, edited);
    EXPECT_EQ(channel.CountKeys(), 1);
    StopEditing(channel);
    EXPECT_EQ(Frames(channel), (std::vector<int32_t> { 0, 10 }));
}

TEST(AnimAction, BlendActionAddsTheWeightedAction)
{
    AnimVal channel;
    channel.SetValue(0, 2);
    MakeAction(channel, "lift", { { 10, 4 } });
    EXPECT_EQ(channel.BlendAction("lift", 1, 0.5f), 0.5f);
    EXPECT_EQ(Frames(channel), (std::vector<int32_t> { 0, 10 }));
    EXPECT_EQ(channel.GetValue(10), 4.0f);

    // The channel itself (empty name) adds its frame-0 value at the frame.
    EXPECT_EQ(channel.BlendAction("", 10, 0.25f), 0.25f);
    EXPECT_EQ(channel.GetValue(10), 4.5f);

    AnimColor color;
    color.SetValue(0, QV_ColorVector { 0, 1, 0, 1 });
    color.SetCurFrame(0);
    color.ActivateAction("flash");
    color.SetValue(2, QV_ColorVector { 1, 0, 0.5f, 0.5f });
    StopEditing(color);
    EXPECT_EQ(color.BlendAction("flash", 1, 1), 1.0f);
    // All four components add up, unclamped.
    QV_ColorVector c = color.GetValue(2);
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.b, 0.5f);
    EXPECT_EQ(c.a, 1.5f);

    // Booleans cannot be mixed: the action is inserted instead.
    AnimBool flag;
    flag.ActivateAction("blink");
    flag.SetValue(3, true);
    StopEditing(flag);
    EXPECT_EQ(flag.BlendAction("blink", 10, 0.5f), 0.0f);
    EXPECT_TRUE(flag.GetValue(12));
    EXPECT_FALSE(flag.GetValue(11));
}

TEST(AnimAction, InsertActionReferenceAddsHoldingPoseAndClosingKeys)
{
    AnimVal channel;
    MakeAction(channel, "other", { { 3, 1 } });
    MakeAction(channel, "swing", { { 12, 6 } });
    channel.SetValue(100, 10);

    channel.InsertActionReference(30, "swing");
    EXPECT_EQ(Frames(channel), (std::vector<int32_t> { 0, 29, 30, 41, 100 }));
    InterpSetting pose = channel.GetKeyInterp(30);
    EXPECT_EQ(pose.interpMode, INTERP_POSE);
    EXPECT_EQ(pose.val1, 1.0f);
    EXPECT_EQ(pose.val2, -1.0f);

    AnimVal open;
    MakeAction(open, "swing", { { 12, 6 } });
    open.InsertActionReference(30, "swing");
    EXPECT_EQ(Frames(open), (std::vector<int32_t> { 0, 29, 30 }));

    AnimVal atStart;
    MakeAction(atStart, "swing", { { 12, 6 } });
    atStart.InsertActionReference(1, "swing");
    EXPECT_EQ(Frames(atStart), (std::vector<int32_t> { 0, 1 }));
    EXPECT_EQ(atStart.GetValue(12), 6.0f);

    atStart.InsertActionReference(50, "missing");
    EXPECT_EQ(atStart.CountKeys(), 2);
}

} // namespace
