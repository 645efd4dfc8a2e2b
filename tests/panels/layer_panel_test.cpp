// The Layers panel and its tree, driven through their own entry points without a window: new,
// duplicated and deleted layers, and the tree's clicks, double clicks and drags.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "../core/scratch_folder.h"
#include "app_prefs.h"
#include "audiolayer.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "interface_fonts.h"
#include "layer_view.h"
#include "layer_wnd.h"
#include "meshlayer.h"
#include "qv_button.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_stopwatch.h"
#include "vorndoc.h"

namespace {

class RecordingPanel : public LayerWnd {
public:
    explicit RecordingPanel(VornDoc* doc)
        : LayerWnd(nullptr, doc)
    {
    }
    void TreeNotice(int32_t what) override
    {
        notices.push_back(what);
        LayerWnd::TreeNotice(what);
    }
    std::vector<int32_t> notices;
};

std::vector<std::string> gAlerts;
int32_t gAlertAnswer = 0;

int32_t RecordAlert(QV_Wnd*, const char* line1, const char*, const char*, const char*)
{
    gAlerts.push_back(line1 ? line1 : "");
    return gAlertAnswer;
}

int gSettingsOpened = 0;
VornLayer* gSettingsLayer = nullptr;

void RecordSettings(QV_Wnd*, VornDoc*, VornLayer* layer)
{
    gSettingsOpened++;
    gSettingsLayer = layer;
}

uint32_t gTicks = 0;
uint32_t Ticks()
{
    return gTicks;
}

// A mono 16-bit sound of a tenth of a second.
void WriteWave(const std::string& path)
{
    const uint32_t rate = 8000;
    const uint32_t samples = 800;
    const uint32_t bytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    for (uint32_t i = 0; i < samples; i++)
        u16(uint16_t(int16_t((i % 40) * 500 - 10000)));
}

class LayerPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateInterfaceFonts();
        gLayerAlert = RecordAlert;
        gRunLayerDlog = RecordSettings;
        gAlerts.clear();
        gAlertAnswer = 0;
        gSettingsOpened = 0;
        gSettingsLayer = nullptr;
        // Presses are far apart in time unless a test says otherwise.
        QV_SetStopwatchTickSource(Ticks);
        gTicks = 1000;
        doc.SetShape(640, 480);
        first = Add("Layer 1");
        doc.SetSelLayer(first);
        panel = new RecordingPanel(&doc);
    }
    void TearDown() override
    {
        delete panel;
        gRunLayerDlog = nullptr;
        QV_SetStopwatchTickSource(nullptr);
        DeleteInterfaceFonts();
    }
    VornLayer* Add(const char* name, GroupLayer* group = nullptr)
    {
        auto* layer = new MeshLayer;
        layer->SetName(name);
        if (group)
            group->AddLayer(layer);
        else
            doc.AddLayer(layer);
        return layer;
    }
    GroupLayer* AddGroup(const char* name)
    {
        auto* group = new GroupLayer;
        group->SetName(name);
        group->Expand(true);
        doc.AddLayer(group);
        return group;
    }
    // Names of a list from the bottom of the stack up.
    static std::string Names(const QV_ArrayList& list)
    {
        std::string names;
        for (int32_t i = 0; i < list.fCount; i++)
            names += std::string(i ? "," : "") + static_cast<VornLayer*>(list.fItems[i])->fName.CString();
        return names;
    }
    LayerView* Tree() { return panel->fTree; }
    int32_t Row() { return Tree()->fRowHeight; }
    // A point on the name of the row (0 is the top row), in the upper or lower half.
    int32_t NameX() { return 300; }
    int32_t RowY(int32_t row, bool lower = false) { return row * Row() + (lower ? Row() - 3 : 3); }
    int32_t EyeX() { return Tree()->fMargin + 2; }
    void Click(int32_t x, int32_t y, int32_t modifiers = 0)
    {
        if (!fKeepTime)
            gTicks += 1000;
        Tree()->MouseDown(x, y, 1, modifiers, nullptr);
        Tree()->MouseUp(x, y, 1, modifiers, nullptr);
    }
    void Drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t modifiers = 0)
    {
        gTicks += 1000;
        Tree()->MouseDown(x0, y0, 1, modifiers, nullptr);
        Tree()->MouseMoved((x0 + x1) / 2, (y0 + y1) / 2, modifiers, nullptr);
        Tree()->MouseMoved(x1, y1, modifiers, nullptr);
        Tree()->MouseUp(x1, y1, 1, modifiers, nullptr);
    }

    VornDoc doc;
    VornLayer* first = nullptr;
    RecordingPanel* panel = nullptr;
    bool fKeepTime = false;
};

