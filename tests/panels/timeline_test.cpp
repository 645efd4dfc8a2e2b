// The timeline panel without a window: rows and frame tables from a document, the key commands
// against the channels they edit, the ruler and sequencer gestures through the mouse operations.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "app_prefs.h"
#include "interface_fonts.h"
#include "qv_layer.h"
#include "meshlayer.h"
#include "qv_message.h"
#include "qv_tab_view.h"
#include "timeline_marks.h"
#include "timeline_wnd.h"
#include "vorndoc.h"

namespace {

// Records what the panel posts to the main window.
class Timeline : public TimelineWnd {
public:
    explicit Timeline(VornDoc* doc)
        : TimelineWnd(nullptr, doc)
    {
    }
    void PostUp(int32_t what) override { fPosted.push_back(what); }
    bool Posted(int32_t what) const
    {
        for (int32_t p : fPosted) {
            if (p == what)
                return true;
        }
        return false;
    }

    int32_t Row(int32_t id) const
    {
        for (int32_t row = 0; row < fRowCount; row++) {
            if (fRows[row].fID == id)
                return row;
        }
        return -1;
    }
    uint8_t Mark(int32_t id, int32_t frame) const { return fTables[Row(id)].marks[size_t(frame)]; }
    void Select(int32_t id, int32_t frame) { fTables[Row(id)].marks[size_t(frame)] |= KEY_SELECTED; }
    // The x of a frame's centre on the ruler, the y of the ruler and of a row's line.
    int32_t X(int32_t frame) const { return RulerRect().left + fFrameWidth + 1 + (frame - FirstVisibleFrame()) * fFrameWidth; }
    int32_t RulerY() const { return RulerRect().top + 2; }

    std::vector<int32_t> fPosted;
};

std::set<int32_t> KeyFrames(AnimChannel& channel)
{
    std::set<int32_t> frames;
    for (int32_t k = 0; k < channel.CountKeys(); k++)
        frames.insert(channel.GetKeyWhen(k));
    return frames;
}

void Key(MeshLayer* layer, int32_t frame, float x = 1)
{
    layer->fTranslation.SetValue(frame, QV_Vector3 { x, 0, 0 });
}

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gPrefs.masterAnimChannel = false;
        layer = new MeshLayer;
        layer->SetName("Square");
        doc.AddLayer(layer);
        doc.SetSelLayer(layer);
        doc.SetCurFrame(0);
    }
    void TearDown() override { gPrefs.masterAnimChannel = false; }
    Timeline& Panel()
    {
        if (!panel)
            panel = std::make_unique<Timeline>(&doc);
        return *panel;
    }

    VornDoc doc;
    MeshLayer* layer = nullptr;
    std::unique_ptr<Timeline> panel;
};

TEST_F(TimelineTest, TimingOffsetShiftsLayerRowsButNotCameraRows)
{
    Key(layer, 3);
    Key(layer, 10);
    doc.fCameraZoom.SetValue(7, 2.0f);
    layer->SetTimingOffset(5);
    Timeline& t = Panel();
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 5) & KEY_MARK);
    EXPECT_FALSE(t.Mark(CHANNEL_LAYER_T, 10) & KEY_MARK);
    // Keys at 0 and 3 fell below frame 0, yet the row still counts as animated.
    EXPECT_EQ(t.fTables[t.Row(CHANNEL_LAYER_T)].keyCount, 3);
    EXPECT_TRUE(t.IsRowShown(t.Row(CHANNEL_LAYER_T)));
    EXPECT_TRUE(t.Mark(CHANNEL_CAMERA_ZOOM, 7) & KEY_MARK);
    EXPECT_FALSE(t.Mark(CHANNEL_CAMERA_ZOOM, 2) & KEY_MARK);
}

