#include "script_app_services.h"

namespace {

ScriptAppServices gNoApplication;
ScriptAppServices* gServices = nullptr;

} // namespace

ScriptAppServices::~ScriptAppServices() = default;

ScriptAppServices& ScriptServices() { return gServices ? *gServices : gNoApplication; }

void InstallScriptAppServices(ScriptAppServices* services) { gServices = services; }

void ScriptRedraw()
{
    ScriptAppServices& services = ScriptServices();
    if (services.HasMainWindow())
        services.SendToMainWindow(1001);
}

void ScriptNewKeyframe(int32_t channel)
{
    ScriptAppServices& services = ScriptServices();
    if (channel >= 10000 && channel <= 10063 && services.HasMainWindow())
        services.SendToMainWindow(channel);
}
