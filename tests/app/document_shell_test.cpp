// The document side of the main window: new, open, close, save, Save As and the recent files,
// with the alerts a user sees, through a window that records what it was asked to show.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "../core/scratch_folder.h"
#include "app_prefs.h"
#include "document_shell.h"
#include "imagelayer.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_message.h"
#include "shape_style_factory.h"
#include "vorndoc.h"
#include "xvfb_session.h"

namespace {

struct AlertRecord {
    std::string line1, line2, line3;
};

class RecordingShell : public DocumentShell {
public:
    QV_Message settings;
    std::string title = "Celvane";
    std::vector<AlertRecord> alerts;
    // Answers to the alerts, in order; 0 once they run out.
    std::vector<int32_t> answers;
    // What the Save As chooser answers; empty is Cancel.
    std::string chooserPath;
    int32_t attached = 0;
    int32_t withdrawn = 0;
    std::string toolByName;
    bool exportsMayStop = true;
    int32_t exportsAsked = 0;

protected:
    QV_Message* Settings() override { return &settings; }
    void SetWindowTitle(const char* text) override { title = text; }
    void AttachDocument(VornDoc*) override { attached++; }
    void WithdrawDocument() override { withdrawn++; }
    int32_t ShowAlert(int32_t, const char* l1, const char* l2, const char* l3, const char*, const char*,
        const char*) override
    {
        alerts.push_back({ l1 ? l1 : "", l2 ? l2 : "", l3 ? l3 : "" });
        if (answers.empty())
            return 0;
        const int32_t answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void RunSaveAsDialog() override
    {
        if (!chooserPath.empty())
            SaveAs(chooserPath.c_str());
    }
    void RecentFilesChanged() override { }
    void ReselectTool() override { }
    void SelectToolByName(const char* name) override { toolByName = name; }
    bool ExportWindowsMayQuit() override
    {
        exportsAsked++;
        return exportsMayStop;
    }
};

class DocumentShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeStyles();
        ResetPreferences();
        SetModelPrefSource(&fSource);
    }
    void TearDown() override { SetModelPrefSource(nullptr); }

    // A saved document made as New makes it.
    std::string MakeDocumentFile(const std::string& name)
    {
        VornDoc* document = MakeNewDocument();
        const std::string path = fFolder.File(name);
        document->SetPath(path.c_str());
        EXPECT_EQ(document->Save(nullptr), 0);
        delete document;
        return path;
    }
    std::string Recent(int i)
    {
        QV_String text;
        const std::string key = "RecentFile" + std::to_string(i);
        return fShell.settings.FindString(key.c_str(), text) ? text.CString() : "";
    }

    ShellPrefSource fSource;
    ScratchFolder fFolder;
    RecordingShell fShell;
};

TEST_F(DocumentShellTest, ANewDocumentTakesTheProjectDefaults)
{
    fShell.NewDocument();
    VornDoc* document = fShell.fDocument;
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Name(), "Untitled.celv");
    EXPECT_TRUE(document->Path().IsEmpty());
    EXPECT_FALSE(document->fDirty);
    EXPECT_EQ(document->Width(), 720);
    EXPECT_EQ(document->Height(), 534);
    EXPECT_EQ(document->StartFrame(), 1);
    EXPECT_EQ(document->fEndFrame, 240);
    EXPECT_FLOAT_EQ(document->Fps(), 24.0f);
    ASSERT_EQ(document->CountLayers(), 1);
    VornLayer* layer = document->Layer(0);
    EXPECT_EQ(layer->Name(), "Layer 1");
    EXPECT_EQ(document->GetSelectedLayer(), layer);
    EXPECT_EQ(layer->fShadowOffset.GetValue(0), 0.033333335f);
    EXPECT_EQ(layer->fShadowBlur.GetValue(0), 0.016666668f);
    EXPECT_EQ(layer->fShadingOffset.GetValue(0), 0.033333335f);
    EXPECT_EQ(layer->fShadingBlur.GetValue(0), 0.06666667f);
    EXPECT_FLOAT_EQ(static_cast<MeshLayer*>(layer)->fNoiseAmp, 6.0f / 534.0f);
    EXPECT_EQ(fShell.title, "Untitled.celv - Celvane");

    // New documents follow the stored project values.
    gPrefs.projWidth = 320;
    gPrefs.projHeight = 240;
    gPrefs.projFps = 12.5f;
    gPrefs.projEnd = 48;
    fShell.NewDocument();
    EXPECT_EQ(fShell.fDocument->Width(), 320);
    EXPECT_FLOAT_EQ(fShell.fDocument->Fps(), 12.5f);
    EXPECT_EQ(fShell.fDocument->fEndFrame, 48);
}

