#include <gtest/gtest.h>

#include <cmath>

#include "animbool.h"
#include "animcolor.h"
#include "animstring.h"
#include "animval.h"
#include "animvec2.h"
#include "animvec3.h"
#include "vorn_test_support.h"

namespace {

struct Key {
    int32_t frame;
    float value;
};

// Keys of the given values, every one of the given mode.
void SetKeys(
    AnimVal& channel, std::initializer_list<Key> keys, int32_t mode, float val1 = 0.1f, float val2 = 0.5f)
{
    for (const Key& key : keys) {
        channel.SetValue(key.frame, key.value);
        channel.SetKeyInterp(key.frame, mode, val1, val2);
    }
}

TEST(AnimInterp, TwoKeysInEveryMode)
{
    const struct {
        int32_t mode;
        int32_t frame;
        float value;
    } cases[] = {
        { INTERP_LINEAR, 5, 5.0f },
        { INTERP_LINEAR, 2, 2.0f },
        { INTERP_SMOOTH, 5, 5.0f },
        // 1.04 rounded up to the float above it: the span fraction 0.2 is a float.
        { INTERP_SMOOTH, 2, 1.0400001f },
        { INTERP_EASE, 2, 0.30198273f },
        { INTERP_EASE, 5, 5.0f },
        { INTERP_STEP, 9, 0.0f },
        { INTERP_EASE_IN, 2, 0.37873653f },
        { INTERP_EASE_OUT, 2, 0.96324629f },
        // A noisy key without amplitude is the smooth curve.
        { INTERP_NOISY, 2, 1.0400001f },
        // Unknown codes and a pose key without an action are linear.
        { 42, 3, 3.0f },
        { -1, 3, 3.0f },
        { INTERP_POSE, 4, 4.0f },
    };
    for (const auto& c : cases) {
        AnimVal channel;
        SetKeys(channel, { { 0, 0 }, { 10, 10 } }, c.mode, c.mode == INTERP_NOISY ? 0.0000005f : 0.1f);
        EXPECT_EQ(channel.GetValue(c.frame), c.value) << "mode " << c.mode << " frame " << c.frame;
        // Outside the span every mode but the repeating ones holds the end keys.
        for (int32_t frame : { -5, 0 })
            EXPECT_EQ(channel.GetValue(frame), 0.0f) << "mode " << c.mode << " frame " << frame;
        for (int32_t frame : { 10, 11, 50 })
            EXPECT_EQ(channel.GetValue(frame), 10.0f) << "mode " << c.mode << " frame " << frame;
    }
}

TEST(AnimInterp, SmoothThroughThreeKeys)
{
    AnimVal rising;
    SetKeys(rising, { { 0, 0 }, { 10, 10 }, { 20, 20 } }, INTERP_SMOOTH);
    EXPECT_EQ(rising.GetValue(15), 16.249998f);
    EXPECT_EQ(rising.GetValue(10), 10.0f);

    // The handles are clamped into each span, so the peak is never overshot.
    AnimVal peak;
    SetKeys(peak, { { 0, 0 }, { 10, 10 }, { 20, 0 } }, INTERP_SMOOTH);
    float previous = 0;
    for (int32_t frame = 1; frame <= 10; frame++) {
        float v = peak.GetValue(frame);
        EXPECT_LE(v, 10.0f) << frame;
        EXPECT_GE(v, previous) << frame;
        previous = v;
    }
    for (int32_t frame = 11; frame < 20; frame++)
        EXPECT_LE(peak.GetValue(frame), 10.0f) << frame;
}

TEST(AnimInterp, VectorsAndColoursInterpolatePerComponent)
{
    AnimVec2 vec2;
    vec2.SetValue(10, QV_Vector2 { 10, -20 });
    vec2.SetKeyInterp(0, INTERP_LINEAR, 0, 0);
    QV_Vector2 v2 = vec2.GetValue(5);
    EXPECT_EQ(v2.x, 5.0f);
    EXPECT_EQ(v2.y, -10.0f);

    AnimVec3 vec3;
    vec3.SetValue(10, QV_Vector3 { 10, 0, -10 });
    QV_Vector3 v3 = vec3.GetValue(2);
    EXPECT_EQ(v3.x, 1.0400001f);
    EXPECT_EQ(v3.y, 0.0f);
    EXPECT_EQ(v3.z, -1.0400001f);

    AnimColor color;
    color.SetValue(10, QV_ColorVector { 1, 0.5f, 0, 0 });
    color.SetKeyInterp(0, INTERP_LINEAR, 0, 0);
    QV_ColorVector c = color.GetValue(5);
    EXPECT_EQ(c.r, 0.5f);
    EXPECT_EQ(c.g, 0.25f);
    EXPECT_EQ(c.b, 0.0f);
    EXPECT_EQ(c.a, 0.5f);
}

TEST(AnimInterp, ZeroValuesWithoutKeys)
{
    AnimVal val;
    AnimVec2 vec2;
    AnimVec3 vec3;
    AnimColor color;
    AnimBool flag;
    AnimString text;
    val.SetValue(5, 3);
    vec2.SetValue(5, QV_Vector2 { 1, 1 });
    vec3.SetValue(5, QV_Vector3 { 1, 1, 1 });
    color.SetValue(5, QV_ColorVector { 1, 1, 1, 0 });
    flag.SetValue(5, true);
    text.SetValue(5, "on");
    for (AnimChannel* channel :
        std::initializer_list<AnimChannel*> { &val, &vec2, &vec3, &color, &flag, &text }) {
        channel->DeleteKey(0);
        channel->Clear();
        ASSERT_EQ(channel->CountKeys(), 0);
    }
    EXPECT_EQ(val.GetValue(5), 0.0f);
    EXPECT_EQ(vec2.GetValue(5).y, 0.0f);
    EXPECT_EQ(vec3.GetValue(5).z, 0.0f);
    QV_ColorVector c = color.GetValue(5);
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.a, 1.0f);
    EXPECT_FALSE(flag.GetValue(5));
    EXPECT_EQ(text.GetValue(5), "");
}

