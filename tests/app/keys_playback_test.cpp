// The main layer's keys, menu states, dropped files and playback over the test scripts, without
// a window: a fake tick counter stands in for the clock, and what the layer passes on to the
// main window is recorded.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "../core/scratch_folder.h"
#include "app_prefs.h"
#include "canvas_view.h"
#include "document_shell.h"
#include "m_mesh.h"
#include "m_point.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "qv_keys.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "qv_message.h"
#include "qv_sound_mixer.h"
#include "qv_stopwatch.h"
#include "qv_text_control.h"
#include "resource_images.h"
#include "scripted_app.h"
#include "shell_hooks.h"
#include "status_bar.h"
#include "timeline_marks.h"
#include "vorndoc.h"

namespace {

uint32_t gFakeTicks = 0;
uint32_t FakeTicks()
{
    return gFakeTicks;
}
std::vector<uint32_t> gSleeps;
void FakeSleep(uint32_t ms)
{
    gSleeps.push_back(ms);
    gFakeTicks += ms;
}
std::vector<int32_t> gLaterCommands;
int32_t RecordLaterCommand(MainLayer*, int32_t command, QV_Message*)
{
    gLaterCommands.push_back(command);
    return 1;
}
std::vector<std::string> gCanvasCommands;
bool RecordCanvasCommand(QV_View*, int32_t command, const char* path)
{
    gCanvasCommands.push_back(std::to_string(command) + " " + (path ? path : ""));
    return true;
}

class KeyLayer : public MainLayer {
public:
    KeyLayer()
        : MainLayer(nullptr, 0, 0, 999, 699)
    {
    }
    void PassOn(QV_Message* message) override
    {
        QV_String path;
        passed.push_back(message->fWhat);
        if (message->FindString("path", path))
            paths.push_back(std::to_string(message->fWhat) + " " + path.CString());
    }
    // Every frame change takes that long to draw.
    void HandleMessage(QV_Message* message) override
    {
        if (message && message->fWhat == 1004)
            gFakeTicks += redrawMs;
        MainLayer::HandleMessage(message);
    }
    int32_t AskDroppedImage() override
    {
        asked++;
        return answer;
    }
    bool Passed(int32_t what) const
    {
        for (int32_t id : passed) {
            if (id == what)
                return true;
        }
        return false;
    }
    std::vector<int32_t> passed;
    std::vector<std::string> paths;
    int32_t asked = 0;
    int32_t answer = 2;
    uint32_t redrawMs = 0;
};

class KeysAndPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        fWarning = gMissingImageWarning;
        gMissingImageWarning = [](const char*) {};
        fLog = std::make_unique<ScopedEnv>("CELVANE_TOOL_LOG", fFolder.File("tool.log").c_str());
        fScripts = std::make_unique<ScriptedApp>();
        QV_SetStopwatchTickSource(FakeTicks);
        gFakeTicks = 0xFFFFF000u; // presses cross the counter's wrap
        gSleeps.clear();
        gCanvasCommands.clear();
        fSleep = gPlaybackSleep;
        gPlaybackSleep = FakeSleep;
        gShellHooks.canvasCommand = RecordCanvasCommand;
        gShellHooks.runLayerCommand = RecordLaterCommand;
        gLaterCommands.clear();
        fToggles = gToggles;
        fPrefs = gPrefs;
        ClearPlayRange();
        fDoc = MakeNewDocument();
        fLayer = std::make_unique<KeyLayer>();
        gShellHooks.makeCanvasView = MakeCanvasView;
        fLayer->SetDocument(fDoc);
        gShellHooks.makeCanvasView = nullptr;
        fLayer->passed.clear();
    }
    void TearDown() override
    {
        fLayer.reset();
        delete fDoc;
        fScripts.reset();
        QV_SetStopwatchTickSource(nullptr);
        gPlaybackSleep = fSleep;
        gShellHooks.canvasCommand = nullptr;
        gShellHooks.runLayerCommand = nullptr;
        gToggles = fToggles;
        gPrefs = fPrefs;
        ClearPlayRange();
        gMissingImageWarning = fWarning;
    }

    void Send(int32_t what)
    {
        QV_Message message(what);
        fLayer->HandleMessage(&message);
    }
    void Key(int32_t key, int32_t modifiers = 0) { fLayer->KeyDown(key, modifiers); }
    // A press of the space key held for that long.
    void Space(uint32_t ms)
    {
        fLayer->KeyDown(' ', 0);
        gFakeTicks += ms;
        fLayer->KeyUp(' ', 0);
    }
    M_Mesh* Mesh() { return static_cast<MeshLayer*>(fDoc->GetSelectedLayer())->Mesh(); }
    std::string ToolLog() { return fFolder.Get("tool.log"); }
    void ClearToolLog() { std::ofstream(fFolder.File("tool.log"), std::ios::trunc); }
    bool ToolGotKey(int32_t code) { return ToolLog().find("OnKeyDown key=" + std::to_string(code)) != std::string::npos; }
    void UseRecordTool(const char* name = "RecordTool")
    {
        ToolScript* tool = fScripts->Tool(ScriptedApp::kRecord);
        // Another name for the same script table, so that the layer's name rules apply to it.
        fScripts->Lua(std::string(name) + " = RecordTool");
        tool->fTableName = name;
        fLayer->fCurrentTool = tool;
        ClearToolLog();
    }
    QV_Menu* MenuHolding(int32_t id)
    {
        for (int32_t i = 0; i < fLayer->fMenuBar->fMenuCount; i++) {
            QV_Menu* menu = fLayer->fMenuBar->fMenus[i];
            for (int32_t j = 0; j < menu->fCount; j++) {
                if (menu->fMessages[j] == id)
                    return menu;
            }
        }
        return nullptr;
    }
    bool Enabled(int32_t id) { return MenuHolding(id)->IsEnabled(id); }
    bool Checked(int32_t id) { return MenuHolding(id)->IsChecked(id); }

    ScratchFolder fFolder;
    std::unique_ptr<ScopedEnv> fLog;
    std::unique_ptr<ScriptedApp> fScripts;
    VornDoc* fDoc = nullptr;
    std::unique_ptr<KeyLayer> fLayer;
    EditorToggles fToggles {};
    ShellPrefs fPrefs {};
    void (*fWarning)(const char*) = nullptr;
    void (*fSleep)(uint32_t) = nullptr;
};

