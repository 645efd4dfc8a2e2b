#include "qv_scrolling_view.h"

#include "interface_colors.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_message.h"
#include "qv_scroll_bar.h"
#include "raster_fill.h"

namespace {

constexpr int32_t kScrollStep = 32;
constexpr int32_t kNewViewSize = 32;

// Fits one bar to an overflow and answers the content's new position.
int32_t FitBar(QV_ScrollBar* bar, int32_t overflow, int32_t visibleSpan, int32_t position)
{
    if (overflow > 0) {
        if (!bar->IsEnabled())
            bar->Enable(true);
        bar->SetRange(overflow);
        bar->fStep = kScrollStep;
        bar->fPage = visibleSpan - 1 - 31;
        return position < -overflow ? -overflow : (position > 0 ? 0 : position);
    }
    if (bar->IsEnabled())
        bar->Enable(false);
    bar->SetRange(0);
    return 0;
}

} // namespace

QV_ScrollingView::QV_ScrollingView(int32_t width, int32_t height, int32_t follow)
    : QV_BaseWidget(follow, false)
    , fBackColor(WindowBackground)
    , fAcceptsFocus(false)
    , fDrawFrame(true)
    , fClipView(nullptr)
    , fContent(nullptr)
    , fScrollX(0)
    , fScrollY(0)
    , fHScroll(nullptr)
    , fVScroll(nullptr)
{
    const int32_t m = ScaledMetric6() * 3 / 4;
    const int32_t t = ScrollBarThickness();
    const int32_t n = kNewViewSize;
    fClipView = new QV_View(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    fClipView->MoveTo(m, m);
    fClipView->ResizeTo(n - t - 2 * m, n - t - 2 * m);
    AddChild(fClipView);
    fHScroll = new QV_ScrollBar(false, n - t + 1, MSG_HSCROLL, FOLLOW_LEFT | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    AddChild(fHScroll);
    fHScroll->MoveTo(0, n - t);
    fVScroll = new QV_ScrollBar(true, n - t + 1, MSG_VSCROLL, FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    AddChild(fVScroll);
    fVScroll->MoveTo(n - t, 0);
    UpdateScrollBars();
    QV_View::ResizeTo(width, height);
}

QV_Rect QV_ScrollingView::ContentBounds() const
{
    return fClipView->Bounds();
}

void QV_ScrollingView::UpdateScrollBars()
{
    if (!fContent) {
        fHScroll->Enable(false);
        fVScroll->Enable(false);
        return;
    }
    const QV_Rect visible = fClipView->Bounds();
    const QV_Rect content = fContent->Bounds();
    const QV_Rect frame = fContent->Frame();
    const int32_t vw = visible.right - visible.left + 1;
    const int32_t vh = visible.bottom - visible.top + 1;
    const int32_t x = FitBar(fHScroll, (content.right - content.left + 1) - vw, vw, frame.left);
    const int32_t y = FitBar(fVScroll, (content.bottom - content.top + 1) - vh, vh, frame.top);
    if (x != frame.left || y != frame.top) {
        fContent->MoveTo(x, y);
        fContent->Draw();
        Refresh();
    }
}

void QV_ScrollingView::ScrollContent()
{
    if (!fContent)
        return;
    fContent->MoveTo(-fScrollX, -fScrollY);
    if (QV_Graphics* graphics = fClipView->GetGraphics()) {
        FillRaster(graphics->fTarget, fBackColor);
        graphics->EndDraw();
    }
    fClipView->Draw();
    fClipView->Refresh();
}

void QV_ScrollingView::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == MSG_HSCROLL) {
        fScrollX = fHScroll->fValue;
        ScrollContent();
        return;
    }
    if (message && message->fWhat == MSG_VSCROLL) {
        fScrollY = fVScroll->fValue;
        ScrollContent();
        return;
    }
    QV_View::HandleMessage(message);
}

void QV_ScrollingView::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    QV_BaseWidget::FrameResized(oldWidth, oldHeight, newWidth, newHeight);
    UpdateScrollBars();
}

void QV_ScrollingView::Layout()
{
    if (fContent)
        fContent->Layout();
    UpdateScrollBars();
}

void QV_ScrollingView::Nudge(QV_ScrollBar* bar, int32_t delta, int32_t message)
{
    bar->SetValue(bar->fValue + delta);
    PostMessage(message);
}

void QV_ScrollingView::MouseWheel(float distance, int32_t, int32_t, int32_t, QV_Message*)
{
    Nudge(fVScroll, distance > 0 ? -kScrollStep : kScrollStep, MSG_VSCROLL);
}

void QV_ScrollingView::KeyDown(int32_t key, int32_t)
{
    switch (key) {
    case KEY_UP: Nudge(fVScroll, -kScrollStep, MSG_VSCROLL); break;
    case KEY_DOWN: Nudge(fVScroll, kScrollStep, MSG_VSCROLL); break;
    case KEY_LEFT: Nudge(fHScroll, -kScrollStep, MSG_HSCROLL); break;
    case KEY_RIGHT: Nudge(fHScroll, kScrollStep, MSG_HSCROLL); break;
    default: break;
    }
}

bool QV_ScrollingView::AcceptsFocus()
{
    return fAcceptsFocus;
}

void QV_ScrollingView::DrawWidget(QV_Graphics* graphics)
{
    const QV_Rect b = Bounds();
    const int32_t radius = ScaledMetric6();
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(fBackColor);
    graphics->FillRoundRect(radius, b.left + 2, b.top, b.right - 2, b.bottom);
    if (fDrawFrame) {
        graphics->SetColorStruct(WidgetShadow);
        graphics->FrameRoundRect(radius, b.left + 2, b.top, b.right - 2, b.bottom);
        if (fEnabled) {
            graphics->SetColorStruct(WidgetOutline);
            graphics->FrameRoundRect(radius, b.left + 1, b.top + 1, b.right - 1, b.bottom - 1);
        }
    }
    fClipView->Draw();
    QV_ScrollBar* bars[2] = { fHScroll, fVScroll };
    for (QV_ScrollBar* bar : bars)
        bar->Redraw(false);
}
