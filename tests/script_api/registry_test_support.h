#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "qv_lua_console.h"
#include "qv_message.h"
#include "script.h"
#include "script_registry.h"
#include "vorn_module.h"

struct ConsoleLine {
    std::string text;
    uint32_t color;
};

class ConsoleCapture : public QV_ConsoleLineSink {
public:
    ConsoleCapture() { QV_LuaConsole::AddSink(this); }
    ~ConsoleCapture() override { QV_LuaConsole::RemoveSink(this); }
    void ConsoleLine(const char* text, rgb_color color) override
    {
        lines.push_back({ text, ColorValue(color) });
    }

    std::vector<struct ConsoleLine> lines;
};

// A scratch application folder with a scripts folder, and a registry on it.
class RegistryTest : public ::testing::Test {
protected:
    // A folder of its own per run: two test programs running the same test at once (two
    // builds, or ctest -j) never share it.
    RegistryTest()
        : app(MakeScratchFolder())
    {
        std::filesystem::create_directories(app / "scripts");
    }
    ~RegistryTest() override { std::filesystem::remove_all(app); }

    static std::filesystem::path MakeScratchFolder()
    {
        std::string pattern = (std::filesystem::path(::testing::TempDir())
            / ("registry_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_XXXXXX"))
                                  .string();
        if (!mkdtemp(pattern.data()))
            return std::filesystem::path(::testing::TempDir()) / "registry_unmade";
        return pattern;
    }

    // Writes the file under scripts/, making its folders.
    void Write(const std::string& relative, const std::string& text)
    {
        const std::filesystem::path path = app / "scripts" / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // A tool or menu script whose table is named after it.
    static std::string Table(const std::string& name, const std::string& body = "")
    {
        return name + " = {}\nScriptName = '" + name + "'\n" + body;
    }

    ScriptRegistry& Registry()
    {
        if (!registry) {
            registry = std::make_unique<ScriptRegistry>(&settings, OpenVornModule);
            registry->fScriptsFolder = (app / "scripts").string().c_str();
        }
        return *registry;
    }

    ToolScript& Tool(int32_t index) { return *Registry().ToolAt(index); }

    std::string FileOf(const Script& script) const
    {
        return std::filesystem::path(script.fPath.CString()).filename().string();
    }

    // Runs the chunk with the globals as they are; "" or the error text.
    std::string RunChunk(const std::string& code)
    {
        lua_State* state = Registry().fState;
        std::string error;
        if (luaL_dostring(state, code.c_str()) != 0)
            error = lua_tostring(state, -1) ? lua_tostring(state, -1) : "?";
        lua_settop(state, 0);
        return error;
    }

    std::string Global(const char* expression)
    {
        lua_State* state = Registry().fState;
        luaL_dostring(state, (std::string("return tostring(") + expression + ")").c_str());
        std::string text = lua_tostring(state, -1) ? lua_tostring(state, -1) : "";
        lua_settop(state, 0);
        return text;
    }

    ConsoleCapture console;
    std::filesystem::path app;
    QV_Message settings;
    std::unique_ptr<ScriptRegistry> registry;
};

inline bool SameColor(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
