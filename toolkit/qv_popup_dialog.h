#pragma once
#include <cstdint>

#include "qv_base_widget.h"
#include "qv_stopwatch.h"
#include "qv_string.h"

class QV_Dialog;

// A button that shows a dialog as a popup layer below itself, for settings
// that need more room than a button. Its message is posted when the popup
// opens and again when it closes.
class QV_PopupDialog : public QV_BaseWidget {
public:
    QV_PopupDialog(const char* label, bool persistent, int32_t message);
    ~QV_PopupDialog() override;

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    // The button owns the dialog.
    void SetDialog(QV_Dialog* dialog);
    QV_Dialog* Dialog() const { return fDialog; }
    // From the dialog when the popup closes.
    void DialogClosed();

    QV_String fLabel;
    bool fPersistent;
    int32_t fMessage;
    bool fOpen;
    QV_Stopwatch fClosedClock;
    QV_Dialog* fDialog;
};
