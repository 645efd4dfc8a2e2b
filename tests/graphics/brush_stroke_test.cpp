#include "blend_tables.h"
#include "qv_random.h"
#include "raster_test_support.h"
#include "xgraphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// Every dab draws one number from the generator, so the numbers a stroke used count its dabs.
int32_t DabsDrawn(const std::function<void()>& stroke)
{
    constexpr uint32_t kSeed = 4242;
    QV_SRand(kSeed);
    stroke();
    const int next[3] = { QV_Rand(), QV_Rand(), QV_Rand() };
    QV_SRand(kSeed);
    std::vector<int> sequence;
    for (int i = 0; i < 5000; i++)
        sequence.push_back(QV_Rand());
    for (size_t i = 0; i + 2 < sequence.size(); i++)
        if (sequence[i] == next[0] && sequence[i + 1] == next[1] && sequence[i + 2] == next[2])
            return static_cast<int32_t>(i);
    return -1;
}

struct BrushFixture : ::testing::Test {
    BrushFixture()
        : target(160, 128, 32)
        , brush(Texture32(4, 4, [](int32_t, int32_t) { return 0xFFFFFFFFu; }))
    {
        BuildBlendTables();
        g.SetRaster(&target.buffer);
        g.SetTexture(&brush.buffer);
    }
    // The bounding box of what was painted: left, top, right, bottom.
    std::array<int32_t, 4> PaintedBox()
    {
        std::array<int32_t, 4> box { 1 << 20, 1 << 20, -1, -1 };
        for (const auto& [x, y] : Painted(target)) {
            box[0] = std::min(box[0], x);
            box[1] = std::min(box[1], y);
            box[2] = std::max(box[2], x);
            box[3] = std::max(box[3], y);
        }
        return box;
    }
    OwnedRaster target;
    OwnedRaster brush;
    XGraphics g;
};

TEST_F(BrushFixture, AStraightHundredPixelStrokeTakesAboutFiftyDabs)
{
    const QV_Vector2 p[4] = { { 20, 60 }, { 20 + 100.0f / 3, 60 }, { 20 + 200.0f / 3, 60 }, { 120, 60 } };
    const int32_t dabs = DabsDrawn([&] { g.DrawBrushStroke2D(p, 8, 8, false, 0, 0.25f); });
    EXPECT_GE(dabs, 49);
    EXPECT_LE(dabs, 51);
    // Dabs of side 10 centred on the line, from the start point to just before the end.
    const auto box = PaintedBox();
    EXPECT_EQ(box[1], 55);
    EXPECT_EQ(box[3], 64);
    EXPECT_EQ(box[0], 15);
    EXPECT_GE(box[2], 120);
    EXPECT_LE(box[2], 124);
}

TEST_F(BrushFixture, FourEqualControlPointsGiveExactlyOneDab)
{
    const QV_Vector2 p[4] = { { 50, 50 }, { 50, 50 }, { 50, 50 }, { 50, 50 } };
    EXPECT_EQ(DabsDrawn([&] { g.DrawBrushStroke2D(p, 8, 8, false, 0, 0.25f); }), 1);
    // Unturned: an axis-aligned square of side 1.25 x 8 round the point.
    const auto painted = Painted(target);
    EXPECT_EQ(painted.size(), 100u);
    const auto box = PaintedBox();
    EXPECT_EQ(box, (std::array<int32_t, 4> { 45, 45, 54, 54 }));
}

TEST_F(BrushFixture, TheFirstDabTakesTheStartWidth)
{
    // Spacing so wide that the first advance leaves the curve: one dab of w0 = 4, side 5.
    const QV_Vector2 p[4] = { { 50, 50 }, { 60, 50 }, { 70, 50 }, { 80, 50 } };
    EXPECT_EQ(DabsDrawn([&] { g.DrawBrushStroke2D(p, 4, 12, false, 0, 100); }), 1);
    EXPECT_EQ(PaintedBox(), (std::array<int32_t, 4> { 48, 48, 52, 52 }));
}