TEST_F(TimelineTest, ModesCycleExtentsAndRowsShown)
{
    Key(layer, 10);
    layer->fTranslation.SetKeyInterp(10, INTERP_LINEAR, 0, 0);
    layer->fScale.SetValue(10, QV_Vector3 { 2, 2, 2 });
    layer->fScale.SetKeyInterp(10, INTERP_STEP, 0, 0);
    Key(layer, 20);
    layer->fTranslation.SetKeyInterp(20, INTERP_CYCLE, 0, 12);
    layer->fScale.SetValue(20, QV_Vector3 { 1, 1, 1 });
    layer->fScale.SetKeyInterp(20, INTERP_CYCLE, 5, -1);
    // A single key shows its row only when it is noisy at the channel's frame 0.
    layer->fRotationZ.SetKeyInterp(0, INTERP_NOISY, 0.1f, 0.5f);
    Timeline& t = Panel();
    const int32_t all = t.Row(CHANNEL_LAYER_ALL);
    EXPECT_EQ(t.fTables[all].modes[10], INTERP_SMOOTH) << "translation linear, scale step";
    EXPECT_EQ(t.fTables[t.Row(CHANNEL_LAYER_T)].modes[10], INTERP_LINEAR);
    EXPECT_EQ(t.fTables[t.Row(CHANNEL_LAYER_T)].extents[20], -10012);
    EXPECT_EQ(t.fTables[t.Row(CHANNEL_LAYER_S)].extents[20], 15);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_S, 20) & KEY_CYCLE);
    EXPECT_TRUE(t.IsRowShown(t.Row(CHANNEL_LAYER_ROT_Z)));
    EXPECT_FALSE(t.IsRowShown(t.Row(CHANNEL_LAYER_ROT_X))) << "one smooth key at 0";
    EXPECT_FALSE(t.IsRowShown(all));

    gPrefs.masterAnimChannel = true;
    for (int32_t row = 0; row < t.fRowCount; row++)
        EXPECT_EQ(t.IsRowShown(row), row == all) << t.fRows[row].fID;
}

TEST_F(TimelineTest, TablesGrowOnDemandAndNeverToAFarKey)
{
    Timeline& t = Panel();
    EXPECT_EQ(t.FrameTableLength(), 1024);
    t.SetFrame(5000, false);
    EXPECT_EQ(t.FrameTableLength(), 5048);
    EXPECT_EQ(doc.CurFrame(), 5000);

    // A key two billion frames out would ask for 64 tables that long.
    Key(layer, 2000000000);
    t.RebuildRows(false);
    EXPECT_LE(t.FrameTableLength(), TimelineWnd::kMaxTableLength);
    EXPECT_EQ(t.fTables[t.Row(CHANNEL_LAYER_T)].keyCount, 1);
}

TEST_F(TimelineTest, SelectChannelKeyMarksPairsAndAllChannels)
{
    doc.SetCurFrame(12);
    Timeline& t = Panel();
    t.Select(CHANNEL_LAYER_T, 0);
    t.SelectChannelKey(CHANNEL_LAYER_T);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 12) & KEY_MARK);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_ALL, 12) & KEY_MARK);
    EXPECT_FALSE(t.Mark(CHANNEL_LAYER_T, 0) & KEY_SELECTED);
}

TEST_F(TimelineTest, DeleteKeepsFrameZeroAndSingleKeys)
{
    Key(layer, 5);
    Key(layer, 9);
    Timeline& t = Panel();
    t.SelectAllKeys();
    t.DeleteSelectedKeys();
    EXPECT_EQ(KeyFrames(layer->fTranslation), (std::set<int32_t> { 0 }));
    EXPECT_EQ(layer->fRotationZ.CountKeys(), 1);
    EXPECT_TRUE(t.Posted(1001) && t.Posted(1000));
}

