#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "channelinfo.h"
#include "shell_panel.h"

class AnimChannel;
class QV_Button;
class QV_Graphics;
class QV_LayoutView;
class QV_Menu;
class QV_ScrollBar;
class QV_ShortButton;
class QV_TabBar;
class QV_ToolTip;
class VornLayer;
struct QV_PixelBuffer;

// Bits of a row's key marks.
constexpr uint8_t KEY_MARK = 0x01;
constexpr uint8_t KEY_SELECTED = 0x02;
constexpr uint8_t KEY_COPIED = 0x04;
constexpr uint8_t KEY_CYCLE = 0x08;
constexpr uint8_t KEY_REFERENCE = 0x10;
constexpr uint8_t KEY_NO_MODE = 255;

// The dialogs the timeline runs: dialogs/ comes after panels/ and fills these in. A null
// entry answers "cancelled". Each returns true on OK.
struct TimelineDialogs {
    // Amplitude and the shown scale (the reciprocal of the stored parameter) in and out.
    bool (*noise)(QV_Wnd* owner, float* amplitude, float* scale) = nullptr;
    // Relative frame count and absolute frame in and out; the one not chosen comes back -1.
    bool (*cycle)(QV_Wnd* owner, int32_t* relative, int32_t* absolute) = nullptr;
    // Default interpolation and channel switches of the current layer's channels.
    bool (*settings)(QV_Wnd* owner, VornDoc* document) = nullptr;
};
extern TimelineDialogs gTimelineDialogs;

// The channel switches ("channel_on_" + index in the user settings), index = channel id -
// 10000. They are kept and offered for editing; the rows shown follow the keys.
extern bool gChannelSwitches[64];
void ResetChannelSwitches();

// The ruler's numbering: every nth frame carries its number (6 at frame width 8 ... 48 at 1).
int32_t RulerLabelStep(int32_t frameWidth);
// The header label of the second boundary at frame: "hh:mm:ss:00" with SMPTE, else seconds.
QV_String SecondsLabel(int32_t frame, float fps, bool smpte);
// The image of frame h when a stretch takes the grabbed end a to b around the fixed end c.
int32_t StretchedFrame(int32_t a, int32_t b, int32_t c, int32_t h);

// The timeline panel: for the current layer one row per channel-table row, with a mark at
// every frame where the row's channels hold a key; a ruler of frames above; or the sequencer,
// one line per visible layer.
class TimelineWnd : public ShellPanel {
public:
    static constexpr int32_t kMaxRows = 64;
    static constexpr int32_t kRowHeight = 17;
    static constexpr int32_t kSequencerLine = 32;
    // Frames beyond this are never marked: the tables are 64 rows of it, and a key far out (a
    // document may hold any frame) must not ask for gigabytes.
    static constexpr int64_t kMaxTableLength = 1 << 17;

    struct RowTables {
        std::vector<uint8_t> marks;
        std::vector<int32_t> extents;
        std::vector<uint8_t> modes;
        int32_t keyCount = 0;
        std::vector<int32_t> stretchFrames;
    };

    TimelineWnd(VornWnd* owner, VornDoc* document);
    ~TimelineWnd() override;

    void SetDocument(VornDoc* document) override;
    void HandleMessage(QV_Message* message) override;
    void Draw() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;

    // Rows and tables (timeline_rows.cpp).
    void SetFrame(int32_t frame, bool playing) override;
    void SelectChannelKey(int32_t channelID);
    void UpdateSelectedChannels() override;
    void RebuildRows(bool keepSelection);
    void AddChannelKeys(int32_t row, AnimChannel* channel);
    // False when the tables could not grow; they keep their length then.
    bool ResizeFrameTables(int64_t length);
    void VisibleFrames(int32_t& first, int32_t& last);
    void ScrollToFrame(int32_t frame, bool page);
    void UpdateScrollBars();
    bool IsRowShown(int32_t row);
    void ComputeAudioWave();

    // Key commands (timeline_keys.cpp).
    void DeleteSelectedKeys();
    void MarkCopiedKeys();
    void PasteKeys();
    void AddKeyframe(int32_t frame, int32_t row);
    void SetSelectedInterp(int32_t mode, float val1, float val2);
    int32_t SelectedInterpMode();
    void SelectedNoiseParams(float& amplitude, float& scale);
    void MoveSelectedKeys(int32_t from, int32_t to);
    void ScaleSelectedKeys(int32_t grabbed, int32_t frame, int32_t fixed, bool apply);
    void SelectAllKeys();
    void GoToKey(bool next);
    void RunNoiseDialog();
    void RunCycleDialog();
    void RunSettingsDialog();

    // Drawing (timeline_draw.cpp).
    void DrawTimeline(bool partial);
    void DrawRows(QV_Graphics* graphics, int32_t first, int32_t last);
    void DrawKey(QV_Graphics* graphics, int32_t x, int32_t y, int32_t row, int32_t frame, int32_t offset);
    QV_PixelBuffer* KeyIcon(int32_t mode, bool selected);
    // Redraws everything and copies the panel to the screen.
    void Redraw();

