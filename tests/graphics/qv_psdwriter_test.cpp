#include "qv_psdwriter.h"

#include <algorithm>
#include <cstring>

#include "image_test_support.h"

namespace {

std::vector<uint8_t> Pack(const std::vector<uint8_t>& row)
{
    std::vector<uint8_t> out(PackBitsBound(int32_t(row.size())));
    out.resize(PackBitsRow(row.data(), int32_t(row.size()), out.data()));
    return out;
}

// Decodes PackBits; false when the data does not give exactly n bytes.
bool Unpack(const uint8_t* data, size_t size, size_t n, std::vector<uint8_t>& out)
{
    out.clear();
    size_t at = 0;
    while (at < size) {
        const int8_t count = int8_t(data[at++]);
        if (count >= 0) {
            if (at + size_t(count) + 1 > size)
                return false;
            out.insert(out.end(), data + at, data + at + count + 1);
            at += size_t(count) + 1;
        } else if (count != -128) {
            if (at >= size)
                return false;
            out.insert(out.end(), size_t(1 - count), data[at++]);
        }
    }
    return out.size() == n;
}

TEST(PackBitsRowTest, RunsAndLiterals)
{
    EXPECT_EQ(Pack(std::vector<uint8_t>(10, 0xFF)), (std::vector<uint8_t> { 0xF7, 0xFF }));
    EXPECT_EQ(Pack(std::vector<uint8_t>(200, 0xFF)), (std::vector<uint8_t> { 0x81, 0xFF, 0xB9, 0xFF }));
    EXPECT_EQ(Pack({ 1, 2, 3 }), (std::vector<uint8_t> { 0x02, 1, 2, 3 }));
    EXPECT_EQ(Pack({ 1, 2, 5, 5, 5, 5, 9 }), (std::vector<uint8_t> { 0x01, 1, 2, 0xFD, 5, 0x00, 9 }));
    EXPECT_EQ(Pack({}), (std::vector<uint8_t> {}));

    // Whatever the row, the packed form decodes back to it and stays within the bound.
    uint32_t seed = 12345;
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<uint8_t> row(size_t(seed % 400));
        for (auto& b : row) {
            seed = seed * 1103515245 + 12345;
            b = uint8_t((seed >> 16) % (trial % 3 == 0 ? 2 : 7));
        }
        const std::vector<uint8_t> packed = Pack(row);
        std::vector<uint8_t> back;
        EXPECT_TRUE(Unpack(packed.data(), packed.size(), row.size(), back));
        EXPECT_EQ(back, row);
        EXPECT_LE(packed.size(), PackBitsBound(int32_t(row.size())));
    }
}

// What a reader finds in one of our files.
struct PsdLayer {
    int32_t top, left, bottom, right;
    std::string blendKey;
    int opacity;
    std::string name;
    size_t nameFieldSize;
    // Decoded channels -1, 0, 1, 2.
    std::vector<uint8_t> channels[4];
};

struct PsdFile {
    int32_t width = 0, height = 0;
    std::vector<PsdLayer> layers;
    std::vector<uint8_t> merged[3];
};