TEST(DuplicateName, CountsOnFromTheLastNumber)
{
    struct Case {
        const char* name;
        const char* copy;
    };
    for (const Case& c : { Case { "Take 9", "Take 10" }, Case { "Layer", "Layer 2" }, Case { "Eyes 2", "Eyes 3" },
             Case { "Arm 2b", "Arm 3" }, Case { "Tail ", "Tail  2" }, Case { "Big Arm x", "Big Arm x 2" },
             Case { "", " 2" } })
        EXPECT_EQ(std::string(DuplicateName(c.name).CString()), c.copy) << c.name;
}

TEST_F(LayerPanelTest, DuplicateLandsDirectlyAboveWithEveryChannel)
{
    VornLayer* top = Add("Top");
    first->SetName("Take 9");
    first->fAlpha.SetValue(7, 0.25f);
    first->fTranslation.SetValue(3, QV_Vector3 { 1, 2, 0 });
    panel->DuplicateLayer();
    ASSERT_EQ(Names(doc.fLayers), "Take 9,Take 10,Top");
    VornLayer* copy = doc.GetSelectedLayer();
    EXPECT_EQ(std::string(copy->fName.CString()), "Take 10");
    EXPECT_EQ(copy->fAlpha.CountKeys(), first->fAlpha.CountKeys());
    EXPECT_FLOAT_EQ(copy->fAlpha.GetValue(7), 0.25f);
    EXPECT_EQ(copy->fTranslation.CountKeys(), first->fTranslation.CountKeys());
    EXPECT_NE(copy, top);
    EXPECT_EQ(panel->notices.back(), 1006);
    EXPECT_EQ(doc.fUndoLevel, 0);
}

TEST_F(LayerPanelTest, NewLayersGoAboveTheCurrentOneAndShowFromTheCurrentFrame)
{
    VornLayer* zero = panel->NewLayer(5010, nullptr);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(std::string(zero->fName.CString()), "Layer 2");
    EXPECT_EQ(Names(doc.fLayers), "Layer 1,Layer 2");
    const int32_t plainKeys = zero->fVisibility.CountKeys();
    EXPECT_FLOAT_EQ(static_cast<MeshLayer*>(zero)->fNoiseAmp, 6.0f / 480);

    doc.SetCurFrame(12);
    VornLayer* later = panel->NewLayer(5010, nullptr);
    EXPECT_FALSE(later->fVisibility.GetValue(11));
    EXPECT_TRUE(later->fVisibility.GetValue(12));
    EXPECT_EQ(doc.GetSelectedLayer(), later);
    EXPECT_EQ(doc.fUndoLevel, 0);

    // A group made inside a group: the new layer lands in the current layer's group.
    GroupLayer* group = AddGroup("G");
    VornLayer* inside = Add("In", group);
    doc.SetSelLayer(inside);
    VornLayer* sub = panel->NewLayer(5012, nullptr);
    EXPECT_EQ(sub->Parent(), group);
    EXPECT_EQ(Names(group->fLayers), "In,Layer 2");
    EXPECT_TRUE(static_cast<GroupLayer*>(sub)->IsExpanded());
    (void)plainKeys;
}

