#pragma once

#include "layer_script_host.h"

class QV_LuaContext;

// Runs the document's layer scripts on a script host. A layer runs its script file and binds
// its LayerScript, or begins and makes its call, as two steps; the host lock is held across
// both, so a rendering thread's layer never sees another thread's LayerScript or call in
// between. Installs itself as the layers' host for its life.
class LayerScriptRunner : public LayerScriptHost {
public:
    explicit LayerScriptRunner(QV_LuaContext& host);
    ~LayerScriptRunner() override;

    int32_t DoFile(const char* path) override;
    int32_t BindLayerScript(const char* globalName) override;
    int32_t BeginFunctionCall(const char* globalName) override;
    void CallScript(VornDoc* doc, VornLayer* layer) override;
    void CollectGarbageStep() override;

private:
    QV_LuaContext& fHost;
};
