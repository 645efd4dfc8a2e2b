#include "qv_memstream.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

void Fill(QV_MemStream& stream, const std::string& text)
{
    ASSERT_EQ(stream.Open(0), 0);
    stream.WriteBytes(text.data(), static_cast<int32_t>(text.size()));
    stream.Rewind();
}

} // namespace

TEST(QV_MemStream, OpenCapacity)
{
    QV_MemStream stream;
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(stream.WriteBytes("a", 1), 0);
    for (int32_t requested : { 0, -5 }) {
        ASSERT_EQ(stream.Open(requested), 0);
        EXPECT_EQ(stream.Capacity(), 2048);
    }
    ASSERT_EQ(stream.Open(16), 0);
    EXPECT_EQ(stream.Capacity(), 16);
    EXPECT_FALSE(stream.IsFile());
}

TEST(QV_MemStream, GrowthKeepsTwoSpareBytesAfterThePosition)
{
    std::string bytes(5000, 'x');
    QV_MemStream stream;
    stream.Open(0);
    EXPECT_EQ(stream.WriteBytes(bytes.data(), 2046), 2046);
    EXPECT_EQ(stream.Capacity(), 2048);
    stream.Open(0);
    EXPECT_EQ(stream.WriteBytes(bytes.data(), 2047), 2047);
    EXPECT_EQ(stream.Capacity(), 4096);
    // Several doublings at once, with the data kept.
    stream.Rewind();
    stream.WriteBytes("ab", 2);
    stream.Seek(2047);
    EXPECT_EQ(stream.Position(), 2046);
    stream.WriteBytes(bytes.data(), 5000);
    EXPECT_EQ(stream.Capacity(), 8192);
    EXPECT_EQ(stream.Size(), 7046);
    stream.Rewind();
    char start[3] = {};
    stream.ReadBytes(start, 2);
    EXPECT_STREQ(start, "ab");
}

TEST(QV_MemStream, OverwriteInsideTheData)
{
    QV_MemStream stream;
    Fill(stream, "0123456789");
    stream.Seek(3);
    stream.WriteBytes("ab", 2);
    EXPECT_EQ(stream.Size(), 10);
    stream.Seek(8);
    stream.WriteBytes("XYZ", 3);
    EXPECT_EQ(stream.Size(), 11);
    stream.Rewind();
    char all[12] = {};
    EXPECT_EQ(stream.ReadBytes(all, 11), 11);
    EXPECT_STREQ(all, "012ab567XYZ");
}

TEST(QV_MemStream, ReadingToTheEnd)
{
    QV_MemStream stream;
    Fill(stream, "0123456789");
    char buffer[16];
    EXPECT_EQ(stream.ReadBytes(buffer, 10), 10);
    EXPECT_TRUE(stream.AtEnd());
    EXPECT_EQ(stream.ReadBytes(buffer, 10), 0);
    char c = 0;
    EXPECT_FALSE(stream.ReadChar(c));

    // Seek cannot reach the end: it lands on the last byte.
    stream.Seek(10);
    EXPECT_EQ(stream.Position(), 9);
    ASSERT_TRUE(stream.ReadChar(c));
    EXPECT_EQ(c, '9');
    EXPECT_EQ(stream.LineNumber(), 1);
    EXPECT_EQ(stream.Position(), 9);

    stream.SavePosition();
    stream.Seek(2);
    stream.RestorePosition();
    EXPECT_EQ(stream.Position(), 9);

    stream.Close();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_FALSE(stream.ReadChar(c));
}

TEST(QV_MemStream, BooleansByPrefix)
{
    struct Case {
        const char* word;
        bool ok;
        bool value;
    } cases[] = {
        { "true", true, true },
        { "1", true, true },
        { "10", true, true },
        { "trueish", true, true },
        { "false", true, false },
        { "0", true, false },
        { "0.5", true, false },
        { "yes", false, false },
        { "TRUE", false, false },
    };
    for (const Case& c : cases) {
        QV_MemStream stream;
        Fill(stream, std::string(" ") + c.word + " next");
        bool value = !c.value;
        EXPECT_EQ(stream.ReadBool(value), c.ok) << c.word;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.word;
        }
        // The word is consumed either way.
        char word[256];
        ASSERT_TRUE(stream.ReadWord(256, word));
        EXPECT_STREQ(word, "next");
    }
}

TEST(QV_MemStream, WordsQuotedTextsAndLines)
{
    std::string word254(254, 'w');
    std::string word255(255, 'v');
    QV_MemStream stream;
    Fill(stream, word254 + " " + word255 + " ab\"cd\" \"open");
    char word[256];
    ASSERT_TRUE(stream.ReadWord(256, word));
    EXPECT_EQ(word, word254);
    EXPECT_FALSE(stream.ReadWord(256, word));
    ASSERT_TRUE(stream.ReadWord(2, word));
    EXPECT_STREQ(word, "a");
    QV_String text;
    EXPECT_FALSE(stream.ReadQuoted(text));

    Fill(stream, "x\"y\" \"open");
    EXPECT_FALSE(stream.ReadQuoted(text));
    // The byte that was not a quote is consumed.
    ASSERT_TRUE(stream.ReadQuoted(text));
    EXPECT_EQ(text, "y");
    EXPECT_FALSE(stream.ReadQuoted(text));
    EXPECT_TRUE(stream.AtEnd());

    Fill(stream, "ab\r\ncd\nef");
    char line[256];
    ASSERT_TRUE(stream.ReadLine(256, line));
    EXPECT_STREQ(line, "ab");
    ASSERT_TRUE(stream.ReadLine(256, line));
    EXPECT_STREQ(line, "");
    ASSERT_TRUE(stream.ReadLine(256, line));
    EXPECT_STREQ(line, "cd");
    EXPECT_FALSE(stream.ReadLine(256, line));
}
