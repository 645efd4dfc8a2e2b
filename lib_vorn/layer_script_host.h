#pragma once

#include <cstdint>

class VornDoc;
class VornLayer;

// The script host as layer scripts see it: the application's Lua state, where a layer's script
// file is run once and its LayerScript function is then called at every frame change and
// redraw. The script host installs itself when it starts; without one, layer scripts do
// nothing.
class LayerScriptHost {
public:
    virtual ~LayerScriptHost();

    // Loads and runs a script file in the host's state; 0 on success.
    virtual int32_t DoFile(const char* path) = 0;
    // Assigns the global LayerScript to the given global name; non-zero when LayerScript is nil.
    virtual int32_t BindLayerScript(const char* globalName) = 0;
    // Prepares a protected call of the global; non-zero (nothing prepared) when it is not a
    // function.
    virtual int32_t BeginFunctionCall(const char* globalName) = 0;
    // Runs the prepared call with the document's script interface (no view, its layer set to
    // the given layer) as the one argument, errors going to _ALERT; the interface is destroyed
    // afterwards.
    virtual void CallScript(VornDoc* doc, VornLayer* layer) = 0;
    // One incremental garbage-collection step when the host's threshold is reached.
    virtual void CollectGarbageStep() = 0;
};

// Null: no host. The host is not owned.
void SetLayerScriptHost(LayerScriptHost* host);
LayerScriptHost* GetLayerScriptHost();
