// The older channel records and the current records they become.
#include <gtest/gtest.h>

#include <string>

#include "older_channels.h"
#include "older_test_support.h"
#include "qv_memstream.h"

using namespace vorn_v4;

namespace {

void Fill(QV_MemStream& stream, const std::string& text)
{
    stream.Open(int32_t(text.size()) + 16);
    stream.WriteBytes(text.data(), int32_t(text.size()));
    stream.Rewind();
    stream.fReading = true;
}

template <class Channel> bool Read(Channel& channel, const std::string& older)
{
    QV_MemStream in;
    Fill(in, older);
    return channel.ReadRecord(&in);
}

template <class Channel> std::string Written(const std::string& older)
{
    Channel channel;
    if (!Read(channel, older))
        return "(unread)";
    QV_MemStream out;
    out.Open(0);
    channel.WriteCurrentRecord(&out);
    return StreamText(out);
}

} // namespace

TEST(OlderChannel, RecordsBecomeCurrentKeyLists)
{
    struct Case {
        const char* name;
        std::string older;
        std::string current;
    } const values[] = {
        { "one ease key", "1 0 0 2 0.5", "[ keys 1 0 2 -1 -1 0.5 ]" },
        { "loop becomes a cycle key", "2 10 0 0 0 10 0 10", "[ keys 3 0 0 -1 1 0 10 0 -1 1 10 11 5 -1 1 1 ]" },
        { "noisy key", "1 0 0 4 3", "[ keys 1 0 4 0.01 0.5 3 ]" },
        { "noisy key in a loop", "1 5 0 4 3", "[ keys 3 0 4 0.01 0.5 3 5 1 -1 1 3 6 5 -1 1 3 ]" },
        { "no keys", "0 0", "[ keys 0 ]" },
        { "no keys with a loop", "0 3", "[ keys 2 3 1 -1 1 0 4 5 -1 1 0 ]" },
        // Keys that do not rise are put in order; of two at one frame the later one read stays.
        { "unsorted keys", "3 0 10 1 4 0 1 7 0 1 9", "[ keys 2 0 1 -1 -1 9 10 1 -1 -1 4 ]" },
    };
    for (const Case& c : values)
        EXPECT_TRUE(HasTokens(Written<AnimVal>(c.older), c.current)) << c.name << ": " << Written<AnimVal>(c.older);

    EXPECT_TRUE(HasTokens(Written<AnimColor>("1 0 0 1 255 128 0 255"), "[ keys 1 0 1 -1 -1 1 0.501961 0 1 ]"));
    EXPECT_TRUE(HasTokens(Written<AnimColor>("1 0 0 1 300 -5 0 255"), "1 0 0 1 ]"));
    EXPECT_TRUE(HasTokens(Written<AnimBool>("2 0 0 1 true 5 3 0"), "[ keys 2 0 1 -1 -1 true 5 3 -1 -1 false ]"));
    EXPECT_TRUE(HasTokens(Written<AnimString>("1 0 12 3 \"a b\""), "[ keys 1 12 3 -1 -1 \"a b\" ]"));
    EXPECT_TRUE(HasTokens(Written<AnimVec3>("1 0 2 1 1 2 3"), "[ keys 1 2 1 -1 -1 1 2 3 ]"));
}

TEST(OlderChannel, ValuesBetweenKeys)
{
    AnimVal channel;
    // The second key's code decides after a key at frame 0: linear, not a step.
    ASSERT_TRUE(Read(channel, "3 0 0 3 0 10 0 10 20 0 0"));
    EXPECT_FLOAT_EQ(channel.GetValue(5), 5);
    // From frame 10 the first key's code decides: a step holds its value.
    AnimVal stepping;
    ASSERT_TRUE(Read(stepping, "2 0 5 3 2 10 0 8"));
    EXPECT_FLOAT_EQ(stepping.GetValue(7), 2);
    EXPECT_FLOAT_EQ(stepping.GetValue(3), 2);
    EXPECT_FLOAT_EQ(stepping.GetValue(12), 8);

    AnimVal looping;
    ASSERT_TRUE(Read(looping, "2 10 0 0 0 10 0 10"));
    EXPECT_FLOAT_EQ(looping.GetValue(13), 3);
    EXPECT_FLOAT_EQ(looping.GetValue(20), 10);

    AnimColor colour;
    ASSERT_TRUE(Read(colour, "2 0 0 0 0 0 0 255 10 0 255 255 1 255"));
    const rgb_color half = colour.GetValue(5);
    EXPECT_EQ(half.r, 128);
    EXPECT_EQ(half.b, 1);

    AnimBool flag;
    ASSERT_TRUE(Read(flag, "2 0 0 0 false 10 0 true"));
    EXPECT_FALSE(flag.GetValue(9));
    EXPECT_TRUE(flag.GetValue(10));

    AnimVal empty;
    ASSERT_TRUE(Read(empty, "0 0"));
    EXPECT_FLOAT_EQ(empty.GetValue(4), 0);

    // Frames at the ends of the number range interpolate without overflowing.
    AnimVal wide;
    ASSERT_TRUE(Read(wide, "2 0 -2147483648 1 0 2147483647 1 1"));
    const float middle = wide.GetValue(0);
    EXPECT_GE(middle, 0);
    EXPECT_LE(middle, 1);
}

TEST(OlderChannel, DamagedRecordsFail)
{
    const char* damaged[] = {
        "-1 0",                // a negative count
        "2000000000 0 0 1 1",  // more keys than the rest could hold
        "2 0 0 1 1",           // ends inside the keys
        "1 0 0 1 abc",         // a value that is no number
    };
    for (const char* older : damaged) {
        AnimVal channel;
        EXPECT_FALSE(Read(channel, older)) << older;
    }
    AnimBool flag;
    EXPECT_FALSE(Read(flag, "1 0 0 1 maybe"));
    AnimString text;
    EXPECT_FALSE(Read(text, "1 0 0 1 unquoted"));
    EXPECT_FALSE(Read(text, "1 0 0 1 \"" + std::string(256, 'x') + "\""));
    EXPECT_TRUE(Read(text, "1 0 0 1 \"" + std::string(255, 'x') + "\""));
}
