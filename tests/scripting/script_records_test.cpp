#include <gtest/gtest.h>

#include "m_mesh.h"
#include "m_point.h"
#include "meshlayer.h"
#include "script_events.h"
#include "script_grid.h"
#include "script_interface.h"
#include "vorndoc.h"

namespace {

class TestGrid : public ScriptGridSource {
public:
    TestGrid(bool shown, bool snapping)
        : fShown(shown)
        , fSnapping(snapping)
    {
        SetScriptGridSource(this);
    }
    ~TestGrid() override { SetScriptGridSource(nullptr); }
    bool GridShown() override { return fShown; }
    bool GridSnapping() override { return fSnapping; }

private:
    bool fShown;
    bool fSnapping;
};

TEST(ScriptInterface, GridSizeIsTheSpacingOverHalfTheHeight)
{
    struct Case {
        int32_t height;
        float size;
    };
    for (const Case& c :
        { Case { 480, 20.0f / 240 }, Case { 80, 0.5f }, Case { 1, 20.0f }, Case { 0, 20.0f } }) {
        VornDoc doc;
        doc.fHeight = c.height;
        ScriptInterface record(&doc, nullptr);
        EXPECT_FLOAT_EQ(record.fGridSize, c.size) << c.height;
    }
}

TEST(ScriptInterface, GridIsOnOnlyWhenShownAndSnapping)
{
    struct Case {
        bool shown, snapping, on;
    };
    for (const Case& c :
        { Case { true, true, true }, Case { true, false, false }, Case { false, true, false } }) {
        TestGrid grid(c.shown, c.snapping);
        VornDoc doc;
        EXPECT_EQ(ScriptInterface(&doc, nullptr).fGridOn, c.on);
    }
    VornDoc doc;
    EXPECT_FALSE(ScriptInterface(&doc, nullptr).fGridOn); // the plain grid is hidden
}

TEST(ScriptInterface, FramesFollowTheSelectedLayer)
{
    VornDoc doc;
    auto* layer = new MeshLayer();
    ASSERT_TRUE(doc.AddLayer(layer));
    layer->SetTimingOffset(5);
    doc.SetSelLayer(layer);
    doc.SetCurFrame(12);
    ScriptInterface record(&doc, nullptr);
    EXPECT_EQ(record.fFrame, 12);
    EXPECT_EQ(record.fLayerFrame, 17);
    EXPECT_EQ(record.fLayer, layer);
    EXPECT_EQ(record.fPointCount, -1);
}

TEST(ScriptInterface, CountsAreCachedUntilARecount)
{
    VornDoc doc;
    auto* layer = new MeshLayer();
    ASSERT_TRUE(doc.AddLayer(layer));
    doc.SetSelLayer(layer);
    M_Mesh* mesh = layer->Mesh();
    mesh->AddPoint(QV_Vector2 { 0, 0 }, -1, 0);
    mesh->AddPoint(QV_Vector2 { 1, 0 }, 1, 0);
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
        mesh->GetPoint(i)->fSelected = true;

    ScriptInterface record(&doc, nullptr);
    EXPECT_EQ(record.CountPoints(), 3);
    EXPECT_EQ(record.CountCurves(), 1);
    EXPECT_EQ(record.CountEdges(), 2);
    EXPECT_EQ(record.CountSelectedPoints(false), 3);
    EXPECT_EQ(record.CountSelectedEdges(false), 2);
    mesh->GetPoint(1)->fSelected = false;
    EXPECT_EQ(record.CountSelectedPoints(false), 3);
    EXPECT_EQ(record.CountSelectedPoints(true), 2);
    EXPECT_EQ(record.CountSelectedEdges(true), 0);
    EXPECT_EQ(record.CountShapes(), 0);
    EXPECT_EQ(record.CountBones(), 0);
}

TEST(ScriptRecords, EventsStartEmpty)
{
    MouseEvent mouse;
    EXPECT_EQ(mouse.pt.x, 0);
    EXPECT_EQ(mouse.penPressure, 0);
    EXPECT_FALSE(mouse.shiftKey);
    KeyEvent key;
    EXPECT_STREQ(key.key, "");
    key.Fill(nullptr, 0x161, 1 | 4);
    EXPECT_STREQ(key.key, "a");
    EXPECT_EQ(key.keyCode, 0x161);
    EXPECT_TRUE(key.shiftKey);
    EXPECT_FALSE(key.ctrlKey);
    EXPECT_TRUE(key.altKey);
}

} // namespace
