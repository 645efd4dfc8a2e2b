#include "swf.h"
#include "swf_check.h"
#include "swf_test_files.h"

#include "jpeg_codec.h"
#include "png_codec.h"

#include <fstream>

namespace {

// A 2 x 1 picture: opaque red, then half-transparent white (b, g, r, a bytes).
std::string WritePicture(bool jpeg)
{
    uint8_t pixels[8] = { 0, 0, 255, 255, 255, 255, 255, 128 };
    QV_PixelBuffer raster;
    raster.pixels = pixels;
    raster.width = 2;
    raster.height = 1;
    raster.depth = 32;
    raster.bytesPerPixel = 4;
    raster.rowBytes = 8;
    const std::string path = SwfTestPath(jpeg ? ".jpg" : ".png");
    EXPECT_TRUE(jpeg ? WriteJpeg(path.c_str(), raster, 90) : WritePng(path.c_str(), raster));
    return path;
}

std::string WriteBytes(const std::vector<uint8_t>& bytes, const char* extension)
{
    const std::string path = SwfTestPath(extension);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

SwfReadMovie SaveBitmapMovie(SWFBitmap bitmap)
{
    SWFMovie movie = newSWFMovie();
    SWFShape shape = newSWFShape();
    SWFFill fill = SWFShape_addBitmapFill(shape, bitmap, 0x41);
    SWFFill_moveTo(fill, -1, -0.5f);
    SWFShape_setRightFill(shape, fill);
    SWFShape_movePenTo(shape, -1, -0.5f);
    SWFShape_drawLineTo(shape, 1, -0.5f);
    SWFShape_drawLineTo(shape, 1, 0.5f);
    SWFShape_drawLineTo(shape, -1, -0.5f);
    SWFShape_end(shape);
    SWFMovie_add(movie, shape);
    destroySWFFill(fill);
    destroySWFShape(shape);
    destroySWFBitmap(bitmap);
    const std::string path = SwfTestPath(".swf");
    EXPECT_GT(SWFMovie_save(movie, path.c_str(), 9), 0);
    destroySWFMovie(movie);
    SwfReadMovie read;
    ReadJudgedSwf(path, read);
    return read;
}

TEST(SwfBitmap, PngBecomesALosslessBitmapOfPremultipliedArgbFilledOnePixelPerPixel)
{
    SWFBitmap bitmap = newSWFDBLBitmapData_fromPngFile(WritePicture(false).c_str());
    ASSERT_NE(bitmap, nullptr);
    const SwfReadMovie read = SaveBitmapMovie(bitmap);
    const auto tags = SwfTagsOf(read.fTags, 36);
    ASSERT_EQ(tags.size(), 1u);
    SwfReadBitmap b;
    ASSERT_TRUE(DecodeSwfBitmap(*tags[0], b));
    EXPECT_EQ(b.fFormat, 5);
    EXPECT_EQ(b.fWidth, 2);
    EXPECT_EQ(b.fHeight, 1);
    EXPECT_EQ(b.fData, (std::vector<uint8_t> { 255, 255, 0, 0, 128, 128, 128, 128 }));

    SwfReadShape shape;
    ASSERT_TRUE(DecodeSwfShape(*SwfTagsOf(read.fTags, 32)[0], shape));
    ASSERT_EQ(shape.fFills.size(), 1u);
    EXPECT_EQ(shape.fFills[0].fType, 0x41);
    EXPECT_EQ(shape.fFills[0].fBitmapId, b.fId);
    EXPECT_NEAR(shape.fFills[0].fMatrix.A(), 20, 1e-6);
    EXPECT_NEAR(shape.fFills[0].fMatrix.D(), 20, 1e-6);
    EXPECT_EQ(shape.fFills[0].fMatrix.fTx, -20);
    EXPECT_EQ(shape.fFills[0].fMatrix.fTy, -10);
}

TEST(SwfBitmap, JpegKeepsTheFileBytesAsTheyAre)
{
    const std::string path = WritePicture(true);
    SWFBitmap bitmap = newSWFJpegBitmap_fromPath(path.c_str());
    ASSERT_NE(bitmap, nullptr);
    const SwfReadMovie read = SaveBitmapMovie(bitmap);
    const auto tags = SwfTagsOf(read.fTags, 21);
    ASSERT_EQ(tags.size(), 1u);
    SwfReadBitmap b;
    ASSERT_TRUE(DecodeSwfBitmap(*tags[0], b));
    EXPECT_EQ(b.fData, ReadBytes(path));
    EXPECT_EQ(b.fWidth, 2);
    EXPECT_EQ(b.fHeight, 1);
}

TEST(SwfBitmap, FilesNotReadableAsTheirTypeGiveNull)
{
    const std::string png = WritePicture(false);
    const std::string jpeg = WritePicture(true);
    const std::string text = WriteBytes({ 'h', 'e', 'l', 'l', 'o' }, ".png");
    std::vector<uint8_t> cut = ReadBytes(png);
    cut.resize(cut.size() / 2);
    const std::string cutPng = WriteBytes(cut, ".png");
    EXPECT_EQ(newSWFDBLBitmapData_fromPngFile(jpeg.c_str()), nullptr);
    EXPECT_EQ(newSWFDBLBitmapData_fromPngFile(text.c_str()), nullptr);
    EXPECT_EQ(newSWFDBLBitmapData_fromPngFile(cutPng.c_str()), nullptr);
    EXPECT_EQ(newSWFDBLBitmapData_fromPngFile("/no/such/file.png"), nullptr);
    EXPECT_EQ(newSWFJpegBitmap_fromPath(png.c_str()), nullptr);
    EXPECT_EQ(newSWFJpegBitmap_fromPath(text.c_str()), nullptr);
    EXPECT_EQ(newSWFJpegBitmap_fromPath("/no/such/file.jpg"), nullptr);
}

// MPEG-1 layer III frames of 128 kbit/s at the rate's index, silent payload.
std::vector<uint8_t> Mp3Frames(int count, int rateIndex, bool withTag)
{
    std::vector<uint8_t> bytes;
    if (withTag) {
        const uint8_t tag[] = { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20 };
        bytes.insert(bytes.end(), tag, tag + 10);
        bytes.insert(bytes.end(), 20, 0xFF);  // sync-like bytes inside the tag must not count
    }
    static const int kRates[3] = { 44100, 48000, 32000 };
    const size_t size = 144 * 128000 / kRates[rateIndex];
    for (int i = 0; i < count; ++i) {
        const uint8_t header[4] = { 0xFF, 0xFB, static_cast<uint8_t>(0x90 | (rateIndex << 2)), 0x44 };
        bytes.insert(bytes.end(), header, header + 4);
        bytes.insert(bytes.end(), size - 4, static_cast<uint8_t>(i));
    }
    return bytes;
}

TEST(SwfSound, Mp3StreamsInBlocksFollowingTheFramesFromWhereItIsSet)
{
    const std::string mp3 = WriteBytes(Mp3Frames(10, 0, true), ".mp3");
    SWFSoundStream sound = newSWFSoundStreamFromPath(mp3.c_str());
    ASSERT_NE(sound, nullptr);
    SWFSoundStream second = newSWFSoundStreamFromPath(mp3.c_str());
    SWFMovie movie = newSWFMovie();
    SWFMovie_setRate(movie, 25);
    SWFMovie_setNumberOfFrames(movie, 12);
    SWFMovie_nextFrame(movie);
    SWFMovie_setSoundStream(movie, sound);
    SWFMovie_setSoundStream(movie, second);  // one stream per movie
    destroySWFSoundStream(sound);
    destroySWFSoundStream(second);
    const std::string path = SwfTestPath(".swf");
    ASSERT_GT(SWFMovie_save(movie, path.c_str(), 9), 0);
    destroySWFMovie(movie);

    SwfReadMovie read;
    ReadJudgedSwf(path, read);
    const auto frames = SwfFrames(read.fTags);
    ASSERT_EQ(frames.size(), 12u);
    for (const SwfReadTag* tag : frames[0])
        EXPECT_NE(tag->fCode, 19) << "no block before the stream starts";
    const auto heads = SwfTagsOf(read.fTags, 45);
    ASSERT_EQ(heads.size(), 1u);
    SwfReadSoundHead head;
    ASSERT_TRUE(DecodeSwfSoundHead(*heads[0], head));
    EXPECT_EQ(head.fCompression, 2);
    EXPECT_EQ(head.fRateCode, 3);
    EXPECT_TRUE(head.fStereo);
    EXPECT_EQ(head.fSamplesPerFrame, 1764);
    // 10 frames of 1,152 samples last 6.5 movie frames of 1,764: six blocks, each taking the
    // sound past the end of its frame, then none.
    int samples = 0;
    std::vector<uint8_t> streamed;
    size_t blocks = 0;
    for (size_t f = 1; f < frames.size(); ++f) {
        for (const SwfReadTag* tag : frames[f]) {
            SwfReadSoundBlock block;
            if (!DecodeSwfSoundBlock(*tag, block))
                continue;
            ++blocks;
            samples += block.fSamples;
            EXPECT_GE(samples, static_cast<int>(std::min<size_t>(f, 6) * 1764)) << "frame " << f;
            streamed.insert(streamed.end(), block.fData.begin(), block.fData.end());
        }
    }
    EXPECT_EQ(blocks, 6u);
    EXPECT_EQ(samples, 11520);
    const std::vector<uint8_t> frames10 = Mp3Frames(10, 0, false);
    EXPECT_EQ(streamed, frames10);
}

TEST(SwfSound, NoStreamWithoutFramesOrAtARateTheFormatCannotCarry)
{
    EXPECT_EQ(newSWFSoundStreamFromPath(WriteBytes(Mp3Frames(5, 1, false), ".mp3").c_str()), nullptr);  // 48,000 Hz
    EXPECT_EQ(newSWFSoundStreamFromPath(WriteBytes({ 'R', 'I', 'F', 'F', 0, 0, 0, 0 }, ".wav").c_str()), nullptr);
    EXPECT_EQ(newSWFSoundStreamFromPath(WriteBytes({}, ".mp3").c_str()), nullptr);
    EXPECT_EQ(newSWFSoundStreamFromPath("/no/such.mp3"), nullptr);
}

}  // namespace
