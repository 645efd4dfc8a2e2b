// The Style panel without a window: the width field's limits and units, which shape it shows,
// the defaults that follow the last shape, effects, the swatch list and picking a colour.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "../core/scratch_folder.h"
#include "../lib_vorn/mesh_test_support.h"
#include "interface_fonts.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "m_style.h"
#include "meshlayer.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_button.h"
#include "qv_menu.h"
#include "qv_popup_menu.h"
#include "qv_text_control.h"
#include "shape_style_factory.h"
#include "style_panel_refs.h"
#include "style_wnd.h"
#include "vorndoc.h"

namespace {

class RecordingStyleWnd : public StyleWnd {
public:
    explicit RecordingStyleWnd(VornDoc* doc)
        : StyleWnd(nullptr, doc)
    {
    }
    int dialogs = 0;
    int lastType = -1;

protected:
    void RunEffectDialog(M_ShapeStyle* effect, rgb_color, float) override
    {
        dialogs++;
        lastType = effect->StyleType();
    }
};

bool SameColor(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

class StylePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateInterfaceFonts();
        RegisterShapeStyles();
        doc.SetShape(640, 480);
        layer = new MeshLayer;
        layer->SetName("Layer 1");
        doc.AddLayer(layer);
        doc.SetSelLayer(layer);
        panel = new RecordingStyleWnd(&doc);
    }
    void TearDown() override
    {
        delete panel;
        DeleteInterfaceFonts();
    }
    // A square with a fill.
    M_Shape* AddSquare()
    {
        M_Mesh& mesh = *layer->Mesh();
        const int32_t c = AddCurve(mesh, { { 0, 0 }, { 0.5f, 0 }, { 0.5f, 0.5f }, { 0, 0.5f } }, true);
        return mesh.fShapes[AddShape(mesh, { { c, 0 }, { c, 1 }, { c, 2 }, { c, 3 } })];
    }
    void TypeWidth(const char* text)
    {
        panel->fWidthField->SetValue(text);
        panel->PostMessage(8008);
    }

    VornDoc doc;
    MeshLayer* layer = nullptr;
    RecordingStyleWnd* panel = nullptr;
};

TEST_F(StylePanelTest, TheWidthIsKeptWithinLimitsAsAFractionOfTheHeight)
{
    struct Case {
        const char* typed;
        float pixels;
    };
    for (const Case& c : { Case { "0.1", 0.25f }, Case { "300", 256.0f }, Case { "3.14159", 3.14159f } }) {
        TypeWidth(c.typed);
        EXPECT_FLOAT_EQ(panel->fWidthField->FloatValue(), c.pixels) << c.typed;
        EXPECT_FLOAT_EQ(gNewShapeDefaults->fMyStyle.fLineWidth, c.pixels / 480.0f) << c.typed;
    }
    panel->UpdateWidgets();
    EXPECT_FLOAT_EQ(panel->fWidthField->FloatValue(), 3.14f);
    EXPECT_FLOAT_EQ(StyleWnd::ShownWidth(0.5f / 480, 480), 0.5f);
    EXPECT_FLOAT_EQ(StyleWnd::ShownWidth(0.00001f, 480), 0.0f);
}

TEST_F(StylePanelTest, TheDefaultsShowWithFillAndStrokeGreyedAndChecked)
{
    EXPECT_EQ(StyleWnd::NewShapeProperties(), gNewShapeDefaults);
    EXPECT_EQ(panel->fShape, gNewShapeDefaults);
    EXPECT_FALSE(panel->fFillBox->IsEnabled());
    EXPECT_TRUE(panel->fFillBox->Value());
    EXPECT_FALSE(panel->fLineBox->IsEnabled());
    EXPECT_TRUE(panel->fLineBox->Value());
    EXPECT_TRUE(panel->fFillSwatch->IsEnabled());
    EXPECT_TRUE(panel->fWidthField->IsEnabled());
    // Every attached document sets the width of new lines to 4 pixels.
    panel->SetDocument(&doc);
    EXPECT_FLOAT_EQ(gNewShapeDefaults->fMyStyle.fLineWidth, 4.0f / 480);
    EXPECT_EQ(StyleWnd::SelectedDocumentStyle(), nullptr);
}

