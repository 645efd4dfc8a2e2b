// The main layer's own commands and its tool selection, over the test scripts, without a
// window: what reaches the document, what the layer passes on to the main window, and what the
// tool options bar and the status bar show.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "../core/scratch_folder.h"
#include "document_shell.h"
#include "grouplayer.h"
#include "headless_view.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_static_picture.h"
#include "resource_images.h"
#include "scripted_app.h"
#include "script_events.h"
#include "script_interface.h"
#include "status_bar.h"
#include "vorndoc.h"

namespace {

// A main layer without a window that records what it passes on and answers its questions.
class RecordingLayer : public MainLayer {
public:
    RecordingLayer()
        : MainLayer(nullptr, 0, 0, 999, 699)
    {
    }
    // The commands passed on; the notifications the layer posts on its way are left out.
    void PassOn(QV_Message* message) override
    {
        if (message->fWhat < 1000 || message->fWhat > 1108)
            passed.push_back(message->fWhat);
    }
    int32_t Ask(const char* line1, const char*, const char*, const char*) override
    {
        questions.push_back(line1 ? line1 : "");
        return answer;
    }
    std::vector<int32_t> passed;
    std::vector<std::string> questions;
    int32_t answer = 0;
};

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fWarning = gMissingImageWarning;
        gMissingImageWarning = [](const char*) {};
        fLog = std::make_unique<ScopedEnv>("CELVANE_TOOL_LOG", fFolder.File("tool.log").c_str());
        fScripts = std::make_unique<ScriptedApp>();
        fDoc = MakeNewDocument();
        fLayer = std::make_unique<RecordingLayer>();
        fLayer->SetDocument(fDoc);
        fLayer->passed.clear();
    }
    void TearDown() override
    {
        fLayer.reset();
        delete fDoc;
        fScripts.reset();
        gMissingImageWarning = fWarning;
    }

    void Send(int32_t what)
    {
        QV_Message message(what);
        fLayer->HandleMessage(&message);
    }
    M_Mesh* Mesh() { return static_cast<MeshLayer*>(fDoc->GetSelectedLayer())->Mesh(); }
    // Points of one open curve along x.
    void AddPoints(int32_t count)
    {
        Mesh()->AddLonePoint(QV_Vector2 { 0.0f, 0.0f }, 0);
        for (int32_t i = 1; i < count; i++)
            Mesh()->AppendPoint(QV_Vector2 { 0.1f * float(i) + 0.013f, 0.027f }, 0);
        Mesh()->SelectNone();
    }
    // A rectangle through the recording tool, as a drag from a to b would draw it.
    void DrawRectangle(QV_Vector2 a, QV_Vector2 b)
    {
        HeadlessView view(fDoc);
        MouseEvent event(&view);
        event.pt = QV_Point { 0, 0 };
        event.startPt = QV_Point { 0, 0 };
        event.startVec = a;
        event.vec = b;
        ScriptInterface record(fDoc, &view);
        fScripts->Tool(ScriptedApp::kRecord)->OnMouseUp(&record, &event);
    }
    std::string ToolLog() { return fFolder.Get("tool.log"); }
    void SetFrame(int32_t frame) { fDoc->SetCurFrame(frame); }

    ScratchFolder fFolder;
    std::unique_ptr<ScopedEnv> fLog;
    std::unique_ptr<ScriptedApp> fScripts;
    VornDoc* fDoc = nullptr;
    std::unique_ptr<RecordingLayer> fLayer;
    void (*fWarning)(const char*) = nullptr;
};

TEST_F(DispatchTest, ScriptsRunFromTheirIdsAndOnlyMenuScriptsGoOn)
{
    Send(3400);
    EXPECT_EQ(fScripts->Global("MarkRuns"), "1");
    // A menu script still reaches the main window, which ignores it.
    EXPECT_EQ(fLayer->passed, std::vector<int32_t> { 3400 });

    fLayer->passed.clear();
    Send(3600 + ScriptedApp::kStamp);
    EXPECT_EQ(fScripts->Global("StampRuns"), "1");
    // A tool that is no button, the spacer and ids beyond either list run nothing here.
    for (int32_t id : { 3600 + ScriptedApp::kRecord, 3600 + ScriptedApp::kSpacer, 3799, 3401 })
        Send(id);
    EXPECT_EQ(fScripts->Global("StampRuns"), "1");
    EXPECT_EQ(fScripts->Global("MarkRuns"), "1");
    EXPECT_EQ(fLayer->passed, std::vector<int32_t> { 3401 });

    fLayer->passed.clear();
    fLayer->ClearDocument();
    fLayer->passed.clear();
    Send(3400);
    Send(3600 + ScriptedApp::kStamp);
    EXPECT_EQ(fScripts->Global("MarkRuns"), "1");
    EXPECT_EQ(fScripts->Global("StampRuns"), "1");
    EXPECT_EQ(fLayer->passed, std::vector<int32_t> { 3400 });
}

