#include "qv_module.h"

#include "binding_conventions.h"

// The opener generated from qv.pkg.
int tolua_qv_open(lua_State* state);

int OpenQVModule(lua_State* state)
{
    tolua_qv_open(state);
    QV_LuaGuardOwnership(state, "QV");
    return 1;
}
