// The export run the export and batch windows drive: ffprobe and the SWF parsers judge its files.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "../core/scratch_folder.h"
#include "audiolayer.h"
#include "export_formats.h"
#include "export_run.h"
#include "export_test_support.h"
#include "image_format_registry.h"
#include "imagelayer.h"
#include "model_prefs.h"
#include "png_codec.h"
#include "media_presence.h"
#include "meshlayer.h"
#include "qv_baseimage.h"
#include "render_settings.h"
#include "swf.h"
#include "swf_check.h"
#include "vorndoc.h"

namespace {

class ExportRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageFormatRegistry::Init();
        gQuickTimePresent = true;
        fMedia = HasProgram("ffprobe") && HasProgram("ffmpeg");
    }
    // Runs the export to the end, or for that many steps; the run's finish result.
    bool Export(VornDoc& doc, RenderSettings& settings, int32_t steps = -1)
    {
        QV_BaseImage frame;
        ExportRun run(&doc, settings, &frame);
        EXPECT_TRUE(run.AllocateFrame());
        if (KindOfFormat(settings.fFormat) == ExportKind::Movie)
            EXPECT_EQ(run.OpenMovie(nullptr, true), 0);
        else if (KindOfFormat(settings.fFormat) == ExportKind::SWF)
            run.PrepareSWF();
        while ((steps < 0 || steps-- > 0) && run.Step()) {
        }
        EXPECT_FALSE(run.Failed()) << run.FailureText().CString();
        QV_String reason;
        const bool finished = run.Finish(true, reason);
        EXPECT_TRUE(finished) << reason.CString();
        return finished;
    }
    RenderSettings& Settings(int32_t format, int32_t start, int32_t end, const std::string& path)
    {
        fSettings.SetDefaults();
        fSettings.fFormat = format;
        fSettings.fStartFrame = start;
        fSettings.fEndFrame = end;
        fSettings.fPath = path.c_str();
        return fSettings;
    }
    int32_t Avi() const { return ExportWriterCount(); }
    int32_t Swf() const { return ExportWriterCount() + 2; }

    ScratchFolder fFolder;
    RenderSettings fSettings;
    bool fMedia = false;
};

TEST_F(ExportRunTest, HalfFrameRateHalvesRateAndFrames)
{
    if (!fMedia)
        GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
    VornDoc doc;
    ShapeDocument(doc, 64, 48, 24, 1, 25);
    const std::string path = fFolder.File("half.avi");
    RenderSettings& settings = Settings(Avi(), 1, 25, path);
    settings.fHalfFrameRate = true;
    ASSERT_TRUE(Export(doc, settings));
    EXPECT_EQ(Probe(path, "v:0", "nb_read_frames"), "12");
    EXPECT_EQ(Probe(path, "v:0", "r_frame_rate"), "12/1");
    EXPECT_EQ(Probe(path, "v:0", "width"), "64");
}

TEST_F(ExportRunTest, SoundOnlyWhenTheExportStartsAtTheDocumentsStart)
{
    if (!fMedia)
        GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
    const std::string tone = fFolder.File("tone.wav");
    ASSERT_EQ(RunProgram({ "ffmpeg", "-v", "quiet", "-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-ac", "2",
                             "-ar", "44100", tone },
                  "", nullptr, 60000),
        0);
    VornDoc doc;
    ShapeDocument(doc, 64, 48, 24, 1, 24);
    auto* audio = new AudioLayer;
    ASSERT_EQ(audio->SetAudioFile(tone.c_str()), 0);
    doc.AddLayer(audio);

    const std::string whole = fFolder.File("whole.avi");
    ASSERT_TRUE(Export(doc, Settings(Avi(), 1, 24, whole)));
    EXPECT_EQ(Probe(whole, "a:0", "sample_rate"), "44100");
    EXPECT_EQ(Probe(whole, "a:0", "channels"), "2");

    const std::string later = fFolder.File("later.avi");
    ASSERT_TRUE(Export(doc, Settings(Avi(), 5, 24, later)));
    EXPECT_EQ(Probe(later, "v:0", "nb_read_frames"), "20");
    EXPECT_EQ(Probe(later, "a:0", "sample_rate"), "");
}

TEST_F(ExportRunTest, AStoppedExportLeavesAShorterFinishedMovie)
{
    if (!fMedia)
        GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
    VornDoc doc;
    ShapeDocument(doc, 64, 48, 24, 1, 2000);
    const std::string path = fFolder.File("stopped.avi");
    ASSERT_TRUE(Export(doc, Settings(Avi(), 1, 2000, path), 40));
    const int frames = std::atoi(Probe(path, "v:0", "nb_read_frames").c_str());
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 2000);
}

