#include "bmp_codec.h"

#include "image_test_support.h"

namespace {

struct BmpLayout {
    uint32_t headerSize = 40;
    int32_t width = 2;
    int32_t height = 2;
    uint32_t planes = 1;
    uint32_t bits = 24;
    uint32_t compression = 0;
    int32_t coloursUsed = 0;
    // Palette entries written (blue, green, red, [pad]); for 8-bit files.
    int paletteEntries = 0;
    // Pixel data offset; 0 computes the real one.
    uint32_t dataOffset = 0;
};

// A bitmap file whose rows are given top row first in file order (bottom-up for positive heights
// is the caller's business); each row is padded to 4 bytes here.
std::vector<uint8_t> MakeBmp(const BmpLayout& layout, const std::vector<std::vector<uint8_t>>& fileRows,
    const std::vector<uint32_t>& palette = {})
{
    const int entrySize = layout.headerSize == 12 ? 3 : 4;
    ByteBuilder info;
    info.Le32(layout.headerSize);
    if (layout.headerSize == 12) {
        info.Le16(uint32_t(layout.width)).Le16(uint32_t(layout.height)).Le16(layout.planes).Le16(layout.bits);
    } else {
        info.Le32(uint32_t(layout.width)).Le32(uint32_t(layout.height)).Le16(layout.planes).Le16(layout.bits);
        info.Le32(layout.compression).Le32(0).Le32(2835).Le32(2835).Le32(uint32_t(layout.coloursUsed)).Le32(0);
        if (layout.headerSize > 40)
            info.Fill(layout.headerSize - 40, 0);
    }
    ByteBuilder map;
    for (int i = 0; i < layout.paletteEntries; ++i) {
        const uint32_t rgb = i < int(palette.size()) ? palette[size_t(i)] : 0;
        map.U8(rgb).U8(rgb >> 8).U8(rgb >> 16);
        if (entrySize == 4)
            map.U8(0);
    }
    ByteBuilder pixels;
    for (const auto& row : fileRows) {
        pixels.Append(row);
        pixels.Fill((4 - row.size() % 4) % 4, 0);
    }
    const uint32_t offset
        = layout.dataOffset ? layout.dataOffset : uint32_t(14 + info.bytes.size() + map.bytes.size());
    ByteBuilder file;
    file.Text("BM").Le32(uint32_t(offset + pixels.bytes.size())).Le32(0).Le32(offset);
    file.Append(info.bytes).Append(map.bytes).Append(pixels.bytes);
    return file.bytes;
}

class BmpCodecTest : public testing::Test {
protected:
    SourceReadResult Read(const std::vector<uint8_t>& bytes)
    {
        const std::string path = fFolder / "in.bmp";
        WriteBytes(path, bytes);
        return ReadWithSource(OpenBmp, path);
    }
    ScratchFolder fFolder;
};

TEST_F(BmpCodecTest, EightBitWithColoursUsedZeroReadsAFullMapAndDeliversTheTopRowFirst)
{
    BmpLayout layout;
    layout.bits = 8;
    layout.paletteEntries = 256;
    std::vector<uint32_t> palette(256);
    palette[1] = 0x102030; // red 0x10, green 0x20, blue 0x30 as 0xRRGGBB
    palette[255] = 0xA0B0C0; // only reachable through a 256-entry map
    // Bottom-up: the first file row is the bottom of the picture.
    SourceReadResult result = Read(MakeBmp(layout, { { 1, 1 }, { 255, 0 } }, palette));
    ASSERT_TRUE(result.opened) << result.messages;
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), (Rgba { 0xA0, 0xB0, 0xC0, 0 }));
    EXPECT_EQ(result.At(1, 0), (Rgba { 0, 0, 0, 0 }));
    EXPECT_EQ(result.At(0, 1), (Rgba { 0x10, 0x20, 0x30, 0 }));
}

