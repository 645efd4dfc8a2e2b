#include "qv_lua_console.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console_lines.h"
#include "plat_pump.h"
#include "plat_video.h"
#include "plat_window.h"
#include "qv_arraylist.h"
#include "script_console.h"

namespace {

struct PendingPrint {
    std::string text;
    rgb_color color;
};

struct ConsoleState {
    QVi_ConsoleLines lines;
    QV_ArrayList sinks;
    std::mutex pendingLock; // guards pending and the interface thread id
    std::vector<PendingPrint> pending;
    std::thread::id interfaceThread;
    bool interfaceThreadSet = false;
    // The open console window's id, for other threads to wake it; 0 while there is none.
    std::atomic<uint32_t> windowId { 0 };
};

ConsoleState& State()
{
    static ConsoleState state;
    return state;
}

void AddOneLine(const char* text, rgb_color color)
{
    ConsoleState& state = State();
    state.lines.AddLine(text, color);
    for (int32_t i = 0; i < state.sinks.fCount; i++)
        static_cast<QV_ConsoleLineSink*>(state.sinks.fItems[i])->ConsoleLine(text, color);
    if (QV_LuaConsole* console = QV_LuaConsole::Current())
        console->AddLine(text, color);
}

void AddText(const char* text, rgb_color color)
{
    const char* start = text;
    for (const char* p = text; *p; p++) {
        if (*p != '\n')
            continue;
        std::string piece(start, p);
        AddOneLine(piece.c_str(), color);
        start = p + 1;
    }
    if (*start || start == text)
        AddOneLine(start, color);
}

// The waiting prints of other threads into the lines; false when there were none.
bool TakePending()
{
    ConsoleState& state = State();
    std::vector<PendingPrint> waiting;
    {
        std::lock_guard<std::mutex> guard(state.pendingLock);
        waiting.swap(state.pending);
    }
    for (const PendingPrint& print : waiting)
        AddText(print.text.c_str(), print.color);
    return !waiting.empty();
}

// Only once the toolkit runs: before that the lines reach the sinks alone.
void OpenWindow()
{
    if (gLuaConsole || !PlatVideoRunning())
        return;
    auto* console = new QV_LuaConsole;
    if (!console->fHwnd) {
        delete console;
        return;
    }
    gLuaConsole = console;
    State().windowId = PlatWindowId(console->fHwnd);
}

void ScrollWindowToEnd()
{
    if (QV_LuaConsole* console = QV_LuaConsole::Current())
        console->ScrollToEnd();
}

} // namespace

QV_ConsoleLineSink::~QV_ConsoleLineSink() = default;

rgb_color ColorFromValue(uint32_t value)
{
    return rgb_color { uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24) };
}

uint32_t ColorValue(rgb_color color)
{
    return uint32_t(color.r) | uint32_t(color.g) << 8 | uint32_t(color.b) << 16 | uint32_t(color.a) << 24;
}

void QV_LuaConsole::SetInterfaceThread()
{
    ConsoleState& state = State();
    std::lock_guard<std::mutex> guard(state.pendingLock);
    state.interfaceThread = std::this_thread::get_id();
    state.interfaceThreadSet = true;
}

bool QV_LuaConsole::OnInterfaceThread()
{
    ConsoleState& state = State();
    std::lock_guard<std::mutex> guard(state.pendingLock);
    if (!state.interfaceThreadSet) {
        state.interfaceThread = std::this_thread::get_id();
        state.interfaceThreadSet = true;
    }
    return state.interfaceThread == std::this_thread::get_id();
}

void QV_LuaConsole::Print(const char* text, rgb_color color)
{
    if (!text)
        text = "";
    if (!OnInterfaceThread()) {
        ConsoleState& state = State();
        std::lock_guard<std::mutex> guard(state.pendingLock);
        state.pending.push_back(PendingPrint { text, color });
        if (const uint32_t window = state.windowId)
            PlatPostWakeUp(window);
        return;
    }
    OpenWindow();
    TakePending();
    AddText(text, color);
    ScrollWindowToEnd();
}

void QV_LuaConsole::Print(const char* text, uint32_t color)
{
    Print(text, ColorFromValue(color));
}

void QV_LuaConsole::FlushPending()
{
    if (OnInterfaceThread() && TakePending())
        ScrollWindowToEnd();
}

void QV_LuaConsole::Forget(QV_LuaConsole* console)
{
    if (!console || gLuaConsole != console)
        return;
    gLuaConsole = nullptr;
    State().windowId = 0;
    ClearLines();
}

void QV_LuaConsole::AddSink(QV_ConsoleLineSink* sink)
{
    if (sink && !State().sinks.Contains(sink))
        State().sinks.Append(sink);
}

void QV_LuaConsole::RemoveSink(QV_ConsoleLineSink* sink)
{
    State().sinks.Remove(sink);
}

QVi_ConsoleLines& QV_LuaConsole::Lines()
{
    return State().lines;
}

void QV_LuaConsole::ClearLines()
{
    State().lines.Clear();
}
