#include "dialog_hooks.h"

#include "layer_wnd.h"
#include "shell_hooks.h"

namespace {

// Each window of this library answers the commands it carries out; the first that does wins.
bool HandleCommand(VornWnd* owner, int32_t command, const char* path)
{
    if (AnswerLayerImport(owner, command, path))
        return true;
    return false;
}

} // namespace

void InstallDialogHooks()
{
    gShellHooks.handleCommand = HandleCommand;
}
