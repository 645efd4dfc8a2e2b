#include "probe_binding.h"

int ProbeObject::live = 0;
int ProbeObject::deletions = 0;
const char* ProbeObject::lastText = nullptr;

ProbeObject::ProbeObject()
{
    live++;
}

ProbeObject::~ProbeObject()
{
    live--;
    deletions++;
}

int ProbeObject::Defaults(int n, bool flag, const char* text)
{
    lastFlag = flag;
    lastText = text;
    return n;
}

ProbeObject* ApplicationObject()
{
    static ProbeObject object;
    return &object;
}

int tolua_probe_open(lua_State* state);

int OpenProbeModule(lua_State* state)
{
    tolua_probe_open(state);
    QV_LuaGuardOwnership(state, "Probe");
    return 1;
}
