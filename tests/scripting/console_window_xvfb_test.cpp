// The console window on a real X server: a script prints more lines than the console keeps and
// the screen shows the last of them at the bottom, in their colours. ImageMagick reads the
// screen.
#include <fstream>

#include "demo_session.h"

namespace {

class ConsoleWindowXvfbTest : public DemoSession {
protected:
    // Pixels of exactly that colour ("#RRGGBB") inside the box of the screen picture.
    long CountColour(const std::string& picture, const DemoBox& box, const std::string& colour)
    {
        const std::string geometry = std::to_string(box.width) + "x" + std::to_string(box.height) + "+"
            + std::to_string(box.x) + "+" + std::to_string(box.y);
        const std::string count = fRoot.File("colour.txt");
        // Everything else black, that colour white: the mean counts it.
        const int status = RunProgram(
            { "convert", picture, "-crop", geometry, "+repage", "-fill", "black", "+opaque", colour, "-fill",
                "white", "-opaque", colour, "-format", "%[fx:round(mean*w*h)]", "info:" },
            count, nullptr);
        EXPECT_EQ(status, 0);
        std::ifstream in(count);
        long pixels = -1;
        in >> pixels;
        return pixels;
    }
};

TEST_F(ConsoleWindowXvfbTest, AScriptsPrintsShowTheLastLinesInTheirColours)
{
    if (!HasProgram("convert"))
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    PutFile("lines.lua", "for i = 1, 140 do print('line ' .. i) end\n_ALERT('the last line')\n");
    StartProgram(LUA_CONSOLE_DEMO, { fRoot.File("lines.lua") }, "ready");
    if (IsSkipped() || HasFatalFailure())
        return;
    ASSERT_TRUE(WaitForWindow("Lua Console"));

    const DemoBox console = fBoxes["console"];
    EXPECT_EQ(console.width, 400);
    EXPECT_EQ(console.height, 128);
    // Lower left of the 1024 x 738 screen.
    EXPECT_LT(console.x, 20);
    EXPECT_GT(console.y + console.height, 738 - 60);

    const DemoBox lines = fBoxes["lines"];
    DemoBox last = fBoxes["lastline"];
    ASSERT_GT(last.height, 0);
    EXPECT_EQ(last.y + last.height, lines.y + lines.height) << "the last line ends the view";
    DemoBox above = lines;
    above.height = last.y - lines.y;
    ASSERT_GT(above.height, 0);

    const std::string shot = fRoot.File("screen.png");
    long darkRed = 0;
    // The first picture may still be on its way.
    for (int tries = 0; tries < 25 && darkRed <= 0; tries++) {
        ASSERT_EQ(RunProgram({ "import", "-window", "root", "png:" + shot }, "", nullptr), 0);
        darkRed = CountColour(shot, last, "#800000");
        if (darkRed <= 0)
            usleep(200000);
    }
    EXPECT_GT(darkRed, 0) << "the last line, in dark red";
    EXPECT_EQ(CountColour(shot, above, "#800000"), 0);
    EXPECT_GT(CountColour(shot, above, "#000000"), 0) << "the printed lines above it, in black";
}

} // namespace
