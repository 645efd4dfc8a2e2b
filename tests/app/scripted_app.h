#pragma once
// The application object over the test scripts of tests/data/dispatch_app: a tool list of two
// groups (Draw: the recording tool, two plain tools, a spacer and the Stamp button; Edit: a tool
// that a test can switch off and two plain tools) and the Mark menu script.

#include <memory>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "model_prefs.h"
#include "app_prefs.h"
#include "scoped_env.h"
#include "script.h"
#include "script_registry.h"
#include "shape_style_factory.h"
#include "vorn_app.h"

class ScriptedApp {
public:
    ScriptedApp()
        : fFolder("CELVANE_APP_FOLDER", CELVANE_TEST_DATA "/dispatch_app")
    {
        RegisterShapeStyles();
        fApp = std::make_unique<Vorn>();
        SetModelPrefSource(&fSource);
        Registry().LoadScripts();
    }
    ~ScriptedApp() { SetModelPrefSource(nullptr); }

    ScriptRegistry& Registry() { return *fApp->fScriptRegistry; }
    ToolScript* Tool(int32_t index) { return Registry().ToolAt(index); }
    // Runs Lua in the scripts' state.
    void Lua(const std::string& code) { luaL_dostring(Registry().fState, code.c_str()); }
    // A global of the scripts' state as text.
    std::string Global(const char* name)
    {
        lua_State* state = Registry().fState;
        luaL_dostring(state, (std::string("return tostring(") + name + ")").c_str());
        std::string text = lua_tostring(state, -1) ? lua_tostring(state, -1) : "";
        lua_settop(state, 0);
        return text;
    }

    // Entries of the tool list.
    static constexpr int32_t kRecord = 0;
    static constexpr int32_t kPlainA = 1;
    static constexpr int32_t kPlainB = 2;
    static constexpr int32_t kSpacer = 3;
    static constexpr int32_t kStamp = 4;
    static constexpr int32_t kSwitchable = 5;
    static constexpr int32_t kToolCount = 8;

private:
    ScopedEnv fFolder;
    ShellPrefSource fSource;
    std::unique_ptr<Vorn> fApp;
};
