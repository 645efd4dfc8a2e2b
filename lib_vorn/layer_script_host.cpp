#include "layer_script_host.h"

namespace {

LayerScriptHost* gLayerScriptHost = nullptr;

} // namespace

LayerScriptHost::~LayerScriptHost() = default;

void SetLayerScriptHost(LayerScriptHost* host)
{
    gLayerScriptHost = host;
}

LayerScriptHost* GetLayerScriptHost()
{
    return gLayerScriptHost;
}