TEST_F(KeysAndPlayback, MenusFollowTheDocument)
{
    fLayer->ClearDocument();
    gToggles.allowFrameSkipping = true;
    fLayer->UpdateMenus();
    // Every Edit, Draw, Bone, View and Animation item is off; Preferences, New and Open stay.
    for (const char* title : { "Edit", "Draw", "Bone", "View", "Animation" }) {
        for (int32_t i = 0; i < fLayer->fMenuBar->fMenuCount; i++) {
            QV_Menu* menu = fLayer->fMenuBar->fMenus[i];
            if (menu->fTitle != title)
                continue;
            for (int32_t j = 0; j < menu->fCount; j++) {
                const int32_t id = menu->fMessages[j];
                if (id != 0 && id != -1010) {
                    EXPECT_FALSE(menu->IsEnabled(id)) << title << " " << id;
                }
            }
        }
    }
    EXPECT_TRUE(Enabled(-1010));
    EXPECT_TRUE(Enabled(3110));
    EXPECT_TRUE(Enabled(3111));
    EXPECT_TRUE(Checked(3200));

    fLayer->SetDocument(fDoc);
    fLayer->UpdateMenus();
    EXPECT_TRUE(Enabled(3113));
    EXPECT_FALSE(Enabled(3130));
    Mesh()->AddLonePoint(QV_Vector2 { 0, 0 }, 0);
    Mesh()->AppendPoint(QV_Vector2 { 0.2f, 0.1f }, 0);
    Mesh()->SelectNone();
    Mesh()->GetPoint(0)->fSelected = true;
    fLayer->UpdateMenus();
    EXPECT_FALSE(Enabled(3133)) << "one selected point is not enough to copy";
    EXPECT_TRUE(Enabled(3139));
    EXPECT_FALSE(Enabled(3162)) << "frame 0 has nothing to reset to";
    Mesh()->GetPoint(1)->fSelected = true;
    fDoc->SetCurFrame(4);
    fLayer->UpdateMenus();
    EXPECT_TRUE(Enabled(3132));
    EXPECT_TRUE(Enabled(3133));
    EXPECT_TRUE(Enabled(3162));
    EXPECT_TRUE(Enabled(3203));
    EXPECT_FALSE(Enabled(3208)) << "no action to blend";
    EXPECT_FALSE(Enabled(3213)) << "a vector layer has no sound";

    gToggles.gridShown = true;
    gToggles.gridSnapping = false;
    gToggles.muteAudio = true;
    fLayer->UpdateMenus();
    EXPECT_TRUE(Checked(3212));
    if (MenuHolding(3190)) {
        EXPECT_TRUE(Enabled(3190));
        EXPECT_TRUE(Checked(3190));
    }
}

