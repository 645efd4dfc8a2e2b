#include "qv_menu.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "follow_flags.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_base_widget.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_menu_bar.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_wnd.h"

namespace {

constexpr int32_t kFirstCapacity = 8;
// The release of the press that opened a menu comes within this time.
constexpr float kQuickRelease = 0.5f;
constexpr float kBlinkPeriod = 0.06f;
constexpr int32_t kBlinkTicks = 5;

template <class T> void CopyGrown(T*& array, int32_t count, int32_t capacity)
{
    T* grown = new T[capacity] {};
    std::copy(array, array + count, grown);
    delete[] array;
    array = grown;
}

template <class T> void ShiftUp(T* array, int32_t from, int32_t count)
{
    std::move_backward(array + from, array + count, array + count + 1);
}

} // namespace

QV_Menu::QV_Menu(const char* title)
    : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
    , fTarget(nullptr)
    , fOwnerBar(nullptr)
    , fParentMenu(nullptr)
    , fOwnerButton(nullptr)
    , fTitle(title ? title : "")
    , fFont(gMenuFont)
    , fLineHeight(gMenuFont ? gMenuFont->LineHeight() : 15)
    , fHover(-1)
    , fOpenSubmenu(nullptr)
    , fColumns(0)
    , fColumnWidth(0)
    , fRows(0)
    , fColumnHeight(0)
    , fBlinkTimer(0)
    , fBlinkCount(-1)
    , fChoosing(false)
    , fCount(0)
    , fCapacity(kFirstCapacity)
    , fLabels(new QV_String[kFirstCapacity])
    , fShortcuts(new char[kFirstCapacity] {})
    , fMessages(new int32_t[kFirstCapacity] {})
    , fModifiers(new int32_t[kFirstCapacity] {})
    , fEnabled(new bool[kFirstCapacity] {})
    , fChecked(new bool[kFirstCapacity] {})
    , fSubmenus(new QV_Menu* [kFirstCapacity] {})
    , fChosen(-1)
{
}

QV_Menu::~QV_Menu()
{
    if (fWindow) {
        if (fBlinkTimer != 0)
            fWindow->RemoveTimer(uint32_t(fBlinkTimer));
        fWindow->RemoveLayer(this);
    }
    RemoveAllItems();
    delete[] fLabels;
    delete[] fShortcuts;
    delete[] fMessages;
    delete[] fModifiers;
    delete[] fEnabled;
    delete[] fChecked;
    delete[] fSubmenus;
}

void QV_Menu::Grow()
{
    const int32_t capacity = fCapacity * 2;
    CopyGrown(fLabels, fCount, capacity);
    CopyGrown(fShortcuts, fCount, capacity);
    CopyGrown(fMessages, fCount, capacity);
    CopyGrown(fModifiers, fCount, capacity);
    CopyGrown(fEnabled, fCount, capacity);
    CopyGrown(fChecked, fCount, capacity);
    CopyGrown(fSubmenus, fCount, capacity);
    fCapacity = capacity;
}

int32_t QV_Menu::InsertItem(int32_t index, const char* label, char shortcut, int32_t message, int32_t modifiers)
{
    if (fCount == fCapacity)
        Grow();
    ShiftUp(fLabels, index, fCount);
    ShiftUp(fShortcuts, index, fCount);
    ShiftUp(fMessages, index, fCount);
    ShiftUp(fModifiers, index, fCount);
    ShiftUp(fEnabled, index, fCount);
    ShiftUp(fChecked, index, fCount);
    ShiftUp(fSubmenus, index, fCount);
    fLabels[index] = label ? label : "";
    fShortcuts[index] = shortcut;
    fMessages[index] = message;
    fModifiers[index] = modifiers;
    fEnabled[index] = true;
    fChecked[index] = false;
    fSubmenus[index] = nullptr;
    ++fCount;
    return index;
}

int32_t QV_Menu::AddItem(const char* label, char shortcut, int32_t message, int32_t modifiers)
{
    return InsertItem(fCount, label, shortcut, message, modifiers);
}

