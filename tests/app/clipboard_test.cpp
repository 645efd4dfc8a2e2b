// Cut, Copy and Paste of points and bones through the main layer's own clipboards, without a
// window; the tool list of tests/data/clipboard_app holds the two tools a paste switches to.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app_prefs.h"
#include "bonelayer.h"
#include "document_shell.h"
#include "m_bone.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_skeleton.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_message.h"
#include "resource_images.h"
#include "scoped_env.h"
#include "script.h"
#include "script_registry.h"
#include "shape_style_factory.h"
#include "vorn_app.h"
#include "qv_layer.h"
#include "qv_view.h"
#include "vorndoc.h"

namespace {

class QuietLayer : public MainLayer {
public:
    QuietLayer()
        : MainLayer(nullptr, 0, 0, 999, 699)
    {
    }
    void PassOn(QV_Message*) override { }
};

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fWarning = gMissingImageWarning;
        gMissingImageWarning = [](const char*) {};
        RegisterShapeStyles();
        fApp = std::make_unique<Vorn>();
        SetModelPrefSource(&fSource);
        fApp->fScriptRegistry->LoadScripts();
        fDoc = MakeNewDocument();
        fVector = static_cast<MeshLayer*>(fDoc->GetSelectedLayer());
        fLayer = std::make_unique<QuietLayer>();
        fLayer->SetDocument(fDoc);
    }
    void TearDown() override
    {
        fLayer.reset();
        delete fDoc;
        SetModelPrefSource(nullptr);
        fApp.reset();
        gMissingImageWarning = fWarning;
    }
    M_Mesh& Mesh() { return *fVector->Mesh(); }
    // An open curve (closed when asked) through n points along x, every point selected.
    void AddCurve(int32_t n, bool closed)
    {
        Mesh().AddLonePoint(QV_Vector2 { 0.0f, 0.0f }, 0);
        for (int32_t i = 1; i < n; i++)
            Mesh().AppendPoint(QV_Vector2 { 0.1f * float(i), 0.05f * float(i % 2) }, 0);
        Mesh().GetCurve(Mesh().GetNumCurves() - 1)->fClosed = closed;
        Mesh().SelectAll();
    }
    void Send(int32_t what, bool abbreviated = false)
    {
        QV_Message message(what);
        if (abbreviated)
            message.AddString("abbreviatedPaste", "TRUE");
        fLayer->HandleMessage(&message);
    }
    const char* Tool() const
    {
        return fLayer->fCurrentTool ? fLayer->fCurrentTool->fTableName.CString() : "";
    }
    // The mesh the point clipboard holds.
    std::unique_ptr<M_Mesh> Clipped()
    {
        auto mesh = std::make_unique<M_Mesh>();
        fLayer->fPointClipboard.Rewind();
        fLayer->fPointClipboard.fReading = true;
        EXPECT_TRUE(mesh->ReadRecord(&fLayer->fPointClipboard, true));
        return mesh;
    }

    ScopedEnv fFolder { "CELVANE_APP_FOLDER", CELVANE_TEST_DATA "/clipboard_app" };
    ShellPrefSource fSource;
    std::unique_ptr<Vorn> fApp;
    VornDoc* fDoc = nullptr;
    MeshLayer* fVector = nullptr;
    std::unique_ptr<QuietLayer> fLayer;
    void (*fWarning)(const char*) = nullptr;
};

TEST_F(ClipboardTest, CopyKeepsTheSelectedSegmentsOnly)
{
    // Two points are the least Copy asks for.
    AddCurve(4, true);
    Mesh().SelectNone();
    Mesh().GetPoint(0)->fSelected = true;
    EXPECT_FALSE(fLayer->IsCopyable());
    Mesh().GetPoint(1)->fSelected = true;
    EXPECT_TRUE(fLayer->IsCopyable());

    // A closed curve copied whole keeps its closing segment.
    Mesh().SelectAll();
    Send(3133);
    {
        auto clipped = Clipped();
        ASSERT_EQ(clipped->GetNumCurves(), 1);
        EXPECT_EQ(clipped->GetNumPoints(), 4);
        EXPECT_TRUE(clipped->GetCurve(0)->fClosed);
        EXPECT_EQ(clipped->GetCurve(0)->GetNumSegments(), 4);
    }
    // One end of the closing segment unselected: that segment and the point go, the rest stays
    // as one open curve.
    Mesh().GetPoint(3)->fSelected = false;
    Send(3133);
    auto clipped = Clipped();
    ASSERT_EQ(clipped->GetNumCurves(), 1);
    EXPECT_EQ(clipped->GetNumPoints(), 3);
    EXPECT_FALSE(clipped->GetCurve(0)->fClosed);
    EXPECT_EQ(clipped->GetCurve(0)->GetNumSegments(), 2);
    // The document's mesh is untouched by a copy.
    EXPECT_EQ(Mesh().GetNumPoints(), 4);
}