TEST_F(TimelineTest, CopyAndPaste)
{
    Key(layer, 5, 2);
    Key(layer, 8, 3);
    Timeline& t = Panel();
    t.Select(CHANNEL_LAYER_T, 5);
    t.Select(CHANNEL_LAYER_T, 8);
    t.MarkCopiedKeys();
    doc.SetCurFrame(20);
    t.PasteKeys();
    EXPECT_EQ(KeyFrames(layer->fTranslation), (std::set<int32_t> { 0, 5, 8, 20, 23 }));
    EXPECT_FLOAT_EQ(layer->fTranslation.GetValue(23).x, 3);
    EXPECT_EQ(t.Mark(CHANNEL_LAYER_T, 20) & (KEY_MARK | KEY_SELECTED | KEY_COPIED), KEY_MARK);

    // Near the tables' end the paste grows them rather than writing past them.
    doc.SetCurFrame(t.FrameTableLength() - 2);
    const int32_t at = doc.CurFrame();
    t.PasteKeys();
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, at + 3) & KEY_MARK);
    EXPECT_TRUE(layer->fTranslation.HasKey(at + 3));
}

TEST_F(TimelineTest, OverlappingPasteSkipsSourcesItOverwrote)
{
    for (int32_t f : { 10, 12, 20 })
        Key(layer, f, float(f));
    Timeline& t = Panel();
    for (int32_t f : { 10, 12, 20 })
        t.Select(CHANNEL_LAYER_T, f);
    t.MarkCopiedKeys();
    doc.SetCurFrame(15);
    t.PasteKeys();
    EXPECT_EQ(KeyFrames(layer->fTranslation), (std::set<int32_t> { 0, 10, 12, 15, 17, 20, 25 }));
    EXPECT_FLOAT_EQ(layer->fTranslation.GetValue(25).x, 20);
}

TEST_F(TimelineTest, DragsRefusedWhole)
{
    struct Case {
        const char* what;
        std::vector<int32_t> selected;
        std::vector<int32_t> unselected;
        int32_t from;
        int32_t to;
        std::set<int32_t> expected;
    };
    const Case cases[] = {
        { "past an unselected key", { 10 }, { 15 }, 10, 18, { 0, 10, 15 } },
        { "right by one into one", { 10 }, { 11 }, 10, 11, { 0, 10, 11 } },
        { "pointer at 0 aims at 1", { 5 }, {}, 5, 0, { 0, 1 } },
        { "key at 0 stays", { 0, 5 }, {}, 5, 7, { 0, 7 } },
        { "plain move", { 10, 12 }, { 20 }, 10, 14, { 0, 14, 16, 20 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        layer->fTranslation.Clear();
        for (int32_t f : c.selected)
            Key(layer, f);
        for (int32_t f : c.unselected)
            Key(layer, f);
        panel.reset();
        Timeline& t = Panel();
        for (int32_t f : c.selected)
            t.Select(CHANNEL_LAYER_T, f);
        t.fUndoPending = true;
        t.MoveSelectedKeys(c.from, c.to);
        EXPECT_EQ(KeyFrames(layer->fTranslation), c.expected);
    }
}

TEST_F(TimelineTest, StretchPreviewPastTheTablesStaysInBounds)
{
    Key(layer, 10);
    Key(layer, 20);
    Timeline& t = Panel();
    const int32_t row = t.Row(CHANNEL_LAYER_T);
    t.Select(CHANNEL_LAYER_T, 10);
    t.Select(CHANNEL_LAYER_T, 20);
    t.fTables[row].stretchFrames = { 10, 20 };
    t.fUndoPending = true;
    t.ScaleSelectedKeys(20, 3000, 10, false);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 3000) & KEY_MARK);
    t.ScaleSelectedKeys(20, 30, 10, true);
    EXPECT_EQ(KeyFrames(layer->fTranslation), (std::set<int32_t> { 0, 10, 30 }));
    EXPECT_EQ(StretchedFrame(20, 30, 10, 15), 20);
}