TEST_F(DispatchTest, CommandsWhoseNeedsAreUnmetDoNothing)
{
    AddPoints(3);
    M_Mesh* mesh = Mesh();
    mesh->SelectAll();
    // A group is current: no mesh for the point and shape commands.
    auto* group = new GroupLayer();
    fDoc->AddLayer(group);
    fDoc->SetSelLayer(group);
    for (int32_t id : { 3151, 3152, 3154, 3156, 3160, 3162, 3170, 3172 })
        Send(id);
    EXPECT_EQ(fDoc->fUndoLevel, 0);
    fLayer->ClearDocument();
    fLayer->passed.clear();
    for (int32_t id : { 3130, 3131, 3201, 3202, 3203, 3204, 3205, 3213, 3173, 3177, 3180 })
        Send(id);
    EXPECT_EQ(fDoc->fUndoLevel, 0);
    EXPECT_TRUE(fLayer->passed.empty());
    EXPECT_TRUE(fLayer->questions.empty());
    EXPECT_EQ(mesh->GetPoint(0)->fWidth.CountKeys(), 1) << "3152 reached the mesh";
    EXPECT_FLOAT_EQ(mesh->GetCurve(0)->GetCurvature(1, 0), 0.3f) << "3154 reached the mesh";
    // Commands without a row of their own reach the main window.
    Send(3210);
    Send(3118);
    EXPECT_EQ(fLayer->passed, (std::vector<int32_t> { 3210, 3118 }));
}

TEST_F(DispatchTest, SnappingWaitsForTheGridAndKeysOnlySelectedPoints)
{
    AddPoints(3);
    Mesh()->GetPoint(1)->fSelected = true;
    SetFrame(6);
    const QV_Vector2 before0 = Mesh()->GetPoint(0)->fPos;
    const QV_Vector2 before1 = Mesh()->GetPoint(1)->fPos;
    gToggles.gridShown = false;
    Send(3151);
    EXPECT_EQ(fDoc->fUndoLevel, 0);
    EXPECT_FLOAT_EQ(Mesh()->GetPoint(1)->fPos.x, before1.x);

    Send(3188); // the grid shows
    ASSERT_TRUE(gToggles.gridShown);
    Send(3151);
    Send(3188);
    EXPECT_EQ(fDoc->fUndoLevel, 1);
    const QV_Vector2 after = Mesh()->GetPoint(1)->fPos;
    EXPECT_NE(after.x, before1.x);
    EXPECT_TRUE(Mesh()->GetPoint(1)->fAnimPos.HasKey(6));
    EXPECT_FALSE(Mesh()->GetPoint(0)->fAnimPos.HasKey(6));
    EXPECT_FLOAT_EQ(Mesh()->GetPoint(0)->fPos.x, before0.x);
    // A second snap finds the point on the grid already.
    Send(3188);
    Send(3151);
    Send(3188);
    EXPECT_FLOAT_EQ(Mesh()->GetPoint(1)->fPos.x, after.x);
}

TEST_F(DispatchTest, ResetLineWidthKeysTheRestWidthAtTheFrame)
{
    AddPoints(2);
    M_Point* point = Mesh()->GetPoint(0);
    point->fSelected = true;
    point->fWidth.SetValue(0, 0.5f);
    point->fWidth.SetValue(20, 2.0f);
    Mesh()->GetPoint(1)->fWidth.SetValue(0, 0.25f);
    fDoc->GetSelectedLayer()->SetCurFrame(12);
    SetFrame(12);
    Send(3152);
    EXPECT_TRUE(point->fWidth.HasKey(12));
    EXPECT_FLOAT_EQ(point->fWidth.GetValue(12), 0.5f);
    EXPECT_FALSE(Mesh()->GetPoint(1)->fWidth.HasKey(12));

    SetFrame(0);
    fDoc->GetSelectedLayer()->SetCurFrame(0);
    Send(3152);
    EXPECT_FLOAT_EQ(point->fWidth.GetValue(0), -1.0f);
    EXPECT_FLOAT_EQ(Mesh()->GetPoint(1)->fWidth.GetValue(0), 0.25f);
}

