#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "vorndoc.h"

// What the dialog-driving test utilities share: a command line of IN, OUT and "--option value"
// pairs, and their answer once the dialog is closed.

// The complaint and the usage line on standard error; the exit status 1.
inline int ToolUsage(const char* tool, const char* usage, const std::string& why)
{
    std::fprintf(stderr, "%s: %s\n", tool, why.c_str());
    std::fprintf(stderr, "usage: %s\n", usage);
    return 1;
}

// The whole text as a number in the range; false otherwise.
inline bool ParseWholeNumber(const char* text, long low, long high, long& out)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != 0 || value < low || value > high)
        return false;
    out = value;
    return true;
}

// Hands each "--option value" pair from argv[first] on to take, which answers with a complaint,
// or an empty text when it took the pair. The first complaint; empty when all were taken.
template <typename Take>
std::string ReadToolOptions(int argc, char** argv, int first, Take take)
{
    for (int i = first; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return "no value after " + option;
        std::string why = take(option, argv[i + 1]);
        if (!why.empty())
            return why;
    }
    return {};
}

// After OK the document is saved to OUT and "OK" printed; after Cancel "CANCEL" is printed and
// nothing written. The exit status: 1 only when OUT could not be written.
inline int AnswerDialog(const char* tool, VornDoc* doc, bool ok, const char* out)
{
    if (!ok) {
        std::printf("CANCEL\n");
        return 0;
    }
    doc->SetPath(out);
    QV_String reason;
    if (doc->Save(nullptr, &reason) != 0) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", tool, out, reason.CString());
        return 1;
    }
    std::printf("OK\n");
    return 0;
}