int32_t QV_Menu::AddItemAlphabetically(const char* label, char shortcut, int32_t message)
{
    const char* text = label ? label : "";
    int32_t index = 0;
    // strcmp compares as unsigned char: byte order, capitals before lower case.
    while (index < fCount && std::strcmp(fLabels[index].CString(), text) <= 0)
        ++index;
    return InsertItem(index, text, shortcut, message, kCtrl);
}

int32_t QV_Menu::AddSubmenu(QV_Menu* submenu, const char* label)
{
    const int32_t index = InsertItem(fCount, label, 0, 0, kCtrl);
    fSubmenus[index] = submenu;
    if (submenu) {
        submenu->fParentMenu = this;
        submenu->fTarget = fTarget;
    }
    return index;
}

void QV_Menu::RemoveAllItems()
{
    if (fOpenSubmenu)
        CloseSubmenuChain();
    for (int32_t i = 0; i < fCount; ++i) {
        delete fSubmenus[i];
        fSubmenus[i] = nullptr;
    }
    fCount = 0;
    fHover = -1;
}

void QV_Menu::SetEnabled(int32_t message, bool enabled)
{
    for (int32_t i = 0; i < fCount; ++i) {
        if (fMessages[i] == message)
            fEnabled[i] = enabled;
        if (fSubmenus[i])
            fSubmenus[i]->SetEnabled(message, enabled);
    }
}

void QV_Menu::SetChecked(int32_t message, bool checked)
{
    for (int32_t i = 0; i < fCount; ++i) {
        if (fMessages[i] == message)
            fChecked[i] = checked;
        if (fSubmenus[i])
            fSubmenus[i]->SetChecked(message, checked);
    }
}

void QV_Menu::SetCheckedLabel(const char* label, bool checked)
{
    const char* text = label ? label : "";
    for (int32_t i = 0; i < fCount; ++i) {
        if (fLabels[i] == text)
            fChecked[i] = checked;
        if (fSubmenus[i])
            fSubmenus[i]->SetCheckedLabel(text, checked);
    }
}

bool QV_Menu::IsEnabled(int32_t message) const
{
    for (int32_t i = 0; i < fCount; ++i)
        if (fMessages[i] == message)
            return fEnabled[i];
    return false;
}

bool QV_Menu::IsChecked(int32_t message) const
{
    for (int32_t i = 0; i < fCount; ++i)
        if (fMessages[i] == message)
            return fChecked[i];
    return false;
}

void QV_Menu::UncheckAll()
{
    std::fill(fChecked, fChecked + fCount, false);
}

int32_t QV_Menu::FirstChecked() const
{
    for (int32_t i = 0; i < fCount; ++i)
        if (fChecked[i])
            return i;
    return -1;
}

int32_t QV_Menu::FirstCheckedMsg() const
{
    const int32_t index = FirstChecked();
    return index < 0 ? -1 : fMessages[index];
}

QV_String QV_Menu::FirstCheckedLabel() const
{
    const int32_t index = FirstChecked();
    return index < 0 ? QV_String() : fLabels[index];
}

QV_String QV_Menu::ItemLabel(int32_t message) const
{
    for (int32_t i = 0; i < fCount; ++i)
        if (fMessages[i] == message)
            return fLabels[i];
    return QV_String();
}

void QV_Menu::SetItemLabel(int32_t message, const char* label)
{
    for (int32_t i = 0; i < fCount; ++i)
        if (fMessages[i] == message)
            fLabels[i] = label ? label : "";
}

const char* QV_Menu::ShortcutFormat(int32_t modifiers)
{
    switch (modifiers) {
    case kCtrlShift:
        return "Ctrl+Shift+%c";
    case kCtrlAlt:
        return "Ctrl+Alt+%c";
    default:
        return "Ctrl+%c";
    }
}

