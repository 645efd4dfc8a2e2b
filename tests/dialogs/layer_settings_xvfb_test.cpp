// Layer Settings as a person meets it: the layer_settings utility on a document made here, under
// a private X server, typed into and clicked with xdotool, and the document OK saved read back.
#include <filesystem>

#include "../lib_vorn/tools/read_document.h"
#include "../toolkit/demo_session.h"
#include "meshlayer.h"
#include "shape_style_factory.h"
#include "vorndoc.h"

#ifndef CELVANE_LAYER_SETTINGS
#define CELVANE_LAYER_SETTINGS ""
#endif

namespace {

class LayerSettingsSession : public DemoSession {
protected:
    // A document with one vector layer "Layer 1" at half opacity, its dialog on the screen.
    void Start()
    {
        RegisterShapeStyles();
        fIn = fRoot.File("in.txt");
        fOut = fRoot.File("out.txt");
        {
            VornDoc doc;
            auto* layer = new MeshLayer;
            layer->SetName("Layer 1");
            layer->fAlpha.SetValue(0, 0.5f);
            doc.AddLayer(layer);
            doc.SetPath(fIn.c_str());
            ASSERT_EQ(doc.Save(nullptr), 0);
        }
        StartProgram(CELVANE_LAYER_SETTINGS, { fIn, fOut, "--layer", "Layer 1" }, "ready");
        if (HasFatalFailure() || IsSkipped())
            return;
        for (const char* name : { "name", "opacity", "ok", "cancel" })
            ASSERT_TRUE(fBoxes.count(name)) << name << "\n" << Output();
        ASSERT_TRUE(WaitForWindow("Layer Settings")) << Output();
    }
    void TypeInto(const std::string& field, const std::string& text)
    {
        ClickBox(field);
        Keys("ctrl+a");
        Xdo({ "type", "--delay", "40", text });
    }
    // The saved document's only layer.
    std::unique_ptr<VornDoc> Saved()
    {
        int status = -1;
        EXPECT_TRUE(WaitForExit(status)) << Output();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Output();
        EXPECT_NE(Output().find("OK"), std::string::npos) << Output();
        return std::unique_ptr<VornDoc>(ReadDocument(fOut.c_str()));
    }

    std::string fIn;
    std::string fOut;
};

} // namespace

// Opacity 150 and OK: a beep, the dialog stays; OK again stores the 100 the field now holds.
TEST_F(LayerSettingsSession, OpacityBeyondTheRangeBeepsAndStaysThenStoresTheClampedValue)
{
    Start();
    if (HasFatalFailure() || IsSkipped())
        return;
    TypeInto("opacity", "150");
    ClickBox("ok");
    ASSERT_TRUE(WaitFor("beep")) << Output();
    usleep(300000);
    EXPECT_EQ(waitpid(fDemo, nullptr, WNOHANG), 0) << Output();
    EXPECT_TRUE(WaitForWindow("Layer Settings"));
    EXPECT_EQ(Output().find("OK"), std::string::npos) << Output();

    ClickBox("ok");
    std::unique_ptr<VornDoc> saved = Saved();
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->CountLayers(), 1);
    EXPECT_FLOAT_EQ(saved->Layer(0)->fAlpha.GetValue(0), 1.0f);
    EXPECT_EQ(Count("beep"), 1) << Output();
}

TEST_F(LayerSettingsSession, ANameTypedAndOkIsWritten)
{
    Start();
    if (HasFatalFailure() || IsSkipped())
        return;
    TypeInto("name", "Hero");
    ClickBox("ok");
    std::unique_ptr<VornDoc> saved = Saved();
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->CountLayers(), 1);
    EXPECT_STREQ(saved->Layer(0)->Name().CString(), "Hero");
    EXPECT_FLOAT_EQ(saved->Layer(0)->fAlpha.GetValue(0), 0.5f);
}

TEST_F(LayerSettingsSession, CancelWritesNothing)
{
    Start();
    if (HasFatalFailure() || IsSkipped())
        return;
    TypeInto("name", "Villain");
    ClickBox("cancel");
    int status = -1;
    ASSERT_TRUE(WaitForExit(status)) << Output();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Output();
    EXPECT_NE(Output().find("CANCEL"), std::string::npos) << Output();
    EXPECT_FALSE(std::filesystem::exists(fOut));
}
