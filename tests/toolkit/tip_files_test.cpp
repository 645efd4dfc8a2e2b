// Tool tips, the choosers' path rules, folder listings and shell opening
// (through a stand-in xdg-open on the PATH that logs its argument).
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "file_dialogs.h"
#include "plat_pump.h"
#include "plat_time.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_file_lister.h"
#include "qv_static_picture.h"
#include "qv_text_control.h"
#include "qv_tool_tip.h"
#include "resource_images.h"
#include "shell_open.h"
#include "widget_test_support.h"

namespace {

class TipFilesTest : public WidgetTest {
protected:
    // An xdg-open that writes its argument to opened.txt and fails when the
    // file fail exists.
    void FakeOpener()
    {
        const std::string bin = fRoot.File("bin");
        std::filesystem::create_directories(bin);
        const std::string script = bin + "/xdg-open";
        PutFile("bin/xdg-open",
            "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + fRoot.File("opened.txt") + "'\n[ -e '"
                + fRoot.File("fail") + "' ] && exit 4\nexit 0\n");
        chmod(script.c_str(), 0755);
        fPath = std::make_unique<ScopedEnv>("PATH", (bin + ":" + getenv("PATH")).c_str());
    }
    std::unique_ptr<ScopedEnv> fPath;
};

// Ends whatever alert is up, noting that there was one.
class AlertCloser : public QV_Handler {
public:
    void HandleMessage(QV_Message*) override
    {
        for (int32_t i = 0; i < gWindowList.fCount; ++i) {
            auto* alert
                = dynamic_cast<AlertWnd*>(WindowOfHandle(static_cast<PlatWindow*>(gWindowList.fItems[i])));
            if (alert && alert->fInModal) {
                alerts++;
                alert->EndModal(true, 0);
            }
        }
    }
    int alerts = 0;
};

} // namespace

TEST_F(TipFilesTest, TipsWaitForRestPlaceThemselvesAndSplitWideTexts)
{
    MakeLayer(300, 200);
    QV_ToolTip tip;
    tip.Show(fWindow, 50, 50, "Hint");
    const int32_t first = tip.fShowTimer;
    EXPECT_NE(first, 0);
    tip.Show(fWindow, 52, 50, "Hint"); // moving restarts the delay
    EXPECT_NE(tip.fShowTimer, 0);
    EXPECT_FALSE(tip.fShowing);
    // The pointer went away before the delay ended: nothing shows.
    fWindow->fMouseX = 200;
    fWindow->fMouseY = 150;
    tip.PostMessage(MSG_TICK);
    EXPECT_FALSE(tip.fShowing);
    tip.Show(fWindow, 290, 195, "Hint");
    fWindow->fMouseX = 290;
    fWindow->fMouseY = 195;
    tip.PostMessage(MSG_TICK);
    EXPECT_TRUE(tip.fShowing);
    EXPECT_EQ(gCurrentToolTip, &tip);
    EXPECT_EQ(tip.Frame().left, 299 - (tip.Frame().right - tip.Frame().left + 1) - 5);
    EXPECT_EQ(tip.Frame().top, 195 - 20);
    tip.KeyDown('a', 0);
    EXPECT_FALSE(tip.fShowing);
    EXPECT_EQ(gCurrentToolTip, nullptr);

    const std::string wide = "Wide " + std::string(60, 'w') + " words";
    tip.Show(fWindow, 10, 10, wide.c_str());
    EXPECT_TRUE(tip.fTwoLines);
    EXPECT_STREQ(tip.fLine1.CString(), "Wide");
    EXPECT_EQ(std::string(tip.fLine2.CString()), std::string(60, 'w') + " words");
    tip.Show(fWindow, 10, 10, std::string(80, 'w').c_str());
    EXPECT_FALSE(tip.fTwoLines);
    tip.Hide();
}

