#include "registry_test_support.h"
#include "script_events.h"
#include "script_interface.h"
#include "script_prefs.h"

namespace {

class Callbacks : public RegistryTest {
protected:
    // Loads the tools of the list, each file's text given.
    void LoadTools(const std::vector<std::pair<std::string, std::string>>& tools, const std::string& list)
    {
        for (const auto& [name, text] : tools)
            Write("tool/" + name + ".lua", text);
        Write("tool/_tool_list.txt", list);
        Registry().LoadScripts();
    }

    // The pointer inside the userdata a global holds (null once the record was forgotten).
    void* Held(const char* global)
    {
        lua_State* state = Registry().fState;
        lua_getglobal(state, global);
        void* object = lua_type(state, -1) == LUA_TUSERDATA ? *static_cast<void**>(lua_touserdata(state, -1))
                                                            : nullptr;
        lua_pop(state, 1);
        return object;
    }

    int ErrorLines() const
    {
        int count = 0;
        for (const ConsoleLine& line : console.lines)
            count += line.color == 0xff000080u;
        return count;
    }

    ScriptInterface record { nullptr, nullptr };
};

TEST_F(Callbacks, IsEnabledIsTrueUnlessTheScriptSaysFalse)
{
    LoadTools({ { "none", Table("None") },
                  { "fails", Table("Fails", "function Fails:IsEnabled() error('cannot tell') end") },
                  { "number", Table("Number", "function Number:IsEnabled() return 0 end") },
                  { "off", Table("Off", "function Off:IsEnabled(si) Seen = si return false end") } },
        "tool none n tool fails f tool number u tool off o");
    EXPECT_TRUE(Tool(0).IsEnabled(&record));
    EXPECT_TRUE(Tool(1).IsEnabled(&record));
    EXPECT_TRUE(Tool(1).IsEnabled(&record));
    EXPECT_EQ(ErrorLines(), 2);
    EXPECT_TRUE(Tool(2).IsEnabled(&record));
    EXPECT_FALSE(Tool(3).IsEnabled(&record));
    // The record was handed over for the call only.
    EXPECT_EQ(Global("type(Seen)"), "userdata");
    EXPECT_EQ(Held("Seen"), nullptr);
}

TEST_F(Callbacks, RecordsAreForgottenAfterEachCall)
{
    LoadTools({ { "keep",
                  Table("Keep",
                      "function Keep:OnMouseDown(si, e) KeptRecord, KeptMouse = si, e end\n"
                      "function Keep:OnKeyDown(si, e) KeptKey = e end\n"
                      "function Keep:LoadPrefs(p) KeptPrefs = p p:SetInt('KeepCount', 4) end\n") } },
        "tool keep k");
    MouseEvent mouse;
    KeyEvent key;
    Tool(0).OnMouseDown(&record, &mouse);
    Tool(0).OnKeyDown(&record, &key);
    EXPECT_EQ(Held("KeptRecord"), nullptr);
    EXPECT_EQ(Held("KeptMouse"), nullptr);
    EXPECT_EQ(Held("KeptKey"), nullptr);
    EXPECT_EQ(Held("KeptPrefs"), nullptr);
    const char* text = nullptr;
    ASSERT_TRUE(settings.FindString("KeepCount", &text));
    EXPECT_STREQ(text, "4");

    // Using the kept preferences later raises the self error instead of reaching a stale record.
    ASSERT_EQ(luaL_loadstring(Registry().fState, "KeptPrefs:SetInt('KeepCount', 5)"), 0);
    lua_setglobal(Registry().fState, "__late");
    ASSERT_EQ(Registry().BeginFunctionCall("__late"), 0);
    Registry().CallScript();
    ASSERT_FALSE(console.lines.empty());
    EXPECT_NE(console.lines.back().text.find("invalid 'self'"), std::string::npos)
        << console.lines.back().text;
    ASSERT_TRUE(settings.FindString("KeepCount", &text));
    EXPECT_STREQ(text, "4");
}

TEST_F(Callbacks, UpdateWidgetsAlsoRunsTheUpdateTable)
{
    Write("utility/update.lua", "function VORN:RunUpdateTable(si) Updates = (Updates or 0) + 1 end\n");
    LoadTools(
        { { "plain", Table("Plain") },
            { "own", Table("Own", "function Own:UpdateWidgets() OwnUpdates = (OwnUpdates or 0) + 1 end") } },
        "tool plain p tool own o");
    Tool(0).UpdateWidgets(&record);
    EXPECT_EQ(Global("Updates"), "1");
    Tool(1).UpdateWidgets(&record);
    EXPECT_EQ(Global("Updates"), "2");
    EXPECT_EQ(Global("OwnUpdates"), "1");
}

TEST_F(Callbacks, OnlyTheScriptMessageRangeReachesHandleMessage)
{
    LoadTools(
        { { "msg",
            Table("Msg", "function Msg:HandleMessage(si, view, id) Got = (Got or '') .. id .. ' ' end") } },
        "tool msg m");
    for (int32_t id : { -10001, -10000, -9500, -9000, -8999, 0 })
        Registry().DispatchScriptMessage(id, &Tool(0), &record, nullptr);
    EXPECT_EQ(Global("Got"), "-10000 -9500 -9000 ");
    EXPECT_FALSE(Registry().DispatchScriptMessage(-9500, nullptr, &record, nullptr));
}

TEST_F(Callbacks, ShortcutsSkipDisabledToolsAndModifiers)
{
    LoadTools({ { "first", Table("First", "function First:IsEnabled() return Allow == true end") },
                  { "second", Table("Second") }, { "third", Table("Third") } },
        "tool first a spacer tool second A tool third b");
    EXPECT_EQ(Registry().ToolForKey('A', false, false, &record), 2);
    luaL_dostring(Registry().fState, "Allow = true");
    EXPECT_EQ(Registry().ToolForKey('a', false, false, &record), 0);
    EXPECT_EQ(Registry().ToolForKey('a', true, false, &record), -1);
    EXPECT_EQ(Registry().ToolForKey('b', false, true, &record), -1);
    EXPECT_EQ(Registry().ToolForKey('z', false, false, &record), -1);
    EXPECT_EQ(Registry().ToolNamed("Third", &record), 3);
    luaL_dostring(Registry().fState, "Allow = false");
    EXPECT_EQ(Registry().ToolNamed("First", &record), -1);
    EXPECT_EQ(Registry().ToolNamed("Nobody", &record), -1);
}

TEST_F(Callbacks, ResetAllToolsResetsEveryToolThenUpdatesTheCurrentOne)
{
    const std::string body = "function %s:ResetPrefs() Resets = (Resets or '') .. '%s ' end\n"
                             "function %s:UpdateWidgets() Updated = (Updated or '') .. '%s ' end\n";
    auto tool = [&](const std::string& name) {
        std::string text = body;
        for (size_t at; (at = text.find("%s")) != std::string::npos;)
            text.replace(at, 2, name);
        return Table(name, text);
    };
    LoadTools({ { "one", tool("One") }, { "two", tool("Two") }, { "push", tool("Push") } },
        "tool one 1 spacer button push p tool two 2");
    Registry().ResetAllTools(&Tool(3), &record);
    EXPECT_EQ(Global("Resets"), "One Push Two ");
    EXPECT_EQ(Global("Updated"), "Two ");
    Registry().ResetTool(&Tool(0), &record);
    EXPECT_EQ(Global("Resets"), "One Push Two One ");
    EXPECT_EQ(Global("Updated"), "Two One ");
}

} // namespace
