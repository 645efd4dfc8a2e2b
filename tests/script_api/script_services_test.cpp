// The members that reach the application, through services that record what they were asked,
// the previews and the VORN module functions.
#include <string>
#include <vector>

#include "registry_test_support.h"
#include "tolua++.h"

#include "audiolayer.h"
#include "bonelayer.h"
#include "m_bone.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_skeleton.h"
#include "meshlayer.h"
#include "qv_font.h"
#include "qv_message.h"
#include "qv_raster.h"
#include "qv_text_list.h"
#include "script_app_services.h"
#include "script_interface.h"
#include "script_previews.h"
#include "skeleton_bones.h"
#include "vorndoc.h"

namespace {

class RecordingServices : public ScriptAppServices {
public:
    bool HasMainWindow() override { return window; }
    void SendToMainWindow(int32_t what) override { sent.push_back(what); }
    bool HasMainLayer() override { return window; }
    void DispatchToMainLayer(QV_Message& message) override
    {
        std::string text = std::to_string(message.fWhat);
        for (const char* field : { "alternate", "activateTool", "abbreviatedPaste" }) {
            const char* value = nullptr;
            if (message.FindString(field, &value))
                text += std::string(" ") + field + "=" + value;
        }
        const char* mesh = nullptr;
        text += message.FindString("mesh", &mesh) ? " mesh" : "";
        dispatched.push_back(text);
    }
    bool IsCopyable() override { return true; }
    M_Shape* NewShapeProperties() override { return properties; }
    int32_t CountFontFamilies() override { return 3; }
    const char* FontFamily(int32_t index) override
    {
        static const char* const kNames[] = { "Serif", "Mono", "Sans" };
        return kNames[index];
    }
    QV_Font* OpenFontByName(const char* family, int32_t pixelSize) override
    {
        asked = family;
        askedSize = pixelSize;
        return nullptr;
    }

    bool window = true;
    std::vector<int32_t> sent;
    std::vector<std::string> dispatched;
    M_Shape* properties = nullptr;
    std::string asked;
    int32_t askedSize = 0;
};

class ScriptServicesTest : public RegistryTest {
protected:
    ScriptServicesTest()
    {
        doc.SetShape(160, 80);
        layer = new MeshLayer;
        doc.AddLayer(layer);
        doc.SetSelLayer(layer);
        InstallScriptAppServices(&services);
    }
    ~ScriptServicesTest() override { InstallScriptAppServices(nullptr); }

    std::string Run(ScriptInterface& record, const std::string& code)
    {
        lua_State* state = Registry().fState;
        tolua_pushusertype(state, &record, "ScriptInterface");
        lua_setglobal(state, "si");
        return RunChunk(code);
    }

    // A closed triangle of three selected points in the mesh.
    static void Triangle(M_Mesh* mesh)
    {
        mesh->AddPoint(QV_Vector2 { 0, 0 }, -1, 0);
        mesh->AddPoint(QV_Vector2 { 0.5f, 0.5f }, 1, 0);
        mesh->GetCurve(0)->fClosed = true;
        for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
            mesh->GetPoint(i)->fSelected = true;
    }

    RecordingServices services;
    VornDoc doc;
    MeshLayer* layer;
};

TEST_F(ScriptServicesTest, CommandsReachTheMainWindowOnlyWhenThereIsOne)
{
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record,
                  "si:NewKeyframe(10000.7) si:NewKeyframe(9999) si:NewKeyframe(10064) si:NewKeyframe(10063)\n"
                  "VORN.NewKeyframe(10000.9) VORN.Redraw() si:UpdateUI()\n"
                  "si:Copy(si:Mesh()) si:CopyAlternate() si:Paste() si:PasteAlternate() si:CreateTextObject()\n"
                  "Copyable = tostring(si:IsCopyable()) .. tostring(si:IsPasteable())"),
        "");
    EXPECT_EQ(services.sent, (std::vector<int32_t> { 10000, 10063, 10000, 1001, 1006 }));
    EXPECT_EQ(services.dispatched,
        (std::vector<std::string> { "3133 activateTool=FALSE mesh", "3133 alternate=TRUE activateTool=FALSE",
            "3134 abbreviatedPaste=TRUE", "3134 alternate=TRUE abbreviatedPaste=TRUE", "3150" }));
    EXPECT_EQ(Global("Copyable"), "truefalse");
    EXPECT_NE(Run(record, "VORN.Redraw(1)").find("Redraw"), std::string::npos);

    services.window = false;
    services.sent.clear();
    services.dispatched.clear();
    ASSERT_EQ(Run(record, "si:NewKeyframe(10000) VORN.Redraw() si:Copy() Copyable = tostring(si:IsCopyable())"), "");
    EXPECT_TRUE(services.sent.empty());
    EXPECT_TRUE(services.dispatched.empty());
    EXPECT_EQ(Global("Copyable"), "false");
}

