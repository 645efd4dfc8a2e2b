// Golden renders: a small document using every layer effect (shadow, shading and auto shading,
// blur, opacity, blend modes, motion blur, depth of field, a masked group) and shapes with and
// without shape effects, rendered through the frame render job to numbered PNG files at three
// frames and compared with the PNGs in tests/data/golden. The document itself is a fixture
// (tests/data/golden/layer_effects_doc.txt), read the way any saved document is.
//
// When a deliberate change alters the look, inspect the differing frames (the job's files are
// left in the test's working directory as <name>.actual.png), then regenerate document and
// goldens with
//     CELVANE_UPDATE_GOLDEN=1 ctest -R GoldenRender
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "grouplayer.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "qv_filestream.h"
#include "render_job.h"
#include "render_settings.h"
#include "shape_style_factory.h"
#include "vector_shapes.h"
#include "vorndoc.h"

namespace {

const std::string kGolden = std::string(CELVANE_TEST_DATA) + "/golden/";
const std::string kDocument = kGolden + "layer_effects_doc.txt";

bool Updating()
{
    const char* update = std::getenv("CELVANE_UPDATE_GOLDEN");
    return update && *update && std::string(update) != "0";
}

void BuildDocument(VornDoc& doc)
{
    ASSERT_TRUE(doc.SetShape(320, 180));
    doc.fEndFrame = 24;
    const rgb_color red { 220, 40, 40, 255 }, blue { 30, 60, 200, 255 }, green { 40, 180, 70, 255 },
        yellow { 240, 200, 40, 255 }, white { 250, 250, 250, 255 }, black { 0, 0, 0, 255 };

    MeshLayer* shadowed = NewLayer("Shadowed");
    AddRect(shadowed, -1.3f, 0.8f, -0.6f, 0.2f, red, blue, 0.02f);
    shadowed->fLayerShadow.SetValue(0, true);
    shadowed->fShadowOffset.SetValue(0, 0.05f);
    shadowed->fShadowBlur.SetValue(0, 0.02f);
    shadowed->fTranslation.SetValue(24, QV_Vector3 { 0.4f, 0, 0 });
    doc.AddLayer(shadowed);

    MeshLayer* soft = NewLayer("Soft edge");
    M_Shape* softShape = AddRect(soft, 0.2f, 0.8f, 0.9f, 0.2f, green, black, 0.01f);
    softShape->fMyStyle.SetSoftEdge(0.04f);
    softShape->fMyStyle.fFillCol.SetValue(24, yellow);
    doc.AddLayer(soft);

    MeshLayer* multiplied = NewLayer("Blurred multiply");
    AddRect(multiplied, -0.3f, 0.3f, 0.3f, -0.3f, blue, black, 0);
    multiplied->fBlur.SetValue(0, 0.01f);
    multiplied->fAlpha.SetValue(0, 0.7f);
    multiplied->SetBlendingMode(BM_MULTIPLY);
    multiplied->fRotationZ.SetValue(24, 0.5f);
    doc.AddLayer(multiplied);

    MeshLayer* shaded = NewLayer("Shaded");
    AddRect(shaded, -1.5f, -0.2f, -0.7f, -0.9f, yellow, red, 0.015f);
    shaded->fLayerShading.SetValue(0, true);
    shaded->fAmbientOcclusion.SetValue(0, 0.02f);
    doc.AddLayer(shaded);

    MeshLayer* moving = NewLayer("Motion blur");
    AddRect(moving, -0.5f, -0.5f, -0.3f, -0.7f, white, black, 0.01f);
    moving->fTranslation.SetValue(24, QV_Vector3 { 0.8f, 0.3f, 0 });
    moving->fMotionBlur.SetValue(0, true);
    moving->fMotionBlurFrames.SetValue(0, 3);
    moving->fMotionBlurSkip.SetValue(0, 1);
    doc.AddLayer(moving);

    GroupLayer* group = new GroupLayer;
    group->SetName("Masked group");
    group->SetGroupMask(GROUP_MASK_HIDE_ALL);
    group->SetBlendingMode(BM_SCREEN);
    MeshLayer* mask = NewLayer("Mask");
    AddRect(mask, 0.4f, -0.1f, 1.0f, -0.8f, white, black, 0);
    MeshLayer* stripes = NewLayer("Stripes");
    for (int32_t i = 0; i < 6; i++) {
        const float x = 0.2f + 0.15f * float(i);
        AddRect(stripes, x, 0.0f, x + 0.07f, -0.9f, i % 2 ? red : green, black, 0);
    }
    group->AddLayer(mask);
    group->AddLayer(stripes);
    doc.AddLayer(group);

    // Far behind the focus range: the depth of field blurs it.
    MeshLayer* far = NewLayer("Out of focus");
    AddRect(far, 1.2f, 0.9f, 1.7f, 0.3f, blue, white, 0.02f);
    far->fTranslation.SetValue(0, QV_Vector3 { 0, 0, -6 });
    doc.AddLayer(far);
    doc.fDepthOfField = true;
    ASSERT_TRUE(doc.SetFocus(2, 1));
    doc.fMaxBlur = 0.03f;
}

// Renders one frame of the fixture document to <folder>/frame<NNNN>.png through the job's own
// numbered output; answers the file written.
std::string RenderFrame(const std::filesystem::path& folder, int32_t frame)
{
    QV_FileStream in;
    EXPECT_EQ(in.Open(kDocument.c_str(), true), 0) << kDocument;
    VornDoc doc(&in);
    EXPECT_FALSE(doc.fReadFailed) << in.fError.CString();
    in.Close();
    QV_BaseImage image;
    EXPECT_EQ(image.Allocate(doc.Width(), doc.Height(), 32), 0);
    RenderSettings settings;
    settings.SetDefaults();
    settings.fDoc = &doc;
    settings.fImage = &image;
    settings.fStartFrame = frame;
    settings.fEndFrame = frame;
    settings.fPath = (folder / "frame.png").c_str();
    settings.fFormat = PngWriterIndex;
    RenderJob job;
    job.fSettings = &settings;
    job.fFrame = frame;
    while (job.RenderFrame()) { }
    EXPECT_EQ(job.LastStatus(), 0) << job.LastError().CString();
    return RenderJob::NumberedFileName(settings, frame).CString();
}

// Pixels differing by more than one step in any channel (rounding in the float effects may move
// a value by one), and the first of them.
int32_t Differences(const QV_BaseImage& a, const QV_BaseImage& b, std::string& first)
{
    int32_t count = 0;
    for (int32_t y = 0; y < a.buffer.height; y++) {
        const uint8_t* p = a.buffer.pixels + int64_t(y) * a.buffer.rowBytes;
        const uint8_t* q = b.buffer.pixels + int64_t(y) * b.buffer.rowBytes;
        for (int32_t x = 0; x < a.buffer.width * 4; x++) {
            if (std::abs(int32_t(p[x]) - int32_t(q[x])) > 1) {
                if (count++ == 0)
                    first = "first at (" + std::to_string(x / 4) + ", " + std::to_string(y)
                        + "): " + std::to_string(p[x]) + " against " + std::to_string(q[x]);
                x |= 3;
            }
        }
    }
    return count;
}

} // namespace