TEST_F(StylePanelTest, AfterTheShapeIsDeselectedTheDefaultsHoldItsStyle)
{
    M_Shape* shape = AddSquare();
    shape->fHasFill = true;
    shape->fHasOutline = false;
    shape->fSelected = true;
    panel->PostMessage(1006);
    ASSERT_EQ(panel->fShape, shape);
    EXPECT_EQ(StyleWnd::NewShapeProperties(), shape);
    EXPECT_TRUE(panel->fFillBox->IsEnabled());
    EXPECT_FALSE(panel->fLineSwatch->IsEnabled());

    const rgb_color red { 200, 10, 20, 255 };
    panel->fFillSwatch->SetValue(red);
    panel->PostMessage(8003);
    EXPECT_TRUE(SameColor(shape->fMyStyle.fFillCol.value, red));
    EXPECT_EQ(doc.fUndoLevel, 1);
    panel->fEffect1Popup->Menu()->UncheckAll();
    panel->fEffect1Popup->Menu()->SetChecked(10205, true);
    panel->PostMessage(10205);
    ASSERT_NE(shape->fMyStyle.fEffects[0], nullptr);

    shape->fSelected = false;
    panel->PostMessage(1006);
    EXPECT_EQ(panel->fShape, gNewShapeDefaults);
    EXPECT_TRUE(SameColor(gNewShapeDefaults->fMyStyle.fFillCol.value, red));
    ASSERT_NE(gNewShapeDefaults->fMyStyle.fEffects[0], nullptr);
    EXPECT_EQ(gNewShapeDefaults->fMyStyle.fEffects[0]->StyleType(), kStyleSoftEdge);
}

TEST_F(StylePanelTest, ChoosingAnEffectCreatesItAndOpensItsDialog)
{
    QV_Menu* menu = panel->fEffect1Popup->Menu();
    menu->UncheckAll();
    menu->SetChecked(10203, true);
    panel->PostMessage(10203);
    M_ShapeStyle* effect = gNewShapeDefaults->fMyStyle.fEffects[0];
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->StyleType(), kStyleShaded);
    EXPECT_EQ(panel->dialogs, 1);
    EXPECT_EQ(panel->lastType, kStyleShaded);
    // The same item again changes nothing.
    panel->PostMessage(10203);
    EXPECT_EQ(gNewShapeDefaults->fMyStyle.fEffects[0], effect);
    EXPECT_EQ(panel->dialogs, 1);
    // The plain item takes it away.
    menu->UncheckAll();
    menu->SetChecked(10202, true);
    panel->PostMessage(10202);
    EXPECT_EQ(gNewShapeDefaults->fMyStyle.fEffects[0], nullptr);
}

TEST_F(StylePanelTest, CopyPasteAndResetKeepTheTargetsName)
{
    M_Shape* shape = AddSquare();
    shape->fSelected = true;
    shape->fMyStyle.fName = "Mine";
    panel->PostMessage(1006);
    EXPECT_FALSE(panel->fPasteButton->IsEnabled());
    const rgb_color blue { 10, 20, 200, 255 };
    panel->ShowDefaults();
    gNewShapeDefaults->fMyStyle.fLineCol.SetValue(0, blue);
    panel->PostMessage(8015);
    panel->SetShape(shape);
    panel->PostMessage(8016);
    EXPECT_TRUE(SameColor(shape->fMyStyle.fLineCol.value, blue));
    EXPECT_EQ(std::string(shape->fMyStyle.fName.CString()), "Mine");
    panel->PostMessage(8017);
    EXPECT_FALSE(SameColor(shape->fMyStyle.fLineCol.value, blue));
}

