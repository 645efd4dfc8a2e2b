#include "tool_wnd.h"

#include <cctype>

#include "interface_colors.h"
#include "interface_fonts.h"
#include "main_layer.h"
#include "qv_app.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_message.h"
#include "qv_tool_bar.h"
#include "script.h"
#include "script_interface.h"
#include "script_registry.h"
#include "vorn_app.h"
#include "vorn_wnd.h"

namespace {

constexpr rgb_color kSelectedFill { 255, 255, 102, 255 };

enum Look { kNormal, kSelected, kDisabled, kHighlighted };

// A missing icon: a red cross under a question mark.
void DrawPlaceholder(QV_Graphics& g, int32_t x, int32_t y)
{
    g.SetColorStruct(rgb_color { 255, 0, 0, 255 });
    g.DrawSmoothLine(float(x + 6), float(y + 6), float(x + 18), float(y + 14));
    g.DrawSmoothLine(float(x + 18), float(y + 6), float(x + 6), float(y + 14));
    QV_Font* font = gLargeFonts[1];
    if (!font)
        return;
    g.SetFont(font);
    g.SetColorStruct(rgb_color { 0, 0, 0, 255 });
    g.MoveTo(x + 12 - font->StringWidth("?") / 2, y + 10);
    g.DrawText("?", 4);
}

void PaintCell(QV_Graphics& g, Look look, ToolScript* tool, int32_t x, int32_t y)
{
    if (look == kSelected || look == kHighlighted) {
        g.SetColorStruct(look == kSelected ? kSelectedFill : WidgetHighlight);
        g.FillRoundRect(3, x, y, x + 24, y + 20);
        g.SetColorStruct(WidgetOutline);
        g.FrameRoundRect(3, x, y, x + 24, y + 20);
    }
    if (tool->fIcon.Width() <= 0) {
        const int32_t shift = look == kSelected ? 1 : 0;
        DrawPlaceholder(g, x + shift, y + shift);
        return;
    }
    if (look == kDisabled)
        g.DrawImageFaded(&tool->fIcon.buffer, float(x), float(y), -192);
    else
        g.DrawImageAlpha(&tool->fIcon.buffer, float(x), float(y), false);
}

} // namespace

QV_String ToolButtonLabel(const ToolScript& tool)
{
    QV_String label = tool.fUILabel;
    if (tool.fKey > 0 && tool.fKey < 256) {
        label.Append(" (");
        label.Append(char(std::toupper(tool.fKey)));
        label.Append(")");
    }
    return label;
}

ToolWnd::ToolWnd(VornWnd* owner, VornDoc* document)
    : ShellPanel(PanelKind::Tools, owner, Localize("/Windows/Tools/Title=Tools"), false, 6, "ToolWnd", 32, 32, 132, 332)
    , fGeneration(0)
{
    SetDocument(document);
    BuildGroups();
}

ToolWnd::~ToolWnd() = default;

ScriptRegistry* ToolWnd::Registry() const
{
    Vorn* app = TheApp();
    return app ? app->fScriptRegistry : nullptr;
}

int32_t ToolWnd::LineHeight() const
{
    return gWidgetFont ? gWidgetFont->LineHeight() : 15;
}

void ToolWnd::BuildGroups()
{
    for (auto& group : fGroups) {
        RemoveChild(group->bar);
        delete group->bar;
    }
    fGroups.clear();
    ScriptRegistry* registry = Registry();
    fGeneration = registry ? registry->fToolListGeneration : 0;
    const int32_t count = registry ? registry->CountTools() : 0;
    int32_t nextTop = 0;
    for (int32_t first = 0; first < count;) {
        const QV_String& name = registry->ToolAt(first)->fGroup;
        int32_t end = first + 1;
        while (end < count && registry->ToolAt(end)->fGroup == name)
            end++;
        const int32_t n = end - first;
        const int32_t rows = (n + kColumns - 1) / kColumns;
        auto group = std::make_unique<Group>();
        group->name = name;
        for (int32_t look = 0; look < 4; look++) {
            QV_BaseImage& image = group->images[look];
            if (image.Allocate(kColumns * kCellWidth, rows * kCellHeight, 32) != 0)
                continue;
            QV_Graphics g;
            g.SetRaster(&image.buffer);
            g.SetColorStruct(WidgetFill);
            g.FillRect(0, 0, image.buffer.width - 1, image.buffer.height - 1);
            for (int32_t j = 0; j < n; j++) {
                ToolScript* tool = registry->ToolAt(first + j);
                if (!tool->fSpacer)
                    PaintCell(g, Look(look), tool, kCellWidth * (j % kColumns), kCellHeight * (j / kColumns));
            }
        }
        auto* bar = new QV_ToolBar(
            &group->images[0].buffer, &group->images[1].buffer, &group->images[2].buffer, &group->images[3].buffer);
        bar->fColumns = kColumns;
        bar->fRows = rows;
        bar->fCellWidth = kCellWidth;
        bar->fCellHeight = kCellHeight;
        for (int32_t j = 0; j < n && j < QV_ToolBar::kMaxCells; j++) {
            ToolScript* tool = registry->ToolAt(first + j);
            if (tool->fSpacer)
                continue;
            bar->fMessages[j] = 3600 + first + j;
            bar->fLabels[j] = ToolButtonLabel(*tool);
            bar->fKinds[j] = tool->fButton ? QV_ToolBar::kPush : QV_ToolBar::kTool;
        }
        AddChild(bar);
        bar->MoveTo(1, nextTop + LineHeight() + 5);
        nextTop = bar->Frame().bottom + 1;
        group->bar = bar;
        fGroups.push_back(std::move(group));
        first = end;
    }
    if (fGroups.empty())
        ResizeTo(32, 32);
    else
        ResizeTo(fGroups.back()->bar->Frame().right + 2, fGroups.back()->bar->Frame().bottom + 2);
}

