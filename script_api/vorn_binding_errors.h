#pragma once

#include <cstdio>

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

// Raises the argument error of a binding ("#ferror in function 'NAME'.") for the argument at
// the index, which should have been of the type: for the nil that the generated checks let
// through where the operation needs an object.
[[noreturn]] inline void VornRaiseArgumentError(lua_State* state, const char* function, int index, const char* type)
{
    tolua_Error error { index, 0, type };
    char text[96];
    std::snprintf(text, sizeof(text), "#ferror in function '%s'.", function);
    tolua_error(state, text, &error);
    lua_error(state);
    __builtin_unreachable();
}
