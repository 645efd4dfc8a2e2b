#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "mesh_test_support.h"

namespace {

void ExpectNear(const QV_Vector2& v, float x, float y, float tolerance = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
}

TEST(MCurve, TwoPointCurveIsStraightWithHandlesOnTheChord)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 4, 3 } });
    M_Curve* curve = mesh.fCurves[c];
    curve->SetCurvature(0, 0.5f, 0);
    curve->SetCurvature(1, 0.2f, 0);
    QV_Vector2 b[4];
    curve->GetSegmentBezier(0, b);
    // The chord is 5 long: the handles lie along it at curvature x 5 from each end.
    ExpectNear(b[0], 0, 0);
    ExpectNear(b[1], 0.5f * 4, 0.5f * 3);
    ExpectNear(b[2], 4 - 0.2f * 4, 3 - 0.2f * 3);
    ExpectNear(b[3], 4, 3);
    // Every point of the segment lies on the chord.
    const QV_Vector2 half = curve->PointOnSegment(0, 0.5f);
    EXPECT_NEAR(half.y, half.x * 0.75f, 1e-5f);
    EXPECT_NEAR(half.x, (3 * 2 + 3 * 3.2f + 4) / 8, 1e-5f);
}

TEST(MCurve, OpenEndsLeaveAndArriveAlongTheChord)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 2, 0 }, { 2, 2 } });
    M_Curve* curve = mesh.fCurves[c];
    QV_Vector2 first[4], last[4];
    curve->GetSegmentBezier(0, first);
    curve->GetSegmentBezier(1, last);
    // The first point's handle points along its chord; the inner point's tangent is parallel to
    // the line through its neighbours, shared by both segments.
    ExpectNear(first[1], 0.6f, 0);
    const float h = 0.3f * 2 / std::sqrt(2.0f);
    ExpectNear(first[2], 2 - h, -h);
    ExpectNear(last[1], 2 + h, h);
    ExpectNear(last[2], 2, 2 - 0.6f);
}

TEST(MCurve, ZeroChordCollapsesTheHandles)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 1, 1 }, { 1, 1 }, { 3, 1 } });
    QV_Vector2 b[4];
    mesh.fCurves[c]->GetSegmentBezier(0, b);
    for (const QV_Vector2& p : b)
        ExpectNear(p, 1, 1);
}

TEST(MCurve, ClosedCurveSmoothAtItsFirstPoint)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 1 }, { 2, 0 }, { 1, -1 } }, true);
    QV_Vector2 closing[4], first[4];
    mesh.fCurves[c]->GetSegmentBezier(3, closing);
    mesh.fCurves[c]->GetSegmentBezier(0, first);
    // The tangent at the first point is parallel to the line through the last and second points.
    ExpectNear(closing[3], 0, 0);
    EXPECT_NEAR(closing[2].x, 0, 1e-5f);
    EXPECT_NEAR(first[1].x, 0, 1e-5f);
    EXPECT_NEAR(closing[2].y, -first[1].y, 1e-5f);
}

TEST(MCurve, ClosestPointSamplesTheSegment)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 10, 0 } });
    M_Curve* curve = mesh.fCurves[c];
    // Samples are 0.01 apart in the parameter, about a tenth of a unit along this segment.
    const QV_Vector2 near = curve->ClosestPointOnSegment(0, QV_Vector2 { 3.04f, 5 });
    EXPECT_NEAR(near.x, 3.04f, 0.06f);
    EXPECT_FLOAT_EQ(near.y, 0);
    ExpectNear(curve->ClosestPointOnSegment(0, QV_Vector2 { -4, 0 }), 0, 0);
    // Farther than 1000 units from every sample: nothing counts as near.
    ExpectNear(curve->ClosestPointOnSegment(0, QV_Vector2 { 2000, 0 }), 0, 0);
}

