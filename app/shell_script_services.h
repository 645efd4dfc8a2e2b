#pragma once

#include <cstdint>

#include "script_app_services.h"
#include "script_grid.h"

class VornWnd;

// The application as scripts reach it while the main window is open: its main window and main
// layer. The panels' members (timeline, Style panel, fonts) keep the closed answers until the
// windows that own them derive from this and install themselves through
// gShellHooks.installScriptServices.
class ShellScriptServices : public ScriptAppServices {
public:
    explicit ShellScriptServices(VornWnd* window);

    bool HasMainWindow() override;
    void SendToMainWindow(int32_t what) override;
    bool HasMainLayer() override;
    void DispatchToMainLayer(QV_Message& message) override;
    bool IsCopyable() override;
    bool IsPasteable() override;

    VornWnd* fWindow;
};

// The editor's grid switches as scripts see them.
class ShellGridSource : public ScriptGridSource {
public:
    bool GridShown() override;
    bool GridSnapping() override;
    int32_t GridSpacing() override;
};

// Installs (window) or removes (null) the main window's services and grid.
void InstallShellScriptServices(VornWnd* window);
