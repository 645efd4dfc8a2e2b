#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "../graphics/image_test_support.h"
#include "../graphics/movie_test_support.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "model_prefs.h"
#include "media_presence.h"
#include "qv_avi_writer.h"
#include "qv_movie_writer.h"
#include "qv_psdwriter.h"
#include "qv_qt_movie_writer.h"
#include "raster_fill.h"
#include "render_job.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kWidth = 20;
constexpr int32_t kHeight = 12;

// Fills the left columns (all of them when columns < 0) of a raster with a colour.
void FillColumns(const QV_PixelBuffer& raster, int32_t columns, rgb_color color)
{
    QV_PixelBuffer part = raster;
    if (columns >= 0 && columns < part.width)
        part.width = columns;
    FillRaster(part, color);
}

struct ItemCall {
    int32_t docFrame;
    int32_t item;
    int32_t targetWidth;
    int32_t targetHeight;
    int32_t graphicsWidth;
    bool previewShown;
    QV_Vector3 camera;
};

// A layer that fills what it is given with one colour and records how the job drives it. The
// colour may follow the camera, so that each stereo eye paints its own.
class PaintLayer : public VornLayer {
public:
    PaintLayer(const char* name, rgb_color paint, int32_t items = 1)
        : color(paint)
        , itemCount(items)
    {
        SetName(name);
    }

    int32_t CountRenderItems() override { return itemCount; }

    bool BeginRender(VornDoc*, XGraphics* graphics, QV_PixelBuffer*, QV_PixelBuffer*,
        QV_BaseImage* layerImage, RenderSettings*) override
    {
        calls.push_back("begin");
        if (!ownImage)
            return false;
        if (layerImage->Allocate(graphics->Width(), graphics->Height(), 32) != 0)
            return false;
        QV_PixelBuffer raster;
        layerImage->GetPixelBuffer(raster);
        FillRaster(raster, rgb_color { 0, 0, 0, 0 });
        return true;
    }

    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer*, int32_t item,
        RenderSettings* settings) override
    {
        calls.push_back("item" + std::to_string(item));
        items.push_back(ItemCall { doc->CurFrame(), item, target->width, target->height, graphics->Width(),
            settings->fPreviewGraphics != nullptr, doc->fCameraTrack.value });
        rgb_color paint = color;
        if (followCamera)
            paint = doc->fCameraTrack.value.x < 0 ? rgb_color { 200, 0, 0, 255 }
                                                  : rgb_color { 0, 100, 50, 255 };
        FillColumns(*target, columns, paint);
    }

    void FinishRender(
        VornDoc*, XGraphics*, QV_PixelBuffer*, QV_BaseImage*, QV_PixelBuffer*, RenderSettings*) override
    {
        calls.push_back("finish");
    }

    void Draw(VornDoc*, XGraphics* graphics, QV_PixelBuffer*, int32_t& drawMode, VornLayer*,
        RenderSettings*) override
    {
        calls.push_back("draw" + std::to_string(drawMode));
        drawFlags.push_back(ViewQualityFlags());
        drawWidths.push_back(graphics->Width());
        FillColumns(graphics->fTarget, columns, color);
    }

    rgb_color color;
    int32_t itemCount;
    bool ownImage = false;
    bool followCamera = false;
    int32_t columns = -1;
    std::vector<std::string> calls;
    std::vector<ItemCall> items;
    std::vector<int32_t> drawFlags;
    std::vector<int32_t> drawWidths;
};

// A small document, an output image of its size and settings for a run over it.
class RenderJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageFormatRegistry::Init();
        doc.SetShape(kWidth, kHeight);
        ASSERT_EQ(image.Allocate(kWidth, kHeight, 32), 0);
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fImage = &image;
    }

    PaintLayer* Add(const char* name, rgb_color color, int32_t items = 1)
    {
        PaintLayer* layer = new PaintLayer(name, color, items);
        doc.AddLayer(layer);
        return layer;
    }

    // Runs the job to its end; answers the number of steps.
    int32_t Run(RenderJob& job, int32_t limit = 1000)
    {
        job.fSettings = &settings;
        job.fFrame = settings.fStartFrame;
        int32_t steps = 0;
        while (steps < limit && job.RenderFrame())
            steps++;
        return steps;
    }

    Rgba Pixel(int32_t x, int32_t y)
    {
        QV_PixelBuffer raster;
        image.GetPixelBuffer(raster);
        return PixelAt(raster, x, y);
    }

    std::string Path(const char* name) const { return folder.Path() + "/" + name; }

    ScratchFolder folder;
    VornDoc doc;
    QV_BaseImage image;
    RenderSettings settings;
};

// ---- Buffers ----

