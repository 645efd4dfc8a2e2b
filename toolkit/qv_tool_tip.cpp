#include "qv_tool_tip.h"

#include <algorithm>
#include <cstdlib>

#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_base_widget.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_message.h"

QV_ToolTip* gCurrentToolTip = nullptr;

namespace {

constexpr float kHideAfter = 3.0f;
constexpr int32_t kNear = 10;

} // namespace

QV_ToolTip::QV_ToolTip()
    : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
    , fAnchorX(0)
    , fAnchorY(0)
    , fTipWindow(nullptr)
    , fShowDelay(0.75f)
    , fShowTimer(0)
    , fHideTimer(0)
    , fShowing(false)
    , fTwoLines(false)
{
}

QV_ToolTip::~QV_ToolTip()
{
    Hide();
}

QV_Wnd* QV_ToolTip::LiveWindow()
{
    if (fTipWindow && fWindowWatch && fWindowWatch->Gone()) {
        fTipWindow = nullptr;
        fWindowWatch.reset();
        fShowTimer = 0;
        fHideTimer = 0;
        fShowing = false;
        fWindow = nullptr;
        if (gCurrentToolTip == this)
            gCurrentToolTip = nullptr;
    }
    return fTipWindow;
}

void QV_ToolTip::StopTimer(int32_t& timer)
{
    if (timer != 0 && LiveWindow())
        fTipWindow->RemoveTimer(uint32_t(timer));
    timer = 0;
}

void QV_ToolTip::Hide()
{
    if (LiveWindow()) {
        StopTimer(fShowTimer);
        StopTimer(fHideTimer);
    }
    if (fWindow)
        fWindow->RemoveLayer(this);
    fShowing = false;
    if (gCurrentToolTip == this)
        gCurrentToolTip = nullptr;
}

void QV_ToolTip::Place(int32_t width, int32_t height)
{
    ResizeTo(width, height);
    const QV_Rect client = fTipWindow->Bounds();
    int32_t left = fAnchorX;
    if (left + width - 1 > client.right)
        left = std::max(0, client.right - width - 5);
    int32_t top = fAnchorY + 20;
    if (top + height - 1 > client.bottom)
        top = fAnchorY - 20;
    MoveTo(left, top);
}

void QV_ToolTip::Show(QV_Wnd* window, int32_t x, int32_t y, const char* text)
{
    if (!window)
        return;
    if (window != LiveWindow()) {
        Hide();
        fTipWindow = window;
        fWindowWatch = std::make_unique<QV_Wnd::Watch>(window);
    }
    fAnchorX = x;
    fAnchorY = y;
    if (!text)
        text = "";
    QV_Font* font = gWidgetFont;
    const int32_t lineHeight = font ? font->LineHeight() : 13;
    int32_t width = (font ? font->StringWidth(text) : 0) + 14;
    int32_t height = lineHeight + 4;
    const QV_Rect client = window->Bounds();
    const QV_String all = text;
    const int32_t space = all.FindChar(' ');
    fTwoLines = width > client.right + 1 && space > 0;
    if (fTwoLines) {
        fLine1 = all.Left(space);
        fLine2 = all.Mid(space + 1, all.Length());
        const int32_t wider
            = font ? std::max(font->StringWidth(fLine1.CString()), font->StringWidth(fLine2.CString())) : 0;
        width = wider + 14;
        height += lineHeight;
    }
    if (fShowing) {
        if (fTipText == text)
            return;
        fTipText = text;
        StopTimer(fHideTimer);
        QV_Rect area = fFrame;
        Place(width, height);
        area.Union(fFrame);
        Draw();
        window->RedrawRect(area.left, area.top, area.right, area.bottom);
        fHideTimer = int32_t(window->AddTimer(kHideAfter, this, MSG_TIP_HIDE));
        return;
    }
    fTipText = text;
    Place(width, height);
    StopTimer(fShowTimer);
    fShowTimer = int32_t(window->AddTimer(fShowDelay, this, MSG_TICK));
}

void QV_ToolTip::HandleMessage(QV_Message* message)
{
    if (!message)
        return;
    if (message->fWhat == MSG_TICK) {
        if (!LiveWindow())
            return;
        StopTimer(fShowTimer);
        if (fShowing)
            return;
        const QV_Point pointer = fTipWindow->MousePosition();
        if (std::abs(pointer.x - fAnchorX) > kNear || std::abs(pointer.y - fAnchorY) > kNear)
            return;
        if (gCurrentToolTip && gCurrentToolTip != this)
            gCurrentToolTip->Hide();
        gCurrentToolTip = this;
        Draw();
        fTipWindow->AddLayer(this);
        fShowing = true;
        fHideTimer = int32_t(fTipWindow->AddTimer(kHideAfter, this, MSG_TIP_HIDE));
        return;
    }
    if (message->fWhat == MSG_TIP_HIDE) {
        if (!LiveWindow())
            return;
        StopTimer(fHideTimer);
        if (fShowing)
            Hide();
        return;
    }
    if (fWindow)
        fWindow->HandleMessage(message);
}

void QV_ToolTip::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_Wnd* window = fWindow;
    const int32_t wx = x + fFrame.left;
    const int32_t wy = y + fFrame.top;
    Hide();
    if (window)
        window->MouseDown(wx, wy, button, modifiers, message);
}

void QV_ToolTip::MouseDownOutside(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    Hide();
}

void QV_ToolTip::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    const int32_t wx = x + fFrame.left;
    const int32_t wy = y + fFrame.top;
    if (std::abs(wx - fAnchorX) > kNear || std::abs(wy - fAnchorY) > kNear)
        Hide();
}

void QV_ToolTip::KeyDown(int32_t key, int32_t modifiers)
{
    QV_Wnd* window = fWindow;
    Hide();
    if (window)
        window->KeyDown(key, modifiers);
}

void QV_ToolTip::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    graphics->BeginDraw();
    const QV_Rect bounds = Bounds();
    graphics->SetColorStruct(ToolTipBackground);
    graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    graphics->SetColorStruct(Text);
    graphics->SetFont(gWidgetFont);
    if (gWidgetFont) {
        const int32_t h = gWidgetFont->LineHeight();
        if (fTwoLines) {
            graphics->MoveTo(bounds.left + 7, bounds.top + 2 + h / 2);
            graphics->DrawText(fLine1.CString(), 4);
            graphics->MoveTo(bounds.left + 7, bounds.top + 2 + h + h / 2);
            graphics->DrawText(fLine2.CString(), 4);
        } else {
            const int32_t cx = bounds.left + (bounds.right - bounds.left + 1) / 2;
            const int32_t cy = bounds.top + (bounds.bottom - bounds.top + 1) / 2;
            graphics->MoveTo(cx - gWidgetFont->StringWidth(fTipText.CString()) / 2, cy);
            graphics->DrawText(fTipText.CString(), 4);
        }
    }
    graphics->FrameRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    graphics->EndDraw();
}

bool QV_ToolTip::BlocksClose()
{
    return false;
}

bool QV_ToolTip::KeepOnClose()
{
    return true;
}