void QV_Menu::Popup(QV_Wnd* window, int32_t x, int32_t y)
{
    if (fWindow || !window)
        return;
    const QV_Rect client = window->Bounds();
    fBlinkCount = -1;
    fChoosing = false;
    fChosen = -1;
    fFont = (fOwnerBar || fParentMenu) ? gMenuFont : gWidgetFont;
    fLineHeight = fFont ? std::max(1, fFont->LineHeight()) : 15;
    MoveTo(x, y);

    int32_t textWidth = 8;
    bool anyShortcut = false;
    int32_t widestKind = -1;
    for (int32_t i = 0; i < fCount; ++i) {
        if (fFont)
            textWidth = std::max(textWidth, fFont->StringWidth(fLabels[i].CString()));
        if (fShortcuts[i] == 0)
            continue;
        anyShortcut = true;
        if (fModifiers[i] == kCtrlShift)
            widestKind = kCtrlShift;
        else if (fModifiers[i] == kCtrlAlt && widestKind != kCtrlShift)
            widestKind = kCtrlAlt;
    }
    if (anyShortcut && fFont)
        textWidth += fFont->StringWidth(ShortcutFormat(widestKind)) + 8;
    fColumnWidth = textWidth + 40;

    fRows = fCount;
    while (fRows * fLineHeight > (client.bottom - client.top + 1) - 8 && fRows > 1)
        --fRows;
    // A window too low for even one row still shows one per column.
    fRows = std::max(1, fRows);
    fColumnHeight = fRows * fLineHeight;
    fColumns = fRows >= fCount ? 1 : (fCount + fRows - 1) / fRows;
    ResizeTo(fColumns * fColumnWidth, fColumnHeight + 4);

    fHover = -1;
    fOpenSubmenu = nullptr;
    fOpenClock.Start();
    window->AddLayer(this);
}

void QV_Menu::Activate()
{
    if (fWindow) {
        const QV_Rect client = fWindow->Bounds();
        int32_t x = fFrame.left;
        int32_t y = fFrame.top;
        if (fFrame.right > client.right)
            x += client.right - fFrame.right;
        if (fFrame.bottom > client.bottom)
            y += client.bottom - fFrame.bottom;
        MoveTo(x, y);
    }
    QV_Layer::Activate();
}

QV_Rect QV_Menu::ItemRect(int32_t index) const
{
    const int32_t rows = std::max(1, fRows);
    const int32_t column = index / rows;
    const int32_t row = index % rows;
    QV_Rect rect;
    rect.left = 2 + column * fColumnWidth;
    rect.right = rect.left + fColumnWidth - 5;
    rect.top = 2 + row * fLineHeight;
    rect.bottom = rect.top + fLineHeight - 1;
    return rect;
}

int32_t QV_Menu::ItemAt(int32_t x, int32_t y) const
{
    for (int32_t i = 0; i < fCount; ++i) {
        const QV_Rect rect = ItemRect(i);
        if (x < rect.left || x > rect.right || y < rect.top || y > rect.bottom)
            continue;
        return (!fLabels[i].IsEmpty() && fEnabled[i]) ? i : -1;
    }
    return -1;
}

bool QV_Menu::OnAnyItem(int32_t x, int32_t y) const
{
    for (int32_t i = 0; i < fCount; ++i) {
        const QV_Rect rect = ItemRect(i);
        if (x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom)
            return true;
    }
    return false;
}

void QV_Menu::Draw()
{
    QV_Layer::Draw();
    DrawItems(fHover);
}

