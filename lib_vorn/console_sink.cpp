#include "console_sink.h"

#include <cstdio>

#include "qv_string.h"

namespace {

ConsoleSink* gConsoleSink = nullptr;

} // namespace

ConsoleSink::~ConsoleSink() = default;

void SetConsoleSink(ConsoleSink* sink)
{
    gConsoleSink = sink;
}

ConsoleSink* GetConsoleSink()
{
    return gConsoleSink;
}

void ConsolePrint(const char* text, rgb_color color)
{
    if (!text)
        text = "";
    if (gConsoleSink) {
        gConsoleSink->Print(text, color);
        return;
    }
    std::fprintf(stderr, "%s\n", text);
}

void PrintOutOfRange(const char* where)
{
    QV_String line(where ? where : "");
    line.Append(" - out of range");
    ConsolePrint(line.CString(), rgb_color { 255, 0, 0, 255 });
}