TEST_F(BrushFixture, StrokesOffTheClipRectangleDrawNothing)
{
    const QV_Vector2 p[4] = { { 400, 60 }, { 420, 60 }, { 440, 60 }, { 460, 60 } };
    EXPECT_EQ(DabsDrawn([&] { g.DrawBrushStroke2D(p, 8, 8, true, 1, 0.25f); }), 0);
    EXPECT_TRUE(Painted(target).empty());
    // Within reach of its grown box the same stroke is drawn.
    const QV_Vector2 q[4] = { { 165, 60 }, { 170, 60 }, { 175, 60 }, { 180, 60 } };
    EXPECT_GT(DabsDrawn([&] { g.DrawBrushStroke2D(q, 8, 8, true, 1, 0.25f); }), 0);
}

TEST_F(BrushFixture, RandomTurnsComeFromTheProgramsGenerator)
{
    const QV_Vector2 p[4] = { { 30, 60 }, { 60, 40 }, { 90, 80 }, { 120, 60 } };
    QV_SRand(9);
    g.DrawBrushStroke2D(p, 6, 10, true, 2, 0.5f);
    const std::vector<uint8_t> first = target.bytes;
    target.Fill32(0);
    QV_SRand(9);
    g.DrawBrushStroke2D(p, 6, 10, true, 2, 0.5f);
    EXPECT_EQ(target.bytes, first) << "the same seed turns the dabs alike";
    target.Fill32(0);
    QV_SRand(10);
    g.DrawBrushStroke2D(p, 6, 10, true, 2, 0.5f);
    EXPECT_NE(target.bytes, first);
}

TEST_F(BrushFixture, WorldStrokesProjectOrWalkTheStepsInFrontOfTheEye)
{
    g.BeginDraw();
    QV_Matrix m;
    m.m[0] = 4;
    m.m[5] = 4;
    m.m[12] = 20;
    m.m[13] = 60;
    g.ApplyMatrix(m);
    g.fTrackBounds = true;
    g.ResetBounds();
    const QV_Vector2 flat[4] = { { 0, 0 }, { 5, 0 }, { 10, 0 }, { 15, 0 } };
    const int32_t projected = DabsDrawn([&] { g.DrawBrushStroke(flat, 8, 8, false, 0, 0.25f); });
    EXPECT_GE(projected, 29) << "60 pixels at 2 pixels a dab";
    EXPECT_LE(projected, 31);
    EXPECT_FLOAT_EQ(g.fBounds.minX, 20 - 8 * 0.65f);
    EXPECT_FLOAT_EQ(g.fBounds.maxX, 80 + 8 * 0.65f);

    // Now w = 1 - x / 10: of the 16 steps along x = 0..19 the first 8 lie wholly in front.
    g.BeginDraw();
    QV_Matrix perspective = m;
    perspective.m[3] = -0.1f;
    g.ApplyMatrix(perspective);
    const QV_Vector2 crossing[4] = { { 0, 0 }, { 19.0f / 3, 0 }, { 38.0f / 3, 0 }, { 19, 0 } };
    EXPECT_EQ(DabsDrawn([&] { g.DrawBrushStroke(crossing, 8, 8, false, 0, 0.25f); }), 8);

    // w = 0.75 - x / 4 reaches the eye plane exactly at step 8 (x = 3): that step's dab is still
    // drawn at its start; the point on the plane itself has no pixel position.
    g.BeginDraw();
    QV_Matrix toPlane = m;
    toPlane.m[3] = -0.25f;
    toPlane.m[15] = 0.75f;
    g.ApplyMatrix(toPlane);
    const QV_Vector2 toEye[4] = { { 0, 0 }, { 2, 0 }, { 4, 0 }, { 6, 0 } };
    EXPECT_EQ(DabsDrawn([&] { g.DrawBrushStroke(toEye, 8, 8, false, 0, 0.25f); }), 8);
}

} // namespace