TEST(AnimInterp, CycleMapsLaterFramesBack)
{
    EXPECT_EQ(MapCycleFrame(10, 0, 11), 0);
    EXPECT_EQ(MapCycleFrame(10, 12, 50), 10);
    EXPECT_EQ(MapCycleFrame(10, 10, 50), 10);

    // A channel showing its own frame number up to the cycle key at 10.
    AnimVal channel;
    SetKeys(channel, { { 0, 0 }, { 10, 10 } }, INTERP_LINEAR);
    channel.SetKeyInterp(10, INTERP_CYCLE, 0, 0);
    const struct {
        int32_t frame, shows;
    } absolute[] = { { 10, 10 }, { 11, 0 }, { 15, 4 }, { 20, 9 }, { 21, 0 }, { 22, 0 }, { 23, 1 }, { 32, 10 },
        { 33, 0 }, { 34, 1 }, { 43, 10 }, { 44, 0 } };
    for (const auto& c : absolute) {
        EXPECT_EQ(MapCycleFrame(10, 0, c.frame > 10 ? c.frame : 11), c.frame > 10 ? c.shows : 0);
        EXPECT_EQ(channel.GetValue(c.frame), float(c.shows)) << "frame " << c.frame;
    }

    // Relative: val2 below zero takes val1 frames back from the key.
    channel.SetKeyInterp(10, INTERP_CYCLE, 4, -1);
    const struct {
        int32_t frame, shows;
    } relative[] = { { 11, 6 }, { 14, 9 }, { 15, 6 }, { 16, 6 }, { 17, 7 }, { 20, 10 }, { 21, 6 } };
    for (const auto& c : relative)
        EXPECT_EQ(channel.GetValue(c.frame), float(c.shows)) << "frame " << c.frame;

    // A target at or after the key holds the key's value.
    channel.SetKeyInterp(10, INTERP_CYCLE, 0, 12);
    EXPECT_EQ(channel.GetValue(30), 10.0f);
}

