#include "qv_gui_bindings.h"

#include <cstdio>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}
#include "tolua++.h"

#include "binding_conventions.h"
#include "follow_flags.h"
#include "qv_alert.h"
#include "qv_angle_widget.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_divider.h"
#include "qv_dynamic_text.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_popup_dialog.h"
#include "qv_popup_menu.h"
#include "qv_simple_dialog.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "qv_text_list.h"
#include "resource_images.h"

namespace {

// Texts handed to Lua by pointer must outlive the call that returns them.
const char* Kept(const QV_String& text)
{
    static QV_String kept;
    kept = text;
    return kept.CString();
}

[[noreturn]] void RaiseArgumentError(lua_State* state, const char* function, int index, const char* type)
{
    tolua_Error error { index, 0, type };
    char text[96];
    std::snprintf(text, sizeof(text), "#ferror in function '%s'.", function);
    tolua_error(state, text, &error);
    // tolua_error does not return; lua_error ends the call should it ever.
    lua_error(state);
    __builtin_unreachable();
}

// From here the dialog is freed by its window or widget, never by Lua or the script.
void HandOver(lua_State* state, QV_Dialog* dialog)
{
    QV_LuaReleaseObject(state, dialog);
    if (auto* simple = dynamic_cast<QV_SimpleDialog*>(dialog))
        simple->NoteState(state);
}

QV_Wnd* MainWindow()
{
    return gApp ? gApp->fMainWindow : nullptr;
}

} // namespace

namespace qvgui {

void Redraw(QV_BaseWidget* self)
{
    self->Redraw(true);
}

void SetChecked(QV_Menu* self, const char* label, bool checked)
{
    self->SetCheckedLabel(label ? label : "", checked);
}

const char* FirstCheckedLabel(QV_Menu* self)
{
    return Kept(self->FirstCheckedLabel());
}

const char* ItemLabel(QV_Menu* self, int32_t message)
{
    return Kept(self->ItemLabel(message));
}

void SetMenu(QV_PopupMenu* self, lua_State* state, QV_Menu* menu)
{
    if (!menu)
        RaiseArgumentError(state, "SetMenu", 2, "QV_Menu");
    if (menu->fOwnerButton && menu->fOwnerButton != self)
        menu->fOwnerButton->SetMenu(nullptr);
    self->SetMenu(menu);
}

void SetDialog(QV_PopupDialog* self, lua_State* state, QV_Dialog* dialog)
{
    if (!dialog)
        RaiseArgumentError(state, "SetDialog", 2, "QV_Dialog");
    if (dialog->fPopupButton && dialog->fPopupButton != self)
        dialog->fPopupButton->SetDialog(nullptr);
    HandOver(state, dialog);
    self->SetDialog(dialog);
}

const char* GetItem(QV_TextList* self, int32_t index)
{
    if (index < 0 || index >= self->CountItems())
        return nullptr;
    return self->GetItem(index);
}

void RemoveItem(QV_TextList* self, int32_t index)
{
    if (index >= 0)
        self->RemoveItem(index);
}

const char* SelItemLabel(QV_TextList* self)
{
    return self->SelItem() < 0 ? nullptr : self->SelItemLabel();
}

void SetItemLabel(QV_TextList* self, int32_t index, const char* label)
{
    if (index >= 0)
        self->SetItemLabel(index, label);
}

void SetValue(QV_ColorSwatch* self, lua_State* state, rgb_color* colour)
{
    if (!colour)
        RaiseArgumentError(state, "SetValue", 2, "rgb_color");
    rgb_color copy = *colour;
    if (!self->fWithAlpha)
        copy.a = 255;
    self->SetValue(copy);
}

void PushH2(QV_LayoutView* self, lua_State* state, int32_t align, int32_t spacing)
{
    if (!self->Push(false, align, spacing, 0, 0))
        luaL_error(state, "PushH: 16 rows and columns are open already");
}

void PushV2(QV_LayoutView* self, lua_State* state, int32_t align, int32_t spacing)
{
    if (!self->Push(true, align, spacing, 0, 0))
        luaL_error(state, "PushV: 16 rows and columns are open already");
}

void Pop(QV_LayoutView* self, lua_State* state)
{
    if (!self->Pop())
        luaL_error(state, "Pop: no row or column is open");
}

int32_t DoModal(QV_SimpleDialog* self, lua_State* state)
{
    HandOver(state, self);
    return self->DoModal();
}

void DoModeless(QV_SimpleDialog* self, lua_State* state)
{
    HandOver(state, self);
    self->DoModeless();
}

bool ValidateFloat(QV_SimpleDialog*, QV_TextControl* control, float minimum, float maximum)
{
    return QV_Dialog::ValidateFloat(control, minimum, maximum);
}

} // namespace qvgui

QV_StaticText* QVGUI_StaticText(const char* text)
{
    return new QV_StaticText(text ? text : "");
}

QV_DynamicText* QVGUI_DynamicText(const char* text, int32_t width)
{
    return new QV_DynamicText(text ? text : "", width, QV_DynamicText::kAlignLeft);
}

QV_Divider* QVGUI_Divider(bool vertical)
{
    return new QV_Divider(vertical);
}

QV_Button* QVGUI_Button(const char* label, int32_t message)
{
    return new QV_Button(label ? label : "", message, 0, false, FOLLOW_LEFT | FOLLOW_TOP);
}

QV_CheckBox* QVGUI_CheckBox(const char* label, int32_t message)
{
    return new QV_CheckBox(label ? label : "", message);
}

QV_RadioButton* QVGUI_RadioButton(const char* label, int32_t message)
{
    return new QV_RadioButton(label ? label : "", message);
}

QV_TextControl* QVGUI_TextControl(int32_t width, const char* text, int32_t message, int32_t kind)
{
    return new QV_TextControl(width, text ? text : "", message, kind);
}

QV_Menu* QVGUI_Menu(const char* title)
{
    return new QV_Menu(title ? title : "");
}

QV_PopupMenu* QVGUI_PopupMenu(int32_t width, bool checkedItems)
{
    return new QV_PopupMenu(width, checkedItems);
}

QV_PopupDialog* QVGUI_PopupDialog(const char* label, bool keepOpen, int32_t message)
{
    return new QV_PopupDialog(label ? label : "", keepOpen, message);
}

QV_TextList* QVGUI_TextList(int32_t width, int32_t height, int32_t message)
{
    auto* list = new QV_TextList(message);
    list->ResizeTo(width, height);
    return list;
}

QV_ColorSwatch* QVGUI_ColorSwatch(bool withAlpha, int32_t message)
{
    return new QV_ColorSwatch(withAlpha, rgb_color { 255, 255, 255, 255 }, message);
}

QV_AngleWidget* QVGUI_AngleWidget(int32_t message)
{
    return new QV_AngleWidget(message);
}

QV_Button* QVGUI_ImageButton(const char* image, const char* label, bool toggle, int32_t message)
{
    return new QV_Button(
        GetResourceImage(image ? image : ""), label ? label : "", toggle, message, FOLLOW_LEFT | FOLLOW_TOP);
}

int32_t QVGUI_Alert(int32_t kind, const char* text1, const char* text2, const char* text3,
    const char* button1, const char* button2, const char* button3)
{
    return Alert(MainWindow(), kind, text1, text2, text3, button1, button2, button3);
}
