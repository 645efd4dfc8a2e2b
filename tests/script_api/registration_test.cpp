#include "binding_conventions.h"
#include "registry_test_support.h"

#include "tolua++.h"

namespace {

using Registration = RegistryTest;

TEST_F(Registration, ModulesAndConstants)
{
    EXPECT_EQ(Global("QV.GUI.MSG_BASE"), "nil");
    EXPECT_EQ(Global("VORN.MSG_BASE"), "-10000");
    EXPECT_EQ(Global("VORN.SMOOTH ~= 0.3 and VORN.PEAKED ~= 0.001"), "true");
    EXPECT_EQ(Global("VORN.SMOOTH == 0.300000011920928955078125"), "true");
    EXPECT_EQ(Global("QV.GUI.KEY_F1 .. ' ' .. QV.GUI.KEY_F12 .. ' ' .. QV.GUI.KEY_DOWN"), "-20 -31 -13");
    EXPECT_EQ(Global("QV.GUI.ALIGN_LEFT == QV.GUI.ALIGN_TOP and QV.GUI.ALIGN_RIGHT == QV.GUI.ALIGN_BOTTOM"),
        "true");
    EXPECT_EQ(
        Global("QV.GUI.MSG_OK .. ' ' .. QV.GUI.MSG_CANCEL .. ' ' .. QV.GUI.FIELD_NODIGITS"), "-1006 -1007 5");
    EXPECT_EQ(Global("QV.GUI.QV_Layer == nil and QV.GUI.QV_Dialog == nil"), "true");
    EXPECT_EQ(Global("VORN.LT_3D .. ' ' .. tostring(VORN.LT_AUDIO)"), "8 nil");

    // Every entry of VORN is a class table or a number: 38 classes and 50 constants.
    const char* count = "(function() local c, n = 0, 0 for k, v in pairs(VORN) do"
                        " if type(v) == 'number' then n = n + 1 elseif type(v) == 'table' then c = c + 1 end"
                        " end return c .. ' ' .. n end)()";
    EXPECT_EQ(Global(count), "38 50");
    EXPECT_EQ(Global("QV.Point ~= nil and VORN.ScriptPrefs.GetString ~= nil"), "true");
    // The dialog function is the module's Lua code; registration is native.
    EXPECT_EQ(Global("debug.getinfo(QV.GUI.SimpleDialog).what .. ' ' .. type(QV.GUI.SimpleDialogRegister)"),
        "Lua function");
}

TEST_F(Registration, LuaBasesGovernArgumentChecks)
{
    lua_State* state = Registry().fState;
    int menu = 0;
    int layer = 0;
    tolua_Error error;
    struct Case {
        void* object;
        const char* type;
        const char* base;
        bool passes;
    } cases[] = {
        { &menu, "QV_Menu", "QV_Layer", true },
        { &menu, "QV_SimpleDialog", "QV_Dialog", true },
        { &menu, "QV_TextControl", "QV_View", true },
        { &layer, "BoneLayer", "VornLayer", true },
        { &layer, "XGraphics", "QV_Graphics", true },
        { &layer, "QV_View", "QV_BaseWidget", false },
    };
    for (const Case& c : cases) {
        tolua_pushusertype(state, c.object, c.type);
        EXPECT_EQ(tolua_isusertype(state, lua_gettop(state), c.base, 0, &error) != 0, c.passes)
            << c.type << " as " << c.base;
        lua_pop(state, 1);
        QV_LuaInvalidateObject(state, c.object, c.type);
    }
}

} // namespace