TEST_F(ScriptServicesTest, CreateShapeRedrawsFirstOnlyWhenAsked)
{
    Triangle(layer->Mesh());
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record, "Made = si:CreateShape(false, 4, false)"), "");
    EXPECT_TRUE(services.sent.empty());
    EXPECT_EQ(Global("Made"), "0");
    ASSERT_EQ(Run(record, "Made = si:CreateShape(true)"), "");
    EXPECT_EQ(services.sent, (std::vector<int32_t> { 1001 }));
    EXPECT_EQ(Global("Made"), "1");
}

TEST_F(ScriptServicesTest, StylePanelShapeGivesLineWidthAndTakesStyles)
{
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record, "Width = si:NewShapeLineWidth() Props = tostring(si:NewShapeProperties())"), "");
    EXPECT_EQ(Global("Width"), "0.012500000186265");
    EXPECT_EQ(Global("Props"), "nil");

    M_Shape panel(0);
    panel.fMyStyle.fLineWidth = 0.25f;
    M_Style reference(0);
    reference.fDefineLineWidth = true;
    reference.fLineWidth = 0.5f;
    panel.fStyle2 = &reference;
    services.properties = &panel;
    EXPECT_FLOAT_EQ(record.NewShapeLineWidth(), 0.5f);
    panel.fMyStyle.fDefineLineWidth = true;
    EXPECT_FLOAT_EQ(record.NewShapeLineWidth(), 0.25f);

    M_Shape shape(0);
    shape.fMyStyle.fLineWidth = 0.125f;
    record.PickStyleProperties(&shape);
    EXPECT_FLOAT_EQ(panel.fMyStyle.fLineWidth, 0.125f);
    panel.fMyStyle.fLineWidth = 0.375f;
    record.PushStyleProperties(&shape);
    EXPECT_FLOAT_EQ(shape.fMyStyle.fLineWidth, 0.375f);
    services.properties = nullptr;
}

TEST_F(ScriptServicesTest, FontListAudioLayersAndBoneSelection)
{
    ScriptInterface record(&doc, nullptr);
    QV_TextList list(0);
    record.FillInFontList(&list);
    ASSERT_EQ(list.CountItems(), 3);
    EXPECT_STREQ(list.GetItem(0), "Mono");
    EXPECT_STREQ(list.GetItem(2), "Serif");

    auto* sound = new AudioLayer;
    doc.AddLayer(sound);
    ASSERT_EQ(Run(record, "Before = tostring(si:GetAudioLayer(0)) Count = si:CountAudioLayers()\n"
                          "After = tostring(si:GetAudioLayer(0) ~= nil) .. tostring(si:GetAudioLayer(1))\n"
                          "Image = tostring(si:LayerAsImage(si.layer)) .. tostring(si:LayerAs3D(si.layer)) .. tostring(si:Mesh3D())"),
        "");
    EXPECT_EQ(Global("Before"), "nil");
    EXPECT_EQ(Global("Count"), "1");
    EXPECT_EQ(Global("After"), "truenil");
    EXPECT_EQ(Global("Image"), "nilnilnil");
}

TEST_F(ScriptServicesTest, UpdateBonePointSelectionFollowsTheFirstSelectedBone)
{
    auto* bones = new BoneLayer;
    doc.AddLayer(bones);
    auto* arm = new MeshLayer;
    bones->AddLayer(arm);
    M_Skeleton* skeleton = static_cast<SkeletonBones*>(bones->fBoneParent)->fSkeleton;
    skeleton->AddBone(0);
    skeleton->AddBone(0);
    M_Mesh* mesh = arm->Mesh();
    for (int32_t i = 0; i < 3; i++) {
        mesh->AddPoint(QV_Vector2 { float(i), 0 }, -1, 0);
        mesh->GetPoint(i)->fParent = i == 2 ? 0 : 1;
        mesh->GetPoint(i)->fSelected = i == 2;
    }
    doc.SetSelLayer(arm);
    ScriptInterface record(&doc, nullptr);
    skeleton->GetBone(1)->fSelected = true;
    record.UpdateBonePointSelection();
    EXPECT_TRUE(mesh->GetPoint(0)->fSelected && mesh->GetPoint(1)->fSelected);
    EXPECT_FALSE(mesh->GetPoint(2)->fSelected);
    skeleton->GetBone(1)->fSelected = false;
    record.UpdateBonePointSelection();
    for (int32_t i = 0; i < 3; i++)
        EXPECT_FALSE(mesh->GetPoint(i)->fSelected);
}

