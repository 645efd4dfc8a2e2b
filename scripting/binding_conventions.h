#pragma once

#include <cmath>
#include <cstdint>

struct lua_State;

// A script number converted to a 32-bit integer: truncated toward zero, numbers beyond the
// range saturate and NaN gives 0. The generated bindings convert every integer through it.
struct QV_LuaInt {
    QV_LuaInt(double number)
    {
        if (std::isnan(number))
            value = 0;
        else if (number >= 2147483647.0)
            value = INT32_MAX;
        else if (number <= -2147483648.0)
            value = INT32_MIN;
        else
            value = int32_t(number);
    }
    operator int32_t() const { return value; }

    int32_t value;
};

// A script number converted to a byte: as an integer, of which the low 8 bits are kept (256
// gives 0, -1 gives 255).
struct QV_LuaByte {
    QV_LuaByte(double number)
        : value(uint8_t(uint32_t(QV_LuaInt(number).value) & 0xff))
    {
    }
    operator uint8_t() const { return value; }

    uint8_t value;
};

// Guards the ownership of the objects of a module's classes, applied once after the module is
// opened: `new` records the object as the script's; `delete` frees only objects that the
// script or Lua owns (releasing Lua's ownership first, so the collector never frees it again)
// and leaves the userdata empty, so later use raises the self error; `delete` of an object the
// application owns is refused. tolua.takeownership accepts only objects that the script made.
// A dotted name reaches a sub-module ("QV.GUI").
void QV_LuaGuardOwnership(lua_State* state, const char* moduleName);

// The application takes the object from here on: neither Lua's collector nor the script's
// `delete` frees it any more.
void QV_LuaReleaseObject(lua_State* state, void* object);

// Before the state closes: the objects that scripts made with `new` and never deleted are
// handed to Lua, so that closing the state frees them.
void QV_LuaCollectScriptObjects(lua_State* state);

// The application is about to destroy an object that may have reached Lua under the type
// name: its userdata is emptied (later use raises the self error) and Lua forgets it.
void QV_LuaInvalidateObject(lua_State* state, void* object, const char* typeName);

// Pushes an application object as binding results and variables do, noting its address in the
// record of script objects (script_object_record.h): when the object is destroyed, its
// userdata is emptied and later use raises the self error. The document bindings push every
// object they hand out by pointer through here.
void QV_LuaPushObject(lua_State* state, void* object, const char* typeName);
