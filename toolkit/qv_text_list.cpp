#include "qv_text_list.h"

#include <cstring>

#include "interface_colors.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_message.h"
#include "qv_scroll_bar.h"

namespace {

constexpr int32_t kInset = 4;
constexpr int32_t kBarMessage = -1011;

} // namespace

QV_TextList::QV_TextList(int32_t message, int32_t follow)
    : QV_BaseWidget(follow, true)
    , fMessage(message)
    , fScrollY(0)
    , fSelItem(-1)
    , fScrollBar(nullptr)
{
    fItems.SetCapacity(4);
    const QV_Point size = Size();
    const int32_t w = ScrollBarThickness();
    fScrollBar = new QV_ScrollBar(true, size.y, kBarMessage, FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    AddChild(fScrollBar);
    fScrollBar->MoveTo(size.x - w, 0);
    fScrollBar->fStep = RowHeight();
    fScrollBar->fPage = size.y - RowHeight();
    fScrollBar->Enable(false);
}

QV_TextList::~QV_TextList()
{
    for (int32_t i = 0; i < fItems.fCount; ++i)
        delete Row(i);
}

int32_t QV_TextList::RowHeight() const
{
    return fFont ? fFont->LineHeight() : 1;
}

int32_t QV_TextList::ScrollRange() const
{
    return fItems.fCount * RowHeight() + 8 - Size().y;
}

void QV_TextList::ClampScroll()
{
    const int32_t range = ScrollRange();
    const int32_t top = range > 0 ? range : 0;
    fScrollY = fScrollY < 0 ? 0 : (fScrollY > top ? top : fScrollY);
}

void QV_TextList::UpdateBar()
{
    const int32_t range = ScrollRange();
    if (range < 0) {
        fScrollBar->Enable(false);
        fScrollBar->SetRange(0);
    } else {
        fScrollBar->SetRange(range);
        fScrollBar->Enable(true);
    }
    ClampScroll();
    fScrollBar->SetValue(fScrollY);
}

void QV_TextList::AddItem(const char* text)
{
    fItems.Append(new QV_String(text ? text : ""));
    UpdateBar();
    if (fSelItem < 0)
        fSelItem = fItems.fCount - 1;
    Redraw(true);
}

void QV_TextList::AddItemAlphabetically(const char* text)
{
    if (!text)
        text = "";
    int32_t at = 0;
    // strcmp orders by unsigned bytes.
    while (at < fItems.fCount && std::strcmp(Row(at)->CString(), text) <= 0)
        at++;
    if (at == fItems.fCount)
        fItems.Append(new QV_String(text));
    else
        fItems.Insert(new QV_String(text), at);
    UpdateBar();
    if (fSelItem < 0)
        fSelItem = fItems.fCount - 1;
    Redraw(true);
}

void QV_TextList::RemoveItem(int32_t index)
{
    if (index < 0 || index >= fItems.fCount)
        return;
    if (index < fSelItem || fSelItem == fItems.fCount - 1)
        fSelItem--;
    QV_String* row = Row(index);
    fItems.Remove(row);
    delete row;
    // The range shrinks with the rows, so the list never scrolls past its end.
    UpdateBar();
    Redraw(true);
}

void QV_TextList::RemoveAllItems()
{
    while (fItems.fCount > 0)
        RemoveItem(fItems.fCount - 1);
}

void QV_TextList::SetSelItem(int32_t index)
{
    const int32_t count = fItems.fCount;
    fSelItem = count == 0 ? -1 : (index < 0 ? 0 : (index >= count ? count - 1 : index));
    if (fSelItem >= 0) {
        const QV_Rect b = Bounds();
        const int32_t innerTop = b.top + kInset;
        const int32_t innerBottom = b.bottom - kInset;
        const int32_t h = RowHeight();
        const int32_t rowTop = innerTop + h * fSelItem - fScrollY;
        if (rowTop > innerBottom)
            fScrollY = h * (fSelItem + 1) + innerTop - innerBottom - 1;
        else if (h * fSelItem < fScrollY)
            fScrollY = h * fSelItem;
    }
    ClampScroll();
    fScrollBar->SetValue(fScrollY);
    Redraw(true);
}

bool QV_TextList::SetSelItem(const char* label)
{
    for (int32_t i = 0; label && i < fItems.fCount; ++i)
        if (std::strcmp(Row(i)->CString(), label) == 0) {
            SetSelItem(i);
            return true;
        }
    return false;
}

void QV_TextList::SetItemLabel(int32_t index, const char* text)
{
    if (index < 0 || index >= fItems.fCount)
        return;
    *Row(index) = text ? text : "";
    Redraw(true);
}

const char* QV_TextList::GetItem(int32_t index) const
{
    return index >= 0 && index < fItems.fCount ? Row(index)->CString() : "";
}

const char* QV_TextList::SelItemLabel() const
{
    return GetItem(fSelItem);
}

void QV_TextList::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == kBarMessage) {
        fScrollY = fScrollBar->fValue;
        Redraw(true);
        return;
    }
    QV_View::HandleMessage(message);
}