TEST_F(LayerPanelTest, MediaLayersStartAtTheCurrentFrame)
{
    ScratchFolder scratch;
    const std::string sound = scratch.File("beep.wav");
    WriteWave(sound);
    const std::string picture = std::string(CELVANE_SOURCE_DIR) + "/data/swatches/Spectrum.png";

    doc.SetCurFrame(1);
    VornLayer* early = panel->NewLayer(5011, picture.c_str());
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(std::string(early->fName.CString()), "Spectrum.png");
    EXPECT_EQ(early->TimingOffset(), 0);
    EXPECT_TRUE(early->fVisibility.GetValue(0));
    EXPECT_EQ(early->fVisibility.CountKeys(), ImageLayer().fVisibility.CountKeys());
    EXPECT_EQ(static_cast<ImageLayer*>(early)->fShapeWidth, -1);

    doc.SetCurFrame(12);
    for (int32_t command : { 5011, 5018 }) {
        VornLayer* layer = panel->NewLayer(command, command == 5011 ? picture.c_str() : sound.c_str());
        ASSERT_NE(layer, nullptr) << command;
        EXPECT_EQ(layer->TimingOffset(), -11) << command;
        EXPECT_FALSE(layer->fVisibility.GetValue(0)) << command;
        EXPECT_TRUE(layer->fVisibility.GetValue(12)) << command;
    }

    // A sound that cannot be read leaves nothing behind but the alert.
    const int32_t count = doc.CountLayers();
    const std::string junk = scratch.File("junk.wav");
    std::ofstream(junk) << "not a sound";
    EXPECT_EQ(panel->NewLayer(5018, junk.c_str()), nullptr);
    EXPECT_EQ(doc.CountLayers(), count);
    ASSERT_EQ(gAlerts.size(), 1u);
    EXPECT_NE(gAlerts[0].find("not supported"), std::string::npos);

    // A third audio layer is refused, also when the file came with the message.
    panel->NewLayer(5018, sound.c_str());
    ASSERT_EQ(doc.CountLayers(), count + 1);
    LayerWnd::ImportAudioLayer(panel, sound.c_str());
    EXPECT_EQ(doc.CountLayers(), count + 1);
    ASSERT_EQ(gAlerts.size(), 2u);
    EXPECT_NE(gAlerts[1].find("No more than 2 audio layers"), std::string::npos);
    RunLayerImport(&doc, panel, panel, nullptr, 3127, sound.c_str());
    EXPECT_EQ(doc.CountLayers(), count + 1);
    EXPECT_EQ(gAlerts.size(), 3u);
}

TEST_F(LayerPanelTest, ASecondMovieLayerIsRefused)
{
    auto* movie = new ImageLayer;
    movie->fImagePath = QV_Path("/nowhere/first.mp4");
    doc.AddLayer(movie);
    ASSERT_TRUE(movie->IsMovieLayer());
    RunLayerImport(&doc, panel, panel, nullptr, 3123, "/nowhere/clip.mp4");
    EXPECT_EQ(doc.CountLayers(), 2);
    ASSERT_EQ(gAlerts.size(), 1u);
    EXPECT_NE(gAlerts[0].find("one video layer"), std::string::npos);
}

TEST_F(LayerPanelTest, DrawingKindsAreDisabledAwayFromFrameZeroWhenThePreferenceSaysSo)
{
    const bool saved = gPrefs.disableDrawingToolsNonZero;
    gPrefs.disableDrawingToolsNonZero = true;
    doc.SetCurFrame(5);
    panel->PostMessage(5001);
    for (int32_t id : { 5010, 5012, 5013, 5014, 5015 })
        EXPECT_FALSE(panel->fNewMenu->IsEnabled(id)) << id;
    for (int32_t id : { 5011, 5018 })
        EXPECT_TRUE(panel->fNewMenu->IsEnabled(id)) << id;
    doc.SetCurFrame(0);
    panel->PostMessage(5001);
    EXPECT_TRUE(panel->fNewMenu->IsEnabled(5010));
    gPrefs.disableDrawingToolsNonZero = saved;
    // Groups, particles and notes have their items after the five kinds.
    EXPECT_EQ(std::string(panel->fNewMenu->ItemLabel(5017).CString()), "Note");
}

TEST_F(LayerPanelTest, ANoteLayerOpensItsSettings)
{
    VornLayer* note = panel->NewLayer(5017, nullptr);
    EXPECT_EQ(gSettingsOpened, 1);
    EXPECT_EQ(gSettingsLayer, note);
}

TEST_F(LayerPanelTest, DeletingAsksFirstKeepsTheLastLayerAndClearsTheHistory)
{
    panel->PostMessage(1006);
    EXPECT_FALSE(panel->fDeleteButton->IsEnabled());
    panel->DeleteLayer();
    EXPECT_EQ(doc.CountLayers(), 1);

    VornLayer* second = Add("Layer 2");
    doc.SetSelLayer(second);
    panel->PostMessage(1006);
    EXPECT_TRUE(panel->fDeleteButton->IsEnabled());
    doc.PrepUndo(second);
    ASSERT_EQ(doc.fUndoLevel, 1);
    gAlertAnswer = 1; // No
    panel->DeleteLayer();
    EXPECT_EQ(doc.CountLayers(), 2);
    EXPECT_EQ(doc.fUndoLevel, 1);
    gAlertAnswer = 0; // Yes
    panel->DeleteLayer();
    EXPECT_EQ(Names(doc.fLayers), "Layer 1");
    EXPECT_EQ(doc.GetSelectedLayer(), first);
    EXPECT_EQ(doc.fUndoLevel, 0);

    // In a group the one below takes over, and the group itself when it empties.
    GroupLayer* group = AddGroup("G");
    VornLayer* a = Add("A", group);
    VornLayer* b = Add("B", group);
    doc.SetSelLayer(b);
    panel->DeleteLayer();
    EXPECT_EQ(doc.GetSelectedLayer(), a);
    panel->DeleteLayer();
    EXPECT_EQ(doc.GetSelectedLayer(), group);
}