TEST_F(DocumentShellTest, TheStartupDocumentOpensUntitledAndIsNeverRecent)
{
    const std::string startup = MakeDocumentFile("StartupFile.celv");
    fShell.fStartupPath = startup.c_str();
    fShell.OpenStartupDocument(startup.c_str());
    ASSERT_NE(fShell.fDocument, nullptr);
    EXPECT_EQ(fShell.fDocument->Name(), "Untitled.celv");
    EXPECT_TRUE(fShell.fDocument->Path().IsEmpty());
    EXPECT_EQ(fShell.title, "Untitled.celv - Celvane");
    EXPECT_EQ(Recent(1), "");
    // Opened by name (from the command line) it keeps its own name, and is still not recent.
    fShell.OpenFile(startup.c_str());
    EXPECT_EQ(fShell.fDocument->Name(), "StartupFile.celv");
    EXPECT_EQ(Recent(1), "");
}

TEST_F(DocumentShellTest, RecentFilesKeepTheirOrderAndDropTheOldest)
{
    std::vector<std::string> paths;
    for (int i = 1; i <= 6; i++)
        paths.push_back(MakeDocumentFile("doc" + std::to_string(i) + ".celv"));
    for (int i = 0; i < 5; i++)
        fShell.OpenFile(paths[i].c_str());
    EXPECT_EQ(Recent(1), paths[4]);
    EXPECT_EQ(Recent(5), paths[0]);
    // Opened again: first, the others keep their order.
    fShell.OpenFile(paths[2].c_str());
    const std::vector<std::string> expected = { paths[2], paths[4], paths[3], paths[1], paths[0] };
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(Recent(i + 1), expected[i]) << i;
    // A sixth distinct file drops the oldest.
    fShell.OpenFile(paths[5].c_str());
    EXPECT_EQ(Recent(1), paths[5]);
    EXPECT_EQ(Recent(5), paths[1]);
    for (int i = 1; i <= 5; i++)
        EXPECT_NE(Recent(i), paths[0]);
}

TEST_F(DocumentShellTest, FailedOpensSayWhyAndLeaveWhatTheyShould)
{
    fShell.NewDocument();
    VornDoc* before = fShell.fDocument;
    fShell.OpenFile(fFolder.File("missing.celv").c_str());
    ASSERT_EQ(fShell.alerts.size(), 1u);
    EXPECT_EQ(fShell.alerts[0].line1, "The file does not exist.");
    EXPECT_EQ(fShell.fDocument, before);

    fFolder.Put("garbage.celv", "this is not a document at all\n\x01\x02");
    fShell.OpenFile(fFolder.File("garbage.celv").c_str());
    ASSERT_EQ(fShell.alerts.size(), 2u);
    EXPECT_EQ(fShell.alerts[1].line1, "Could not open file.");
    EXPECT_EQ(fShell.alerts[1].line2, "Error details:");
    EXPECT_FALSE(fShell.alerts[1].line3.empty());
    EXPECT_EQ(fShell.fDocument, nullptr);
    EXPECT_EQ(fShell.title, "Celvane");
    EXPECT_EQ(Recent(1), "");
}

TEST_F(DocumentShellTest, AMovieOpensAsANewDocumentAroundItsImageLayer)
{
    if (!HasProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed (tools/install-deps.sh test brings it)";
    const std::string movie = fFolder.File("clip.avi");
    ASSERT_EQ(RunProgram({ "ffmpeg", "-v", "quiet", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=2",
                             "-c:v", "mjpeg", movie },
                  "", nullptr, 60000),
        0);
    fShell.OpenFile(movie.c_str());
    ASSERT_TRUE(fShell.alerts.empty()) << fShell.alerts[0].line1;
    VornDoc* document = fShell.fDocument;
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Width(), 64);
    EXPECT_EQ(document->Height(), 48);
    EXPECT_FLOAT_EQ(document->Fps(), 10.0f);
    EXPECT_EQ(document->fEndFrame, 20);
    EXPECT_STREQ(document->fName.CString(), "clip.celv");
    EXPECT_FALSE(document->fDirty);
    EXPECT_EQ(fShell.title, "clip.celv - Celvane");
    EXPECT_EQ(fShell.toolByName, "QV_VideoTracking");
    EXPECT_EQ(Recent(1), "");
    ASSERT_EQ(document->CountLayers(), 1);
    VornLayer* layer = document->Layer(0);
    EXPECT_EQ(layer->LayerType(), LT_IMAGE);
    EXPECT_STREQ(layer->Name().CString(), "clip.avi");
    EXPECT_STREQ(static_cast<ImageLayer*>(layer)->SourceImage().CString(), movie.c_str());
}

