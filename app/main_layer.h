#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "main_layout.h"
#include "qv_layer.h"
#include "qv_memstream.h"
#include "qv_path.h"
#include "qv_stopwatch.h"
#include "qv_view.h"

class QV_Button;
class QV_LayoutView;
class QV_Menu;
class QV_SoundMixer;
class QV_MenuBar;
class QV_TextControl;
class QV_StaticPicture;
class ScriptRegistry;
class ScriptsMenu;
class StatusBar;
class ToolScript;
class VornDoc;
class VornView;
class VornWnd;

// A bar of the main layer: the box gradient with an edge line at its top or bottom. The tool
// options bar offers Reset Tool and Reset All Tools from a press on the current tool's first
// widget.
class CtrlView : public QV_View {
public:
    CtrlView(int32_t follow, bool edgeAtBottom, bool resetPopup);
    void Draw() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;

    bool fEdgeAtBottom;
    bool fResetPopup;
};

// The Import menu's library items: entry n sends 11000 + n and opens its path.
struct LibraryItems {
    static constexpr int32_t kFirstMessage = 11000;
    static constexpr int32_t kMaxItems = 999;
    std::vector<QV_Path> paths;
};

// Splits a localized menu literal into its label and shortcut letter: the last character is
// the letter, a last space means none, and a one-character text is a label of its own.
void SplitMenuLabel(const char* text, QV_String& label, char& shortcut);
// Adds the item with its shortcut (modifiers 0 Ctrl, 1 Ctrl+Shift); a null text adds a
// separator.
void AddMenuItem(QV_Menu* menu, const char* text, int32_t message, int32_t modifiers = 0);
// Fills the menu with the folder's documents, movies, sounds and pictures, a picture standing
// beside a document, movie or JPEG of its name being that one's thumbnail; sub-folders become
// submenus. A folder reached twice (a link back up the tree) is listed only once.
void BuildLibraryMenu(QV_Menu* menu, const char* folder, LibraryItems& items);

// The main window's one full-window layer: menu bar, tool options bar, status bar, playback
// bar, the canvas view and the docked panels.
class MainLayer : public QV_Layer {
public:
    MainLayer(VornWnd* window, int32_t left, int32_t top, int32_t right, int32_t bottom);
    ~MainLayer() override;

