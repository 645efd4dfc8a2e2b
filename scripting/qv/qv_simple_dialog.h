#pragma once

#include <cstdint>

#include "qv_dialog.h"
#include "qv_string.h"

struct lua_State;
class QV_LayoutView;
class QV_LuaContext;

// A dialog built and handled by a script. Its script object is the dialog's own userdata,
// kept in the global named fName from registration until the dialog is destroyed; the
// callbacks (UpdateWidgets, HandleMessage, OnValidate, OnOK) are found through that global.
// Ids from MSG_BASE to MSG_BASE + 1000 stop at the script; every other message also goes on
// to the dialog's window.
class QV_SimpleDialog : public QV_Dialog {
public:
    explicit QV_SimpleDialog(const char* title);
    ~QV_SimpleDialog() override;

    QV_LayoutView* GetLayout() { return fLayout; }
    // Adds the right-aligned OK and Cancel row first; MSG_OK or MSG_CANCEL, and by then the
    // dialog is gone.
    int32_t DoModal() override;
    void DoModeless() override;
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;

    // The state whose scripts may still hold the dialog: set by registration or when the
    // dialog is handed to a window or a popup widget, so that its userdata is emptied when
    // the dialog goes.
    void NoteState(lua_State* state);

    QV_LuaContext* fContext;
    QV_String fName;
    QV_LayoutView* fLayout;

private:
    // The registering context while it still lives, else null.
    QV_LuaContext* LiveContext() const;
    lua_State* fState;
};

// Ties the dialog to the script object at the stack index of the state: the host context of
// that state is found and the object stored in the dialog's global. Without a context the
// dialog stays unregistered and never calls a script.
void SimpleDialogRegister(lua_State* state, QV_SimpleDialog* dialog, int objectIndex);