TEST_F(RenderJobTest, MarginsFollowTheEffects)
{
    struct Case {
        const char* what;
        bool quickPreview;
        bool shapeEffects;
        bool layerEffects;
        bool extraSmooth;
        int32_t margin;
        bool hasBuffer;
    };
    const Case cases[] = {
        { "defaults", false, true, true, false, 64, true },
        { "shape effects only", false, true, false, false, 64, true },
        { "layer effects only", false, false, true, false, 64, true },
        { "no effects", false, false, false, false, 2, true },
        { "extra smooth", false, true, true, true, 256, true },
        { "quick preview with effects", true, true, true, false, 64, true },
        { "quick preview without effects", true, false, false, false, 0, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VornDoc caseDoc;
        caseDoc.SetShape(kWidth, kHeight);
        PaintLayer* layer = new PaintLayer("L", rgb_color { 10, 20, 30, 255 });
        caseDoc.AddLayer(layer);
        settings.fDoc = &caseDoc;
        settings.fQuickPreview = c.quickPreview;
        settings.fShapeEffects = c.shapeEffects;
        settings.fLayerEffects = c.layerEffects;
        settings.fExtraSmooth = c.extraSmooth;
        RenderJob job;
        Run(job);
        EXPECT_EQ(job.LastStatus(), 0) << job.LastError().CString();
        EXPECT_EQ(settings.fMargin, c.margin);
        const int32_t graphicsWidth
            = c.quickPreview ? layer->drawWidths.at(0) : layer->items.at(0).graphicsWidth;
        EXPECT_EQ(graphicsWidth, kWidth + 2 * c.margin);
        if (c.hasBuffer) {
            EXPECT_EQ(job.fBufferImage.Width(), kWidth + 2 * c.margin);
            EXPECT_EQ(job.fBufferImage.Height(), kHeight + 2 * c.margin);
            EXPECT_EQ(job.fScratchImage.Width(), kWidth + 2 * c.margin);
        } else {
            EXPECT_EQ(job.fBufferImage.Width(), -1);
            EXPECT_EQ(job.fScratchImage.Width(), -1);
        }
        // Whichever raster the layer drew into, the frame shows it.
        EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), (Rgba { 10, 20, 30, 255 }));
    }
}

// ---- Layer steps ----

TEST_F(RenderJobTest, LayersRenderInDepthOrderOneItemPerStep)
{
    PaintLayer* bottom = Add("bottom", rgb_color { 0, 0, 255, 255 }, 2);
    PaintLayer* hidden = Add("hidden", rgb_color { 1, 1, 1, 255 });
    PaintLayer* editOnly = Add("edit only", rgb_color { 2, 2, 2, 255 });
    PaintLayer* empty = Add("empty", rgb_color { 3, 3, 3, 255 }, 0);
    PaintLayer* top = Add("top", rgb_color { 255, 0, 0, 255 }, 3);
    PaintLayer* off = Add("switched off", rgb_color { 4, 4, 4, 255 });
    hidden->fVisible = false;
    editOnly->SetEditOnly(true);
    off->fVisibility.SetValue(0, false);
    off->SetCurFrame(0);
    top->ownImage = true;
    top->columns = 5;
    top->SetBlendingMode(BM_MULTIPLY);
    settings.fPreviewGraphics = new XGraphics();

    RenderJob job;
    // Five items, then the frame end.
    EXPECT_EQ(Run(job), 5);
    EXPECT_EQ(bottom->calls, (std::vector<std::string> { "begin", "item0", "item1" }));
    EXPECT_EQ(top->calls, (std::vector<std::string> { "begin", "item0", "item1", "item2", "finish" }));
    for (PaintLayer* passed : { hidden, editOnly, empty, off })
        EXPECT_TRUE(passed->calls.empty()) << passed->Name().CString();
    // A layer without a layer image draws into the frame itself, with the preview context
    // showing; a layer image is the size of the graphics raster and hides the preview context.
    EXPECT_EQ(bottom->items[0].targetWidth, kWidth);
    EXPECT_TRUE(bottom->items[0].previewShown);
    EXPECT_EQ(top->items[0].targetWidth, kWidth + 128);
    EXPECT_FALSE(top->items[0].previewShown);
    // The run deletes the preview context it was given.
    EXPECT_EQ(settings.fPreviewGraphics, nullptr);
    // The layer image lands at (-margin, -margin): the top layer painted only 5 columns of it, all
    // inside the 64-pixel margin, so the frame stays blue.
    EXPECT_EQ(Pixel(0, 0), (Rgba { 0, 0, 255, 255 }));
    // Cleared after compositing.
    QV_PixelBuffer layerRaster;
    ASSERT_EQ(job.fLayerImage.GetPixelBuffer(layerRaster), 0);
    EXPECT_EQ(PixelAt(layerRaster, 2, 2), (Rgba { 0, 0, 0, 0 }));
}

TEST_F(RenderJobTest, LayerImageIsCompositedWithItsBlendMode)
{
    Add("bottom", rgb_color { 200, 100, 50, 255 });
    PaintLayer* top = Add("top", rgb_color { 128, 255, 0, 255 });
    top->ownImage = true;
    top->SetBlendingMode(BM_MULTIPLY);
    RenderJob job;
    Run(job);
    const Rgba p = Pixel(3, 3);
    EXPECT_NEAR(p.r, 100, 1);
    EXPECT_NEAR(p.g, 100, 1);
    EXPECT_EQ(p.b, 0);
}

TEST_F(RenderJobTest, QuickPreviewDrawsWithItsOwnQualityFlagsOnItsThreadOnly)
{
    PaintLayer* layer = Add("L", rgb_color { 9, 8, 7, 255 });
    settings.fQuickPreview = true;
    settings.fShapeEffects = false;
    settings.fLayerEffects = false;
    RenderJob job;
    EXPECT_EQ(Run(job), 1);
    EXPECT_EQ(layer->calls, (std::vector<std::string> { "draw4" }));
    EXPECT_EQ(layer->drawFlags, (std::vector<int32_t> { 1516 }));
    EXPECT_EQ(ViewQualityFlags(), kDefaultViewQualityFlags);
    EXPECT_EQ(Pixel(0, 0), (Rgba { 9, 8, 7, 255 }));

    // While a render thread draws its preview, the editor's thread keeps its own flags.
    std::promise<void> inScope;
    std::promise<void> checked;
    std::thread render([&] {
        ScopedViewQualityFlags flags(1516);
        inScope.set_value();
        checked.get_future().wait();
    });
    inScope.get_future().wait();
    EXPECT_EQ(ViewQualityFlags(), kDefaultViewQualityFlags);
    checked.set_value();
    render.join();
}

