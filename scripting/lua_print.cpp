#include "lua_print.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "interface_colors.h"
#include "qv_lua_console.h"
#include "qv_lua_context.h"

namespace {

bool Printable(lua_State* state, int index)
{
    const int type = lua_type(state, index);
    return type == LUA_TSTRING || type == LUA_TNUMBER;
}

} // namespace

int LuaPrint(lua_State* state)
{
    // Lua's own buffer: a memory error while joining unwinds past nothing that needs freeing.
    const int count = lua_gettop(state);
    luaL_Buffer text;
    luaL_buffinit(state, &text);
    for (int i = 1; i <= count; i++) {
        if (!Printable(state, i))
            continue;
        if (i > 1)
            luaL_addchar(&text, '\t');
        luaL_addstring(&text, lua_tostring(state, i));
    }
    luaL_pushresult(&text);
    QV_LuaConsole::Print(lua_tostring(state, -1), Text);
    return 0;
}

int LuaAlert(lua_State* state)
{
    const int count = lua_gettop(state);
    for (int i = 1; i <= count; i++) {
        if (Printable(state, i))
            QV_LuaConsole::Print(lua_tostring(state, i), kScriptErrorColor);
    }
    return 0;
}