TEST(AnimInterp, CycleBetweenKeysRepeatsUntilTheNextKey)
{
    AnimVal channel;
    SetKeys(channel, { { 0, 0 }, { 4, 4 }, { 20, 100 } }, INTERP_LINEAR);
    channel.SetKeyInterp(4, INTERP_CYCLE, 0, 0);
    EXPECT_EQ(channel.GetValue(5), 0.0f);
    EXPECT_EQ(channel.GetValue(8), 3.0f);
    EXPECT_EQ(channel.GetValue(9), 0.0f);
    EXPECT_EQ(channel.GetValue(10), 0.0f);
    EXPECT_EQ(channel.GetValue(11), 1.0f);
    EXPECT_EQ(channel.GetValue(20), 100.0f);
    EXPECT_EQ(channel.GetValue(21), 100.0f);
}

TEST(AnimInterp, NoisyKeysStayWithinTheAmplitude)
{
    AnimVal channel;
    SetKeys(channel, { { 0, 0 }, { 10, 10 } }, INTERP_NOISY, 0.5f, 0.3f);
    bool moved = false;
    for (int32_t frame = 11; frame < 200; frame++) {
        float v = channel.GetValue(frame);
        EXPECT_LE(std::fabs(v - 10.0f), 0.5f) << frame;
        moved = moved || v != 10.0f;
    }
    EXPECT_TRUE(moved);

    // Without amplitude the last key holds.
    channel.SetKeyInterp(10, INTERP_NOISY, 0.0000009f, 0.3f);
    for (int32_t frame : { 11, 57, 300 })
        EXPECT_EQ(channel.GetValue(frame), 10.0f);

    // Colours shake red, green and blue, never the opacity.
    AnimColor color;
    color.SetValue(0, QV_ColorVector { 0.5f, 0.5f, 0.5f, 0.5f });
    color.SetKeyInterp(0, INTERP_NOISY, 0.2f, 0.4f);
    for (int32_t frame = 1; frame < 40; frame++)
        EXPECT_EQ(color.GetValue(frame).a, 0.5f);
}

// An owner with keys at 0 (value 0), a pose key at 20 (value 0) and a key at 40 (value 50), and
// one action "walk" with linear keys 0 -> 0 and 12 -> 24.
struct PoseFixture {
    PoseFixture()
    {
        channel.ActivateAction("walk");
        channel.SetKeyInterp(0, INTERP_LINEAR, 0, 0);
        channel.SetValue(12, 24);
        channel.SetKeyInterp(12, INTERP_LINEAR, 0, 0);
        action = channel.fActiveAction;
        channel.fActiveAction = nullptr;
        channel.ActivateAction("");
        channel.SetValue(20, 0);
        channel.SetKeyInterp(20, INTERP_POSE, 0, -1);
        channel.SetValue(40, 50);
    }
    AnimVal channel;
    AnimChannel* action;
};

TEST(AnimInterp, PoseKeyPlaysItsActionThenGlidesToTheNextKey)
{
    PoseFixture f;
    AnimVal* walk = static_cast<AnimVal*>(f.action);
    for (int32_t k = 1; k <= 12; k++)
        EXPECT_EQ(f.channel.GetValue(20 + k - 1), walk->GetValue(k)) << "action frame " << k;
    EXPECT_EQ(f.channel.GetValue(20), 2.0f);
    EXPECT_EQ(f.channel.GetValue(31), 24.0f);

    // After its last key the action heads for the next key of the owner, reaching it at 40.
    for (int32_t frame = 32; frame < 40; frame++) {
        const float t = float(frame - 31) / 9.0f;
        EXPECT_EQ(f.channel.GetValue(frame), 24.0f + (50.0f - 24.0f) * t) << "frame " << frame;
    }
    EXPECT_EQ(f.channel.GetValue(40), 50.0f);
    // Evaluation leaves the action as it was.
    EXPECT_EQ(walk->fKeyCount, 2);
    EXPECT_EQ(walk->fKeyFrames[1], 12);
    EXPECT_EQ(walk->fValues[0], 0.0f);
}

