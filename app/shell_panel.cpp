#include "shell_panel.h"

#include "app_prefs.h"
#include "follow_flags.h"
#include "interface_colors.h"
#include "qv_app.h"
#include "qv_graphics.h"
#include "qv_message.h"
#include "vorn_wnd.h"

ShellHooks gShellHooks;

ShellPanel::ShellPanel(PanelKind kind, VornWnd* owner, const char* title, bool persist, int32_t floatKind,
    const char* settingsName, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    : QV_DockingView(title, persist, floatKind, owner, settingsName, x1, y1, x2, y2)
    , fKind(kind)
    , fMainWindow(owner)
    , fDocument(nullptr)
{
}

void ShellPanel::SetDocument(VornDoc* document)
{
    fDocument = document;
}

void ShellPanel::SetFrame(int32_t, bool) { }

void ShellPanel::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat >= 1000 && message->fWhat <= 1105)
        return;
    QV_DockingView::HandleMessage(message);
}

void ShellPanel::FloatingWindowClosed()
{
    if (fMainWindow)
        fMainWindow->WindowClosed(this);
}

void ShellPanel::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (graphics) {
        const QV_Rect bounds = Bounds();
        graphics->SetColorStruct(WindowBackground);
        graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
    QV_DockingView::Draw();
}

ShellPanel* MakePanel(PanelKind kind, VornWnd* owner, VornDoc* document)
{
    if (gShellHooks.makePanel) {
        if (ShellPanel* panel = gShellHooks.makePanel(kind, owner, document))
            return panel;
    }
    ShellPanel* panel = nullptr;
    switch (kind) {
    case PanelKind::Tools:
        panel = new ShellPanel(kind, owner, Localize("/Windows/Tools/Title=Tools"), false, 6, "ToolWnd", 32, 32, 132, 332);
        break;
    case PanelKind::Layers:
        panel = new ShellPanel(kind, owner, Localize("/Windows/Layers/Title=Layers"), true, 5, "LayerWnd", 600, 450, 820, 706);
        break;
    case PanelKind::Timeline:
        panel = new ShellPanel(
            kind, owner, Localize("/Windows/Timeline/Title=Timeline"), true, 5, "TimelineWnd", 32, 450, 287, 680);
        break;
    case PanelKind::Style:
        panel = new ShellPanel(kind, owner, Localize("/Windows/Style/Title=Style"), true, 5, "StyleWnd", 600, 32,
            600 + gStylePanelWidth, 288);
        break;
    }
    panel->SetDocument(document);
    return panel;
}

int32_t PanelFollowFlags(PanelKind kind)
{
    switch (kind) {
    case PanelKind::Tools:
        return FOLLOW_LEFT | FOLLOW_TOP;
    case PanelKind::Layers:
        return FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM;
    case PanelKind::Timeline:
        return FOLLOW_LEFT | FOLLOW_RIGHT | FOLLOW_BOTTOM;
    case PanelKind::Style:
        return FOLLOW_TOP | FOLLOW_RIGHT;
    }
    return 0;
}

const char* PanelDockedKey(PanelKind kind)
{
    switch (kind) {
    case PanelKind::Tools:
        return "ToolWnd_Docked";
    case PanelKind::Layers:
        return "LayerWnd_Docked";
    case PanelKind::Timeline:
        return "TimelineWnd_Docked";
    case PanelKind::Style:
        return "StyleWnd_Docked";
    }
    return "";
}
