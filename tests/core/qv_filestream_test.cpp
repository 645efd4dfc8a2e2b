#include "qv_filestream.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "scratch_folder.h"

namespace {

class FileStreamTest : public ::testing::Test {
protected:
    // A stream reading a file that holds the given bytes.
    void OpenWith(const std::string& bytes)
    {
        fFolder.Put("in.txt", bytes);
        ASSERT_EQ(fStream.Open(fFolder.File("in.txt").c_str(), true), 0);
    }

    ScratchFolder fFolder;
    QV_FileStream fStream;
};

} // namespace

TEST_F(FileStreamTest, WritesLineEndsAsCrLf)
{
    std::string path = fFolder.File("out.txt");
    ASSERT_EQ(fStream.Open(path.c_str(), false), 0);
    EXPECT_EQ(fStream.WriteBytes("a\nbc\n", 5), 5);
    fStream.WriteNewline();
    EXPECT_EQ(fStream.Position(), 9);
    EXPECT_EQ(fStream.Size(), 9);
    EXPECT_TRUE(fStream.Commit());
    EXPECT_EQ(fFolder.Get("out.txt"), "a\r\nbc\r\n\r\n");
    EXPECT_EQ(fStream.Path(), "");
    EXPECT_FALSE(fStream.IsOpen());
}

TEST_F(FileStreamTest, ReadLineStopsAtOneLineEndByte)
{
    OpenWith("ab\r\ncd\n");
    char line[256];
    ASSERT_TRUE(fStream.ReadLine(256, line));
    EXPECT_STREQ(line, "ab");
    ASSERT_TRUE(fStream.ReadLine(256, line));
    EXPECT_STREQ(line, "");
    ASSERT_TRUE(fStream.ReadLine(256, line));
    EXPECT_STREQ(line, "cd");
    EXPECT_FALSE(fStream.ReadLine(256, line));

    // An unterminated last line is not returned.
    OpenWith("ab\r\ncd");
    ASSERT_TRUE(fStream.ReadLine(256, line));
    ASSERT_TRUE(fStream.ReadLine(256, line));
    EXPECT_FALSE(fStream.ReadLine(256, line));
}

TEST_F(FileStreamTest, ReadLineLengthLimits)
{
    std::string line254(254, 'a');
    std::string line255(255, 'b');
    std::string line1000(1000, 'c');
    OpenWith(line254 + "\n" + line255 + "\nxyz\n" + line1000 + "\n");
    char buffer[4096];
    ASSERT_TRUE(fStream.ReadLine(256, buffer));
    EXPECT_EQ(buffer, line254);
    EXPECT_FALSE(fStream.ReadLine(256, buffer));
    ASSERT_TRUE(fStream.SkipLine());
    // A small buffer cuts the line.
    ASSERT_TRUE(fStream.ReadLine(3, buffer));
    EXPECT_STREQ(buffer, "xy");
    // Callers with room for long lines get them.
    ASSERT_TRUE(fStream.ReadLine(4096, buffer));
    EXPECT_EQ(buffer, line1000);
}

TEST_F(FileStreamTest, QuotedTexts)
{
    std::string long300(300, 'q');
    OpenWith("  \r\n\"first\"\t\"" + long300 + "\" x\"bad\" \"unterminated");
    QV_String text("kept");
    ASSERT_TRUE(fStream.ReadString(text));
    EXPECT_EQ(text, "first");
    ASSERT_TRUE(fStream.ReadString(text));
    EXPECT_EQ(text.Length(), 300);
    EXPECT_FALSE(fStream.ReadString(text));
    EXPECT_EQ(text.Length(), 300);
    ASSERT_TRUE(fStream.ReadString(text));
    EXPECT_EQ(text, "bad");
    EXPECT_FALSE(fStream.ReadString(text));
}

TEST_F(FileStreamTest, WordsAndBooleansAreExact)
{
    std::string longWord(300, 'w');
    OpenWith("true 1 false 0 yes truex " + longWord);
    bool value = false;
    ASSERT_TRUE(fStream.ReadBool(value));
    EXPECT_TRUE(value);
    ASSERT_TRUE(fStream.ReadBool(value));
    EXPECT_TRUE(value);
    ASSERT_TRUE(fStream.ReadBool(value));
    EXPECT_FALSE(value);
    value = true;
    ASSERT_TRUE(fStream.ReadBool(value));
    EXPECT_FALSE(value);
    EXPECT_FALSE(fStream.ReadBool(value));
    EXPECT_FALSE(fStream.ReadBool(value));
    // A word longer than 254 bytes is split.
    char word[256];
    ASSERT_TRUE(fStream.ReadWord(256, word));
    EXPECT_EQ(std::strlen(word), 254u);
    ASSERT_TRUE(fStream.ReadWord(256, word));
    EXPECT_EQ(std::strlen(word), 46u);
    EXPECT_FALSE(fStream.ReadWord(256, word));
    EXPECT_TRUE(fStream.AtEnd());
}

