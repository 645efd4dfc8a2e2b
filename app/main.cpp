#include "canvas_view.h"
#include "dialog_hooks.h"
#include "older_document.h"
#include "older_document_hook.h"
#include "panel_hooks.h"
#include "periphery_commands.h"
#include "plat_quit_signals.h"
#include "shell_hooks.h"
#include "qv_entry.h"
#include "vorn_app.h"

int main(int argc, char** argv)
{
    // A termination signal is the quit command: the run ends by its normal path and the
    // settings are written.
    PlatCatchQuitSignals();
    SetOlderDocumentConverter(vorn_v4::ConvertOlderDocument);
    gShellHooks.makeCanvasView = MakeCanvasView;
    gShellHooks.canvasCommand = CanvasCommand;
    InstallPeripheryHooks();
    InstallPanelHooks();
    InstallDialogHooks();
    const int status = ToolkitMain(argc, argv, RunApplication);
    PlatReleaseQuitSignals();
    return status;
}
