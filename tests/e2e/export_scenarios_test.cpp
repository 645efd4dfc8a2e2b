// Exports as a new user makes them: a document of the project defaults, exported through the
// dialogs to AVI and SWF, previewed, and rendered in a batch; ffprobe and the SWF header judge
// the files, an xdg-open stand-in records what the program opened.
#include "celvane_session.h"

#include <algorithm>
#include <atomic>
#include <sys/stat.h>
#include <thread>

namespace {

const char* kUntitled = "Untitled.celv - Celvane";
const char* kBatch = "Celvane Batch Export";

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
    // The format is a list position: 3 PNG, 5 AVI, 7 SWF with the four image writers (JPEG, BMP,
    // Targa, PNG) before them.
    void StartWith(int32_t frames, int32_t format = 5, int32_t width = 320, int32_t height = 240)
    {
        PutSettings("\"VornVersion\" \"20090526\"\n\"ProjWidth\" \"" + std::to_string(width) + "\"\n\"ProjHeight\" \""
            + std::to_string(height)
            + "\"\n\"ProjFPS\" \"24.000000\"\n\"ProjStart\" \"1\"\n\"ProjEnd\" \"" + std::to_string(frames)
            + "\"\n\"PreferredFormat\" \"" + std::to_string(format) + "\"\n");
        Start();
        ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    }
    // A document of the project defaults without layers, 320 x 240 at 24 fps from frame 1.
    static void WriteProject(const std::string& path, int32_t frames, const std::string& soundtrack = "")
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << "application/x-vnd.qv_vorndoc\nversion 19\n\n### static values\ndimensions 320 240\n"
                               "frame_range 1 "
                            << frames
                            << "\nfps 24\nback_color 40 90 200 255\nnoise_grain 0\nallow_3d true\ndepth_sort false\n"
                               "distance_sort false\ndepth_of_field false 2 1 0.05\nstereo_separation -1\n"
                               "extra_swf_frame false\nsoundtrack \""
                            << soundtrack
                            << "\"\n\n### styles\n\n### animated values\n"
                               "camera_track\n[\n\tkeys 1\n\t\t0 1 0.1 0.5 0 0 1.7321\n]\ncamera_zoom\n[\n\tkeys 1\n"
                               "\t\t0 1 0.1 0.5 1\n]\ncamera_roll\n[\n\tkeys 1\n\t\t0 1 0.1 0.5 0\n]\n"
                               "camera_pan_tilt\n[\n\tkeys 1\n\t\t0 1 0.1 0.5 0 0\n]\n\n### layers\n";
    }
    // That document, written here and opened at start.
    void StartWithFile(const std::string& path, int32_t frames, int32_t format, const std::string& soundtrack = "")
    {
        PutSettings("\"VornVersion\" \"20090526\"\n\"PreferredFormat\" \"" + std::to_string(format) + "\"\n");
        WriteProject(path, frames, soundtrack);
        Start({ path });
    }
    // Ctrl+E, OK with the format the settings prefer, the path typed in Save As.
    // A start frame, when given, is typed into the dialog's first field.
    void ExportAs(const std::string& path, const char* mainTitle = kUntitled, const std::string& start = "")
    {
        KeysTo(mainTitle, "ctrl+e");
        ASSERT_TRUE(WaitForTitle("Export Animation")) << Output();
        if (!start.empty()) {
            KeysTo("Export Animation", "ctrl+a");
            TypeTo("Export Animation", start);
        }
        KeysTo("Export Animation", "Return");
        ASSERT_TRUE(WaitForTitle("Save As")) << Output();
        KeysTo("Save As", "ctrl+a");
        TypeTo("Save As", path);
        KeysTo("Save As", "Return");
    }
    // File > Batch Export... from the main window: the batch window's box in fBatch, and in
    // fBatchOpened its first picture, where Start is disabled and reads "Start".
    void OpenBatch()
    {
        ScreenBox main;
        ASSERT_TRUE(WindowBox(kUntitled, main));
        ChooseMenuItem(main, 0, 14);
        ASSERT_TRUE(WaitForTitle(kBatch)) << Output();
        ASSERT_TRUE(WindowBox(kBatch, fBatch));
        fBatchOpened = Screenshot("batch-opened");
    }
    // Where the batch window's layout puts its widgets (window coordinates): the format popup and
    // the end field near the top, the Add and Start buttons side by side in the middle just
    // above the 200-pixel file list at the bottom, the list's rows 15 pixels apart.
    static int BatchButtonsY(const ScreenBox& batch) { return batch.height - 233; }
    static int AddX(const ScreenBox& batch) { return batch.width / 2 - 40; }
    static int StartX(const ScreenBox& batch) { return batch.width / 2 + 40; }
    static ScreenBox StartButton(const ScreenBox& batch)
    {
        // Inside its border, whose corners change under the pointer.
        return { batch.x + StartX(batch) - 30, batch.y + BatchButtonsY(batch) - 6, 60, 12 };
    }
    // The popup's menu opens just below it, its items one line of the widget font apart.
    void ChooseBatchFormat(int position)
    {
        CreateInterfaceFonts();
        const int line = gWidgetFont ? gWidgetFont->LineHeight() : 15;
        DeleteInterfaceFonts();
        ClickIn(kBatch, fBatch.width / 2 + 47, 104);
        ClickIn(kBatch, fBatch.width / 2 + 60, 104 + 12 + position * line + line / 2);
    }
    // Add..., the project's path typed in the open chooser.
    void AddToBatch(const std::string& project)
    {
        ClickIn(kBatch, AddX(fBatch), BatchButtonsY(fBatch));
        ASSERT_TRUE(WaitForTitle("Add to Batch")) << Output();
        KeysTo("Add to Batch", "ctrl+a");
        TypeTo("Add to Batch", project);
        KeysTo("Add to Batch", "Return");
        ASSERT_TRUE(WaitForNoTitle("Add to Batch")) << Output();
    }
    // Until the batch window's Start button looks as it did in that picture (its label and whether it is
    // enabled); false when it never does.
    bool StartButtonLooksAsIn(const std::string& picture, int ms = 120000)
    {
        for (int waited = 0; waited < ms; waited += 500) {
            if (BoxDiffers(Screenshot("batch-now"), picture, StartButton(fBatch)) == 0)
                return true;
            usleep(500000);
        }
        return false;
    }
    static std::vector<std::string> FilesIn(const std::string& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // "width x height" of a picture, as ImageMagick reads it.
    std::string PictureSize(const std::string& path)
    {
        RunProgram({ "convert", path, "-format", "%w x %h", "info:" }, fRoot.File("size.txt"), nullptr);
        return fRoot.Get("size.txt");
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
    ScreenBox fBatch;
    std::string fBatchOpened;
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
    // A short export may be over before its window is seen.
    WaitForTitle("Untitled.celv", 5000);
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

// A2: an audio layer's WAV sound goes into the movie as 44.1 kHz stereo when the export starts
// at the document's first frame; an export from frame 5 has no sound.
TEST_F(ExportScenarios, AnAudioLayerGivesTheMovieItsSoundOnlyFromTheFirstFrame)
{
    if (!HasProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::string tone = fRoot.File("work/tone.wav");
    ASSERT_EQ(RunProgram({ "ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                  "sine=frequency=440:sample_rate=22050:duration=2", tone },
                  "", nullptr, 60000),
        0);
    // An older document's sound track opens as an audio layer from frame 1.
    StartWithFile(fRoot.File("work/tone.celv"), 24, 5, tone);
    const char* title = "tone.celv - Celvane";
    ASSERT_TRUE(WaitForTitle(title)) << Output();
    for (const bool fromStart : { true, false }) {
        SCOPED_TRACE(fromStart ? "from frame 1" : "from frame 5");
        const std::string movie = fRoot.File(fromStart ? "work/whole.avi" : "work/late.avi");
        ExportAs(movie, title, fromStart ? "" : "5");
        ASSERT_TRUE(WaitForTitle("Compression")) << Output();
        KeysTo("Compression", "Return");
        WaitForTitle("tone.celv", 5000);
        ASSERT_TRUE(WaitForNoTitle("tone.celv", 60000)) << Output();
        EXPECT_EQ(Probe(movie, "v:0", "nb_read_frames"), fromStart ? "24" : "20");
        if (fromStart) {
            EXPECT_EQ(Probe(movie, "a:0", "sample_rate"), "44100");
            EXPECT_EQ(Probe(movie, "a:0", "channels"), "2");
        } else {
            EXPECT_EQ(Probe(movie, "a:0", "codec_type"), "");
        }
    }
    EXPECT_EQ(Quit(title), 0) << Output();
}

// A3: quitting during a long export asks first; Yes leaves a shorter, finished movie.
TEST_F(ExportScenarios, ClosingAnExportEarlyLeavesAShorterMovie)
{
    // Long and large enough that an empty frame's export is still running a second after it starts.
    StartWith(20000, 5, 640, 480);
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
    EXPECT_LT(frames, 20000);
}

// A4: Flash (SWF): a compressed movie of 320 x 240 pixels (in twips), rate 24, 24 frames.
TEST_F(ExportScenarios, AnSwfExportWritesTheWholeMovie)
{
    if (!HasProgram("node"))
        GTEST_SKIP() << "node is not installed";
    StartWithFile(fRoot.File("work/walk.celv"), 24, 7);
    ASSERT_TRUE(WaitForTitle("walk.celv - Celvane")) << Output();
    const std::string movie = fRoot.File("work/walk.swf");
    ExportAs(movie, "walk.celv - Celvane");
    // A short export may be gone before its window is seen: the opened file tells it ended.
    for (int i = 0; i < 600 && fRoot.Get("opened.txt").empty(); i++)
        usleep(100000);
    ASSERT_TRUE(WaitForNoTitle("walk.celv", 60000)) << Output();
    // The header after the signature: the frame rectangle's bits, the rate (8.8) and the count.
    const std::string script = "const z=require('zlib'),b=require('fs').readFileSync(process.argv[1]);"
                               "const d=z.inflateSync(b.subarray(8));const n=d[0]>>3;let bits=5+4*n,v=[];"
                               "for(let i=0;i<4;i++){let x=0;for(let k=0;k<n;k++){const p=5+i*n+k;"
                               "x=(x<<1)|((d[p>>3]>>(7-(p&7)))&1);}v.push(x);}const o=Math.ceil(bits/8);"
                               "console.log(b.toString('latin1',0,3),v[1]-v[0],v[3]-v[2],d[o+1],d.readUInt16LE(o+2));";
    RunProgram({ "node", "-e", script, movie }, fRoot.File("swf.txt"), nullptr, 30000);
    EXPECT_EQ(fRoot.Get("swf.txt"), "CWS 6400 4800 24 24\n");
    for (int i = 0; i < 50 && fRoot.Get("opened.txt").empty(); i++)
        usleep(100000);
    EXPECT_EQ(fRoot.Get("opened.txt"), movie + "\n");
    EXPECT_EQ(Quit("walk.celv - Celvane"), 0) << Output();
}

// An export whose file cannot be written says why, and opens nothing.
TEST_F(ExportScenarios, AnExportThatCannotWriteItsFileSaysSo)
{
    StartWithFile(fRoot.File("work/walk.celv"), 24, 7);
    ASSERT_TRUE(WaitForTitle("walk.celv - Celvane")) << Output();
    const std::string movie = fRoot.File("work/missing/walk.swf");
    ExportAs(movie, "walk.celv - Celvane");
    ASSERT_TRUE(WaitForTitle(kAppName, 60000)) << Output();
    KeysTo(kAppName, "Return");
    ASSERT_TRUE(WaitForNoTitle("walk.celv")) << Output();
    EXPECT_FALSE(std::filesystem::exists(movie));
    EXPECT_EQ(fRoot.Get("opened.txt"), "");
    EXPECT_EQ(Quit("walk.celv - Celvane"), 0) << Output();
}

// A5: File > Batch Export, Add, PNG, Start: one numbered picture per frame beside the project
// and nothing else; the Start button then reads "Start" and is disabled as when the window
// opened.
TEST_F(ExportScenarios, ABatchRendersAProjectToNumberedPicturesBesideIt)
{
    StartWith(24);
    const std::string project = fRoot.File("work/shots/shot.celv");
    WriteProject(project, 24);
    ASSERT_NO_FATAL_FAILURE(OpenBatch());
    const ScreenBox& batch = fBatch;
    ChooseBatchFormat(3);
    AddToBatch(project);
    ASSERT_GT(BoxDiffers(Screenshot("batch-added"), fBatchOpened, StartButton(batch)), 0) << "Start is not enabled";
    ClickIn(kBatch, StartX(batch), BatchButtonsY(batch));
    ASSERT_TRUE(StartButtonLooksAsIn(fBatchOpened)) << Output();
    std::vector<std::string> expected = { "shot.celv" };
    for (int frame = 1; frame <= 24; frame++) {
        char name[32];
        std::snprintf(name, sizeof(name), "shot%04d.png", frame);
        expected.push_back(name);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(fRoot.File("work/shots")), expected);
    EXPECT_EQ(PictureSize(fRoot.File("work/shots/shot0001.png")), "320 x 240");
    EXPECT_EQ(PictureSize(fRoot.File("work/shots/shot0024.png")), "320 x 240");
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

// A5: two projects in two folders as AVI, the second row ending at frame 10: one codec dialog
// for the batch, a whole movie beside each project.
TEST_F(ExportScenarios, ABatchOfTwoProjectsAsMoviesAsksForTheCodecOnce)
{
    StartWith(24);
    const std::string first = fRoot.File("work/one/first.celv");
    const std::string second = fRoot.File("work/two/second.celv");
    WriteProject(first, 24);
    WriteProject(second, 24);
    ASSERT_NO_FATAL_FAILURE(OpenBatch());
    const ScreenBox& batch = fBatch;
    ChooseBatchFormat(5);
    AddToBatch(first);
    AddToBatch(second);
    // Row 1, then its end frame typed and entered.
    ClickIn(kBatch, 100, batch.height - 185);
    ClickIn(kBatch, batch.width / 2 + 110, 77);
    KeysTo(kBatch, "ctrl+a");
    TypeTo(kBatch, "10");
    KeysTo(kBatch, "Return");
    ClickIn(kBatch, StartX(batch), BatchButtonsY(batch));
    ASSERT_TRUE(WaitForTitle("Compression")) << Output();
    KeysTo("Compression", "Return");
    ASSERT_TRUE(WaitForNoTitle("Compression")) << Output();
    // The second project's movie reuses the codec chosen for the batch.
    bool askedAgain = false;
    for (int waited = 0; waited < 120000 && !askedAgain; waited += 500) {
        if (BoxDiffers(Screenshot("batch-now"), fBatchOpened, StartButton(batch)) == 0)
            break;
        askedAgain = WaitForTitle("Compression", 400);
    }
    EXPECT_FALSE(askedAgain);
    ASSERT_TRUE(StartButtonLooksAsIn(fBatchOpened, 1000)) << Output();
    EXPECT_EQ(FilesIn(fRoot.File("work/one")), (std::vector<std::string> { "first.avi", "first.celv" }));
    EXPECT_EQ(FilesIn(fRoot.File("work/two")), (std::vector<std::string> { "second.avi", "second.celv" }));
    EXPECT_EQ(Probe(fRoot.File("work/one/first.avi"), "v:0", "nb_read_frames"), "24");
    EXPECT_EQ(Probe(fRoot.File("work/two/second.avi"), "v:0", "nb_read_frames"), "10");
    EXPECT_EQ(Probe(fRoot.File("work/two/second.avi"), "v:0", "width"), "320");
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

// A6: Ctrl+R renders the frame: "Render..." while it works, "Render...done!" after; Save Image,
// PNG, a typed path writes the frame. The frame is large so that the render is seen working.
TEST_F(ExportScenarios, PreviewRendersTheFrameAndSavesItAsPng)
{
    StartWith(24, 5, 4000, 3000);
    // The working title may last only a moment: it is looked for from before the key.
    std::atomic<bool> working { false };
    std::atomic<bool> stop { false };
    std::thread watcher([&] {
        while (!stop && !working)
            working = RunProgram({ "xdotool", "search", "--onlyvisible", "--name", "^" + Escaped("Render...") + "$" },
                          "", nullptr)
                == 0;
    });
    KeysTo(kUntitled, "ctrl+r");
    const bool done = WaitForTitle("Render...done!", 60000);
    stop = true;
    watcher.join();
    EXPECT_TRUE(working) << "\"Render...\" was never seen";
    ASSERT_TRUE(done) << Output();
    // The popup of the image writers, bottom left; its menu is kept inside the window, so its
    // last item, PNG, lies just above the window's bottom edge.
    ScreenBox render;
    ASSERT_TRUE(WindowBox("Render...done!", render));
    ClickIn("Render...done!", 40, render.height - 22);
    ClickIn("Render...done!", 40, render.height - 10);
    ASSERT_TRUE(WaitForTitle("Save As")) << Output();
    const std::string picture = fRoot.File("work/frame.png");
    KeysTo("Save As", "ctrl+a");
    TypeTo("Save As", picture);
    KeysTo("Save As", "Return");
    ASSERT_TRUE(WaitForNoTitle("Save As")) << Output();
    for (int i = 0; i < 100 && PictureSize(picture) != "4000 x 3000"; i++)
        usleep(100000);
    EXPECT_EQ(PictureSize(picture), "4000 x 3000");
    KeysTo("Render...done!", "Escape");
    ASSERT_TRUE(WaitForNoTitle("Render...done!")) << Output();
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

} // namespace