TEST_F(DispatchTest, ShapeOrderMovesTheHighestSelectedShapeOnly)
{
    std::vector<M_Shape*> shapes;
    for (int32_t i = 0; i < 7; i++) {
        DrawRectangle(QV_Vector2 { 0.1f * float(i), 0 }, QV_Vector2 { 0.1f * float(i) + 0.05f, 0.05f });
        shapes.push_back(Mesh()->GetShape(i));
    }
    ASSERT_EQ(Mesh()->GetNumShapes(), 7);
    shapes[2]->fSelected = true;
    shapes[5]->fSelected = true;
    Send(3156);
    EXPECT_EQ(Mesh()->GetShape(6), shapes[5]);
    EXPECT_EQ(Mesh()->GetShape(5), shapes[6]);
    EXPECT_EQ(Mesh()->GetShape(2), shapes[2]);
    Send(3159);
    EXPECT_EQ(Mesh()->GetShape(0), shapes[5]);
    EXPECT_EQ(Mesh()->GetShape(3), shapes[2]);

    Send(3160);
    EXPECT_TRUE(shapes[2]->fHidden);
    EXPECT_FALSE(shapes[3]->fHidden);
    Send(3161);
    EXPECT_FALSE(shapes[2]->fHidden);
}

TEST_F(DispatchTest, SetLayerStartTimePutsTheLayersFirstFrameOnTheCurrentOne)
{
    VornLayer* layer = fDoc->GetSelectedLayer();
    SetFrame(30);
    Send(3204);
    EXPECT_EQ(layer->TimingOffset(), -29);
    SetFrame(0);
    Send(3204);
    EXPECT_EQ(layer->TimingOffset(), 0);

    // Inside a group that starts later the group's offset is taken off.
    auto* group = new GroupLayer();
    auto* inner = new MeshLayer();
    fDoc->AddLayer(group);
    group->AddLayer(inner);
    group->SetTimingOffset(5);
    fDoc->SetSelLayer(inner);
    SetFrame(10);
    Send(3204);
    EXPECT_EQ(inner->TimingOffset(), 1 - 5 - 10);
}

TEST_F(DispatchTest, ClearingTheDocumentsAnimationAsksAndForgetsTheUndoHistory)
{
    AddPoints(2);
    Mesh()->GetPoint(0)->fSelected = true;
    fDoc->GetSelectedLayer()->SetCurFrame(8);
    SetFrame(8);
    Send(3154); // Peak keys the curvature at frame 8, with undo
    ASSERT_EQ(fDoc->fUndoLevel, 1);
    fLayer->answer = 1; // No
    Send(3202);
    ASSERT_EQ(fLayer->questions.size(), 1u);
    EXPECT_EQ(fLayer->questions[0], "Are you sure you want to clear all animation from the document?");
    EXPECT_EQ(fDoc->fUndoLevel, 1);

    fLayer->answer = 0; // Yes
    Send(3202);
    EXPECT_EQ(fDoc->fUndoLevel, 0);
    EXPECT_TRUE(fDoc->fDirty);
    fLayer->passed.clear();
    Send(3130); // nothing left to undo
    EXPECT_TRUE(fLayer->passed.empty());

    // A group asks whether its sub-layers go too; a vector layer does not.
    Send(3201);
    EXPECT_EQ(fLayer->questions.size(), 2u);
    auto* group = new GroupLayer();
    fDoc->AddLayer(group);
    fDoc->SetSelLayer(group);
    Send(3203);
    ASSERT_EQ(fLayer->questions.size(), 3u);
    EXPECT_EQ(fLayer->questions[2], "The selected layer may contain sub-layers.");
}

TEST_F(DispatchTest, TheRecordingToolsRectangleUndoesAndRedoes)
{
    DrawRectangle(QV_Vector2 { -0.2f, -0.2f }, QV_Vector2 { 0.3f, 0.1f });
    ASSERT_EQ(Mesh()->GetNumShapes(), 1);
    EXPECT_EQ(Mesh()->GetNumPoints(), 4);
    EXPECT_NE(ToolLog().find("OnMouseUp pt=0,0 startPt=0,0 vec=0.300,0.100 startVec=-0.200,-0.200"), std::string::npos)
        << ToolLog();
    Send(3130);
    EXPECT_EQ(Mesh()->GetNumShapes(), 0);
    Send(3131);
    EXPECT_EQ(Mesh()->GetNumShapes(), 1);
}

