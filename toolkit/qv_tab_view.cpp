#include "qv_tab_view.h"

#include <algorithm>

#include "follow_flags.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_base_widget.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layer.h"

namespace {

int32_t StripHeight()
{
    const int32_t a = gMenuFont ? gMenuFont->Ascent() : 11;
    return a + a / 2 + 2;
}

int32_t TabWidth(const char* label)
{
    return (gMenuFont && label ? gMenuFont->StringWidth(label) : 0) + 16;
}

// Tabs overlap by two pixels.
int32_t LeftOf(int32_t first, const int32_t* widths, int32_t index)
{
    int32_t x = first;
    for (int32_t i = 0; i < index; ++i)
        x += widths[i] - 2;
    return x;
}

int32_t HitTab(int32_t first, const int32_t* widths, int32_t count, int32_t x)
{
    int32_t left = first;
    for (int32_t i = 0; i < count; ++i) {
        // The outermost pixel on each side does not count.
        if (x > left + 1 && x < left + widths[i] - 1)
            return i;
        left += widths[i] - 2;
    }
    return -1;
}

int32_t StripWidth(const int32_t* widths, int32_t count)
{
    int32_t total = 0;
    for (int32_t i = 0; i < count; ++i)
        total += i == 0 ? widths[i] : widths[i] - 2;
    return total;
}

void DrawTabLabel(QV_Graphics* graphics, int32_t left, int32_t width, int32_t h, const QV_String& label)
{
    graphics->SetColorStruct(Text);
    graphics->MoveTo(left + width / 2 - (gMenuFont ? gMenuFont->StringWidth(label.CString()) : 0) / 2,
        (h - 2) / 2 + 1);
    graphics->DrawText(label.CString(), 4);
}

void FrameTab(QV_Graphics* graphics, int32_t r6, int32_t left, int32_t width, int32_t h, int32_t shadowTop)
{
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(r6, left, shadowTop, left + width - 1, h + r6 + 1);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRoundRect(r6, left - 1, 1, left + width, h + r6);
}

// The whole area of the view's layer goes to the window again.
void UpdateArea(QV_View* view)
{
    if (QV_Layer* layer = view->OwnerLayer()) {
        const QV_Rect bounds = layer->Bounds();
        layer->Update(bounds.left, bounds.top, bounds.right, bounds.bottom);
    } else {
        view->Refresh();
    }
}

} // namespace

QV_TabView::QV_TabView()
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    , fSelTab(0)
    , fTabCount(0)
    , fTabPages {}
    , fTabWidths {}
    , fTabHeight(StripHeight())
{
}

QV_TabView::~QV_TabView()
{
    while (fChildCount > 0)
        RemoveChild(fChildren[fChildCount - 1]);
    for (int32_t i = 0; i < fTabCount; ++i)
        delete fTabPages[i];
}

void QV_TabView::AddTab(const char* label, QV_View* page)
{
    if (fTabCount >= kMaxTabs) {
        delete page;
        return;
    }
    fTabLabels[fTabCount] = label ? label : "";
    fTabPages[fTabCount] = page;
    fTabWidths[fTabCount] = TabWidth(label);
    ++fTabCount;
}

int32_t QV_TabView::TabLeft(int32_t index) const
{
    return LeftOf(8, fTabWidths, index);
}

int32_t QV_TabView::TabAt(int32_t x) const
{
    return HitTab(8, fTabWidths, fTabCount, x);
}

void QV_TabView::SelectTab(int32_t index)
{
    // Without tabs there is no page to show: the panel stays empty.
    if (fTabCount == 0)
        return;
    fSelTab = std::clamp(index, 0, fTabCount - 1);
    while (fChildCount > 0)
        RemoveChild(fChildren[fChildCount - 1]);
    if (QV_View* page = fTabPages[fSelTab]) {
        const QV_Rect b = Bounds();
        const int32_t room = (b.right - 8) - (b.left + 8) + 1;
        const int32_t width = page->Frame().right - page->Frame().left + 1;
        const int32_t left = width < room ? b.left + 8 + (room - width) / 2 : b.left + 8;
        page->MoveTo(left, b.top + fTabHeight + 8);
        AddChild(page);
    }
    Draw();
    UpdateArea(this);
}

QV_Point QV_TabView::PreferredSize()
{
    int32_t pageWidth = 1;
    int32_t pageHeight = 1;
    for (int32_t i = 0; i < fTabCount; ++i) {
        if (!fTabPages[i])
            continue;
        const QV_Point size = fTabPages[i]->PreferredSize();
        pageWidth = std::max(pageWidth, size.x);
        pageHeight = std::max(pageHeight, size.y);
    }
    return { std::max(StripWidth(fTabWidths, fTabCount) + 16, pageWidth + 16), pageHeight + fTabHeight + 16 };
}

void QV_TabView::Layout()
{
    for (int32_t i = 0; i < fTabCount; ++i)
        if (fTabPages[i])
            fTabPages[i]->Layout();
    const QV_Point size = PreferredSize();
    ResizeTo(size.x, size.y);
    SelectTab(fSelTab);
}

void QV_TabView::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseDown(x, y, button, modifiers, message);
    if (y >= fTabHeight)
        return;
    const int32_t tab = TabAt(x);
    if (tab >= 0)
        SelectTab(tab);
}

