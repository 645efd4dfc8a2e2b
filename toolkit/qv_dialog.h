#pragma once
#include <cstdint>

#include "message_ids.h"
#include "qv_layer.h"
#include "qv_string.h"
#include "qv_wnd.h"

class QV_BaseWidget;
class QV_PopupDialog;
class QV_TextControl;

// The pause a key-pressed button shows itself pressed.
constexpr uint32_t kKeyPressPauseMs = 200;

// A layer of widgets with the dialog protocol: laid out, loaded from the
// model (ExchangeData(false)), validated and written back on OK
// (ExchangeData(true)). Shown modally in its own window, modelessly in a
// tool window, or as a popup layer of an existing window.
class QV_Button;
class QV_LayoutView;

class QV_Dialog : public QV_Layer {
public:
    QV_Dialog(const char* title, QV_Wnd* ownerWindow);
    ~QV_Dialog() override;

    // The dialog is deleted with its window before this returns.
    virtual int32_t DoModal();
    virtual void DoModeless();
    virtual void ShowPopup(QV_Wnd* window, int32_t x, int32_t y, bool persistent);
    virtual void ExchangeData(bool apply);
    virtual bool OnValidate();
    virtual void PrepareLayout();
    virtual void DialogClosed(int32_t id);

    void HandleMessage(QV_Message* message) override;
    void Activate() override;
    void MouseDownOutside(
        int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    void Draw() override;
    bool BlocksClose() override;
    bool KeepOnClose() override;
    bool TabNavigation() override;

    // The right-aligned OK and Cancel row every modal dialog ends with; Return and Escape press them.
    void AddOkCancelRow(QV_LayoutView* content, QV_Button** ok = nullptr, QV_Button** cancel = nullptr);
    // Puts the nearest allowed value into the field when it is out of range.
    static bool ValidateFloat(QV_TextControl* field, float minimum, float maximum);
    void ClosePopup();

    QV_BaseWidget* fOwnerWidget;
    QV_PopupDialog* fPopupButton;
    bool fIsPopup;
    bool fPersistent;
    QV_String fTitle;
    QV_Wnd* fOwnerWindow;
    QV_View* fDefaultButton;
    QV_View* fCancelButton;
    QV_BaseWidget* fInitialFocus;
    QV_String fSettingsName;
};

// A press from the keyboard: the button shows itself pressed, a pause, then
// the release posts its message as a click would.
void PressButton(QV_View* button);

class QV_DialogWnd : public QV_Wnd {
public:
    QV_DialogWnd(
        QV_Dialog* dialog, const char* title, QV_Wnd* parent, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void HandleMessage(QV_Message* message) override;

    QV_Dialog* fDialog;
};

class QV_ModelessDialogWnd : public QV_Wnd {
public:
    QV_ModelessDialogWnd(
        QV_Dialog* dialog, const char* title, QV_Wnd* parent, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    bool QuitRequested() override;
    void Closed() override;

    QV_Dialog* fDialog;
};
