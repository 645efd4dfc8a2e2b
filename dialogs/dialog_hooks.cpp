#include "dialog_hooks.h"

#include "anim_dlog.h"
#include "export_windows.h"
#include "generic_progress.h"
#include "layer_dlog.h"
#include "layer_settings_hook.h"
#include "layer_wnd.h"
#include "periphery_commands.h"
#include "qv_wnd.h"
#include "shell_hooks.h"
#include "timeline_dialogs.h"

namespace {

// Each window of this library answers the commands it carries out; the first that does wins.
bool HandleCommand(VornWnd* owner, int32_t command, const char* path)
{
    return AnswerLayerImport(owner, command, path) || HandleLayerSettingsCommand(owner, command)
        || HandleExportCommand(owner, command, path) || HandlePeripheryCommand(owner, command, path);
}

void DocumentClosed(VornWnd*)
{
    ExportTemplateDocument = nullptr;
}

void OpenProgress(QV_Wnd* owner, const char* message)
{
    if (owner)
        owner->AddLayer(new GenericProgress(message, owner));
}

} // namespace

void InstallDialogHooks()
{
    gShellHooks.handleCommand = HandleCommand;
    gRunLayerDlog = [](QV_Wnd* owner, VornDoc* document, VornLayer* layer) { RunLayerSettings(owner, document, layer); };
    InstallTimelineDialogs();
    gShellHooks.exportWindowsMayQuit = ExportWindowsMayQuit;
    gShellHooks.documentClosed = DocumentClosed;
    gShellHooks.openProgress = OpenProgress;
    gShellHooks.reportProgress = GenericProgressUpdate;
}
