#include "binding_conventions.h"

#include <cstring>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}
#include "tolua++.h"

#include "script_object_record.h"

namespace {

// Registry table of the objects that scripts made with `new` and have not yet deleted or
// handed to Lua, keyed by their address.
const char* const kScriptOwned = "celvane_script_owned";

void* ObjectOf(lua_State* state, int index)
{
    if (lua_type(state, index) != LUA_TUSERDATA)
        return nullptr;
    return *static_cast<void**>(lua_touserdata(state, index));
}

// Pushes the registry table of the name, creating it when missing.
void PushRegistryTable(lua_State* state, const char* name)
{
    lua_getfield(state, LUA_REGISTRYINDEX, name);
    if (lua_istable(state, -1))
        return;
    lua_pop(state, 1);
    lua_newtable(state);
    lua_pushvalue(state, -1);
    lua_setfield(state, LUA_REGISTRYINDEX, name);
}

bool InTable(lua_State* state, const char* name, void* object)
{
    PushRegistryTable(state, name);
    lua_pushlightuserdata(state, object);
    lua_rawget(state, -2);
    const bool found = !lua_isnil(state, -1);
    lua_pop(state, 2);
    return found;
}

void SetInTable(lua_State* state, const char* name, void* object, bool present)
{
    PushRegistryTable(state, name);
    lua_pushlightuserdata(state, object);
    if (present)
        lua_pushboolean(state, 1);
    else
        lua_pushnil(state);
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

bool LuaOwned(lua_State* state, void* object)
{
    return InTable(state, "tolua_gc", object);
}

// Removes the object from the userdata cache found in the metatable (or the registry).
void ForgetUserdata(lua_State* state, int metatableIndex, void* object)
{
    lua_pushstring(state, "tolua_ubox");
    lua_rawget(state, metatableIndex);
    if (!lua_istable(state, -1)) {
        lua_pop(state, 1);
        lua_getfield(state, LUA_REGISTRYINDEX, "tolua_ubox");
    }
    if (lua_istable(state, -1)) {
        lua_pushlightuserdata(state, object);
        lua_pushnil(state);
        lua_rawset(state, -3);
    }
    lua_pop(state, 1);
}

void EmptyUserdata(lua_State* state, int index, void* object)
{
    index = index < 0 ? lua_gettop(state) + index + 1 : index;
    *static_cast<void**>(lua_touserdata(state, index)) = nullptr;
    if (lua_getmetatable(state, index)) {
        ForgetUserdata(state, lua_gettop(state), object);
        lua_pop(state, 1);
    }
}

// Records the object at the index as the script's, with its metatable, which names its type.
void MarkScriptOwned(lua_State* state, int index, void* object)
{
    index = index < 0 ? lua_gettop(state) + index + 1 : index;
    PushRegistryTable(state, kScriptOwned);
    lua_pushlightuserdata(state, object);
    if (!lua_getmetatable(state, index))
        lua_pushboolean(state, 1);
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

int GuardedNew(lua_State* state)
{
    const int args = lua_gettop(state);
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, args, LUA_MULTRET);
    if (void* object = ObjectOf(state, 1))
        MarkScriptOwned(state, 1, object);
    return lua_gettop(state);
}

int GuardedDelete(lua_State* state)
{
    void* object = ObjectOf(state, 1);
    const bool owned = object && (InTable(state, kScriptOwned, object) || LuaOwned(state, object));
    if (object && !owned)
        return luaL_error(
            state, "invalid 'self' in function 'delete': the object belongs to the application");
    const int args = lua_gettop(state);
    lua_pushvalue(state, lua_upvalueindex(1));
    for (int i = 1; i <= args; i++)
        lua_pushvalue(state, i);
    // The original raises its argument and self errors before anything is freed.
    lua_call(state, args, 0);
    if (object) {
        SetInTable(state, kScriptOwned, object, false);
        PushRegistryTable(state, "tolua_gc");
        lua_pushlightuserdata(state, object);
        lua_pushnil(state);
        lua_rawset(state, -3);
        lua_pop(state, 1);
        EmptyUserdata(state, 1, object);
    }
    return 0;
}

int GuardedTakeOwnership(lua_State* state)
{
    void* object = ObjectOf(state, 1);
    if (object && !LuaOwned(state, object)) {
        if (!InTable(state, kScriptOwned, object))
            return luaL_error(state, "tolua.takeownership: the object belongs to the application");
        SetInTable(state, kScriptOwned, object, false);
    }
    const int args = lua_gettop(state);
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, args, LUA_MULTRET);
    return lua_gettop(state);
}

int GuardedReleaseOwnership(lua_State* state)
{
    void* object = ObjectOf(state, 1);
    const bool wasLuas = object && LuaOwned(state, object);
    const int args = lua_gettop(state);
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, args, LUA_MULTRET);
    if (wasLuas)
        MarkScriptOwned(state, 1, object);
    return lua_gettop(state);
}

