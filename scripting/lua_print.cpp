#include "lua_print.h"

extern "C" {
#include <lua.h>
}

#include "interface_colors.h"
#include "qv_lua_context.h"
#include "qv_lua_console.h"
#include "qv_string.h"

namespace {

bool Printable(lua_State* state, int index)
{
    const int type = lua_type(state, index);
    return type == LUA_TSTRING || type == LUA_TNUMBER;
}

} // namespace

int LuaPrint(lua_State* state)
{
    const int count = lua_gettop(state);
    QV_String text;
    for (int i = 1; i <= count; i++) {
        if (!Printable(state, i))
            continue;
        if (i > 1)
            text.Append('\t');
        text.Append(lua_tostring(state, i));
    }
    QV_LuaConsole::Print(text.CString(), Text);
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
