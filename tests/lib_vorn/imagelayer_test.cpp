#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "format_version.h"
#include "imagelayer.h"
#include "layer_render_support.h"
#include "layer_test_support.h"
#include "layerfactory.h"
#include "media_test_support.h"
#include "qv_memstream.h"
#include "raster_rows.h"
#include "resource_images.h"
#include "vorn_test_support.h"
#include "vorndoc.h"

namespace {

// A still of w x h in one colour (rrggbb), made by ffmpeg.
std::string MakeStill(const MediaFolder& folder, const std::string& name, int32_t w, int32_t h, const char* colour)
{
    const std::string path = folder.Path(name);
    EXPECT_TRUE(Ffmpeg("-f lavfi -i color=c=0x" + std::string(colour) + ":s=" + std::to_string(w) + "x"
        + std::to_string(h) + " -frames:v 1 '" + path + "'"));
    return path;
}

// A movie of `seconds` at `fps` whose frame n has red n / 2 (lossless, so the frame shown can be
// read back from its colour), or a half-transparent red AVI with alpha.
std::string MakeNumberedMovie(const MediaFolder& folder, const std::string& name, int32_t fps, int32_t seconds)
{
    const std::string path = folder.Path(name);
    EXPECT_TRUE(Ffmpeg("-f lavfi -i color=c=black:s=16x16:r=" + std::to_string(fps) + ":d=" + std::to_string(seconds)
        + " -vf \"format=rgb24,geq=r='N/2':g='0':b='40'\" -c:v png '" + path + "'"));
    return path;
}

ImageLayer* AddImage(VornDoc& doc, const std::string& path)
{
    auto* layer = new ImageLayer;
    doc.AddLayer(layer);
    EXPECT_TRUE(layer->SetSourceImage(path.c_str()));
    return layer;
}

uint8_t CentreRed(const ImageLayer& layer)
{
    const QV_PixelBuffer& b = layer.fImage.buffer;
    return RasterPixel(b, b.width / 2, b.height / 2)[kRed];
}

} // namespace

TEST(ImageLayer, StillsAreSizedFromTheirPixelsAndTheDocumentHeight)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    const std::string wide = MakeStill(folder, "wide.png", 640, 480, "336699");
    const std::string square = MakeStill(folder, "square.png", 320, 320, "ffffff");
    VornDoc doc;
    doc.SetShape(640, 480);
    const struct {
        float width, height;
        float expectedWidth, expectedHeight;
    } cases[] = { { -1, -1, 2.6666667f, 2 }, { -1, 1, 1.3333334f, 1 }, { 1, -1, 2.6666667f, 2 } };
    for (const auto& c : cases) {
        ImageLayer* layer = AddImage(doc, wide);
        layer->fShapeWidth = c.width;
        layer->fShapeHeight = c.height;
        layer->LoadMedia(32);
        EXPECT_EQ(layer->PixelWidth(), 640);
        EXPECT_FLOAT_EQ(layer->fShapeWidth, c.expectedWidth);
        EXPECT_FLOAT_EQ(layer->fShapeHeight, c.expectedHeight);
        EXPECT_FALSE(layer->IsMovieLayer());
        EXPECT_EQ(layer->LayerDuration(), -1);
    }
    ImageLayer* layer = static_cast<ImageLayer*>(doc.Layer(0));
    layer->SetSourceImage(square.c_str());
    layer->LoadMedia(32);
    EXPECT_FLOAT_EQ(layer->fShapeWidth, 1.3333334f);
    EXPECT_FLOAT_EQ(layer->fShapeHeight, 1.3333334f);

    QV_Vector2 at;
    layer->ImageToLayer(QV_Vector2 { 160, 160 }, at);
    EXPECT_FLOAT_EQ(at.x, 0);
    EXPECT_FLOAT_EQ(at.y, 0);
    layer->ImageToLayer(QV_Vector2 { 0, 0 }, at);
    EXPECT_FLOAT_EQ(at.x, -layer->fShapeWidth / 2);
    EXPECT_FLOAT_EQ(at.y, layer->fShapeHeight / 2);
    QV_Vector2 back;
    layer->LayerToImage(at, back);
    EXPECT_NEAR(back.x, 0, 1e-4);
    EXPECT_NEAR(back.y, 0, 1e-4);
    // Nothing can be tracked on a still, and nothing is keyed before a picture is loaded.
    ImageLayer empty;
    EXPECT_EQ(empty.AddTrackingPoint(1, 2, 3), nullptr);
    QV_Vector2 unchanged { 7, 7 };
    empty.ImageToLayer(QV_Vector2 { 0, 0 }, unchanged);
    EXPECT_FLOAT_EQ(unchanged.x, 7);
}

