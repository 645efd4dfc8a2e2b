#include <thread>

#include "script_test_support.h"

namespace {

TEST(LuaConsole, SplitsTextsAtNewlines)
{
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        { "a\nb", { "a", "b" } },
        { "x\n", { "x" } },
        { "\n", { "" } },
        { "\n\nz", { "", "", "z" } },
        { "a\nbc", { "a", "bc" } },
        { "", { "" } },
        { "r\r\n", { "r\r" } },
    };
    for (const Case& c : cases) {
        CapturedLines captured;
        QV_LuaConsole::Print(c.text, kPrintColor);
        EXPECT_EQ(captured.Texts(), c.lines) << c.text;
    }
}

TEST(LuaConsole, KeepsTheLast128Lines)
{
    QV_LuaConsole::ClearLines();
    for (int i = 1; i <= 129; i++)
        QV_LuaConsole::Print(std::to_string(i).c_str(), kPrintColor);
    QVi_ConsoleLines& lines = QV_LuaConsole::Lines();
    ASSERT_EQ(lines.Count(), 128);
    EXPECT_STREQ(lines.Line(0)->fText.CString(), "2");
    EXPECT_STREQ(lines.Line(127)->fText.CString(), "129");
    EXPECT_EQ(lines.Line(128), nullptr);
    QV_LuaConsole::ClearLines();
    EXPECT_EQ(lines.Count(), 0);
}

TEST(LuaConsole, PrintsOfOtherThreadsWaitForTheInterfaceThread)
{
    QV_LuaConsole::OnInterfaceThread();
    CapturedLines captured;
    std::thread worker([] { QV_LuaConsole::Print("from a rendering thread\nsecond", 0xff0000ffu); });
    worker.join();
    EXPECT_TRUE(captured.lines.empty());
    QV_LuaConsole::Print("interface", kPrintColor);
    ASSERT_EQ(captured.lines.size(), 3u);
    EXPECT_EQ(captured.lines[0].text, "from a rendering thread");
    EXPECT_EQ(captured.lines[0].color, 0xff0000ffu);
    EXPECT_EQ(captured.lines[1].text, "second");
    EXPECT_EQ(captured.lines[2].text, "interface");
}

TEST(LuaConsole, ColourValuesHoldRedInTheLowByte)
{
    const rgb_color dark = ColorFromValue(0xff000080);
    EXPECT_EQ(dark.r, 128);
    EXPECT_EQ(dark.g, 0);
    EXPECT_EQ(dark.b, 0);
    EXPECT_EQ(dark.a, 255);
    EXPECT_EQ(ColorValue(rgb_color { 255, 0, 0, 255 }), 0xff0000ffu);
}

using LuaPrintTest = HostTest;

TEST_F(LuaPrintTest, PrintJoinsStringsAndNumbersWithTabs)
{
    EXPECT_EQ(Output("print(1, nil, 'a', true, 2)"), "1\ta\t2");
    EXPECT_EQ(Output("print(nil, 'x')"), "\tx");
    EXPECT_EQ(Output("print()"), "");
    EXPECT_EQ(Output("print(1.5, {}, print)"), "1.5");
    EXPECT_EQ(Output("print('one\\ntwo')"), "one\ntwo");
    EXPECT_EQ(Output("print('cut\\0off', 3)"), "cut\t3");
    EXPECT_EQ(captured.lines.back().color, kPrintColor);
}

TEST_F(LuaPrintTest, AlertPrintsEachArgumentInDarkRed)
{
    EXPECT_EQ(Output("_ALERT('first', false, 7)"), "first\n7");
    EXPECT_EQ(captured.lines.back().color, 0xff000080u);
}

} // namespace