// Reads the file the way a document reader does, checking every length on the way.
::testing::AssertionResult ParsePsd(const std::vector<uint8_t>& b, PsdFile& psd)
{
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "8BPS")
        return ::testing::AssertionFailure() << "no signature";
    if (Big16(b, 4) != 1 || Big16(b, 12) != 3 || Big16(b, 22) != 8 || Big16(b, 24) != 3 || Big32(b, 26) != 0
        || Big32(b, 30) != 0)
        return ::testing::AssertionFailure() << "bad header fields";
    psd.height = int32_t(Big32(b, 14));
    psd.width = int32_t(Big32(b, 18));
    const size_t layerAndMaskEnd = 38 + Big32(b, 34);
    const size_t layerInfoEnd = 42 + Big32(b, 38);
    const int count = int16_t(Big16(b, 42));
    size_t at = 44;
    std::vector<std::array<uint32_t, 4>> lengths;
    for (int i = 0; i < count; ++i) {
        PsdLayer layer;
        layer.top = int32_t(Big32(b, at));
        layer.left = int32_t(Big32(b, at + 4));
        layer.bottom = int32_t(Big32(b, at + 8));
        layer.right = int32_t(Big32(b, at + 12));
        at += 16;
        if (Big16(b, at) != 4)
            return ::testing::AssertionFailure() << "layer " << i << " channel count";
        at += 2;
        std::array<uint32_t, 4> length {};
        const int ids[4] = { -1, 0, 1, 2 };
        for (int c = 0; c < 4; ++c) {
            if (int16_t(Big16(b, at)) != ids[c])
                return ::testing::AssertionFailure() << "layer " << i << " channel id";
            length[size_t(c)] = Big32(b, at + 2);
            at += 6;
        }
        lengths.push_back(length);
        if (std::string(b.begin() + ptrdiff_t(at), b.begin() + ptrdiff_t(at + 4)) != "8BIM")
            return ::testing::AssertionFailure() << "layer " << i << " 8BIM";
        layer.blendKey.assign(b.begin() + ptrdiff_t(at + 4), b.begin() + ptrdiff_t(at + 8));
        layer.opacity = b.at(at + 8);
        at += 12;
        const size_t extra = Big32(b, at);
        const size_t extraEnd = at + 4 + extra;
        if (Big32(b, at + 4) != 0 || Big32(b, at + 8) != 0)
            return ::testing::AssertionFailure() << "layer " << i << " mask or ranges";
        const size_t n = b.at(at + 12);
        layer.name.assign(b.begin() + ptrdiff_t(at + 13), b.begin() + ptrdiff_t(at + 13 + n));
        layer.nameFieldSize = extraEnd - (at + 12);
        if (layer.nameFieldSize % 4 != 0 || layer.nameFieldSize < 1 + n || layer.nameFieldSize > 1 + n + 3)
            return ::testing::AssertionFailure() << "layer " << i << " name padding " << layer.nameFieldSize;
        at = extraEnd;
        psd.layers.push_back(layer);
    }
    for (int i = 0; i < count; ++i) {
        PsdLayer& layer = psd.layers[size_t(i)];
        const size_t w = size_t(layer.right - layer.left), h = size_t(layer.bottom - layer.top);
        for (int c = 0; c < 4; ++c) {
            const size_t start = at;
            if (Big16(b, at) != 1)
                return ::testing::AssertionFailure() << "layer " << i << " compression";
            size_t data = at + 2 + 2 * h;
            for (size_t row = 0; row < h; ++row) {
                const size_t rowSize = Big16(b, at + 2 + 2 * row);
                std::vector<uint8_t> bytes;
                if (data + rowSize > b.size() || !Unpack(b.data() + data, rowSize, w, bytes))
                    return ::testing::AssertionFailure()
                        << "layer " << i << " channel " << c << " row " << row;
                layer.channels[c].insert(layer.channels[c].end(), bytes.begin(), bytes.end());
                data += rowSize;
            }
            at = data;
            if (at - start != lengths[size_t(i)][size_t(c)])
                return ::testing::AssertionFailure() << "layer " << i << " channel " << c << " length";
        }
    }
    if (at != layerInfoEnd)
        return ::testing::AssertionFailure()
            << "layer info length " << layerInfoEnd << " but data ends at " << at;
    if (Big32(b, at) != 0 || at + 4 != layerAndMaskEnd)
        return ::testing::AssertionFailure() << "layer and mask length";
    at += 4;
    if (Big16(b, at) != 1)
        return ::testing::AssertionFailure() << "merged compression";
    size_t data = at + 2 + 6 * size_t(psd.height);
    for (int c = 0; c < 3; ++c)
        for (int32_t row = 0; row < psd.height; ++row) {
            const size_t rowSize = Big16(b, at + 2 + 2 * (size_t(c) * size_t(psd.height) + size_t(row)));
            std::vector<uint8_t> bytes;
            if (!Unpack(b.data() + data, rowSize, size_t(psd.width), bytes))
                return ::testing::AssertionFailure() << "merged row";
            psd.merged[c].insert(psd.merged[c].end(), bytes.begin(), bytes.end());
            data += rowSize;
        }
    if (data != b.size())
        return ::testing::AssertionFailure() << "file continues after the merged image";
    return ::testing::AssertionSuccess();
}

