#pragma once

#include "console_sink.h"
#include "qv_color.h"

// Console lines are what the readers say about bad input: expected here, so kept quiet.
class QuietConsole : public ConsoleSink {
public:
    void Print(const char*, rgb_color) override { }
};

// A broken promise of the code under test: a finding for the fuzzer.
inline void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}
