#include "targa_codec.h"

#include "image_test_support.h"

namespace {

struct TgaLayout {
    int imageType = 2;
    int bits = 24;
    int width = 2;
    int height = 1;
    int descriptor = 0x20;
    int mapType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 24;
    int idLength = 0;
};

std::vector<uint8_t> MakeTga(const TgaLayout& layout, const std::vector<uint8_t>& body)
{
    ByteBuilder b;
    b.U8(uint32_t(layout.idLength)).U8(uint32_t(layout.mapType)).U8(uint32_t(layout.imageType));
    b.Le16(uint32_t(layout.mapFirst)).Le16(uint32_t(layout.mapLength)).U8(uint32_t(layout.mapEntryBits));
    b.Le16(0).Le16(0).Le16(uint32_t(layout.width)).Le16(uint32_t(layout.height));
    b.U8(uint32_t(layout.bits)).U8(uint32_t(layout.descriptor));
    b.Fill(size_t(layout.idLength), 'i');
    b.Append(body);
    return b.bytes;
}

class TargaCodecTest : public testing::Test {
protected:
    SourceReadResult Read(const std::vector<uint8_t>& bytes)
    {
        const std::string path = fFolder / "in.tga";
        WriteBytes(path, bytes);
        return ReadWithSource(OpenTarga, path);
    }
    ScratchFolder fFolder;
};

TEST_F(TargaCodecTest, FifteenAndSixteenBitPixelsExpandFiveBitChannels)
{
    for (int bits : { 15, 16 }) {
        TgaLayout layout;
        layout.bits = bits;
        layout.width = 3;
        // Red 31, green 31 with bit 15 set (ignored), blue 16.
        SourceReadResult result
            = Read(MakeTga(layout, ByteBuilder().Le16(0x7C00).Le16(0x83E0).Le16(0x0010).bytes));
        ASSERT_TRUE(result.read) << bits << ": " << result.messages;
        EXPECT_EQ(result.At(0, 0), (Rgba { 255, 0, 0, 0 })) << bits;
        EXPECT_EQ(result.At(1, 0), (Rgba { 0, 255, 0, 0 })) << bits;
        EXPECT_EQ(result.At(2, 0), (Rgba { 0, 0, 132, 0 })) << bits;
    }
}

TEST_F(TargaCodecTest, RunLengthPacketsRepeatOrCarryLiterals)
{
    TgaLayout layout;
    layout.imageType = 10;
    layout.width = 8;
    ByteBuilder body;
    body.U8(0x83).U8(1).U8(2).U8(3); // one pixel four times
    body.U8(0x03); // four literal pixels
    for (int i = 0; i < 4; ++i)
        body.U8(uint32_t(10 * i)).U8(20).U8(30);
    SourceReadResult result = Read(MakeTga(layout, body.bytes));
    ASSERT_TRUE(result.read) << result.messages;
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(result.At(x, 0), (Rgba { 3, 2, 1, 0 })) << x;
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(result.At(4 + x, 0), (Rgba { 30, 20, 10 * x, 0 })) << x;
}

TEST_F(TargaCodecTest, BottomUpAndTopDownFilesBothDeliverTheTopRowFirst)
{
    for (int descriptor : { 0x00, 0x20 }) {
        TgaLayout layout;
        layout.width = 1;
        layout.height = 3;
        layout.descriptor = descriptor;
        ByteBuilder body;
        for (int row = 0; row < 3; ++row)
            body.U8(0).U8(0).U8(uint32_t(100 + row)); // red = 100 + file row
        SourceReadResult result = Read(MakeTga(layout, body.bytes));
        ASSERT_TRUE(result.read) << result.messages;
        for (int y = 0; y < 3; ++y) {
            const int fileRow = descriptor & 0x20 ? y : 2 - y;
            EXPECT_EQ(result.At(0, y).r, 100 + fileRow) << "descriptor " << descriptor << " row " << y;
        }
    }
}

TEST_F(TargaCodecTest, GreyAndColourMappedFiles)
{
    TgaLayout grey;
    grey.imageType = 3;
    grey.bits = 8;
    grey.width = 2;
    SourceReadResult result = Read(MakeTga(grey, { 7, 200 }));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), (Rgba { 7, 7, 7, 0 }));
    EXPECT_EQ(result.At(1, 0), (Rgba { 200, 200, 200, 0 }));

    TgaLayout mapped;
    mapped.imageType = 9; // run-length colour-mapped
    mapped.bits = 8;
    mapped.width = 3;
    mapped.mapType = 1;
    mapped.mapLength = 2;
    mapped.idLength = 5;
    ByteBuilder body;
    body.U8(30).U8(20).U8(10).U8(3).U8(2).U8(1); // entries blue, green, red
    body.U8(0x02).U8(1).U8(0).U8(77); // index 77 lies beyond the two entries
    result = Read(MakeTga(mapped, body.bytes));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), (Rgba { 1, 2, 3, 0 }));
    EXPECT_EQ(result.At(1, 0), (Rgba { 10, 20, 30, 0 }));
    EXPECT_EQ(result.At(2, 0), (Rgba { 0, 0, 0, 0 }));
}