TEST_F(KeysAndPlayback, ToolLettersIgnoreCaseButNotCtrlOrAlt)
{
    Key('a');
    EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kPlainA));
    Key('S', MODIFIER_SHIFT);
    EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kRecord));
    for (int32_t modifiers : { MODIFIER_CTRL, MODIFIER_ALT }) {
        Key('b', modifiers);
        EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kRecord)) << modifiers;
    }
    // A tool that is switched off is passed over.
    fScripts->Lua("SwitchableOff = true");
    Key('w');
    EXPECT_EQ(fLayer->fCurrentTool, fScripts->Tool(ScriptedApp::kRecord));
    // The letter goes on to the tool that is now current.
    ClearToolLog();
    Key('s');
    EXPECT_TRUE(ToolGotKey('s'));
}

TEST_F(KeysAndPlayback, ASpaceTapPlaysAndAHeldSpacePans)
{
    UseRecordTool();
    fDoc->SetCurFrame(3);
    fLayer->KeyDown(' ', 0);
    EXPECT_TRUE(fLayer->fSpaceHeld);
    gFakeTicks += 400;
    fLayer->KeyUp(' ', 0);
    EXPECT_TRUE(fLayer->fPlaying);
    EXPECT_FALSE(fLayer->fSpaceHeld);
    EXPECT_FALSE(ToolGotKey(32));

    // A space key down while playing only stops; its release starts nothing.
    Space(100);
    EXPECT_FALSE(fLayer->fPlaying);
    EXPECT_FALSE(ToolGotKey(32));

    // Any other key stops as well, and still reaches the tool.
    Send(1104);
    ASSERT_TRUE(fLayer->fPlaying);
    Key('x');
    EXPECT_FALSE(fLayer->fPlaying);
    EXPECT_TRUE(ToolGotKey('x'));

    // Held 1.5 s: the canvas pans meanwhile and the tool gets the space key on release.
    ClearToolLog();
    fLayer->KeyDown(' ', 0);
    gFakeTicks += 750;
    fLayer->KeyDown(' ', 0); // the key repeats
    gFakeTicks += 750;
    EXPECT_TRUE(fLayer->fSpaceHeld);
    fLayer->KeyUp(' ', 0);
    EXPECT_FALSE(fLayer->fPlaying);
    EXPECT_TRUE(ToolGotKey(32));
    EXPECT_FALSE(fLayer->fSpaceHeld);

    // A press on the canvas while the key is down ends the measurement: no tap, no key.
    ClearToolLog();
    fLayer->KeyDown(' ', 0);
    fLayer->MouseDown(500, 300, 1, 0, nullptr);
    fLayer->MouseUp(500, 300, 1, 0, nullptr);
    fLayer->KeyUp(' ', 0);
    EXPECT_FALSE(fLayer->fPlaying);
    EXPECT_FALSE(ToolGotKey(32));
    EXPECT_FALSE(fLayer->fSpaceHeld);
}

