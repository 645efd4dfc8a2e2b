#include "shell_script_services.h"

#include <memory>

#include "app_prefs.h"
#include "main_layer.h"
#include "qv_message.h"
#include "vorn_wnd.h"

namespace {

std::unique_ptr<ShellScriptServices> gServices;
ShellGridSource gGrid;

} // namespace

ShellScriptServices::ShellScriptServices(VornWnd* window)
    : fWindow(window)
{
}

bool ShellScriptServices::HasMainWindow()
{
    return fWindow != nullptr;
}

void ShellScriptServices::SendToMainWindow(int32_t what)
{
    if (fWindow)
        fWindow->PostMessage(what);
}

bool ShellScriptServices::HasMainLayer()
{
    return fWindow && fWindow->fMainLayer;
}

void ShellScriptServices::DispatchToMainLayer(QV_Message& message)
{
    if (HasMainLayer())
        fWindow->fMainLayer->HandleMessage(&message);
}

bool ShellScriptServices::IsCopyable()
{
    return HasMainLayer() && fWindow->fMainLayer->IsCopyable();
}

bool ShellScriptServices::IsPasteable()
{
    return HasMainLayer() && fWindow->fMainLayer->IsPasteable();
}

bool ShellGridSource::GridShown()
{
    return gToggles.gridShown;
}

bool ShellGridSource::GridSnapping()
{
    return gToggles.gridSnapping;
}

int32_t ShellGridSource::GridSpacing()
{
    return gToggles.gridSize < 1 ? 1 : gToggles.gridSize > 1024 ? 1024 : gToggles.gridSize;
}

void InstallShellScriptServices(VornWnd* window)
{
    if (!window) {
        // Whatever services stand on the window go with it.
        InstallScriptAppServices(nullptr);
        gServices.reset();
        SetScriptGridSource(nullptr);
        return;
    }
    gServices = std::make_unique<ShellScriptServices>(window);
    InstallScriptAppServices(gServices.get());
    SetScriptGridSource(&gGrid);
}