TEST_F(TimelineTest, InterpolationCommands)
{
    layer->SetTimingOffset(5);
    Key(layer, 15);
    Timeline& t = Panel();
    t.Select(CHANNEL_LAYER_T, 10);
    t.SetSelectedInterp(INTERP_CYCLE, -1, 30);
    EXPECT_FLOAT_EQ(layer->fTranslation.GetKeyInterp(15).val2, 35);

    t.Select(CHANNEL_LAYER_T, 10);
    EXPECT_EQ(t.SelectedInterpMode(), INTERP_CYCLE);
    // The noisy dialog gets the reciprocal of the stored scale and hands back what to store.
    gTimelineDialogs.noise = [](QV_Wnd*, float* amplitude, float* scale) {
        *amplitude = 0.3f;
        *scale = 1.0f / 4.0f;
        return true;
    };
    t.HandleMessage(std::make_unique<QV_Message>(7028).get());
    EXPECT_FLOAT_EQ(layer->fTranslation.GetKeyInterp(15).val2, 0.25f);
    t.Select(CHANNEL_LAYER_T, 10);
    float amplitude = 0;
    float scale = 0;
    t.SelectedNoiseParams(amplitude, scale);
    EXPECT_FLOAT_EQ(amplitude, 0.3f);
    EXPECT_FLOAT_EQ(scale, 4);

    // A stored parameter of 0 offers the default scale, not an infinite one.
    layer->fTranslation.SetKeyInterp(15, INTERP_NOISY, 0.3f, 0);
    t.RebuildRows(false);
    t.Select(CHANNEL_LAYER_T, 10);
    t.SelectedNoiseParams(amplitude, scale);
    EXPECT_FLOAT_EQ(scale, 2);
    gTimelineDialogs.noise = nullptr;
}

TEST_F(TimelineTest, AddKeyframeFromTheMenuContext)
{
    Key(layer, 24, 3);
    Timeline& t = Panel();
    t.fContextRow = t.Row(CHANNEL_LAYER_T);
    t.fContextFrame = 30;
    const int32_t undo = doc.fUndoLevel;
    t.HandleMessage(std::make_unique<QV_Message>(7023).get());
    EXPECT_TRUE(layer->fTranslation.HasKey(30));
    EXPECT_FLOAT_EQ(layer->fTranslation.GetValue(30).x, 3);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 30) & KEY_MARK);
    EXPECT_EQ(doc.fUndoLevel, undo + 1);
}

// What the main window does for Edit > Undo and Redo: the document restores the layer, then 1006
// reaches the panel. A key added on the All Channels row keys every channel of the layer.
TEST_F(TimelineTest, UndoAndRedoRebuildTheRows)
{
    Key(layer, 24, 3);
    Timeline& t = Panel();
    t.fContextRow = t.Row(CHANNEL_LAYER_ALL);
    t.fContextFrame = 30;
    t.HandleMessage(std::make_unique<QV_Message>(7023).get());
    ASSERT_TRUE(t.Mark(CHANNEL_LAYER_ALL, 30) & KEY_MARK);
    QV_Message rebuild(1006);
    doc.Undo();
    t.HandleMessage(&rebuild);
    for (int32_t row = 0; row < t.fRowCount; row++)
        EXPECT_FALSE(t.fTables[row].marks[30] & KEY_MARK) << t.fRows[row].fID;
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_ALL, 24) & KEY_MARK);
    doc.Redo();
    t.HandleMessage(&rebuild);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_ALL, 30) & KEY_MARK);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 30) & KEY_MARK);
}