TEST(MCurve, OutOfRangeAccessorsPrintAndAnswerDefaults)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 } });
    M_Curve* curve = mesh.fCurves[c];
    ConsoleCapture console;
    EXPECT_FLOAT_EQ(curve->GetCurvature(2, 0), 0.3f);
    curve->fCurvature[0]->SetValue(0, 0.9f);
    EXPECT_FLOAT_EQ(curve->GetCurvature(-1, 0), 0.3f);
    curve->SetCurvature(5, 1, 0);
    EXPECT_FALSE(curve->IsSegmentOn(2));
    curve->SetSegmentOn(-1, false);
    M_Curve empty;
    EXPECT_EQ(empty.GetPoint(0), nullptr);
    ASSERT_EQ(console.lines.size(), 6u);
    EXPECT_EQ(console.lines[0], "M_Curve:GetCurvature - out of range");
    EXPECT_EQ(console.lines[2], "M_Curve:SetCurvature - out of range");
    EXPECT_EQ(console.lines[3], "M_Curve:IsSegmentOn - out of range");
    EXPECT_EQ(console.lines[4], "M_Curve:SetSegmentOn - out of range");
    EXPECT_EQ(console.lines[5], "M_Curve:Point - out of range");
    EXPECT_EQ(console.colors[0].r, 255);
    EXPECT_EQ(console.colors[0].g, 0);
    EXPECT_EQ(console.colors[0].a, 255);
}

TEST(MCurve, PointIndexWrapsAtBothEnds)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    M_Curve* curve = mesh.fCurves[c];
    EXPECT_EQ(curve->GetPoint(3), mesh.fPoints[curve->fPointIDs[0]]);
    EXPECT_EQ(curve->GetPoint(-1), mesh.fPoints[curve->fPointIDs[2]]);
    // Arithmetic, not repeated addition: a script's extreme index answers at once.
    EXPECT_EQ(curve->GetPoint(INT32_MIN), mesh.fPoints[curve->fPointIDs[WrapIndex(INT32_MIN, 3)]]);
    EXPECT_EQ(WrapIndex(INT32_MIN, 3), 1);
}

TEST(MCurve, PointOnSegmentTests)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    M_Curve* curve = mesh.fCurves[c];
    const int32_t first = curve->fPointIDs[0], last = curve->fPointIDs[2];
    EXPECT_FALSE(curve->IsPointOnSegment(first, 2));
    EXPECT_TRUE(curve->IsPointOnSegment(last, 2));
    EXPECT_FALSE(curve->IsPointOnSegment(first, 3));
    curve->fClosed = true;
    EXPECT_TRUE(curve->IsPointOnSegment(first, 2));
    EXPECT_EQ(curve->GetNumSegments(), 3);
}

TEST(MCurve, AddPointAppendsOrPrependsAndRenumbersMemberships)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 } });
    M_Curve* curve = mesh.fCurves[c];
    M_Point* a = mesh.fPoints[curve->fPointIDs[0]];
    M_Point* b = mesh.fPoints[curve->fPointIDs[1]];
    mesh.AddLonePoint(QV_Vector2 { 5, 5 }, 0);
    mesh.AppendPoint(QV_Vector2 { 6, 5 }, 0);
    M_Point* front = mesh.fPoints[2];
    M_Point* back = mesh.fPoints[3];

    curve->AddPoint(front, 0, 0);
    curve->AddPoint(back, 3, 0);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 2, 0, 1, 3 }));
    EXPECT_EQ(a->fCurvePositions[0], 1);
    EXPECT_EQ(b->fCurvePositions[0], 2);
    EXPECT_EQ(front->fCurveIDs[1], c);
    EXPECT_EQ(front->fCurvePositions[1], 0);
    EXPECT_EQ(back->fCurvePositions[1], 3);
    EXPECT_FLOAT_EQ(curve->GetCurvature(0, 0), 0.3f);

    ConsoleCapture console;
    curve->AddPoint(front, 5, 0);
    EXPECT_EQ(curve->fNumPoints, 4);
    EXPECT_EQ(console.lines, std::vector<std::string> { "M_Curve:AddPoint - out of range" });
}

