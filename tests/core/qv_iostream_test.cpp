#include "qv_iostream.h"
#include "qv_filestream.h"
#include "qv_memstream.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "scratch_folder.h"

namespace {

std::string Contents(QV_MemStream& stream)
{
    int32_t size = stream.Size();
    std::string bytes(size, '\0');
    stream.Rewind();
    stream.ReadBytes(bytes.data(), size);
    return bytes;
}

// A memory stream holding the given text, positioned at its start.
void Fill(QV_MemStream& stream, const std::string& text)
{
    ASSERT_EQ(stream.Open(0), 0);
    stream.WriteBytes(text.data(), static_cast<int32_t>(text.size()));
    stream.Rewind();
}

std::string Written(float value)
{
    QV_MemStream stream;
    stream.Open(0);
    stream.WriteFloat(value);
    return Contents(stream);
}

} // namespace

TEST(QV_IoStream, WriteFloatForm)
{
    struct Case {
        float value;
        const char* text;
    } cases[] = {
        { 2.0f, "2" },
        { 2.5f, "2.5" },
        { -2.5f, "-2.5" },
        { 0.1f, "0.1" },
        { 1.0000001f, "1" },
        { 1e-7f, "0" },
        { -1e-7f, "0" },
        { 3.1415927f, "3.141593" },
        { 1.5e-6f, "0.000002" },
        { -0.75f, "-0.75" },
        { 1000000.0f, "1000000" },
        // Beyond the 32-bit range the whole-number form is not used; the point stays.
        { 3e9f, "3000000000." },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Written(c.value), c.text) << c.value;
}

TEST(QV_IoStream, NonFiniteFloatsAreWrittenReadable)
{
    // "nan" or "inf" in a document would stop its whole reading.
    EXPECT_EQ(Written(std::numeric_limits<float>::quiet_NaN()), "0");
    for (float sign : { 1.0f, -1.0f }) {
        QV_MemStream stream;
        stream.Open(0);
        stream.WriteFloat(sign * std::numeric_limits<float>::infinity());
        stream.Rewind();
        float back = 0;
        ASSERT_TRUE(stream.ReadFloat(back));
        EXPECT_EQ(back, sign * std::numeric_limits<float>::max());
    }
}

TEST(QV_IoStream, TypedValuesRoundTrip)
{
    QV_MemStream stream;
    ASSERT_EQ(stream.Open(0), 0);
    stream.fIndent = 2;
    stream.WriteIndent();
    stream.WriteVector3({ 1.5f, -2.0f, 0.25f });
    stream.WriteSpace();
    stream.WriteColor({ 1, 2, 3, 255 });
    stream.WriteSpace();
    stream.WritePoint({ -7, 12 });
    stream.WriteSpace();
    stream.WriteColorVector({ 0.5f, 1.0f, 0.0f, 0.125f });
    stream.WriteNewline();
    stream.WriteQuoted("a name");
    stream.WriteInt(-2147483647 - 1);
    EXPECT_EQ(Contents(stream), "\t\t1.5 -2 0.25 1 2 3 255 -7 12 0.5 1 0 0.125\n\"a name\"-2147483648");

    stream.Rewind();
    QV_Vector3 v;
    rgb_color color {};
    QV_Point point;
    QV_ColorVector cv;
    QV_String name;
    int32_t number = 0;
    ASSERT_TRUE(stream.ReadVector3(v));
    ASSERT_TRUE(stream.ReadColor(color));
    ASSERT_TRUE(stream.ReadPoint(point));
    ASSERT_TRUE(stream.ReadColorVector(cv));
    ASSERT_TRUE(stream.ReadString(name));
    ASSERT_TRUE(stream.ReadInt(number));
    EXPECT_EQ(v.x, 1.5f);
    EXPECT_EQ(v.y, -2.0f);
    EXPECT_EQ(v.z, 0.25f);
    EXPECT_EQ(color.r, 1);
    EXPECT_EQ(color.a, 255);
    EXPECT_EQ(point.x, -7);
    EXPECT_EQ(point.y, 12);
    EXPECT_EQ(cv.a, 0.125f);
    EXPECT_EQ(name, "a name");
    EXPECT_EQ(number, -2147483647 - 1);
}