TEST(GoldenRender, LayerEffectsAtThreeFrames)
{
    RegisterShapeStyles();
    ImageFormatRegistry::Init();
    if (Updating()) {
        VornDoc doc;
        BuildDocument(doc);
        doc.SetPath(kDocument.c_str());
        ASSERT_EQ(doc.Save(nullptr), 0);
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path()
        / ("celvane_golden_render_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const int32_t frame : { 1, 12, 24 }) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        const std::string written = RenderFrame(folder, frame);
        const std::string golden = kGolden + "layer_effects_" + std::to_string(frame) + ".png";
        if (Updating()) {
            std::filesystem::copy_file(written, golden, std::filesystem::copy_options::overwrite_existing);
            continue;
        }
        QV_BaseImage drawn, expected;
        ASSERT_EQ(LoadImageFile(written.c_str(), drawn, 0), 0) << written;
        ASSERT_EQ(LoadImageFile(golden.c_str(), expected, 0), 0)
            << golden << " is missing; run with CELVANE_UPDATE_GOLDEN=1 to create it";
        ASSERT_EQ(drawn.buffer.width, expected.buffer.width);
        ASSERT_EQ(drawn.buffer.height, expected.buffer.height);
        ASSERT_EQ(drawn.buffer.bytesPerPixel, expected.buffer.bytesPerPixel);
        std::string first;
        const int32_t differences = Differences(drawn, expected, first);
        if (differences > 0)
            std::filesystem::copy_file(written, "layer_effects_" + std::to_string(frame) + ".actual.png",
                std::filesystem::copy_options::overwrite_existing);
        EXPECT_EQ(differences, 0) << first;
    }
    std::filesystem::remove_all(folder);
}
