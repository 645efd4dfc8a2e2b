// Documents whose transforms were mutated to huge values render like any other frame: nothing,
// or what is left after clipping, with every float to int conversion on the way saturated (the
// sanitizer build fails a test on any that is not).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../core/scratch_folder.h"
#include "image_format_registry.h"
#include "qv_filestream.h"
#include "render_job.h"
#include "render_settings.h"
#include "shape_style_factory.h"
#include "vorndoc.h"

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text with the values of every key of the named channels replaced (frame, interpolation and
// its two settings stay).
std::string WithKeys(const std::string& text, const std::string& channel, const std::string& values)
{
    std::istringstream in(text);
    std::string out;
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        const bool cr = !line.empty() && line.back() == '\r';
        if (cr)
            line.pop_back();
        const size_t start = line.find_first_not_of('\t');
        const std::string trimmed = start == std::string::npos ? "" : line.substr(start);
        if (trimmed == channel) {
            inside = true;
        } else if (inside && trimmed == "]") {
            inside = false;
        } else if (inside && !trimmed.empty() && trimmed[0] != '[' && trimmed.rfind("keys", 0) != 0) {
            size_t at = start;
            for (int field = 0; field < 4; field++)
                at = line.find(' ', at) + 1;
            line = line.substr(0, at) + values;
        }
        out += line + (cr ? "\r\n" : "\n");
    }
    return out;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

TEST(HostileTransforms, HugeValuesRenderAnOrdinaryFrame)
{
    RegisterShapeStyles();
    ImageFormatRegistry::Init();
    // Every layer effect and shape kind of the golden fixture, at 64 x 48.
    const std::string fixture = Replaced(
        ReadText(std::string(CELVANE_TEST_DATA) + "/golden/layer_effects_doc.txt"), "dimensions 320 180", "dimensions 64 48");
    ASSERT_FALSE(fixture.empty());
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        { "shear z at the lowest int", WithKeys(fixture, "shear", "0 0 -2147483648") },
        { "shear beyond every raster", WithKeys(fixture, "shear", "1e30 -1e30 3e38") },
        { "translation z far behind", WithKeys(fixture, "translation", "0 0 -3e8") },
        { "translation far aside", WithKeys(fixture, "translation", "3e38 -3e38 0") },
        { "scale near the float limit", WithKeys(fixture, "scale", "3e38 3e38 3e38") },
        { "rotation of many turns", WithKeys(fixture, "rotation_z", "3e38") },
        { "camera far away", Replaced(fixture, "0 1 0.1 0.5 0 0 1.7321", "0 1 0.1 0.5 0 0 3e38") },
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.text, fixture);
        const std::string path = folder.File("hostile.txt");
        folder.Put("hostile.txt", c.text);
        QV_FileStream stream;
        ASSERT_EQ(stream.Open(path.c_str(), true), 0);
        VornDoc doc(&stream);
        ASSERT_FALSE(doc.fReadFailed) << stream.fError.CString();
        stream.Close();
        QV_BaseImage image;
        ASSERT_EQ(image.Allocate(doc.Width(), doc.Height(), 32), 0);
        RenderSettings settings;
        settings.fDoc = &doc;
        settings.fImage = &image;
        settings.fStartFrame = 1;
        settings.fEndFrame = 3;
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = 1;
        int32_t steps = 0;
        while (job.RenderFrame())
            steps++;
        EXPECT_EQ(job.LastStatus(), 0) << job.LastError().CString();
        EXPECT_GT(steps, 3);
    }
    ImageFormatRegistry::Free();
}

} // namespace
