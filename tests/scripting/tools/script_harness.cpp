// script_harness [--colors] FILE.lua...
// Makes the script host, opens QV, runs each file in order and writes every console line to
// standard output. Exit status: 0 when every file ran, 2 when one failed (the others still
// run), 1 on bad usage.
#include <cstdio>
#include <cstring>
#include <vector>

#include "qv_lua_console.h"
#include "qv_lua_context.h"
#include "qv_module.h"

namespace {

class StdoutSink : public QV_ConsoleLineSink {
public:
    explicit StdoutSink(bool colors)
        : fColors(colors)
    {
    }

    void ConsoleLine(const char* text, rgb_color color) override
    {
        if (fColors)
            std::printf("%02X%02X%02X%02X ", color.r, color.g, color.b, color.a);
        std::fputs(text, stdout);
        std::fputc('\n', stdout);
    }

private:
    bool fColors;
};

int Usage(const char* problem)
{
    std::fprintf(stderr, "script_harness: %s\nusage: script_harness [--colors] FILE.lua...\n", problem);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    bool colors = false;
    std::vector<const char*> files;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--colors") == 0)
            colors = true;
        else if (std::strncmp(argv[i], "--", 2) == 0)
            return Usage("unknown option");
        else
            files.push_back(argv[i]);
    }
    if (files.empty())
        return Usage("no script file given");

    StdoutSink sink(colors);
    QV_LuaConsole::AddSink(&sink);
    int status = 0;
    {
        QV_LuaContext host;
        OpenQVModule(host.fState);
        for (const char* file : files) {
            if (host.DoFile(file) != kScriptOK)
                status = 2;
        }
        QV_LuaConsole::FlushPending();
    }
    QV_LuaConsole::RemoveSink(&sink);
    std::fflush(stdout);
    return status;
}
