#pragma once

#include "qv_color.h"

// Where the model's diagnostic lines go. The script host installs the Lua console as the sink
// once it exists; until then (and in tools and tests without a console) lines go to stderr.
// Tests install a sink of their own to see what was printed.
class ConsoleSink {
public:
    virtual ~ConsoleSink();
    virtual void Print(const char* text, rgb_color color) = 0;
};

// Null restores the stderr fallback. The sink is not owned.
void SetConsoleSink(ConsoleSink* sink);
ConsoleSink* GetConsoleSink();

void ConsolePrint(const char* text, rgb_color color);

// An index out of range in a model accessor: "<Class>:<Operation> - out of range" in opaque red.
// where is the "<Class>:<Operation>" part.
void PrintOutOfRange(const char* where);
