#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "console_lines.h"
#include "qv_lua_console.h"
#include "qv_lua_context.h"
#include "qv_module.h"

struct CapturedLine {
    std::string text;
    uint32_t color;
};

// Collects the console lines printed while it lives.
class CapturedLines : public QV_ConsoleLineSink {
public:
    CapturedLines() { QV_LuaConsole::AddSink(this); }
    ~CapturedLines() override { QV_LuaConsole::RemoveSink(this); }
    void ConsoleLine(const char* text, rgb_color color) override
    {
        lines.push_back({ text, ColorValue(color) });
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const CapturedLine& line : lines)
            texts.push_back(line.text);
        return texts;
    }

    std::vector<CapturedLine> lines;
};

constexpr uint32_t kPrintColor = 0xff000000;

// A host with QV opened; Run executes a chunk the way callbacks run, through the protocol, so
// that its errors reach _ALERT.
class HostTest : public ::testing::Test {
protected:
    HostTest() { OpenQVModule(host.fState); }

    void Run(const char* code)
    {
        ASSERT_EQ(luaL_loadstring(host.fState, code), 0) << code;
        lua_setglobal(host.fState, "__chunk");
        ASSERT_EQ(host.BeginFunctionCall("__chunk"), 0);
        host.CallScript();
    }

    // The console lines printed by the chunk, joined by newlines.
    std::string Output(const char* code)
    {
        const size_t from = captured.lines.size();
        Run(code);
        std::string text;
        for (size_t i = from; i < captured.lines.size(); i++)
            text += (i > from ? "\n" : "") + captured.lines[i].text;
        return text;
    }

    double Number(const char* expression)
    {
        std::string code = std::string("return ") + expression;
        EXPECT_EQ(luaL_dostring(host.fState, code.c_str()), 0) << expression;
        const double value = lua_tonumber(host.fState, -1);
        lua_pop(host.fState, 1);
        return value;
    }

    CapturedLines captured;
    QV_LuaContext host;
};