void QV_TabView::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    const int32_t r6 = ScaledMetric6();
    const int32_t h = fTabHeight;
    const QV_Rect b = Bounds();
    graphics->SetBezierTolerance(2.0f);
    graphics->SetFont(gMenuFont);
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(WindowBackground);
    graphics->FillRect(b.left, b.top, b.right, b.bottom);
    for (int32_t i = fTabCount - 1; i >= 0; --i) {
        if (i == fSelTab)
            continue;
        const int32_t x = TabLeft(i);
        graphics->FillGradientRect(r6, true, TabGradient1, TabGradient2, x, 0, x + fTabWidths[i] - 1, h + r6 + 1);
        FrameTab(graphics, r6, x, fTabWidths[i], h, 0);
        DrawTabLabel(graphics, x, fTabWidths[i], h, fTabLabels[i]);
    }
    const bool selected = fTabCount > 0;
    const int32_t xs = selected ? TabLeft(fSelTab) : 0;
    const int32_t ws = selected ? fTabWidths[fSelTab] : 0;
    if (selected) {
        graphics->SetColorStruct(TabBackground);
        graphics->FillRoundRect(r6, xs, 0, xs + ws - 1, h + r6 + 1);
        FrameTab(graphics, r6, xs, ws, h, 0);
        DrawTabLabel(graphics, xs, ws, h, fTabLabels[fSelTab]);
    }
    graphics->SetColorStruct(TabBackground);
    graphics->FillRoundRect(r6, b.left + 1, b.top + h + 1, b.right - 1, b.bottom);
    graphics->SetColorStruct(WidgetShadow);
    graphics->FrameRoundRect(r6, b.left + 1, b.top + h + 1, b.right - 1, b.bottom);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRoundRect(r6, b.left, b.top + h, b.right, b.bottom - 1);
    graphics->SetSmoothing(false);
    if (selected) {
        graphics->SetColorStruct(WidgetShadow);
        graphics->FillRect(xs, h, xs + ws - 1, h + 1);
        graphics->SetColorStruct(TabBackground);
        graphics->FillRect(xs + 1, h, xs + ws - 2, h + 1);
    }
    QV_View::Draw();
}

QV_TabBar::QV_TabBar()
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    , fMessage(MSG_TAB_CHOSEN)
    , fSelTab(0)
    , fTabCount(0)
    , fTabWidths {}
    , fTabHeight(StripHeight())
{
}

void QV_TabBar::AddTab(const char* label)
{
    if (fTabCount >= kMaxTabs)
        return;
    fTabLabels[fTabCount] = label ? label : "";
    fTabWidths[fTabCount] = TabWidth(label);
    ++fTabCount;
}

int32_t QV_TabBar::TabLeft(int32_t index) const
{
    return LeftOf(1, fTabWidths, index);
}

int32_t QV_TabBar::TabAt(int32_t x) const
{
    return HitTab(1, fTabWidths, fTabCount, x);
}

void QV_TabBar::SelectTab(int32_t index)
{
    if (fTabCount == 0)
        return;
    fSelTab = std::clamp(index, 0, fTabCount - 1);
    Draw();
    UpdateArea(this);
}

QV_Point QV_TabBar::PreferredSize()
{
    return { StripWidth(fTabWidths, fTabCount) + 2, fTabHeight };
}

void QV_TabBar::Layout()
{
    const QV_Point size = PreferredSize();
    ResizeTo(size.x, size.y);
    SelectTab(fSelTab);
}

void QV_TabBar::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseDown(x, y, button, modifiers, message);
    if (y >= fTabHeight)
        return;
    const int32_t tab = TabAt(x);
    if (tab < 0)
        return;
    SelectTab(tab);
    PostMessage(fMessage);
}

void QV_TabBar::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    const int32_t r6 = ScaledMetric6();
    const int32_t h = fTabHeight;
    const QV_Rect b = Bounds();
    graphics->SetBezierTolerance(2.0f);
    graphics->SetFont(gMenuFont);
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(WindowBackground);
    graphics->FillRect(b.left, b.top, b.right, b.bottom);
    for (int32_t i = fTabCount - 1; i >= 0; --i) {
        if (i == fSelTab)
            continue;
        const int32_t x = TabLeft(i);
        graphics->FillGradientRect(
            r6, true, ButtonGradient1, ButtonGradient2, x, 1, x + fTabWidths[i] - 1, h + r6 + 1);
        FrameTab(graphics, r6, x, fTabWidths[i], h, 0);
        DrawTabLabel(graphics, x, fTabWidths[i], h, fTabLabels[i]);
    }
    if (fTabCount > 0) {
        const int32_t xs = TabLeft(fSelTab);
        const int32_t ws = fTabWidths[fSelTab];
        graphics->SetColorStruct(WidgetHighlight);
        graphics->FillRoundRect(r6, xs, 1, xs + ws - 1, h + r6 + 1);
        FrameTab(graphics, r6, xs, ws, h, 0);
        DrawTabLabel(graphics, xs, ws, h, fTabLabels[fSelTab]);
    }
    graphics->SetSmoothing(false);
    QV_View::Draw();
}