TEST(QV_IoStream, TypedReadsWriteOnlyWhenComplete)
{
    QV_MemStream stream;
    Fill(stream, "300 -5 128 255 1 2 x 4");
    rgb_color color {};
    ASSERT_TRUE(stream.ReadColor(color));
    EXPECT_EQ(color.r, 255);
    EXPECT_EQ(color.g, 0);
    EXPECT_EQ(color.b, 128);
    EXPECT_EQ(color.a, 255);

    QV_Vector3 v;
    v.Set(9, 9, 9);
    EXPECT_FALSE(stream.ReadVector3(v));
    EXPECT_EQ(v.x, 9);
    EXPECT_EQ(v.y, 9);
}

TEST(QV_IoStream, NothingIsWrittenWhileReading)
{
    QV_MemStream stream;
    stream.Open(0);
    stream.fReading = true;
    stream.WriteText("text");
    stream.WriteFloat(1.5f);
    stream.WriteQuoted("q");
    stream.WritePath("/a/b");
    EXPECT_EQ(stream.Size(), 0);
}

TEST(QV_IoStream, FirstErrorWins)
{
    QV_MemStream stream;
    stream.SetError("Unknown keyword: foo at line 3");
    stream.SetError("second");
    EXPECT_EQ(stream.fError, "Unknown keyword: foo at line 3");
}

TEST(QV_IoStream, QuotedTextIntoFixedBufferKeepsItsLimit)
{
    std::string fits(254, 'x');
    std::string tooLong(300, 'y');
    QV_MemStream stream;
    Fill(stream, "\"" + fits + "\" \"" + tooLong + "\" \"after\"");
    char buffer[256];
    ASSERT_TRUE(stream.ReadQuoted(256, buffer));
    EXPECT_EQ(std::strlen(buffer), 254u);
    EXPECT_FALSE(stream.ReadQuoted(256, buffer));
    EXPECT_EQ(buffer, std::string(255, 'y'));
    // The read stopped at the full buffer: the rest of the text is still in the stream.
    char word[256];
    ASSERT_TRUE(stream.ReadWord(256, word));
    EXPECT_EQ(word, std::string(45, 'y') + "\"");
    ASSERT_TRUE(stream.ReadQuoted(256, buffer));
    EXPECT_STREQ(buffer, "after");

    Fill(stream, "\"abc\"");
    EXPECT_FALSE(stream.ReadQuoted(3, buffer));
    EXPECT_STREQ(buffer, "ab");
    char c = 0;
    ASSERT_TRUE(stream.ReadChar(c));
    EXPECT_EQ(c, 'c');
}

// Files are written with CR LF line ends; a text holding a line break must read back from a file
// as it was written, or every save would add a CR. A memory stream holds what was written.
TEST(QV_IoStream, QuotedTextsReadLineBreaksAsWritten)
{
    const std::string bytes = "\"one\r\ntwo\rthree\nfour\r\r\n\" \"a\r\nb\"";
    ScratchFolder folder;
    folder.Put("text.txt", bytes);
    QV_FileStream file;
    ASSERT_EQ(file.Open(folder.File("text.txt").c_str(), true), 0);
    QV_String text;
    ASSERT_TRUE(file.ReadString(text));
    EXPECT_EQ(text, "one\ntwo\rthree\nfour\r\n");
    char buffer[16];
    ASSERT_TRUE(file.ReadQuoted(16, buffer));
    EXPECT_STREQ(buffer, "a\nb");

    QV_MemStream memory;
    Fill(memory, bytes);
    ASSERT_TRUE(memory.ReadString(text));
    EXPECT_EQ(text, "one\r\ntwo\rthree\nfour\r\r\n");
    ASSERT_TRUE(memory.ReadQuoted(16, buffer));
    EXPECT_STREQ(buffer, "a\r\nb");
}