TEST_F(KeysAndPlayback, PointToolsTakeTheSpaceTapAtFrameZero)
{
    UseRecordTool("QV_AddPoint");
    Space(200);
    EXPECT_FALSE(fLayer->fPlaying);
    EXPECT_TRUE(ToolGotKey(32));

    // Away from frame 0 the tap plays whatever the tool.
    ClearToolLog();
    fDoc->SetCurFrame(2);
    Space(200);
    EXPECT_TRUE(fLayer->fPlaying);
    Send(1103);

    // Any other tool at frame 0 plays.
    fDoc->SetCurFrame(0);
    UseRecordTool("RecordTool");
    Space(200);
    EXPECT_TRUE(fLayer->fPlaying);
}

TEST_F(KeysAndPlayback, DeleteAwayFromFrameZeroReachesOnlyTheTrackingTool)
{
    gPrefs.disableDrawingToolsNonZero = true;
    UseRecordTool();
    fDoc->SetCurFrame(5);
    Key(KEY_DELETE);
    Key(KEY_BACKSPACE);
    EXPECT_EQ(ToolLog().find("OnKeyDown"), std::string::npos) << ToolLog();
    fDoc->SetCurFrame(0);
    Key(KEY_DELETE);
    EXPECT_TRUE(ToolGotKey(KEY_DELETE));

    UseRecordTool("QV_VideoTracking");
    fDoc->SetCurFrame(5);
    Key(KEY_DELETE);
    EXPECT_TRUE(ToolGotKey(KEY_DELETE));

    gPrefs.disableDrawingToolsNonZero = false;
    UseRecordTool();
    Key(KEY_BACKSPACE);
    EXPECT_TRUE(ToolGotKey(KEY_BACKSPACE));
}

TEST_F(KeysAndPlayback, ATextFieldKeepsItsKeysUntilReturnOrEscape)
{
    for (int32_t leave : { KEY_RETURN, KEY_ESCAPE }) {
        fLayer->fCurrentTool = nullptr;
        fLayer->SetFocus(fLayer->fFrameField);
        ASSERT_EQ(fLayer->fFocusWidget, fLayer->fFrameField);
        fLayer->fFrameField->SetValue("");
        Key('a');
        EXPECT_STREQ(fLayer->fFrameField->Value(), "a");
        EXPECT_EQ(fLayer->fCurrentTool, nullptr) << "a letter typed in a field selects no tool";
        Key(leave);
        EXPECT_EQ(fLayer->fFocusWidget, fLayer->fCanvasViews[0]) << leave;
    }
}

TEST_F(KeysAndPlayback, NavigationKeys)
{
    Key(KEY_RIGHT);
    EXPECT_EQ(fDoc->CurFrame(), 1);
    Key(KEY_RIGHT, MODIFIER_SHIFT);
    EXPECT_EQ(fDoc->CurFrame(), fDoc->EndFrame());
    Key(KEY_LEFT);
    EXPECT_EQ(fDoc->CurFrame(), fDoc->EndFrame() - 1);
    Key(KEY_LEFT, MODIFIER_CTRL);
    EXPECT_EQ(fDoc->CurFrame(), fDoc->EndFrame() - 1);
    Key(KEY_LEFT, MODIFIER_SHIFT);
    EXPECT_EQ(fDoc->CurFrame(), 0);

    // Return selects nothing, Tab the connected points; F5 asks for the preview.
    Mesh()->AddLonePoint(QV_Vector2 { 0, 0 }, 0);
    Mesh()->AppendPoint(QV_Vector2 { 0.2f, 0.1f }, 0);
    Mesh()->SelectNone();
    Mesh()->GetPoint(0)->fSelected = true;
    Key(KEY_TAB);
    EXPECT_TRUE(Mesh()->GetPoint(1)->fSelected);
    Key(KEY_RETURN);
    EXPECT_FALSE(Mesh()->GetPoint(0)->fSelected);
    Key(KEY_F1 - 4, MODIFIER_SHIFT);
    EXPECT_TRUE(gLaterCommands.empty());
    Key(KEY_F1 - 4);
    EXPECT_EQ(gLaterCommands, std::vector<int32_t> { 3129 });
}

