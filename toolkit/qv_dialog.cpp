#include "qv_dialog.h"

#include "interface_colors.h"
#include "plat_beep.h"
#include "plat_time.h"
#include "qv_app.h"
#include "qv_base_widget.h"
#include "qv_button.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_popup_dialog.h"
#include "qv_text_control.h"

void PressButton(QV_View* button)
{
    if (!button)
        return;
    button->RouteMouseDown(1, 1, 1, 0, nullptr);
    PlatSleep(kKeyPressPauseMs);
    button->RouteMouseUp(1, 1, 1, 0, nullptr);
}


QV_Dialog::QV_Dialog(const char* title, QV_Wnd* ownerWindow)
    : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
    , fOwnerWidget(nullptr)
    , fPopupButton(nullptr)
    , fIsPopup(false)
    , fPersistent(false)
    , fTitle(title ? title : "")
    , fOwnerWindow(ownerWindow)
    , fDefaultButton(nullptr)
    , fCancelButton(nullptr)
    , fInitialFocus(nullptr)
{
}

QV_Dialog::~QV_Dialog()
{
    if (fWindow)
        fWindow->RemoveLayer(this);
}

int32_t QV_Dialog::DoModal()
{
    fIsPopup = false;
    PrepareLayout();
    Layout();
    const QV_Point size = { fFrame.right - fFrame.left + 1, fFrame.bottom - fFrame.top + 1 };
    auto* window = new QV_DialogWnd(this, fTitle.CString(), fOwnerWindow, 64, 64, 63 + size.x, 63 + size.y);
    if (!window->fHwnd) {
        window->RemoveLayer(this);
        delete window;
        delete this;
        return MSG_CANCEL;
    }
    if (!fSettingsName.IsEmpty())
        window->fLocationName = fSettingsName;
    window->Center();
    ExchangeData(false);
    return window->RunModal();
}

void QV_Dialog::DoModeless()
{
    fIsPopup = false;
    PrepareLayout();
    Layout();
    const QV_Point size = { fFrame.right - fFrame.left + 1, fFrame.bottom - fFrame.top + 1 };
    auto* window
        = new QV_ModelessDialogWnd(this, fTitle.CString(), fOwnerWindow, 64, 64, 63 + size.x, 63 + size.y);
    if (!window->fHwnd) {
        window->RemoveLayer(this);
        delete window;
        delete this;
        return;
    }
    window->Center();
    ExchangeData(false);
    window->Show();
}

void QV_Dialog::ShowPopup(QV_Wnd* window, int32_t x, int32_t y, bool persistent)
{
    if (fWindow || !window)
        return;
    fPersistent = persistent;
    fIsPopup = true;
    PrepareLayout();
    Layout();
    MoveTo(x, y);
    ExchangeData(false);
    window->AddLayer(this);
}

void QV_Dialog::ExchangeData(bool) { }

bool QV_Dialog::OnValidate()
{
    return true;
}

void QV_Dialog::PrepareLayout() { }

void QV_Dialog::DialogClosed(int32_t) { }

void QV_Dialog::AddOkCancelRow(QV_LayoutView* content, QV_Button** ok, QV_Button** cancel)
{
    content->PushH(ALIGN_RIGHT, 8);
    auto* okButton = new QV_Button(Localize("/Strings/OK=OK"), MSG_OK, 64, true, 3);
    auto* cancelButton = new QV_Button(Localize("/Strings/Cancel=Cancel"), MSG_CANCEL, 64, false, 3);
    content->AddChild(okButton);
    content->AddChild(cancelButton);
    content->Pop();
    fDefaultButton = okButton;
    fCancelButton = cancelButton;
    if (ok)
        *ok = okButton;
    if (cancel)
        *cancel = cancelButton;
}

bool QV_Dialog::ValidateFloat(QV_TextControl* field, float minimum, float maximum)
{
    if (!field)
        return false;
    const float value = field->FloatValue();
    if (value < minimum) {
        field->SetValue(minimum);
        return false;
    }
    if (value > maximum) {
        field->SetValue(maximum);
        return false;
    }
    return true;
}

void QV_Dialog::ClosePopup()
{
    if (fWindow)
        fWindow->RemoveLayer(this);
    if (fPopupButton)
        fPopupButton->DialogClosed();
}