// The channel bytes a layer should hold for a raster: alpha, red, green, blue.
std::vector<uint8_t> ChannelOf(OwnedRaster& raster, int byteIndex)
{
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < raster.buffer.height; ++y)
        for (int32_t x = 0; x < raster.buffer.width; ++x)
            out.push_back(raster.At(x, y)[byteIndex]);
    return out;
}

class PsdWriterTest : public testing::Test {
protected:
    ScratchFolder fFolder;
    std::string fPath = fFolder / "out.psd";
};

TEST_F(PsdWriterTest, LayersKeepTheirNamesKeysOpacityAndPixels)
{
    OwnedRaster first = PatternRaster(7, 3, true);
    OwnedRaster second = PatternRaster(7, 3, false);
    second.Fill32(Pixel32(128, 255, 0, 0));
    QV_PSDWriter writer;
    ASSERT_EQ(writer.Open(fPath.c_str()), 0);
    writer.WriteHeader(7, 3);
    writer.AddLayer("Bkg", "norm", 255);
    writer.AddLayer("Overlay layer", "mul ", 77);
    writer.WriteLayerImage(first.buffer);
    writer.WriteLayerImage(second.buffer);
    writer.WriteLayerImage(second.buffer); // one more than added: nothing is written
    EXPECT_TRUE(fFolder.Names().size() == 1 && fFolder.Names()[0] != "out.psd"); // only the temporary file
    ASSERT_EQ(writer.Finish(), 0);

    PsdFile psd;
    ASSERT_TRUE(ParsePsd(ReadBytes(fPath), psd));
    EXPECT_EQ(psd.width, 7);
    EXPECT_EQ(psd.height, 3);
    ASSERT_EQ(psd.layers.size(), 2u);
    EXPECT_EQ(psd.layers[0].name, "Bkg");
    EXPECT_EQ(psd.layers[0].nameFieldSize, 4u); // 1 + 3 needs no padding
    EXPECT_EQ(psd.layers[0].blendKey, "norm");
    EXPECT_EQ(psd.layers[0].opacity, 255);
    EXPECT_EQ(psd.layers[1].name, "Overlay layer");
    EXPECT_EQ(psd.layers[1].nameFieldSize, 16u);
    EXPECT_EQ(psd.layers[1].blendKey, "mul ");
    EXPECT_EQ(psd.layers[1].opacity, 77);
    EXPECT_EQ(psd.layers[1].bottom, 3);
    EXPECT_EQ(psd.layers[1].right, 7);
    const int bytes[4] = { 3, 2, 1, 0 };
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(psd.layers[0].channels[c], ChannelOf(first, bytes[c])) << c;
        EXPECT_EQ(psd.layers[1].channels[c], ChannelOf(second, bytes[c])) << c;
    }
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(psd.merged[c], std::vector<uint8_t>(21, 0xFF));
}