    // Sequencer (timeline_sequencer.cpp).
    void DrawSequencer(QV_Graphics* graphics, int32_t first, int32_t last);
    void DrawSequencerLayer(QV_Graphics* graphics, VornLayer* layer, int32_t& y, int32_t first, int32_t last);
    VornLayer* SequencerLayerAt(int32_t x, int32_t y);
    void SequencerDown(int32_t x, int32_t y);
    void SequencerMoved(int32_t x);
    void SequencerUp();

    // Geometry.
    QV_Rect RulerRect() const;
    QV_Rect KeyAreaRect() const;
    int32_t IconColumnTop() const;
    int32_t FrameX(int32_t frame, int32_t first) const;
    int32_t FrameAtX(int32_t x);
    int32_t RowAtY(int32_t y);
    int32_t FirstVisibleFrame() const;
    // The current layer's total timing offset (0 while it edits an action, or with none).
    int32_t TimingOffset() const;
    // A row's channel frame for a table frame, and back.
    int32_t ChannelFrame(int32_t row, int32_t frame) const;
    int32_t TableFrame(int32_t row, int32_t channelFrame) const;
    VornLayer* CurrentLayer() const;
    int32_t FrameTableLength() const { return fTableLength; }

    // Messages to the main window, which passes them on; tests watch them here.
    virtual void PostUp(int32_t what);

    int32_t fShownFrame;
    int32_t fPreviousShownFrame;
    QV_TabBar* fTabBar;
    QV_ShortButton* fDeleteButton;
    QV_ShortButton* fCopyButton;
    QV_ShortButton* fPasteButton;
    QV_ShortButton* fSettingsButton;
    QV_Button* fZoomOut;
    QV_Button* fZoomIn;
    QV_ScrollBar* fHScroll;
    QV_ScrollBar* fVScroll;
    QV_Menu* fKeyMenu;
    QV_ToolTip* fToolTip;
    QV_LayoutView* fAudioButtons;
    QV_ShortButton* fRestartAudio;
    QV_ShortButton* fAudioLevel;
    QV_ShortButton* fTrackLayer;
    bool fAudioButtonsAttached;
    int32_t fScrollBarSize;
    int32_t fTopBarHeight;
    int32_t fRulerHeight;
    int32_t fHeaderHeight;
    int32_t fFrameWidth;
    int32_t fSequencerLines;
    int32_t fViewMode;
    int32_t fScrollOffset;
    // Without scroll bars in a window (tests) the horizontal scroll value lives here.
    int32_t fFirstFrame;
    bool fAudioWavePresent;
    int32_t fTableLength;
    int32_t fRowCount;
    ChannelInfo fRows[kMaxRows];
    RowTables fTables[kMaxRows];
    std::vector<float> fAudioWave;
    std::vector<uint32_t> fColumnImage;
    int32_t fColumnX;

    // Gestures.
    bool fScrub;
    bool fTimingDrag;
    bool fRubberBand;
    QV_Point fBandStart;
    QV_Point fBandCurrent;
    bool fKeyMove;
    bool fUndoPending;
    bool fStretch;
    int32_t fStretchGrabbed;
    int32_t fStretchFixed;
    bool fCycleDrag;
    int32_t fCycleFrame;
    bool fSeqDrag;
    bool fSeqFirstMove;
    VornLayer* fSeqLayer;
    int32_t fAnchorFrame;
    int32_t fPressFrame;
    int32_t fContextFrame;
    int32_t fContextRow;
    double fLastIconClick;

    // A channel of a row at a table frame whose mark the walk asked for.
    struct KeyVisit {
        int32_t row;
        int32_t sub;
        int32_t frame;
        // The frame in the channel's own time (the timing offset added).
        int32_t at;
        AnimChannel* channel;
    };
    // Visits, row by row and channel by channel, every table frame from first on whose mark holds
    // all the bits of need; false from visit ends the walk, and the call returns false then.
    bool ForEachMarkedKey(uint8_t need, int32_t first, const std::function<bool(const KeyVisit&)>& visit);

private:
    void BuildWidgets();
    void OpenKeyMenu(int32_t x, int32_t y, int32_t row, int32_t frame, bool addOnly);
    void ToggleVisibilityKey(int32_t row, int32_t frame);
    void EndRubberBand();
    void DrawBand();
    void CycleDragTo(int32_t frame);
    void SetDocFrame(int32_t frame);
    // Undo level and modified mark before an edit of the current layer.
    void PrepEdit();
    // Every layer value is evaluated again after an edit.
    void Reevaluate();
    void AfterEdit(bool rebuild);
    void ClearSelection();
    void ClearRowTables(int32_t row, bool keepSelection);
};

// The panel of the main window, when it is a timeline; else null.
TimelineWnd* CurrentTimeline();
// What the scripts' UpdateSelectedChannels reaches: the open timeline's selection rows.
void TimelineUpdateSelectedChannels();
