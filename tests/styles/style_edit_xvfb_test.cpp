// The shaded effect's dialog as a person meets it: style_edit on a document made here, under a
// private X server, typed into and clicked with xdotool, its preview read by ImageMagick, and the
// document OK saved read back.
#include <filesystem>

#include "../lib_vorn/tools/read_document.h"
#include "../toolkit/demo_session.h"
#include "m_shape.h"
#include "shape_style_factory.h"
#include "ss_shaded.h"
#include "vector_shapes.h"
#include "vorndoc.h"

#ifndef CELVANE_STYLE_EDIT
#define CELVANE_STYLE_EDIT ""
#endif

namespace {

class StyleEditSession : public DemoSession {
protected:
    // A document with one vector layer "Shapes" whose only shape carries a shaded fill effect.
    void Start()
    {
        RegisterShapeStyles();
        fIn = fRoot.File("in.txt");
        fOut = fRoot.File("out.txt");
        {
            VornDoc doc;
            MeshLayer* layer = NewLayer("Shapes");
            M_Shape* shape = AddRect(layer, -0.5f, -0.5f, 0.5f, 0.5f, rgb_color { 40, 120, 220, 255 },
                rgb_color { 0, 0, 0, 255 }, 0);
            shape->fMyStyle.fEffects[0] = new SS_Shaded;
            doc.AddLayer(layer);
            doc.SetPath(fIn.c_str());
            ASSERT_EQ(doc.Save(nullptr), 0);
        }
        StartProgram(CELVANE_STYLE_EDIT, { fIn, fOut, "--layer", "Shapes", "--shape", "0", "--slot", "0" }, "ready");
        if (HasFatalFailure() || IsSkipped())
            return;
        for (const char* name : { "preview", "offset", "blur", "shadowonly" })
            ASSERT_TRUE(fBoxes.count(name)) << name << "\n" << Output();
        ASSERT_TRUE(WaitForWindow("Shaded")) << Output();
    }
    // The preview as ImageMagick sees it on the screen.
    std::string Preview(const std::string& name)
    {
        const DemoBox& box = fBoxes["preview"];
        const std::string file = fRoot.File((name + ".png").c_str());
        EXPECT_EQ(RunProgram({ "import", "-window", "root", "-crop",
                                 std::to_string(box.width) + "x" + std::to_string(box.height) + "+"
                                     + std::to_string(box.x) + "+" + std::to_string(box.y),
                                 "+repage", "png:" + file },
                      "", nullptr),
            0);
        return file;
    }
    // Pixels that differ between two pictures, as ImageMagick counts them.
    long Differing(const std::string& a, const std::string& b)
    {
        const std::string out = fRoot.File("compare.txt");
        RunProgram({ "sh", "-c", "compare -metric AE '" + a + "' '" + b + "' null: 2>'" + out + "'" }, "", nullptr);
        return std::atol(GetFile("compare.txt").c_str());
    }

    std::string fIn;
    std::string fOut;
};

} // namespace

// A new offset typed, the field left by a click into the blur field: the preview changes; a
// click on "Shadow only" changes it again; Return saves the new offset keyed at frame 0.
TEST_F(StyleEditSession, TypedOffsetAndShadowOnlyChangeThePreviewAndReturnSaves)
{
    Start();
    if (HasFatalFailure() || IsSkipped())
        return;
    const std::string before = Preview("before");
    ClickBox("offset");
    Keys("ctrl+a");
    Xdo({ "type", "--delay", "40", "60" });
    ClickBox("blur");
    usleep(300000);
    const std::string typed = Preview("typed");
    EXPECT_GT(Differing(before, typed), 100) << Output();

    ClickBox("shadowonly");
    usleep(300000);
    const std::string shadowOnly = Preview("shadow_only");
    EXPECT_GT(Differing(typed, shadowOnly), 100) << Output();

    Keys("Return");
    int status = -1;
    ASSERT_TRUE(WaitForExit(status)) << Output();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Output();
    EXPECT_NE(Output().find("OK"), std::string::npos) << Output();
    VornDoc* saved = ReadDocument(fOut.c_str());
    ASSERT_NE(saved, nullptr);
    auto* layer = static_cast<MeshLayer*>(saved->LayerByName("Shapes"));
    ASSERT_NE(layer, nullptr);
    auto* shaded = static_cast<SS_Shaded*>(layer->Mesh()->GetShape(0)->fMyStyle.fEffects[0]);
    ASSERT_NE(shaded, nullptr);
    EXPECT_NEAR(shaded->fOffset.GetValue(0) * float(saved->Height()), 60.0f, 0.01f);
    EXPECT_TRUE(shaded->fShadowOnly);
    delete saved;
}

TEST_F(StyleEditSession, EscapeWritesNothing)
{
    Start();
    if (HasFatalFailure() || IsSkipped())
        return;
    ClickBox("offset");
    Keys("ctrl+a");
    Xdo({ "type", "--delay", "40", "60" });
    ClickBox("blur");
    Keys("Escape");
    int status = -1;
    ASSERT_TRUE(WaitForExit(status)) << Output();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Output();
    EXPECT_NE(Output().find("CANCEL"), std::string::npos) << Output();
    EXPECT_FALSE(std::filesystem::exists(fOut));
}
