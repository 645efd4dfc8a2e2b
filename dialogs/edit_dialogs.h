#pragma once

#include <cstdint>

#include "qv_dialog.h"
#include "qv_string.h"

class AnimChannel;
class MainLayer;
class QV_CheckBox;
class QV_LayoutView;
class QV_Message;
class QV_Slider;
class QV_TextControl;
class VornDoc;
class VornLayer;

// The alerts of the editing dialogs (Alert's kinds, two lines, one or two buttons): the button
// pressed, 0 for the first. Tests answer them themselves.
extern int32_t (*gEditDialogAlert)(
    QV_Wnd* owner, int32_t kind, const char* line1, const char* line2, const char* button1, const char* button2);

// The check boxes of the current layer's channel rows, as the copy frame and rescale dialogs
// show them: one per row, a new column at each group row.
struct ChannelRowChecks {
    static constexpr int32_t kMaxRows = 64;
    int32_t fCount = 0;
    QV_CheckBox* fChecks[kMaxRows] = {};
    bool fSelectionOnly[kMaxRows] = {};
    int32_t fSubChannels[kMaxRows] = {};

    void Build(QV_LayoutView* content, VornLayer* layer);
    void EnableAll(bool enabled);
    bool Checked(int32_t row) const;
};

// Calls visit(channel, offset) for every channel of the layer the dialog works on: all rows
// (rows is null; selection-only rows are left out, their whole channel comes anyway) or the
// checked rows, a selection-only row only when the row above it is unchecked. The offset is the
// layer's total timing offset, 0 while it edits an action. With recursion the sub-layers of
// group-like layers follow.
void ForEachChosenChannel(VornDoc* doc, VornLayer* layer, const ChannelRowChecks* rows, bool recursive,
    void (*visit)(AnimChannel* channel, int32_t offset, void* data), void* data);
// The four camera channels, offset 0.
void ForEachCameraChannel(VornDoc* doc, void (*visit)(AnimChannel* channel, int32_t offset, void* data), void* data);

// Keys the value the channel shows at one of its frames at another (value, vector, colour,
// boolean and text channels; other kinds are left alone).
void CopyChannelValue(AnimChannel* channel, int32_t from, int32_t to);

// Where a key of a rescale lands, all in document frames: keys in [start, end] spread over
// [newStart, newEnd], keys after end move as end does. False for a key that stays.
struct KeyRescale {
    int32_t start;
    int32_t end;
    int32_t newStart;
    int32_t newEnd;
    bool Map(int32_t frame, int32_t& to) const;
};
// Moves the channel's keys (of its active action when it edits one) by the rescale, each key
// exactly once: all are read first, then taken out, then set at their new frames with their
// interpolation. A key that would land on channel frame 0 or before is dropped; the key at 0
// never moves.
void RescaleChannel(AnimChannel* channel, const KeyRescale& rescale, int32_t offset);

// The canvas grid's spacing; OK also shows the grid.
class GridSettingsDlog : public QV_Dialog {
public:
    explicit GridSettingsDlog(QV_Wnd* owner);
    ~GridSettingsDlog() override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;

    QV_TextControl* fSpacing;
};

// The level of the current audio layer, keyed at its frame.
class AudioLevelDlog : public QV_Dialog {
public:
    AudioLevelDlog(VornDoc* document, QV_Wnd* owner);
    ~AudioLevelDlog() override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;

    VornDoc* fDocument;
    QV_TextControl* fLevel;
};

// The values the current frame shows, keyed at another frame: the checked rows of the current
// layer (with undo) or the whole document (without).
class CopyFrameDlog : public QV_Dialog {
public:
    CopyFrameDlog(VornDoc* document, QV_Wnd* owner);
    ~CopyFrameDlog() override;
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;

    VornDoc* fDocument;
    VornLayer* fLayer;
    QV_TextControl* fFrame;
    QV_CheckBox* fEntireDocument;
    ChannelRowChecks fRows;
};

// Keys between a start and an end frame spread over a new start and end; later keys follow the
// end.
class ScaleKeysDlog : public QV_Dialog {
public:
    ScaleKeysDlog(VornDoc* document, QV_Wnd* owner);
    ~ScaleKeysDlog() override;
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    // The latest key of the document or of the current layer.
    int32_t Duration() const;

    VornDoc* fDocument;
    VornLayer* fLayer;
    QV_TextControl* fStart;
    QV_TextControl* fNewStart;
    QV_TextControl* fEnd;
    QV_TextControl* fNewEnd;
    QV_CheckBox* fEntireDocument;
    ChannelRowChecks fRows;
};

// Weights of the layer's one-frame actions mixed into keys at the document's frame, previewed
// in the canvas while a slider moves.
class PoseBlendDlog : public QV_Dialog {
public:
    PoseBlendDlog(VornDoc* document, QV_Wnd* owner);
    ~PoseBlendDlog() override;
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;
    // There is something to blend: otherwise the constructor showed its alert and the dialog is
    // not to be run.
    bool HasMorphs() const { return fCount > 1; }
    void Apply();

    VornDoc* fDocument;
    VornLayer* fLayer;
    int32_t fCount;
    QV_String* fNames;
    float* fWeights;
    QV_Slider** fSliders;
};

// The main layer's commands these dialogs and the movie preview carry out (3129, 3189, 3206 to
// 3208, 3214): the dialog's result, or 0 when nothing ran.
int32_t RunEditDialogCommand(MainLayer* layer, int32_t command, QV_Message* message);