TEST_F(KeysAndPlayback, DroppedFiles)
{
    fLayer->answer = 0;
    fLayer->FileDropped("/pics/a.png", 10, 10, 0);
    EXPECT_EQ(fLayer->asked, 1);
    ASSERT_EQ(gCanvasCommands.size(), 1u);
    EXPECT_EQ(gCanvasCommands[0], "3126 /pics/a.png");
    fLayer->answer = 1;
    fLayer->FileDropped("/pics/a.png", 10, 10, 0);
    fLayer->answer = 2;
    fLayer->FileDropped("/pics/a.png", 10, 10, 0);
    fLayer->FileDropped("/clips/b.mp4", 10, 10, 0);
    fLayer->FileDropped("/models/c.OBJ", 10, 10, 0);
    fLayer->FileDropped("/docs/d.celv", 10, 10, 0);
    EXPECT_EQ(fLayer->paths,
        (std::vector<std::string> { "3122 /pics/a.png", "3123 /clips/b.mp4", "3128 /models/c.OBJ",
            "3111 /docs/d.celv" }));

    // Without a document nothing is asked: the main window opens whatever it is.
    fLayer->ClearDocument();
    fLayer->paths.clear();
    fLayer->asked = 0;
    fLayer->FileDropped("/pics/a.png", 10, 10, 0);
    fLayer->FileDropped("/models/c.obj", 10, 10, 0);
    EXPECT_EQ(fLayer->asked, 0);
    EXPECT_EQ(fLayer->paths, (std::vector<std::string> { "3111 /pics/a.png", "3111 /models/c.obj" }));
}

TEST_F(KeysAndPlayback, FrameFieldsClampWhatIsTyped)
{
    struct Case {
        const char* text;
        int32_t frame;
    } cases[] = { { "5000", 3000 }, { "-4", 0 }, { "17", 17 }, { "junk", 0 } };
    for (const Case& c : cases) {
        fLayer->fFrameField->SetValue(c.text);
        Send(3001);
        EXPECT_EQ(fDoc->CurFrame(), c.frame) << c.text;
        EXPECT_STREQ(fLayer->fFrameField->Value(), std::to_string(c.frame).c_str());
    }
    fDoc->SetStartFrame(1);
    fLayer->fEndField->SetValue("0");
    Send(3002);
    EXPECT_EQ(fDoc->EndFrame(), 1);
    fLayer->fEndField->SetValue("9000");
    Send(3002);
    EXPECT_EQ(fDoc->EndFrame(), 3000);

    gPrefs.smpte = true;
    fDoc->SetFps(24);
    fLayer->fFrameField->SetValue("00:00:01:00");
    Send(3001);
    EXPECT_EQ(fDoc->CurFrame(), 24);
    EXPECT_STREQ(fLayer->fFrameField->Value(), "00:00:01:00");
}

TEST_F(KeysAndPlayback, SteppingAnnouncesLeavingAndEnteringFrameZero)
{
    Send(1105);
    EXPECT_EQ(fDoc->CurFrame(), 1);
    EXPECT_TRUE(fLayer->Passed(1006));
    fDoc->SetCurFrame(5);
    fLayer->passed.clear();
    Send(1105);
    EXPECT_EQ(fDoc->CurFrame(), 6);
    EXPECT_FALSE(fLayer->Passed(1006));
    fDoc->SetCurFrame(1);
    Send(1102);
    EXPECT_EQ(fDoc->CurFrame(), 0);
    EXPECT_TRUE(fLayer->Passed(1006));
    Send(1102);
    EXPECT_EQ(fDoc->CurFrame(), 0);
    EXPECT_EQ(fLayer->fStatusBar->fRightText, "Frame: 0");
}

