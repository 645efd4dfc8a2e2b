#pragma once

struct lua_State;

// Declares the 48 script type names that VORN's signatures use.
void RegisterVornTypes(lua_State* state);
// Opens the document module VORN (after QV and QV.GUI, whose classes it builds on); 1.
int OpenVornModule(lua_State* state);
