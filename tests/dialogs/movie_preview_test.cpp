// The movie preview without a window: ffprobe judges the movie, an xdg-open stand-in records
// what was opened, and the user's compression keys are as before afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "../core/scratch_folder.h"
#include "audiolayer.h"
#include "export_test_support.h"
#include "generic_progress.h"
#include "image_format_registry.h"
#include "media_presence.h"
#include "movie_preview.h"
#include "plat_event.h"
#include "plat_simulate.h"
#include "plat_video.h"
#include "plat_window.h"
#include "qv_message.h"
#include "qv_qt_movie_writer.h"
#include "qv_wnd.h"
#include "scoped_env.h"
#include "timeline_marks.h"
#include "vorndoc.h"

namespace {

class MoviePreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HasProgram("ffprobe") || !HasProgram("ffmpeg"))
            GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
        ImageFormatRegistry::Init();
        gQuickTimePresent = true;
        gMediaSettings = &fSettings;
        std::filesystem::create_directories(fFolder.File("bin"));
        fFolder.Put("bin/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + fFolder.File("opened.txt") + "'\n");
        std::filesystem::permissions(fFolder.File("bin/xdg-open"), std::filesystem::perms::owner_all);
        fPath = std::make_unique<ScopedEnv>("PATH", (fFolder.File("bin") + ":" + std::getenv("PATH")).c_str());
        ClearPlayRange();

        const std::string tone = fFolder.File("tone.wav");
        ASSERT_EQ(RunProgram({ "ffmpeg", "-v", "quiet", "-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-ac",
                                 "2", "-ar", "44100", tone },
                      "", nullptr, 60000),
            0);
        ShapeDocument(fDoc, 96, 64, 24, 1, 6);
        auto* audio = new AudioLayer;
        ASSERT_EQ(audio->SetAudioFile(tone.c_str()), 0);
        fDoc.AddLayer(audio);
    }
    void TearDown() override
    {
        gMediaSettings = nullptr;
        delete gQtSettings;
        gQtSettings = nullptr;
        ClearPlayRange();
    }

    ScratchFolder fFolder;
    QV_Message fSettings;
    VornDoc fDoc;
    std::unique_ptr<ScopedEnv> fPath;
};

TEST_F(MoviePreviewTest, AHalfSizeMovieWithSoundFromFrameOneIsOpened)
{
    ASSERT_EQ(PreviewMovie(&fDoc, nullptr), PreviewResult::Opened);
    const std::string movie = PreviewMoviePath().CString();
    EXPECT_EQ(fFolder.Get("opened.txt"), movie + "\n");
    EXPECT_EQ(std::filesystem::path(movie).filename(), ".celv_preview.mov");
    EXPECT_EQ(Probe(movie, "v:0", "width"), "48");
    EXPECT_EQ(Probe(movie, "v:0", "height"), "32");
    EXPECT_EQ(Probe(movie, "v:0", "nb_read_frames"), "6");
    // The fast codec the preview asks for, whatever the user chose.
    EXPECT_EQ(Probe(movie, "v:0", "codec_name"), "mjpeg");
    EXPECT_EQ(Probe(movie, "a:0", "sample_rate"), "44100");
    // The document keeps its size; only its private copy was halved.
    EXPECT_EQ(fDoc.Width(), 96);
}

TEST_F(MoviePreviewTest, ARangeFromFrameZeroHasNoSound)
{
    PlayRangeStart = 0;
    PlayRangeEnd = 3;
    ASSERT_EQ(PreviewMovie(&fDoc, nullptr), PreviewResult::Opened);
    const std::string movie = PreviewMoviePath().CString();
    EXPECT_EQ(Probe(movie, "v:0", "nb_read_frames"), "4");
    EXPECT_EQ(Probe(movie, "a:0", "sample_rate"), "");
}

