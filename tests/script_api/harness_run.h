#pragma once

#include <cstdio>
#include <string>

#include <sys/wait.h>

// What the script test utility printed (standard error included) and its exit status; -1 when
// it did not run or did not end by itself.
struct Result {
    int status;
    std::string output;
};

// Runs the script test utility with the arguments.
inline Result RunScriptHarness(const std::string& arguments)
{
    const std::string command = std::string(SCRIPT_HARNESS) + " " + arguments + " 2>&1";
    Result result { -1, "" };
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
