#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "animbool.h"
#include "animcolor.h"
#include "animstring.h"
#include "animval.h"
#include "animvec2.h"
#include "animvec3.h"
#include "vorn_test_support.h"

namespace {

std::string Record(AnimChannel& channel, bool withActions = true, int32_t indent = 0)
{
    QV_MemStream stream;
    stream.Open(0);
    stream.fIndent = indent;
    channel.WriteRecord(&stream, withActions);
    EXPECT_EQ(stream.fIndent, indent);
    return StreamText(stream);
}

// Reads text into the channel; answers the stream's error text ("" on success).
std::string Read(AnimChannel& channel, const std::string& text, bool* ok = nullptr)
{
    QV_MemStream stream;
    FillStream(stream, text);
    bool read = channel.ReadRecord(&stream, false);
    if (ok)
        *ok = read;
    EXPECT_EQ(read, stream.fError.IsEmpty()) << stream.fError.CString();
    return stream.fError.CString();
}

// The line of a read error text that names the reader's source file, or -1 for any other text.
int32_t ReadErrorLine(const std::string& error, const std::string& file)
{
    const std::string head = "Read error at line ";
    const std::string middle = ". In code file lib_vorn/" + file + ", line ";
    size_t split = error.find(middle);
    if (error.compare(0, head.size(), head) != 0 || split == std::string::npos || error.back() != '.')
        return -1;
    const std::string line = error.substr(head.size(), split - head.size());
    const std::string source = error.substr(split + middle.size(), error.size() - 1 - split - middle.size());
    if (line.empty() || source.empty() || line.find_first_not_of("0123456789") != std::string::npos
        || source.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(line);
}

TEST(AnimRecord, NewChannelsWriteOneKey)
{
    AnimVal val;
    EXPECT_EQ(Record(val), "[\n\tkeys 1\n\t\t0 1 0.1 0.5 0\n]\n");
    AnimColor color;
    EXPECT_EQ(Record(color, true, 2), "\t\t[\n\t\t\tkeys 1\n\t\t\t\t0 1 0.1 0.5 0 0 0 1\n\t\t]\n");
}

TEST(AnimRecord, KeyLinesOfEveryKind)
{
    AnimVec2 vec2;
    vec2.SetValue(24, QV_Vector2 { 1.5f, -2 });
    AnimVec3 vec3;
    vec3.SetValue(3, QV_Vector3 { 0.25f, 24, -0.125f });
    vec3.SetKeyInterp(3, INTERP_NOISY, 0.05f, 2.75f);
    AnimBool flag;
    flag.SetValue(7, true);
    AnimString text;
    text.SetValue(9, "Sub layer 2");
    const struct {
        AnimChannel* channel;
        const char* line;
    } cases[] = {
        { &vec2, "\t\t24 1 0.1 0.5 1.5 -2\n" },
        { &vec3, "\t\t3 4 0.05 2.75 0.25 24 -0.125\n" },
        { &flag, "\t\t0 1 0.1 0.5 false\n\t\t7 1 0.1 0.5 true\n" },
        { &text, "\t\t0 1 0.1 0.5 \"\"\n\t\t9 1 0.1 0.5 \"Sub layer 2\"\n" },
    };
    for (const auto& c : cases) {
        std::string record = Record(*c.channel);
        EXPECT_NE(record.find(c.line), std::string::npos) << record;
        EXPECT_NE(record.find("\tkeys 2\n"), std::string::npos) << record;
    }
}

TEST(AnimRecord, ActionsAreWrittenOnlyWhenAnimated)
{
    AnimVal channel;
    channel.SetValue(10, 2.5f);
    channel.ActivateAction("run");
    channel.fActiveAction = nullptr;
    EXPECT_EQ(Record(channel), "[\n\tkeys 2\n\t\t0 1 0.1 0.5 0\n\t\t10 1 0.1 0.5 2.5\n]\n");

    channel.ActivateAction("run");
    channel.SetValue(5, 1);
    // Writing works on the owner's keys even while an action is being edited.
    EXPECT_EQ(Record(channel, true, 1),
        "\t[\n"
        "\t\tkeys 2\n"
        "\t\t\t0 1 0.1 0.5 0\n"
        "\t\t\t10 1 0.1 0.5 2.5\n"
        "\t\tactions 1\n"
        "\t\t\t\"run\"\n"
        "\t\t\t[\n"
        "\t\t\t\tkeys 2\n"
        "\t\t\t\t\t0 1 0.1 0.5 0\n"
        "\t\t\t\t\t5 1 0.1 0.5 1\n"
        "\t\t\t]\n"
        "\t]\n");
    EXPECT_EQ(Record(channel, false), "[\n\tkeys 2\n\t\t0 1 0.1 0.5 0\n\t\t10 1 0.1 0.5 2.5\n]\n");
}

TEST(AnimRecord, ReadingGivesBackWhatWasWritten)
{
    std::vector<std::unique_ptr<AnimChannel>> channels;
    for (int32_t kind = CHANNEL_VAL; kind <= CHANNEL_VEC3; kind++)
        channels.emplace_back(NewAnimChannel(kind));
    auto& val = static_cast<AnimVal&>(*channels[0]);
    val.SetValue(3, -1.25f);
    val.SetKeyInterp(3, INTERP_CYCLE, 4, -1);
    val.ActivateAction("a");
    val.SetValue(6, 2);
    val.fActiveAction = nullptr;
    val.ActivateAction("b");
    val.SetValue(2, 1);
    val.fActiveAction = nullptr;
    val.InsertActionReference(10, "b");
    static_cast<AnimVec2&>(*channels[1]).SetValue(8, QV_Vector2 { 0.5f, 3 });
    static_cast<AnimColor&>(*channels[2]).SetValue(8, QV_ColorVector { 1.5f, -0.2f, 0.333f, 1 });
    static_cast<AnimBool&>(*channels[3]).SetValue(8, true);
    // Texts of any length come back.
    static_cast<AnimString&>(*channels[4]).SetValue(8, std::string(300, 'x').c_str());
    static_cast<AnimVec3&>(*channels[5]).SetValue(-8, QV_Vector3 { 1, 2, 3 });

    for (auto& channel : channels) {
        std::string written = Record(*channel);
        std::unique_ptr<AnimChannel> copy(NewAnimChannel(channel->ChannelType()));
        copy->SetCurFrame(8);
        EXPECT_EQ(Read(*copy, written), "");
        EXPECT_EQ(Record(*copy), written);
        EXPECT_EQ(copy->GetCurFrame(), 8);
    }
    auto& copy = static_cast<AnimVal&>(*channels[0]);
    EXPECT_EQ(copy.fActions.fCount, 2);
}

TEST(AnimRecord, ReadingReplacesKeysAndActions)
{
    AnimVal channel;
    channel.SetValue(30, 9);
    channel.ActivateAction("old");
    channel.SetCurFrame(10);
    EXPECT_EQ(Read(channel, "[\n\tkeys 2\n\t\t0 1 0.1 0.5 3\n\t\t10 1 0.1 0.5 4\n]\n"), "");
    EXPECT_EQ(channel.fActions.fCount, 0);
    EXPECT_EQ(channel.fActiveAction, nullptr);
    EXPECT_EQ(channel.CountKeys(), 2);
    EXPECT_EQ(channel.GetValue(0), 3.0f);
    EXPECT_EQ(channel.GetValue(10), 4.0f);
    EXPECT_EQ(channel.value, 4.0f);

    EXPECT_EQ(Read(channel, "[ ]"), "");
    EXPECT_EQ(channel.CountKeys(), 1);
    EXPECT_EQ(channel.GetValue(0), 3.0f);

    // Comments run to the end of their line; "keys 0" is an empty channel.
    EXPECT_EQ(Read(channel, "[ # keys 7 8 9\n keys 0 ]"), "");
    EXPECT_EQ(channel.CountKeys(), 0);
}

TEST(AnimRecord, ReadingGrowsTheArraysToTheKeyCount)
{
    AnimVal channel;
    EXPECT_EQ(
        Read(channel, "[ keys 5 0 1 0.1 0.5 0 1 1 0.1 0.5 1 2 1 0.1 0.5 2 3 1 0.1 0.5 3 4 1 0.1 0.5 4 ]"),
        "");
    EXPECT_EQ(channel.fKeyCapacity, 5);
    channel.SetValue(5, 5);
    EXPECT_EQ(channel.fKeyCapacity, 10);
    for (int32_t frame = 0; frame <= 5; frame++)
        EXPECT_EQ(channel.GetValue(frame), float(frame));
}

TEST(AnimRecord, UnknownKeywordsAreNamedWithTheirLine)
{
    AnimVal channel;
    channel.ActivateAction("a");
    channel.SetValue(4, 1);
    channel.fActiveAction = nullptr;
    bool ok = true;
    EXPECT_EQ(Read(channel, "[\n\tkey 1\n\t\t0 1 0.1 0.5 0\n]\n", &ok), "Unknown keyword: key at line 2");
    EXPECT_FALSE(ok);
    EXPECT_EQ(channel.CountKeys(), 1);
    EXPECT_EQ(channel.fActions.fCount, 0);
}

TEST(AnimRecord, BrokenRecordsAreReadErrors)
{
    const struct {
        const char* name;
        std::string text;
        int32_t line;
    } cases[] = {
        { "cut after one of two keys", "[\n\tkeys 2\n\t\t0 1 0.1 0.5 3\n", 4 },
        { "no closing bracket", "[\n\tkeys 1\n\t\t0 1 0.1 0.5 3\n", 4 },
        { "missing count", "[\n\tkeys ]\n", 2 },
        { "negative count", "[\n\tkeys -1\n]\n", 2 },
        { "count beyond the record", "[\n\tkeys 2000000000\n\t\t0 1 0.1 0.5 3\n]\n", 2 },
        { "bad mode", "[\n\tkeys 1\n\t\t0 smooth 0.1 0.5 3\n]\n", 3 },
        { "action without its name", "[\n\tkeys 1\n\t\t0 1 0.1 0.5 3\n\tactions 1\n\t\t[ ]\n]\n", 5 },
        { "actions inside an action",
            "[ keys 1 0 1 0.1 0.5 3\n actions 1 \"a\" [ keys 1 0 1 0.1 0.5 3\n actions 1 \"b\" [ ] ] ]", 3 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AnimVal channel;
        channel.SetValue(10, 1);
        bool ok = true;
        std::string error = Read(channel, c.text, &ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(ReadErrorLine(error, "animval"), c.line) << error;
        EXPECT_EQ(channel.CountKeys(), 1);
        EXPECT_EQ(channel.fActions.fCount, 0);
        EXPECT_EQ(channel.fActiveAction, nullptr);
        // The key left behind is a whole key.
        EXPECT_EQ(channel.GetKeyWhen(0), channel.fKeyFrames[0]);
    }
}

TEST(AnimRecord, ValueReadErrorsNameTheKindsReader)
{
    AnimVec2 vec2;
    std::string error = Read(vec2, "[\n\tkeys 1\n\t\t0 1 0.1 0.5 1.5\n]\n");
    EXPECT_EQ(ReadErrorLine(error, "animvec2"), 4) << error;
    AnimBool flag;
    error = Read(flag, "[ keys 1 0 1 0.1 0.5 maybe ]");
    EXPECT_EQ(ReadErrorLine(error, "animbool"), 1) << error;
    AnimString text;
    error = Read(text, "[ keys 1 0 1 0.1 0.5 unquoted ]");
    EXPECT_EQ(ReadErrorLine(error, "animstring"), 1) << error;
}

// Keys are taken as they stand in the file: in any order, the later of two at one frame winning,
// and the channel stays searchable.
TEST(AnimRecord, KeysOutOfOrderAreSortedAndTheLaterOfTwoAtOneFrameWins)
{
    AnimVal val;
    EXPECT_EQ(Read(val,
                  "[\n\tkeys 5\n\t\t9 1 0.1 0.5 4\n\t\t0 1 0.1 0.5 3\n\t\t4 2 0.1 0.5 5\n"
                  "\t\t9 0 0.1 0.5 6\n\t\t2 1 0.1 0.5 7\n]\n"),
        "");
    ASSERT_EQ(val.CountKeys(), 4);
    const int32_t frames[] = { 0, 2, 4, 9 };
    const float values[] = { 3, 7, 5, 6 };
    for (int32_t i = 0; i < 4; i++) {
        EXPECT_EQ(val.GetKeyWhen(i), frames[i]);
        EXPECT_EQ(val.GetValue(frames[i]), values[i]);
    }
    EXPECT_EQ(val.GetKeyInterpMode(4), 2);
    EXPECT_EQ(val.GetKeyInterpMode(9), 0);
    EXPECT_EQ(val.GetClosestKeyID(5), 2);
    // Written back in order, it reads the same.
    AnimVal copy;
    EXPECT_EQ(Read(copy, Record(val)), "");
    EXPECT_EQ(Record(copy), Record(val));

    // Every kind moves its values with its keys.
    AnimString text;
    EXPECT_EQ(Read(text, "[ keys 3 5 1 0.1 0.5 \"five\" 0 1 0.1 0.5 \"zero\" 5 1 0.1 0.5 \"later\" ]"), "");
    ASSERT_EQ(text.CountKeys(), 2);
    EXPECT_EQ(text.GetValue(0), "zero");
    EXPECT_EQ(text.GetValue(5), "later");
}

TEST(AnimRecord, TextsWithQuotesStillReadBack)
{
    AnimString text;
    text.SetValue(4, "say \"hi\"");
    EXPECT_EQ(text.GetValue(4), "say hi");
    AnimString copy;
    EXPECT_EQ(Read(copy, Record(text)), "");
    EXPECT_EQ(copy.GetValue(4), "say hi");
}

} // namespace