TEST_F(LayerPanelTest, TheTreeShowsTheTopOfTheStackFirstAndIndentsGroups)
{
    GroupLayer* group = AddGroup("G");
    VornLayer* inner = Add("Inner", group);
    Tree()->Draw();
    EXPECT_EQ(Tree()->fRowCount, 3);
    int32_t x = 0;
    int32_t top = 0;
    EXPECT_EQ(Tree()->LayerAt(NameX(), RowY(0), x, top), group);
    EXPECT_EQ(Tree()->LayerAt(NameX(), RowY(1), x, top), inner);
    EXPECT_EQ(x, Tree()->fIndent);
    EXPECT_EQ(Tree()->LayerAt(NameX(), RowY(2), x, top), first);
    EXPECT_EQ(Tree()->LayerAt(NameX(), RowY(3), x, top), nullptr);
    EXPECT_EQ(Tree()->LayerAt(NameX(), -5, x, top), group);
    group->Expand(false);
    Tree()->Draw();
    EXPECT_EQ(Tree()->fRowCount, 2);
}

TEST_F(LayerPanelTest, AltClickSolosAndUnsolos)
{
    VornLayer* b = Add("B");
    VornLayer* c = Add("C");
    c->fVisible = false;
    // Rows: C, B, Layer 1. Alt on B, one of two visible: B alone stays.
    Click(EyeX(), RowY(1), 4);
    EXPECT_TRUE(b->fVisible);
    EXPECT_FALSE(first->fVisible);
    EXPECT_FALSE(c->fVisible);
    // Alt on the only visible one shows them all.
    Click(EyeX(), RowY(1), 4);
    EXPECT_TRUE(first->fVisible && b->fVisible && c->fVisible);
    // A plain click toggles.
    Click(EyeX(), RowY(0));
    EXPECT_FALSE(c->fVisible);
    EXPECT_EQ(doc.GetSelectedLayer(), first);
}

TEST_F(LayerPanelTest, SelectingAHiddenLayerShowsItAndMovesTheSolo)
{
    VornLayer* b = Add("B");
    b->fVisible = false;
    Click(NameX(), RowY(0));
    EXPECT_EQ(doc.GetSelectedLayer(), b);
    EXPECT_TRUE(b->fVisible);
    EXPECT_FALSE(first->fVisible);
    // Shift marks both for a group drag; a plain press on an unmarked one clears the marks.
    Click(NameX(), RowY(1), 1);
    EXPECT_TRUE(first->fSecondarySelection && b->fSecondarySelection);
    EXPECT_EQ(doc.CountSelectedLayers(), 2);
}

TEST_F(LayerPanelTest, ASecondPressWithinHalfASecondOpensTheSettingsAtRelease)
{
    fKeepTime = true;
    VornLayer* b = Add("B");
    doc.SetSelLayer(b);
    gTicks = 1000;
    Click(NameX(), RowY(0));
    gTicks = 1300;
    Tree()->MouseDown(NameX(), RowY(0), 1, 0, nullptr);
    EXPECT_EQ(gSettingsOpened, 0);
    Tree()->MouseUp(NameX(), RowY(0), 1, 0, nullptr);
    EXPECT_EQ(gSettingsOpened, 1);
    EXPECT_EQ(gSettingsLayer, b);

    // Too slow, or a press on another layer: no dialog.
    gTicks = 5000;
    Click(NameX(), RowY(0));
    gTicks = 5600;
    Click(NameX(), RowY(0));
    gTicks = 5700;
    Click(NameX(), RowY(1));
    EXPECT_EQ(gSettingsOpened, 1);
}

TEST_F(LayerPanelTest, AShortDragIsAClick)
{
    Add("B");
    doc.PrepUndo(first);
    panel->notices.clear();
    Drag(NameX(), RowY(1), NameX() + 3, RowY(1) - 3);
    EXPECT_EQ(Names(doc.fLayers), "Layer 1,B");
    EXPECT_EQ(doc.fUndoLevel, 1);
    EXPECT_EQ(panel->notices, (std::vector<int32_t> { 1006, 1001 }));
}