TEST_F(TimelineTest, RulerPlayRangeFrameRangeAndTiming)
{
    Timeline& t = Panel();
    const int32_t y = t.RulerY();
    auto click = [&](int32_t frame, int32_t button, int32_t modifiers) {
        t.MouseDown(t.X(frame), y, button, modifiers, nullptr);
        t.MouseUp(t.X(frame), y, button, modifiers, nullptr);
    };
    click(0, 1, 2);
    EXPECT_EQ(PlayRangeStart, -1);
    click(10, 1, 2);
    click(5, 2, 2);
    EXPECT_EQ(PlayRangeEnd, 5);
    EXPECT_EQ(PlayRangeStart, -1);
    click(10, 1, 2);
    EXPECT_EQ(PlayRangeStart, 10);
    EXPECT_EQ(PlayRangeEnd, -1);
    click(10, 1, 2);
    EXPECT_EQ(PlayRangeStart, -1);

    doc.SetStartFrame(1);
    doc.SetEndFrame(12);
    click(20, 1, 4);
    EXPECT_EQ(doc.StartFrame(), 1) << "beyond the end: a new end";
    EXPECT_EQ(doc.EndFrame(), 20);
    click(10, 1, 4);
    EXPECT_EQ(doc.StartFrame(), 10);
    click(5, 2, 4);
    EXPECT_EQ(doc.StartFrame(), 5) << "before the start: a new start";
    EXPECT_EQ(doc.EndFrame(), 20);
    click(15, 2, 4);
    EXPECT_EQ(doc.EndFrame(), 15);

    // A right drag by three frames moves the layer's keys three frames right.
    Key(layer, 10);
    t.RebuildRows(false);
    t.MouseDown(t.X(5), y, 2, 0, nullptr);
    t.MouseMoved(t.X(8), y, 0, nullptr);
    t.MouseUp(t.X(8), y, 2, 0, nullptr);
    EXPECT_EQ(layer->TimingOffset(), -3);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 13) & KEY_MARK);
}

TEST_F(TimelineTest, ScrubAndWheelMoveTheFrame)
{
    Timeline& t = Panel();
    t.MouseDown(t.X(7), t.RulerY(), 1, 0, nullptr);
    EXPECT_EQ(doc.CurFrame(), 7);
    t.MouseMoved(t.X(9), t.RulerY(), 0, nullptr);
    t.MouseUp(t.X(9), t.RulerY(), 1, 0, nullptr);
    EXPECT_EQ(doc.CurFrame(), 9);
    EXPECT_TRUE(t.Posted(1103) && t.Posted(1004));

    doc.SetCurFrame(1);
    t.fPosted.clear();
    t.MouseWheel(1.0f, 100, 100, 0, nullptr);
    EXPECT_EQ(doc.CurFrame(), 0);
    EXPECT_TRUE(t.Posted(1004) && t.Posted(1000));
    t.fPosted.clear();
    t.MouseWheel(1.0f, 100, 100, 0, nullptr);
    EXPECT_EQ(doc.CurFrame(), 0);
    EXPECT_FALSE(t.Posted(1004));
    doc.SetCurFrame(5);
    t.fPosted.clear();
    t.MouseWheel(-1.0f, 100, 100, 0, nullptr);
    EXPECT_EQ(doc.CurFrame(), 6);
    EXPECT_FALSE(t.Posted(1000));
}

TEST_F(TimelineTest, KeyClicksSelectAndDragOneUndoLevel)
{
    Key(layer, 10);
    Key(layer, 12);
    Timeline& t = Panel();
    const int32_t row = t.Row(CHANNEL_LAYER_T);
    int32_t y = -1;
    for (int32_t probe = t.IconColumnTop(); probe < t.IconColumnTop() + 200 && y < 0; probe++) {
        if (t.RowAtY(probe) == row)
            y = probe;
    }
    ASSERT_GE(y, 0);
    t.MouseDown(t.X(10), y, 1, 0, nullptr);
    t.MouseUp(t.X(10), y, 1, 0, nullptr);
    t.MouseDown(t.X(12), y, 1, 1, nullptr);
    t.MouseUp(t.X(12), y, 1, 1, nullptr);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 10) & KEY_SELECTED);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 12) & KEY_SELECTED);
    const int32_t undo = doc.fUndoLevel;
    t.MouseDown(t.X(12), y, 1, 0, nullptr);
    t.MouseMoved(t.X(14), y, 0, nullptr);
    t.MouseMoved(t.X(16), y, 0, nullptr);
    t.MouseUp(t.X(16), y, 1, 0, nullptr);
    EXPECT_EQ(KeyFrames(layer->fTranslation), (std::set<int32_t> { 0, 14, 16 }));
    EXPECT_EQ(doc.fUndoLevel, undo + 1);
    EXPECT_TRUE(t.Mark(CHANNEL_LAYER_T, 14) & KEY_SELECTED) << "the selection survives the rebuild";
}