TEST_F(BmpCodecTest, IndicesBeyondTheFilesColoursAreBlack)
{
    BmpLayout layout;
    layout.bits = 8;
    layout.width = 3;
    layout.height = 1;
    layout.coloursUsed = 2;
    layout.paletteEntries = 2;
    SourceReadResult result = Read(MakeBmp(layout, { { 0, 1, 200 } }, { 0xFFFFFF, 0x00FF00 }));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), (Rgba { 255, 255, 255, 0 }));
    EXPECT_EQ(result.At(1, 0), (Rgba { 0, 255, 0, 0 }));
    EXPECT_EQ(result.At(2, 0), (Rgba { 0, 0, 0, 0 }));
}

TEST_F(BmpCodecTest, Os2HeadersReadSixteenBitSizes)
{
    BmpLayout layout;
    layout.headerSize = 12;
    layout.width = 2;
    layout.height = 1;
    SourceReadResult result = Read(MakeBmp(layout, { { 1, 2, 3, 4, 5, 6 } }));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.width, 2);
    EXPECT_EQ(result.height, 1);
    EXPECT_EQ(result.At(0, 0), (Rgba { 3, 2, 1, 0 }));
    EXPECT_EQ(result.At(1, 0), (Rgba { 6, 5, 4, 0 }));

    layout.bits = 8;
    layout.paletteEntries = 256; // OS/2 files always carry 256 three-byte entries
    std::vector<uint32_t> palette(256);
    palette[7] = 0x112233;
    result = Read(MakeBmp(layout, { { 7, 0 } }, palette));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), (Rgba { 0x11, 0x22, 0x33, 0 }));
}

TEST_F(BmpCodecTest, NegativeHeightReadsTopDown)
{
    BmpLayout layout;
    layout.width = 1;
    layout.height = -3;
    SourceReadResult result = Read(MakeBmp(layout, { { 0, 0, 10 }, { 0, 0, 20 }, { 0, 0, 30 } }));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.height, 3);
    EXPECT_EQ(result.At(0, 0).r, 10);
    EXPECT_EQ(result.At(0, 1).r, 20);
    EXPECT_EQ(result.At(0, 2).r, 30);
}

TEST_F(BmpCodecTest, RefusedFilesFailToOpenWithTheirCodes)
{
    struct Case {
        const char* what;
        BmpLayout layout;
        const char* message;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change, const char* message) {
        BmpLayout layout;
        change(layout);
        cases.push_back({ what, layout, message });
    };
    add(
        "run-length compressed",
        [](BmpLayout& s) {
            s.bits = 8;
            s.compression = 1;
            s.paletteEntries = 256;
        },
        "Bogus message code 1006");
    add(
        "data offset inside the colour map",
        [](BmpLayout& s) {
            s.bits = 8;
            s.paletteEntries = 256;
            s.dataOffset = 54 + 1020;
        },
        "Bogus message code 1003");
    add(
        "info header size 20", [](BmpLayout& s) { s.headerSize = 20; }, "Bogus message code 1003");
    add(
        "info header size 108", [](BmpLayout& s) { s.headerSize = 108; }, "Bogus message code 1003");
    add(
        "16 bits", [](BmpLayout& s) { s.bits = 16; }, "Bogus message code 1002");
    add(
        "2 planes", [](BmpLayout& s) { s.planes = 2; }, "Bogus message code 1004");
    add(
        "300 colours",
        [](BmpLayout& s) {
            s.bits = 8;
            s.coloursUsed = 300;
            s.paletteEntries = 300;
        },
        "Bogus message code 1001");
    add(
        "zero width", [](BmpLayout& s) { s.width = 0; }, "Bogus message code 1040");
    add(
        "32768 x 32768",
        [](BmpLayout& s) {
            s.width = 32768;
            s.height = 32768;
        },
        "Bogus message code 1040");
    add(
        "the smallest negative height", [](BmpLayout& s) { s.height = INT32_MIN; }, "Bogus message code 1040");
    for (const Case& c : cases) {
        SourceReadResult result = Read(MakeBmp(c.layout, { { 1, 2, 3, 4, 5, 6 }, { 1, 2, 3, 4, 5, 6 } }));
        EXPECT_FALSE(result.opened) << c.what;
        EXPECT_NE(result.messages.find(c.message), std::string::npos) << c.what << ": " << result.messages;
    }

    std::vector<uint8_t> notBmp = MakeBmp(BmpLayout {}, { { 1, 2, 3, 4, 5, 6 } });
    notBmp[0] = 'X';
    SourceReadResult result = Read(notBmp);
    EXPECT_FALSE(result.opened);
    EXPECT_NE(result.messages.find("Bogus message code 1007"), std::string::npos) << result.messages;
}