TEST_F(DispatchTest, SelectingAToolShowsItAndBuildsItsWidgets)
{
    ToolScript* record = fScripts->Tool(ScriptedApp::kRecord);
    fLayer->SelectTool(record);
    EXPECT_EQ(fLayer->fCurrentTool, record);
    EXPECT_EQ(fLayer->fStatusBar->fLeftText, "Records every call and draws a rectangle");
    EXPECT_EQ(fDoc->fCurrentTool, "RecordTool");
    // Without an icon the tool's row is the bar's second child, 8 pixels in.
    ASSERT_EQ(fLayer->fToolBar->fChildCount, 2);
    EXPECT_EQ(fLayer->fToolBar->fChildren[1], fLayer->fToolRow);
    EXPECT_EQ(fLayer->fToolRow->Frame().left, 8);
    EXPECT_EQ(fLayer->fToolRow->fChildCount, 2);
    // Selecting it again builds the row anew and updates it once more.
    fLayer->SelectTool(record);
    EXPECT_EQ(fLayer->fToolBar->fChildCount, 2);
    const std::string log = ToolLog();
    EXPECT_NE(log.find("DoLayout\nUpdateWidgets frame=0\nDoLayout\nUpdateWidgets frame=0\n"), std::string::npos) << log;

    fLayer->SelectTool(nullptr);
    EXPECT_EQ(fLayer->fToolBar->fChildCount, 1); // only "Library"
    EXPECT_EQ(fLayer->fStatusBar->fLeftText, "");
    EXPECT_EQ(fDoc->fCurrentTool, "");
    EXPECT_EQ(fLayer->fToolRow, nullptr);
}

TEST_F(DispatchTest, AToolIconSitsCentredOnTheBarWithTheRowBesideIt)
{
    ToolScript* plain = fScripts->Tool(ScriptedApp::kPlainA);
    ASSERT_EQ(plain->fIcon.Allocate(24, 24, 32), 0);
    const QV_Rect bar = fLayer->fToolBar->Frame();
    fLayer->fToolBar->ResizeTo(RectWidth(bar), 32);
    fLayer->SelectTool(plain);
    ASSERT_EQ(fLayer->fToolBar->fChildCount, 3);
    ASSERT_NE(fLayer->fToolIcon, nullptr);
    EXPECT_EQ(fLayer->fToolBar->fChildren[1], fLayer->fToolIcon);
    EXPECT_EQ(fLayer->fToolIcon->Frame().left, 4);
    EXPECT_EQ(fLayer->fToolIcon->Frame().top, 4);
    EXPECT_EQ(fLayer->fToolIcon->fToolTipText, "Plain a");
    EXPECT_EQ(fLayer->fToolRow->Frame().left, 4 + 24 + 8);
}

TEST_F(DispatchTest, SelectByNameSkipsADisabledToolAndRunsAButton)
{
    fLayer->SelectToolByName("Plain_b");
    EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kPlainB));
    fScripts->Lua("SwitchableOff = true");
    fLayer->SelectToolByName("Switchable");
    EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kPlainB));
    fScripts->Lua("SwitchableOff = false");
    fLayer->SelectToolByName("Switchable");
    EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kSwitchable));
    fLayer->SelectToolByName("Stamp");
    EXPECT_EQ(fScripts->Global("StampRuns"), "1");
    EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kSwitchable));
    fLayer->SelectToolByName("NoSuchTool");
    EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kSwitchable));
}

TEST_F(DispatchTest, ResetAllToolsResetsEveryToolButUpdatesOnlyTheCurrentOne)
{
    fLayer->SelectTool(fScripts->Tool(ScriptedApp::kRecord));
    Send(3009);
    EXPECT_EQ(fScripts->Global("Resets"), "abcd");
    const std::string log = ToolLog();
    EXPECT_NE(log.find("ResetPrefs\nUpdateWidgets"), std::string::npos) << log;
    Send(3008); // the current tool only
    EXPECT_EQ(fScripts->Global("Resets"), "abcd");
}

} // namespace
