#include "panel_hooks.h"

#include "layer_wnd.h"
#include "library_wnd.h"
#include "shell_hooks.h"
#include "style_wnd.h"
#include "timeline_wnd.h"
#include "tool_wnd.h"

namespace {

ShellPanel* MakeFilledPanel(PanelKind kind, VornWnd* owner, VornDoc* document)
{
    // A kind without its panel yet keeps the shell's empty one.
    switch (kind) {
    case PanelKind::Tools:
        return new ToolWnd(owner, document);
    case PanelKind::Layers:
        return new LayerWnd(owner, document);
    case PanelKind::Timeline:
        return new TimelineWnd(owner, document);
    case PanelKind::Style:
        return new StyleWnd(owner, document);
    }
    return nullptr;
}

} // namespace

void InstallPanelHooks()
{
    gShellHooks.makePanel = MakeFilledPanel;
    InstallLibraryHooks();
}
