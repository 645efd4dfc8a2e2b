#pragma once

// The functions behind the QV.GUI members that the generator cannot bind straight to a
// toolkit member: other native names, results kept past the call, and checks of their own.
// Widgets made here belong to no Lua object: to the view they are added to, a menu to the
// popup widget given it.

#include <cstdint>

struct lua_State;
struct rgb_color;
class QV_AngleWidget;
class QV_BaseWidget;
class QV_Button;
class QV_CheckBox;
class QV_ColorSwatch;
class QV_Dialog;
class QV_Divider;
class QV_DynamicText;
class QV_LayoutView;
class QV_Menu;
class QV_PopupDialog;
class QV_PopupMenu;
class QV_RadioButton;
class QV_SimpleDialog;
class QV_StaticText;
class QV_TextControl;
class QV_TextList;

namespace qvgui {

void Redraw(QV_BaseWidget* self);

void SetChecked(QV_Menu* self, const char* label, bool checked);
// "" when nothing matches.
const char* FirstCheckedLabel(QV_Menu* self);
const char* ItemLabel(QV_Menu* self, int32_t message);

// The widget takes the menu or dialog; one that another widget held is taken from it first,
// so each is deleted once. Nil raises the argument error.
void SetMenu(QV_PopupMenu* self, lua_State* state, QV_Menu* menu);
void SetDialog(QV_PopupDialog* self, lua_State* state, QV_Dialog* dialog);

// Null (nil) outside the items.
const char* GetItem(QV_TextList* self, int32_t index);
void RemoveItem(QV_TextList* self, int32_t index);
// Null (nil) when nothing is selected.
const char* SelItemLabel(QV_TextList* self);
void SetItemLabel(QV_TextList* self, int32_t index, const char* label);

void SetValue(QV_ColorSwatch* self, lua_State* state, rgb_color* colour);

// Raise an error, changing nothing, past the sixteen open levels or with none open.
void PushH2(QV_LayoutView* self, lua_State* state, int32_t align, int32_t spacing);
void PushV2(QV_LayoutView* self, lua_State* state, int32_t align, int32_t spacing);
void Pop(QV_LayoutView* self, lua_State* state);

// The window takes the dialog from Lua, which no longer frees it.
int32_t DoModal(QV_SimpleDialog* self, lua_State* state);
void DoModeless(QV_SimpleDialog* self, lua_State* state);
bool ValidateFloat(QV_SimpleDialog* self, QV_TextControl* control, float minimum, float maximum);

} // namespace qvgui

QV_StaticText* QVGUI_StaticText(const char* text);
QV_DynamicText* QVGUI_DynamicText(const char* text, int32_t width);
QV_Divider* QVGUI_Divider(bool vertical);
QV_Button* QVGUI_Button(const char* label, int32_t message);
QV_CheckBox* QVGUI_CheckBox(const char* label, int32_t message);
QV_RadioButton* QVGUI_RadioButton(const char* label, int32_t message);
QV_TextControl* QVGUI_TextControl(int32_t width, const char* text, int32_t message, int32_t kind);
QV_Menu* QVGUI_Menu(const char* title);
QV_PopupMenu* QVGUI_PopupMenu(int32_t width, bool checkedItems);
QV_PopupDialog* QVGUI_PopupDialog(const char* label, bool keepOpen, int32_t message);
QV_TextList* QVGUI_TextList(int32_t width, int32_t height, int32_t message);
QV_ColorSwatch* QVGUI_ColorSwatch(bool withAlpha, int32_t message);
QV_AngleWidget* QVGUI_AngleWidget(int32_t message);
QV_Button* QVGUI_ImageButton(const char* image, const char* label, bool toggle, int32_t message);
// The alert box over the main window: the index of the button pressed.
int32_t QVGUI_Alert(int32_t kind, const char* text1, const char* text2, const char* text3,
    const char* button1, const char* button2, const char* button3);
