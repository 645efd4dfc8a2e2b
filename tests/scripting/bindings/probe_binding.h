#pragma once

// A small class bound only for the tests of the binding conventions: parameters with defaults,
// and objects whose deletions are counted.

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

#include "binding_conventions.h"

struct ProbeObject {
    ProbeObject();
    ~ProbeObject();
    // Records what it was given; returns n.
    int Defaults(int n, bool flag, const char* text);
    bool Flag() { return lastFlag; }

    int value = 0;
    bool lastFlag = false;

    static int live;
    static int deletions;
    static const char* lastText;
};

// An object that the application owns.
ProbeObject* ApplicationObject();

int OpenProbeModule(lua_State* state);