// ---- Frames and numbering ----

TEST_F(RenderJobTest, NumberedFileNames)
{
    struct Case {
        const char* path;
        int32_t start;
        int32_t frame;
        bool halfRate;
        const char* expected;
    };
    const Case cases[] = {
        { "/out/frame.png", 0, 7, false, "/out/frame0007.png" },
        { "/out/frame", 0, 12, false, "/out/frame0012" },
        { "/out/v1.2/frame", 0, 1, false, "/out/v1.2/frame0001" },
        { "/out/v1.2/frame.tga", 0, 1, false, "/out/v1.2/frame0001.tga" },
        { "/out/shot.v2.png", 0, 3, false, "/out/shot.v20003.png" },
        { "frame.png", 0, 12345, false, "frame12345.png" },
        { "/out/frame.png", 1, 1, true, "/out/frame0001.png" },
        { "/out/frame.png", 1, 3, true, "/out/frame0002.png" },
        { "/out/frame.png", 10, 14, true, "/out/frame0012.png" },
    };
    for (const Case& c : cases) {
        settings.fPath = c.path;
        settings.fStartFrame = c.start;
        settings.fHalfFrameRate = c.halfRate;
        EXPECT_STREQ(RenderJob::NumberedFileName(settings, c.frame).CString(), c.expected) << c.path;
    }
}

