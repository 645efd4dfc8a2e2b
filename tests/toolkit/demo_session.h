#pragma once
// A window of the widget demo run under a private X server and used as a
// person would: pointed at, clicked and typed into with xdotool, its screen
// read by ImageMagick. The demo prints what happens, a line an event; the
// tests read those lines back.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "frame_test_support.h"
#include "scoped_env.h"
#include "xvfb_session.h"

// The toolkit's tests run the widget demo; the sessions of other test
// programs start their own utility with StartProgram.
#ifndef WIDGET_DEMO
#define WIDGET_DEMO ""
#endif

using DemoBox = ScreenBox;

class DemoSession : public FrameTest {
protected:
    // Skips the test where the tools or an X server are missing; otherwise
    // starts the program (the widget demo or another test utility that
    // prints the same kind of lines) with its arguments and waits for the
    // line `ready`.
    void StartProgram(const char* program, const std::vector<std::string>& args, const std::string& ready)
    {
        if (const std::string tool = MissingTool({ "xdotool", "import", "compare" }); !tool.empty())
            GTEST_SKIP() << tool << " is not installed (tools/install-deps.sh test brings it)";
        std::string why;
        if (!fScreen.Start(why))
            GTEST_SKIP() << "no X server could be started: " << why;
        // The demo takes its pictures from beside itself.
        fAppFolder.reset();
        unsetenv("CELVANE_APP_FOLDER");
        ASSERT_TRUE(SpawnLogged(program, args, environ, fRoot.File("demo.txt"), false, fDemo));
        ASSERT_TRUE(WaitFor(ready)) << Output();
        ReadBoxes();
    }
    // The widget demo, with its arguments.
    void StartDemo(const std::vector<std::string>& args, const std::string& ready)
    {
        StartProgram(WIDGET_DEMO, args, ready);
    }
    void TearDown() override
    {
        if (fDemo > 0) {
            kill(fDemo, SIGTERM);
            int status = 0;
            waitpid(fDemo, &status, 0);
        }
    }

