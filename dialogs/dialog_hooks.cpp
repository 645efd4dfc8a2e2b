#include "dialog_hooks.h"

#include "anim_dlog.h"
#include "export_windows.h"
#include "shell_hooks.h"

namespace {

// Each window of this library answers the commands it carries out; the first that does wins.
bool HandleCommand(VornWnd* owner, int32_t command, const char* path)
{
    if (HandleExportCommand(owner, command, path))
        return true;
    return false;
}

void DocumentClosed(VornWnd*)
{
    ExportTemplateDocument = nullptr;
}

} // namespace

void InstallDialogHooks()
{
    gShellHooks.handleCommand = HandleCommand;
    gShellHooks.exportWindowsMayQuit = ExportWindowsMayQuit;
    gShellHooks.documentClosed = DocumentClosed;
}
