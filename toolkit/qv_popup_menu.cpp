#include "qv_popup_menu.h"

#include <algorithm>

#include "follow_flags.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_menu.h"
#include "qv_message.h"

namespace {

// The menu opens no further left than this from the pointer.
constexpr int32_t kPointerOffset = 16;

} // namespace

void DrawPopupButtonFace(QV_BaseWidget* widget, QV_Graphics* graphics, bool open, const char* label)
{
    const QV_Rect b = widget->Bounds();
    const int32_t h = b.bottom - b.top + 1;
    const int32_t r = ScaledMetric3();
    const bool enabled = widget->fEnabled;
    graphics->SetSmoothing(true);
    graphics->FillGradientRect(r, true, open ? ButtonGradient2 : ButtonGradient1,
        open ? ButtonGradient1 : ButtonGradient2, b.left + 1, b.top + 1, b.right - 1, b.bottom - 1);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(r, b.left + 1, b.top, b.right - 1, b.bottom);
    if (enabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRoundRect(r, b.left, b.top + 1, b.right, b.bottom - 1);
    }
    const float shift = open ? 1.0f : 0.0f;
    const float x = float(b.right) - float(h) / 2.0f + shift;
    const float y = float(b.top) + float(h) / 2.0f + shift;
    const float s = float(h) / 7.0f;
    graphics->SetColorStruct(enabled ? WidgetOutline : DisabledText);
    graphics->BeginShape();
    graphics->AddLine(x - s, y - s, x, y + s);
    graphics->AddLine(x, y + s, x + s, y - s);
    graphics->AddLine(x + s, y - s, x - s, y - s);
    if (graphics->EndShape())
        graphics->FillShape();
    graphics->SetSmoothing(false);
    QV_Font* font = widget->fFont;
    if (label && font) {
        QV_Rect area = { b.left + 2 * r, b.top, b.right - h, b.bottom };
        if (open)
            area = { area.left + 1, area.top + 1, area.right + 1, area.bottom + 1 };
        graphics->SetClipRect(area.left, area.top, area.right, area.bottom);
        graphics->SetColorStruct(enabled ? Text : DisabledText);
        const int32_t width = area.right - area.left + 1;
        const int32_t textWidth = font->StringWidth(label);
        const int32_t left = textWidth > width ? area.left : area.left + (width - textWidth) / 2;
        const int32_t ascent = font->Ascent();
        graphics->MoveTo(left, area.top + (area.bottom - area.top + 1) / 2 + ascent / 2 - ascent / 8);
        graphics->DrawText(label, 0);
        graphics->ResetClip();
    }
}

QV_PopupMenu::QV_PopupMenu(int32_t width, bool showsChecked)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fOpen(false)
    , fShowsChecked(showsChecked)
    , fMenu(nullptr)
{
    fFont = gWidgetFont;
    ResizeTo(width, ScaledMetric20());
}

QV_PopupMenu::~QV_PopupMenu()
{
    if (fMenu) {
        // Its closing must not call back into this button.
        fMenu->fOwnerButton = nullptr;
        delete fMenu;
    }
}

void QV_PopupMenu::SetMenu(QV_Menu* menu)
{
    if (fMenu && fMenu != menu) {
        if (fMenu->fOwnerButton == this)
            fMenu->fOwnerButton = nullptr;
        if (fMenu->fTarget == this)
            fMenu->fTarget = nullptr;
        fMenu->CloseWithSubmenus();
    }
    fMenu = menu;
    fOpen = false;
    if (menu) {
        menu->fTarget = this;
        menu->fOwnerButton = this;
    }
}

void QV_PopupMenu::MenuClosed()
{
    fOpen = false;
    Redraw(true);
}

void QV_PopupMenu::HandleMessage(QV_Message* message)
{
    if (message && fShowsChecked && fMenu) {
        fMenu->UncheckAll();
        fMenu->SetChecked(message->fWhat, true);
        Redraw(true);
    }
    QV_BaseWidget::HandleMessage(message);
}

void QV_PopupMenu::MouseDown(int32_t x, int32_t y, int32_t, int32_t modifiers, QV_Message* message)
{
    if (!fEnabled)
        return;
    QV_Wnd* window = Window();
    if (fOpen || !fMenu || !window) {
        fOpen = false;
        Redraw(false);
        return;
    }
    fOpen = true;
    Redraw(true);
    const QV_Rect b = Bounds();
    const QV_Point corner = ConvertToWindow({ std::max(b.left, x - kPointerOffset), b.bottom });
    fMenu->Popup(window, corner.x, corner.y);
    if (fMenu->fWindow) {
        const QV_Point pointer = ConvertToWindow({ x, y });
        const QV_Rect frame = fMenu->Frame();
        fMenu->MouseMoved(pointer.x - frame.left, pointer.y - frame.top, modifiers, message);
    }
}

void QV_PopupMenu::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (!fOpen || !fMenu || !fMenu->fWindow)
        return;
    const QV_Point pointer = ConvertToWindow({ x, y });
    const QV_Rect frame = fMenu->Frame();
    fMenu->MouseUp(pointer.x - frame.left, pointer.y - frame.top, button, modifiers, message);
}

void QV_PopupMenu::DrawWidget(QV_Graphics* graphics)
{
    QV_String label;
    if (fMenu)
        label = fShowsChecked ? fMenu->FirstCheckedLabel() : fMenu->fTitle;
    DrawPopupButtonFace(this, graphics, fOpen, fMenu ? label.CString() : nullptr);
}