TEST_F(FileStreamTest, NumbersAreScannedFromTheirPrefix)
{
    OpenWith(" -12abc +5 99999999999 1e-07 2.5e} 1.5} .5 -");
    int32_t number = 0;
    char c = 0;
    ASSERT_TRUE(fStream.ReadInt(number));
    EXPECT_EQ(number, -12);
    ASSERT_TRUE(fStream.ReadChar(c));
    EXPECT_EQ(c, 'a');
    char word[256];
    ASSERT_TRUE(fStream.ReadWord(256, word));
    ASSERT_TRUE(fStream.ReadInt(number));
    EXPECT_EQ(number, 5);
    // Out of the 32-bit range.
    EXPECT_FALSE(fStream.ReadInt(number));
    EXPECT_EQ(number, 5);

    float value = 0;
    ASSERT_TRUE(fStream.ReadFloat(value));
    EXPECT_FLOAT_EQ(value, 1e-7f);
    // An exponent mark without digits stays in the stream.
    ASSERT_TRUE(fStream.ReadFloat(value));
    EXPECT_EQ(value, 2.5f);
    ASSERT_TRUE(fStream.ReadWord(256, word));
    EXPECT_STREQ(word, "e}");
    ASSERT_TRUE(fStream.ReadFloat(value));
    EXPECT_EQ(value, 1.5f);
    ASSERT_TRUE(fStream.ReadChar(c));
    EXPECT_EQ(c, '}');
    ASSERT_TRUE(fStream.ReadFloat(value));
    EXPECT_EQ(value, 0.5f);
    EXPECT_FALSE(fStream.ReadFloat(value));
    EXPECT_EQ(value, 0.5f);
}

TEST_F(FileStreamTest, PathsRelativeToTheStreamFile)
{
    const std::string& dir = fFolder.Path();
    std::string doc = fFolder.File("a.celv");
    ASSERT_EQ(fStream.Open(doc.c_str(), false), 0);
    struct Case {
        std::string path;
        std::string stored;
    } cases[] = {
        { dir + "/img/b.png", "img/b.png" },
        { dir + "/b.png", "b.png" },
        { dir + "2/b.png", dir + "2/b.png" },
        { "/other/b.png", "/other/b.png" },
        { "C:\\docs2\\b.png", "C:/docs2/b.png" },
    };
    for (const Case& c : cases) {
        fStream.WritePath(c.path.c_str());
        fStream.WriteNewline();
    }
    fStream.WriteText("\"img\\b.png\" \"D:/b.png\" \"\"\n");
    ASSERT_TRUE(fStream.Commit());

    std::string expected;
    for (const Case& c : cases)
        expected += "\"" + c.stored + "\"\r\n";
    std::string disk = fFolder.Get("a.celv");
    EXPECT_EQ(disk.substr(0, expected.size()), expected);

    ASSERT_EQ(fStream.Open(doc.c_str(), true), 0);
    const std::string read[] = {
        dir + "/img/b.png",
        dir + "/b.png",
        dir + "2/b.png",
        "/other/b.png",
        "C:/docs2/b.png",
        dir + "/img/b.png",
        "D:/b.png",
        "",
    };
    for (const std::string& r : read) {
        QV_String path;
        ASSERT_TRUE(fStream.ReadPath(path));
        EXPECT_EQ(path.CString(), r);
    }
}

TEST_F(FileStreamTest, LongPathsHaveNoLimit)
{
    std::string folder = fFolder.File(std::string(150, 'f')) + "/" + std::string(150, 'g');
    std::filesystem::create_directories(folder);
    std::string doc = folder + "/doc.celv";
    std::string image = folder + "/" + std::string(200, 'i') + ".png";
    ASSERT_GT(doc.size(), 300u);
    ASSERT_EQ(fStream.Open(doc.c_str(), false), 0);
    EXPECT_EQ(fStream.Path().CString(), doc);
    fStream.WritePath(image.c_str());
    ASSERT_TRUE(fStream.Commit());
    ASSERT_EQ(fStream.Open(doc.c_str(), true), 0);
    QV_String path;
    ASSERT_TRUE(fStream.ReadPath(path));
    EXPECT_EQ(path.CString(), image);
}

