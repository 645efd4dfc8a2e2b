#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

#include "frame_test_support.h"
#include "qv_app.h"
#include "qv_dc.h"
#include "qv_entry.h"
#include "qv_handler.h"
#include "qv_message.h"
#include "qv_platform_image.h"

TEST(QV_PlatformImage, RowsAreStoredBottomUpAndPaddedToFourPixels)
{
    QV_PlatformImage image;
    ASSERT_EQ(image.Create(30, 10, 32), 0);
    EXPECT_EQ(image.buffer.width, 30);
    EXPECT_EQ(image.buffer.rowBytes, -128);
    EXPECT_EQ(image.MemoryRowBytes(), 128);
    // Row 0 of the raster is the last row in memory.
    EXPECT_EQ(image.buffer.pixels, image.Memory() + 128 * 9);
    EXPECT_EQ(image.buffer.pixels + 9 * image.buffer.rowBytes, image.Memory());

    ASSERT_EQ(image.Create(5, 3, 24), 0);
    EXPECT_EQ(image.buffer.rowBytes, -24); // 8 padded pixels of 3 bytes
    EXPECT_EQ(image.buffer.bytesPerPixel, 3);
    ASSERT_EQ(image.Create(5, 3, 8), 0);
    EXPECT_EQ(image.buffer.rowBytes, -8);
    for (int32_t i = 0; i < 8 * 3; ++i)
        EXPECT_EQ(image.Memory()[i], 0); // new images start out zero
}

TEST(QV_PlatformImage, SameSizeKeepsThePixelsAndBadSizesLeaveItEmpty)
{
    QV_PlatformImage image;
    ASSERT_EQ(image.Create(16, 16, 32), 0);
    uint8_t* pixels = image.buffer.pixels;
    pixels[0] = 77;
    EXPECT_EQ(image.Create(16, 16, 32), 0);
    EXPECT_EQ(image.buffer.pixels, pixels);
    EXPECT_EQ(image.buffer.pixels[0], 77);
    EXPECT_EQ(image.Create(16, 16, 16), 0);
    EXPECT_EQ(image.buffer.bytesPerPixel, 2);
    EXPECT_EQ(image.buffer.rowBytes, -32);

    struct Case {
        int32_t width, height, depth, result;
    } cases[] = { { 10, 10, 12, -3 }, { 0, 10, 32, -3 }, { 10, -1, 32, -3 }, { 1 << 16, 1 << 14, 32, -5 } };
    for (const Case& c : cases) {
        EXPECT_EQ(image.Create(c.width, c.height, c.depth), c.result) << c.width << " " << c.depth;
        EXPECT_EQ(image.buffer.pixels, nullptr);
    }
    // The base image's operations reach the same memory.
    EXPECT_EQ(image.Allocate(4, 4, 32), 0);
    QV_PixelBuffer sub;
    EXPECT_EQ(image.GetSubPixelBuffer({ 1, 1, 2, 2 }, sub), 0);
    EXPECT_EQ(sub.pixels, image.buffer.pixels + 4 - 16);
}

TEST(QV_Handler, APostedMessageIsHandledAndGoneBeforePostReturns)
{
    struct Recorder : QV_Handler {
        void HandleMessage(QV_Message* message) override
        {
            whats.push_back(message->fWhat);
            counts.push_back(message->Count());
        }
        std::vector<int32_t> whats;
        std::vector<int32_t> counts;
    } recorder;
    recorder.PostMessage(5);
    recorder.PostMessage(-1004);
    EXPECT_EQ(recorder.whats, (std::vector<int32_t> { 5, -1004 }));
    EXPECT_EQ(recorder.counts, (std::vector<int32_t> { 0, 0 }));
    QV_Handler silent;
    silent.PostMessage(5); // nothing happens, nothing stays allocated
}

class CommandLineTest : public FrameTest { };

TEST_F(CommandLineTest, JoinedTrimmedAndResolvedWhenItNamesAFile)
{
    PutFile("home/my doc.celv", "x");
    const std::string file = fRoot.File("home/my doc.celv");
    const std::string resolved = std::filesystem::canonical(file).string();
    const std::string quoted = "\"" + file + "\"";
    const std::string firstWord = fRoot.File("home/my");
    const std::string lastWord = "doc.celv";

    struct Case {
        std::vector<std::string> args;
        std::string line;
        std::string longLine;
    } cases[] = {
        { {}, "", "" }, { { "a", "b" }, "a b", "" }, { { "  a ", " " }, "a", "" },
        { { file }, file, resolved },
        { { firstWord, lastWord }, file, resolved }, // a path split by the shell
        { { quoted }, quoted, "" }, // the quotes are part of the text
        { { " " + file }, file, "" }, // the long form is taken before trimming
    };
    for (const Case& c : cases) {
        std::vector<char*> argv { const_cast<char*>("celvane") };
        for (const std::string& arg : c.args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        SetCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(gCommandLine, c.line.c_str()) << c.line;
        EXPECT_EQ(gLongCommandLine, c.longLine.c_str()) << c.line;
    }
}

TEST(ScreenQueries, FallBackWithoutAScreen)
{
    // Without the video layer running the queries answer from their defaults.
    EXPECT_EQ(ScreenBytesPerPixel(), 4);
    QV_Rect area = UsableScreenRect();
    EXPECT_EQ(area.right, 1023);
    EXPECT_EQ(area.bottom, 767);
}
