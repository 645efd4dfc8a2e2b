#include "qv_popup_dialog.h"

#include "follow_flags.h"
#include "interface_fonts.h"
#include "qv_dialog.h"
#include "qv_font.h"
#include "qv_popup_menu.h"
#include "qv_wnd.h"

namespace {

// The press that closed the popup from outside also lands here; within this
// time it must not open the popup again.
constexpr float kReopenGuard = 0.25f;

} // namespace

QV_PopupDialog::QV_PopupDialog(const char* label, bool persistent, int32_t message)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fLabel(label ? label : "")
    , fPersistent(persistent)
    , fMessage(message)
    , fOpen(false)
    , fDialog(nullptr)
{
    fFont = gWidgetFont;
    const int32_t a = ScaledMetric20();
    ResizeTo(a + (gWidgetFont ? gWidgetFont->StringWidth(fLabel.CString()) : 0) + a * 3 / 4, a);
}

QV_PopupDialog::~QV_PopupDialog()
{
    if (fDialog) {
        fDialog->fPopupButton = nullptr;
        if (fDialog->fWindow)
            fDialog->fWindow->RemoveLayer(fDialog);
        delete fDialog;
    }
}

void QV_PopupDialog::SetDialog(QV_Dialog* dialog)
{
    fDialog = dialog;
    if (dialog) {
        dialog->fOwnerWidget = this;
        dialog->fPopupButton = this;
    }
}

void QV_PopupDialog::DialogClosed()
{
    fOpen = false;
    Redraw(true);
    fClosedClock.Start();
    PostMessage(fMessage);
}

void QV_PopupDialog::MouseDown(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    if (!fEnabled)
        return;
    if (fClosedClock.running && fClosedClock.Elapsed() < kReopenGuard)
        return;
    QV_Wnd* window = Window();
    if (fOpen || !fDialog || !window) {
        fOpen = false;
        Redraw(false);
        return;
    }
    PostMessage(fMessage);
    fOpen = true;
    Redraw(true);
    const QV_Rect b = Bounds();
    const QV_Point corner = ConvertToWindow({ b.left, b.bottom });
    fDialog->ShowPopup(window, corner.x, corner.y, fPersistent);
}

void QV_PopupDialog::DrawWidget(QV_Graphics* graphics)
{
    DrawPopupButtonFace(this, graphics, fOpen, fLabel.CString());
}