TEST_F(FileStreamTest, LineNumberCountsLineFeeds)
{
    OpenWith("one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(fStream.LineNumber(), 1);
    ASSERT_TRUE(fStream.SkipPast('\n'));
    ASSERT_TRUE(fStream.SkipPast('\n'));
    char c = 0;
    ASSERT_TRUE(fStream.ReadChar(c));
    int32_t position = fStream.Position();
    EXPECT_EQ(fStream.LineNumber(), 3);
    EXPECT_EQ(fStream.Position(), position);
    ASSERT_TRUE(fStream.ReadChar(c));
    EXPECT_EQ(c, 'h');
}

TEST_F(FileStreamTest, OpenResults)
{
    fStream.fVersion = 12;
    fStream.fIndent = 3;
    fStream.SetError("old");
    EXPECT_EQ(fStream.Open(nullptr, true), -3);
    std::string missing = fFolder.File("missing.txt");
    EXPECT_EQ(fStream.Open(missing.c_str(), true), -6);
    EXPECT_EQ(fStream.Path().CString(), missing);
    EXPECT_EQ(fStream.Open(fFolder.Path().c_str(), true), -6);
    EXPECT_EQ(fStream.Open(fFolder.File("no/such/folder.txt").c_str(), false), -6);
    EXPECT_FALSE(fStream.Commit());

    OpenWith("x");
    EXPECT_EQ(fStream.fError, "");
    EXPECT_EQ(fStream.fIndent, 0);
    EXPECT_EQ(fStream.fVersion, 12);
    EXPECT_TRUE(fStream.fReading);
    EXPECT_EQ(fStream.WriteBytes("y", 1), 0);
    EXPECT_EQ(fStream.Size(), 1);
    EXPECT_TRUE(fStream.Commit());
    EXPECT_EQ(fFolder.Get("in.txt"), "x");
}

TEST_F(FileStreamTest, WriteFailureIsReported)
{
    ASSERT_EQ(fStream.Open("/dev/full", false), 0);
    fStream.WriteText("no room for this\n");
    EXPECT_FALSE(fStream.Commit());
}

TEST_F(FileStreamTest, TargetIsReplacedOnlyOnCommit)
{
    fFolder.Put("doc.celv", "old contents");
    std::string doc = fFolder.File("doc.celv");
    chmod(doc.c_str(), 0640);

    ASSERT_EQ(fStream.Open(doc.c_str(), false), 0);
    fStream.WriteText("new\n");
    EXPECT_EQ(fFolder.Get("doc.celv"), "old contents");
    ASSERT_TRUE(fStream.Commit());
    EXPECT_EQ(fFolder.Get("doc.celv"), "new\r\n");
    EXPECT_EQ(fFolder.EntryCount(), 1);
    struct stat info;
    ASSERT_EQ(stat(doc.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    ASSERT_EQ(fStream.Open(doc.c_str(), false), 0);
    fStream.WriteText("abandoned\n");
    fStream.Discard();
    EXPECT_EQ(fFolder.Get("doc.celv"), "new\r\n");
    EXPECT_EQ(fFolder.EntryCount(), 1);

    // The destructor commits what was written.
    {
        QV_FileStream stream;
        ASSERT_EQ(stream.Open(fFolder.File("fresh.txt").c_str(), false), 0);
        stream.WriteText("kept\n");
    }
    EXPECT_EQ(fFolder.Get("fresh.txt"), "kept\r\n");
    EXPECT_EQ(fFolder.EntryCount(), 2);
}

TEST_F(FileStreamTest, FailedWriteLeavesTheOldFile)
{
    fFolder.Put("doc.celv", "old contents");
    std::string doc = fFolder.File("doc.celv");

    // A file size limit makes the writes fail part way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    ASSERT_EQ(fStream.Open(doc.c_str(), false), 0);
    std::string line(99, 'z');
    line += '\n';
    for (int i = 0; i < 200; i++)
        fStream.WriteText(line.c_str());
    bool committed = fStream.Commit();
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(committed);
    EXPECT_STREQ(fStream.Failure().CString(), std::strerror(EFBIG));
    EXPECT_EQ(fFolder.Get("doc.celv"), "old contents");
    EXPECT_EQ(fFolder.EntryCount(), 1);
}

// The rename would replace a file whatever its mode: a file made read-only is refused instead,
// and every failure to write says why.
TEST_F(FileStreamTest, ReadOnlyTargetIsRefusedAndFailuresSayWhy)
{
    fFolder.Put("locked.celv", "kept");
    const std::string locked = fFolder.File("locked.celv");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    EXPECT_EQ(fStream.Open(locked.c_str(), false), -6);
    EXPECT_EQ(fStream.Failure(), "the file is read-only");
    EXPECT_EQ(fFolder.Get("locked.celv"), "kept");
    EXPECT_EQ(fFolder.EntryCount(), 1);

    const std::string missing = fFolder.File("no-folder/doc.celv");
    EXPECT_EQ(fStream.Open(missing.c_str(), false), -6);
    EXPECT_STREQ(fStream.Failure().CString(), std::strerror(ENOENT));

    ASSERT_EQ(fStream.Open(fFolder.File("fresh.celv").c_str(), false), 0);
    EXPECT_TRUE(fStream.Failure().IsEmpty());
    EXPECT_TRUE(fStream.Commit());
    EXPECT_TRUE(fStream.Failure().IsEmpty());
}
