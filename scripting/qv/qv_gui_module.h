#pragma once

struct lua_State;

// Declares the script type names of QV.GUI, among them QV_Layer and QV_Dialog, which have no
// class table and serve only as bases in argument checks.
void RegisterQVGUITypes(lua_State* state);
// Opens QV.GUI inside QV (made when missing): its constants and classes; 1.
int OpenQVGUIModule(lua_State* state);
// Adds SimpleDialogRegister to QV.GUI; the script dialogs' QV.GUI.SimpleDialog calls it.
void RegisterSimpleDialogSupport(lua_State* state);