TEST_F(LayerPanelTest, DraggingReordersAndClearsTheHistory)
{
    Add("B");
    Add("C");
    doc.PrepUndo(first);
    // Rows C, B, Layer 1: drop Layer 1 into the upper half of C: on top.
    Drag(NameX(), RowY(2), NameX(), RowY(0));
    EXPECT_EQ(Names(doc.fLayers), "B,C,Layer 1");
    EXPECT_EQ(doc.fUndoLevel, 0);
    // Below the last row: the bottom of the top level.
    Drag(NameX(), RowY(0), NameX(), RowY(6));
    EXPECT_EQ(Names(doc.fLayers), "Layer 1,B,C");
    // The lower half of a plain layer: just below it.
    Drag(NameX(), RowY(2), NameX(), RowY(0, true));
    EXPECT_EQ(Names(doc.fLayers), "B,Layer 1,C");
}

TEST_F(LayerPanelTest, DroppingOnTheLowerHalfOfAnOpenGroupPutsTheLayerAtItsTop)
{
    GroupLayer* group = AddGroup("G");
    Add("S", group);
    VornLayer* top = Add("T");
    doc.SetSelLayer(top);
    // Rows: T, G, S, Layer 1.
    Drag(NameX(), RowY(0), NameX(), RowY(1, true));
    EXPECT_EQ(Names(group->fLayers), "S,T");
    EXPECT_EQ(top->Parent(), group);
    Tree()->Draw();
    int32_t x = 0;
    int32_t rowTop = 0;
    EXPECT_EQ(Tree()->LayerAt(NameX(), RowY(1), x, rowTop), top);
    // Out again, into the upper half of the bottom layer: just above it, at the top level.
    Drag(NameX(), RowY(1), NameX(), RowY(3));
    EXPECT_EQ(Names(doc.fLayers), "Layer 1,T,G");
    EXPECT_EQ(top->Parent(), nullptr);
}

TEST_F(LayerPanelTest, AGroupDroppedOntoItsOwnDescendantStopsTheBatch)
{
    GroupLayer* group = AddGroup("G");
    VornLayer* inner = Add("S", group);
    // Rows: G, S, Layer 1. Layer 1 and G marked, G current; drop on S's upper half.
    first->fSecondarySelection = true;
    group->fSecondarySelection = true;
    doc.SetSelLayer(group);
    Drag(NameX(), RowY(0), NameX(), RowY(1));
    EXPECT_EQ(Names(doc.fLayers), "Layer 1,G");
    EXPECT_EQ(Names(group->fLayers), "S");
    EXPECT_EQ(inner->Parent(), group);
}

TEST_F(LayerPanelTest, ReorderingInAnOrderedGroupAtALaterFrameWritesAnOrderKey)
{
    GroupLayer* group = AddGroup("G");
    VornLayer* a = Add("A", group);
    Add("B", group);
    Add("C", group);
    group->EnableLayerOrdering(true);
    group->fLayerOrdering.SetValue(0, QV_String("0|1|2|"));
    group->FullDepthSort(&doc);
    ASSERT_TRUE(group->IsLayerOrdered());
    doc.SetCurFrame(5);
    doc.SetSelLayer(a);
    doc.PrepUndo(a);
    Tree()->Draw();
    // Rows: G, C, B, A, Layer 1. A onto the upper half of C.
    int32_t x = 0;
    int32_t top = 0;
    ASSERT_EQ(Tree()->LayerAt(NameX(), RowY(3), x, top), a);
    Drag(NameX(), RowY(3), NameX(), RowY(1));
    EXPECT_EQ(Names(group->fLayers), "A,B,C");
    EXPECT_EQ(std::string(group->fLayerOrdering.GetValue(5).CString()), "1|2|0|");
    EXPECT_EQ(doc.fUndoLevel, 0);

    char key[64];
    LayerOrderKey(group, a, group, false, key, int32_t(sizeof(key)));
    EXPECT_STREQ(key, "1|2|0");
    LayerOrderKey(group, a, first, false, key, int32_t(sizeof(key)));
    EXPECT_STREQ(key, "1|2|");
}

TEST_F(LayerPanelTest, WithoutADocumentNothingHappens)
{
    panel->SetDocument(nullptr);
    EXPECT_FALSE(panel->fDeleteButton->IsEnabled());
    EXPECT_FALSE(panel->fNewButton->IsEnabled());
    for (int32_t id : { 5001, 5002, 5003, 5004, 5010, 5018, 5030, 5100 })
        panel->PostMessage(id);
    Click(NameX(), RowY(0));
    EXPECT_EQ(doc.CountLayers(), 1);
    EXPECT_EQ(gSettingsOpened, 0);
    EXPECT_EQ(Tree()->fRowCount, 0);
}

} // namespace