    void HandleMessage(QV_Message* message) override;
    void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight) override;
    void ViewDocked(QV_View* view) override;
    void ViewUndocked(QV_View* view) override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void Draw() override;
    // Keys, menu states and dropped files (main_layer_keys.cpp).
    void KeyDown(int32_t key, int32_t modifiers) override;
    void KeyUp(int32_t key, int32_t modifiers) override;
    void FileDropped(const char* path, int32_t x, int32_t y, int32_t modifiers) override;
    void UpdateMenus() override;
    // The question of a dropped picture: 0 tracing image, 1 new image layer, else cancel.
    virtual int32_t AskDroppedImage();
    // Alt+F5: the scripts and brushes are read again and the tools palette is rebuilt.
    void ReloadScripts();

    // Playback, the frame fields and the notifications 1000 to 1108 (main_layer_playback.cpp);
    // false for the ids the layer leaves to the main window.
    bool HandlePlayback(QV_Message* message);
    void UpdateControls();
    void FrameChanged();
    void FrameFieldEntered(bool endField);
    void StepFrame(int32_t what);
    void StartPlayback();
    void StopPlayback();
    void PlaybackTick();
    // The frame as the frame fields show it (a timecode with SMPTE).
    QV_String FrameText(int32_t frame);
    // Recomputes every track's level, pan and start for the frame; true when a start moved.
    bool UpdateAudioForFrame(int32_t frame);

    void SetDocument(VornDoc* document);
    void ClearDocument();
    void RefreshPanels();
    void RefreshViews();
    void UpdateRecentMenu();
    // Makes the tool current (null: none): the status bar shows its description, the canvas
    // views take it and its cursor, and the tool builds its widgets on the tool options bar.
    void SelectTool(ToolScript* tool);
    // The first tool of the list with that script name, when it is enabled: a button tool runs,
    // any other becomes current (through the tools palette when there is one).
    void SelectToolByName(const char* name);
    void UpdateAudioTracks();

    // The editing, drawing, bone, view, animation, script and tool commands the layer carries
    // out itself (main_layer_commands.cpp); false for those it leaves to others.
    bool HandleCommand(QV_Message* message);
    // Keys the bones of the current bone layer (all, or the selected ones) back to their rest
    // pose at the layer's frame.
    void ResetBones(bool selectedOnly);
    // The question of a command, modal over the main window: the button pressed (0 first).
    virtual int32_t Ask(const char* line1, const char* line2, const char* button1, const char* button2);
    // A vector layer with two or more selected points, or a bone or switch layer with a
    // selected bone.
    bool IsCopyable() const;
    // A vector layer while the point clipboard holds points, or a bone or switch layer while
    // the bone clipboard holds bones (the alternate point clipboard is the scripts' own).
    bool IsPasteable() const;
    // Cut (3132), Copy (3133) and Paste (3134) of selected points and bones through the layer's
    // own clipboards (main_layer_clipboard.cpp).
    void ClipboardCommand(QV_Message* message);
    // The canvas view the tools draw through: the current view when it is one.
    VornView* CurrentScriptView() const;
    ScriptRegistry* Registry() const;
    // To the main window, which carries out what the layer leaves.
    virtual void PassOn(QV_Message* message);

    void Arrange();
    void CenterPlaybackButtons();
    QV_Rect CanvasArea();
    QV_Rect RightSplitterRect();
    int32_t MaxTimelineHeight();
    void SetViewMode(int32_t mode);
    // The arrangement the layer would take now.
    MainLayout CurrentLayout(MainLayoutInput* input = nullptr);

    VornWnd* fMainWindow;
    VornDoc* fDoc;
    int32_t fEndFrame;
    QV_MenuBar* fMenuBar;
    ScriptsMenu* fScriptsMenu = nullptr;
    QV_Menu* fFileMenu;
    QV_Menu* fRecentMenu;
    StatusBar* fStatusBar;
    CtrlView* fPlaybackBar;
    QV_LayoutView* fPlaybackButtons;
    QV_Button* fPlaybackButton[7];
    QV_Button* fMuteButton;
    QV_TextControl* fFrameField;
    QV_TextControl* fEndField;
    CtrlView* fToolBar;
    int32_t fViewMode;
    QV_View* fCanvasViews[4];
    QV_View* fCurrentView;
    ToolScript* fCurrentTool;
    // The space key is down: a left drag on the canvas navigates instead of reaching the tool.
    bool fSpaceHeld = false;
    // One press of the space key: a short one toggles playback on its release.
    QV_Stopwatch fSpaceClock;
    // The tool's own row of widgets on the tool options bar, and its icon there.
    QV_LayoutView* fToolRow;
    QV_StaticPicture* fToolIcon;
    bool fSplitDrag;
    int32_t fSplitKind;
    QV_Point fLastMouse;
    bool fLastStaticState;
    LibraryItems fLibraryItems;
    bool fPlaying;
    uint32_t fPlayTimer = 0;
    // Seconds between playback ticks.
    float fPlayPeriod = 0;
    int32_t fFramesPlayed = 0;
    int32_t fFramesToSkip = 0;
    float fMeasuredRate = 0;
    QV_Stopwatch fPlayClock;
    // Made by the first UpdateAudioTracks that finds an audio layer; owned.
    QV_SoundMixer* fMixer = nullptr;
    // The frame change that ends playback plays no feedback sound.
    bool fQuietFrameChange = false;
    // Mesh and skeleton records of the last copies; never opened until the first copy into each,
    // and kept across documents.
    QV_MemStream fPointClipboard;
    QV_MemStream fAltPointClipboard;
    QV_MemStream fBoneClipboard;

private:
    void BuildMenus();
    void BuildBars();
    int32_t TitleHeight() const;
    bool Docked(QV_View* panel) const;
    void DrawTitleBar(QV_View* panel);
};

// The playback loop's wait for the rest of a frame; tests replace it.
extern void (*gPlaybackSleep)(uint32_t milliseconds);