TEST_F(TipFilesTest, APictureTipsAtOnceOpensItsLinkAndForgetsItsTipWhenDetached)
{
    FakeOpener();
    MakeLayer(300, 200);
    static uint8_t pixels[16 * 16 * 4] = {};
    QV_PixelBuffer image { pixels, 16, 16, 32, 4, 64 };
    auto* picture = Place(new QV_StaticPicture(&image, "Help"), 20, 20);
    picture->fLink = "https://example.com/a?b=1&c=\"2\"";
    fWindow->fMouseX = 25;
    fWindow->fMouseY = 25;
    picture->MouseMoved(5, 5, 0, nullptr);
    EXPECT_EQ(picture->fToolTip.fShowDelay, 0.0f);
    picture->fToolTip.PostMessage(MSG_TICK);
    EXPECT_TRUE(picture->fToolTip.fShowing);
    picture->Detached();
    EXPECT_FALSE(picture->fToolTip.fShowing);
    EXPECT_EQ(picture->fToolTip.fShowTimer, 0);

    picture->RouteMouseDown(3, 3, 2, 0, nullptr);
    const std::string page = GetFile(std::string(kUserFolder).append("/.temp.html").c_str());
    EXPECT_EQ(GetFile("opened.txt"), fRoot.File(kUserFolder) + "/.temp.html\n");
    std::vector<std::string> lines;
    for (size_t start = 0; start < page.size();) {
        const size_t end = page.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        lines.push_back(page.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[4],
        "<meta http-equiv=\"REFRESH\" content=\"0;url=https://example.com/a?b=1&amp;c=&quot;2&quot;\">");
    EXPECT_EQ(lines[7].find("<a href=\"https://example.com/a?b=1&amp;c="), 0u);
}

TEST_F(TipFilesTest, FailedOpeningsAlertOnlyForPdfDocuments)
{
    FakeOpener();
    MakeLayer();
    AlertCloser closer;
    fWindow->AddTimer(0.05f, &closer, 1);
    PutFile("fail", "");
    ShellOpen("/nowhere/notes.txt");
    EXPECT_EQ(closer.alerts, 0);
    ShellOpen("/nowhere/Manual.PDF");
    EXPECT_EQ(closer.alerts, 1);
    EXPECT_EQ(GetFile("opened.txt"), "/nowhere/notes.txt\n/nowhere/Manual.PDF\n");
}

TEST_F(TipFilesTest, MovingRestartsTheDelayAndAGoneWindowLeavesTheTipIdle)
{
    MakeLayer(300, 200);
    fWindow->fMouseX = 50;
    fWindow->fMouseY = 50;
    QV_ToolTip tip;
    const auto pumpFor = [](uint32_t ms) {
        const uint32_t start = PlatTickCount();
        while (PlatTickCount() - start < ms)
            PlatPumpMessageWithin(5);
    };
    tip.Show(fWindow, 50, 50, "Hint");
    pumpFor(500);
    tip.Show(fWindow, 51, 50, "Hint");
    pumpFor(500);
    EXPECT_FALSE(tip.fShowing); // 1 s after the first show, 0.5 s after the move
    pumpFor(500);
    EXPECT_TRUE(tip.fShowing);

    // A button's tip outlives the window that showed it without harm.
    static uint8_t pixels[16 * 16 * 4] = {};
    QV_PixelBuffer image { pixels, 16, 16, 32, 4, 64 };
    auto* button = new QV_Button(&image, "Tip", false, 1, 3);
    PlatWindowDestroy(fWindow->fHwnd);
    PumpPending();
    fWindow = nullptr;
    MakeLayer(300, 200);
    Place(button, 10, 10);
    fWindow->fMouseX = 15;
    fWindow->fMouseY = 15;
    button->MouseMoved(5, 5, 0, nullptr);
    button->fToolTip.PostMessage(MSG_TICK);
    EXPECT_TRUE(button->fToolTip.fShowing);
    fLayer->RemoveView(button);
    PlatWindowDestroy(fWindow->fHwnd);
    PumpPending();
    fWindow = nullptr;
    button->fToolTip.PostMessage(MSG_TIP_HIDE);
    EXPECT_FALSE(button->fToolTip.fShowing);
    EXPECT_EQ(button->fToolTip.fTipWindow, nullptr);
    delete button;
}

TEST_F(TipFilesTest, ChoosersAlertForMissingFilesAskBeforeReplacingAndEnterFolders)
{
    MakeLayer();
    PutFile("docs/old.celv", "");
    const std::string docs = fRoot.File("docs");
    AlertCloser closer;
    fWindow->AddTimer(0.05f, &closer, 1);

    QV_String chosen;
    auto* open = new FileChooserDialog("Open", fWindow, false, docs.c_str(), "", "", &chosen);
    open->fPathField->SetValue("missing.celv");
    EXPECT_FALSE(open->OnValidate());
    EXPECT_EQ(closer.alerts, 1);
    open->fPathField->SetValue((docs + "/OLD.celv").c_str());
    EXPECT_TRUE(open->OnValidate());
    EXPECT_STREQ(open->fChosen.CString(), (docs + "/old.celv").c_str());
    // A folder typed is entered instead of chosen.
    open->fFolder = fRoot.Path().c_str();
    open->fPathField->SetValue("docs");
    EXPECT_FALSE(open->OnValidate());
    EXPECT_STREQ(open->fFolder.CString(), docs.c_str());
    delete open;

    auto* save = new FileChooserDialog("Save", fWindow, true, docs.c_str(), "old.celv", "celv", &chosen);
    save->fPathField->SetValue("old");
    EXPECT_TRUE(save->OnValidate()); // the closer answers Replace
    EXPECT_EQ(closer.alerts, 2);
    save->fPathField->SetValue("new");
    EXPECT_TRUE(save->OnValidate());
    EXPECT_EQ(closer.alerts, 2);
    save->ExchangeData(true);
    EXPECT_STREQ(chosen.CString(), (docs + "/new.celv").c_str());
    EXPECT_STREQ(ChooserStartFolder(nullptr).CString(), docs.c_str());
    delete save;
}

TEST_F(TipFilesTest, ListingsAndChosenPaths)
{
    PutFile("docs/b.txt", "");
    PutFile("docs/A.txt", "");
    PutFile("docs/a.txt", "");
    PutFile("docs/Scene.CELV", "");
    const std::string docs = fRoot.File("docs");
    QV_FileLister lister(docs.c_str());
    std::vector<std::string> names;
    while (const char* name = lister.NextFile())
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string> { "A.txt", "a.txt", "b.txt", "Scene.CELV" }));
    EXPECT_EQ(QV_FileLister(fRoot.File("missing").c_str()).NextFile(), nullptr);
    // A lister dropped in the middle of a listing leaves nothing open.
    {
        QV_FileLister partial(docs.c_str());
        partial.NextFile();
    }

    EXPECT_STREQ(
        ResolveChosenPath(docs.c_str(), "scene", true, "celv").CString(), (docs + "/scene.celv").c_str());
    EXPECT_STREQ(
        ResolveChosenPath(docs.c_str(), "scene.txt", true, "celv").CString(), (docs + "/scene.txt").c_str());
    EXPECT_STREQ(
        ResolveChosenPath(docs.c_str(), "scene.celv", false, "").CString(), (docs + "/Scene.CELV").c_str());
    EXPECT_STREQ(ResolveChosenPath(docs.c_str(), "b.txt", false, "").CString(), (docs + "/b.txt").c_str());
    EXPECT_STREQ(ResolveChosenPath(docs.c_str(), "none.txt", false, "").CString(), "");

    const std::vector<FileFilter> filters = ParseFileFilters("Images!*.png;*.jpg!All Files!*.*!");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_TRUE(FileMatchesFilter(filters[0], "X.PNG"));
    EXPECT_FALSE(FileMatchesFilter(filters[0], "x.gif"));
    EXPECT_TRUE(FileMatchesFilter(filters[1], "noextension"));
    EXPECT_FALSE(FileMatchesFilter(filters[1], ".hidden"));
    EXPECT_STREQ(ChooserStartFolder(nullptr).CString(), fRoot.File("home").c_str());
    EXPECT_STREQ(ChooserStartFolder(docs.c_str()).CString(), docs.c_str());
}

TEST_F(TipFilesTest, AMissingInterfacePictureIsShownInAnAlertOncePerName)
{
    QV_App app;
    MakeLayer();
    AlertCloser closer;
    fWindow->AddTimer(0.05f, &closer, 1);
    // The alert's own icon is missing here too (no Resources): it is told of
    // by an alert of its own, once.
    GetResourceImage("no-such-picture");
    EXPECT_EQ(closer.alerts, 2);
    GetResourceImage("no-such-picture");
    GetResourceImage("exclamation");
    EXPECT_EQ(closer.alerts, 2);
    PlatWindowDestroy(fWindow->fHwnd);
    PumpPending();
    fWindow = nullptr;
}
