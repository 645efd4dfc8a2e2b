#include "dialog_hooks.h"

#include "anim_dlog.h"
#include "edit_dialogs.h"
#include "export_windows.h"
#include "layer_dlog.h"
#include "layer_settings_hook.h"
#include "layer_wnd.h"
#include "periphery_commands.h"
#include "prefs_dlog.h"
#include "motion_tracking_dlog.h"
#include "action_wnd.h"
#include "insert_layer_dlog.h"
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

// The main layer's dialogs: each answers 0 for the commands it does not run.
int32_t RunLayerCommand(MainLayer* layer, int32_t command, QV_Message* message)
{
    int32_t result = 0;
    result = result ? result : RunPrefsCommand(layer, command, message);
    result = result ? result : RunMotionTrackingCommand(layer, command, message);
    return result;
}

// The same for the main layer's commands: the first dialog that ran answers.
int32_t RunLayerCommand(MainLayer* layer, int32_t command, QV_Message* message)
{
    int32_t result = 0;
    if ((result = RunEditDialogCommand(layer, command, message)) != 0)
        return result;
    return result;
}

void DocumentClosed(VornWnd*)
{
    ExportTemplateDocument = nullptr;
    if (gActionWnd)
        gActionWnd->SetDocument(nullptr);
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
    gShellHooks.runLayerCommand = RunLayerCommand;
}