TEST_F(StylePanelTest, AShapeDeletedUnderThePanelIsNotUsed)
{
    M_Shape* shape = AddSquare();
    shape->fSelected = true;
    panel->PostMessage(1006);
    ASSERT_EQ(panel->fShape, shape);
    layer->Mesh()->DeleteShape(0);
    TypeWidth("8");
    EXPECT_EQ(panel->fShape, gNewShapeDefaults);
    EXPECT_FLOAT_EQ(gNewShapeDefaults->fMyStyle.fLineWidth, 8.0f / 480);

    // An empty shape goes when the layer is written for undo, in the middle of an edit.
    auto* empty = new M_Shape(0);
    empty->fSelected = true;
    layer->Mesh()->AddShape(empty);
    panel->PostMessage(1006);
    ASSERT_EQ(panel->fShape, empty);
    panel->fFillSwatch->SetValue(rgb_color { 1, 2, 3, 255 });
    panel->PostMessage(8003);
    EXPECT_EQ(panel->fShape, gNewShapeDefaults);
    EXPECT_EQ(layer->Mesh()->GetNumShapes(), 0);
}

TEST_F(StylePanelTest, ClosingTheDocumentLeavesNoStyleOfItInTheDefaults)
{
    M_Shape* shape = AddSquare();
    auto* style = new M_Style(0);
    style->fName = "Skin";
    doc.AddStyle(style);
    shape->fStyleName1 = "Skin";
    shape->fStyle1 = style;
    shape->fStyleName2 = "Skin";
    shape->fStyle2 = style;
    shape->fSelected = true;
    panel->PostMessage(1006);
    ASSERT_EQ(panel->fShape, shape);
    panel->SetDocument(nullptr);
    EXPECT_EQ(panel->fShape, gNewShapeDefaults);
    EXPECT_EQ(gNewShapeDefaults->fStyle1, nullptr);
    EXPECT_EQ(gNewShapeDefaults->fStyle2, nullptr);
    EXPECT_TRUE(gNewShapeDefaults->fStyleName2.IsEmpty());
    panel->SetDocument(&doc);
}

TEST(SwatchFiles, AFolderOf150PicturesLists100)
{
    ScratchFolder folder;
    for (int i = 0; i < 150; i++) {
        char name[32];
        std::snprintf(name, sizeof(name), "s%03d.png", 149 - i);
        std::ofstream(folder.File(name)) << "x";
    }
    std::ofstream(folder.File("readme.txt")) << "x";
    const std::vector<std::string> names = ListSwatchFiles(folder.Path().c_str());
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ(names.front(), "s000.png");
    EXPECT_EQ(names.back(), "s099.png");
    EXPECT_TRUE(ListSwatchFiles(folder.File("missing").c_str()).empty());
}

TEST_F(StylePanelTest, PickingTakesTheFillOrWithTheRightButtonTheLineColour)
{
    // A 4 x 2 picture: left half one colour, right half another (blue, green, red order).
    ASSERT_EQ(gSwatchImage.Allocate(4, 2, 32), 0);
    for (int32_t y = 0; y < 2; y++) {
        for (int32_t x = 0; x < 4; x++) {
            uint8_t* p = gSwatchImage.buffer.pixels + y * gSwatchImage.buffer.rowBytes + x * 4;
            p[0] = x < 2 ? 30 : 200;
            p[1] = 60;
            p[2] = x < 2 ? 220 : 10;
            p[3] = 255;
        }
    }
    const QV_Rect rect = panel->PictureRect();
    ASSERT_EQ(rect.right - rect.left + 1, 4);
    panel->PickerPress(rect.left, rect.top, true, false, 0);
    EXPECT_TRUE(SameColor(gNewShapeDefaults->fMyStyle.fFillCol.value, rgb_color { 220, 60, 30, 255 }));
    panel->PickerMove(rect.left + 3, rect.top, false, true, 0);
    EXPECT_TRUE(SameColor(gNewShapeDefaults->fMyStyle.fLineCol.value, rgb_color { 10, 60, 200, 255 }));
    // Shift with the left button also picks the line colour; far outside is clamped.
    panel->PickerMove(rect.left - 50, rect.top + 50, true, false, 1);
    EXPECT_TRUE(SameColor(gNewShapeDefaults->fMyStyle.fLineCol.value, rgb_color { 220, 60, 30, 255 }));
    panel->PickerRelease();
    panel->PickerMove(rect.left + 3, rect.top, true, false, 0);
    EXPECT_TRUE(SameColor(gNewShapeDefaults->fMyStyle.fFillCol.value, rgb_color { 220, 60, 30, 255 }));
    gSwatchImage.Free();
}

} // namespace
