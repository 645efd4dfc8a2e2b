#pragma once
// celvane run as a person runs it: a private X server, a fresh HOME, XDG_CONFIG_HOME and
// TMPDIR, keys and clicks from xdotool, the screen read by ImageMagick.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "../core/scratch_folder.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "scoped_env.h"
#include "xvfb_session.h"

class CelvaneSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string tool = MissingTool({ "xdotool", "import", "convert", "compare" }); !tool.empty())
            GTEST_SKIP() << tool << " is not installed (tools/install-deps.sh test brings it)";
        std::string why;
        if (!fServer.Start(1280, 1024, why))
            GTEST_SKIP() << "no X server could be started: " << why;
        fDisplay = std::make_unique<ScopedEnv>("DISPLAY", fServer.Display().c_str());
        for (const char* folder : { "home", "config", "tmp", "work" })
            std::filesystem::create_directories(fRoot.File(folder));
    }
    void TearDown() override
    {
        if (fPid > 0) {
            kill(fPid, SIGKILL);
            waitpid(fPid, nullptr, 0);
        }
        // For a developer looking into a failed scenario: its screenshots, files and output.
        if (const char* keep = std::getenv("CELVANE_KEEP_FAILED"); keep && HasFailure()) {
            std::error_code ignored;
            std::filesystem::copy(fRoot.Path(), std::string(keep) + "/"
                    + ::testing::UnitTest::GetInstance()->current_test_info()->name(),
                std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_symlinks, ignored);
        }
    }

    std::string SettingsPath() const
    {
        return fRoot.File("config/Drelmor/Celvane Pomra/Celvane Pomra6.0.user.settings");
    }
    void PutSettings(const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(SettingsPath()).parent_path());
        std::ofstream(SettingsPath()) << text;
    }
    // The quoted value of a settings entry, or "<absent>".
    std::string Setting(const std::string& key) const
    {
        std::ifstream in(SettingsPath());
        std::string line;
        const std::string prefix = "\"" + key + "\"";
        while (std::getline(in, line)) {
            if (line.rfind(prefix, 0) != 0)
                continue;
            const size_t open = line.find('"', prefix.size());
            const size_t close = line.rfind('"');
            if (open != std::string::npos && close > open)
                return line.substr(open + 1, close - open - 1);
        }
        return "<absent>";
    }

    // The application's name: the title of its splash, welcome screen and alerts.
    static constexpr const char* kAppName = "Celvane Pomra";

    // Starts celvane. Unless fFreshStart is set, the settings skip the welcome screen and the
    // library window (where the scenario's own settings say nothing of them), and the splash
    // screen has gone before this returns, so the scenario meets the main window alone.
    void Start(const std::vector<std::string>& args = {})
    {
        if (!fFreshStart) {
            if (!std::filesystem::exists(SettingsPath()))
                PutSettings("\"VornVersion\" \"20090526\"\n");
            std::string text;
            {
                std::ifstream in(SettingsPath());
                text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
            std::ofstream out(SettingsPath(), std::ios::app);
            if (text.find("\"WelcomeScreen\"") == std::string::npos)
                out << "\"WelcomeScreen\" \"FALSE\"\n";
            if (text.find("\"LibraryWnd_Open\"") == std::string::npos)
                out << "\"LibraryWnd_Open\" \"FALSE\"\n";
        }
        Spawn(args);
        if (!fFreshStart)
            PassSplash();
    }
    // The program's own folder, but with the test scripts of tests/data/dispatch_app: the
    // recording tool (current at start) logs to tool.log and draws a filled rectangle on mouse
    // up. Call before Start.
    void UseTestScripts()
    {
        const std::filesystem::path real = std::filesystem::path(CELVANE_APP).parent_path();
        const std::filesystem::path app = fRoot.File("app");
        std::filesystem::create_directories(app);
        for (const auto& entry : std::filesystem::directory_iterator(real)) {
            if (entry.path().filename() != "scripts")
                std::filesystem::create_symlink(entry.path(), app / entry.path().filename());
        }
        std::filesystem::copy(std::string(CELVANE_TEST_DATA) + "/dispatch_app/scripts", app / "scripts",
            std::filesystem::copy_options::recursive);
        fExtraEnv.push_back("CELVANE_APP_FOLDER=" + app.string());
        fExtraEnv.push_back("CELVANE_TOOL_LOG=" + fRoot.File("tool.log"));
    }
    // A build without every interface picture warns once per missing name; the scenarios that
    // meet those alerts do not test them.
    void DismissMissingPictureAlerts()
    {
        for (int i = 0; i < 100; i++) {
            if (Output().find("Missing resource image") == std::string::npos)
                return;
            if (!WaitForTitle(kAppName, 1500))
                return;
            KeysTo(kAppName, "Return");
        }
    }
    // Until the splash screen has shown and gone (an alert of the same title may follow it).
    void PassSplash()
    {
        if (WaitForTitle(kAppName, 20000))
            WaitForNoTitle(kAppName, 8000);
    }
    // A click at that point of the window of that title (window coordinates).
    void ClickIn(const std::string& title, int x, int y)
    {
        ScreenBox box;
        ASSERT_TRUE(WindowBox(title, box)) << title;
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(box.x + x), std::to_string(box.y + y) }, "",
            nullptr);
        RunProgram({ "xdotool", "click", "1" }, "", nullptr);
        usleep(300000);
    }
    // Opens the menu of that index in the menu bar of the window in that box; the screen point of
    // its item of that index in x and y, and the menu's line height in line, found where the
    // menu bar and the menu font put them.
    void OpenMenu(const ScreenBox& window, int menu, int item, int& x, int& y, int& line)
    {
        CreateInterfaceFonts();
        QV_MenuBar bar;
        for (const char* title : { "File", "Edit", "Draw", "Bone", "Animation", "Scripts", "View", "Window", "Help" })
            bar.AddMenu(new QV_Menu(title));
        const QV_Rect rect = bar.TitleRect(menu);
        line = gMenuFont ? gMenuFont->LineHeight() : 15;
        DeleteInterfaceFonts();
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(window.x + (rect.left + rect.right) / 2),
                       std::to_string(window.y + (rect.top + rect.bottom) / 2), "click", "1" },
            "", nullptr);
        usleep(600000);
        x = window.x + rect.left + 30;
        y = window.y + rect.bottom + 3 + item * line + line / 2;
    }
    // Opens that menu and chooses its item.
    void ChooseMenuItem(const ScreenBox& window, int menu, int item)
    {
        int x = 0, y = 0, line = 0;
        OpenMenu(window, menu, item, x, y, line);
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1" }, "",
            nullptr);
        usleep(300000);
    }
    void Spawn(const std::vector<std::string>& args)
    {
        std::vector<std::string> env = { "DISPLAY=" + fServer.Display(), "HOME=" + fRoot.File("home"),
            "XDG_CONFIG_HOME=" + fRoot.File("config"), "TMPDIR=" + fRoot.File("tmp"), "SDL_VIDEODRIVER=x11",
            "SDL_AUDIODRIVER=dummy", "DBUS_SESSION_BUS_ADDRESS=disabled:",
            "LSAN_OPTIONS=suppressions=" + std::string(CELVANE_SOURCE_DIR)
                + "/tests/app/lsan_suppressions.txt:print_suppressions=0" };
        env.insert(env.end(), fExtraEnv.begin(), fExtraEnv.end());
        for (const char* keep : { "PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "CELVANE_APP_FOLDER" }) {
            if (const char* value = std::getenv(keep))
                env.push_back(std::string(keep) + "=" + value);
        }
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        const std::string workFolder = fRoot.File("work");
        ASSERT_EQ(chdir(workFolder.c_str()), 0);
        ASSERT_TRUE(SpawnLogged(CELVANE_APP, args, envp.data(), fRoot.File("output.txt"), true, fPid));
    }
    std::string Output() const { return fRoot.Get("output.txt"); }

    // Until a shown window has exactly this title.
    bool WaitForTitle(const std::string& title, int ms = 20000)
    {
        return WaitUntilShown("^" + Escaped(title) + "$", ms, 100, 300);
    }
    // Until no shown window has this title.
    bool WaitForNoTitle(const std::string& title, int ms = 10000)
    {
        for (int waited = 0; waited < ms; waited += 100) {
            if (!WindowShown("^" + Escaped(title) + "$"))
                return true;
            usleep(100000);
        }
        return false;
    }
    static std::string Escaped(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            if (std::string(".[]()*+?^$|\\").find(c) != std::string::npos)
                out += '\\';
            out += c;
        }
        return out;
    }
    // Without a window manager a window has the keys only once it is given the focus.
    void Focus(const std::string& title)
    {
        RunProgram({ "xdotool", "search", "--onlyvisible", "--name", "^" + Escaped(title) + "$", "windowfocus",
                       "--sync" },
            "", nullptr);
        usleep(100000);
    }
    // Keys to the window of that title, given the focus first.
    void KeysTo(const std::string& title, const std::string& keys)
    {
        Focus(title);
        ASSERT_EQ(RunProgram({ "xdotool", "key", "--delay", "60", keys }, "", nullptr), 0);
        usleep(300000);
    }
    void TypeTo(const std::string& title, const std::string& text)
    {
        Focus(title);
        ASSERT_EQ(RunProgram({ "xdotool", "type", "--delay", "30", text }, "", nullptr), 0);
        usleep(300000);
    }
    bool WindowBox(const std::string& title, ScreenBox& box)
    {
        return FindWindowBox("^" + Escaped(title) + "$", fRoot.File("geometry.txt"), box);
    }
    // The whole screen into the scratch folder; its path.
    std::string Screenshot(const std::string& name)
    {
        const std::string path = fRoot.File(name + ".png");
        EXPECT_EQ(RunProgram({ "import", "-window", "root", "png:" + path }, "", nullptr), 0);
        return path;
    }
    // Pixels of the crop of a picture that differ from the stored picture by more than a little.
    long CropDiffers(const std::string& shot, const ScreenBox& box, const std::string& golden)
    {
        const std::string crop = fRoot.File(golden + "-crop.png");
        EXPECT_EQ(RunProgram({ "convert", shot, "-crop",
                                  std::to_string(box.width) + "x" + std::to_string(box.height) + "+"
                                      + std::to_string(box.x) + "+" + std::to_string(box.y),
                                  "+repage", "png:" + crop },
                      "", nullptr),
            0);
        const std::string stored = std::string(CELVANE_TEST_DATA) + "/e2e/" + golden + ".png";
        if (!std::filesystem::exists(stored) && std::getenv("CELVANE_STORE_GOLDENS")) {
            // A deliberate change of the window's look: the run stores its picture for review.
            std::filesystem::copy_file(crop, stored);
            return 0;
        }
        if (!std::filesystem::exists(stored)) {
            ADD_FAILURE() << "no stored picture " << stored << "; this run's is " << crop;
            return -1;
        }
        // compare writes its count on standard error.
        const std::string count = fRoot.File("count.txt");
        RunProgram({ "sh", "-c", "compare -metric AE -fuzz 8% '" + stored + "' '" + crop + "' null: 2>'" + count + "'" },
            "", nullptr);
        return std::atol(fRoot.Get("count.txt").c_str());
    }
    // Until the screen's crop matches the stored picture to within that many pixels; the last
    // count. A window's title is set before its first picture reaches the screen.
    long ScreenSettlesTo(const ScreenBox& box, const std::string& golden, long tolerance)
    {
        long differs = -1;
        for (int tries = 0; tries < 30; ++tries) {
            differs = CropDiffers(Screenshot(golden + "-screen"), box, golden);
            if (differs >= 0 && differs <= tolerance)
                break;
            usleep(300000);
        }
        return differs;
    }
    // "r,g,b" of one pixel.
    std::string PixelText(const std::string& picture, int x, int y)
    {
        return PixelRgb(picture, x, y, fRoot.File("pixel.txt"));
    }

    // The box of the pixels of exactly that colour in the picture; width 0 when there are none.
    ScreenBox ColourBox(const std::string& picture, const std::string& colour)
    {
        RunProgram({ "convert", picture, "-fill", "black", "+opaque", colour, "-fill", "white", "-opaque", colour,
                       "-format", "%@", "info:" },
            fRoot.File("box.txt"), nullptr);
        ScreenBox box;
        if (std::sscanf(fRoot.Get("box.txt").c_str(), "%dx%d+%d+%d", &box.width, &box.height, &box.x, &box.y) != 4
            || box.width >= 1000)
            box.width = 0;
        return box;
    }
    // Colours a scenario finds the main window's parts by: the canvas's frame guide and the
    // palette's selected cell.
    static constexpr const char* kFrameGuide = "rgb(152,152,203)";
    static constexpr const char* kSelectedCell = "rgb(255,255,102)";
    // The canvas's frame guide once the main window has drawn it (its first picture may come
    // before), with the screenshot it was found in; width 0 when it never showed.
    ScreenBox WaitForFrameGuide(const std::string& name, std::string& shot)
    {
        ScreenBox frame;
        for (int tries = 0; tries < 40 && frame.width < 200; tries++) {
            if (tries)
                usleep(250000);
            shot = Screenshot(name);
            frame = ColourBox(shot, kFrameGuide);
        }
        return frame;
    }
    // The "r,g,b" at a screen point once the screen shows the wanted one there (a busy machine
    // paints late); the last seen.
    std::string SettledPixel(const std::string& name, int x, int y, const std::string& want, int tries = 20)
    {
        std::string seen;
        for (int i = 0; i < tries; i++) {
            seen = PixelText(Screenshot(name), x, y);
            if (seen == want)
                break;
            usleep(250000);
        }
        return seen;
    }
    // Pixels that differ between the same box of two pictures.
    long BoxDiffers(const std::string& a, const std::string& b, const ScreenBox& box)
    {
        const std::string geometry = std::to_string(box.width) + "x" + std::to_string(box.height) + "+"
            + std::to_string(box.x) + "+" + std::to_string(box.y);
        RunProgram({ "sh", "-c",
                       "convert '" + a + "' -crop " + geometry + " +repage png:- | compare -metric AE - '" + b
                           + "[" + geometry + "]' null: 2>'" + fRoot.File("count.txt") + "'" },
            "", nullptr);
        return std::atol(fRoot.Get("count.txt").c_str());
    }
    // Where the docked timeline of a new main window puts frame 0 (x, from the window's left edge);
    // each next frame stands 8 pixels on. The red current-frame line crosses y 845 of the window.
    static constexpr int kTimelineFrame0X = 36;
    static constexpr int kTimelineMarkerY = 845;
    // The frame at the docked timeline's red current-frame line in a new main window, or -1.
    int FrameAtMarker(const std::string& shot, const ScreenBox& window)
    {
        const std::string out = fRoot.File("row.txt");
        RunProgram({ "convert", shot, "-crop",
                       std::to_string(window.width) + "x1+" + std::to_string(window.x) + "+"
                           + std::to_string(window.y + kTimelineMarkerY),
                       "+repage", "txt:-" },
            out, nullptr);
        std::istringstream lines(fRoot.Get("row.txt"));
        for (std::string line; std::getline(lines, line);) {
            if (line.find("#FF0000") != std::string::npos)
                return (std::atoi(line.c_str()) - kTimelineFrame0X + 4) / 8;
        }
        return -1;
    }
    // Until the marker shows the frame (a busy machine paints late); the frame last seen.
    int MarkerSettlesAt(int frame, const ScreenBox& window, const std::string& name)
    {
        int seen = -1;
        for (int tries = 0; tries < 25 && seen != frame; ++tries) {
            if (tries)
                usleep(200000);
            seen = FrameAtMarker(Screenshot(name), window);
        }
        return seen;
    }
    // Press, a few moves, release.
    void Drag(int x0, int y0, int x1, int y1)
    {
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x0), std::to_string(y0) }, "", nullptr);
        RunProgram({ "xdotool", "mousedown", "1" }, "", nullptr);
        for (int step = 1; step <= 5; ++step) {
            RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x0 + (x1 - x0) * step / 5),
                           std::to_string(y0 + (y1 - y0) * step / 5) },
                "", nullptr);
            usleep(50000);
        }
        RunProgram({ "xdotool", "mouseup", "1" }, "", nullptr);
        usleep(300000);
    }
    // Until the program ends; its exit status, or -1 when it had to be killed.
    int WaitForExit(int ms = 20000)
    {
        int status = 0;
        for (int waited = 0; waited < ms; waited += 50) {
            if (waitpid(fPid, &status, WNOHANG) == fPid) {
                fPid = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(50000);
        }
        return -1;
    }
    // Ctrl+Q in the main window; the exit status.
    int Quit(const std::string& title)
    {
        KeysTo(title, "ctrl+q");
        return WaitForExit();
    }

    // More NAME=value entries for the program's environment.
    std::vector<std::string> fExtraEnv;
    bool fFreshStart = false;
    XvfbSession fServer;
    std::unique_ptr<ScopedEnv> fDisplay;
    ScratchFolder fRoot;
    pid_t fPid = 0;
};
