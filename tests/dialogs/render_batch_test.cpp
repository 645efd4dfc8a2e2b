// The render window and the batch export window, run on SDL's dummy video driver with their
// worker threads (under the sanitizers in ./test.sh).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app_prefs.h"
#include "batch_wnd.h"
#include "export_formats.h"
#include "export_test_support.h"
#include "image_format_registry.h"
#include "media_presence.h"
#include "plat_beep.h"
#include "qv_button.h"
#include "qv_keys.h"
#include "qv_menu.h"
#include "qv_text_control.h"
#include "qv_text_list.h"
#include "render_wnd.h"
#include "window_test_support.h"

namespace {

int gBeeps = 0;

class ExportWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ImageFormatRegistry::Init();
        gQuickTimePresent = true;
        gBeeps = 0;
        PlatSetBeepHook([] { gBeeps++; });
    }
    void TearDown() override
    {
        PlatSetBeepHook(nullptr);
        WindowTest::TearDown();
    }
    // Pumps events until the condition holds or the time is up.
    template <typename Condition> static bool PumpUntil(Condition condition, int ms = 30000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            PlatPumpMessageWithin(20);
        }
        return true;
    }
    std::string SaveProject(const char* name, int32_t width, int32_t height, int32_t start, int32_t end)
    {
        std::filesystem::create_directories(fRoot.File(std::string("projects/") + name));
        const std::string path = fRoot.File(std::string("projects/") + name + "/" + name + ".celv");
        VornDoc doc;
        ShapeDocument(doc, width, height, 24, start, end);
        doc.SetPath(path.c_str());
        EXPECT_EQ(doc.Save(nullptr), 0);
        return path;
    }
    static int CountFiles(const std::string& folder, const char* extension)
    {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            count += entry.path().extension() == extension;
        return count;
    }
};

TEST_F(ExportWindowTest, RenderWindowSizesAndCentresTheView)
{
    int32_t w = 0;
    int32_t h = 0;
    RenderWindowClientSize(100, 60, 1280, 1024, w, h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 128);
    RenderWindowClientSize(4000, 3000, 1280, 1024, w, h);
    EXPECT_EQ(w, 1249);
    EXPECT_EQ(h, 961);

    VornDoc doc;
    ShapeDocument(doc, 100, 60, 24, 1, 1);
    RenderLayer layer(&doc, true, 200, 128);
    const QV_Rect frame = layer.fView->FrameInLayer();
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.top, 18);
    EXPECT_EQ(frame.right - frame.left + 1, 100);
    EXPECT_EQ(frame.bottom - frame.top + 1, 60);
}