// One number rule for every stream: the same bytes give the same value and leave the same rest,
// whatever stream they are read from, and nothing non-finite gets in.
TEST(QV_IoStream, NumbersReadTheSameOnEveryStream)
{
    struct Case {
        const char* text;
        bool isFloat;
        bool ok;
        double value;
        const char* rest;
    } cases[] = {
        { "-12abc", false, true, -12, "abc" },
        { "+5", false, true, 5, "" },
        { "99999999999", false, false, 0, "" },
        { "1e3", false, true, 1, "e3" },
        { "1e-07", true, true, 1e-7, "" },
        { "2.5e}", true, true, 2.5, "e}" },
        { "1E3", true, true, 1000, "" },
        { "-1.5e+2", true, true, -150, "" },
        { "1.2.3", true, true, 1.2, ".3" },
        { ".5", true, true, 0.5, "" },
        { "3e38", true, true, 3e38, "" },
        { "1e-999", true, true, 0, "" },
        { "1e999", true, false, 0, "" },
        { "-1e999", true, false, 0, "" },
        { "nan", true, false, 0, "nan" },
        { "inf", true, false, 0, "inf" },
        { "-", true, false, 0, "" },
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        const std::string bytes = std::string("  ") + c.text + " ";
        QV_MemStream memory;
        Fill(memory, bytes);
        folder.Put("number.txt", bytes);
        QV_FileStream file;
        ASSERT_EQ(file.Open(folder.File("number.txt").c_str(), true), 0);
        for (QV_IoStream* stream : { static_cast<QV_IoStream*>(&memory), static_cast<QV_IoStream*>(&file) }) {
            const char* kind = stream == &memory ? "memory" : "file";
            float value = 7;
            bool ok;
            if (c.isFloat) {
                ok = stream->ReadFloat(value);
            } else {
                int32_t number = 7;
                ok = stream->ReadInt(number);
                value = float(number);
            }
            EXPECT_EQ(ok, c.ok) << c.text << " on the " << kind << " stream";
            EXPECT_FLOAT_EQ(value, ok ? float(c.value) : 7.0f) << c.text << " on the " << kind << " stream";
            char word[256] = "";
            stream->ReadWord(256, word);
            EXPECT_STREQ(word, c.rest) << c.text << " on the " << kind << " stream";
        }
    }
}

TEST(QV_IoStream, StringsAndPathsTakeAnyLength)
{
    std::string longText(5000, 'n');
    std::string longPath = "/" + std::string(300, 'd') + "/file.png";
    QV_MemStream stream;
    stream.Open(0);
    stream.WriteQuoted(longText.c_str());
    stream.WritePath(longPath.c_str());
    stream.Rewind();
    QV_String text;
    QV_String path;
    ASSERT_TRUE(stream.ReadString(text));
    ASSERT_TRUE(stream.ReadPath(path));
    EXPECT_EQ(text.CString(), longText);
    EXPECT_EQ(path.CString(), longPath);
}

TEST(QV_IoStream, PathsFromWindowsReadWithSlashesOnAnyStream)
{
    QV_MemStream stream;
    Fill(stream, "\"img\\b.png\" \"C:\\docs\\a.png\"");
    QV_String path;
    ASSERT_TRUE(stream.ReadPath(path));
    EXPECT_STREQ(path.CString(), "img/b.png");
    ASSERT_TRUE(stream.ReadPath(path));
    EXPECT_STREQ(path.CString(), "C:/docs/a.png");
}

TEST(QV_IoStream, LineNumberKeepsThePosition)
{
    QV_MemStream stream;
    Fill(stream, "one\ntwo\nthree four\n");
    EXPECT_EQ(stream.LineNumber(), 1);
    char word[256];
    for (const char* expected : { "one", "two", "three" }) {
        ASSERT_TRUE(stream.ReadWord(256, word));
        EXPECT_STREQ(word, expected);
    }
    int32_t position = stream.Position();
    EXPECT_EQ(stream.LineNumber(), 3);
    EXPECT_EQ(stream.Position(), position);
    ASSERT_TRUE(stream.ReadWord(256, word));
    EXPECT_STREQ(word, "four");
}

TEST(QV_IoStream, BaseStreamIsNeutral)
{
    QV_IoStream stream;
    char buffer[8] = "x";
    QV_String text("kept");
    int32_t number = 5;
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_FALSE(stream.ReadQuoted(8, buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(stream.ReadString(text));
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(stream.ReadInt(number));
    EXPECT_EQ(number, 5);
    EXPECT_EQ(stream.WriteBytes("a", 1), 0);
    EXPECT_EQ(stream.fVersion, 1);
    EXPECT_EQ(stream.LineNumber(), 1);
}
