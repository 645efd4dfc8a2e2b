#include "gif_source.h"

#include "image_test_support.h"

namespace {

// LZW codes packed least significant bit first into data sub-blocks, terminated by a zero block.
struct CodeWriter {
    std::vector<uint8_t> data;
    uint32_t accumulator = 0;
    int bits = 0;

    void Put(int code, int width)
    {
        accumulator |= uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            data.push_back(uint8_t(accumulator));
            accumulator >>= 8;
            bits -= 8;
        }
    }
    std::vector<uint8_t> Blocks()
    {
        if (bits > 0)
            data.push_back(uint8_t(accumulator));
        bits = 0;
        std::vector<uint8_t> out;
        for (size_t at = 0; at < data.size(); at += 255) {
            const size_t n = std::min<size_t>(255, data.size() - at);
            out.push_back(uint8_t(n));
            out.insert(out.end(), data.begin() + ptrdiff_t(at), data.begin() + ptrdiff_t(at + n));
        }
        out.push_back(0);
        return out;
    }
};

// Every index as a literal code, with a clear code often enough that the code width never grows.
std::vector<uint8_t> LiteralCodes(const std::vector<int>& indices, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int width = minCodeSize + 1;
    CodeWriter writer;
    int inGroup = clear - 2; // forces a clear first
    for (int index : indices) {
        if (inGroup == clear - 2) {
            writer.Put(clear, width);
            inGroup = 0;
        }
        writer.Put(index, width);
        inGroup++;
    }
    writer.Put(clear + 1, width);
    return writer.Blocks();
}

std::vector<uint8_t> Palette(int entries, uint32_t (*colour)(int))
{
    ByteBuilder b;
    for (int i = 0; i < entries; ++i) {
        const uint32_t c = colour(i);
        b.U8(c >> 16).U8(c >> 8).U8(c);
    }
    return b.bytes;
}

uint32_t Ramp(int i)
{
    return uint32_t(i * 20) << 16 | uint32_t(255 - i) << 8 | uint32_t(i);
}

struct GifLayout {
    int width = 1;
    int height = 1;
    int minCodeSize = 4;
    bool globalTable = true;
    bool localTable = false;
    bool interlaced = false;
    std::vector<uint8_t> beforeImage; // extension blocks and the like
};

// A GIF of 16-colour tables (the Ramp colours) holding the given LZW data sub-blocks.
std::vector<uint8_t> MakeGif(const GifLayout& layout, const std::vector<uint8_t>& data)
{
    ByteBuilder b;
    b.Text("GIF89a").Le16(uint32_t(layout.width)).Le16(uint32_t(layout.height));
    b.U8(layout.globalTable ? 0x80 | 3 : 0).U8(0).U8(0);
    if (layout.globalTable)
        b.Append(Palette(16, Ramp));
    b.Append(layout.beforeImage);
    b.Text(",").Le16(0).Le16(0).Le16(uint32_t(layout.width)).Le16(uint32_t(layout.height));
    b.U8((layout.localTable ? 0x80 | 3 : 0) | (layout.interlaced ? 0x40 : 0));
    if (layout.localTable)
        b.Append(Palette(16, [](int i) { return uint32_t(i) * 0x010101u + 0x000040u; }));
    b.U8(uint32_t(layout.minCodeSize)).Append(data).Text(";");
    return b.bytes;
}

Rgba RampRgba(int i)
{
    const uint32_t c = Ramp(i);
    return Rgba { int(c >> 16 & 255), int(c >> 8 & 255), int(c & 255), 0 };
}

class GifSourceTest : public testing::Test {
protected:
    SourceReadResult Read(const std::vector<uint8_t>& bytes)
    {
        const std::string path = fFolder / "in.gif";
        WriteBytes(path, bytes);
        return ReadWithSource(OpenGif, path);
    }
    ScratchFolder fFolder;
};

TEST_F(GifSourceTest, DecodesThroughTheGlobalTableAndSkipsExtensions)
{
    GifLayout layout;
    layout.width = 5;
    layout.height = 2;
    // A graphic control extension and a comment come before the image.
    ByteBuilder extensions;
    extensions.Text("!").U8(0xF9).U8(4).Fill(4, 0).U8(0);
    extensions.Text("!").U8(0xFE).U8(3).Text("hey").U8(0);
    layout.beforeImage = extensions.bytes;
    SourceReadResult result = Read(MakeGif(layout, LiteralCodes({ 0, 1, 2, 3, 4, 15, 14, 13, 12, 11 }, 4)));
    ASSERT_TRUE(result.opened) << result.messages;
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), RampRgba(0));
    EXPECT_EQ(result.At(4, 0), RampRgba(4));
    EXPECT_EQ(result.At(0, 1), RampRgba(15));
    EXPECT_EQ(result.At(4, 1), RampRgba(11));
}

TEST_F(GifSourceTest, LocalColourTableWithoutGlobalTable)
{
    GifLayout layout;
    layout.width = 3;
    layout.globalTable = false;
    layout.localTable = true;
    SourceReadResult result = Read(MakeGif(layout, LiteralCodes({ 0, 2, 15 }, 4)));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), (Rgba { 0, 0, 0x40, 0 }));
    EXPECT_EQ(result.At(1, 0), (Rgba { 2, 2, 0x42, 0 }));
    EXPECT_EQ(result.At(2, 0), (Rgba { 15, 15, 0x4F, 0 }));
}

