#include "qv_gui_module.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}
#include "tolua++.h"

#include "binding_conventions.h"
#include "qv_simple_dialog.h"
#include "qv_text_list.h"

// The opener generated from qv_gui.pkg.
int tolua_qv_gui_open(lua_State* state);

namespace {

// QV_TextList.SetSelItem chooses its form by the Lua type of the argument: a number selects
// by index, anything else (a numeric string too, and nil) by label.
int SetSelItemBinding(lua_State* state)
{
    tolua_Error error;
    if (!tolua_isusertype(state, 1, "QV_TextList", 0, &error) || !tolua_isnoobj(state, 3, &error)) {
        tolua_error(state, "#ferror in function 'SetSelItem'.", &error);
        return 0;
    }
    auto* self = static_cast<QV_TextList*>(tolua_tousertype(state, 1, nullptr));
    if (!self)
        tolua_error(state, "invalid 'self' in function 'SetSelItem'", nullptr);
    if (lua_type(state, 2) == LUA_TNUMBER) {
        self->SetSelItem(int32_t(QV_LuaInt(lua_tonumber(state, 2))));
        return 0;
    }
    if (!tolua_isstring(state, 2, 0, &error)) {
        tolua_error(state, "#ferror in function 'SetSelItem'.", &error);
        return 0;
    }
    const char* label = lua_tostring(state, 2);
    lua_pushboolean(state, self->SetSelItem(label ? label : ""));
    return 1;
}

// Stores argument 1, which must be a script dialog, as the dialog's script object.
int SimpleDialogRegisterBinding(lua_State* state)
{
    tolua_Error error;
    if (lua_isnil(state, 1) || !tolua_isusertype(state, 1, "QV_SimpleDialog", 0, &error)) {
        error = { 1, 0, "QV_SimpleDialog" };
        tolua_error(state, "#ferror in function 'SimpleDialogRegister'.", &error);
        return 0;
    }
    auto* dialog = static_cast<QV_SimpleDialog*>(tolua_tousertype(state, 1, nullptr));
    if (!dialog)
        tolua_error(state, "invalid 'self' in function 'SimpleDialogRegister'", nullptr);
    SimpleDialogRegister(state, dialog, 1);
    return 0;
}

// A constructor of script dialogs that tells each new dialog its state, so that whatever way
// the dialog goes, its userdata and its widgets' are emptied there.
int NotingConstructor(lua_State* state)
{
    const int args = lua_gettop(state);
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, args, LUA_MULTRET);
    if (lua_type(state, 1) == LUA_TUSERDATA) {
        if (auto* dialog = static_cast<QV_SimpleDialog*>(tolua_tousertype(state, 1, nullptr)))
            dialog->NoteState(state);
    }
    return lua_gettop(state);
}

void WrapConstructors(lua_State* state)
{
    luaL_getmetatable(state, "QV_SimpleDialog");
    if (lua_istable(state, -1)) {
        for (const char* name : { "new", "new_local", ".call" }) {
            lua_pushstring(state, name);
            lua_rawget(state, -2);
            if (lua_isfunction(state, -1)) {
                lua_pushcclosure(state, NotingConstructor, 1);
                lua_pushstring(state, name);
                lua_insert(state, -2);
                lua_rawset(state, -3);
            } else {
                lua_pop(state, 1);
            }
        }
    }
    lua_pop(state, 1);
}

// Replaces a method of a class table.
void SetMethod(lua_State* state, const char* typeName, const char* name, lua_CFunction function)
{
    luaL_getmetatable(state, typeName);
    if (lua_istable(state, -1)) {
        lua_pushstring(state, name);
        lua_pushcfunction(state, function);
        lua_rawset(state, -3);
    }
    lua_pop(state, 1);
}

} // namespace

void RegisterQVGUITypes(lua_State* state)
{
    static const char* const kTypes[] = { "QV_StaticText", "QV_PopupDialog", "QV_Divider", "QV_DynamicText",
        "QV_PopupMenu", "QV_RadioButton", "QV_TextControl", "QV_Matrix", "QV_SimpleDialog", "QV_Vector2",
        "rgb_color", "QV_BaseWidget", "QV_Point", "QV_AngleWidget", "QV_Vector3", "QV_Message", "QV_View",
        "QV_LayoutView", "QV_ColorSwatch", "QV_CheckBox", "QV_TextList", "QV_Dialog", "QV_Layer", "QV_Button",
        "QV_Rect", "QV_Menu", "QV_Graphics" };
    // Declaring a name again keeps its first declaration.
    for (const char* type : kTypes)
        tolua_usertype(state, type);
}

int OpenQVGUIModule(lua_State* state)
{
    const int top = lua_gettop(state);
    tolua_open(state);
    RegisterQVGUITypes(state);
    tolua_qv_gui_open(state);
    SetMethod(state, "QV_TextList", "SetSelItem", SetSelItemBinding);
    WrapConstructors(state);
    QV_LuaGuardOwnership(state, "QV.GUI");
    lua_settop(state, top);
    return 1;
}

void RegisterSimpleDialogSupport(lua_State* state)
{
    const int top = lua_gettop(state);
    lua_getglobal(state, "QV");
    if (lua_istable(state, -1)) {
        lua_getfield(state, -1, "GUI");
        if (lua_istable(state, -1)) {
            lua_pushcfunction(state, SimpleDialogRegisterBinding);
            lua_setfield(state, -2, "SimpleDialogRegister");
        }
    }
    lua_settop(state, top);
}
