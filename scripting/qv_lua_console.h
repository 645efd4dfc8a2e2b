#pragma once

#include <cstdint>

#include "qv_color.h"

class QVi_ConsoleLines;

// Receives every line the console takes, in order, on the interface thread. The script test
// utility writes them to standard output; the console window shows them.
class QV_ConsoleLineSink {
public:
    virtual ~QV_ConsoleLineSink();
    virtual void ConsoleLine(const char* text, rgb_color color) = 0;
};

// The program's one message sink: script prints and errors and the model's range messages.
// The lines are kept (the last 128) and handed to every line sink. The console window that
// shows them is built on the scrolling view and is not part of this yet.
class QV_LuaConsole {
public:
    // Splits the text at its newlines: each piece before a newline is a line, the piece after
    // the last newline only when it is not empty; a text without newline is one line. On a
    // thread other than the interface thread the text waits until the interface thread next
    // prints or calls FlushPending, since the lines belong to that thread.
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
};

// A colour given as one 32-bit value holds red in its low byte.
rgb_color ColorFromValue(uint32_t value);
uint32_t ColorValue(rgb_color color);