// A plain size change (layouts, scripts) also moves the bar and its steps.
void QV_TextList::SetSize(int32_t width, int32_t height)
{
    const QV_Point old = Size();
    QV_View::SetSize(width, height);
    FrameResized(old.x, old.y, width, height);
}

void QV_TextList::ResizeTo(int32_t width, int32_t height)
{
    SetSize(width, height);
}

void QV_TextList::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    QV_BaseWidget::FrameResized(oldWidth, oldHeight, newWidth, newHeight);
    fScrollBar->fPage = newHeight - RowHeight();
    fScrollBar->fStep = RowHeight();
}

void QV_TextList::Layout() { }

int32_t QV_TextList::RowAt(int32_t x, int32_t y) const
{
    const QV_Rect b = Bounds();
    if (x < b.left || y < b.top || x > b.right - ScrollBarThickness() || y > b.bottom)
        return -1;
    const int32_t h = RowHeight();
    const int32_t first = b.top + kInset - fScrollY;
    int32_t row = 0;
    while (row < fItems.fCount && first + row * h + h - 1 < y)
        row++;
    return row < fItems.fCount ? row : -1;
}

void QV_TextList::MouseDown(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    const int32_t row = fEnabled ? RowAt(x, y) : -1;
    if (row < 0)
        return;
    fSelItem = row;
    Redraw(true);
    PostMessage(fMessage);
}

void QV_TextList::MouseWheel(float distance, int32_t, int32_t, int32_t, QV_Message*)
{
    fScrollY += distance > 0 ? -2 * RowHeight() : 2 * RowHeight();
    ClampScroll();
    fScrollBar->SetValue(fScrollY);
    Redraw(true);
}

void QV_TextList::KeyDown(int32_t key, int32_t)
{
    if (key == KEY_DOWN)
        SetSelItem(fSelItem + 1);
    else if (key == KEY_UP)
        SetSelItem(fSelItem - 1);
    else
        return;
    PostMessage(fMessage);
}

bool QV_TextList::AcceptsFocus()
{
    return true;
}

void QV_TextList::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect b = Bounds();
    const int32_t r6 = ScaledMetric6();
    const int32_t r3 = ScaledMetric3();
    const int32_t w = ScrollBarThickness();
    graphics->SetSmoothing(true);
    graphics->SetClipRect(b.left, b.top, b.right - w, b.bottom);
    graphics->SetColorStruct(TextBackground);
    graphics->FillRoundRect(r6, b.left + 1, b.top, b.right - 1, b.bottom);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(r6, b.left + 1, b.top, b.right - 1, b.bottom);
    if (fEnabled) {
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRoundRect(r6, b.left, b.top + 1, b.right, b.bottom - 1);
    }
    graphics->SetClipRect(b.left + 2, b.top + 2, b.right - w - 2, b.bottom - 2);
    const int32_t h = RowHeight();
    const int32_t first = b.top + kInset - fScrollY;
    // Only the rows that reach the visible strip are drawn, however long the list.
    int32_t from = h > 0 ? (b.top + 2 - first) / h - 1 : 0;
    from = from < 0 ? 0 : from;
    for (int32_t i = from; i < fItems.fCount; ++i) {
        const int32_t y = first + i * h;
        if (y > b.bottom)
            break;
        graphics->SetColorStruct(fEnabled ? Text : DisabledText);
        if (i == fSelItem && fEnabled) {
            graphics->SetColorStruct(Selection);
            graphics->FillRoundRect(r3, b.left + 4, y, b.right - w - 4, y + h - 1);
            graphics->SetColorStruct(WidgetOutline);
            graphics->FrameRoundRect(r3, b.left + 4, y, b.right - w - 4, y + h - 1);
            graphics->SetColorStruct(SelectedText);
        }
        DrawRow(graphics, i, b.left + 6, y, h);
    }
    graphics->ResetClip();
    fScrollBar->Redraw(false);
}

void QV_TextList::DrawRow(QV_Graphics* graphics, int32_t index, int32_t left, int32_t top, int32_t height)
{
    const int32_t ascent = fFont ? fFont->Ascent() : 0;
    graphics->MoveTo(left, top + height / 2 + ascent / 2);
    graphics->DrawText(Row(index)->CString(), 2);
}