TEST_F(RenderJobTest, FrameRangesAndTheFilesTheyWrite)
{
    struct Case {
        const char* what;
        int32_t start;
        int32_t end;
        bool halfRate;
        const char* folder;
        std::vector<int32_t> frames;
        std::vector<std::string> files;
    };
    const std::vector<Case> cases = {
        { "half frame rate", 1, 3, true, "half", { 1, 3 }, { "f0001.png", "f0002.png" } },
        { "start = end", 4, 4, false, "single", { 4 }, { "f0004.png" } },
        { "end before start", 4, 2, false, "backwards", { 4 }, { "f0004.png" } },
        { "full rate", 0, 2, false, "full", { 0, 1, 2 }, { "f0000.png", "f0001.png", "f0002.png" } },
        { "dotted folder", 2, 3, false, "v1.2", { 2, 3 }, { "f0002.png", "f0003.png" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VornDoc caseDoc;
        caseDoc.SetShape(kWidth, kHeight);
        PaintLayer* layer = new PaintLayer("L", rgb_color { 10, 20, 30, 255 });
        caseDoc.AddLayer(layer);
        const std::string dir = Path(c.folder);
        std::filesystem::create_directory(dir);
        settings.fDoc = &caseDoc;
        settings.fStartFrame = c.start;
        settings.fEndFrame = c.end;
        settings.fHalfFrameRate = c.halfRate;
        settings.fPath = (dir + "/f.png").c_str();
        settings.fFormat = PngWriterIndex;
        RenderJob job;
        Run(job);
        EXPECT_EQ(job.LastStatus(), 0) << job.LastError().CString();
        std::vector<int32_t> frames;
        for (const ItemCall& call : layer->items)
            frames.push_back(call.docFrame);
        EXPECT_EQ(frames, c.frames);
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            files.push_back(entry.path().filename().string());
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, c.files);
    }
}

TEST_F(RenderJobTest, TheDocumentOnlyMovesForward)
{
    PaintLayer* layer = Add("L", rgb_color { 10, 20, 30, 255 });
    doc.SetCurFrame(5);
    settings.fStartFrame = 3;
    settings.fEndFrame = 6;
    RenderJob job;
    Run(job);
    std::vector<int32_t> frames;
    for (const ItemCall& call : layer->items)
        frames.push_back(call.docFrame);
    // Frames 3 and 4 find the document already past them; it stays at 5.
    EXPECT_EQ(frames, (std::vector<int32_t> { 5, 5, 5, 6 }));
}

// ---- Output ----

TEST_F(RenderJobTest, PngHasATransparentBackgroundAndStraightAlpha)
{
    REQUIRE_IMAGEMAGICK(identify, "identify");
    doc.fBackColor = rgb_color { 255, 255, 0, 255 };
    PaintLayer* layer = Add("L", rgb_color { 100, 50, 0, 128 });
    layer->columns = kWidth / 2;
    settings.fPath = Path("alpha.png").c_str();
    settings.fFormat = PngWriterIndex;
    RenderJob job;
    Run(job);
    ASSERT_EQ(job.LastStatus(), 0) << job.LastError().CString();
    EXPECT_TRUE(settings.fNoPremultiply);
    const std::string file = Path("alpha0000.png");
    CommandResult result
        = RunCommand(identify + " -format '%[pixel:p{1,1}] %[pixel:p{15,1}] %[channels]' '" + file + "'");
    ASSERT_EQ(result.status, 0) << result.output;
    // 100 and 50 divided by alpha 128 (through the divide table, which truncates), alpha 128 of
    // 255; the uncovered half is transparent rather than the document's yellow.
    EXPECT_EQ(result.output, "srgba(199,99,0,0.501961) srgba(0,0,0,0) srgba") << result.output;
}

TEST_F(RenderJobTest, NtscSafeRange)
{
    PaintLayer* layer = Add("L", rgb_color { 0, 255, 128, 77 });
    layer->columns = kWidth / 2;
    settings.fNTSCSafe = true;
    RenderJob job;
    Run(job);
    // round(c / 255 x 219 + 16); alpha stays.
    EXPECT_EQ(Pixel(0, 0), (Rgba { 16, 235, 126, 77 }));
    // The document's white background.
    EXPECT_EQ(Pixel(kWidth - 1, 0), (Rgba { 235, 235, 235, 255 }));
}

TEST_F(RenderJobTest, GrainOnlyWhenAboveZero)
{
    doc.fBackColor = rgb_color { 128, 128, 128, 255 };
    for (int32_t grain : { -5, 0, 40 }) {
        doc.fNoiseGrain = grain;
        RenderJob job;
        Run(job);
        int32_t changed = 0;
        for (int32_t y = 0; y < kHeight; y++)
            for (int32_t x = 0; x < kWidth; x++) {
                const Rgba p = Pixel(x, y);
                changed += p.r != 128;
                EXPECT_LE(std::abs(p.r - 128), 20);
            }
        if (grain > 0)
            EXPECT_GT(changed, kWidth * kHeight / 2) << grain;
        else
            EXPECT_EQ(changed, 0) << grain;
    }
}

TEST_F(RenderJobTest, PsdRecordsFollowTheDepthOrder)
{
    REQUIRE_IMAGEMAGICK(identify, "identify");
    // Listed first but nearest the camera: drawn last.
    PaintLayer* nearLayer = Add("Near", rgb_color { 0, 0, 255, 255 });
    PaintLayer* farLayer = Add("Far", rgb_color { 255, 0, 0, 255 });
    PaintLayer* middle = Add("Middle", rgb_color { 0, 255, 0, 255 });
    PaintLayer* hidden = Add("Hidden", rgb_color { 9, 9, 9, 255 });
    hidden->fVisible = false;
    nearLayer->fTranslation.SetValue(0, QV_Vector3 { 0, 0, 0.5f });
    farLayer->fTranslation.SetValue(0, QV_Vector3 { 0, 0, -0.5f });
    nearLayer->SetBlendingMode(BM_ADD);
    farLayer->SetBlendingMode(BM_SCREEN);
    middle->SetBlendingMode(BM_MULTIPLY);
    middle->fAlpha.SetValue(0, 0.5f);
    for (PaintLayer* layer : { nearLayer, farLayer, middle })
        layer->ownImage = true;
    doc.fDepthSort = true;
    doc.SetCurFrame(0);
    ASSERT_EQ(doc.LayerByDepth(0), farLayer);
    ASSERT_EQ(doc.LayerByDepth(3), nearLayer);

    settings.fPath = Path("layers.psd").c_str();
    settings.fFormat = kRenderFormatPSD;
    doc.fAllow3D = true;
    doc.fStereoSeparation = 0.2f; // PSD output never renders in stereo
    RenderJob job;
    Run(job);
    ASSERT_EQ(job.LastStatus(), 0) << job.LastError().CString();
    EXPECT_EQ(job.fStereoPass, -1);
    EXPECT_TRUE(settings.fNoPremultiply);
    EXPECT_EQ(settings.fPSDWriter, nullptr);

    const std::string file = Path("layers0000.psd");
    CommandResult result = RunCommand(
        identify + " -format '%[label]|%[compose]|%[psd:layer.opacity]|%[pixel:p{1,1}]\\n' '" + file + "'");
    ASSERT_EQ(result.status, 0) << result.output;
    // The merged image first, then one line per layer record in drawing order, each with the
    // pixels of the layer it names (ImageMagick scales the opacity byte by 257 and applies it to
    // the pixels' alpha); adding has no PSD key and is written as normal.
    EXPECT_NE(result.output.find("Far|Screen|65535|srgba(255,0,0,1)\n"
                                 "Middle|Multiply|32896|srgba(0,255,0,0.501946)\n"
                                 "Near|Over|65535|srgba(0,0,255,1)\n"),
        std::string::npos)
        << result.output;
    EXPECT_EQ(result.output.find("Hidden"), std::string::npos) << result.output;
}

TEST_F(RenderJobTest, PsdBlendKeys)
{
    const char* expected[]
        = { "norm", "mul ", "scrn", "over", "norm", "diff", "hue ", "sat ", "colr", "lum ", "norm" };
    for (int32_t mode = 0; mode <= 10; mode++)
        EXPECT_STREQ(RenderJob::PSDBlendKey(mode), expected[mode]) << mode;
    EXPECT_STREQ(RenderJob::PSDBlendKey(-1), "norm");
}

// ---- Failures ----

TEST_F(RenderJobTest, FailuresEndTheRunAndAreReported)
{
    struct Case {
        const char* what;
        const char* path;
        int32_t format;
        int32_t width;
        int32_t height;
        bool extraSmooth;
        int32_t status;
        const char* text;
        size_t itemsRendered;
    };
    const std::string missing = Path("missing") + "/f";
    const Case cases[] = {
        { "image file not written", "png", -2, kWidth, kHeight, false, kImageFileWriteFailed,
            "Cannot write the image file", 1 },
        { "no writer", "png", 99, kWidth, kHeight, false, kImageFileNoCodec, "No image writer", 1 },
        { "PSD not opened", "psd", kRenderFormatPSD, kWidth, kHeight, false, -5, "Cannot open the PSD file",
            0 },
        // WriteHeader accepts the size; only Finish refuses it.
        { "PSD not finished", "psd", kRenderFormatPSD, 30001, kHeight, false, kImageFileWriteFailed,
            "Cannot write the PSD file", 1 },
        // The output image is allowed; the buffers around it are not.
        { "buffers not allocated", "", 0, 1, 1 << 20, true, QV_RESULT_BAD_SIZE,
            "Cannot allocate the render buffers", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VornDoc caseDoc;
        caseDoc.SetShape(c.width, c.height);
        PaintLayer* layer = new PaintLayer("L", rgb_color { 1, 2, 3, 255 });
        caseDoc.AddLayer(layer);
        QV_BaseImage output;
        ASSERT_EQ(output.Allocate(c.width > 30000 ? kWidth : c.width, c.height, 32), 0);
        settings.fDoc = &caseDoc;
        settings.fImage = &output;
        settings.fExtraSmooth = c.extraSmooth;
        settings.fStartFrame = 0;
        settings.fEndFrame = 2;
        settings.fFormat = c.format == -2 ? PngWriterIndex : c.format;
        const std::string base = std::string(c.path) == "psd" && c.status != -5 ? Path("ok") : missing;
        settings.fPath = *c.path ? (base + "." + c.path).c_str() : "";
        RenderJob job;
        Run(job);
        EXPECT_EQ(job.LastStatus(), c.status);
        EXPECT_NE(std::string(job.LastError().CString()).find(c.text), std::string::npos)
            << job.LastError().CString();
        // The run ends at the failure: no later frame, and no further step.
        EXPECT_EQ(layer->items.size(), c.itemsRendered);
        EXPECT_FALSE(job.RenderFrame());
        EXPECT_EQ(settings.fPSDWriter, nullptr);
    }
}

TEST_F(RenderJobTest, MissingInputsAreReported)
{
    RenderJob job;
    EXPECT_FALSE(job.RenderFrame());
    EXPECT_EQ(job.LastStatus(), 0);
    QV_BaseImage empty;
    settings.fImage = &empty;
    job.fSettings = &settings;
    EXPECT_FALSE(job.RenderFrame());
    EXPECT_EQ(job.LastStatus(), kRenderJobNoInput);

    // An empty pair of movie writers asks for nothing.
    MovieWriterPair movie;
    settings.fImage = &image;
    settings.fMovieWriters = &movie;
    RenderJob emptyPair;
    EXPECT_EQ(Run(emptyPair), 0);
    EXPECT_EQ(emptyPair.LastStatus(), 0);
}

// Every frame goes to the movie writers; a frame they cannot take ends the run with its error,
// and the movie is then lost rather than left short.
TEST_F(RenderJobTest, FramesGoToTheMovieWriters)
{
    gQuickTimePresent = true;
    Add("L", rgb_color { 0, 0, 255, 255 }, 1);
    settings.fEndFrame = 2;
    QV_PixelBuffer frame;
    image.GetPixelBuffer(frame);
    const std::string good = Path("good.avi");
    QV_MovieWriter writer;
    ASSERT_EQ(writer.Open(frame, good.c_str(), 24, 3, kMovieKindAvi, nullptr, true), 0);
    MovieWriterPair movie { writer.fAvi.get(), nullptr };
    settings.fMovieWriters = &movie;
    RenderJob job;
    Run(job);
    EXPECT_EQ(job.LastStatus(), 0);
    EXPECT_EQ(writer.fAvi->fFrameIndex, 3);
    EXPECT_TRUE(writer.Close());
    EXPECT_TRUE(std::filesystem::exists(good));

    QV_BaseImage small;
    ASSERT_EQ(small.Allocate(kWidth / 2, kHeight, 32), 0);
    small.GetPixelBuffer(frame);
    const std::string bad = Path("bad.mov");
    ASSERT_EQ(writer.Open(frame, bad.c_str(), 24, 3, kMovieKindQuickTime, nullptr, true), 0);
    movie = MovieWriterPair { nullptr, writer.fQt.get() };
    RenderJob failing;
    Run(failing);
    EXPECT_EQ(failing.LastStatus(), kImageFileWriteFailed);
    EXPECT_NE(std::string(failing.LastError().CString()).find("movie"), std::string::npos);
    EXPECT_EQ(writer.fQt->fFrameIndex, 0);
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(std::filesystem::exists(bad));
}

TEST_F(RenderJobTest, StoppingMidFrameFinishesTheOpenPsdFile)
{
    PaintLayer* layer = Add("L", rgb_color { 0, 0, 255, 255 }, 3);
    layer->ownImage = true;
    settings.fPath = Path("stopped.psd").c_str();
    settings.fFormat = kRenderFormatPSD;
    {
        RenderJob job;
        job.fSettings = &settings;
        ASSERT_TRUE(job.RenderFrame());
        ASSERT_NE(settings.fPSDWriter, nullptr);
        // The file appears only once the writer finished it.
        EXPECT_FALSE(std::filesystem::exists(Path("stopped0000.psd")));
    }
    EXPECT_EQ(settings.fPSDWriter, nullptr);
    EXPECT_TRUE(std::filesystem::exists(Path("stopped0000.psd")));
}

namespace {

std::vector<std::string> FolderFiles(const std::string& dir)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Numbered files after the first are written on a worker thread: waits (a while at most) for one.
bool AppearsSoon(const std::string& path)
{
    for (int i = 0; i < 5000 && !std::filesystem::exists(path); i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return std::filesystem::exists(path);
}

} // namespace

TEST_F(RenderJobTest, AFolderLostMidRunEndsItAtTheFirstFileNotWritten)
{
    // The files go through a link to the folder; mid-run the link is turned to a missing one.
    Add("L", rgb_color { 10, 20, 30, 255 });
    const std::string real = Path("real");
    const std::string link = Path("link");
    std::filesystem::create_directory(real);
    std::filesystem::create_directory_symlink(real, link);
    settings.fStartFrame = 0;
    settings.fEndFrame = 5;
    settings.fPath = (link + "/f.png").c_str();
    settings.fFormat = PngWriterIndex;
    RenderJob job;
    job.fSettings = &settings;
    job.fFrame = settings.fStartFrame;
    while (job.fFrame < 3)
        ASSERT_TRUE(job.RenderFrame());
    ASSERT_TRUE(AppearsSoon(real + "/f0002.png"));
    std::filesystem::remove(link);
    std::filesystem::create_directory_symlink(Path("gone"), link);
    for (int32_t steps = 0; steps < 100 && job.RenderFrame(); steps++) { }
    EXPECT_EQ(job.LastStatus(), kImageFileWriteFailed);
    // The first file not written is the one named, whenever the worker found out.
    EXPECT_NE(std::string(job.LastError().CString()).find("Cannot write the image file \"" + link + "/f0003.png\""),
        std::string::npos)
        << job.LastError().CString();
    EXPECT_FALSE(job.RenderFrame());
    // Whole files up to the failure, no temporary file left, nothing after it.
    EXPECT_EQ(FolderFiles(real), (std::vector<std::string> { "f0000.png", "f0001.png", "f0002.png" }));
    EXPECT_FALSE(std::filesystem::exists(Path("gone")));
}

TEST_F(RenderJobTest, AStoppedRunFinishesTheFileBeingWritten)
{
    Add("L", rgb_color { 10, 20, 30, 255 });
    const std::string dir = Path("stopped");
    std::filesystem::create_directory(dir);
    settings.fStartFrame = 0;
    settings.fEndFrame = 5;
    settings.fPath = (dir + "/f.png").c_str();
    settings.fFormat = PngWriterIndex;
    {
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = settings.fStartFrame;
        // Frame 1 ends with its file handed to the worker.
        while (job.fFrame < 2)
            ASSERT_TRUE(job.RenderFrame());
    }
    EXPECT_EQ(FolderFiles(dir), (std::vector<std::string> { "f0000.png", "f0001.png" }));
    QV_BaseImage read;
    ASSERT_EQ(LoadImageFile((dir + "/f0001.png").c_str(), read, 0), 0);
    QV_PixelBuffer raster;
    read.GetPixelBuffer(raster);
    EXPECT_EQ(PixelAt(raster, kWidth - 1, kHeight - 1), (Rgba { 10, 20, 30, 255 }));
}

// ---- Stereo ----

class StereoTest : public RenderJobTest {
protected:
    void SetUp() override
    {
        RenderJobTest::SetUp();
        doc.fAllow3D = true;
        doc.fStereoSeparation = 0.2f;
        layer = Add("L", rgb_color {});
        layer->followCamera = true;
    }

    // Renders the frame alone.
    void RenderAt(int32_t frame)
    {
        settings.fStartFrame = frame;
        settings.fEndFrame = frame;
        RenderJob job;
        Run(job);
        ASSERT_EQ(job.LastStatus(), 0) << job.LastError().CString();
    }

    QV_Vector3 CameraAt(int32_t frame)
    {
        doc.fCameraTrack.SetCurFrame(frame);
        return doc.fCameraTrack.value;
    }

    PaintLayer* layer = nullptr;
};

TEST_F(StereoTest, EyesAreShiftedAlongTheCameraAxisAndMadeAnAnaglyph)
{
    struct Case {
        const char* what;
        float roll;
        float pan;
        QV_Vector3 axis;
    };
    const float half = 1.5707964f;
    const Case cases[] = {
        { "level camera", 0, 0, { 1, 0, 0 } },
        { "rolled a quarter turn", half, 0, { 0, -1, 0 } },
        { "panned a quarter turn", 0, half, { 0, 0, -1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        layer->items.clear();
        doc.fCameraRoll.SetValue(0, c.roll);
        doc.fCameraPanTilt.SetValue(0, QV_Vector2 { 0, c.pan });
        doc.SetCurFrame(0);
        const QV_Vector3 start = CameraAt(0);
        RenderAt(0);
        ASSERT_EQ(layer->items.size(), 2u);
        const QV_Vector3 left = layer->items[0].camera;
        const QV_Vector3 right = layer->items[1].camera;
        EXPECT_NEAR(left.x, start.x - 0.1f * c.axis.x, 1e-5f);
        EXPECT_NEAR(left.y, start.y - 0.1f * c.axis.y, 1e-5f);
        EXPECT_NEAR(left.z, start.z - 0.1f * c.axis.z, 1e-5f);
        EXPECT_NEAR(right.x, start.x + 0.1f * c.axis.x, 1e-5f);
        EXPECT_NEAR(right.y, start.y + 0.1f * c.axis.y, 1e-5f);
        EXPECT_NEAR(right.z, start.z + 0.1f * c.axis.z, 1e-5f);
    }
    // The level camera's eyes paint differently: red from the left, green and blue from the right.
    doc.fCameraRoll.SetValue(0, 0);
    doc.fCameraPanTilt.SetValue(0, QV_Vector2 { 0, 0 });
    doc.SetCurFrame(0);
    RenderAt(0);
    EXPECT_EQ(Pixel(3, 3), (Rgba { 200, 100, 50, 255 }));
}

TEST_F(StereoTest, LeavesNoKeyItAdded)
{
    doc.fCameraTrack.SetValue(0, QV_Vector3 { 0.25f, 0, 2 });
    doc.fCameraTrack.SetValue(10, QV_Vector3 { 1.25f, 0, 2 });
    doc.SetCurFrame(0);

    // Unkeyed at frame 5.
    RenderAt(5);
    EXPECT_FALSE(doc.fCameraTrack.HasKey(5));
    EXPECT_EQ(doc.fCameraTrack.CountKeys(), 2);
    EXPECT_NEAR(doc.fCameraTrack.value.x, 0.75f, 1e-5f);
    EXPECT_NEAR(layer->items.at(0).camera.x, 0.65f, 1e-5f);

    // The frame-0 key keeps its value.
    doc.SetCurFrame(0);
    RenderAt(0);
    EXPECT_TRUE(doc.fCameraTrack.HasKey(0));
    EXPECT_NEAR(CameraAt(0).x, 0.25f, 1e-6f);

    // A key of the user's at the frame keeps its value.
    doc.fCameraTrack.SetValue(7, QV_Vector3 { -3, 0, 2 });
    doc.SetCurFrame(0);
    RenderAt(7);
    EXPECT_TRUE(doc.fCameraTrack.HasKey(7));
    EXPECT_NEAR(CameraAt(7).x, -3, 1e-6f);
    EXPECT_EQ(doc.fCameraTrack.CountKeys(), 3);
}

TEST_F(StereoTest, StoppingBetweenOrWithinTheEyesRestoresTheCamera)
{
    doc.fCameraTrack.SetValue(0, QV_Vector3 { 0.25f, 0, 2 });
    doc.fCameraTrack.SetValue(10, QV_Vector3 { 1.25f, 0, 2 });
    doc.SetCurFrame(0);
    struct Case {
        const char* what;
        int32_t steps;
        int32_t pass;
    };
    // One item per eye: the first step renders the left eye's item, the second ends that eye,
    // the third renders the right eye's item.
    const Case cases[]
        = { { "within the left eye", 1, 0 }, { "between the eyes", 2, 1 }, { "within the right eye", 3, 1 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.SetCurFrame(0);
        settings.fStartFrame = 5;
        settings.fEndFrame = 5;
        {
            RenderJob job;
            job.fSettings = &settings;
            job.fFrame = 5;
            for (int32_t i = 0; i < c.steps; i++)
                ASSERT_TRUE(job.RenderFrame());
            EXPECT_EQ(job.fStereoPass, c.pass);
            EXPECT_TRUE(doc.fCameraTrack.HasKey(5));
        }
        EXPECT_FALSE(doc.fCameraTrack.HasKey(5));
        EXPECT_NEAR(doc.fCameraTrack.value.x, 0.75f, 1e-5f);
    }
}

} // namespace

// ---- The render_frames utility ----

namespace {

CommandResult RenderFrames(const std::string& arguments)
{
    return RunCommand(std::string(CELVANE_RENDER_FRAMES) + " " + arguments);
}

} // namespace

TEST(RenderFramesTool, WritesNumberedPngFilesAndReportsFailures)
{
    REQUIRE_IMAGEMAGICK(identify, "identify");
    ScratchFolder folder;
    const std::string fixture = std::string(CELVANE_TEST_DATA) + "/vorndoc/new_document.txt";

    CommandResult sized = RenderFrames("'" + fixture + "' 1 2 '" + (folder / "shot.png") + "' 40 30");
    ASSERT_EQ(WEXITSTATUS(sized.status), 0) << sized.output;
    std::vector<std::string> names = folder.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "shot0001.png", "shot0002.png" }));
    CommandResult size
        = RunCommand(identify + " -format '%w %h %[channels]' '" + (folder / "shot0002.png") + "'");
    EXPECT_EQ(size.output, "40 30 srgba");

    CommandResult full = RenderFrames("'" + fixture + "' 0 0 '" + (folder / "full.png") + "'");
    ASSERT_EQ(WEXITSTATUS(full.status), 0) << full.output;
    size = RunCommand(identify + " -format '%w %h' '" + (folder / "full0000.png") + "'");
    EXPECT_EQ(size.output, "872 486");

    // The job's error text.
    CommandResult unwritable = RenderFrames("'" + fixture + "' 0 3 '" + (folder / "missing/f.png") + "' 8 8");
    EXPECT_EQ(WEXITSTATUS(unwritable.status), 1);
    EXPECT_EQ(unwritable.output, "Cannot write the image file \"" + (folder / "missing/f0000.png") + "\"\n");

    // The reader's error text.
    const std::string bad = folder / "bad.txt";
    WriteBytes(bad, { 'x', '\n' });
    CommandResult unreadable = RenderFrames("'" + bad + "' 0 0 '" + (folder / "g.png") + "'");
    EXPECT_EQ(WEXITSTATUS(unreadable.status), 1);
    EXPECT_FALSE(unreadable.output.empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "g0000.png"));
}

// Movies by extension: AVI uncompressed unless a codec is named, MOV with the default or named
// codec, each with the sound file added after the frames.
TEST(RenderFramesTool, WritesMoviesWithAndWithoutSound)
{
    REQUIRE_MEDIA_TOOLS();
    ScratchFolder folder;
    const std::string fixture = std::string(CELVANE_TEST_DATA) + "/vorndoc/new_document.txt";
    const std::string sound = folder / "tone.wav";
    ASSERT_TRUE(Ffmpeg("-f lavfi -i sine=frequency=300:sample_rate=44100:duration=5 '" + sound + "'"));

    const std::string avi = folder / "shot.avi";
    CommandResult plain = RenderFrames("'" + fixture + "' 0 5 '" + avi + "' 64 48 --sound '" + sound + "'");
    ASSERT_EQ(WEXITSTATUS(plain.status), 0) << plain.output;
    EXPECT_EQ(Probe(avi, "v:0", "codec_name"), "rawvideo");
    EXPECT_EQ(Probe(avi, "v:0", "nb_read_frames"), "6");
    EXPECT_EQ(Probe(avi, "v:0", "width"), "64");
    EXPECT_EQ(Probe(avi, "a:0", "codec_name"), "pcm_s16le");

    const std::string mov = folder / "shot.mov";
    CommandResult named = RenderFrames("'" + fixture + "' 0 5 '" + mov + "' 64 48 --codec png");
    ASSERT_EQ(WEXITSTATUS(named.status), 0) << named.output;
    EXPECT_EQ(Probe(mov, "v:0", "codec_name"), "png");
    EXPECT_EQ(Probe(mov, "v:0", "nb_read_frames"), "6");
    EXPECT_EQ(Probe(mov, "a:0", "codec_name"), "");

    const std::string mp4v = folder / "default.mov";
    CommandResult withSound = RenderFrames("'" + fixture + "' 0 5 '" + mp4v + "' 64 48 --sound '" + sound + "'");
    ASSERT_EQ(WEXITSTATUS(withSound.status), 0) << withSound.output;
    EXPECT_EQ(Probe(mp4v, "v:0", "codec_name"), "mpeg4");
    EXPECT_EQ(Probe(mp4v, "a:0", "sample_rate"), "44100");

    CommandResult unwritable = RenderFrames("'" + fixture + "' 0 1 '" + (folder / "missing/m.mov") + "' 8 8");
    EXPECT_EQ(WEXITSTATUS(unwritable.status), 1);
    EXPECT_NE(unwritable.output.find("cannot open the movie"), std::string::npos) << unwritable.output;
    CommandResult noValue = RenderFrames("'" + fixture + "' 0 1 '" + avi + "' --codec");
    EXPECT_EQ(WEXITSTATUS(noValue.status), 2);
}

// Without --sound, a document's audio layers are mixed over the rendered range into the movie.
TEST(RenderFramesTool, MoviesCarryTheDocumentsMixedAudio)
{
    REQUIRE_MEDIA_TOOLS();
    ScratchFolder folder;
    ASSERT_TRUE(Ffmpeg("-f lavfi -i sine=frequency=300:sample_rate=22050:duration=3 -ac 1 '" + (folder / "tone.wav") + "'"));
    const std::string text = "application/x-vnd.qv_vorndoc\nversion 19\nfps 24\n"
                             "layer_type 9\n{\n\taudio_file \"tone.wav\"\n}\n";
    const std::string doc = folder / "sound.txt";
    WriteBytes(doc, std::vector<uint8_t>(text.begin(), text.end()));

    const std::string mov = folder / "mixed.mov";
    CommandResult run = RenderFrames("'" + doc + "' 1 24 '" + mov + "' 64 48 --codec png");
    ASSERT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    EXPECT_EQ(Probe(mov, "a:0", "sample_rate"), "44100");
    EXPECT_EQ(Probe(mov, "a:0", "channels"), "2");
    const std::string avi = folder / "mixed.avi";
    run = RenderFrames("'" + doc + "' 1 24 '" + avi + "' 64 48");
    ASSERT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    EXPECT_EQ(Probe(avi, "a:0", "codec_name"), "pcm_s16le");
}

TEST(RenderFramesTool, TheExtensionChoosesTheWriter)
{
    REQUIRE_IMAGEMAGICK(identify, "identify");
    ScratchFolder folder;
    const std::string fixture = std::string(CELVANE_TEST_DATA) + "/vorndoc/new_document.txt";
    struct Case {
        const char* name;
        const char* written;
        const char* format;
    };
    const Case cases[] = { { "a.png", "a0000.png", "PNG" }, { "b.jpg", "b0000.jpg", "JPEG" },
        { "c.JPEG", "c0000.JPEG", "JPEG" }, { "d.bmp", "d0000.bmp", "BMP3" }, { "e.tga", "e0000.tga", "TGA" },
        { "f.psd", "f0000.psd", "PSD" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CommandResult run = RenderFrames("'" + fixture + "' 0 0 '" + (folder / c.name) + "' 16 12");
        ASSERT_EQ(WEXITSTATUS(run.status), 0) << run.output;
        CommandResult kind = RunCommand(identify + " -format '%m %w %h\\n' '" + (folder / c.written) + "'");
        EXPECT_EQ(kind.output.substr(0, kind.output.find('\n')), std::string(c.format) + " 16 12") << kind.output;
    }

    // Anything else is refused before a frame is rendered.
    for (const char* name : { "g.gif", "h.svg", "noextension", "dir.png/out" }) {
        SCOPED_TRACE(name);
        CommandResult refused = RenderFrames("'" + fixture + "' 0 0 '" + (folder / name) + "' 16 12");
        EXPECT_EQ(WEXITSTATUS(refused.status), 1);
        EXPECT_NE(refused.output.find("must end in .png, .jpg, .bmp, .tga, .psd, .avi, .mov or .swf"), std::string::npos)
            << refused.output;
    }
    std::vector<std::string> names = folder.Names();
    EXPECT_EQ(names.size(), std::size(cases));
}