TEST_F(MoviePreviewTest, TheCompressionSettingsComeBack)
{
    // Missing keys come back with their defaults, the codec as 'SVQ3'.
    ASSERT_EQ(PreviewMovie(&fDoc, nullptr), PreviewResult::Opened);
    int32_t value = 0;
    ASSERT_TRUE(fSettings.FindInt("qtCodec", value));
    EXPECT_EQ(uint32_t(value), FourCharCode("SVQ3"));
    ASSERT_TRUE(fSettings.FindInt("qtDepth", value));
    EXPECT_EQ(value, 24);
    ASSERT_TRUE(fSettings.FindInt("qtQuality", value));
    EXPECT_EQ(value, 2);
    EXPECT_EQ(gQtSettings, nullptr);

    // A choice made before is what exports use afterwards.
    fSettings.AddInt("qtCodec", int32_t(FourCharCode("png ")));
    fSettings.AddInt("qtQuality", 4);
    auto* chosen = new QtCompression;
    chosen->fCodec = FourCharCode("rle ");
    gQtSettings = chosen;
    ASSERT_EQ(PreviewMovie(&fDoc, nullptr), PreviewResult::Opened);
    EXPECT_EQ(gQtSettings, chosen);
    EXPECT_EQ(gQtSettings->fCodec, FourCharCode("rle "));
    ASSERT_TRUE(fSettings.FindInt("qtCodec", value));
    EXPECT_EQ(uint32_t(value), FourCharCode("png "));
    ASSERT_TRUE(fSettings.FindInt("qtQuality", value));
    EXPECT_EQ(value, 4);
}

TEST_F(MoviePreviewTest, NothingWithoutTheMovieLibraries)
{
    gQuickTimePresent = false;
    EXPECT_EQ(PreviewMovie(&fDoc, nullptr), PreviewResult::NotRun);
    EXPECT_EQ(PreviewMovie(nullptr, nullptr), PreviewResult::NotRun);
    gQuickTimePresent = true;
    EXPECT_EQ(fFolder.Get("opened.txt"), "");
}

// The preview over a real window (SDL's dummy driver): a timer that runs while the movie renders
// presses a button where the test says.
class PreviewCancelTest : public MoviePreviewTest {
protected:
    void SetUp() override
    {
        MoviePreviewTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        ASSERT_TRUE(PlatVideoStart()) << PlatVideoError();
        fWindow = new QV_Wnd(0, "work", true, nullptr, 100, 100, 599, 399);
        fWindow->Show();
        // A longer range, so that the timer meets the pane.
        PlayRangeStart = 0;
        PlayRangeEnd = 120;
    }
    void TearDown() override
    {
        if (fWindow)
            PlatWindowDestroy(fWindow->fHwnd);
        PlatVideoStop();
        MoviePreviewTest::TearDown();
    }

    struct Presser : public QV_Handler {
        void HandleMessage(QV_Message*) override
        {
            if (pressed || !gGenericProgress)
                return;
            pressed = true;
            const QV_Rect pane = gGenericProgress->Frame();
            const int32_t x = inside ? (pane.left + pane.right) / 2 : pane.left - 10;
            const int32_t y = inside ? (pane.top + pane.bottom) / 2 : pane.top - 10;
            PlatSimulateMouseButton(window->fHwnd, x, y, button, true, 0);
        }
        QV_Wnd* window = nullptr;
        int32_t button = kPlatLeftButton;
        bool inside = true;
        bool pressed = false;
    };

    QV_Wnd* fWindow = nullptr;
};

// A left or right press on the pane stops the preview: nothing is opened, no movie is left and
// the pane is gone. A press beside the pane is no cancel.
TEST_F(PreviewCancelTest, APressOnThePaneCancelsOneBesideItDoesNot)
{
    struct Case {
        int32_t button;
        bool inside;
        PreviewResult result;
    };
    const Case cases[] = {
        { kPlatLeftButton, true, PreviewResult::Cancelled },
        { kPlatRightButton, true, PreviewResult::Cancelled },
        { kPlatLeftButton, false, PreviewResult::Opened },
    };
    const int32_t layers = fWindow->fLayerCount;
    for (const Case& c : cases) {
        std::filesystem::remove(fFolder.File("opened.txt"));
        Presser presser;
        presser.window = fWindow;
        presser.button = c.button;
        presser.inside = c.inside;
        const uint32_t timer = fWindow->AddTimer(0.01f, &presser, 1);
        const PreviewResult result = PreviewMovie(&fDoc, fWindow);
        fWindow->RemoveTimer(timer);
        EXPECT_TRUE(presser.pressed) << c.button << " " << c.inside;
        EXPECT_EQ(result, c.result) << c.button << " " << c.inside;
        EXPECT_EQ(gGenericProgress, nullptr);
        EXPECT_EQ(fWindow->fLayerCount, layers);
        const bool opened = c.result == PreviewResult::Opened;
        EXPECT_EQ(fFolder.Get("opened.txt").empty(), !opened);
        EXPECT_EQ(std::filesystem::exists(PreviewMoviePath().CString()), opened);
    }
}

} // namespace
