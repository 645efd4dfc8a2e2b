#include "dialog_hooks.h"

#include "action_wnd.h"
#include "anim_dlog.h"
#include "edit_dialogs.h"
#include "export_windows.h"
#include "generic_progress.h"
#include "layer_dlog.h"
#include "layer_settings_hook.h"
#include "layer_wnd.h"
#include "periphery_commands.h"
#include "insert_layer_dlog.h"
#include "motion_tracking_dlog.h"
#include "prefs_dlog.h"
#include "qv_wnd.h"
#include "shell_hooks.h"
#include "timeline_dialogs.h"

namespace {

// Each window of this library answers the commands it carries out; the first that does wins.
bool HandleCommand(VornWnd* owner, int32_t command, const char* path)
{
    return AnswerLayerImport(owner, command, path) || HandleLayerSettingsCommand(owner, command)
        || HandleExportCommand(owner, command, path) || HandlePeripheryCommand(owner, command, path)
        || HandleActionWndCommand(owner, command) || HandleInsertObjectCommand(owner, command, path);
}

// The main layer's dialogs: each answers 0 for the commands it does not run; the first that ran
// answers for all.
int32_t RunLayerCommand(MainLayer* layer, int32_t command, QV_Message* message)
{
    int32_t result = RunEditDialogCommand(layer, command, message);
    result = result ? result : RunPrefsCommand(layer, command, message);
    result = result ? result : RunMotionTrackingCommand(layer, command, message);
    return result;
}

void DocumentClosed(VornWnd*)
{
    ExportTemplateDocument = nullptr;
    if (gActionWnd)
        gActionWnd->SetDocument(nullptr);
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
    gShellHooks.runLayerCommand = RunLayerCommand;
    gRunLayerDlog = [](QV_Wnd* owner, VornDoc* document, VornLayer* layer) { RunLayerSettings(owner, document, layer); };
    InstallTimelineDialogs();
    gShellHooks.exportWindowsMayQuit = ExportWindowsMayQuit;
    gShellHooks.documentClosed = DocumentClosed;
    gShellHooks.actionsOpen = ActionWndOpen;
    gShellHooks.openProgress = OpenProgress;
    gShellHooks.reportProgress = GenericProgressUpdate;
}
