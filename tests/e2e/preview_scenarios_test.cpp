// F5 as a user presses it: the progress pane over the main window, a half-size movie that an
// xdg-open stand-in receives (ffprobe judges it).
#include "celvane_session.h"

#include <sys/stat.h>

namespace {

const char* kUntitled = "Untitled.celv - Celvane";

class PreviewScenarios : public CelvaneSession {
protected:
    void SetUp() override
    {
        CelvaneSession::SetUp();
        if (IsSkipped())
            return;
        if (!HasProgram("ffprobe"))
            GTEST_SKIP() << "ffprobe is not installed (tools/install-deps.sh test brings it)";
        // The stand-in logs the movie and keeps a copy: the original goes with the program.
        std::filesystem::create_directories(fRoot.File("bin"));
        const std::string stub = fRoot.File("bin/xdg-open");
        std::ofstream(stub) << "#!/bin/sh\ncp \"$1\" '" << fRoot.File("preview.mov") << "'\necho \"$1\" >> '"
                            << fRoot.File("opened.txt") << "'\n";
        chmod(stub.c_str(), 0755);
        fPath = std::make_unique<ScopedEnv>("PATH", (fRoot.File("bin") + ":" + std::getenv("PATH")).c_str());
    }
    void StartWith(int32_t frames)
    {
        PutSettings("\"VornVersion\" \"20090526\"\n\"ProjWidth\" \"640\"\n\"ProjHeight\" \"480\"\n"
                    "\"ProjFPS\" \"24.000000\"\n\"ProjStart\" \"1\"\n\"ProjEnd\" \""
            + std::to_string(frames) + "\"\n");
        Start();
        ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    }
    // The pane's place: centred on the main window's client area.
    ScreenBox PaneBox()
    {
        ScreenBox window;
        EXPECT_TRUE(WindowBox(kUntitled, window));
        return { window.x + window.width / 2 - 200, window.y + window.height / 2 - 36, 400, 72 };
    }
    // The pane's region of a new screenshot, cropped into the scratch folder.
    std::string PaneCrop(const ScreenBox& pane, const std::string& name)
    {
        const std::string crop = fRoot.File(name + "-crop.png");
        RunProgram({ "convert", Screenshot(name), "-crop",
                       std::to_string(pane.width) + "x" + std::to_string(pane.height) + "+" + std::to_string(pane.x)
                           + "+" + std::to_string(pane.y),
                       "+repage", "png:" + crop },
            "", nullptr);
        return crop;
    }
    long Differing(const std::string& a, const std::string& b)
    {
        const std::string count = fRoot.File("count.txt");
        RunProgram({ "sh", "-c", "compare -metric AE -fuzz 8% '" + a + "' '" + b + "' null: 2>'" + count + "'" }, "",
            nullptr);
        return std::atol(fRoot.Get("count.txt").c_str());
    }
    // Until the pane covers most of its region (the canvas there is one flat colour before).
    bool PaneShows(const ScreenBox& pane, const std::string& before, int ms)
    {
        for (int waited = 0; waited < ms; waited += 150) {
            if (Differing(before, PaneCrop(pane, "during")) > pane.width * pane.height / 2)
                return true;
            usleep(50000);
        }
        return false;
    }
    std::string Probe(const std::string& path, const char* entry)
    {
        RunProgram({ "ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                       std::string("stream=") + entry, "-of", "default=nw=1:nk=1", path },
            fRoot.File("probe.txt"), nullptr, 60000);
        std::string text = fRoot.Get("probe.txt");
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }
    bool WaitForOpened(int ms)
    {
        for (int waited = 0; waited < ms; waited += 100) {
            if (!fRoot.Get("opened.txt").empty())
                return true;
            usleep(100000);
        }
        return false;
    }
    std::unique_ptr<ScopedEnv> fPath;
};

// Acceptance: F5 shows "Generating preview...", the movie is half the document's size and is
// handed to the desktop's opener. A quit pressed meanwhile waits for the preview.
TEST_F(PreviewScenarios, F5RendersAHalfSizeMovieAndOpensIt)
{
    StartWith(2400);
    const ScreenBox pane = PaneBox();
    const std::string before = PaneCrop(pane, "before");
    KeysTo(kUntitled, "F5");
    EXPECT_TRUE(PaneShows(pane, before, 20000)) << Output();
    // Keys wait in the queue while the pane is up: the quit comes after the movie was opened.
    RunProgram({ "xdotool", "key", "ctrl+q" }, "", nullptr);
    ASSERT_TRUE(WaitForOpened(120000)) << Output();
    const std::string opened = fRoot.Get("opened.txt");
    EXPECT_NE(opened.find("/.celv_preview.mov"), std::string::npos) << opened;
    EXPECT_EQ(Probe(fRoot.File("preview.mov"), "width"), "320");
    EXPECT_EQ(Probe(fRoot.File("preview.mov"), "height"), "240");
    EXPECT_EQ(WaitForExit(30000), 0) << Output();
    // The movie went with the program's temporary folder.
    const std::string movie = opened.substr(0, opened.size() - 1);
    EXPECT_FALSE(std::filesystem::exists(movie)) << movie;
}

} // namespace