    std::string Output() const { return GetFile("demo.txt"); }
    int Count(const std::string& text) const
    {
        const std::string out = Output();
        int count = 0;
        for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1))
            count++;
        return count;
    }
    // Until the text stands that many times in the output.
    bool WaitFor(const std::string& text, int times = 1, int ms = 10000)
    {
        for (int waited = 0; waited < ms; waited += 20) {
            if (Count(text) >= times)
                return true;
            usleep(20000);
        }
        return false;
    }
    // The last line that starts with the prefix, or "".
    std::string Last(const std::string& prefix) const
    {
        std::istringstream lines(Output());
        std::string last;
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(prefix, 0) == 0)
                last = line;
        return last;
    }
    // "rect NAME X Y W H" lines of the output, by name.
    void ReadBoxes()
    {
        std::istringstream lines(Output());
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            std::string kind, name;
            DemoBox box;
            fields >> kind >> name >> box.x >> box.y >> box.width >> box.height;
            if (kind == "rect")
                fBoxes[name] = box;
        }
    }
    // The point of a line "PREFIX X Y" (the last one), where the demo said it.
    bool PlaceOf(const std::string& prefix, int& x, int& y) const
    {
        const std::string line = Last(prefix + " ");
        if (line.empty())
            return false;
        std::istringstream fields(line.substr(prefix.size()));
        return bool(fields >> x >> y);
    }

    void Xdo(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = { "xdotool" };
        all.insert(all.end(), args.begin(), args.end());
        ASSERT_EQ(RunProgram(all, "", nullptr), 0);
    }
    // xdotool's --sync waits for the pointer to move, so a move to where it
    // already is would wait for ever.
    void Move(int x, int y)
    {
        if (x == fPointerX && y == fPointerY)
            return;
        Xdo({ "mousemove", "--sync", std::to_string(x), std::to_string(y) });
        fPointerX = x;
        fPointerY = y;
    }
    void ClickAt(int x, int y, int button = 1)
    {
        Move(x, y);
        Xdo({ "click", std::to_string(button) });
        usleep(100000);
    }
    // A click in the middle of a widget the program announced with a "rect" line.
    void ClickBox(const std::string& name, int button = 1)
    {
        ASSERT_TRUE(fBoxes.count(name)) << name << "\n" << Output();
        ClickAt(fBoxes[name].CenterX(), fBoxes[name].CenterY(), button);
    }
    // Until the program ends (at most ten seconds); its wait status in status.
    bool WaitForExit(int& status)
    {
        for (int waited = 0; waited < 10000; waited += 20) {
            if (waitpid(fDemo, &status, WNOHANG) == fDemo) {
                fDemo = -1;
                return true;
            }
            usleep(20000);
        }
        return false;
    }
    // Press at the start, a few moves, release at the end.
    void Drag(int x0, int y0, int x1, int y1)
    {
        Move(x0, y0);
        Xdo({ "mousedown", "1" });
        for (int step = 1; step <= 5; ++step)
            Move(x0 + (x1 - x0) * step / 5, y0 + (y1 - y0) * step / 5);
        Xdo({ "mouseup", "1" });
        usleep(200000);
    }
    void Keys(const std::string& keys)
    {
        Xdo({ "key", "--delay", "40", keys });
        usleep(100000);
    }

    // Until a shown window with that title (a regular expression) exists.
    bool WaitForWindow(const std::string& title)
    {
        return WaitUntilShown(title, 10000, 50, 200);
    }
    // The screen box of the client area of the shown window with that title.
    bool WindowBox(const std::string& title, DemoBox& box)
    {
        return FindWindowBox(title, fRoot.File("geometry.txt"), box);
    }
    // "r,g,b" of one pixel of a picture, as ImageMagick reads it.
    std::string PixelText(const std::string& picture, int x, int y)
    {
        return PixelRgb(picture, x, y, fRoot.File("pixel.txt"));
    }
    // The part of the screen a picture is compared on: the area (the whole
    // screen when empty), with boxes that differ from run to run (a
    // temporary folder's path, a pulsing bar) painted over.
    struct ScreenPart {
        DemoBox area;
        std::vector<DemoBox> hidden;
    };
    // Until the screen matches the stored picture to within that many
    // pixels; the last count (-1 where a picture is missing).
    long ScreenSettlesTo(const std::string& golden, long tolerance, const ScreenPart& part = {})
    {
        long differs = -1;
        for (int tries = 0; tries < 25; ++tries) {
            differs = ScreenDiffers(golden, part);
            if (differs >= 0 && differs <= tolerance)
                break;
            usleep(200000);
        }
        return differs;
    }
    long ScreenDiffers(const std::string& golden, const ScreenPart& part = {})
    {
        const std::string shot = fRoot.File((golden + ".png").c_str());
        EXPECT_EQ(RunProgram({ "import", "-window", "root", "png:" + shot }, "", nullptr), 0);
        if (part.area.width > 0 || !part.hidden.empty()) {
            std::vector<std::string> convert = { "convert", shot, "-fill", "black" };
            for (const DemoBox& box : part.hidden) {
                convert.insert(convert.end(),
                    { "-draw",
                        "rectangle " + std::to_string(box.x) + "," + std::to_string(box.y) + " "
                            + std::to_string(box.x + box.width - 1) + "," + std::to_string(box.y + box.height - 1) });
            }
            if (part.area.width > 0) {
                convert.insert(convert.end(),
                    { "-crop",
                        std::to_string(part.area.width) + "x" + std::to_string(part.area.height) + "+"
                            + std::to_string(part.area.x) + "+" + std::to_string(part.area.y),
                        "+repage" });
            }
            convert.push_back("png:" + shot);
            EXPECT_EQ(RunProgram(convert, "", nullptr), 0);
        }
        const std::string stored = std::string(CELVANE_TEST_DATA) + "/widgets/" + golden + ".png";
        // Stored pictures are made again by running with this variable set.
        if (getenv("CELVANE_UPDATE_GOLDENS"))
            RunProgram({ "cp", shot, stored }, "", nullptr);
        // compare writes the count on its standard error.
        const std::string count = fRoot.File("count.txt");
        pid_t pid = 0;
        const char* argv[] = { "compare", "-metric", "AE", stored.c_str(), shot.c_str(), "null:", nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, count.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawnp(&pid, "compare", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
            return -1;
        std::ifstream in(count);
        double differing = -1;
        if (!(in >> differing))
            return -1;
        return long(differing);
    }

    PrivateDisplay fScreen;
    pid_t fDemo = 0;
    std::map<std::string, DemoBox> fBoxes;
    int fPointerX = -1;
    int fPointerY = -1;
};
