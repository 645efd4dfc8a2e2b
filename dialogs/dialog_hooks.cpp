#include "dialog_hooks.h"

#include "layer_settings_hook.h"
#include "shell_hooks.h"
#include "timeline_dialogs.h"

namespace {

// Each window of this library answers the commands it carries out; the first that does wins.
bool HandleCommand(VornWnd* owner, int32_t command, const char* path)
{
    (void)path;
    if (HandleLayerSettingsCommand(owner, command))
        return true;
    return false;
}

} // namespace

void InstallDialogHooks()
{
    gShellHooks.handleCommand = HandleCommand;
    InstallTimelineDialogs();
}