TEST_F(BmpCodecTest, AFileTooShortForItsRowsIsRefusedBeforeAnyBufferIsMade)
{
    BmpLayout layout;
    layout.height = 4;
    SourceReadResult result = Read(MakeBmp(layout, { { 1, 2, 3, 4, 5, 6 }, { 1, 2, 3, 4, 5, 6 } }));
    EXPECT_FALSE(result.opened);
    EXPECT_NE(result.messages.find("Premature end of input file"), std::string::npos) << result.messages;

    // A tiny file that claims 16000 x 16000 pixels: within the largest image, but no file of
    // 60 bytes holds them.
    layout.width = 16000;
    layout.height = 16000;
    result = Read(MakeBmp(layout, { { 1, 2, 3, 4, 5, 6 } }));
    EXPECT_FALSE(result.opened);
    EXPECT_NE(result.messages.find("Premature end of input file"), std::string::npos) << result.messages;
}

TEST_F(BmpCodecTest, WriteBmpOfThreeByTwoWritesPaddedBottomUpRows)
{
    OwnedRaster raster = PatternRaster(3, 2, true);
    const std::string path = fFolder / "out.bmp";
    ASSERT_TRUE(WriteBmp(raster.buffer, path.c_str()));
    std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 78u);
    EXPECT_EQ(Little32(bytes, 2), 78u);
    EXPECT_EQ(Little32(bytes, 10), 54u);
    EXPECT_EQ(Little32(bytes, 14), 40u);
    EXPECT_EQ(Little32(bytes, 22), 2u); // positive height: bottom-up
    // The first file row is the raster's last row: blue, green, red, then 3 zero bytes.
    for (int x = 0; x < 3; ++x)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(bytes[54 + size_t(3 * x + c)], raster.At(x, 1)[c]);
    EXPECT_EQ(bytes[63], 0);
    EXPECT_EQ(bytes[65], 0);

    SourceReadResult back = ReadWithSource(OpenBmp, path);
    ASSERT_TRUE(back.read);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            Rgba want = PixelAt(raster.buffer, x, y);
            want.a = 0;
            EXPECT_EQ(back.At(x, y), want);
        }
}

TEST_F(BmpCodecTest, WriteBmpRefusesRastersThatAreNotThirtyTwoBit)
{
    OwnedRaster raster(3, 2, 24);
    EXPECT_FALSE(WriteBmp(raster.buffer, (fFolder / "out.bmp").c_str()));
    EXPECT_TRUE(fFolder.Names().empty());
}

TEST_F(BmpCodecTest, ImageMagickFilesReadTheSame)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    struct Case {
        const char* format;
        const char* options;
    };
    const Case cases[] = {
        { "BMP2", "-type TrueColor" }, // OS/2 header
        { "BMP3", "-type TrueColor" },
        { "BMP3", "-type Palette -compress None" },
    };
    for (const Case& c : cases) {
        const std::string path
            = fFolder / (std::string(c.format) + "-" + std::to_string(&c - cases) + ".bmp");
        CommandResult made
            = RunCommand(convert + " -size 9x20 gradient:red-blue -fill lime -draw 'point 2,1' " + c.options
                + " " + c.format + ":'" + path + "'");
        ASSERT_EQ(made.status, 0) << made.output;
        SourceReadResult result = ReadWithSource(OpenBmp, path);
        ASSERT_TRUE(result.read) << c.format << " " << c.options << ": " << result.messages;
        ExpectSameAsImageMagick(convert, path, result.raster.buffer);
    }
}

TEST_F(BmpCodecTest, ImageMagickReadsOurFiles)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    OwnedRaster raster = PatternRaster(5, 3, false);
    const std::string path = fFolder / "ours.bmp";
    ASSERT_TRUE(WriteBmp(raster.buffer, path.c_str()));
    ExpectSameAsImageMagick(convert, path, raster.buffer);
}

} // namespace
