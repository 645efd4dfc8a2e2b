#pragma once

#include <cstdint>
#include <mutex>

#include "qv_string.h"

struct lua_State;

// Result codes of the host operations.
constexpr int32_t kScriptOK = 0;
constexpr int32_t kScriptMissing = -3; // table, method or function missing (nothing prepared)
constexpr int32_t kScriptNoGlobal = -4; // ScriptName or LayerScript missing or of a wrong type
constexpr int32_t kScriptFailed = -5; // a file or chunk failed to load or to run
constexpr int32_t kScriptWrongResult = -10; // the result was not of the type asked for

// Owner of one Lua state and of the protocol every script call follows:
//   BeginScriptCall (or BeginFunctionCall); on 0, push the arguments (PushObject,
//   PushNumber); then CallScript, CallScriptBool or CallScriptString.
// Layer scripts also run on rendering threads, so one recursive lock is held from a successful
// Begin...Call to the end of its Call...; other threads wait for it. Lua errors are handed to
// the global _ALERT, which prints them in the console in dark red.
class QV_LuaContext {
public:
    static constexpr int32_t kMaxDepth = 64;

    QV_LuaContext();
    ~QV_LuaContext();
    QV_LuaContext(const QV_LuaContext&) = delete;
    QV_LuaContext& operator=(const QV_LuaContext&) = delete;

    // 0, or -5 after printing the Lua error; the stack is left as it was.
    int32_t DoFile(const char* path);
    int32_t GetScriptName(QV_String& name);
    // Assigns the global LayerScript to the given global name: 0, -4 or -5.
    int32_t BindLayerScript(const char* functionName);

    int32_t BeginScriptCall(const char* tableName, const char* methodName);
    int32_t BeginFunctionCall(const char* functionName);
    // Arguments of the prepared call. An object is pushed under its script type name (declared
    // on first use); false when the stack has no room, and then nothing was pushed.
    bool PushObject(void* object, const char* typeName);
    bool PushNumber(double value);
    void CallScript();
    // On -10 the out value keeps what it held.
    int32_t CallScriptBool(bool& result);
    int32_t CallScriptString(QV_String& result);

    int32_t CollectGarbageStep();

    // The context whose state this is, or null.
    static QV_LuaContext* FromState(lua_State* state);
    // Whether the context still exists (objects that outlive a context check before use).
    static bool IsLive(const QV_LuaContext* context);

    // Holds the host lock across several operations that must not interleave with another
    // thread's (a layer script's file run and its binding).
    void Lock() { fLock.lock(); }
    void Unlock() { fLock.unlock(); }

    lua_State* fState;
    int32_t fDepth;
    int32_t fSavedTops[kMaxDepth];
    int32_t fArgCount;
    int32_t fHandlerIndex;

private:
    // Steps 1 to 3 of a prepared call; false (nothing pushed, lock released) when refused.
    bool PrepareCall();
    void RestoreTop();
    // Pushes the handler, the object (nil for a global) and the member, or prints the error a
    // look-up raised and pushes nothing.
    bool LookUp(const char* tableName, const char* memberName);
    // False when the call raised an error.
    bool RunCall(int32_t results);

    std::recursive_mutex fLock;
};

// The console colour of script errors: red 128, opaque.
constexpr uint32_t kScriptErrorColor = 0xff000080;
