#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "../script_api/harness_run.h"

namespace {

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

    Result plain = RunScriptHarness(first + " " + last);
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.output, "one\ntwo\n5\t3\n");

    Result colors = RunScriptHarness("--colors " + first + " " + broken + " " + last);
    EXPECT_EQ(colors.status, 2);
    EXPECT_EQ(colors.output,
        "000000FF one\n000000FF two\n000000FF before\n800000FF " + broken + ":1: stop\n000000FF 5\t3\n");
    for (const std::string& path : { first, broken, last })
        std::remove(path.c_str());
}

// For strings and numbers the host's print writes what the stand-alone Lua interpreter writes.
TEST(ScriptHarness, PrintsNumbersAndStringsAsLuaDoes)
{
    if (std::system("command -v lua5.1 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "lua5.1 is not installed";
    const std::string path = WriteScript("harness_numbers.lua",
        "print(1, 2.5, -0.1, 1e100, 2^53, 1/3, 'a\\tb', 100000000000000)\n"
        "print(0/0 ~= 0/0, 'multi\\nline', 12)\n"
        "for i = 1, 20 do print(i / 7, -i * 1e15) end\n");
    FILE* pipe = popen(("lua5.1 " + path).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string expected;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        expected.append(buffer, n);
    pclose(pipe);
    // The stand-alone print writes booleans; the host's leaves them out (the TAB after stays,
    // as the next value's separator).
    const std::string boolean = "true";
    expected.erase(expected.find(boolean), boolean.size());
    Result outcome = RunScriptHarness(path);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output, expected);
    std::remove(path.c_str());
}

TEST(ScriptHarness, BadUsageExitsWithOne)
{
    for (const char* arguments : { "", "--colors", "--loud x.lua" }) {
        Result outcome = RunScriptHarness(arguments);
        EXPECT_EQ(outcome.status, 1) << arguments;
        EXPECT_EQ(outcome.output.rfind("script_harness: ", 0), 0u) << arguments;
    }
}

} // namespace
