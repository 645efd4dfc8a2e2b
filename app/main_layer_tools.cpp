#include <cmath>

#include "main_layer.h"
#include "qv_alert.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_static_picture.h"
#include "script.h"
#include "script_interface.h"
#include "script_registry.h"
#include "shell_panel.h"
#include "status_bar.h"
#include "vorn_app.h"
#include "vorn_view.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

ScriptRegistry* MainLayer::Registry() const
{
    Vorn* app = TheApp();
    return app ? app->fScriptRegistry : nullptr;
}

VornView* MainLayer::CurrentScriptView() const
{
    // The canvas is a view of the toolkit and a view of the scripts at once; a placeholder is
    // only the first.
    return dynamic_cast<VornView*>(fCurrentView);
}

void MainLayer::PassOn(QV_Message* message)
{
    if (fMainWindow)
        fMainWindow->HandleMessage(message);
}

int32_t MainLayer::Ask(const char* line1, const char* line2, const char* button1, const char* button2)
{
    QV_Wnd* owner = fMainWindow && fMainWindow->fHwnd ? fMainWindow : nullptr;
    return Alert(owner, ALERT_WARNING, line1, line2, nullptr, button1, button2, nullptr);
}

void MainLayer::SelectTool(ToolScript* tool)
{
    const bool focusable = fCurrentView && fCurrentView->AcceptsFocus();
    if (focusable)
        SetFocus(fCurrentView);
    fCurrentTool = tool;
    if (fStatusBar) {
        fStatusBar->SetLeftText(tool ? tool->fDescription.CString() : "");
        if (fWindow) {
            fStatusBar->Draw();
            fStatusBar->Refresh();
        }
    }
    if (fDoc)
        fDoc->fCurrentTool = tool ? tool->fTableName : QV_String("");
    QV_Cursor* cursor = tool ? (tool->fCursor ? tool->fCursor : CrossCursor) : nullptr;
    for (QV_View* view : fCanvasViews) {
        if (view)
            view->SetCursor(cursor);
    }
    if (focusable)
        SetFocus(fCurrentView);
    else
        SetFocus(nullptr);

    if (!fToolBar)
        return;
    while (fToolBar->fChildCount > 1) {
        QV_View* child = fToolBar->fChildren[fToolBar->fChildCount - 1];
        fToolBar->RemoveChild(child);
        delete child;
    }
    fToolRow = nullptr;
    fToolIcon = nullptr;
    if (tool) {
        const int32_t barHeight = RectHeight(fToolBar->Frame());
        auto* row = new QV_LayoutView(false, 8, 0, 0);
        ScriptInterface record(fDoc, CurrentScriptView());
        int32_t x = 8;
        if (tool->fIcon.Width() > 0) {
            fToolIcon = new QV_StaticPicture(&tool->fIcon.buffer, tool->fUILabel.CString());
            const int32_t c = barHeight / 2 - tool->fIcon.Height() / 2;
            fToolBar->AddChild(fToolIcon);
            fToolIcon->MoveTo(c, c);
            x = c + tool->fIcon.Width() + 8;
        }
        tool->DoLayout(&record, row);
        const QV_Point size = row->PreferredSize();
        row->ResizeTo(size.x, size.y);
        row->Layout();
        fToolBar->AddChild(row);
        row->MoveTo(x, int32_t(std::lround(double(barHeight) * 0.5 - double(size.y) * 0.5 - 1)));
        fToolRow = row;
        tool->UpdateWidgets(&record);
    }
    if (fWindow) {
        fToolBar->Draw();
        fToolBar->Refresh();
    }
    RefreshViews();
}

void MainLayer::SelectToolByName(const char* name)
{
    ScriptRegistry* registry = Registry();
    if (!registry || !name)
        return;
    for (int32_t i = 0; i < registry->CountTools(); i++) {
        ToolScript* tool = registry->ToolAt(i);
        if (tool->fSpacer || tool->fTableName != name)
            continue;
        ScriptInterface record(fDoc, CurrentScriptView());
        if (!tool->IsEnabled(&record))
            return;
        const int32_t id = 3600 + i;
        if (tool->fButton)
            PostMessage(id);
        else if (fMainWindow && fMainWindow->fToolWnd)
            fMainWindow->fToolWnd->PostMessage(id);
        else {
            if (fMainWindow)
                fMainWindow->fToolEntry = tool;
            SelectTool(tool);
        }
        return;
    }
}
