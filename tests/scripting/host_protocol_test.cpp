#include <cstdio>
#include <fstream>

#include "script_test_support.h"

namespace {

using HostProtocol = HostTest;

TEST_F(HostProtocol, MissingTargetsGiveMinus3AndLeaveTheStack)
{
    Run("Number = 5; Text = 'x'; Tool = { Field = 1 }");
    const int top = lua_gettop(host.fState);
    EXPECT_EQ(host.BeginScriptCall("Number", "Run"), kScriptMissing);
    EXPECT_EQ(host.BeginScriptCall("Text", "Run"), kScriptMissing);
    EXPECT_EQ(host.BeginScriptCall("Nothing", "Run"), kScriptMissing);
    EXPECT_EQ(host.BeginScriptCall("Tool", "Field"), kScriptMissing);
    EXPECT_EQ(host.BeginFunctionCall("Number"), kScriptMissing);
    EXPECT_EQ(lua_gettop(host.fState), top);
    EXPECT_EQ(host.fDepth, 0);
}

TEST_F(HostProtocol, LookUpsThatRaiseAreCaught)
{
    Run("setmetatable(_G, { __index = function(t, k) error('undefined global ' .. k, 2) end })\n"
        "Picky = setmetatable({}, { __index = function() error('no such member') end })");
    const int top = lua_gettop(host.fState);
    EXPECT_EQ(host.BeginScriptCall("Missing", "Run"), kScriptMissing);
    EXPECT_NE(captured.lines.back().text.find("undefined global Missing"), std::string::npos);
    EXPECT_EQ(captured.lines.back().color, 0xff000080u);
    EXPECT_EQ(host.BeginScriptCall("Picky", "Run"), kScriptMissing);
    EXPECT_NE(captured.lines.back().text.find("no such member"), std::string::npos);
    EXPECT_EQ(host.BeginFunctionCall("Absent"), kScriptMissing);
    QV_String name;
    EXPECT_EQ(host.GetScriptName(name), kScriptNoGlobal);
    EXPECT_EQ(host.BindLayerScript("LS_1"), kScriptFailed);
    EXPECT_EQ(lua_gettop(host.fState), top);
    EXPECT_EQ(host.fDepth, 0);
}

TEST_F(HostProtocol, MethodsAreFoundThroughMetatables)
{
    Run("Base = { Run = function(self, n) print('ran', self.name, n) end }\n"
        "Tool = setmetatable({ name = 'tool' }, { __index = Base })");
    ASSERT_EQ(host.BeginScriptCall("Tool", "Run"), kScriptOK);
    EXPECT_EQ(host.fArgCount, 1);
    ASSERT_TRUE(host.PushNumber(4));
    host.CallScript();
    EXPECT_EQ(captured.lines.back().text, "ran\ttool\t4");
}

TEST_F(HostProtocol, ResultsOfTheWrongTypeKeepTheOutValue)
{
    Run("T = { Nothing = function() end, Number = function() return 3 end,\n"
        "      False = function() return false end, Twelve = function() return 12 end,\n"
        "      Half = function() return 1.5 end, Fails = function() error('bad') end }");
    struct Case {
        const char* method;
        int32_t code;
        bool value;
    };
    for (const Case& c :
        { Case { "Nothing", kScriptWrongResult, true }, Case { "Number", kScriptWrongResult, true },
            Case { "Fails", kScriptWrongResult, true }, Case { "False", kScriptOK, false } }) {
        bool value = true;
        ASSERT_EQ(host.BeginScriptCall("T", c.method), kScriptOK);
        EXPECT_EQ(host.CallScriptBool(value), c.code) << c.method;
        EXPECT_EQ(value, c.value) << c.method;
    }
    QV_String text("kept");
    ASSERT_EQ(host.BeginScriptCall("T", "Twelve"), kScriptOK);
    EXPECT_EQ(host.CallScriptString(text), kScriptOK);
    EXPECT_STREQ(text.CString(), "12");
    ASSERT_EQ(host.BeginScriptCall("T", "Half"), kScriptOK);
    EXPECT_EQ(host.CallScriptString(text), kScriptOK);
    EXPECT_STREQ(text.CString(), "1.5");
    ASSERT_EQ(host.BeginScriptCall("T", "Nothing"), kScriptOK);
    EXPECT_EQ(host.CallScriptString(text), kScriptWrongResult);
    EXPECT_STREQ(text.CString(), "1.5");
    EXPECT_EQ(host.fDepth, 0);
}

TEST_F(HostProtocol, AnErrorInRunPrintsOnceAndTheNextCallbackRuns)
{
    Run("S = { Run = function() error('broken tool') end, IsEnabled = function() return true end }");
    const size_t before = captured.lines.size();
    ASSERT_EQ(host.BeginScriptCall("S", "Run"), kScriptOK);
    host.CallScript();
    ASSERT_EQ(captured.lines.size(), before + 1);
    EXPECT_NE(captured.lines.back().text.find(":1: broken tool"), std::string::npos);
    EXPECT_EQ(captured.lines.back().color, 0xff000080u);
    bool enabled = false;
    ASSERT_EQ(host.BeginScriptCall("S", "IsEnabled"), kScriptOK);
    EXPECT_EQ(host.CallScriptBool(enabled), kScriptOK);
    EXPECT_TRUE(enabled);
}

TEST_F(HostProtocol, WithoutAHandlerErrorsAreNotPrinted)
{
    Run("F = function() error('quiet') end");
    Run("_ALERT = 1");
    const size_t before = captured.lines.size();
    ASSERT_EQ(host.BeginFunctionCall("F"), kScriptOK);
    EXPECT_EQ(host.fHandlerIndex, 0);
    QV_String text("kept");
    EXPECT_EQ(host.CallScriptString(text), kScriptWrongResult);
    EXPECT_STREQ(text.CString(), "kept");
    EXPECT_EQ(captured.lines.size(), before);
}

TEST_F(HostProtocol, FailingFilesPrintTheirErrorAndLeaveTheStack)
{
    const std::string path = ::testing::TempDir() + "broken_script.lua";
    std::ofstream(path) << "return 1, 2, 3 +";
    const int top = lua_gettop(host.fState);
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(host.DoFile(path.c_str()), kScriptFailed);
    EXPECT_EQ(lua_gettop(host.fState), top);
    EXPECT_EQ(captured.lines.back().color, 0xff000080u);
    EXPECT_NE(captured.lines.back().text.find("broken_script.lua:1:"), std::string::npos);

    std::ofstream(path) << "ScriptName = 'Fine'; return 1, 2, 3";
    EXPECT_EQ(host.DoFile(path.c_str()), kScriptOK);
    EXPECT_EQ(lua_gettop(host.fState), top);
    std::remove(path.c_str());
}

TEST_F(HostProtocol, ScriptNameIsAStringOrANumber)
{
    QV_String name("old");
    EXPECT_EQ(host.GetScriptName(name), kScriptNoGlobal);
    EXPECT_STREQ(name.CString(), "");
    Run("ScriptName = 12");
    EXPECT_EQ(host.GetScriptName(name), kScriptOK);
    EXPECT_STREQ(name.CString(), "12");
    Run("ScriptName = {}");
    EXPECT_EQ(host.GetScriptName(name), kScriptNoGlobal);
}

// A native function that nests one more script call, as a modal script dialog does.
int Nest(lua_State* state)
{
    QV_LuaContext* host = QV_LuaContext::FromState(state);
    const double depth = lua_tonumber(state, 1);
    if (host->BeginScriptCall("Nester", "Go") == 0) {
        host->PushNumber(depth + 1);
        host->CallScript();
    }
    return 0;
}

TEST_F(HostProtocol, A65thNestedCallIsRefusedAndTheOuterCallGoesOn)
{
    lua_register(host.fState, "nest", Nest);
    Run("Deepest = 0\n"
        "Nester = { Go = function(self, depth)\n"
        "  Deepest = math.max(Deepest, depth); nest(depth); Finished = (Finished or 0) + 1 end }");
    const int top = lua_gettop(host.fState);
    ASSERT_EQ(host.BeginScriptCall("Nester", "Go"), kScriptOK);
    host.PushNumber(1);
    host.CallScript();
    EXPECT_EQ(Number("Deepest"), 64);
    EXPECT_EQ(Number("Finished"), 64);
    EXPECT_EQ(lua_gettop(host.fState), top);
    EXPECT_EQ(host.fDepth, 0);
    int refusals = 0;
    for (const CapturedLine& line : captured.lines)
        refusals += line.text.find("nested more than 64") != std::string::npos;
    EXPECT_EQ(refusals, 1);
}

TEST_F(HostProtocol, ContextsAreFoundByTheirState)
{
    EXPECT_EQ(QV_LuaContext::FromState(host.fState), &host);
    QV_LuaContext other;
    EXPECT_EQ(QV_LuaContext::FromState(other.fState), &other);
    lua_State* stray = luaL_newstate();
    EXPECT_EQ(QV_LuaContext::FromState(stray), nullptr);
    lua_close(stray);
}

TEST_F(HostProtocol, GarbageStepsFreeUnreachableValues)
{
    Run("for i = 1, 2000 do local v = QV.Vector3() end");
    const int before = lua_gc(host.fState, LUA_GCCOUNT, 0);
    for (int i = 0; i < 2000; i++)
        host.CollectGarbageStep();
    EXPECT_LT(lua_gc(host.fState, LUA_GCCOUNT, 0), before);
}

} // namespace
