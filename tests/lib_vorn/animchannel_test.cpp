#include <gtest/gtest.h>

#include "animcolor.h"
#include "animstring.h"
#include "animval.h"
#include "vorn_test_support.h"

namespace {

// An AnimVal with keys at the frames, each valued as its frame.
void KeyAt(AnimVal& channel, std::initializer_list<int32_t> frames)
{
    for (int32_t frame : frames)
        channel.SetValue(frame, float(frame));
}

TEST(AnimChannel, NewChannelHasOneKeyAtFrameZero)
{
    AnimVal val;
    AnimString text;
    AnimColor color;
    for (AnimChannel* channel : std::initializer_list<AnimChannel*> { &val, &text, &color }) {
        EXPECT_EQ(channel->CountKeys(), 1);
        EXPECT_EQ(channel->GetKeyWhen(0), 0);
        EXPECT_EQ(channel->Duration(), 0);
        EXPECT_EQ(channel->fKeyCapacity, 2);
    }
    InterpSetting setting = val.GetKeyInterp(0);
    EXPECT_EQ(setting.interpMode, INTERP_SMOOTH);
    EXPECT_EQ(setting.val1, 0.1f);
    EXPECT_EQ(setting.val2, 0.5f);
}

TEST(AnimChannel, ClosestKeyBisectsTheFrames)
{
    AnimVal channel;
    KeyAt(channel, { 0, 10, 20 });
    const struct {
        int32_t frame, id;
    } cases[] = { { -3, 0 }, { 0, 0 }, { 9, 0 }, { 10, 1 }, { 15, 1 }, { 20, 2 }, { 99, 2 } };
    for (const auto& c : cases)
        EXPECT_EQ(channel.GetClosestKeyID(c.frame), c.id) << "frame " << c.frame;
    EXPECT_TRUE(channel.HasKey(10));
    EXPECT_FALSE(channel.HasKey(11));

    channel.Clear();
    channel.DeleteKey(0);
    EXPECT_EQ(channel.GetClosestKeyID(5), 0);
}

TEST(AnimChannel, ClosestKeyOnManyKeys)
{
    AnimVal channel;
    for (int32_t i = 1; i < 1000; i++)
        channel.SetValue(i * 3, float(i));
    for (int32_t frame = -2; frame < 3010; frame++) {
        int32_t expected = frame <= 0 ? 0 : std::min(frame / 3, 999);
        ASSERT_EQ(channel.GetClosestKeyID(frame), expected) << "frame " << frame;
    }
}

TEST(AnimChannel, SetKeyWhenRefusesToPassNeighbours)
{
    ConsoleCapture console;
    AnimVal channel;
    KeyAt(channel, { 0, 10, 20 });

    channel.SetKeyWhen(1, 0);
    channel.SetKeyWhen(1, 20);
    channel.SetKeyWhen(0, 10);
    channel.SetKeyWhen(2, 10);
    EXPECT_EQ(channel.GetKeyWhen(1), 10);
    EXPECT_EQ(channel.GetKeyWhen(0), 0);
    EXPECT_EQ(channel.GetKeyWhen(2), 20);
    EXPECT_TRUE(console.lines.empty());

    channel.SetKeyWhen(1, 19);
    EXPECT_EQ(channel.GetKeyWhen(1), 19);
    EXPECT_EQ(channel.GetValue(19), 10.0f);
    channel.SetKeyWhen(0, -5);
    channel.SetKeyWhen(2, 500);
    EXPECT_EQ(channel.GetKeyWhen(0), -5);
    EXPECT_EQ(channel.GetKeyWhen(2), 500);

    channel.SetKeyWhen(3, 5);
    channel.SetKeyWhen(-1, 5);
    ASSERT_EQ(console.lines.size(), 2u);
    EXPECT_EQ(console.lines[0], "AnimChannel:SetKeyWhen - out of range");
    EXPECT_EQ(console.colors[0].r, 255);
    EXPECT_EQ(console.colors[0].g, 0);
    EXPECT_EQ(console.colors[0].b, 0);
    EXPECT_EQ(console.colors[0].a, 255);
    EXPECT_EQ(channel.GetKeyWhen(2), 500);
}

TEST(AnimChannel, IndexOperationsOutOfRangeAnswerFixedDefaults)
{
    ConsoleCapture console;
    AnimVal channel;
    KeyAt(channel, { 0, 10 });
    channel.SetKeyInterpByID(1, INTERP_STEP, 2, 3);

    EXPECT_EQ(channel.GetKeyWhen(2), 0);
    EXPECT_EQ(channel.GetKeyInterpModeByID(-1), 1);
    InterpSetting setting { 42, 4, 5 };
    channel.GetKeyInterpByID(7, setting);
    EXPECT_EQ(setting.interpMode, 42);
    EXPECT_EQ(setting.val1, 4.0f);
    channel.SetKeyInterpByID(2, INTERP_LINEAR, 0, 0);

    const std::vector<std::string> expected = {
        "AnimChannel:GetKeyWhen - out of range",
        "AnimChannel:GetKeyInterpModeByID - out of range",
        "AnimChannel:GetKeyInterpByID - out of range",
        "AnimChannel:SetKeyInterpByID - out of range",
    };
    EXPECT_EQ(console.lines, expected);

    channel.GetKeyInterpByID(1, setting);
    EXPECT_EQ(setting.interpMode, INTERP_STEP);
    EXPECT_EQ(setting.val1, 2.0f);
    EXPECT_EQ(setting.val2, 3.0f);
    EXPECT_EQ(channel.GetKeyInterpModeByID(1), INTERP_STEP);
}

TEST(AnimChannel, InterpolationByFrameTouchesOnlyExactKeys)
{
    ConsoleCapture console;
    AnimVal channel;
    KeyAt(channel, { 0, 10 });
    channel.SetKeyInterp(5, INTERP_STEP, 1, 1);
    channel.SetKeyInterpSetting(6, InterpSetting { INTERP_STEP, 1, 1 });
    EXPECT_EQ(channel.GetKeyInterpMode(0), INTERP_SMOOTH);
    EXPECT_EQ(channel.GetKeyInterpMode(10), INTERP_SMOOTH);

    channel.SetKeyInterp(10, INTERP_EASE, 7, 8);
    EXPECT_EQ(channel.GetKeyInterp(10).val1, 7.0f);
    channel.SetKeyInterpSetting(0, InterpSetting { INTERP_NOISY, 0.25f, 2 });
    EXPECT_EQ(channel.GetKeyInterpMode(0), INTERP_NOISY);

    InterpSetting none = channel.GetKeyInterp(5);
    EXPECT_EQ(none.interpMode, INTERP_SMOOTH);
    EXPECT_EQ(none.val1, 0.1f);
    EXPECT_EQ(none.val2, 0.5f);
    EXPECT_EQ(channel.GetKeyInterpMode(5), INTERP_SMOOTH);
    EXPECT_TRUE(console.lines.empty());
}

TEST(AnimChannel, DefaultInterpPreferenceGovernsNewKeysAndAnswers)
{
    PrefOverride prefs({ { "DefaultInterp", INTERP_LINEAR } });
    AnimVal channel;
    channel.SetValue(10, 10);
    EXPECT_EQ(channel.GetKeyInterpMode(0), INTERP_LINEAR);
    EXPECT_EQ(channel.GetKeyInterpMode(10), INTERP_LINEAR);
    EXPECT_EQ(channel.GetKeyInterpMode(3), INTERP_LINEAR);
    EXPECT_EQ(channel.GetKeyInterp(3).interpMode, INTERP_LINEAR);
    EXPECT_EQ(channel.GetValue(2), 2.0f);
}

TEST(AnimChannel, CapacityDoublesWhenFull)
{
    AnimVal channel;
    const struct {
        int32_t frame, capacity;
    } steps[] = { { 10, 2 }, { 20, 4 }, { 30, 4 }, { 40, 8 }, { 50, 8 }, { 60, 8 }, { 70, 8 }, { 80, 16 } };
    for (const auto& step : steps) {
        channel.SetValue(step.frame, float(step.frame));
        EXPECT_EQ(channel.fKeyCapacity, step.capacity) << "after the key at " << step.frame;
    }
    EXPECT_EQ(channel.CountKeys(), 9);
    for (int32_t i = 0; i < 9; i++) {
        EXPECT_EQ(channel.GetKeyWhen(i), i * 10);
        EXPECT_EQ(channel.GetValue(i * 10), float(i * 10));
    }
}

TEST(AnimChannel, ClearKeepsOnlyAFrameZeroKey)
{
    AnimVal fromZero;
    KeyAt(fromZero, { 0, 10, 20 });
    fromZero.SetValue(0, 3);
    fromZero.Clear();
    EXPECT_EQ(fromZero.CountKeys(), 1);
    EXPECT_EQ(fromZero.GetKeyWhen(0), 0);
    EXPECT_EQ(fromZero.GetValue(50), 3.0f);

    AnimVal fromFive;
    KeyAt(fromFive, { 5, 10 });
    fromFive.DeleteKey(0);
    ASSERT_EQ(fromFive.GetKeyWhen(0), 5);
    fromFive.Clear();
    EXPECT_EQ(fromFive.CountKeys(), 0);
    EXPECT_EQ(fromFive.Duration(), 0);
    EXPECT_EQ(fromFive.GetValue(5), 0.0f);
    fromFive.Clear();
    EXPECT_EQ(fromFive.CountKeys(), 0);
}

TEST(AnimChannel, DurationCountsThePosedActionAtTheEnd)
{
    AnimVal channel;
    channel.ActivateAction("wave");
    channel.SetValue(24, 1);
    channel.fActiveAction = nullptr;
    channel.ActivateAction("");

    channel.SetValue(40, 2);
    EXPECT_EQ(channel.Duration(), 40);
    channel.SetKeyInterp(40, INTERP_POSE, 0, -1);
    EXPECT_EQ(channel.Duration(), 63);
    channel.SetKeyInterp(40, INTERP_POSE, 0.4f, -1);
    EXPECT_EQ(channel.Duration(), 63);
    channel.SetKeyInterp(40, INTERP_POSE, 1, -1);
    EXPECT_EQ(channel.Duration(), 40);
    channel.SetKeyInterp(40, INTERP_POSE, -0.6f, -1);
    EXPECT_EQ(channel.Duration(), 40);
}

TEST(AnimChannel, CurrentFrameChangesOnlyThroughSetCurFrame)
{
    AnimVal channel;
    KeyAt(channel, { 0, 10 });
    EXPECT_EQ(channel.GetCurFrame(), 0);
    channel.SetCurFrame(10);
    EXPECT_EQ(channel.GetCurFrame(), 10);
    EXPECT_EQ(channel.value, 10.0f);
    channel.SetValue(20, 5);
    channel.DeleteKey(20);
    EXPECT_EQ(channel.GetCurFrame(), 10);
}

TEST(InterpSetting, RoundingOfParametersGoesAwayFromZero)
{
    const struct {
        float in;
        int32_t out;
    } cases[] = { { 0.5f, 1 }, { 1.49f, 1 }, { -0.5f, -1 }, { -1.5f, -2 }, { 0.0f, 0 }, { 3e10f, 2147483647 },
        { -3e10f, int32_t(-2147483647 - 1) } };
    for (const auto& c : cases)
        EXPECT_EQ(RoundParam(c.in), c.out) << c.in;
    EXPECT_EQ(RoundParam(std::numeric_limits<float>::quiet_NaN()), 0);
}

} // namespace