TEST(ImageLayer, MissingFilesShowTheMissingPictureAndNamesIgnoreCase)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    MakeStill(folder, "Photo.PNG", 8, 6, "ff0000");
    auto* saved = gMissingImageWarning;
    gMissingImageWarning = [](const char*) {};
    VornDoc doc;
    doc.SetShape(64, 48);
    ImageLayer* missing = AddImage(doc, folder.Path("nothing.png"));
    missing->LoadMedia(32);
    const QV_PixelBuffer* picture = GetResourceImage("missing_img");
    EXPECT_EQ(missing->PixelWidth(), picture->width);
    EXPECT_GT(missing->fShapeWidth, 0);
    gMissingImageWarning = saved;

    ImageLayer* found = AddImage(doc, folder.Path("photo.png"));
    found->LoadMedia(32);
    EXPECT_EQ(found->PixelWidth(), 8);
    EXPECT_GT(CentreRed(*found), 250);
    // A path with a double quote cannot be stored.
    EXPECT_FALSE(found->SetSourceImage("a\"b.png"));
}

TEST(ImageLayer, MoviesStepWithTheLayerFrameAtTheirOwnRate)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    const std::string movie = MakeNumberedMovie(folder, "clip.mov", 30, 10);
    VornDoc doc;
    doc.SetShape(64, 48);
    doc.SetFps(24);
    ImageLayer* layer = AddImage(doc, movie);
    EXPECT_TRUE(layer->IsMovieLayer());
    layer->LoadMedia(32);
    ASSERT_TRUE(layer->fIsMovie);
    EXPECT_FLOAT_EQ(layer->MovieFps(), 30);
    EXPECT_EQ(layer->MovieDuration(), 240);
    EXPECT_EQ(layer->LayerDuration(), 240);
    layer->SetCurFrame(1);
    EXPECT_EQ(layer->fMovieFrame, 0);
    EXPECT_EQ(CentreRed(*layer), 0);
    layer->SetCurFrame(25);
    EXPECT_EQ(layer->MovieFrameAt(), 30);
    EXPECT_EQ(CentreRed(*layer), 15);

    layer->SetMovieFps(15);
    EXPECT_FLOAT_EQ(layer->PlaybackRate(), 0.5f);
    EXPECT_EQ(layer->MovieDuration(), 480);
    layer->SetMovieLooping(true);
    EXPECT_EQ(layer->LayerDuration(), -1);

    // Two movie frames rendered: each frame shows its own picture.
    RenderBench bench(64, 48, 0);
    auto* rendered = new ImageLayer;
    bench.doc.AddLayer(rendered);
    bench.doc.SetFps(30);
    rendered->SetSourceImage(movie.c_str());
    for (const int32_t frame : { 5, 41 }) {
        RenderBench::Clear(bench.buffer.buffer);
        bench.doc.SetCurFrame(frame);
        bench.Render(rendered);
        const uint8_t* p = bench.Pixel(32, 24);
        EXPECT_EQ(p[kRed], (frame - 1) / 2) << frame;
        EXPECT_EQ(p[kBlue], 40) << frame;
        EXPECT_EQ(p[kAlpha], 255) << frame;
        // The 16 x 16 picture at its pixel size, centred.
        EXPECT_EQ(bench.Pixel(32 - 9, 24)[kAlpha], 0);
        EXPECT_EQ(bench.Pixel(32 + 6, 24)[kAlpha], 255);
    }
}

TEST(ImageLayer, LoopingBeforeTheStartAndAviAlpha)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    const std::string avi = folder.Path("half.avi");
    // The colour source has no alpha of its own: the format filter must follow it in the graph.
    ASSERT_TRUE(Ffmpeg("-f lavfi -i \"color=c=0xff000080:s=16x16:r=24:d=1,format=rgba\" -c:v png -pix_fmt rgba '"
        + avi + "'"));
    const struct {
        const char* name;
        int32_t docFrame;
        int32_t offset;
        bool looping;
        bool drawn;
    } cases[] = {
        { "within", 3, 0, false, true },
        { "past the end", 30, 0, false, false },
        { "past the end, looping", 30, 0, true, true },
        { "before the start", 2, -5, false, false },
        { "frame 0", 0, 0, false, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool keepAlpha : { false, true }) {
            RenderBench bench(64, 48, 0);
            auto* layer = new ImageLayer;
            bench.doc.AddLayer(layer);
            bench.doc.SetFps(24);
            layer->SetSourceImage(avi.c_str());
            layer->SetMovieLooping(c.looping);
            layer->SetAviAlpha(keepAlpha);
            layer->SetTimingOffset(c.offset);
            bench.doc.SetCurFrame(c.docFrame);
            bench.Render(layer);
            const uint8_t alpha = bench.Pixel(32, 24)[kAlpha];
            if (!c.drawn)
                EXPECT_EQ(alpha, 0);
            else if (!keepAlpha)
                EXPECT_EQ(alpha, 255);
            else
                EXPECT_NEAR(alpha, 0x80, 2);
        }
    }
}