void ToolWnd::FollowToolList()
{
    ScriptRegistry* registry = Registry();
    if (!registry || registry->fToolListGeneration == fGeneration)
        return;
    BuildGroups();
    if (fDockLayer && fMainWindow && fMainWindow->fMainLayer == fDockLayer) {
        fMainWindow->fMainLayer->Arrange();
        if (fMainWindow->fMainLayer->fWindow) {
            fMainWindow->fMainLayer->Draw();
            fMainWindow->fMainLayer->Flush();
        }
    } else {
        Draw();
        Refresh();
    }
}

void ToolWnd::HandleMessage(QV_Message* message)
{
    if (!message)
        return;
    const int32_t what = message->fWhat;
    if (what == 1006)
        return;
    if (what >= 3600 && what <= 3799) {
        FollowToolList();
        ScriptRegistry* registry = Registry();
        ToolScript* tool = registry ? registry->ToolAt(what - 3600) : nullptr;
        if (tool && !tool->fButton && !tool->fSpacer) {
            for (auto& group : fGroups)
                group->bar->SelectTool(what);
        }
    }
    // The main window carries the command out; the shell panel's rule of keeping the
    // notifications does not hold for the palette.
    QV_DockingView::HandleMessage(message);
}

void ToolWnd::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (graphics) {
        const QV_Rect bounds = Bounds();
        graphics->SetColorStruct(WidgetOutline);
        graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
        const int32_t line = LineHeight();
        for (auto& group : fGroups) {
            const int32_t top = group->bar->Frame().top - line - 4;
            const int32_t bottom = group->bar->Frame().top - 2;
            graphics->SetColorStruct(WindowBackground);
            graphics->FillRect(bounds.left, top, bounds.right, bottom);
            if (gWidgetFont) {
                graphics->SetFont(gWidgetFont);
                graphics->SetColorStruct(Text);
                graphics->MoveTo(bounds.left + 4, top + (line + 3) / 2);
                graphics->DrawText(group->name.CString(), 4);
            }
            graphics->SetColorStruct(WidgetOutline);
            graphics->FrameRect(bounds.left, top, bounds.right, bottom);
        }
    }
    QV_DockingView::Draw();
}

void ToolWnd::UpdateToolButtons()
{
    FollowToolList();
    if (!fDocument) {
        for (auto& group : fGroups)
            group->bar->DisableAll();
        return;
    }
    ScriptRegistry* registry = Registry();
    if (!registry || registry->CountTools() == 0 || fGroups.empty())
        return;
    ScriptInterface record(fDocument, nullptr);
    size_t bar = 0;
    bool active = false;
    for (int32_t i = 0; i < registry->CountTools(); i++) {
        ToolScript* tool = registry->ToolAt(i);
        if (i > 0 && !(tool->fGroup == registry->ToolAt(i - 1)->fGroup) && bar + 1 < fGroups.size()) {
            active = active || fGroups[bar]->bar->HasActiveTool();
            bar++;
        }
        if (!tool->fSpacer)
            fGroups[bar]->bar->SetEnabled(3600 + i, tool->IsEnabled(&record));
    }
    if (active || fGroups[bar]->bar->HasActiveTool())
        return;
    for (auto& group : fGroups) {
        if (group->bar->SelectFirstTool())
            return;
    }
}