TEST_F(TargaCodecTest, RefusedFilesFailToOpenWithTheirCodes)
{
    struct Case {
        const char* what;
        void (*change)(TgaLayout&);
        const char* message;
    };
    const Case cases[] = {
        { "16-bit colour map",
            [](TgaLayout& s) {
                s.imageType = 1;
                s.bits = 8;
                s.mapType = 1;
                s.mapLength = 2;
                s.mapEntryBits = 16;
            },
            "Bogus message code 1032" },
        { "300 map entries",
            [](TgaLayout& s) {
                s.imageType = 1;
                s.bits = 8;
                s.mapType = 1;
                s.mapLength = 300;
            },
            "Bogus message code 1032" },
        { "map starting at entry 1",
            [](TgaLayout& s) {
                s.imageType = 1;
                s.bits = 8;
                s.mapType = 1;
                s.mapLength = 2;
                s.mapFirst = 1;
            },
            "Bogus message code 1032" },
        { "colour map type 1 without entries", [](TgaLayout& s) { s.mapType = 1; }, "Bogus message code 1033" },
        { "colour map type 2", [](TgaLayout& s) { s.mapType = 2; }, "Bogus message code 1033" },
        { "12 bits", [](TgaLayout& s) { s.bits = 12; }, "Bogus message code 1033" },
        { "48 bits", [](TgaLayout& s) { s.bits = 48; }, "Bogus message code 1033" },
        { "interleaved", [](TgaLayout& s) { s.descriptor = 0x60; }, "Bogus message code 1033" },
        { "image type 5", [](TgaLayout& s) { s.imageType = 5; }, "Bogus message code 1033" },
        { "16-bit colour-mapped pixels",
            [](TgaLayout& s) {
                s.imageType = 1;
                s.bits = 16;
                s.mapType = 1;
                s.mapLength = 2;
            },
            "Bogus message code 1033" },
        { "zero height", [](TgaLayout& s) { s.height = 0; }, "Bogus message code 1040" },
        { "65535 x 65535",
            [](TgaLayout& s) {
                s.width = 65535;
                s.height = 65535;
            },
            "Bogus message code 1040" },
        { "ID field cut", [](TgaLayout& s) { s.idLength = 255; }, "Premature end of input file" },
    };
    for (const Case& c : cases) {
        TgaLayout layout;
        c.change(layout);
        std::vector<uint8_t> bytes = MakeTga(layout, std::vector<uint8_t>(16, 1));
        if (layout.idLength == 255)
            bytes.resize(40);
        SourceReadResult result = Read(bytes);
        EXPECT_FALSE(result.opened) << c.what;
        EXPECT_NE(result.messages.find(c.message), std::string::npos) << c.what << ": " << result.messages;
    }
    SourceReadResult result = Read({ 0, 0, 2, 0, 0 });
    EXPECT_FALSE(result.opened);
    EXPECT_NE(result.messages.find("Premature end of input file"), std::string::npos) << result.messages;
}

