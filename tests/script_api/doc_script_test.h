#pragma once

#include <string>

#include "registry_test_support.h"
#include "tolua++.h"

#include "script_interface.h"
#include "script_object_record.h"
#include "vorndoc.h"

// A registry on a document, for the table-driven scripts of lua/. Every chunk sees si (the
// record, on whichever layer the fixture gives it), doc, printed() (the console lines written
// since the last call) and the globals the fixture adds in SetGlobals().
class DocScriptTest : public RegistryTest {
protected:
    // The fixture's own globals, set before every chunk.
    virtual void SetGlobals() { }

    // The fixture a probe of Function() was made by.
    template <typename Fixture> static Fixture* Self(lua_State* state)
    {
        return static_cast<Fixture*>(static_cast<DocScriptTest*>(lua_touserdata(state, lua_upvalueindex(1))));
    }

    void Global(const char* name, void* object, const char* type)
    {
        tolua_pushusertype(Registry().fState, object, type);
        lua_setglobal(Registry().fState, name);
    }
    using RegistryTest::Global;

    // A global function that can reach this fixture through Self().
    void Function(const char* name, lua_CFunction function)
    {
        lua_State* state = Registry().fState;
        lua_pushlightuserdata(state, static_cast<DocScriptTest*>(this));
        lua_pushcclosure(state, function, 1);
        lua_setglobal(state, name);
    }

    // Runs the chunk with the globals set; "" or the error text.
    std::string Run(const std::string& code)
    {
        Global("si", &record, "ScriptInterface");
        Global("doc", &doc, "VornDoc");
        Function("printed", Printed);
        SetGlobals();
        return RunChunk(code);
    }

    // Runs lua/check.lua (the checks the scripts share), then lua/NAME.
    std::string RunFile(const std::string& name)
    {
        const std::string folder = DOC_BINDINGS_LUA;
        const std::string check = Run("dofile('" + folder + "/check.lua')");
        if (!check.empty())
            return check;
        return Run("dofile('" + folder + "/" + name + "')");
    }

    VornDoc doc;
    ScriptInterface record { &doc, nullptr };

private:
    static int Printed(lua_State* state)
    {
        QV_LuaConsole::FlushPending();
        DocScriptTest* self = Self<DocScriptTest>(state);
        std::string text;
        for (size_t i = self->seen; i < self->console.lines.size(); i++)
            text += (text.empty() ? "" : "\n") + self->console.lines[i].text;
        self->seen = self->console.lines.size();
        lua_pushstring(state, text.c_str());
        return 1;
    }

    size_t seen = 0;
};