TEST_F(GifSourceTest, InterlacedRowsComeBackInDisplayOrder)
{
    GifLayout layout;
    layout.height = 10;
    layout.interlaced = true;
    // File row k holds colour k; display row r shows the file row of the four interlace passes.
    SourceReadResult result = Read(MakeGif(layout, LiteralCodes({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }, 4)));
    ASSERT_TRUE(result.read) << result.messages;
    const int fileRowOfDisplayRow[10] = { 0, 5, 3, 6, 2, 7, 4, 8, 1, 9 };
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(result.At(0, r), RampRgba(fileRowOfDisplayRow[r])) << "display row " << r;
}

TEST_F(GifSourceTest, KwKwKCodeDecodesAndCodesBeyondTheTableBecomeZero)
{
    // Minimum code size 2: clear 4, end 5, first free entry 6, codes 3 bits wide.
    GifLayout layout;
    layout.width = 5;
    layout.minCodeSize = 2;
    CodeWriter kwkwk;
    for (int code : { 4, 1, 6, 6, 5 })
        kwkwk.Put(code, 3);
    // 1, then entry 6 = "1 1" defined by its own use, then "1 1" again.
    SourceReadResult result = Read(MakeGif(layout, kwkwk.Blocks()));
    ASSERT_TRUE(result.read) << result.messages;
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(result.At(x, 0), RampRgba(1)) << x;
    EXPECT_EQ(result.messages.find("Bogus message code 1021"), std::string::npos) << result.messages;

    layout.width = 3;
    CodeWriter beyond;
    for (int code : { 4, 1, 7, 5 })
        beyond.Put(code, 3);
    result = Read(MakeGif(layout, beyond.Blocks()));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_NE(result.messages.find("Bogus message code 1021"), std::string::npos) << result.messages;
    EXPECT_EQ(result.At(0, 0), RampRgba(1));
}

TEST_F(GifSourceTest, DataThatEndsEarlyGivesIndexZeroForTheRest)
{
    GifLayout layout;
    layout.width = 4;
    layout.height = 2;
    CodeWriter writer;
    for (int code : { 16, 3, 3 })
        writer.Put(code, 5);
    SourceReadResult result = Read(MakeGif(layout, writer.Blocks()));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), RampRgba(3));
    EXPECT_EQ(result.At(1, 0), RampRgba(3));
    EXPECT_EQ(result.At(2, 0), RampRgba(0));
    EXPECT_EQ(result.At(3, 1), RampRgba(0));
}

TEST_F(GifSourceTest, IndicesBeyondASmallTableAreBlack)
{
    // A 4-entry global table and index 9.
    ByteBuilder b;
    b.Text("GIF87a").Le16(2).Le16(1).U8(0x80 | 1).U8(0).U8(0);
    b.Append(Palette(4, Ramp));
    b.Text(",").Le16(0).Le16(0).Le16(2).Le16(1).U8(0).U8(4).Append(LiteralCodes({ 2, 9 }, 4)).Text(";");
    SourceReadResult result = Read(b.bytes);
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), RampRgba(2));
    EXPECT_EQ(result.At(1, 0), (Rgba { 0, 0, 0, 0 }));
}

TEST_F(GifSourceTest, RefusedFilesFailToOpenWithTheirCodes)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* message;
    };
    ByteBuilder trailerFirst;
    trailerFirst.Text("GIF89a").Le16(1).Le16(1).U8(0x80).U8(0).U8(0).Fill(6, 0).Text(";");
    ByteBuilder startsWithTrailer;
    startsWithTrailer.Text(";GIF89a").Le16(1).Le16(1).U8(0).U8(0).U8(0);
    GifLayout badCodeSize;
    badCodeSize.minCodeSize = 12;
    GifLayout huge;
    huge.width = 65535;
    huge.height = 65535;
    GifLayout zero;
    zero.width = 0;
    std::vector<uint8_t> cut = MakeGif(GifLayout {}, LiteralCodes({ 1 }, 4));
    cut.resize(13 + 48 + 4);
    const Case cases[] = {
        { "trailer before any image", trailerFirst.bytes, "Bogus message code 1015" },
        { "starts with the trailer", startsWithTrailer.bytes, "Bogus message code 1016" },
        { "five bytes", { 'G', 'I', 'F', '8', '9' }, "Bogus message code 1016" },
        { "minimum code size 12", MakeGif(badCodeSize, LiteralCodes({ 1 }, 4)), "Bogus message code 1013" },
        { "65535 x 65535", MakeGif(huge, LiteralCodes({ 1 }, 4)), "Bogus message code 1040" },
        { "zero width", MakeGif(zero, LiteralCodes({ 1 }, 4)), "Bogus message code 1040" },
        { "cut in the image descriptor", cut, "Premature end of input file" },
    };
    for (const Case& c : cases) {
        SourceReadResult result = Read(c.bytes);
        EXPECT_FALSE(result.opened) << c.what;
        EXPECT_NE(result.messages.find(c.message), std::string::npos) << c.what << ": " << result.messages;
    }
}

TEST_F(GifSourceTest, ImageMagickFilesReadTheSame)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    const char* const variants[] = { "-interlace None", "-interlace GIF", "-colors 7 -interlace GIF" };
    int n = 0;
    for (const char* options : variants) {
        const std::string path = fFolder / ("im" + std::to_string(n++) + ".gif");
        CommandResult made = RunCommand(convert
            + " -size 13x21 gradient:red-blue -fill lime -draw 'point 3,2' " + options + " '" + path + "'");
        ASSERT_EQ(made.status, 0) << made.output;
        SourceReadResult result = ReadWithSource(OpenGif, path);
        ASSERT_TRUE(result.read) << options << ": " << result.messages;
        ExpectSameAsImageMagick(convert, path, result.raster.buffer);
    }
}

} // namespace
