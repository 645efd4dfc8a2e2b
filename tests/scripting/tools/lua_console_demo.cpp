// lua_console_demo FILE.lua...
// Starts the toolkit, runs the Lua files in one script host and leaves the console window that
// their prints opened on the screen until it is closed or the program is ended. Once the files
// ran it prints where things are, as "rect NAME X Y W H" lines in screen coordinates: the
// console's client area ("console"), the part of the lines on show ("lines") and the band of
// the last line ("lastline"); then "ready". Exit status 1 on bad usage or when no console
// opened, else 0.
#include <algorithm>
#include <cstdio>

#include "console_view.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_lua_console.h"
#include "qv_lua_context.h"
#include "qv_scrolling_view.h"
#include "script_console.h"
#include "toolkit_startup.h"

namespace {

void SayRect(const char* name, int32_t x, int32_t y, const QV_Rect& rect)
{
    std::printf("rect %s %d %d %d %d\n", name, x + rect.left, y + rect.top, rect.right - rect.left + 1,
        rect.bottom - rect.top + 1);
}

void SayPlaces(QV_LuaConsole* console)
{
    int32_t x = 0;
    int32_t y = 0;
    PlatWindowClientPosition(console->fHwnd, x, y);
    SayRect("console", x, y, console->Bounds());
    const QV_Rect lines = console->fScrollingView->fClipView->FrameInLayer();
    SayRect("lines", x, y, lines);
    const QV_Rect content = console->fConsoleView->FrameInLayer();
    const int32_t h = QVi_ConsoleView::LineHeight();
    QV_Rect last = { lines.left, std::max(lines.top, content.bottom - h + 1), lines.right,
        std::min(lines.bottom, content.bottom) };
    SayRect("lastline", x, y, last);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "lua_console_demo: no script file given\nusage: lua_console_demo FILE.lua...\n");
        return 1;
    }
    ToolkitStartup();
    int status = 0;
    {
        QV_App app;
        QV_LuaContext host;
        for (int i = 1; i < argc; i++)
            host.DoFile(argv[i]);
        QV_LuaConsole* console = QV_LuaConsole::Current();
        if (!console) {
            std::fprintf(stderr, "lua_console_demo: the files printed nothing, so no console opened\n");
            status = 1;
        } else {
            const uint32_t id = PlatWindowId(console->fHwnd);
            PlatPumpMessageWithin(50);
            SayPlaces(console);
            std::printf("ready\n");
            std::fflush(stdout);
            while (PlatWindowFromId(id) && PlatPumpMessage() > 0) { }
            if (PlatWindowFromId(id))
                PlatWindowDestroy(console->fHwnd);
        }
    }
    ToolkitShutdown();
    return status;
}