TEST_F(DocumentShellTest, CancelAtSaveChangesKeepsTheDocument)
{
    const std::string other = MakeDocumentFile("other.celv");
    fShell.NewDocument();
    VornDoc* document = fShell.fDocument;
    document->SetDirty();
    const std::vector<std::function<void()>> commands = {
        [&] { fShell.NewDocument(); },
        [&] { fShell.OpenFile(other.c_str()); },
        [&] { fShell.CloseDocument(); },
    };
    for (const auto& command : commands) {
        fShell.answers = { 2 };
        command();
        EXPECT_EQ(fShell.fDocument, document);
        EXPECT_EQ(fShell.alerts.back().line1, "Save changes to this document?");
    }
    fShell.answers = { 2 };
    EXPECT_FALSE(fShell.MayQuit());
    EXPECT_EQ(fShell.fDocument, document);
    // No closes without saving.
    fShell.answers = { 1 };
    fShell.CloseDocument();
    EXPECT_EQ(fShell.fDocument, nullptr);
    EXPECT_EQ(fShell.title, "Celvane");
}

TEST_F(DocumentShellTest, SaveAsNamesTheFileByItsOwnExtension)
{
    const struct {
        const char* chosen;
        const char* target;
    } cases[] = {
        { "/w/scene.txt", "/w/scene.celv" },
        { "/w/scene", "/w/scene.celv" },
        { "/w/scene.CELV", "/w/scene.CELV" },
        { "/w/my.project/scene", "/w/my.project/scene.celv" },
        { "/w/.hidden", "/w/.hidden.celv" },
        { "scene.vorn", "scene.celv" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(SaveAsTarget(c.chosen), c.target) << c.chosen;
    EXPECT_EQ(ProposedSaveName("old.vorn"), "old.celv");
    EXPECT_EQ(ProposedSaveName("Untitled.celv"), "Untitled.celv");
}

TEST_F(DocumentShellTest, SaveAsWritesTheDocumentAndAsksBeforeReplacingAnUnconfirmedFile)
{
    std::filesystem::create_directory(fFolder.File("my.project"));
    fShell.NewDocument();
    fShell.chooserPath = fFolder.File("my.project/scene");
    fShell.SaveDocument();
    const std::string written = fFolder.File("my.project/scene.celv");
    ASSERT_TRUE(std::filesystem::exists(written));
    EXPECT_EQ(fShell.fDocument->Path(), written.c_str());
    EXPECT_EQ(fShell.title, "scene.celv - Celvane");
    EXPECT_EQ(Recent(1), written);
    const std::string saved = fFolder.Get("my.project/scene.celv");
    EXPECT_NE(saved.find("dimensions 720 534"), std::string::npos);
    EXPECT_NE(saved.find("name \"Layer 1\""), std::string::npos);

    // "scene" again: scene.celv exists and the chooser never asked about it.
    fShell.NewDocument();
    fShell.fDocument->fBackColor = { 1, 2, 3, 255 };
    fShell.answers = { 1 };
    fShell.SaveAs(fFolder.File("my.project/scene").c_str());
    EXPECT_EQ(fShell.alerts.back().line3, "Replace it?");
    EXPECT_EQ(fFolder.Get("my.project/scene.celv"), saved);
    EXPECT_TRUE(fShell.fDocument->Path().IsEmpty());
    fShell.answers = { 0 };
    fShell.SaveAs(fFolder.File("my.project/scene").c_str());
    EXPECT_NE(fFolder.Get("my.project/scene.celv"), saved);
}

TEST_F(DocumentShellTest, AFailedSaveKeepsTheOldFileAndTheDocumentUnsaved)
{
    // A folder where the file should go: no write can replace it.
    std::filesystem::create_directory(fFolder.File("blocked.celv"));
    fShell.NewDocument();
    fShell.SaveAs(fFolder.File("blocked.celv").c_str());
    ASSERT_FALSE(fShell.alerts.empty());
    EXPECT_EQ(fShell.alerts.back().line1, "The document wasn't saved properly.");
    EXPECT_TRUE(std::filesystem::is_directory(fFolder.File("blocked.celv")));
    EXPECT_TRUE(fShell.fDocument->fDirty);
    // The document keeps the place and name it had.
    EXPECT_TRUE(fShell.fDocument->Path().IsEmpty());
    EXPECT_EQ(fShell.fDocument->Name(), "Untitled.celv");
    EXPECT_EQ(Recent(1), "");

}

} // namespace

namespace {

// A user who refuses to stop a running export at Quit keeps the document too.
TEST_F(DocumentShellTest, QuitAsksTheExportsBeforeTheDocumentCloses)
{
    fShell.NewDocument();
    fShell.fDocument->SetDirty();
    fShell.exportsMayStop = false;
    EXPECT_FALSE(fShell.MayQuit());
    EXPECT_NE(fShell.fDocument, nullptr);
    EXPECT_TRUE(fShell.alerts.empty());
    fShell.exportsMayStop = true;
    fShell.answers = { 1 };
    EXPECT_TRUE(fShell.MayQuit());
    EXPECT_EQ(fShell.fDocument, nullptr);
    EXPECT_EQ(fShell.exportsAsked, 2);
}

} // namespace