void QV_Menu::DrawItems(int32_t shown)
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    const QV_Rect bounds = Bounds();
    graphics->SetColorStruct(WidgetFill);
    graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    const int32_t height = bounds.bottom - bounds.top + 1;
    for (int32_t k = 1; k < fColumns; ++k) {
        graphics->SetColorStruct(WidgetShadow);
        graphics->DrawVLine(4, height - 5, k * fColumnWidth - 1);
        graphics->SetColorStruct(WidgetHighlight);
        graphics->DrawVLine(4, height - 5, k * fColumnWidth);
    }
    graphics->SetSmoothing(true);
    graphics->SetFont(fFont);
    for (int32_t i = 0; i < fCount; ++i) {
        const QV_Rect r = ItemRect(i);
        const int32_t h = r.bottom - r.top + 1;
        const int32_t cy = r.top + h / 2;
        if (i == shown) {
            graphics->SetColorStruct(Selection);
            graphics->FillRoundRect(ScaledMetric3(), r.left, r.top, r.right, r.bottom);
            graphics->SetColorStruct(WidgetOutline);
            graphics->FrameRoundRect(ScaledMetric3(), r.left, r.top, r.right, r.bottom);
        }
        if (fLabels[i].IsEmpty()) {
            graphics->SetSmoothing(false);
            graphics->SetColorStruct(WidgetShadow);
            graphics->DrawLine(float(r.left + 8), float(cy), float(r.right - 8), float(cy));
            graphics->SetColorStruct(WidgetHighlight);
            graphics->DrawLine(float(r.left + 8), float(cy + 1), float(r.right - 8), float(cy + 1));
            graphics->SetSmoothing(true);
            continue;
        }
        const rgb_color color = i == shown ? SelectedText : (fEnabled[i] ? Text : DisabledText);
        graphics->SetColorStruct(color);
        graphics->MoveTo(r.left + 16, cy);
        graphics->DrawText(fLabels[i].CString(), 4);
        if (fShortcuts[i] != 0 && gWidgetFont) {
            char text[32];
            std::snprintf(text, sizeof text, ShortcutFormat(fModifiers[i]), fShortcuts[i]);
            graphics->SetFont(gWidgetFont);
            graphics->MoveTo(r.right - gWidgetFont->StringWidth(text), cy);
            graphics->DrawText(text, 4);
            graphics->SetFont(fFont);
        }
        if (fChecked[i]) {
            graphics->SetPenWidth(2);
            graphics->DrawLine(float(r.left + 2), float(cy + 1), float(r.left + 4), float(cy + 3));
            graphics->DrawLine(float(r.left + 4), float(cy + 3), float(r.left + 10), float(cy - 3));
            graphics->SetPenWidth(1);
        }
        if (fSubmenus[i]) {
            const float a = float(r.right - h / 2);
            const float b = float(r.top + h / 2);
            const float s = float(h) / 5.0f;
            graphics->BeginShape();
            graphics->AddLine(a - s, b - s, a + s, b);
            graphics->AddLine(a + s, b, a - s, b + s);
            graphics->AddLine(a - s, b + s, a - s, b - s);
            if (graphics->EndShape())
                graphics->FillShape();
        }
    }
    graphics->SetSmoothing(false);
}

void QV_Menu::CloseSubmenuChain()
{
    QV_Menu* submenu = fOpenSubmenu;
    fOpenSubmenu = nullptr;
    if (!submenu)
        return;
    submenu->CloseSubmenuChain();
    if (submenu->fWindow) {
        if (submenu->fBlinkTimer != 0)
            submenu->fWindow->RemoveTimer(uint32_t(submenu->fBlinkTimer));
        submenu->fBlinkTimer = 0;
        submenu->fWindow->RemoveLayer(submenu);
    }
}

void QV_Menu::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    QV_Layer::MouseMoved(x, y, modifiers, message);
    if (fChoosing || !fWindow)
        return;
    int32_t e = ItemAt(x, y);
    if (e == -1 && fHover >= 0 && fHover < fCount && fSubmenus[fHover])
        e = fHover;
    if (e == fHover)
        return;
    CloseSubmenuChain();
    fHover = e;
    DrawItems(fHover);
    Flush();
    if (e >= 0 && fSubmenus[e]) {
        const QV_Rect r = ItemRect(e);
        QV_Menu* submenu = fSubmenus[e];
        submenu->Popup(fWindow, fFrame.left + r.right, fFrame.top + r.top);
        fOpenSubmenu = submenu;
    }
}

void QV_Menu::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_Layer::MouseDown(x, y, button, modifiers, message);
    if (!fChoosing)
        fOpenClock.Stop();
}

void QV_Menu::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_Layer::MouseUp(x, y, button, modifiers, message);
    if (fChoosing || !fWindow)
        return;
    const bool clockRuns = fOpenClock.running;
    const float elapsed = fOpenClock.Elapsed();
    if (clockRuns && elapsed < kQuickRelease)
        return;
    if (QV_Menu* submenu = fOpenSubmenu) {
        if (submenu->fWindow) {
            const QV_Rect frame = submenu->Frame();
            submenu->MouseUp(x + fFrame.left - frame.left, y + fFrame.top - frame.top, button, modifiers, message);
            return;
        }
    }
    const int32_t item = ItemAt(x, y);
    if (item >= 0) {
        fChoosing = true;
        fChosen = item;
        fBlinkCount = 0;
        fBlinkTimer = int32_t(fWindow->AddTimer(kBlinkPeriod, this, MSG_TICK));
        return;
    }
    // A release on a separator or a disabled item does nothing; only one
    // beside every item closes a menu that has been open a while.
    if (elapsed > kQuickRelease && !OnAnyItem(x, y))
        Close();
}

