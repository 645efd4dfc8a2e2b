#include "qv_lua_context.h"

#include "script_object_record.h"

#include <mutex>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}
#include "tolua++.h"

#include "binding_conventions.h"
#include "console_model_sink.h"
#include "lua_print.h"
#include "qv_arraylist.h"
#include "qv_lua_console.h"

namespace {

std::mutex gContextListLock;

QV_ArrayList& ContextList()
{
    static QV_ArrayList list;
    return list;
}

// Room for the handler, the object, the method and self, with some to spare.
constexpr int kCallSlots = 8;

void PrintLuaError(lua_State* state, int index)
{
    const int type = lua_type(state, index);
    if (type == LUA_TSTRING || type == LUA_TNUMBER)
        QV_LuaConsole::Print(lua_tostring(state, index), kScriptErrorColor);
}

// The look-ups of a call run as a protected call of their own: a script may give the global
// table or its script table an __index that raises, and an error outside a protected call would
// end the program. Arguments: the table name (nil for a global) and the member name. Results:
// the handler _ALERT, the object (nil for a global) and the member.
int LookUpCall(lua_State* state)
{
    lua_settop(state, 2);
    lua_getglobal(state, "_ALERT");
    if (lua_isnil(state, 1)) {
        lua_pushnil(state);
        lua_getglobal(state, lua_tostring(state, 2));
        return 3;
    }
    lua_getglobal(state, lua_tostring(state, 1));
    const int type = lua_type(state, -1);
    if (type == LUA_TTABLE || type == LUA_TUSERDATA || type == LUA_TLIGHTUSERDATA)
        lua_getfield(state, -1, lua_tostring(state, 2));
    else
        lua_pushnil(state);
    return 3;
}

// The registry key of the look-up function, made once per state.
char gLookUpKey;

} // namespace

QV_LuaContext::QV_LuaContext()
    : fState(nullptr)
    , fDepth(0)
    , fSavedTops {}
    , fArgCount(0)
    , fHandlerIndex(0)
{
    {
        std::lock_guard<std::mutex> guard(gContextListLock);
        ContextList().Append(this);
    }
    QV_LuaConsole::OnInterfaceThread();
    AttachConsoleToModel();
    fState = luaL_newstate();
    luaL_openlibs(fState);
    lua_register(fState, "_ALERT", LuaAlert);
    lua_register(fState, "print", LuaPrint);
    lua_pushlightuserdata(fState, &gLookUpKey);
    lua_pushcfunction(fState, LookUpCall);
    lua_rawset(fState, LUA_REGISTRYINDEX);
}

bool QV_LuaContext::LookUp(const char* tableName, const char* memberName)
{
    lua_pushlightuserdata(fState, &gLookUpKey);
    lua_rawget(fState, LUA_REGISTRYINDEX);
    if (tableName)
        lua_pushstring(fState, tableName);
    else
        lua_pushnil(fState);
    lua_pushstring(fState, memberName ? memberName : "");
    if (lua_pcall(fState, 2, 3, 0) == 0)
        return true;
    PrintLuaError(fState, -1);
    lua_pop(fState, 1);
    return false;
}

QV_LuaContext::~QV_LuaContext()
{
    QV_LuaCollectScriptObjects(fState);
    // Objects that closing the state frees must not reach back into it.
    QV_ScriptObjectRecordForget(fState);
    lua_close(fState);
    DetachConsoleFromModel();
    std::lock_guard<std::mutex> guard(gContextListLock);
    ContextList().Remove(this);
}

QV_LuaContext* QV_LuaContext::FromState(lua_State* state)
{
    std::lock_guard<std::mutex> guard(gContextListLock);
    QV_ArrayList& list = ContextList();
    for (int32_t i = 0; i < list.fCount; i++) {
        auto* context = static_cast<QV_LuaContext*>(list.fItems[i]);
        if (context->fState == state)
            return context;
    }
    return nullptr;
}

bool QV_LuaContext::IsLive(const QV_LuaContext* context)
{
    std::lock_guard<std::mutex> guard(gContextListLock);
    QV_ArrayList& list = ContextList();
    for (int32_t i = 0; i < list.fCount; i++) {
        if (list.fItems[i] == context)
            return true;
    }
    return false;
}

int32_t QV_LuaContext::DoFile(const char* path)
{
    std::lock_guard<std::recursive_mutex> guard(fLock);
    QV_LuaConsole::FlushPending();
    const int top = lua_gettop(fState);
    int32_t result = kScriptOK;
    if (!lua_checkstack(fState, kCallSlots)) {
        result = kScriptFailed;
    } else if (luaL_loadfile(fState, path ? path : "") != 0 || lua_pcall(fState, 0, LUA_MULTRET, 0) != 0) {
        PrintLuaError(fState, -1);
        result = kScriptFailed;
    }
    lua_settop(fState, top);
    return result;
}

int32_t QV_LuaContext::GetScriptName(QV_String& name)
{
    std::lock_guard<std::recursive_mutex> guard(fLock);
    const int top = lua_gettop(fState);
    name = "";
    int32_t result = kScriptNoGlobal;
    if (lua_checkstack(fState, kCallSlots) && LookUp(nullptr, "ScriptName")) {
        const int type = lua_type(fState, -1);
        if (type == LUA_TSTRING || type == LUA_TNUMBER) {
            name = lua_tostring(fState, -1);
            result = kScriptOK;
        }
    }
    lua_settop(fState, top);
    return result;
}

