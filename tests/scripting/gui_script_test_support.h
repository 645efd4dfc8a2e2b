#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}
#include "tolua++.h"

#include "../toolkit/widget_test_support.h"
#include "message_ids.h"
#include "qv_gui_module.h"
#include "qv_handler.h"
#include "qv_lua_context.h"
#include "qv_module.h"
#include "script_test_support.h"

// Stands in for the user while modal loops run, so no display is needed: a hidden window's
// timer ticks inside every loop, and each tick hands the innermost modal window to the next
// step. A loop still running when the steps are used up is cancelled, so a test cannot hang.
class ModalDriver : public QV_Handler {
public:
    using Step = std::function<void(QV_Wnd* modal)>;

    explicit ModalDriver(std::vector<Step> steps)
        : fSteps(std::move(steps))
    {
        fClock = new QV_Wnd(0, "driver", false, nullptr, 0, 0, 9, 9);
        fClock->AddTimer(0.02f, this, 1);
    }
    ~ModalDriver() override { PlatWindowDestroy(fClock->fHwnd); }

    void HandleMessage(QV_Message*) override
    {
        QV_Wnd* modal = InnermostModal();
        if (!modal)
            return;
        if (fNext < fSteps.size())
            fSteps[fNext++](modal);
        else
            modal->EndModal(true, MSG_CANCEL);
    }

    static QV_Wnd* InnermostModal()
    {
        for (int32_t i = gWindowList.fCount - 1; i >= 0; i--) {
            QV_Wnd* window = WindowOfHandle(static_cast<PlatWindow*>(gWindowList.fItems[i]));
            if (window && window->fInModal)
                return window;
        }
        return nullptr;
    }

    size_t StepsTaken() const { return fNext; }

private:
    std::vector<Step> fSteps;
    size_t fNext = 0;
    QV_Wnd* fClock;
};

// A host with QV and QV.GUI open as the script registry opens them, with windows on the dummy
// driver and the interface fonts.
class GuiScriptTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        fHost = std::make_unique<QV_LuaContext>();
        OpenQVModule(fHost->fState);
        OpenQVGUIModule(fHost->fState);
        RegisterSimpleDialogSupport(fHost->fState);
    }
    // The state closes, freeing what scripts left, while the windows and fonts still exist.
    void TearDown() override
    {
        fHost.reset();
        WidgetTest::TearDown();
    }

    // Runs the chunk as callbacks run, so that its errors reach the console.
    void Run(const std::string& code)
    {
        ASSERT_EQ(luaL_loadstring(fHost->fState, code.c_str()), 0) << code;
        lua_setglobal(fHost->fState, "__chunk");
        ASSERT_EQ(fHost->BeginFunctionCall("__chunk"), 0);
        fHost->CallScript();
    }

    // The value of the expression as text ("nil" for nil).
    std::string Eval(const std::string& expression)
    {
        Run("__result = tostring(" + expression + ")");
        lua_getglobal(fHost->fState, "__result");
        std::string text = lua_tostring(fHost->fState, -1) ? lua_tostring(fHost->fState, -1) : "";
        lua_pop(fHost->fState, 1);
        return text;
    }

    // The object a global holds.
    template <class T> T* Object(const char* global)
    {
        lua_getglobal(fHost->fState, global);
        void* object = lua_type(fHost->fState, -1) == LUA_TUSERDATA
            ? tolua_tousertype(fHost->fState, -1, nullptr)
            : nullptr;
        lua_pop(fHost->fState, 1);
        return static_cast<T*>(object);
    }

    // The last console line, or "".
    std::string LastLine() const { return captured.lines.empty() ? "" : captured.lines.back().text; }

    CapturedLines captured;
    std::unique_ptr<QV_LuaContext> fHost;
};