TEST_F(TimelineTest, SequencerLinesAndDrag)
{
    auto* hidden = new MeshLayer;
    hidden->fVisible = false;
    doc.AddLayer(hidden);
    auto* top = new MeshLayer;
    doc.AddLayer(top);
    Timeline& t = Panel();
    t.fTabBar->fSelTab = 1;
    t.HandleMessage(std::make_unique<QV_Message>(7001).get());
    ASSERT_EQ(t.fViewMode, 3);
    const int32_t first = t.KeyAreaRect().top + t.fHeaderHeight;
    EXPECT_EQ(t.SequencerLayerAt(0, first + 5), top);
    EXPECT_EQ(t.SequencerLayerAt(0, first + 32 + 5), layer) << "the hidden layer takes no line";
    EXPECT_EQ(t.SequencerLayerAt(0, first + 64 + 5), nullptr);

    const int32_t y = first + 32 + 5;
    const int32_t undo = doc.fUndoLevel;
    t.MouseDown(t.X(10), y, 1, 0, nullptr);
    t.MouseUp(t.X(10), y, 1, 0, nullptr);
    EXPECT_EQ(doc.GetSelectedLayer(), layer);
    EXPECT_EQ(doc.fUndoLevel, undo);
    EXPECT_EQ(layer->TimingOffset(), 0);
    t.MouseDown(t.X(10), y, 1, 0, nullptr);
    t.MouseMoved(t.X(12), y, 0, nullptr);
    t.MouseMoved(t.X(14), y, 0, nullptr);
    t.MouseUp(t.X(14), y, 1, 0, nullptr);
    EXPECT_EQ(layer->TimingOffset(), -4);
    EXPECT_EQ(doc.fUndoLevel, undo + 1);
    EXPECT_EQ(t.fSeqLayer, nullptr) << "the pressed layer is not kept past the gesture";
}

TEST(TimelineDrawing, RulerStepsAndSecondLabels)
{
    EXPECT_EQ(RulerLabelStep(8), 6);
    EXPECT_EQ(RulerLabelStep(4), 12);
    EXPECT_EQ(RulerLabelStep(1), 48);
    EXPECT_STREQ(SecondsLabel(24, 24, true).CString(), "00:00:01:00");
    EXPECT_STREQ(SecondsLabel(86400, 24, true).CString(), "01:00:00:00");
    EXPECT_STREQ(SecondsLabel(24, 24, false).CString(), "1");
    EXPECT_STREQ(SecondsLabel(86400, 24, false).CString(), "3600");
}

TEST(TimelineZoom, WidthsStayWithinOneToEight)
{
    VornDoc doc;
    auto* layer = new MeshLayer;
    doc.AddLayer(layer);
    doc.SetSelLayer(layer);
    TimelineWnd t(nullptr, &doc);
    QV_Message in(7022);
    t.HandleMessage(&in);
    EXPECT_EQ(t.fFrameWidth, 8);
    QV_Message out(7021);
    for (int32_t expected : { 4, 2, 1, 1 }) {
        t.HandleMessage(&out);
        EXPECT_EQ(t.fFrameWidth, expected);
    }
    for (int32_t expected : { 2, 4, 8 }) {
        t.HandleMessage(&in);
        EXPECT_EQ(t.fFrameWidth, expected);
    }
}

} // namespace

namespace {

// The panel drawn into a layer of its own (no window): pixels read back from the layer's image.
class TimelineDrawingTest : public TimelineTest {
protected:
    class Watched : public Timeline {
    public:
        using Timeline::Timeline;
        void Invalidate(int32_t left, int32_t top, int32_t right, int32_t bottom) override
        {
            fFlushed.push_back(QV_Rect { left, top, right, bottom });
        }
        void Refresh() override { fFlushed.push_back(Bounds()); }
        std::vector<QV_Rect> fFlushed;
    };