// Replaces table[name] (at the index) by the guard closed over the original function.
void Wrap(lua_State* state, int table, const char* name, lua_CFunction guard)
{
    lua_pushstring(state, name);
    lua_rawget(state, table);
    if (!lua_isfunction(state, -1)) {
        lua_pop(state, 1);
        return;
    }
    lua_pushcclosure(state, guard, 1);
    lua_pushstring(state, name);
    lua_insert(state, -2);
    lua_rawset(state, table);
}

void GuardToluaFunctions(lua_State* state)
{
    lua_getfield(state, LUA_REGISTRYINDEX, "celvane_tolua_guarded");
    const bool done = lua_toboolean(state, -1);
    lua_pop(state, 1);
    if (done)
        return;
    lua_getglobal(state, "tolua");
    if (lua_istable(state, -1)) {
        const int table = lua_gettop(state);
        Wrap(state, table, "takeownership", GuardedTakeOwnership);
        Wrap(state, table, "releaseownership", GuardedReleaseOwnership);
        lua_pushboolean(state, 1);
        lua_setfield(state, LUA_REGISTRYINDEX, "celvane_tolua_guarded");
    }
    lua_pop(state, 1);
}

// Pushes the table of the dotted module name, or nil.
void PushModule(lua_State* state, const char* moduleName)
{
    lua_pushvalue(state, LUA_GLOBALSINDEX);
    const char* part = moduleName;
    while (lua_istable(state, -1)) {
        const char* dot = std::strchr(part, '.');
        const size_t length = dot ? size_t(dot - part) : std::strlen(part);
        lua_pushlstring(state, part, length);
        lua_rawget(state, -2);
        lua_remove(state, -2);
        if (!dot)
            return;
        part = dot + 1;
    }
    lua_pop(state, 1);
    lua_pushnil(state);
}

} // namespace

static void InvalidateGoneObject(void* context, void* object, const char* typeName)
{
    QV_LuaInvalidateObject(static_cast<lua_State*>(context), object, typeName);
}

void QV_LuaGuardOwnership(lua_State* state, const char* moduleName)
{
    QV_ScriptObjectRecordSetHook(InvalidateGoneObject);
    const int top = lua_gettop(state);
    PushModule(state, moduleName);
    if (lua_istable(state, -1)) {
        const int module = lua_gettop(state);
        lua_pushnil(state);
        while (lua_next(state, module)) {
            if (lua_istable(state, -1)) {
                const int classTable = lua_gettop(state);
                Wrap(state, classTable, "new", GuardedNew);
                Wrap(state, classTable, "delete", GuardedDelete);
            }
            lua_pop(state, 1);
        }
    }
    lua_settop(state, top);
    GuardToluaFunctions(state);
}

void QV_LuaReleaseObject(lua_State* state, void* object)
{
    if (!state || !object)
        return;
    SetInTable(state, kScriptOwned, object, false);
    SetInTable(state, "tolua_gc", object, false);
}

void QV_LuaCollectScriptObjects(lua_State* state)
{
    const int top = lua_gettop(state);
    PushRegistryTable(state, kScriptOwned);
    const int owned = lua_gettop(state);
    lua_pushnil(state);
    while (lua_next(state, owned)) {
        void* object = lua_touserdata(state, -2);
        if (lua_istable(state, -1)) {
            lua_rawget(state, LUA_REGISTRYINDEX); // the metatable's type name
            if (const char* type = lua_tostring(state, -1)) {
                tolua_pushusertype_and_takeownership(state, object, type);
                lua_pop(state, 1);
            }
        }
        lua_pop(state, 1);
        lua_pushvalue(state, -1);
        lua_pushnil(state);
        lua_rawset(state, owned);
    }
    lua_settop(state, top);
}

void QV_LuaInvalidateObject(lua_State* state, void* object, const char* typeName)
{
    if (!state || !object)
        return;
    const int top = lua_gettop(state);
    luaL_getmetatable(state, typeName);
    if (lua_istable(state, -1)) {
        const int metatable = lua_gettop(state);
        lua_pushstring(state, "tolua_ubox");
        lua_rawget(state, metatable);
        if (!lua_istable(state, -1)) {
            lua_pop(state, 1);
            lua_getfield(state, LUA_REGISTRYINDEX, "tolua_ubox");
        }
        if (lua_istable(state, -1)) {
            lua_pushlightuserdata(state, object);
            lua_rawget(state, -2);
            if (lua_type(state, -1) == LUA_TUSERDATA)
                *static_cast<void**>(lua_touserdata(state, -1)) = nullptr;
            lua_pop(state, 1);
            lua_pushlightuserdata(state, object);
            lua_pushnil(state);
            lua_rawset(state, -3);
        }
    }
    lua_settop(state, top);
    SetInTable(state, kScriptOwned, object, false);
    PushRegistryTable(state, "tolua_gc");
    lua_pushlightuserdata(state, object);
    lua_pushnil(state);
    lua_rawset(state, -3);
    lua_settop(state, top);
}

void QV_LuaPushObject(lua_State* state, void* object, const char* typeName)
{
    tolua_pushusertype(state, object, typeName);
    if (object)
        QV_ScriptObjectRecordAdd(state, object, typeName);
}
