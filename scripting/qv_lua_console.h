#pragma once

#include <cstdint>

#include "qv_color.h"
#include "qv_wnd.h"

class QVi_ConsoleLines;

// Receives every line the console takes, in order, on the interface thread; the script test
// utility writes them to standard output.
class QV_ConsoleLineSink {
public:
    virtual ~QV_ConsoleLineSink();
    virtual void ConsoleLine(const char* text, rgb_color color) = 0;
};

class QV_ScrollingView;
class QVi_ConsoleView;

// The program's one message sink: script prints and errors and the model's range messages.
// The lines are kept (the last 128) and handed to every line sink. Once the toolkit runs, the
// first print also opens the console window (this class), which shows the lines in their
// colours, scrolled to the last one; there is at most one, reached through gLuaConsole. Closing
// it discards its lines, so the next print opens an empty one.
class QV_LuaConsole : public QV_Wnd {
public:
    // Splits the text at its newlines: each piece before a newline is a line, the piece after
    // the last newline only when it is not empty; a text without newline is one line. On a
    // thread other than the interface thread the text waits until the interface thread next
    // prints or calls FlushPending, since the lines belong to that thread; an open console
    // window is woken to take it.
    static void Print(const char* text, rgb_color color);
    static void Print(const char* text, uint32_t color);

    // Hands the waiting prints of other threads to the lines; interface thread only.
    static void FlushPending();

    // The thread that owns the lines; by default the thread of the first print or of the
    // first script host, whichever comes first.
    static void SetInterfaceThread();
    static bool OnInterfaceThread();

    // Sinks are not owned; a sink removes itself before it goes.
    static void AddSink(QV_ConsoleLineSink* sink);
    static void RemoveSink(QV_ConsoleLineSink* sink);

    static QVi_ConsoleLines& Lines();
    // Discards the lines, as closing the console window does.
    static void ClearLines();

    // The open console window, or null.
    static QV_LuaConsole* Current();

    // A tool window at the lower left of the usable screen, 400 x 128, owned by the main
    // window when there is one; shown at once (a saved place and size win).
    QV_LuaConsole();
    // Clears gLuaConsole and discards the lines.
    ~QV_LuaConsole() override;
    // Builds the layer, the scrolling view and the view of lines.
    void Opened() override;
    void SizeLimits(QV_Point& minimum, QV_Point& maximum) override;

    void AddLine(const char* text, rgb_color color);
    // The last line at the bottom, the lines from their left edge.
    void ScrollToEnd();

    QV_ScrollingView* fScrollingView;
    QVi_ConsoleView* fConsoleView;

private:
    // The window goes: gLuaConsole and the lines with it (nothing for a window that never
    // became the console).
    static void Forget(QV_LuaConsole* console);
};

// A colour given as one 32-bit value holds red in its low byte.
rgb_color ColorFromValue(uint32_t value);
uint32_t ColorValue(rgb_color color);