void QV_Menu::MouseDownOutside(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    QV_Wnd* window = fWindow;
    if (!window)
        return;
    const QV_Point press = { x + fFrame.left, y + fFrame.top };
    if (fBlinkTimer != 0)
        window->RemoveTimer(uint32_t(fBlinkTimer));
    fBlinkTimer = 0;
    window->RemoveLayer(this);
    // The window itself hands the press on to what lies below once this
    // returns. A press on this menu's own title is left to the bar, which
    // then sees its open menu gone and goes idle instead of reopening it.
    if (QV_MenuBar* bar = fOwnerBar) {
        const QV_Point inBar = bar->ConvertFromWindow(press);
        const int32_t title = bar->TitleAt(inBar.x, inBar.y);
        if (title < 0 || title != bar->fOpenIndex || bar->fMenus[title] != this)
            bar->MenuClosed();
    }
    if (QV_Menu* parent = fParentMenu) {
        parent->CloseSubmenuChain();
        parent->Close();
    }
    // Likewise a press on the owner button itself: the button finds itself
    // open, goes closed and does not reopen the menu.
    if (QV_PopupMenu* button = fOwnerButton) {
        const QV_Point inButton = button->ConvertFromWindow(press);
        if (!button->ContainsPoint(inButton.x + button->Frame().left, inButton.y + button->Frame().top))
            button->MenuClosed();
    }
}

void QV_Menu::HandleMessage(QV_Message* message)
{
    if (!message)
        return;
    if (message->fWhat != MSG_TICK) {
        QV_Layer::HandleMessage(message);
        return;
    }
    if (fBlinkCount > kBlinkTicks - 1 || fChosen < 0)
        return;
    const int32_t n = fBlinkCount;
    fBlinkCount = n + 1;
    DrawItems(n % 2 == 0 ? -1 : fChosen);
    const QV_Rect r = ItemRect(fChosen);
    FlushRect(r.left, r.top, r.right, r.bottom);
    if (fBlinkCount == kBlinkTicks)
        FinishChoice();
}

void QV_Menu::FinishChoice()
{
    const int32_t message = fMessages[fChosen];
    fChosen = -1;
    Close();
    QV_Handler* target = fTarget;
    for (QV_Menu* menu = fParentMenu; !target && menu; menu = menu->fParentMenu)
        if (menu->fTarget)
            target = menu->fTarget;
    if (target)
        target->PostMessage(message);
}

void QV_Menu::Close()
{
    if (!fWindow)
        return;
    if (fBlinkTimer != 0)
        fWindow->RemoveTimer(uint32_t(fBlinkTimer));
    fBlinkTimer = 0;
    fWindow->RemoveLayer(this);
    if (fOwnerBar)
        fOwnerBar->MenuClosed();
    if (QV_Menu* parent = fParentMenu) {
        parent->CloseSubmenuChain();
        parent->Close();
    }
    if (fOwnerButton)
        fOwnerButton->MenuClosed();
}

void QV_Menu::CloseWithSubmenus()
{
    CloseSubmenuChain();
    Close();
}

void QV_Menu::HandleShortcut(int32_t key, int32_t modifiers)
{
    const int32_t upper = (key >= 'a' && key <= 'z') ? key - 'a' + 'A' : key;
    const int32_t wanted = modifiers & ~MODIFIER_CTRL;
    for (int32_t i = 0; i < fCount; ++i) {
        if (fShortcuts[i] == 0 || fShortcuts[i] != upper || fModifiers[i] != wanted || !fEnabled[i])
            continue;
        if (fTarget)
            fTarget->PostMessage(fMessages[i]);
    }
}