TEST(ImageLayer, UnderABoneLayerThePictureIsWarped)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    const std::string still = MakeStill(folder, "white.png", 16, 16, "ffffff");
    RenderBench bench(64, 48, 0);
    auto* bones = new StandInGroupKind(LT_BONE);
    bones->bones.wholeOffset = { 0.5f, 0 };
    bench.doc.AddLayer(bones);
    auto* layer = new ImageLayer;
    bones->AddLayer(layer);
    layer->SetSourceImage(still.c_str());
    EXPECT_FALSE(layer->IsFlatAndStatic());
    // At frame 0 the skeleton rests unless a bone tool shows it; at frame 1 it moves the picture
    // 0.5 units (12 pixels) right.
    for (const int32_t frame : { 0, 1 }) {
        RenderBench::Clear(bench.buffer.buffer);
        bench.doc.SetCurFrame(frame);
        bench.Render(layer);
        const int32_t shift = frame == 0 ? 0 : 12;
        EXPECT_EQ(bench.Pixel(32 + shift, 24)[kAlpha], 255) << frame;
        EXPECT_EQ(bench.Pixel(32 + shift - 10, 24)[kAlpha], 0) << frame;
    }
    layer->SetLayerParentBone(-1);
    EXPECT_TRUE(layer->IsFlatAndStatic());
}

TEST(ImageLayer, RecordRoundTripsWithTrackingPoints)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    const std::string movie = MakeNumberedMovie(folder, "clip.mov", 24, 1);
    VornDoc doc;
    doc.SetShape(64, 48);
    ImageLayer* layer = AddImage(doc, movie);
    layer->LoadMedia(32);
    layer->SetMovieLooping(true);
    for (int32_t i = 0; i < 4; i++)
        EXPECT_EQ(layer->AddTrackingPoint(1, 4.0f + float(i), 5) != nullptr, i < 3);
    EXPECT_STREQ(layer->GetTrackingPoint(0)->Name().CString(), "TrackPoint 1");
    EXPECT_EQ(layer->GetTrackingPoint(0)->fLastFrame, 24);
    layer->GetTrackingPoint(0)->fSelected = true;
    layer->GetTrackingPoint(2)->fSelected = true;
    layer->DeleteSelectedTrackingPoints();
    ASSERT_EQ(layer->CountTrackingPoints(), 1);
    EXPECT_FLOAT_EQ(layer->GetTrackingPoint(0)->fAnimPos.GetValue(1).x, 5);
    {
        ConsoleCapture console;
        EXPECT_EQ(layer->GetTrackingPoint(3), nullptr);
        EXPECT_EQ(console.lines, std::vector<std::string> { "ImageLayer:GetTrackingPoint - out of range" });
    }
    EXPECT_EQ(layer->CountChannels(), 24);

    QV_MemStream out;
    out.Open(0);
    layer->WriteRecord(&out);
    const std::string text = StreamText(out);
    EXPECT_NE(text.find("\tnum_tracking_points 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tmovie_looping true\n"), std::string::npos);
    QV_MemStream in;
    FillStream(in, text);
    in.fVersion = kCurrentFormatVersion;
    VornLayer* back = LayerFactory(LT_IMAGE);
    ASSERT_TRUE(back->ReadRecord(&in)) << in.fError.CString();
    QV_MemStream again;
    again.Open(0);
    back->WriteRecord(&again);
    EXPECT_EQ(StreamText(again), text);
    delete back;

    // A hand-made record may say there are no points, and a negative count is an error.
    for (const char* count : { "0", "-1" }) {
        QV_MemStream s;
        FillStream(s, std::string("{\n\tnum_tracking_points ") + count + "\n}\n");
        ImageLayer read;
        EXPECT_EQ(read.ReadRecord(&s), std::string(count) == "0") << count;
    }
}
