#include "qv_gui_module.h"

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

// The opener generated from qv_gui.pkg.
int tolua_qv_gui_open(lua_State* state);

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
    tolua_open(state);
    RegisterQVGUITypes(state);
    tolua_qv_gui_open(state);
    return 1;
}
