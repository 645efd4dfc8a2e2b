#include <gtest/gtest.h>

#include <vector>

#include "animbool.h"
#include "animcolor.h"
#include "animstring.h"
#include "animval.h"
#include "animvec2.h"
#include "animvec3.h"
#include "vorn_test_support.h"

namespace {

void ExpectBytes(rgb_color c, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    EXPECT_EQ(c.r, r);
    EXPECT_EQ(c.g, g);
    EXPECT_EQ(c.b, b);
    EXPECT_EQ(c.a, a);
}

TEST(AnimKinds, KindCodes)
{
    const struct {
        int32_t kind;
    } cases[] = { { CHANNEL_VAL }, { CHANNEL_VEC2 }, { CHANNEL_COLOR }, { CHANNEL_BOOL }, { CHANNEL_STRING },
        { CHANNEL_VEC3 } };
    for (const auto& c : cases) {
        AnimChannel* channel = NewAnimChannel(c.kind);
        ASSERT_NE(channel, nullptr);
        EXPECT_EQ(channel->ChannelType(), c.kind);
        EXPECT_EQ(channel->CountKeys(), 1);
        delete channel;
    }
    EXPECT_EQ(NewAnimChannel(CHANNEL_UNKNOWN), nullptr);
    EXPECT_EQ(NewAnimChannel(7), nullptr);
}

TEST(AnimKinds, ColourKeysStayUnclampedAndTheCachedValueIsPacked)
{
    AnimColor color;
    QV_ColorVector first = color.GetValue(0);
    EXPECT_EQ(first.r, 0.0f);
    EXPECT_EQ(first.a, 1.0f);
    ExpectBytes(color.value, 0, 0, 0, 255);

    color.SetValue(10, QV_ColorVector { 1.5f, -0.2f, 0.5f, 1 });
    color.SetCurFrame(10);
    ExpectBytes(color.value, 255, 0, 128, 255);
    EXPECT_EQ(color.GetValue(10).r, 1.5f);
    EXPECT_EQ(color.GetValue(10).g, -0.2f);

    // Setting the key at the current frame packs at once.
    color.SetValue(10, QV_ColorVector { 0.2f, 0.4f, 0.6f, 0.8f });
    ExpectBytes(color.value, 51, 102, 153, 204);
    color.SetValue(10, rgb_color { 255, 0, 51, 255 });
    QV_ColorVector unpacked;
    unpacked.Set(rgb_color { 255, 0, 51, 255 });
    EXPECT_EQ(color.GetValue(10).b, unpacked.b);
    EXPECT_EQ(color.GetValue(10).r, 1.0f);
}

TEST(AnimKinds, StoringAColourQuantisesToBytes)
{
    AnimColor color;
    color.SetCurFrame(4);
    color.value = rgb_color { 255, 128, 0, 255 };
    color.StoreValue();
    QV_ColorVector keyed = color.GetValue(4);
    EXPECT_EQ(keyed.r, 1.0f);
    QV_ColorVector unpacked;
    unpacked.Set(rgb_color { 255, 128, 0, 255 });
    EXPECT_EQ(keyed.g, unpacked.g);
    EXPECT_NE(keyed.g, 0.5f);
    EXPECT_EQ(keyed.b, 0.0f);
    EXPECT_EQ(keyed.a, 1.0f);
    // Away from the current frame the float colour is keyed as it is.
    color.SetValue(20, QV_ColorVector { 0.3f, 0.3f, 0.3f, 0.3f });
    color.SetKeyInterp(4, INTERP_STEP, 0, 0);
    color.AddKey(30);
    EXPECT_EQ(color.GetValue(30).r, 0.3f);
}

TEST(AnimKinds, SetValueKeepsTheInterpolationOfAnExistingKey)
{
    AnimVec2 vec2;
    vec2.SetValue(10, QV_Vector2 { 1, 1 });
    vec2.SetKeyInterp(10, INTERP_EASE_OUT, 3, 4);
    vec2.SetValue(10, QV_Vector2 { 2, 2 });
    InterpSetting setting = vec2.GetKeyInterp(10);
    EXPECT_EQ(setting.interpMode, INTERP_EASE_OUT);
    EXPECT_EQ(setting.val1, 3.0f);
    EXPECT_EQ(setting.val2, 4.0f);
    EXPECT_EQ(vec2.GetValue(10).x, 2.0f);
    EXPECT_EQ(vec2.CountKeys(), 2);

    // Keys before the first, after the last and between two all land in order.
    vec2.DeleteKey(0);
    vec2.SetValue(-5, QV_Vector2 {});
    vec2.SetValue(20, QV_Vector2 {});
    vec2.SetValue(15, QV_Vector2 {});
    vec2.SetValue(12, QV_Vector2 {});
    std::vector<int32_t> frames(vec2.fKeyFrames, vec2.fKeyFrames + vec2.fKeyCount);
    EXPECT_EQ(frames, (std::vector<int32_t> { -5, 10, 12, 15, 20 }));
}

TEST(AnimKinds, FrameZeroValueReachesEveryAction)
{
    AnimVec3 vec3;
    vec3.ActivateAction("a");
    vec3.fActiveAction = nullptr;
    vec3.ActivateAction("b");
    vec3.fActiveAction = nullptr;
    vec3.SetValue(0, QV_Vector3 { 1, 2, 3 });
    for (const char* name : { "a", "b" })
        EXPECT_EQ(static_cast<AnimVec3*>(vec3.ActionNamed(name))->fValues[0].z, 3.0f) << name;

    // A new first key before frame 0 leaves the actions alone.
    vec3.SetValue(-4, QV_Vector3 { 9, 9, 9 });
    EXPECT_EQ(static_cast<AnimVec3*>(vec3.ActionNamed("a"))->fValues[0].z, 3.0f);
}

TEST(AnimKinds, DeleteKeyNeverRemovesTheLastKey)
{
    AnimBool flag;
    flag.SetValue(10, true);
    flag.DeleteKey(0);
    EXPECT_EQ(flag.CountKeys(), 1);
    EXPECT_EQ(flag.GetKeyWhen(0), 10);
    EXPECT_TRUE(flag.GetValue(0));
    flag.DeleteKey(10);
    EXPECT_EQ(flag.CountKeys(), 1);
    flag.DeleteKey(3);
    EXPECT_EQ(flag.CountKeys(), 1);
}

TEST(AnimKinds, ResetKeysTheFrameZeroValue)
{
    AnimVal val;
    val.SetValue(0, 4);
    val.SetValue(10, 8);
    val.Reset(30);
    EXPECT_EQ(val.CountKeys(), 3);
    EXPECT_EQ(val.GetValue(30), 4.0f);

    AnimString text;
    text.SetValue(0, "base");
    text.SetValue(5, "other");
    text.Reset(5);
    EXPECT_EQ(text.GetValue(5), "base");
}

TEST(AnimKinds, AddKeyKeysWhatTheChannelShows)
{
    AnimVal val;
    val.SetValue(10, 10);
    val.SetKeyInterp(0, INTERP_LINEAR, 0, 0);
    val.AddKey(4);
    EXPECT_EQ(val.CountKeys(), 3);
    EXPECT_EQ(val.GetValue(4), 4.0f);
    EXPECT_EQ(val.GetKeyInterpMode(4), INTERP_SMOOTH);

    // At the current frame the cached value is keyed, even when scripts changed it.
    val.SetCurFrame(7);
    val.value = 100;
    val.StoreValue();
    EXPECT_EQ(val.GetValue(7), 100.0f);
}

TEST(AnimKinds, TextsLoseDoubleQuotes)
{
    AnimString text;
    text.SetValue(3, "\"quoted\" name");
    EXPECT_EQ(text.GetValue(3), "quoted name");
    text.SetCurFrame(6);
    text.value = "a\"b";
    text.StoreValue();
    EXPECT_EQ(text.GetValue(6), "ab");
}

TEST(AnimKinds, TextBlendBetweenKeys)
{
    AnimString text;
    text.SetValue(0, "A");
    text.SetValue(10, "B");
    text.SetKeyInterp(0, INTERP_LINEAR, 0, 0);
    const struct {
        int32_t frame;
        const char* from;
        const char* to;
        float fraction;
    } cases[]
        = { { 0, "A", "B", 0.0f }, { 5, "A", "B", 0.5f }, { 10, "B", "B", 0.0f }, { 40, "B", "B", 0.0f } };
    for (const auto& c : cases) {
        QV_String from("x"), to("y");
        float fraction = -1;
        text.GetValueBlend(c.frame, from, to, fraction);
        EXPECT_EQ(from, c.from) << c.frame;
        EXPECT_EQ(to, c.to) << c.frame;
        EXPECT_EQ(fraction, c.fraction) << c.frame;
    }
}

TEST(AnimKinds, TextBlendThroughCycleAndPoseKeys)
{
    AnimString cycle;
    cycle.SetValue(0, "A");
    cycle.SetValue(4, "B");
    cycle.SetKeyInterp(4, INTERP_CYCLE, 0, 0);
    QV_String from, to;
    float fraction;
    // Frame 6 shows frame 1: a quarter of the way from A to B.
    cycle.GetValueBlend(6, from, to, fraction);
    EXPECT_EQ(from, "A");
    EXPECT_EQ(to, "B");
    EXPECT_EQ(fraction, 0.25f);

    AnimString pose;
    pose.SetValue(0, "rest");
    pose.ActivateAction("blink");
    pose.SetValue(2, "shut");
    pose.SetValue(4, "open");
    pose.fActiveAction = nullptr;
    pose.ActivateAction("");
    pose.SetValue(10, "rest");
    pose.SetKeyInterp(10, INTERP_POSE, 0, -1);
    pose.SetValue(20, "end");
    // Frames 11 and 12 show "shut" (action frames 2, 3); frame 13 on "open".
    pose.GetValueBlend(12, from, to, fraction);
    EXPECT_EQ(from, "shut");
    EXPECT_EQ(to, "open");
    EXPECT_EQ(fraction, 0.5f);
}

} // namespace
