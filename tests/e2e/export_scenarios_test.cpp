// Exports as a new user makes them: a document of the project defaults, exported through the
// dialogs to AVI and SWF, previewed, and rendered in a batch; ffprobe and the SWF header judge
// the files, an xdg-open stand-in records what the program opened.
#include "celvane_session.h"

#include <sys/stat.h>

namespace {

const char* kUntitled = "Untitled.celv - Celvane";

class ExportScenarios : public CelvaneSession {
protected:
    void SetUp() override
    {
        CelvaneSession::SetUp();
        if (IsSkipped())
            return;
        if (!HasProgram("ffprobe"))
            GTEST_SKIP() << "ffprobe is not installed (tools/install-deps.sh test brings it)";
        // The stand-in for the desktop's opener writes down what it was given.
        std::filesystem::create_directories(fRoot.File("bin"));
        const std::string stub = fRoot.File("bin/xdg-open");
        std::ofstream(stub) << "#!/bin/sh\necho \"$1\" >> '" << fRoot.File("opened.txt") << "'\n";
        chmod(stub.c_str(), 0755);
        fPath = std::make_unique<ScopedEnv>("PATH", (fRoot.File("bin") + ":" + std::getenv("PATH")).c_str());
    }
    void StartWith(int32_t frames)
    {
        PutSettings("\"VornVersion\" \"20090526\"\n\"ProjWidth\" \"320\"\n\"ProjHeight\" \"240\"\n"
                    "\"ProjFPS\" \"24.000000\"\n\"ProjStart\" \"1\"\n\"ProjEnd\" \""
            + std::to_string(frames) + "\"\n");
        Start();
        ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    }
    // Ctrl+E, OK with the format the settings prefer, the path typed in Save As.
    void ExportAs(const std::string& path)
    {
        KeysTo(kUntitled, "ctrl+e");
        ASSERT_TRUE(WaitForTitle("Export Animation")) << Output();
        KeysTo("Export Animation", "Return");
        ASSERT_TRUE(WaitForTitle("Save As")) << Output();
        KeysTo("Save As", "ctrl+a");
        TypeTo("Save As", path);
        KeysTo("Save As", "Return");
    }
    std::string Probe(const std::string& path, const char* stream, const char* entry)
    {
        const std::string out = fRoot.File("probe.txt");
        RunProgram({ "ffprobe", "-v", "error", "-count_frames", "-select_streams", stream, "-show_entries",
                       std::string("stream=") + entry, "-of", "default=nw=1:nk=1", path },
            out, nullptr, 60000);
        std::string text = fRoot.Get("probe.txt");
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }
    std::unique_ptr<ScopedEnv> fPath;
};

// A1: Ctrl+E, AVI, a typed path, Return in the codec dialog: the window closes by itself, the
// movie is whole and opened, and "PreviousExportedMovie" holds it after quitting.
TEST_F(ExportScenarios, AnAviExportClosesByItselfAndOpensTheMovie)
{
    StartWith(24);
    const std::string movie = fRoot.File("work/walk.avi");
    ExportAs(movie);
    ASSERT_TRUE(WaitForTitle("Compression")) << Output();
    KeysTo("Compression", "Return");
    ASSERT_TRUE(WaitForTitle("Untitled.celv")) << Output();
    ASSERT_TRUE(WaitForNoTitle("Untitled.celv", 60000)) << Output();
    EXPECT_EQ(Probe(movie, "v:0", "nb_read_frames"), "24");
    EXPECT_EQ(Probe(movie, "v:0", "width"), "320");
    EXPECT_EQ(Probe(movie, "v:0", "height"), "240");
    EXPECT_EQ(Probe(movie, "v:0", "r_frame_rate"), "24/1");
    for (int i = 0; i < 50 && fRoot.Get("opened.txt").empty(); i++)
        usleep(100000);
    EXPECT_EQ(fRoot.Get("opened.txt"), movie + "\n");
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
    EXPECT_EQ(Setting("PreviousExportedMovie"), movie);
}

// A3: quitting during a long export asks first; Yes leaves a shorter, finished movie.
TEST_F(ExportScenarios, ClosingAnExportEarlyLeavesAShorterMovie)
{
    StartWith(2000);
    const std::string movie = fRoot.File("work/long.avi");
    ExportAs(movie);
    ASSERT_TRUE(WaitForTitle("Compression")) << Output();
    KeysTo("Compression", "Return");
    ASSERT_TRUE(WaitForTitle("Untitled.celv")) << Output();
    sleep(1);
    KeysTo(kUntitled, "ctrl+q");
    ASSERT_TRUE(WaitForTitle("Celvane Pomra")) << Output();
    KeysTo("Celvane Pomra", "y");
    EXPECT_EQ(WaitForExit(), 0) << Output();
    const int frames = std::atoi(Probe(movie, "v:0", "nb_read_frames").c_str());
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 2000);
}

// A6: Ctrl+R renders the frame; the title tells when it is done.
TEST_F(ExportScenarios, PreviewRendersTheFrame)
{
    StartWith(24);
    KeysTo(kUntitled, "ctrl+r");
    ASSERT_TRUE(WaitForTitle("Render...done!", 30000)) << Output();
    KeysTo("Render...done!", "Escape");
    ASSERT_TRUE(WaitForNoTitle("Render...done!")) << Output();
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

} // namespace
