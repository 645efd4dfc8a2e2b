// The frame render job over real vector layers: the job's buffers, margins and compositing
// agree with the layers' own render passes.

#include <gtest/gtest.h>

#include "../graphics/image_test_support.h"
#include "render_job.h"
#include "shape_render_support.h"

namespace {

struct Rgb {
    int r, g, b, a;
};

Rgb PixelOf(const QV_BaseImage& image, int32_t x, int32_t y)
{
    const uint8_t* p = ShapeBench::At(image, x, y);
    return Rgb { p[2], p[1], p[0], p[3] };
}

TEST(RenderJobLayers, VectorShapesLandInTheFrame)
{
    struct Case {
        const char* what;
        bool effects;
        float opacity;
        // Expected red and green at the centre over the white background.
        int red;
        int green;
    };
    const Case cases[] = {
        { "with effects", true, 1.0f, 220, 30 },
        { "without effects", false, 1.0f, 220, 30 },
        // Half opacity goes through the layer image and its composite.
        { "half opacity", true, 0.5f, 238, 143 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShapeBench bench(64, 48);
        bench.Shape(bench.Square(-0.5f, 0.5f, 0.5f, -0.5f), kFillRed, kLineBlue, 0.0f, true, false);
        bench.layer->fAlpha.SetValue(0, c.opacity);
        bench.Ready();
        QV_BaseImage frame;
        ASSERT_EQ(frame.Allocate(64, 48, 32), 0);
        RenderSettings settings;
        settings.SetDefaults();
        settings.fDoc = &bench.doc;
        settings.fImage = &frame;
        settings.fShapeEffects = c.effects;
        settings.fLayerEffects = c.effects;
        RenderJob job;
        job.fSettings = &settings;
        while (job.RenderFrame()) { }
        ASSERT_EQ(job.LastStatus(), 0) << job.LastError().CString();
        const Rgb centre = PixelOf(frame, 32, 24);
        EXPECT_NEAR(centre.r, c.red, 2);
        EXPECT_NEAR(centre.g, c.green, 2);
        EXPECT_EQ(centre.a, 255);
        // The square spans half the frame height around the centre: the corners stay white.
        const Rgb corner = PixelOf(frame, 1, 1);
        EXPECT_EQ(corner.r, 255);
        EXPECT_EQ(corner.g, 255);
    }
}

TEST(RenderJobLayers, RenderFramesShowsASavedDocument)
{
    REQUIRE_IMAGEMAGICK(identify, "identify");
    ScratchFolder folder;
    ShapeBench bench(64, 48);
    bench.Shape(bench.Square(-0.5f, 0.5f, 0.5f, -0.5f), kFillRed, kLineBlue, 0.0f, true, false);
    bench.Ready();
    bench.doc.SetPath((folder / "square.celv").c_str());
    ASSERT_EQ(bench.doc.Save(nullptr), 0);

    const std::string out = folder / "square.png";
    CommandResult run = RunCommand(
        std::string(CELVANE_RENDER_FRAMES) + " '" + (folder / "square.celv") + "' 0 0 '" + out + "' 128 96");
    ASSERT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    // Twice the size: the square still spans the middle half, on a transparent background.
    CommandResult pixels = RunCommand(identify + " -format '%w %h %[pixel:p{64,48}] %[pixel:p{2,2}]' '"
        + (folder / "square0000.png") + "'");
    EXPECT_EQ(pixels.output, "128 96 srgba(220,30,20,1) srgba(0,0,0,0)");
}

} // namespace