int32_t QV_LuaContext::BindLayerScript(const char* functionName)
{
    std::lock_guard<std::recursive_mutex> guard(fLock);
    const int top = lua_gettop(fState);
    int32_t result = kScriptOK;
    if (!lua_checkstack(fState, kCallSlots) || !LookUp(nullptr, "LayerScript")) {
        result = kScriptFailed;
    } else {
        const bool missing = lua_isnil(fState, -1);
        lua_settop(fState, top);
        if (missing) {
            result = kScriptNoGlobal;
        } else {
            QV_String chunk(functionName ? functionName : "");
            chunk.Append(" = LayerScript");
            if (luaL_loadbuffer(fState, chunk.CString(), size_t(chunk.Length()), chunk.CString()) != 0
                || lua_pcall(fState, 0, LUA_MULTRET, 0) != 0) {
                PrintLuaError(fState, -1);
                result = kScriptFailed;
            }
        }
    }
    lua_settop(fState, top);
    return result;
}

bool QV_LuaContext::PrepareCall()
{
    fLock.lock();
    if (QV_LuaConsole::OnInterfaceThread())
        QV_LuaConsole::FlushPending();
    if (fDepth >= kMaxDepth) {
        fLock.unlock();
        QV_LuaConsole::Print("Script call refused: calls are nested more than 64 deep", kScriptErrorColor);
        return false;
    }
    if (!lua_checkstack(fState, kCallSlots)) {
        fLock.unlock();
        return false;
    }
    fArgCount = 0;
    fHandlerIndex = 0;
    fSavedTops[fDepth++] = lua_gettop(fState);
    return true;
}

void QV_LuaContext::RestoreTop()
{
    if (fDepth < 1)
        return;
    fDepth--;
    lua_settop(fState, fSavedTops[fDepth]);
    fLock.unlock();
}

int32_t QV_LuaContext::BeginScriptCall(const char* tableName, const char* methodName)
{
    if (!PrepareCall())
        return kScriptMissing;
    // handler, object, method
    if (LookUp(tableName ? tableName : "", methodName) && lua_isfunction(fState, -1)) {
        const int handler = lua_gettop(fState) - 2;
        if (lua_isfunction(fState, handler))
            fHandlerIndex = handler;
        lua_pushvalue(fState, -2);
        fArgCount = 1;
        return kScriptOK;
    }
    RestoreTop();
    return kScriptMissing;
}

int32_t QV_LuaContext::BeginFunctionCall(const char* functionName)
{
    if (!PrepareCall())
        return kScriptMissing;
    // handler, nil, function
    if (LookUp(nullptr, functionName) && lua_isfunction(fState, -1)) {
        lua_remove(fState, -2);
        const int handler = lua_gettop(fState) - 1;
        if (lua_isfunction(fState, handler))
            fHandlerIndex = handler;
        return kScriptOK;
    }
    RestoreTop();
    return kScriptMissing;
}

bool QV_LuaContext::PushObject(void* object, const char* typeName)
{
    if (!lua_checkstack(fState, 2))
        return false;
    luaL_getmetatable(fState, typeName);
    const bool declared = !lua_isnil(fState, -1);
    lua_pop(fState, 1);
    if (!declared) {
        tolua_open(fState);
        tolua_usertype(fState, typeName);
    }
    const int before = lua_gettop(fState);
    tolua_pushusertype(fState, object, typeName);
    if (lua_gettop(fState) == before)
        lua_pushnil(fState);
    fArgCount++;
    return true;
}

bool QV_LuaContext::PushNumber(double value)
{
    if (!lua_checkstack(fState, 1))
        return false;
    lua_pushnumber(fState, value);
    fArgCount++;
    return true;
}

bool QV_LuaContext::RunCall(int32_t results)
{
    return lua_pcall(fState, fArgCount, results, fHandlerIndex) == 0;
}

void QV_LuaContext::CallScript()
{
    if (fDepth < 1)
        return;
    RunCall(0);
    RestoreTop();
}

int32_t QV_LuaContext::CallScriptBool(bool& result)
{
    if (fDepth < 1)
        return kScriptWrongResult;
    const bool ran = RunCall(1);
    int32_t code = kScriptWrongResult;
    if (ran && lua_isboolean(fState, -1)) {
        result = lua_toboolean(fState, -1) != 0;
        code = kScriptOK;
    }
    RestoreTop();
    return code;
}

int32_t QV_LuaContext::CallScriptString(QV_String& result)
{
    if (fDepth < 1)
        return kScriptWrongResult;
    const bool ran = RunCall(1);
    int32_t code = kScriptWrongResult;
    const int type = lua_type(fState, -1);
    if (ran && (type == LUA_TSTRING || type == LUA_TNUMBER)) {
        result = lua_tostring(fState, -1);
        code = kScriptOK;
    }
    RestoreTop();
    return code;
}

int32_t QV_LuaContext::CollectGarbageStep()
{
    std::lock_guard<std::recursive_mutex> guard(fLock);
    lua_gc(fState, LUA_GCSTEP, 0);
    return kScriptOK;
}
