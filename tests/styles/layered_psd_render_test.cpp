// Layered PSD output of real vector layers through the frame render job, with layer effects on,
// off and in quick preview, judged by ImageMagick's reading of the file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../graphics/image_test_support.h"
#include "composite_modes.h"
#include "image_format_registry.h"
#include "render_job.h"
#include "render_settings.h"
#include "shape_style_factory.h"
#include "vector_shapes.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 48;
const rgb_color kRed { 220, 40, 40, 255 };
const rgb_color kBlue { 30, 60, 200, 255 };
const rgb_color kBlack { 0, 0, 0, 255 };

// Pixels in a 64 x 48 frame (24 pixels a unit): only the red square, only the blue one, both,
// and neither.
constexpr int32_t kRedX = 17, kBlueX = 42, kBothX = 25, kNoneX = 60, kY = 24;

// A red square under a half-transparent multiplying blue one.
void BuildDocument(VornDoc& doc)
{
    ASSERT_TRUE(doc.SetShape(kWidth, kHeight));
    MeshLayer* red = NewLayer("Red");
    AddRect(red, -1.0f, 0.6f, -0.2f, -0.6f, kRed, kBlack, 0);
    doc.AddLayer(red);
    MeshLayer* blue = NewLayer("Blue");
    AddRect(blue, -0.4f, 0.4f, 0.8f, -0.4f, kBlue, kBlack, 0);
    blue->fAlpha.SetValue(0, 0.5f);
    blue->SetBlendingMode(BM_MULTIPLY);
    doc.AddLayer(blue);
}

class LayeredPsdRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeStyles();
        ImageFormatRegistry::Init();
        BuildDocument(doc);
    }
    void TearDown() override { ImageFormatRegistry::Free(); }

    // Renders frame 0 to NAME.psd (or NAME.png); answers the file written.
    std::string Render(const std::string& name, bool layerEffects, bool quickPreview, bool psd = true)
    {
        QV_BaseImage image;
        EXPECT_EQ(image.Allocate(kWidth, kHeight, 32), 0);
        RenderSettings settings;
        settings.fDoc = &doc;
        settings.fImage = &image;
        settings.fLayerEffects = layerEffects;
        settings.fQuickPreview = quickPreview;
        settings.fPath = (folder / (name + (psd ? ".psd" : ".png"))).c_str();
        settings.fFormat = psd ? kRenderFormatPSD : PngWriterIndex;
        RenderJob job;
        job.fSettings = &settings;
        while (job.RenderFrame()) { }
        EXPECT_EQ(job.LastStatus(), 0) << job.LastError().CString();
        return RenderJob::NumberedFileName(settings, 0).CString();
    }

    // Image index of the file as ImageMagick decodes it (for a PSD file, 0 the merged image, then
    // the layers), with options applied.
    std::vector<Rgba> Decoded(
        const std::string& convert, const std::string& path, int32_t index, const std::string& options = "")
    {
        const CommandResult text = RunCommand(
            convert + " '" + path + "[" + std::to_string(index) + "]' " + options + " -depth 8 txt:-");
        std::vector<Rgba> pixels;
        EXPECT_EQ(text.status, 0) << text.output;
        EXPECT_TRUE(ParseImageMagickText(text.output, kWidth, kHeight, pixels)) << text.output.substr(0, 400);
        return pixels;
    }

    static Rgba At(const std::vector<Rgba>& pixels, int32_t x, int32_t y)
    {
        return pixels.empty() ? Rgba { -1, -1, -1, -1 } : pixels[size_t(y) * kWidth + size_t(x)];
    }

    VornDoc doc;
    ScratchFolder folder;
};

const Rgba kRedPixel { 220, 40, 40, 255 };
const Rgba kBluePixel { 30, 60, 200, 255 };
const Rgba kWhitePixel { 255, 255, 255, 255 };

TEST_F(LayeredPsdRender, EveryLayerHasItsPixelsWhateverTheEffectSetting)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    REQUIRE_IMAGEMAGICK(identify, "identify");
    struct Case {
        const char* name;
        bool effects;
        bool quick;
    };
    const Case cases[] = { { "effects", true, false }, { "plain", false, false },
        { "quick_effects", true, true }, { "quick_plain", false, true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Render(c.name, c.effects, c.quick);
        const std::vector<Rgba> red = Decoded(convert, path, 1);
        const std::vector<Rgba> blue = Decoded(convert, path, 2);
        // Each layer alone, its pixels as drawn; ImageMagick applies the record's opacity to the
        // alpha it decodes.
        const Rgba halfBlue { kBluePixel.r, kBluePixel.g, kBluePixel.b, c.effects ? 128 : 255 };
        EXPECT_EQ(At(red, kRedX, kY), kRedPixel);
        EXPECT_EQ(At(red, kBothX, kY), kRedPixel);
        EXPECT_EQ(At(red, kBlueX, kY).a, 0);
        EXPECT_EQ(At(blue, kBlueX, kY), halfBlue);
        EXPECT_EQ(At(blue, kBothX, kY), halfBlue);
        EXPECT_EQ(At(blue, kRedX, kY).a, 0);
        const CommandResult info = RunCommand(identify + " -verbose '" + path + "'");
        // Without effects neither opacity nor blend mode applies, in the pixels or the records.
        EXPECT_EQ(info.output.find("Compose: Multiply") != std::string::npos, c.effects) << info.output;
        EXPECT_EQ(info.output.find("psd:layer.opacity: 32896") != std::string::npos, c.effects) << info.output;

        // The merged image is the frame a full run renders to a flat file, laid over white (give
        // or take the rounding of the layer image an opaque layer goes through for the file).
        const std::vector<Rgba> merged = Decoded(convert, path, 0);
        const std::string flat = Render(std::string(c.name) + "_flat", c.effects, false, false);
        const std::vector<Rgba> expected = Decoded(convert, flat, 0, "-background white -flatten");
        ASSERT_EQ(merged.size(), expected.size());
        int32_t differences = 0;
        for (size_t i = 0; i < merged.size(); i++) {
            const Rgba a = merged[i], b = expected[i];
            differences += std::abs(a.r - b.r) > 2 || std::abs(a.g - b.g) > 2 || std::abs(a.b - b.b) > 2;
        }
        EXPECT_EQ(differences, 0);
        EXPECT_EQ(At(merged, kRedX, kY), kRedPixel);
        EXPECT_EQ(At(merged, kNoneX, kY), kWhitePixel);
        if (!c.effects) {
            EXPECT_EQ(At(merged, kBothX, kY), kBluePixel);
        }
    }
}

} // namespace
