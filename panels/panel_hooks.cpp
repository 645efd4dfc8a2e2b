#include "panel_hooks.h"

#include "shell_hooks.h"
#include "tool_wnd.h"

namespace {

ShellPanel* MakeLibraryPanel(PanelKind kind, VornWnd* owner, VornDoc* document)
{
    // A kind without its panel yet keeps the shell's empty one.
    switch (kind) {
    case PanelKind::Tools:
        return new ToolWnd(owner, document);
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
    gShellHooks.makePanel = MakeLibraryPanel;
}
