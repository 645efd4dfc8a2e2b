// The menu bar's Scripts menu over the installation's menu scripts: where it sits, its
// sub-menus and commands, a command running its script, and the rebuild after a reload.
#include <string>

#include <gtest/gtest.h>

#include "app_prefs.h"
#include "main_layer.h"
#include "m_mesh.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "qv_message.h"
#include "resource_images.h"
#include "scoped_env.h"
#include "script.h"
#include "script_registry.h"
#include "scripts_menu.h"
#include "shape_style_factory.h"
#include "vorn_app.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

namespace {

class ScriptsMenuTest : public ::testing::Test {
protected:
    ScriptsMenuTest()
        : fFolder("CELVANE_APP_FOLDER", CELVANE_TEST_DATA "/../../data")
    {
        RegisterShapeStyles();
        fApp = std::make_unique<Vorn>();
        SetModelPrefSource(&fSource);
        fApp->fScriptRegistry->LoadScripts();
    }
    ~ScriptsMenuTest() override { SetModelPrefSource(nullptr); }

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

    // The Scripts menu, checked to follow the Animation menu.
    QV_Menu* Menu()
    {
        QV_MenuBar* bar = fWindow->fMainLayer->fMenuBar;
        for (int32_t i = 0; i + 1 < bar->fMenuCount; i++) {
            if (bar->fMenus[i]->fTitle == "Animation")
                return bar->fMenus[i + 1]->fTitle == "Scripts" ? bar->fMenus[i + 1] : nullptr;
        }
        return nullptr;
    }

    ScopedEnv fFolder;
    ShellPrefSource fSource;
    std::unique_ptr<Vorn> fApp;
    std::unique_ptr<VornWnd> fWindow;
    void (*fWarning)(const char*) = nullptr;
};

TEST_F(ScriptsMenuTest, EachMenuScriptIsAnItemOfItsFoldersSubmenu)
{
    QV_Menu* menu = Menu();
    ASSERT_NE(menu, nullptr);
    ScriptRegistry& registry = *fApp->fScriptRegistry;
    ASSERT_GE(registry.CountMenuScripts(), 3);
    int32_t found = 0;
    for (int32_t i = 0; i < registry.CountMenuScripts(); i++) {
        const MenuScript* script = registry.MenuScriptAt(i);
        SCOPED_TRACE(script->fUILabel.CString());
        // The installation's menu scripts all live in sub-folders.
        ASSERT_FALSE(script->fSubmenu.IsEmpty());
        for (int32_t k = 0; k < menu->fCount; k++) {
            QV_Menu* submenu = menu->fSubmenus[k];
            if (!submenu || menu->fLabels[k] != script->fSubmenu.CString())
                continue;
            EXPECT_STREQ(submenu->ItemLabel(3400 + i).CString(), script->fUILabel.CString());
            found++;
        }
    }
    EXPECT_EQ(found, registry.CountMenuScripts());
}

TEST_F(ScriptsMenuTest, AnItemRunsItsScriptAndAReloadBuildsTheMenuAgain)
{
    ScriptRegistry& registry = *fApp->fScriptRegistry;
    int32_t centre = -1;
    for (int32_t i = 0; i < registry.CountMenuScripts(); i++) {
        if (registry.MenuScriptAt(i)->fTableName == "QV_CentreOrigin")
            centre = i;
    }
    ASSERT_GE(centre, 0);
    auto* layer = static_cast<MeshLayer*>(fWindow->fDocument->GetSelectedLayer());
    layer->Mesh()->AddLonePoint(QV_Vector2 { 0.2f, 0.2f }, 0);
    layer->Mesh()->AppendPoint(QV_Vector2 { 0.6f, 0.4f }, 0);
    layer->Mesh()->SelectNone();
    QV_Message run(3400 + centre);
    fWindow->fMainLayer->HandleMessage(&run);
    EXPECT_NEAR(layer->Origin().x, 0.4f, 1e-5);
    EXPECT_NEAR(layer->Origin().y, 0.3f, 1e-5);

    // A reload makes new script objects; the next message the layer sees rebuilds the menu.
    QV_Menu* menu = Menu();
    ASSERT_NE(menu, nullptr);
    const QV_Menu* before = menu->fSubmenus[0];
    registry.LoadScripts();
    QV_Message any(1006);
    fWindow->fMainLayer->HandleMessage(&any);
    EXPECT_NE(menu->fSubmenus[0], before);
    std::string label;
    for (int32_t k = 0; k < menu->fCount; k++) {
        if (menu->fSubmenus[k] && menu->fLabels[k] == "Layer")
            label = menu->fSubmenus[k]->ItemLabel(3400 + centre).CString();
    }
    EXPECT_EQ(label, "Centre Origin on Points");
}

} // namespace