TEST(MCurve, ReusedPositionKeepsNoOldKeys)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    M_Curve* curve = mesh.fCurves[c];
    curve->SetCurvature(2, 0.8f, 0);
    curve->SetCurvature(2, 0.1f, 24);
    curve->DeletePoint(2);
    M_Point extra(0);
    curve->AddPoint(&extra, 2, 0);
    EXPECT_EQ(curve->fCurvature[2]->CountKeys(), 1);
    EXPECT_FLOAT_EQ(curve->GetCurvature(2, 24), 0.3f);

    // Added at a later frame, the position's only key is at that frame.
    M_Point late(0);
    curve->AddPoint(&late, 0, 12);
    EXPECT_EQ(curve->fCurvature[0]->CountKeys(), 1);
    EXPECT_EQ(curve->fCurvature[0]->GetKeyWhen(0), 12);
}

TEST(MCurve, DeletePointOpensAClosedCurveOfTwo)
{
    M_Curve curve;
    M_Point a(0), b(0), c(0);
    curve.AddPoint(&a, 0, 0);
    curve.AddPoint(&b, 1, 0);
    curve.AddPoint(&c, 2, 0);
    curve.fClosed = true;
    curve.DeletePoint(1);
    EXPECT_FALSE(curve.fClosed);
    EXPECT_EQ(curve.fNumPoints, 2);
    ConsoleCapture console;
    curve.DeletePoint(2);
    EXPECT_EQ(console.lines, std::vector<std::string> { "M_Curve:DeletePoint - out of range" });
}

TEST(MCurve, GrowsPastItsCapacityAndFromNone)
{
    M_Curve curve;
    std::vector<std::unique_ptr<M_Point>> points;
    for (int32_t i = 0; i < 40; i++) {
        points.push_back(std::make_unique<M_Point>(0));
        curve.AddPoint(points.back().get(), i, 0);
    }
    EXPECT_EQ(curve.fNumPoints, 40);
    EXPECT_EQ(curve.fCapacity, 64);
    for (int32_t i = 0; i < curve.fCapacity; i++)
        ASSERT_NE(curve.fCurvature[i], nullptr);

    // A curve read with no points has no room at all; adding still works.
    M_Curve empty;
    QV_MemStream stream;
    FillStream(stream, "0 false\n");
    ASSERT_TRUE(empty.ReadRecord(&stream, 0));
    EXPECT_EQ(empty.fCapacity, 0);
    M_Point p(0);
    empty.AddPoint(&p, 0, 0);
    EXPECT_EQ(empty.fNumPoints, 1);
    EXPECT_GE(empty.fCapacity, 1);
}

TEST(MCurve, RecordRoundTripAndRefusals)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    M_Curve* curve = mesh.fCurves[c];
    curve->fClosed = true;
    curve->SetSegmentOn(1, false);
    curve->SetCurvature(1, 0.75f, 5);
    QV_MemStream out;
    out.Open(0);
    curve->WriteRecord(&out);
    const std::string text = StreamText(out);
    EXPECT_EQ(text.substr(0, 8), "3 true\n\t");

    M_Curve copy;
    QV_MemStream in;
    FillStream(in, text);
    ASSERT_TRUE(copy.ReadRecord(&in, 10));
    EXPECT_TRUE(copy.fClosed);
    EXPECT_EQ(copy.fCapacity, 6);
    EXPECT_EQ(copy.fPointIDs[0], 10);
    EXPECT_EQ(copy.fSegmentOn[1], 0);
    EXPECT_FLOAT_EQ(copy.GetCurvature(1, 5), 0.75f);

    for (const char* bad :
        { "-1 false", "2 false 0 true", "2 false 0 true [ keys 1 0 1 0 0 0.3 ] 2147483647 true" }) {
        M_Curve refused;
        QV_MemStream stream;
        FillStream(stream, bad);
        EXPECT_FALSE(refused.ReadRecord(&stream, 1)) << bad;
        EXPECT_EQ(refused.fNumPoints, 0) << bad;
    }
}

} // namespace
