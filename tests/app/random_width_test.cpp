// Random line widths of the selected points, keyed at the current frame.
#include <gtest/gtest.h>

#include "m_mesh.h"
#include "m_point.h"
#include "meshlayer.h"
#include "random_width.h"
#include "vorndoc.h"

namespace {

int gNext = 0;
int Fixed() { return gNext; }

struct Scene {
    VornDoc doc;
    MeshLayer* layer = new MeshLayer;
    M_Mesh* mesh = layer->Mesh();
    Scene()
    {
        doc.AddLayer(layer);
        doc.SetSelLayer(layer);
        mesh->AddPoint(QV_Vector2 { 0, 0 }, -1, 0); // two points, a curve
        mesh->AddPoint(QV_Vector2 { 1, 0 }, 1, 0);
        mesh->SelectNone();
    }
};

} // namespace

TEST(RandomWidth, SelectedPointsGetAWidthInTheRange)
{
    Scene s;
    const int32_t h = s.doc.Height();
    s.mesh->GetPoint(0)->fSelected = true;
    s.mesh->GetPoint(2)->fSelected = true;
    s.mesh->GetPoint(1)->fWidth.SetValue(0, 0.5f);
    struct Case {
        int random;
        float expected; // pixels, range 2 to 6
    } cases[] = { { 0, 2 }, { 32767, 6 }, { 16384, 4 }, { 24575, 5 } };
    for (const Case& c : cases) {
        gNext = c.random;
        ASSERT_TRUE(ApplyRandomWidths(&s.doc, 2, 6, Fixed));
        EXPECT_FLOAT_EQ(s.mesh->GetPoint(0)->fWidth.GetValue(0) * float(h), c.expected) << c.random;
        EXPECT_FLOAT_EQ(s.mesh->GetPoint(2)->fWidth.GetValue(0) * float(h), c.expected);
        EXPECT_FLOAT_EQ(s.mesh->GetPoint(1)->fWidth.GetValue(0), 0.5f);
    }
    EXPECT_TRUE(s.doc.fDirty);
}

TEST(RandomWidth, EqualBoundsChangeNothingAndMakeNoUndoLevel)
{
    Scene s;
    s.mesh->SelectAll();
    s.doc.fDirty = false;
    const int32_t level = s.doc.fUndoLevel;
    const float before = s.mesh->GetPoint(0)->fWidth.GetValue(0);
    EXPECT_FALSE(ApplyRandomWidths(&s.doc, 2, 2, Fixed));
    EXPECT_EQ(s.doc.fUndoLevel, level);
    EXPECT_FLOAT_EQ(s.mesh->GetPoint(0)->fWidth.GetValue(0), before);
    EXPECT_FALSE(s.doc.fDirty);
}

TEST(RandomWidth, ShapeWidthKeyGoesOnceAnotherFrameIsKeyed)
{
    Scene s;
    M_Point* point = s.mesh->GetPoint(0);
    point->fSelected = true;
    point->fWidth.SetValue(0, -1.0f);
    point->fWidth.SetCurFrame(10);
    gNext = 32767;
    RandomizePointWidths(s.mesh, 1, 3, 100, Fixed);
    ASSERT_EQ(point->fWidth.CountKeys(), 1);
    EXPECT_EQ(point->fWidth.fKeyFrames[0], 10);
    EXPECT_FLOAT_EQ(point->fWidth.GetValue(0), 0.03f);
    EXPECT_FLOAT_EQ(point->fWidth.GetValue(20), 0.03f);
}