TEST(AnimInterp, PoseKeyPlaysFromItsOwnValue)
{
    PoseFixture f;
    f.channel.SetValue(20, 6);
    // After the key, the action runs from the pose key's value to its own key at 12; at the key
    // itself it shows its frame 1 as it stands.
    EXPECT_EQ(f.channel.GetValue(21), 6.0f + (24.0f - 6.0f) * (2.0f / 12.0f));
    EXPECT_EQ(f.channel.GetValue(20), 2.0f);
    EXPECT_EQ(static_cast<AnimVal*>(f.action)->fValues[0], 0.0f);

    // As the last key, the pose key plays the action on without end.
    f.channel.DeleteKey(40);
    EXPECT_EQ(f.channel.GetValue(31), 24.0f);
    EXPECT_EQ(f.channel.GetValue(100), 24.0f);
    EXPECT_EQ(f.channel.Duration(), 31);
}

TEST(AnimInterp, PoseKeyWithoutActionHolds)
{
    AnimVal channel;
    SetKeys(channel, { { 0, 0 }, { 10, 10 } }, INTERP_SMOOTH);
    channel.SetKeyInterp(10, INTERP_POSE, 3, -1);
    EXPECT_EQ(channel.GetValue(10), 10.0f);
    EXPECT_EQ(channel.GetValue(25), 10.0f);
}

TEST(AnimInterp, BooleansAndTextsHoldUntilTheNextKey)
{
    AnimBool flag;
    flag.SetValue(10, true);
    flag.SetKeyInterp(0, INTERP_LINEAR, 0, 0);
    for (int32_t frame = -3; frame < 10; frame++)
        EXPECT_FALSE(flag.GetValue(frame)) << frame;
    for (int32_t frame : { 10, 11, 99 })
        EXPECT_TRUE(flag.GetValue(frame)) << frame;

    AnimString text;
    text.SetValue(0, "a");
    text.SetValue(5, "b");
    text.SetValue(10, "c");
    text.SetKeyInterp(10, INTERP_CYCLE, 0, 0);
    const struct {
        int32_t frame;
        const char* shows;
    } cases[] = { { 4, "a" }, { 5, "b" }, { 9, "b" }, { 10, "c" }, { 11, "a" }, { 16, "b" }, { 21, "a" },
        { 32, "c" } };
    for (const auto& c : cases)
        EXPECT_EQ(text.GetValue(c.frame), c.shows) << c.frame;
}

TEST(AnimInterp, TextPoseKeyPlaysItsActionUntilTheNextKey)
{
    AnimString text;
    text.SetValue(0, "rest");
    text.ActivateAction("blink");
    text.SetValue(2, "closed");
    text.SetValue(4, "open");
    text.fActiveAction = nullptr;
    text.ActivateAction("");
    text.SetValue(10, "ignored");
    text.SetKeyInterp(10, INTERP_POSE, 0, -1);
    text.SetValue(30, "end");

    const struct {
        int32_t frame;
        const char* shows;
    } cases[]
        = { { 9, "rest" }, { 10, "rest" }, { 11, "closed" }, { 13, "open" }, { 29, "open" }, { 30, "end" } };
    for (const auto& c : cases)
        EXPECT_EQ(text.GetValue(c.frame), c.shows) << c.frame;
    EXPECT_EQ(static_cast<AnimString*>(text.ActionNamed("blink"))->fValues[0], "rest");
}

} // namespace