TEST_F(KeysAndPlayback, TicksKeepTimeAndSkipLateFrames)
{
    gToggles.allowFrameSkipping = true;
    fDoc->SetFps(12);
    fDoc->SetEndFrame(100);
    fDoc->SetCurFrame(1);
    Send(1104);
    ASSERT_TRUE(fLayer->fPlaying);
    EXPECT_FLOAT_EQ(fLayer->fPlayPeriod, 0.5f / 12);

    // On time: the tick sleeps out the rest of its frame.
    gFakeTicks += 10;
    Send(1108);
    EXPECT_EQ(fDoc->CurFrame(), 2);
    ASSERT_EQ(gSleeps.size(), 1u);
    EXPECT_EQ(gSleeps[0], 83u);

    // A redraw that takes 250 ms: 250 - 83 ms late skips round(0.167 x 12) = 2 frames next.
    gSleeps.clear();
    fLayer->redrawMs = 250;
    Send(1108);
    EXPECT_EQ(fDoc->CurFrame(), 3);
    EXPECT_TRUE(gSleeps.empty());
    EXPECT_EQ(fLayer->fFramesToSkip, 2);
    Send(1108);
    EXPECT_EQ(fDoc->CurFrame(), 6);
    const std::string status = fLayer->fStatusBar->fRightText.CString();
    EXPECT_EQ(status.substr(status.size() - 4), " fps") << status;

    // Without frame skipping every frame is shown.
    gToggles.allowFrameSkipping = false;
    Send(1108);
    EXPECT_EQ(fDoc->CurFrame(), 7);
    Send(1103);
    EXPECT_FALSE(fLayer->fPlaying);

    // At 10 fps the timer runs at the whole frame period and a tick never sleeps.
    gSleeps.clear();
    fLayer->redrawMs = 0;
    fDoc->SetFps(10);
    Send(1104);
    EXPECT_FLOAT_EQ(fLayer->fPlayPeriod, 0.1f);
    Send(1108);
    EXPECT_TRUE(gSleeps.empty());
}

TEST_F(KeysAndPlayback, APlayRangeWrapsAndRestartsTheRate)
{
    fDoc->SetFps(24);
    fDoc->SetEndFrame(100);
    PlayRangeStart = 20;
    PlayRangeEnd = 40;
    fDoc->SetCurFrame(5);
    Send(1104);
    Send(1108);
    EXPECT_EQ(fDoc->CurFrame(), 20) << "a frame before the range starts it";
    fDoc->SetCurFrame(40);
    fLayer->fFramesPlayed = 30;
    fLayer->fMeasuredRate = 3;
    Send(1108);
    EXPECT_EQ(fDoc->CurFrame(), 20);
    EXPECT_EQ(fLayer->fFramesPlayed, 1);
    EXPECT_FLOAT_EQ(fLayer->fMeasuredRate, 24) << "measured again from the wrap";
}

TEST_F(KeysAndPlayback, AnAudioLedTickTakesItsFrameFromTheMixer)
{
    gToggles.allowFrameSkipping = true;
    fDoc->SetFps(24);
    fDoc->SetEndFrame(100);
    fLayer->fMixer = new QV_SoundMixer();
    fDoc->SetCurFrame(2);
    Send(1104);
    // Without audio layers the start leaves no track: one of no sound stands for a sound.
    fLayer->fMixer->AddTrack(nullptr, 0, nullptr);
    fLayer->fMixer->fPlaying = true;
    // 1.5 s into the sound: frame round(36 + 0.5 / 24) = 36.
    fLayer->fMixer->fPosition = fLayer->fMixer->SampleIndex(1.5f);
    fLayer->fMeasuredRate = 24;
    Send(1108);
    EXPECT_EQ(fDoc->CurFrame(), 36);

    // Stopping silences the mixer; undo empties its tracks, Mute reaches it.
    Send(1103);
    EXPECT_FALSE(fLayer->fMixer->fPlaying);
    Send(3212);
    EXPECT_TRUE(fLayer->fMixer->fMuted);
    Send(3212);
    EXPECT_FALSE(fLayer->fMixer->fMuted);
    fDoc->PrepUndo(fDoc->GetSelectedLayer());
    Send(3130);
    EXPECT_EQ(fLayer->fMixer->fTrackCount, 0);
}

} // namespace