rgb_color Opaque(uint8_t value) { return rgb_color { value, value, value, 255 }; }

// A preview's drawing on a raster of its own size.
struct Canvas {
    Canvas(int32_t width, int32_t height)
    {
        image.Allocate(width, height, 32);
        graphics.SetRaster(&image.buffer);
    }
    rgb_color At(int32_t x, int32_t y) { return graphics.GetPixel(x, y); }
    QV_BaseImage image;
    QV_Graphics graphics;
};

TEST_F(ScriptServicesTest, FontPreviewSetsOffTheFillColourAndSizesTheFont)
{
    M_Shape panel(0);
    services.properties = &panel;
    const struct {
        rgb_color fill;
        uint8_t background;
    } kCases[] = { { { 30, 30, 30, 255 }, 255 }, { { 200, 200, 200, 255 }, 0 }, { { 255, 0, 0, 255 }, 0 } };
    QV_FontPreview preview(40, 21);
    for (const auto& c : kCases) {
        panel.fMyStyle.fFillCol.SetValue(0, c.fill);
        panel.fMyStyle.fFillCol.SetCurFrame(0);
        Canvas canvas(40, 21);
        preview.fFontName = "Sans";
        preview.Paint(&canvas.graphics);
        EXPECT_TRUE(SameColor(canvas.At(20, 10), Opaque(c.background))) << int(c.fill.r);
    }
    EXPECT_EQ(services.asked, "Sans");
    EXPECT_EQ(services.askedSize, 11);
    services.properties = nullptr;
}

TEST_F(ScriptServicesTest, MeshPreviewShapesAndZoom)
{
    lua_State* state = Registry().fState;
    ASSERT_EQ(luaL_dostring(state,
                  "Font = VORN.FontPreview(30, 20) Font:SetPreviewText(12) Font:SetFontName(nil)\n"
                  "Preview = VORN.MeshPreview(200, 100) Shapes = tostring(Preview:CreateShape(true))\n"
                  "Said = VORN.Localize('Some/Path=Plain text')"),
        0)
        << lua_tostring(state, -1);
    auto* font = static_cast<QV_FontPreview*>(tolua_tousertype(state, (lua_getglobal(state, "Font"), -1), nullptr));
    EXPECT_STREQ(font->fPreviewText.CString(), "12");
    EXPECT_STREQ(font->fFontName.CString(), "");
    auto* preview = static_cast<QV_MeshPreview*>(tolua_tousertype(state, (lua_getglobal(state, "Preview"), -1), nullptr));
    lua_settop(state, 0);
    EXPECT_EQ(Global("Shapes"), "false");
    EXPECT_EQ(Global("Said"), "Plain text");

    // Never drawn: AutoZoom waits for a target.
    preview->AutoZoom();
    EXPECT_FLOAT_EQ(preview->fGraphics.fZoom, 1);
    Canvas canvas(200, 100);
    preview->fGraphics.SetRaster(&canvas.image.buffer);
    preview->AutoZoom();
    EXPECT_FLOAT_EQ(preview->fGraphics.fZoom, 0.9f * 1.0f);
    EXPECT_FLOAT_EQ(preview->fGraphics.fPanX, 0);

    Triangle(preview->Mesh());
    EXPECT_TRUE(preview->CreateShape(true));
    EXPECT_TRUE(preview->CreateShape(true));
    EXPECT_EQ(preview->Mesh()->GetNumShapes(), 2);
    EXPECT_TRUE(preview->Mesh()->GetShape(1)->fHasFill);

    M_Mesh* mesh = preview->Mesh();
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
        mesh->GetPoint(i)->fPos = QV_Vector2 { 0.3f, 0.2f * float(i) - 0.5f };
    preview->AutoZoom();
    EXPECT_FLOAT_EQ(preview->fGraphics.fZoom, 0.9f);
    preview->fImage.Allocate(200, 100, 32);
    preview->Paint();
    delete font;
    delete preview;
}

} // namespace