TEST_F(TargaCodecTest, ShortPixelDataReadsAsWhiteButACutPacketHeaderFails)
{
    TgaLayout layout;
    layout.width = 2;
    SourceReadResult result = Read(MakeTga(layout, { 1, 2, 3 }));
    ASSERT_TRUE(result.read) << result.messages;
    EXPECT_EQ(result.At(0, 0), (Rgba { 3, 2, 1, 0 }));
    EXPECT_EQ(result.At(1, 0), (Rgba { 255, 255, 255, 0 }));

    layout.imageType = 10;
    result = Read(MakeTga(layout, { 0x80, 1, 2, 3 }));
    EXPECT_TRUE(result.opened);
    EXPECT_FALSE(result.read);
    EXPECT_NE(result.messages.find("Premature end of input file"), std::string::npos) << result.messages;
}

TEST_F(TargaCodecTest, WriteTargaStoresATopDownThirtyTwoBitFileWithAlpha)
{
    OwnedRaster raster = PatternRaster(3, 2, true);
    const std::string path = fFolder / "out.tga";
    ASSERT_TRUE(WriteTarga(raster.buffer, path.c_str()));
    std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 18u + 3 * 2 * 4);
    const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 18);
    EXPECT_EQ(header, (std::vector<uint8_t> { 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 32, 0x20 }));
    EXPECT_TRUE(std::equal(bytes.begin() + 18, bytes.begin() + 30, raster.Row(0)));
    EXPECT_TRUE(std::equal(bytes.begin() + 30, bytes.end(), raster.Row(1)));

    // Read back: colours survive, the reader drops alpha.
    SourceReadResult back = ReadWithSource(OpenTarga, path);
    ASSERT_TRUE(back.read) << back.messages;
    Rgba want = PixelAt(raster.buffer, 2, 1);
    want.a = 0;
    EXPECT_EQ(back.At(2, 1), want);

    OwnedRaster wide(70000, 1, 32);
    EXPECT_FALSE(WriteTarga(wide.buffer, path.c_str()));
    OwnedRaster rgb(2, 2, 24);
    EXPECT_FALSE(WriteTarga(rgb.buffer, path.c_str()));
    EXPECT_EQ(ReadBytes(path), bytes); // failed writes leave the file as it was
}

TEST_F(TargaCodecTest, ImageMagickFilesReadTheSame)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    const char* const variants[] = { "-compress RLE", "-compress None", "-compress RLE -type Palette",
        "-compress RLE -colorspace Gray", "-flip -orient BottomLeft" };
    int n = 0;
    for (const char* options : variants) {
        const std::string path = fFolder / ("im" + std::to_string(n++) + ".tga");
        CommandResult made
            = RunCommand(convert + " -size 13x21 gradient:red-blue -fill lime -draw 'rectangle 3,2 9,4' "
                + options + " '" + path + "'");
        ASSERT_EQ(made.status, 0) << made.output;
        SourceReadResult result = ReadWithSource(OpenTarga, path);
        ASSERT_TRUE(result.read) << options << ": " << result.messages;
        ExpectSameAsImageMagick(convert, path, result.raster.buffer);
    }
}

TEST_F(TargaCodecTest, ImageMagickReadsOurFiles)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    OwnedRaster raster = PatternRaster(5, 3, false);
    const std::string path = fFolder / "ours.tga";
    ASSERT_TRUE(WriteTarga(raster.buffer, path.c_str()));
    ExpectSameAsImageMagick(convert, path, raster.buffer);
}

} // namespace