TEST_F(PsdWriterTest, TheMergedImageIsTheGivenCompositeOverWhite)
{
    // 3 x 2, the left column opaque (10, 20, 30), the middle one half transparent (200, 100, 0),
    // the right one transparent; the composite is a column narrower than the document.
    OwnedRaster composite(3, 2, 32);
    for (int32_t y = 0; y < 2; ++y) {
        uint8_t* row = composite.buffer.pixels + ptrdiff_t(y) * composite.buffer.rowBytes;
        const uint8_t pixels[12] = { 30, 20, 10, 255, 0, 100, 200, 128, 9, 9, 9, 0 };
        std::memcpy(row, pixels, sizeof pixels);
    }
    QV_PSDWriter writer;
    ASSERT_EQ(writer.Open(fPath.c_str()), 0);
    writer.WriteHeader(4, 2);
    writer.AddLayer("Only", "norm", 255);
    writer.WriteLayerImage(composite.buffer);
    ASSERT_EQ(writer.Finish(&composite.buffer), 0);

    PsdFile psd;
    ASSERT_TRUE(ParsePsd(ReadBytes(fPath), psd));
    // c x a / 255 + 255 x (255 - a) / 255, rounded.
    const std::vector<uint8_t> red { 10, 227, 255, 255, 10, 227, 255, 255 };
    const std::vector<uint8_t> green { 20, 177, 255, 255, 20, 177, 255, 255 };
    const std::vector<uint8_t> blue { 30, 127, 255, 255, 30, 127, 255, 255 };
    EXPECT_EQ(psd.merged[0], red);
    EXPECT_EQ(psd.merged[1], green);
    EXPECT_EQ(psd.merged[2], blue);
}

TEST_F(PsdWriterTest, ADocumentWithoutLayersGetsOneTransparentEmptyLayer)
{
    QV_PSDWriter writer;
    ASSERT_EQ(writer.Open(fPath.c_str()), 0);
    writer.WriteHeader(4, 2);
    ASSERT_EQ(writer.Finish(), 0);
    PsdFile psd;
    ASSERT_TRUE(ParsePsd(ReadBytes(fPath), psd));
    ASSERT_EQ(psd.layers.size(), 1u);
    EXPECT_EQ(psd.layers[0].name, "Empty Layer");
    EXPECT_EQ(psd.layers[0].blendKey, "norm");
    EXPECT_EQ(psd.layers[0].opacity, 255);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(psd.layers[0].channels[c], std::vector<uint8_t>(8, 0));
}

TEST_F(PsdWriterTest, NamesArePaddedAndCutAt255Bytes)
{
    const std::string longName(300, 'n');
    QV_PSDWriter writer;
    ASSERT_EQ(writer.Open(fPath.c_str()), 0);
    writer.WriteHeader(2, 2);
    writer.AddLayer("", "scrn", 10);
    writer.AddLayer("ab", "over", 20);
    writer.AddLayer(longName.c_str(), "diff", 30);
    ASSERT_EQ(writer.Finish(), 0); // layers without data get transparent data
    PsdFile psd;
    ASSERT_TRUE(ParsePsd(ReadBytes(fPath), psd));
    ASSERT_EQ(psd.layers.size(), 3u);
    EXPECT_EQ(psd.layers[0].name, "");
    EXPECT_EQ(psd.layers[0].nameFieldSize, 4u);
    EXPECT_EQ(psd.layers[1].nameFieldSize, 4u);
    EXPECT_EQ(psd.layers[2].name, longName.substr(0, 255));
    EXPECT_EQ(psd.layers[2].nameFieldSize, 256u);
}

TEST_F(PsdWriterTest, MoreThan256LayersAllArrive)
{
    OwnedRaster raster = PatternRaster(3, 2, true);
    QV_PSDWriter writer;
    ASSERT_EQ(writer.Open(fPath.c_str()), 0);
    writer.WriteHeader(3, 2);
    for (int i = 0; i < 300; ++i)
        writer.AddLayer(("L" + std::to_string(i)).c_str(), "norm", i % 256);
    for (int i = 0; i < 300; ++i) {
        raster.At(0, 0)[2] = uint8_t(i);
        writer.WriteLayerImage(raster.buffer);
    }
    ASSERT_EQ(writer.Finish(), 0);
    PsdFile psd;
    ASSERT_TRUE(ParsePsd(ReadBytes(fPath), psd));
    ASSERT_EQ(psd.layers.size(), 300u);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(psd.layers[size_t(i)].name, "L" + std::to_string(i));
        EXPECT_EQ(psd.layers[size_t(i)].channels[1][0], uint8_t(i)) << i;
    }
    const std::string identify = ImageMagickTool("identify");
    if (!identify.empty()) {
        CommandResult listed = RunCommand(identify + " -format '%[label]\\n' '" + fPath + "'");
        ASSERT_EQ(listed.status, 0) << listed.output;
        // One label line per layer (the merged image has none).
        std::vector<std::string> labels;
        size_t start = 0;
        for (size_t end; (end = listed.output.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string line = listed.output.substr(start, end - start);
            if (line.size() > 1 && line[0] == 'L' && isdigit(static_cast<unsigned char>(line[1])))
                labels.push_back(line);
        }
        ASSERT_EQ(labels.size(), 300u) << listed.output;
        EXPECT_EQ(labels.front(), "L0");
        EXPECT_EQ(labels.back(), "L299");
    }
}

