#pragma once

struct lua_State;

// The Lua global print: strings and numbers joined by TABs (other values are left out, with no
// TAB of their own) as one console print in the interface colour Text.
int LuaPrint(lua_State* state);
// The Lua global _ALERT, the handler of every script call: each string or number argument is
// its own console print in dark red. Returns nothing, so the failed call's result is nil.
int LuaAlert(lua_State* state);
