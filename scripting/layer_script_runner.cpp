#include "layer_script_runner.h"

#include "binding_conventions.h"
#include "qv_lua_context.h"
#include "script_interface.h"

namespace {

// Successful file runs of this thread still waiting for their binding, each holding the lock.
thread_local int tPendingBinds = 0;

} // namespace

LayerScriptRunner::LayerScriptRunner(QV_LuaContext& host)
    : fHost(host)
{
    SetLayerScriptHost(this);
}

LayerScriptRunner::~LayerScriptRunner()
{
    if (GetLayerScriptHost() == this)
        SetLayerScriptHost(nullptr);
}

int32_t LayerScriptRunner::DoFile(const char* path)
{
    fHost.Lock();
    const int32_t result = fHost.DoFile(path);
    if (result == 0)
        tPendingBinds++;
    else
        fHost.Unlock();
    return result;
}

int32_t LayerScriptRunner::BindLayerScript(const char* globalName)
{
    const int32_t result = fHost.BindLayerScript(globalName);
    if (tPendingBinds > 0) {
        tPendingBinds--;
        fHost.Unlock();
    }
    return result;
}

int32_t LayerScriptRunner::BeginFunctionCall(const char* globalName)
{
    return fHost.BeginFunctionCall(globalName);
}

void LayerScriptRunner::CallScript(VornDoc* doc, VornLayer* layer)
{
    if (fHost.fDepth < 1)
        return;
    auto* record = new ScriptInterface(doc, nullptr);
    record->fLayer = layer;
    fHost.PushObject(record, "ScriptInterface");
    fHost.CallScript();
    // A script that kept the record must not reach it once it is gone.
    fHost.Lock();
    QV_LuaInvalidateObject(fHost.fState, record, "ScriptInterface");
    fHost.Unlock();
    DeleteScriptInterface(record);
}

void LayerScriptRunner::CollectGarbageStep()
{
    fHost.CollectGarbageStep();
}