TEST_F(ExportWindowTest, PngKeepsTheTransparencyAndJpegIsFlattened)
{
    VornDoc doc;
    ShapeDocument(doc, 40, 30, 24, 1, 1);
    auto* window = new RenderWnd(&doc, true, nullptr);
    window->Show();
    window->fLayer->fView->DrawDirect();
    ASSERT_TRUE(PumpUntil([&] { return window->fDone; })) << "the render never finished";
    EXPECT_EQ(gBeeps, 1);
    EXPECT_TRUE(window->fLayer->fCopy->IsEnabled());
    const std::string png = fRoot.File("frame.png");
    const std::string jpg = fRoot.File("frame.jpg");
    EXPECT_TRUE(window->SaveImage(PngWriterIndex, png.c_str()));
    EXPECT_TRUE(window->SaveImage(JpegWriterIndex, jpg.c_str()));
    PlatWindowDestroy(window->fHwnd);
    if (!HasProgram("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    RunProgram({ "convert", png, "-format", "%[fx:int(255*p{5,5}.a)]", "info:" }, fRoot.File("a.txt"), nullptr);
    EXPECT_EQ(fRoot.Get("a.txt"), "0");
    RunProgram({ "convert", jpg, "-format", "%[fx:int(255*p{5,5}.r)],%[fx:int(255*p{5,5}.b)]", "info:" },
        fRoot.File("c.txt"), nullptr);
    int r = 0;
    int b = 0;
    ASSERT_EQ(std::sscanf(fRoot.Get("c.txt").c_str(), "%d,%d", &r, &b), 2);
    EXPECT_NEAR(r, 40, 6);
    EXPECT_NEAR(b, 200, 6);
}

// Records the failure instead of showing the alert, which would wait for a user.
class RecordingRenderWnd : public RenderWnd {
public:
    using RenderWnd::RenderWnd;
    void ShowFailure(const char* reason) override { failures.push_back(reason ? reason : ""); }
    std::vector<std::string> failures;
};

TEST_F(ExportWindowTest, AFailedRenderIsToldWithItsReasonAndLeavesSaveAndCopyOff)
{
    VornDoc doc;
    ShapeDocument(doc, 40, 30, 24, 1, 1);
    auto* window = new RecordingRenderWnd(&doc, true, nullptr);
    window->Show();
    // Without its target image the job stops on its first step.
    window->fLayer->fView->fRenderImage.Free();
    window->fLayer->fView->DrawDirect();
    ASSERT_TRUE(PumpUntil([&] { return !window->failures.empty(); })) << "the failure was never told";
    ASSERT_EQ(window->failures.size(), 1u);
    EXPECT_NE(window->failures[0].find("Nothing to render"), std::string::npos) << window->failures[0];
    EXPECT_FALSE(window->fDone);
    EXPECT_FALSE(window->fLayer->fCopy->IsEnabled());
    EXPECT_EQ(gBeeps, 0);
    PlatWindowDestroy(window->fHwnd);
}

TEST_F(ExportWindowTest, ClosingOrEscapeMidRenderStopsWithoutTitleOrBeep)
{
    VornDoc doc;
    ShapeDocument(doc, 1500, 1500, 24, 1, 1);
    for (bool escape : { false, true }) {
        auto* window = new RenderWnd(&doc, true, nullptr);
        window->Show();
        window->fLayer->fView->DrawDirect();
        QV_Wnd::Watch watch(window);
        if (escape) {
            window->fLayer->KeyDown(KEY_ESCAPE, 0);
        } else {
            EXPECT_TRUE(window->QuitRequested());
            PlatWindowDestroy(window->fHwnd);
        }
        EXPECT_TRUE(watch.Gone());
        PumpUntil([] { return false; }, 200);
        EXPECT_EQ(gBeeps, 0);
    }
}

TEST_F(ExportWindowTest, BatchRowsStartPauseDeleteAndProgressLabel)
{
    gPrefs.preferredFormat = PngWriterIndex;
    const std::string first = SaveProject("first", 32, 24, 1, 12);
    const std::string second = SaveProject("second", 32, 24, 1, 4);
    const std::string text = fRoot.File("notes.txt");
    std::ofstream(text) << "not a project\n";

    auto* batch = new BatchWnd(nullptr, 100, 100, 499, 399);
    EXPECT_FALSE(batch->fStartButton->IsEnabled());
    batch->FileDropped(first.c_str(), 0, 0, 0);
    batch->FileDropped(text.c_str(), 0, 0, 0);
    batch->FileDropped(second.c_str(), 0, 0, 0);
    ASSERT_EQ(batch->fList->CountItems(), 2);
    EXPECT_STREQ(batch->fList->GetItem(0), "first.celv");
    EXPECT_TRUE(batch->fStartButton->IsEnabled());

    batch->PostMessage(kBatchStart);
    batch->PostMessage(kBatchStart);
    EXPECT_STREQ(batch->fStartButton->fLabel.CString(), "Continue");
    // Delete on row 0 of a running batch does nothing; on row 1 it removes the row.
    batch->fList->SetSelItem(0);
    batch->KeyDown(KEY_DELETE, 0);
    EXPECT_EQ(batch->fList->CountItems(), 2);
    batch->fList->SetSelItem(1);
    batch->KeyDown(KEY_DELETE, 0);
    ASSERT_EQ(batch->fList->CountItems(), 1);

    const std::string folder = fRoot.File("projects/first");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int paused = CountFiles(folder, ".png");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(CountFiles(folder, ".png"), paused);

    // Added while the batch runs: rendered in turn.
    batch->PostMessage(kBatchStart);
    EXPECT_STREQ(batch->fStartButton->fLabel.CString(), "Pause");
    batch->FileDropped(second.c_str(), 0, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !batch->Running(); })) << "the batch never ended";
    EXPECT_EQ(batch->fList->CountItems(), 0);
    EXPECT_STREQ(batch->fStartButton->fLabel.CString(), "Start");
    EXPECT_FALSE(batch->fStartButton->IsEnabled());
    EXPECT_EQ(CountFiles(folder, ".png"), 12);
    EXPECT_EQ(CountFiles(fRoot.File("projects/second"), ".png"), 4);
    PlatWindowDestroy(batch->fHwnd);

    EXPECT_STREQ(BatchProgressLabel("walk.celv", 6, 1, 10).CString(), "walk.celv - 50%");
    EXPECT_STREQ(BatchProgressLabel("walk.celv", 1, 1, 10).CString(), "walk.celv - 0%");
}

TEST_F(ExportWindowTest, ChangingTheBatchFormatKeepsAFrameTypedButNotEntered)
{
    const std::string project = SaveProject("typed", 32, 24, 1, 12);
    auto* batch = new BatchWnd(nullptr, 100, 100, 499, 399);
    batch->FileDropped(project.c_str(), 0, 0, 0);
    batch->fList->SetSelItem(0);
    QV_Message selection(kBatchSelection);
    batch->HandleMessage(&selection);
    batch->fEndField->SelectAll();
    batch->fEndField->KeyDown('7', 0);
    QV_Message format(kBatchFormatFirst + PngWriterIndex);
    batch->HandleMessage(&format);
    EXPECT_EQ(batch->fEntries[0]->fSettings.fEndFrame, 7);
    EXPECT_EQ(batch->fEndField->IntValue(), 7);
    PlatWindowDestroy(batch->fHwnd);
}

} // namespace