TEST_F(ExportRunTest, SwfFramesAreClampedTo1024AfterHalving)
{
    struct Case {
        bool halfSize;
        int width, height;
    };
    for (const Case& c : { Case { false, 1024, 768 }, Case { true, 1000, 750 } }) {
        VornDoc doc;
        ShapeDocument(doc, 2000, 1500, 24, 1, 3);
        doc.AddLayer(new MeshLayer);
        const std::string path = fFolder.File(c.halfSize ? "half.swf" : "full.swf");
        RenderSettings& settings = Settings(Swf(), 1, 3, path);
        settings.fHalfSize = c.halfSize;
        ASSERT_TRUE(Export(doc, settings));
        SwfReadMovie movie;
        ReadJudgedSwf(path, movie);
        EXPECT_TRUE(movie.fCompressed);
        EXPECT_EQ(movie.fSize.fXMax - movie.fSize.fXMin, c.width * 20);
        EXPECT_EQ(movie.fSize.fYMax - movie.fSize.fYMin, c.height * 20);
        EXPECT_EQ(movie.fFrames, 3);
        EXPECT_EQ(movie.fRate, 24 * 256);
    }
}

TEST_F(ExportRunTest, AnSwfMovieOutOfIdsStopsAtOnceWithTheReasonAndLeavesNoFile)
{
    VornDoc doc;
    ShapeDocument(doc, 32, 24, 24, 1, 50);
    const std::string path = fFolder.File("full.swf");
    QV_BaseImage frame;
    ExportRun run(&doc, Settings(Swf(), 1, 50, path), &frame);
    ASSERT_TRUE(run.AllocateFrame());
    run.PrepareSWF();
    // As if one earlier frame had used up the 16-bit character ids.
    SWFMovie movie = run.fSettings.fSWFMovie;
    std::vector<SWFDisplayItem> items;
    for (int i = 0; i < 65536; ++i) {
        SWFShape shape = newSWFShape();
        items.push_back(SWFMovie_add(movie, shape));
        destroySWFShape(shape);
        if (i % 4096 == 4095) {
            SWFMovie_nextFrame(movie);
            for (SWFDisplayItem item : items)
                SWFMovie_remove(movie, item);
            items.clear();
        }
    }
    while (run.Step()) {
    }
    EXPECT_TRUE(run.Failed());
    EXPECT_EQ(run.OutputFrame(), 1);
    EXPECT_NE(std::string(run.FailureText().CString()).find("65,535 characters"), std::string::npos)
        << run.FailureText().CString();
    QV_String reason;
    EXPECT_FALSE(run.Finish(false, reason));
    EXPECT_NE(std::string(reason.CString()).find("65,535 characters"), std::string::npos) << reason.CString();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ExportRunTest, AJobThatFailsIsToldFromOneThatCompleted)
{
    VornDoc doc;
    ShapeDocument(doc, 32, 32, 24, 1, 3);
    QV_BaseImage frame;
    ExportRun run(&doc, Settings(PngWriterIndex, 1, 3, "/nonexistent-folder/x/frame.png"), &frame);
    ASSERT_TRUE(run.AllocateFrame());
    while (run.Step()) {
    }
    EXPECT_TRUE(run.Failed());
    EXPECT_FALSE(run.FailureText().IsEmpty());
}

TEST_F(ExportRunTest, PreDrawLoadsThePicturesAtTheStartFrameAndLeavesTheFrameAndQuality)
{
    uint8_t pixels[4 * 6 * 4] = {};
    QV_PixelBuffer raster;
    raster.pixels = pixels;
    raster.width = 4;
    raster.height = 6;
    raster.depth = 32;
    raster.bytesPerPixel = 4;
    raster.rowBytes = 16;
    const std::string picture = fFolder.File("picture.png");
    ASSERT_TRUE(WritePng(picture.c_str(), raster));
    VornDoc doc;
    ShapeDocument(doc, 32, 24, 24, 1, 10);
    auto* layer = new ImageLayer;
    doc.AddLayer(layer);
    ASSERT_TRUE(layer->SetSourceImage(picture.c_str()));
    doc.SetCurFrame(7);
    const int32_t quality = ViewQualityFlags();
    QV_BaseImage frame;
    ExportRun run(&doc, Settings(Avi(), 3, 10, fFolder.File("movie.avi")), &frame);
    ASSERT_TRUE(run.AllocateFrame());
    ASSERT_EQ(layer->PixelWidth(), -1);
    run.PreDraw();
    EXPECT_EQ(layer->PixelWidth(), 4);
    EXPECT_EQ(layer->PixelHeight(), 6);
    EXPECT_EQ(doc.CurFrame(), 7);
    EXPECT_EQ(ViewQualityFlags(), quality);
}

TEST(CopyDocument, RendersWhatTheDocumentWasWhenCopied)
{
    VornDoc doc;
    ShapeDocument(doc, 30, 20, 12, 1, 5);
    VornDoc* copy = CopyDocument(&doc);
    ASSERT_NE(copy, nullptr);
    doc.fWidth = 99;
    EXPECT_EQ(copy->Width(), 30);
    EXPECT_EQ(copy->Fps(), 12);
    EXPECT_EQ(copy->fEndFrame, 5);
    delete copy;
}

} // namespace
