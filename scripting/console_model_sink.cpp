#include "console_model_sink.h"

#include <mutex>

#include "console_sink.h"
#include "qv_lua_console.h"

namespace {

class LuaConsoleModelSink : public ConsoleSink {
public:
    void Print(const char* text, rgb_color color) override { QV_LuaConsole::Print(text, color); }
};

LuaConsoleModelSink gModelSink;
std::mutex gAttachLock;
int gHosts = 0;

} // namespace

void AttachConsoleToModel()
{
    std::lock_guard<std::mutex> guard(gAttachLock);
    if (gHosts++ == 0 && !GetConsoleSink())
        SetConsoleSink(&gModelSink);
}

void DetachConsoleFromModel()
{
    std::lock_guard<std::mutex> guard(gAttachLock);
    if (--gHosts == 0 && GetConsoleSink() == &gModelSink)
        SetConsoleSink(nullptr);
}