void QV_Dialog::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == MSG_CANCEL && fIsPopup && fPersistent) {
        ClosePopup();
        return;
    }
    if (fWindow)
        fWindow->HandleMessage(message);
}

void QV_Dialog::Activate()
{
    QV_Layer::Activate();
    if (fIsPopup && fWindow) {
        const QV_Rect client = fWindow->Bounds();
        int32_t dx = 0;
        int32_t dy = 0;
        if (fFrame.right > client.right)
            dx = client.right - fFrame.right;
        if (fFrame.bottom > client.bottom)
            dy = client.bottom - fFrame.bottom;
        if (dx != 0 || dy != 0)
            fFrame = { fFrame.left + dx, fFrame.top + dy, fFrame.right + dx, fFrame.bottom + dy };
    }
    if (fInitialFocus && fInitialFocus->AcceptsFocus()) {
        fInitialFocus->fFocused = true;
        SetFocus(fInitialFocus);
        fInitialFocus->FocusChanged(true);
    }
}

void QV_Dialog::MouseDownOutside(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    if (!fIsPopup || !OnValidate())
        return;
    ExchangeData(true);
    if (!fPersistent)
        ClosePopup();
}

void QV_Dialog::KeyDown(int32_t key, int32_t modifiers)
{
    QV_Layer::KeyDown(key, modifiers);
    QV_View* focused = fFocusWidget;
    if (!fIsPopup) {
        if (key == KEY_RETURN && fDefaultButton && !(focused && focused->WantsReturn()))
            PressButton(fDefaultButton);
        else if (key == KEY_ESCAPE && fCancelButton)
            PressButton(fCancelButton);
        return;
    }
    if (key == KEY_RETURN) {
        if (focused && focused->WantsReturn())
            return;
        if (fDefaultButton) {
            PressButton(fDefaultButton);
            PlatSleep(kKeyPressPauseMs);
        }
        if (OnValidate()) {
            ExchangeData(true);
            if (!fPersistent)
                ClosePopup();
        }
    } else if (key == KEY_ESCAPE) {
        if (fCancelButton) {
            PressButton(fCancelButton);
            PlatSleep(kKeyPressPauseMs);
        }
        ClosePopup();
    }
}

void QV_Dialog::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (graphics) {
        graphics->BeginDraw();
        const QV_Rect bounds = Bounds();
        if (fIsPopup) {
            graphics->FillGradientRect(0, true, ButtonGradient1, ButtonGradient2, bounds.left, bounds.top,
                bounds.right, bounds.bottom);
            graphics->SetColorStruct(WidgetOutline);
            graphics->FrameRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
        } else {
            graphics->SetColorStruct(WindowBackground);
            graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
        }
        graphics->EndDraw();
    }
    QV_Layer::Draw();
}

bool QV_Dialog::BlocksClose()
{
    return !fIsPopup;
}

bool QV_Dialog::KeepOnClose()
{
    return fIsPopup;
}

bool QV_Dialog::TabNavigation()
{
    return true;
}

QV_DialogWnd::QV_DialogWnd(
    QV_Dialog* dialog, const char* title, QV_Wnd* parent, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    : QV_Wnd(2, title, false, parent, x1, y1, x2, y2)
    , fDialog(dialog)
{
    AddLayer(dialog);
}

void QV_DialogWnd::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == MSG_CANCEL) {
        fDialog->DialogClosed(MSG_CANCEL);
        EndModal(true, MSG_CANCEL);
        return;
    }
    if (message && message->fWhat == MSG_OK) {
        if (!fDialog->OnValidate()) {
            PlatBeep();
            return;
        }
        fDialog->ExchangeData(true);
        fDialog->DialogClosed(MSG_OK);
        EndModal(true, MSG_OK);
        return;
    }
    QV_Wnd::HandleMessage(message);
}

QV_ModelessDialogWnd::QV_ModelessDialogWnd(
    QV_Dialog* dialog, const char* title, QV_Wnd* parent, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    : QV_Wnd(5, title, false, parent, x1, y1, x2, y2)
    , fDialog(dialog)
{
    AddLayer(dialog);
}

bool QV_ModelessDialogWnd::QuitRequested()
{
    return fDialog->OnValidate();
}

void QV_ModelessDialogWnd::Closed()
{
    fDialog->ExchangeData(true);
    fDialog->DialogClosed(MSG_OK);
}
