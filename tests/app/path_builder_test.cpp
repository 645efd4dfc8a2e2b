// Outline commands into mesh curves: subpaths, welding, corners, and the commands a careless
// file sends before any move.
#include <gtest/gtest.h>

#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "path_builder.h"

namespace {

struct Built {
    M_Mesh mesh;
    PathBuilder b;
    Built()
    {
        b.Init(0, &mesh);
        b.fSimplify = false;
    }
};

constexpr float kUnit = 4096;

} // namespace

TEST(PathBuilder, ClosedSquareIsOneClosedCurveOfFourCorners)
{
    Built t;
    t.b.MoveTo(0, 0);
    t.b.LineTo(kUnit, 0);
    t.b.LineTo(kUnit, kUnit);
    t.b.LineTo(0, kUnit);
    t.b.LineTo(0, 0);
    EXPECT_EQ(t.b.ClosePath(), 0);
    ASSERT_EQ(t.mesh.GetNumCurves(), 1);
    M_Curve* curve = t.mesh.GetCurve(0);
    EXPECT_TRUE(curve->fClosed);
    ASSERT_EQ(curve->GetNumPoints(), 4);
    ASSERT_EQ(t.mesh.GetNumPoints(), 4);
    for (int32_t i = 0; i < 4; i++)
        EXPECT_FLOAT_EQ(curve->GetCurvature(i, 0), kPathCornerCurvature) << i;
    EXPECT_FLOAT_EQ(t.mesh.GetPoint(2)->fPos.x, 1.0f);
    EXPECT_FLOAT_EQ(t.mesh.GetPoint(2)->fPos.y, 1.0f);
    EXPECT_TRUE(t.mesh.LinksAreConsistent());
}

TEST(PathBuilder, OpenTriangleClosesWithASegmentBackToItsStart)
{
    Built t;
    t.b.fOffset = QV_Vector2 { 10, 20 };
    t.b.MoveTo(0, 0);
    t.b.LineTo(kUnit, 0);
    t.b.LineTo(0, kUnit);
    t.b.ClosePath();
    ASSERT_EQ(t.mesh.GetNumCurves(), 1);
    EXPECT_TRUE(t.mesh.GetCurve(0)->fClosed);
    EXPECT_EQ(t.mesh.GetCurve(0)->GetNumPoints(), 3);
    EXPECT_FLOAT_EQ(t.mesh.GetPoint(1)->fPos.x, 11.0f);
    EXPECT_FLOAT_EQ(t.mesh.GetPoint(1)->fPos.y, 20.0f);
}

TEST(PathBuilder, ReturnWithinTheToleranceWeldsWithoutAnExtraSegment)
{
    Built t;
    t.b.MoveTo(0, 0);
    t.b.LineTo(kUnit, 0);
    t.b.LineTo(kUnit, kUnit);
    t.b.LineTo(5e-7f, 0);
    t.b.ClosePath();
    ASSERT_EQ(t.mesh.GetNumCurves(), 1);
    EXPECT_TRUE(t.mesh.GetCurve(0)->fClosed);
    EXPECT_EQ(t.mesh.GetCurve(0)->GetNumPoints(), 3);
}

TEST(PathBuilder, MoveTwiceAddsNoCurveForTheFirst)
{
    Built t;
    t.b.MoveTo(100, 100);
    t.b.MoveTo(0, 0);
    t.b.LineTo(kUnit, 0);
    EXPECT_EQ(t.b.EndPath(), 0);
    ASSERT_EQ(t.mesh.GetNumCurves(), 1);
    EXPECT_FALSE(t.mesh.GetCurve(0)->fClosed);
    EXPECT_FLOAT_EQ(t.mesh.GetPoint(0)->fPos.x, 0.0f);
    EXPECT_EQ(t.b.EndPath(), -1);
}

TEST(PathBuilder, CollinearSegmentsMakeNoCorner)
{
    Built t;
    t.b.MoveTo(0, 0);
    t.b.LineTo(kUnit, 0);
    t.b.LineTo(2 * kUnit, 0);
    t.b.LineTo(2 * kUnit, kUnit);
    t.b.EndPath();
    M_Curve* curve = t.mesh.GetCurve(0);
    ASSERT_EQ(curve->GetNumPoints(), 4);
    EXPECT_GT(curve->GetCurvature(1, 0), kPathCornerCurvature);
    EXPECT_FLOAT_EQ(curve->GetCurvature(2, 0), kPathCornerCurvature);
}

TEST(PathBuilder, CurveRunsAddTheirPoints)
{
    const uint8_t cubic[3] = { kPathTagCubic, kPathTagCubic, kPathTagOn };
    const uint8_t quad[2] = { 0, kPathTagOn };
    const QV_Vector2 c[3] = { { 0, kUnit }, { kUnit, kUnit }, { kUnit, 0 } };
    struct Case {
        const uint8_t* tags;
        int32_t count;
        int32_t steps;
        int32_t points; // after the start point
    } cases[] = {
        { cubic, 3, 2, 3 },
        { cubic, 3, 0, 1 },
        { quad, 2, 1, 2 },
        { cubic, 2, 1, 2 },
    };
    for (const Case& k : cases) {
        Built t;
        t.b.MoveTo(0, 0);
        t.b.CurveTo(c, k.count, k.tags, k.steps);
        t.b.EndPath();
        EXPECT_EQ(t.mesh.GetNumPoints(), 1 + k.points) << k.count << " " << k.steps;
    }
    // A quadratic run of one control point puts its middle vertex on the curve's midpoint.
    Built t;
    t.b.MoveTo(0, 0);
    const QV_Vector2 q[2] = { { kUnit, kUnit }, { 2 * kUnit, 0 } };
    t.b.CurveTo(q, 2, quad, 1);
    EXPECT_FLOAT_EQ(t.mesh.GetPoint(1)->fPos.x, 1.0f);
    EXPECT_FLOAT_EQ(t.mesh.GetPoint(1)->fPos.y, 0.5f);
}

TEST(PathBuilder, DrawingBeforeAnyMoveStartsAtThePen)
{
    const uint8_t cubic[3] = { kPathTagCubic, kPathTagCubic, kPathTagOn };
    const QV_Vector2 c[3] = { { 0, kUnit }, { kUnit, kUnit }, { kUnit, 0 } };
    M_Mesh mesh;
    PathBuilder b;
    b.Init(0, &mesh);
    b.LineTo(kUnit, 0);
    b.LineTo(kUnit, kUnit);
    EXPECT_EQ(b.ClosePath(), 0);
    EXPECT_TRUE(mesh.GetCurve(0)->fClosed);
    EXPECT_FLOAT_EQ(mesh.GetPoint(0)->fPos.x, 0.0f);
    b.CurveTo(c, 3, cubic, 4);
    EXPECT_EQ(b.EndPath(), 1);
    b.ClosePath();
    b.EndPath();
    EXPECT_TRUE(mesh.LinksAreConsistent());
}
