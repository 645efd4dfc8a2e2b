// The main window's side of the dispatch, on a window that never reaches the screen: the tool
// ids and the imports that need no later window.
#include <gtest/gtest.h>

#include "../core/scratch_folder.h"
#include "m_mesh.h"
#include "m_point.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "script_app_services.h"
#include "shell_script_services.h"
#include "mesh3dlayer.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "qv_message.h"
#include "resource_images.h"
#include "scripted_app.h"
#include "shell_hooks.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

namespace {

class WindowDispatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fWarning = gMissingImageWarning;
        gMissingImageWarning = [](const char*) {};
        fWindow = std::make_unique<VornWnd>("");
        fWindow->fMainLayer = new MainLayer(fWindow.get(), 0, 0, 999, 699);
        fWindow->AddLayer(fWindow->fMainLayer);
        fWindow->NewDocument();
        ASSERT_NE(fWindow->fDocument, nullptr);
    }
    void TearDown() override
    {
        fWindow.reset();
        gMissingImageWarning = fWarning;
    }
    void Send(int32_t what, const char* path = nullptr)
    {
        QV_Message message(what);
        if (path)
            message.AddString("path", path);
        fWindow->HandleMessage(&message);
    }

    ScriptedApp fScripts;
    std::unique_ptr<VornWnd> fWindow;
    void (*fWarning)(const char*) = nullptr;
};

TEST_F(WindowDispatchTest, ToolIdsSelectRunOrAreIgnored)
{
    MainLayer* layer = fWindow->fMainLayer;
    Send(3600 + ScriptedApp::kPlainA);
    EXPECT_EQ(fWindow->fToolEntry, fScripts.Tool(ScriptedApp::kPlainA));
    EXPECT_EQ(layer->fCurrentTool, fScripts.Tool(ScriptedApp::kPlainA));
    // Ids beyond the list and the spacer change nothing; a button runs and stays no tool.
    for (int32_t id : { 3600 + ScriptedApp::kToolCount, 3799, 3600 + ScriptedApp::kSpacer })
        Send(id);
    Send(3600 + ScriptedApp::kStamp);
    EXPECT_EQ(fScripts.Global("StampRuns"), "1");
    EXPECT_EQ(layer->fCurrentTool, fScripts.Tool(ScriptedApp::kPlainA));
    // A new document keeps the tool.
    fWindow->fDocument->fDirty = false;
    fWindow->NewDocument();
    EXPECT_EQ(layer->fCurrentTool, fScripts.Tool(ScriptedApp::kPlainA));
    EXPECT_EQ(fWindow->fDocument->fCurrentTool, "Plain_a");
}

TEST_F(WindowDispatchTest, ScriptsReachTheWindowAndItsLayerWhileItLives)
{
    EXPECT_FALSE(ScriptServices().HasMainWindow());
    InstallShellScriptServices(fWindow.get());
    ScriptAppServices& services = ScriptServices();
    EXPECT_TRUE(services.HasMainWindow());
    EXPECT_TRUE(services.HasMainLayer());
    QV_Message mark(3400);
    services.DispatchToMainLayer(mark);
    EXPECT_EQ(fScripts.Global("MarkRuns"), "1");

    M_Mesh* mesh = static_cast<MeshLayer*>(fWindow->fDocument->GetSelectedLayer())->Mesh();
    mesh->AddLonePoint(QV_Vector2 { 0, 0 }, 0);
    mesh->AppendPoint(QV_Vector2 { 1, 0 }, 0);
    mesh->SelectNone();
    mesh->GetPoint(0)->fSelected = true;
    EXPECT_FALSE(services.IsCopyable()); // one point is not enough
    mesh->GetPoint(1)->fSelected = true;
    EXPECT_TRUE(services.IsCopyable());
    EXPECT_FALSE(services.IsPasteable());

    // The window takes its services with it.
    fWindow.reset();
    EXPECT_FALSE(ScriptServices().HasMainWindow());
}

TEST_F(WindowDispatchTest, AnObjFileBecomesA3DLayerAboveTheSelectedOne)
{
    ScratchFolder folder;
    folder.Put("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    VornDoc* doc = fWindow->fDocument;
    VornLayer* selected = doc->GetSelectedLayer();
    doc->fDirty = false;
    Send(3128, folder.File("tri.obj").c_str());
    ASSERT_EQ(doc->CountLayers(), 2);
    auto* layer = dynamic_cast<Mesh3DLayer*>(doc->Layer(1));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(doc->Layer(0), selected);
    EXPECT_EQ(layer->Name(), "tri.obj");
    EXPECT_EQ(doc->GetSelectedLayer(), layer);
    EXPECT_TRUE(doc->fDirty);
}

// Window > Actions carries a check mark while its window is open, with or without a document.
TEST_F(WindowDispatchTest, TheActionsItemIsCheckedWhileItsWindowIsOpen)
{
    static bool open = false;
    gShellHooks.actionsOpen = [](VornWnd*) { return open; };
    QV_MenuBar* bar = fWindow->fMainLayer->fMenuBar;
    QV_Menu* windowMenu = nullptr;
    for (int32_t i = 0; i < bar->fMenuCount; i++) {
        if (bar->fMenus[i]->fTitle == "Window")
            windowMenu = bar->fMenus[i];
    }
    ASSERT_NE(windowMenu, nullptr);
    for (bool withDocument : { true, false }) {
        if (!withDocument)
            fWindow->fMainLayer->ClearDocument();
        for (bool state : { true, false }) {
            open = state;
            fWindow->fMainLayer->UpdateMenus();
            EXPECT_EQ(windowMenu->IsChecked(3254), state) << withDocument;
        }
    }
    gShellHooks.actionsOpen = nullptr;
}

} // namespace
