#include "probe_binding.h"
#include "script_test_support.h"

namespace {

class BindingConventions : public HostTest {
protected:
    BindingConventions() { OpenProbeModule(host.fState); }

    // The message of the error the code raises, without the position Lua puts in front.
    std::string ErrorText(const std::string& code)
    {
        const std::string wrapped
            = "local ok, e = pcall(function() " + code + " end) ErrorMessage = ok and 'no error' or e";
        EXPECT_EQ(luaL_dostring(host.fState, wrapped.c_str()), 0) << code;
        lua_getglobal(host.fState, "ErrorMessage");
        std::string text = lua_tostring(host.fState, -1) ? lua_tostring(host.fState, -1) : "";
        lua_pop(host.fState, 1);
        if (text.rfind("[string ", 0) == 0) {
            const size_t end = text.find("]:");
            const size_t after = text.find(": ", end + 2);
            if (end != std::string::npos && after != std::string::npos)
                text.erase(0, after + 2);
        }
        return text;
    }
};

TEST_F(BindingConventions, ErrorTextsAreWhole)
{
    struct Case {
        const char* code;
        const char* text;
    };
    const Case cases[] = {
        { "QV.Round(1, 2)",
            "error in function 'Round'.\n     argument #2 is 'number'; '[no object]' expected.\n" },
        { "QV.Beep(1)",
            "error in function 'Beep'.\n     argument #1 is 'number'; '[no object]' expected.\n" },
        { "QV.Vector2():Set(1)",
            "error in function 'Set'.\n     argument #3 is '[no object]'; 'number' expected.\n" },
        { "QV.Vector2():Set(QV.Point())",
            "error in function 'Set'.\n     argument #2 is 'QV_Point'; 'number' expected.\n" },
        { "local v = QV.Vector2() + 1",
            "error in function '.add'.\n     argument #2 is 'number'; 'const QV_Vector2' expected.\n" },
        { "QV.Vector2()['.add'](nil, QV.Vector2())", "invalid 'self' in function 'operator+'" },
        { "local l = QV.Rect.left", "invalid 'self' in accessing variable 'left'" },
        { "QV.Rect().left = 'wide'",
            "invalid type in variable assignment.\n     value is 'string'; 'number' expected.\n" },
        { "QV.Rect().Contains(QV.Point())",
            "error in function 'Contains'.\n     argument #1 is 'QV_Point'; 'QV_Rect' expected.\n" },
        { "QV.Rect().Contains(nil, QV.Point())", "invalid 'self' in function 'Contains'" },
        { "QV.Rect():Contains(nil)",
            "error in function 'Contains'.\n     argument #2 is 'nil'; 'value' expected.\n" },
        { "local m = QV.Matrix(); m:Transform(QV.Point())",
            "error in function 'Transform'.\n     argument #2 is 'QV_Point'; 'QV_Vector2' expected.\n" },
        { "QV.Matrix().Transform(nil, QV.Vector3())", "invalid 'self' in function 'TransformHomo'" },
        { "QV.ColorVector():Set()",
            "error in function 'Set'.\n     argument #2 is '[no object]'; 'number' expected.\n" },
        { "local c = QV.ColorVector() * QV.Vector2()",
            "error in function '.mul'.\n     argument #2 is 'QV_Vector2'; 'const QV_ColorVector' "
            "expected.\n" },
        { "QV.Point.new(1)",
            "error in function 'new'.\n     argument #1 is 'number'; 'QV_Point' expected.\n" },
        { "QV.Point.new_local({})",
            "error in function 'new'.\n     argument #1 is 'table'; 'QV_Point' expected.\n" },
        { "QV.Point():delete(1)",
            "error in function 'delete'.\n     argument #2 is 'number'; '[no object]' expected.\n" },
        { "local p = Probe.ProbeObject(); p:Defaults(nil)",
            "error in function 'Defaults'.\n     argument #2 is 'nil'; 'number' expected.\n" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorText(c.code), c.text) << c.code;
}

TEST_F(BindingConventions, ArgumentsTakeTheirDefaultsOnlyWhenLeftOut)
{
    Run("P = Probe.ProbeObject()");
    EXPECT_EQ(Number("P:Defaults()"), 7);
    EXPECT_STREQ(ProbeObject::lastText, "plain");
    EXPECT_EQ(Number("P:Defaults('3')"), 3);
    EXPECT_EQ(Number("P:Defaults(2.9)"), 2);
    EXPECT_EQ(Number("P:Defaults(-2.9)"), -2);
    EXPECT_EQ(Number("P:Defaults(1, nil) and (P:Flag() and 1 or 0)"), 0);
    EXPECT_EQ(Number("P:Defaults(1) and (P:Flag() and 1 or 0)"), 1);
    Run("P:Defaults(1, true, nil)");
    EXPECT_EQ(ProbeObject::lastText, nullptr);
    Run("P:Defaults(1, true, 42)");
    EXPECT_STREQ(ProbeObject::lastText, "42");
}

TEST_F(BindingConventions, IntegersSaturateAndNaNGivesZero)
{
    Run("P = QV.Point()");
    struct Case {
        const char* value;
        double x;
    };
    for (const Case& c : { Case { "0/0", 0 }, Case { "1e300", 2147483647 }, Case { "-1e300", -2147483648.0 },
             Case { "1/0", 2147483647 }, Case { "-0.5", 0 }, Case { "'200'", 200 } }) {
        Run((std::string("P.x = ") + c.value).c_str());
        EXPECT_EQ(Number("P.x"), c.x) << c.value;
    }
}

TEST_F(BindingConventions, NewLivesUntilDeleteAndCollectedObjectsAreFreedOnce)
{
    const int live = ProbeObject::live;
    Run("Kept = Probe.ProbeObject:new(); Dropped = Probe.ProbeObject:new()\n"
        "local a, b = Probe.ProbeObject(), Probe.ProbeObject:new_local()");
    Run("Dropped = nil");
    lua_gc(host.fState, LUA_GCCOLLECT, 0);
    EXPECT_EQ(ProbeObject::live, live + 2); // a script-made object stays, even unreachable

    const int deletions = ProbeObject::deletions;
    Run("Kept:delete()");
    EXPECT_EQ(ProbeObject::deletions, deletions + 1);
    EXPECT_EQ(ErrorText("return Kept.value"), "invalid 'self' in accessing variable 'value'");
    EXPECT_EQ(ErrorText("Kept:delete()"), "invalid 'self' in function 'delete'");

    // Deleting a Lua-owned object releases it first: the collector does not free it again.
    Run("local owned = Probe.ProbeObject(); owned:delete()");
    Run("local owned = Probe.ProbeObject(); tolua.releaseownership(owned); owned:delete()");
    Run("local made = Probe.ProbeObject:new(); tolua.takeownership(made)");
    lua_gc(host.fState, LUA_GCCOLLECT, 0);
    lua_gc(host.fState, LUA_GCCOLLECT, 0);
    EXPECT_EQ(ProbeObject::live, live + 1); // the one unreachable `new` object
}

TEST(BindingOwnership, ClosingTheStateFreesWhatScriptsMadeAndKept)
{
    const int live = ProbeObject::live;
    const int deletions = ProbeObject::deletions;
    {
        QV_LuaContext host;
        OpenProbeModule(host.fState);
        luaL_dostring(host.fState,
            "Kept = Probe.ProbeObject:new(); local lost = Probe.ProbeObject:new()\n"
            "local gone = Probe.ProbeObject:new(); gone:delete()");
        lua_gc(host.fState, LUA_GCCOLLECT, 0);
        EXPECT_EQ(ProbeObject::live, live + 2);
    }
    EXPECT_EQ(ProbeObject::live, live);
    EXPECT_EQ(ProbeObject::deletions, deletions + 3);
}

TEST_F(BindingConventions, ApplicationObjectsCannotBeTakenOrDeleted)
{
    ApplicationObject();
    const int live = ProbeObject::live;
    EXPECT_EQ(ErrorText("tolua.takeownership(Probe.ApplicationObject())"),
        "tolua.takeownership: the object belongs to the application");
    EXPECT_EQ(ErrorText("Probe.ApplicationObject():delete()"),
        "invalid 'self' in function 'delete': the object belongs to the application");
    lua_gc(host.fState, LUA_GCCOLLECT, 0);
    EXPECT_EQ(ProbeObject::live, live);
    Run("App = Probe.ApplicationObject(); App.value = 4");
    EXPECT_EQ(ApplicationObject()->value, 4);
}

TEST_F(BindingConventions, AnInvalidatedObjectRaisesTheSelfError)
{
    ProbeObject dying;
    Run("probe_push = nil");
    tolua_pushusertype(host.fState, &dying, "ProbeObject");
    lua_setglobal(host.fState, "Dying");
    EXPECT_EQ(ErrorText("Dying.value = 1"), "no error");
    QV_LuaInvalidateObject(host.fState, &dying, "ProbeObject");
    EXPECT_EQ(ErrorText("return Dying.value"), "invalid 'self' in accessing variable 'value'");
    EXPECT_EQ(ErrorText("Dying:Flag()"), "invalid 'self' in function 'Flag'");
    // The same address reaches Lua afresh.
    tolua_pushusertype(host.fState, &dying, "ProbeObject");
    lua_setglobal(host.fState, "Again");
    EXPECT_EQ(ErrorText("Again.value = 2"), "no error");
    EXPECT_EQ(dying.value, 2);
}

} // namespace