    void SetUp() override
    {
        TimelineTest::SetUp();
        if (!gWidgetFont) {
            CreateInterfaceFonts();
            fOwnFonts = true;
        }
        Key(layer, 6);
        Key(layer, 24);
        watched = new Watched(&doc);
        host = std::make_unique<QV_Layer>(0);
        host->ResizeTo(watched->Size().x, watched->Size().y);
        host->AddView(watched);
    }
    void TearDown() override
    {
        host.reset();
        if (fOwnFonts)
            DeleteInterfaceFonts();
        TimelineTest::TearDown();
    }
    rgb_color Pixel(int32_t x, int32_t y) const
    {
        const QV_PixelBuffer& image = host->fImage.buffer;
        const uint8_t* p = image.pixels + y * image.rowBytes + x * 4;
        return rgb_color { p[2], p[1], p[0], p[3] };
    }
    // The key row's line: the first row shown is "All Channels".
    int32_t RowY() const { return watched->IconColumnTop() + 8; }
    int32_t KeyX(int32_t frame) const { return watched->FrameX(frame, watched->FirstVisibleFrame()); }

    Watched* watched = nullptr;
    std::unique_ptr<QV_Layer> host;
    bool fOwnFonts = false;
};

bool Same(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST_F(TimelineDrawingTest, KeysAreIconsAtWidthEightAndEllipsesBelow)
{
    gPrefs.masterAnimChannel = true;
    const rgb_color fill { 154, 175, 194, 255 };
    const rgb_color outline { 23, 47, 90, 255 };
    watched->Draw();
    EXPECT_FALSE(Same(Pixel(KeyX(6), RowY() + 1), fill) || Same(Pixel(KeyX(6), RowY() + 1), outline));
    QV_Message out(7021);
    watched->HandleMessage(&out);
    watched->HandleMessage(&out);
    ASSERT_EQ(watched->fFrameWidth, 2);
    EXPECT_TRUE(Same(Pixel(KeyX(6), RowY() + 1), fill) || Same(Pixel(KeyX(6), RowY() + 1), outline));
    // Frame 0's number is red, others in the text colour.
    const QV_Rect r = watched->RulerRect();
    auto redIn = [&](int32_t x0, int32_t x1) {
        for (int32_t y = r.top + 1; y < r.bottom - 5; y++) {
            for (int32_t x = x0; x <= x1; x++) {
                const rgb_color c = Pixel(x, y);
                if (c.r > 200 && c.g < 90 && c.b < 90)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(redIn(KeyX(0) - 4, KeyX(0) + 4));
    EXPECT_FALSE(redIn(KeyX(24) - 8, KeyX(24) + 8));
}

TEST_F(TimelineDrawingTest, PlayingForwardRepaintsOnlyTheStrip)
{
    watched->Draw();
    const QV_Rect k = watched->KeyAreaRect();
    const int32_t probeY = k.bottom - 2;
    const int32_t far = KeyX(20);
    const rgb_color before = Pixel(far, probeY);
    watched->fFlushed.clear();
    watched->SetFrame(1, true);
    watched->SetFrame(2, true);
    ASSERT_FALSE(watched->fFlushed.empty());
    const QV_Rect strip = watched->fFlushed.back();
    EXPECT_LE(strip.left, KeyX(1));
    EXPECT_GE(strip.right, KeyX(2));
    EXPECT_LT(strip.right, KeyX(6)) << "only the columns between the two frames";
    EXPECT_TRUE(Same(Pixel(KeyX(2), probeY), rgb_color { 255, 0, 0, 255 })) << "the new frame line";
    EXPECT_TRUE(Same(Pixel(far, probeY), before));
    // Stopped, the whole panel goes to the window again.
    watched->SetFrame(3, false);
    EXPECT_EQ(watched->fFlushed.back().right, watched->Bounds().right);
}

} // namespace