TEST_F(PsdWriterTest, RastersOfAnotherSizeAreCroppedOrPadded)
{
    OwnedRaster large = PatternRaster(6, 5, true);
    OwnedRaster small = PatternRaster(2, 1, true);
    QV_PSDWriter writer;
    ASSERT_EQ(writer.Open(fPath.c_str()), 0);
    writer.WriteHeader(4, 3);
    writer.AddLayer("large", "norm", 255);
    writer.AddLayer("small", "norm", 255);
    writer.WriteLayerImage(large.buffer);
    writer.WriteLayerImage(small.buffer);
    ASSERT_EQ(writer.Finish(), 0);
    PsdFile psd;
    ASSERT_TRUE(ParsePsd(ReadBytes(fPath), psd));
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x) {
            const size_t i = size_t(y * 4 + x);
            EXPECT_EQ(psd.layers[0].channels[1][i], large.At(x, y)[2]);
            const bool inside = x < 2 && y < 1;
            EXPECT_EQ(psd.layers[1].channels[0][i], inside ? small.At(x, y)[3] : 0);
            EXPECT_EQ(psd.layers[1].channels[1][i], inside ? small.At(x, y)[2] : 0);
        }
}

TEST_F(PsdWriterTest, FailuresAreReported)
{
    QV_PSDWriter writer;
    EXPECT_EQ(writer.Finish(), -5); // nothing open
    EXPECT_EQ(writer.Open((fFolder / "missing/out.psd").c_str()), -5);
    ASSERT_EQ(writer.Open(fPath.c_str()), 0);
    writer.WriteHeader(0, 10);
    EXPECT_EQ(writer.Finish(), -7);
    EXPECT_TRUE(fFolder.Names().empty());

    // An unfinished file never appears under its name.
    {
        QV_PSDWriter abandoned;
        ASSERT_EQ(abandoned.Open(fPath.c_str()), 0);
        abandoned.WriteHeader(2, 2);
        abandoned.AddLayer("x", "norm", 255);
    }
    EXPECT_TRUE(fFolder.Names().empty());
}

TEST_F(PsdWriterTest, ImageMagickSeesTheLayers)
{
    REQUIRE_IMAGEMAGICK(identify, "identify");
    REQUIRE_IMAGEMAGICK(convert, "convert");
    OwnedRaster raster = PatternRaster(9, 6, true);
    QV_PSDWriter writer;
    ASSERT_EQ(writer.Open(fPath.c_str()), 0);
    writer.WriteHeader(9, 6);
    writer.AddLayer("Background art", "norm", 255);
    writer.AddLayer("Shadows", "mul ", 128);
    writer.WriteLayerImage(raster.buffer);
    writer.WriteLayerImage(raster.buffer);
    ASSERT_EQ(writer.Finish(), 0);
    CommandResult result = RunCommand(identify + " -verbose '" + fPath + "'");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output.find("rror"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("label: Background art"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("label: Shadows"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Compose: Multiply"), std::string::npos) << result.output;
    // ImageMagick scales the opacity byte to 16 bits (x 257).
    EXPECT_NE(result.output.find("psd:layer.opacity: 65535"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("psd:layer.opacity: 32896"), std::string::npos) << result.output;
    // The first layer's colours as ImageMagick decodes them ([0] is the merged image).
    ExpectSameAsImageMagick(convert, fPath + "[1]", raster.buffer);
}

} // namespace
