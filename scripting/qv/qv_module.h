#pragma once

struct lua_State;

// Opens the module QV (the value types, the axis constants and the small functions) on the
// state, with the ownership guards of the binding conventions. Returns 1.
int OpenQVModule(lua_State* state);
