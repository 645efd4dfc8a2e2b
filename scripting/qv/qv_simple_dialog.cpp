#include "qv_simple_dialog.h"

#include <cstdio>

extern "C" {
#include <lua.h>
}

#include "binding_conventions.h"
#include "follow_flags.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_layout_view.h"
#include "qv_lua_context.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"

namespace {

// Every dialog of a run gets its own number, so no two share a global.
int32_t gDialogCounter = 0;

constexpr int32_t kFirstScriptMessage = -10000;
constexpr int32_t kLastScriptMessage = -9000;

QV_Wnd* MainWindow()
{
    return gApp ? gApp->fMainWindow : nullptr;
}

// The widgets of a dialog go with it; a script that kept one must meet the self error, not a
// freed widget.
void ForgetViews(lua_State* state, QV_View* view)
{
    for (int32_t i = 0; i < view->fChildCount; i++)
        ForgetViews(state, view->fChildren[i]);
    if (auto* popup = dynamic_cast<QV_PopupMenu*>(view); popup && popup->fMenu)
        QV_LuaInvalidateObject(state, popup->fMenu, "QV_Menu");
    QV_LuaInvalidateObject(state, view, "QV_View");
}

} // namespace

QV_SimpleDialog::QV_SimpleDialog(const char* title)
    : QV_Dialog(title, MainWindow())
    , fContext(nullptr)
    , fLayout(nullptr)
    , fState(nullptr)
{
    char name[32];
    std::snprintf(name, sizeof(name), "QV_SimpleDialog%i", ++gDialogCounter);
    fName = name;
    fLayout = new QV_LayoutView(true, 8, 8, 8);
    fLayout->fFollow = FOLLOW_LEFT | FOLLOW_TOP;
    AddView(fLayout);
}

QV_SimpleDialog::~QV_SimpleDialog()
{
    QV_LuaContext* context = LiveContext();
    lua_State* state = context ? context->fState : (QV_LuaContext::FromState(fState) ? fState : nullptr);
    if (!state)
        return;
    QV_LuaContext* owner = context ? context : QV_LuaContext::FromState(state);
    owner->Lock();
    if (context) {
        lua_pushnil(state);
        lua_setglobal(state, fName.CString());
    }
    for (int32_t i = 0; i < fViewCount; i++)
        ForgetViews(state, fViews[i]);
    QV_LuaInvalidateObject(state, this, "QV_SimpleDialog");
    QV_LuaInvalidateObject(state, this, "QV_Dialog");
    owner->Unlock();
}

QV_LuaContext* QV_SimpleDialog::LiveContext() const
{
    return fContext && QV_LuaContext::IsLive(fContext) ? fContext : nullptr;
}

void QV_SimpleDialog::NoteState(lua_State* state)
{
    if (!fState)
        fState = state;
}

int32_t QV_SimpleDialog::DoModal()
{
    fLayout->Push(false, ALIGN_RIGHT, 8, 0, 0);
    auto* ok = new QV_Button("OK", MSG_OK, 64, true, FOLLOW_LEFT | FOLLOW_TOP);
    auto* cancel = new QV_Button("Cancel", MSG_CANCEL, 64, false, FOLLOW_LEFT | FOLLOW_TOP);
    fLayout->AddChild(ok, 0, 0);
    fLayout->AddChild(cancel, 0, 0);
    fLayout->Pop();
    fDefaultButton = ok;
    fCancelButton = cancel;
    Layout();
    return QV_Dialog::DoModal();
}

void QV_SimpleDialog::DoModeless()
{
    Layout();
    QV_Dialog::DoModeless();
}

void QV_SimpleDialog::HandleMessage(QV_Message* message)
{
    if (!message || message->fWhat == 0)
        return;
    const int32_t what = message->fWhat;
    if (QV_LuaContext* context = LiveContext()) {
        if (context->BeginScriptCall(fName.CString(), "HandleMessage") == kScriptOK) {
            context->PushNumber(what);
            context->CallScript();
        }
    }
    if (what < kFirstScriptMessage || what > kLastScriptMessage)
        QV_Dialog::HandleMessage(message);
}

void QV_SimpleDialog::ExchangeData(bool apply)
{
    QV_LuaContext* context = LiveContext();
    if (context && context->BeginScriptCall(fName.CString(), apply ? "OnOK" : "UpdateWidgets") == kScriptOK)
        context->CallScript();
}

bool QV_SimpleDialog::OnValidate()
{
    bool valid = true;
    QV_LuaContext* context = LiveContext();
    if (context && context->BeginScriptCall(fName.CString(), "OnValidate") == kScriptOK)
        context->CallScriptBool(valid);
    return valid;
}

void SimpleDialogRegister(lua_State* state, QV_SimpleDialog* dialog, int objectIndex)
{
    if (!dialog)
        return;
    dialog->NoteState(state);
    dialog->fContext = QV_LuaContext::FromState(state);
    if (!dialog->fContext)
        return;
    lua_pushvalue(state, objectIndex);
    lua_setglobal(state, dialog->fName.CString());
}