TEST_F(ClipboardTest, NothingSelectedOrATextFieldFocusedLeavesTheClipboard)
{
    AddCurve(3, false);
    Send(3133);
    const int32_t size = fLayer->fPointClipboard.Size();
    ASSERT_GT(size, 0);
    Mesh().SelectNone();
    Send(3133);
    EXPECT_EQ(fLayer->fPointClipboard.Size(), size);
    Mesh().AddLonePoint(QV_Vector2 { 0.5f, 0.5f }, 0);
    Mesh().AppendPoint(QV_Vector2 { 0.6f, 0.5f }, 0);
    Mesh().SelectAll();
    QV_View field(0);
    gFocusedTextControl = &field;
    Send(3133);
    gFocusedTextControl = nullptr;
    EXPECT_EQ(fLayer->fPointClipboard.Size(), size);
}

TEST_F(ClipboardTest, BoneBindingsComeInUnboundFlexibleBindingsStay)
{
    AddCurve(3, false);
    Mesh().GetPoint(0)->fParent = 2;
    Mesh().GetPoint(1)->fParent = -2;
    Mesh().GetPoint(2)->fParent = -1;
    Send(3133);
    auto clipped = Clipped();
    ASSERT_EQ(clipped->GetNumPoints(), 3);
    EXPECT_EQ(clipped->GetPoint(0)->fParent, -1);
    EXPECT_EQ(clipped->GetPoint(1)->fParent, -2);
    EXPECT_EQ(clipped->GetPoint(2)->fParent, -1);
}

TEST_F(ClipboardTest, PasteSelectsThePointsAndSwitchesTool)
{
    // Even an empty clipboard switches to the point tool.
    EXPECT_FALSE(fLayer->IsPasteable());
    Send(3134);
    EXPECT_STREQ(Tool(), "QV_TranslatePoints");
    EXPECT_EQ(fDoc->fUndoLevel, 0);

    AddCurve(3, false);
    Send(3133);
    EXPECT_TRUE(fLayer->IsPasteable());
    fLayer->SelectTool(nullptr);
    Send(3134);
    ASSERT_EQ(Mesh().GetNumPoints(), 6);
    for (int32_t i = 0; i < 6; i++)
        EXPECT_EQ(Mesh().GetPoint(i)->fSelected, i >= 3) << i;
    EXPECT_STREQ(Tool(), "QV_TranslatePoints");
    EXPECT_EQ(fDoc->fUndoLevel, 1);
    EXPECT_TRUE(fDoc->fDirty);
}

TEST_F(ClipboardTest, AnAbbreviatedPasteOnlyAddsThePoints)
{
    AddCurve(3, false);
    Send(3133);
    fDoc->fDirty = false;
    Send(3134, true);
    ASSERT_EQ(Mesh().GetNumPoints(), 6);
    // Nothing was deselected, no undo level, no tool.
    for (int32_t i = 0; i < 6; i++)
        EXPECT_TRUE(Mesh().GetPoint(i)->fSelected) << i;
    EXPECT_EQ(fDoc->fUndoLevel, 0);
    EXPECT_STREQ(Tool(), "");

    // Scripts paste from their own clipboard.
    QV_Message copy(3133);
    copy.AddString("alternate", "TRUE");
    Mesh().SelectNone();
    Mesh().GetPoint(0)->fSelected = true;
    Mesh().GetPoint(1)->fSelected = true;
    fLayer->HandleMessage(&copy);
    QV_Message paste(3134);
    paste.AddString("alternate", "TRUE");
    paste.AddString("abbreviatedPaste", "TRUE");
    fLayer->HandleMessage(&paste);
    EXPECT_EQ(Mesh().GetNumPoints(), 8);
}

TEST_F(ClipboardTest, CutTakesThePointsAway)
{
    AddCurve(4, false);
    Mesh().SelectNone();
    Mesh().GetPoint(2)->fSelected = true;
    Mesh().GetPoint(3)->fSelected = true;
    Send(3132);
    EXPECT_EQ(Clipped()->GetNumPoints(), 2);
    EXPECT_TRUE(fDoc->GetSelectedLayer() == fVector);
}

TEST_F(ClipboardTest, BonesGoThroughTheirOwnClipboard)
{
    auto* rig = new BoneLayer;
    fDoc->AddLayer(rig);
    fDoc->SetSelLayer(rig);
    M_Skeleton* skeleton = rig->Skeleton();
    for (int32_t i = 0; i < 3; i++)
        skeleton->AddBone(0);
    skeleton->SelectNone();
    EXPECT_FALSE(fLayer->IsCopyable());
    skeleton->GetBone(1)->fSelected = true;
    EXPECT_TRUE(fLayer->IsCopyable());
    EXPECT_FALSE(fLayer->IsPasteable());
    Send(3133);
    EXPECT_TRUE(fLayer->IsPasteable());
    // The point clipboard is another one.
    fDoc->SetSelLayer(fVector);
    EXPECT_FALSE(fLayer->IsPasteable());
    fDoc->SetSelLayer(rig);

    Send(3134);
    ASSERT_EQ(skeleton->GetNumBones(), 4);
    EXPECT_TRUE(skeleton->GetBone(3)->fSelected);
    EXPECT_FALSE(skeleton->GetBone(1)->fSelected);
    EXPECT_STREQ(Tool(), "QV_TranslateBone");
    EXPECT_EQ(fDoc->fUndoLevel, 1);
}

} // namespace
