#include "qv_menu_bar.h"

#include "follow_flags.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layer.h"
#include "qv_menu.h"
#include "qv_wnd.h"

QV_MenuBar::QV_MenuBar()
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT, false)
    , fTracking(false)
    , fOpenIndex(-1)
    , fMenuCount(0)
    , fMenus {}
{
    fFont = gMenuFont;
    const int32_t h = fFont ? fFont->LineHeight() : 15;
    ResizeTo(64, h + h / 4);
}

QV_MenuBar::~QV_MenuBar()
{
    for (int32_t i = 0; i < fMenuCount; ++i) {
        // A menu that closes while the bar goes must not call back into it.
        fMenus[i]->fOwnerBar = nullptr;
        delete fMenus[i];
    }
}

bool QV_MenuBar::AddMenu(QV_Menu* menu)
{
    if (!menu || fMenuCount >= kMaxMenus)
        return false;
    fMenus[fMenuCount++] = menu;
    menu->fTarget = this;
    menu->fOwnerBar = this;
    return true;
}

QV_Rect QV_MenuBar::TitleRect(int32_t index) const
{
    const int32_t height = fFrame.bottom - fFrame.top + 1;
    int32_t left = 0;
    QV_Rect slot;
    for (int32_t i = 0; i < fMenuCount && i <= index; ++i) {
        const QV_Menu* menu = fMenus[i];
        int32_t width = 0;
        if (!menu->fTitle.IsEmpty())
            width = (fFont ? fFont->StringWidth(menu->fTitle.CString()) : 0) + 16;
        else if (menu->fIcon.pixels)
            width = menu->fIcon.width + 8;
        // A menu without title or icon gets an empty slot: it can never be hit.
        slot = { left, 0, left + width - 1, height - 1 };
        left += width;
    }
    return slot;
}

int32_t QV_MenuBar::TitleAt(int32_t x, int32_t y) const
{
    for (int32_t i = 0; i < fMenuCount; ++i) {
        const QV_Rect slot = TitleRect(i);
        if (x >= slot.left && x <= slot.right && y >= slot.top && y <= slot.bottom)
            return i;
    }
    return -1;
}

void QV_MenuBar::SetEnabled(int32_t message, bool enabled)
{
    for (int32_t i = 0; i < fMenuCount; ++i)
        fMenus[i]->SetEnabled(message, enabled);
}

void QV_MenuBar::MenuClosed()
{
    // A menu closed by a click on another title hears of it after the other
    // menu opened: the bar keeps tracking that one.
    if (fOpenIndex >= 0 && fMenus[fOpenIndex]->fWindow)
        return;
    fTracking = false;
    fOpenIndex = -1;
    Redraw(true);
}

void QV_MenuBar::RefreshMenus()
{
    if (QV_Layer* layer = OwnerLayer())
        layer->UpdateMenus();
}

void QV_MenuBar::OpenMenu(int32_t index)
{
    QV_Wnd* window = Window();
    if (!window)
        return;
    const QV_Rect slot = TitleRect(index);
    const QV_Point corner = ConvertToWindow({ slot.left, slot.bottom });
    fOpenIndex = index;
    fTracking = true;
    fMenus[index]->Popup(window, corner.x, corner.y);
}

void QV_MenuBar::MouseDown(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    const int32_t c = TitleAt(x, y);
    RefreshMenus();
    if (c >= 0 && c == fOpenIndex && !fMenus[c]->fWindow) {
        // The press on the open menu's title closed that menu.
        fOpenIndex = -1;
        fTracking = false;
    } else if (c != fOpenIndex) {
        if (fOpenIndex >= 0 && fMenus[fOpenIndex]->fWindow)
            fMenus[fOpenIndex]->CloseWithSubmenus();
        fOpenIndex = c;
        if (c >= 0)
            OpenMenu(c);
    }
    Redraw(true);
}

void QV_MenuBar::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    if (!fTracking)
        return;
    const int32_t c = TitleAt(x, y);
    if (c >= 0 && c != fOpenIndex) {
        if (fOpenIndex >= 0 && fMenus[fOpenIndex]->fWindow) {
            QV_Menu* open = fMenus[fOpenIndex];
            fOpenIndex = -1;
            open->CloseWithSubmenus();
        }
        OpenMenu(c);
    }
    Redraw(true);
}

void QV_MenuBar::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (fOpenIndex < 0)
        return;
    QV_Menu* menu = fMenus[fOpenIndex];
    if (!menu->fWindow) {
        fOpenIndex = -1;
        return;
    }
    const QV_Point point = ConvertToWindow({ x, y });
    const QV_Rect frame = menu->Frame();
    menu->MouseUp(point.x - frame.left, point.y - frame.top, button, modifiers, message);
    // A menu left open by a quick release stays the bar's open menu, so that
    // sliding to another title or clicking its own title closes it.
    if (!menu->fWindow)
        fOpenIndex = -1;
}

void QV_MenuBar::KeyDown(int32_t key, int32_t modifiers)
{
    RefreshMenus();
    for (int32_t i = 0; i < fMenuCount; ++i)
        fMenus[i]->HandleShortcut(key, modifiers);
}

void QV_MenuBar::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect b = Bounds();
    graphics->SetBezierTolerance(1.0f);
    graphics->FillGradientRect(0, true, ButtonGradient1, ButtonGradient2, b.left, b.top, b.right, b.bottom);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(b.left, b.top, b.right, b.bottom);
    graphics->SetSmoothing(true);
    graphics->FrameRoundRect(ScaledMetric3(), b.left, b.top, b.right, b.bottom);
    const int32_t ascent = fFont ? fFont->Ascent() : 0;
    for (int32_t i = 0; i < fMenuCount; ++i) {
        const QV_Rect s = TitleRect(i);
        QV_Rect a = s;
        graphics->SetColorStruct(Text);
        if (i == fOpenIndex) {
            graphics->SetColorStruct(Selection);
            graphics->FillRoundRect(ScaledMetric3(), s.left + 1, s.top + 1, s.right - 1, s.bottom - 1);
            graphics->SetColorStruct(WidgetOutline);
            graphics->FrameRoundRect(ScaledMetric3(), s.left + 1, s.top + 1, s.right - 1, s.bottom - 1);
            graphics->SetColorStruct(SelectedText);
            a = { s.left + 2, s.top + 2, s.right, s.bottom };
        }
        const int32_t width = a.right - a.left + 1;
        const int32_t height = a.bottom - a.top + 1;
        QV_Menu* menu = fMenus[i];
        if (!menu->fTitle.IsEmpty() && fFont) {
            const int32_t textWidth = fFont->StringWidth(menu->fTitle.CString());
            graphics->MoveTo(a.left + width / 2 - textWidth / 2, a.top + height / 2 + ascent / 2 - ascent / 8);
            graphics->DrawText(menu->fTitle.CString(), 0);
        } else if (menu->fIcon.pixels) {
            graphics->DrawImageAlpha(&menu->fIcon, float(a.left + width / 2 - menu->fIcon.width / 2),
                float(a.top + height / 2 - menu->fIcon.height / 2), false);
        }
    }
    graphics->SetSmoothing(false);
}
