#include "panel_hooks.h"

#include "library_wnd.h"
#include "shell_hooks.h"

namespace {

ShellPanel* MakePanel(PanelKind kind, VornWnd* owner, VornDoc* document)
{
    (void)owner;
    (void)document;
    // A kind without its panel yet keeps the shell's empty one.
    switch (kind) {
    case PanelKind::Tools:
        return nullptr;
    case PanelKind::Layers:
        return nullptr;
    case PanelKind::Timeline:
        return nullptr;
    case PanelKind::Style:
        return nullptr;
    }
    return nullptr;
}

} // namespace

void InstallPanelHooks()
{
    gShellHooks.makePanel = MakePanel;
    InstallLibraryHooks();
}
