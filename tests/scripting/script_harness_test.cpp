#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status;
    std::string output;
};

Outcome RunHarness(const std::string& arguments)
{
    const std::string command = std::string(SCRIPT_HARNESS) + " " + arguments + " 2>&1";
    Outcome outcome { -1, "" };
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return outcome;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        outcome.output.append(buffer, n);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

std::string WriteScript(const char* name, const char* code)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << code;
    return path;
}

TEST(ScriptHarness, WritesTheConsoleLinesOfEveryFileInOrder)
{
    const std::string first = WriteScript("harness_first.lua", "print('one\\ntwo')\nShared = 5\n");
    const std::string broken = WriteScript("harness_broken.lua", "print('before'); error('stop')\n");
    const std::string last = WriteScript("harness_last.lua", "print(Shared, QV.Round(2.5))\n");

    Outcome plain = RunHarness(first + " " + last);
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.output, "one\ntwo\n5\t3\n");

    Outcome colors = RunHarness("--colors " + first + " " + broken + " " + last);
    EXPECT_EQ(colors.status, 2);
    EXPECT_EQ(colors.output,
        "000000FF one\n000000FF two\n000000FF before\n800000FF " + broken + ":1: stop\n000000FF 5\t3\n");
    for (const std::string& path : { first, broken, last })
        std::remove(path.c_str());
}

TEST(ScriptHarness, BadUsageExitsWithOne)
{
    for (const char* arguments : { "", "--colors", "--loud x.lua" }) {
        Outcome outcome = RunHarness(arguments);
        EXPECT_EQ(outcome.status, 1) << arguments;
        EXPECT_EQ(outcome.output.rfind("script_harness: ", 0), 0u) << arguments;
    }
}

} // namespace
