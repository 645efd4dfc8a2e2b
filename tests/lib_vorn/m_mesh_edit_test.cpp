#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "mesh_test_support.h"

namespace {

using Edges = std::vector<std::pair<int32_t, int32_t>>;

TEST(MMeshEdit, AddPointAloneStartsATwoPointCurve)
{
    M_Mesh mesh;
    mesh.AddPoint(QV_Vector2 { 2, 3 }, -1, 6);
    ASSERT_EQ(mesh.fNumPoints, 2);
    ASSERT_EQ(mesh.fNumCurves, 1);
    EXPECT_FALSE(mesh.fPoints[0]->fSelected);
    EXPECT_TRUE(mesh.fPoints[1]->fSelected);
    EXPECT_FLOAT_EQ(mesh.fPoints[1]->fPos.x, 2);
    EXPECT_EQ(mesh.fPoints[1]->fAnimPos.CountKeys(), 1);
    EXPECT_EQ(mesh.fPoints[1]->fAnimPos.GetKeyWhen(0), 6);
    EXPECT_EQ(CurvePoints(mesh, 0), (std::vector<int32_t> { 0, 1 }));
    EXPECT_EQ(mesh.fCurves[0]->fCurvature[1]->GetKeyWhen(0), 6);
    EXPECT_TRUE(mesh.LinksAreConsistent());

    // A point on no curve starts the new curve itself, with the new point on top of it.
    mesh.fCleanup = false;
    mesh.fPoints[0]->DeleteCurve(0);
    mesh.fPoints[1]->DeleteCurve(0);
    mesh.fCurves[0]->fNumPoints = 0;
    mesh.fPoints[1]->fPos = QV_Vector2 { 8, 8 };
    mesh.AddPoint(QV_Vector2 { 0, 0 }, 1, 0);
    EXPECT_EQ(mesh.fNumPoints, 3);
    EXPECT_EQ(CurvePoints(mesh, 1), (std::vector<int32_t> { 1, 2 }));
    EXPECT_FLOAT_EQ(mesh.fPoints[2]->fPos.x, 8);
    EXPECT_FALSE(mesh.fPoints[1]->fSelected);

    ConsoleCapture console;
    mesh.AddPoint(QV_Vector2 { 0, 0 }, 7, 0);
    EXPECT_EQ(mesh.fNumPoints, 3);
    EXPECT_EQ(console.lines, std::vector<std::string> { "M_Mesh:AddPoint - out of range" });
}

TEST(MMeshEdit, AddPointAtAnEndExtendsWhateverTheDirection)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    // Towards the curve from its last point: still appended.
    mesh.AddPoint(QV_Vector2 { 1, 0.1f }, 2, 0);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 0, 1, 2, 3 }));
    // From the first point: prepended.
    mesh.AddPoint(QV_Vector2 { 3, 0 }, 0, 0);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 4, 0, 1, 2, 3 }));
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshEdit, AddPointAtAnInnerPointTakesTheCloserSide)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    mesh.fPoints[1]->fParent = 4;
    mesh.AddPoint(QV_Vector2 { 1.5f, 0.5f }, 1, 0);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 0, 1, 3, 2 }));
    EXPECT_EQ(mesh.fPoints[3]->fParent, 4);
    mesh.AddPoint(QV_Vector2 { 0.5f, -0.5f }, 1, 0);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 0, 4, 1, 3, 2 }));
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshEdit, AddPointRenumbersTheShapesOfItsCurve)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 2, 0 }, { 2, 2 } });
    const int32_t s = AddShape(mesh, { { c, 0 }, { c, 1 } });
    mesh.AddPoint(QV_Vector2 { 2, 1 }, c, 1, 0);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 0, 1, 3, 2 }));
    EXPECT_EQ(ShapeEdges(mesh, s), (Edges { { c, 0 }, { c, 1 }, { c, 2 } }));
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshEdit, InsertedPointTakesTheMeanWidth)
{
    const struct {
        float a, b, expected;
    } cases[] = { { 0.02f, -1, -1 }, { 0.02f, 0.04f, 0.03f }, { -1, -1, -1 }, { 0.5f, -0.2f, 0.15f } };
    for (const auto& w : cases) {
        M_Mesh mesh;
        const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 } });
        mesh.fPoints[0]->fWidth.SetValue(0, w.a);
        mesh.fPoints[1]->fWidth.SetValue(0, w.b);
        mesh.fPoints[0]->fParent = 2;
        mesh.AddPoint(QV_Vector2 { 0.5f, 0 }, c, 0, 8);
        M_Point* added = mesh.fPoints[2];
        EXPECT_FLOAT_EQ(added->fWidth.GetValue(8), w.expected) << w.a << " " << w.b;
        EXPECT_EQ(added->fWidth.CountKeys(), 1);
        EXPECT_EQ(added->fWidth.GetKeyWhen(0), 8);
        EXPECT_EQ(added->fParent, 2);
    }
}

TEST(MMeshEdit, InsertedPointJoinsGroupsHoldingBothNeighbours)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    mesh.SelectAll();
    mesh.AddGroup("Both");
    mesh.SelectNone();
    mesh.fPoints[0]->fSelected = true;
    mesh.AddGroup("One");
    mesh.AddPoint(QV_Vector2 { 0.5f, 0 }, c, 0, 0);
    EXPECT_EQ(mesh.fGroups[0]->GetNumPoints(), 4);
    EXPECT_EQ(mesh.fGroups[1]->GetNumPoints(), 1);

    ConsoleCapture console;
    mesh.AddPoint(QV_Vector2 {}, 5, 0, 0);
    mesh.AddPoint(QV_Vector2 {}, c, 9, 0);
    EXPECT_EQ(mesh.fNumPoints, 4);
    EXPECT_EQ(console.lines,
        (std::vector<std::string> { "M_Mesh:Curve - out of range", "M_Mesh:AddPoint - out of range" }));
}

TEST(MMeshEdit, LonePointThenAppends)
{
    M_Mesh mesh;
    mesh.AppendPoint(QV_Vector2 { 1, 1 }, 0);
    EXPECT_EQ(mesh.fNumPoints, 0);
    mesh.AddLonePoint(QV_Vector2 { 0, 0 }, 0);
    mesh.AppendPoint(QV_Vector2 { 1, 0 }, 0);
    mesh.AppendPoint(QV_Vector2 { 2, 0 }, 0);
    mesh.AddLonePoint(QV_Vector2 { 5, 5 }, 0);
    mesh.AppendPoint(QV_Vector2 { 6, 5 }, 0);
    mesh.AppendPoint(QV_Vector2 { 7, 5 }, 0);
    ASSERT_EQ(mesh.fNumCurves, 2);
    EXPECT_EQ(CurvePoints(mesh, 0), (std::vector<int32_t> { 0, 1, 2 }));
    EXPECT_EQ(CurvePoints(mesh, 1), (std::vector<int32_t> { 3, 4, 5 }));
    EXPECT_FLOAT_EQ(mesh.fPoints[4]->fPos.x, 6);
    EXPECT_FALSE(mesh.fLonePending);
}

TEST(MMeshEdit, WeldingTheEndsOfACurveClosesItKeepingTheEdges)
{
    for (bool lastOntoFirst : { true, false }) {
        M_Mesh mesh;
        const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } });
        const int32_t s = AddShape(mesh, { { c, 0 }, { c, 1 }, { c, 2 } });
        if (lastOntoFirst)
            ASSERT_TRUE(mesh.WeldPoints(3, 0, 0));
        else
            ASSERT_TRUE(mesh.WeldPoints(0, 3, 0));
        ASSERT_EQ(mesh.fNumCurves, 1);
        EXPECT_TRUE(mesh.fCurves[c]->fClosed);
        EXPECT_EQ(mesh.fCurves[c]->fNumPoints, 3);
        EXPECT_EQ(mesh.fNumPoints, 3);
        ASSERT_EQ(mesh.fNumShapes, 1) << lastOntoFirst;
        Edges edges = ShapeEdges(mesh, s);
        std::sort(edges.begin(), edges.end());
        EXPECT_EQ(edges, (Edges { { c, 0 }, { c, 1 }, { c, 2 } })) << lastOntoFirst;
        EXPECT_TRUE(mesh.LinksAreConsistent());
    }

    M_Mesh two;
    AddCurve(two, { { 0, 0 }, { 1, 0 } });
    EXPECT_FALSE(two.WeldPoints(1, 0, 0));
    EXPECT_EQ(two.fNumPoints, 2);
    EXPECT_FALSE(two.WeldPoints(1, 1, 0));
    ConsoleCapture console;
    EXPECT_FALSE(two.WeldPoints(0, 2, 0));
    EXPECT_EQ(console.lines, std::vector<std::string> { "M_Mesh:WeldPoints - out of range" });
}

TEST(MMeshEdit, WeldingTwoCurveEndsJoinsThem)
{
    M_Mesh mesh;
    const int32_t a = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    const int32_t b = AddCurve(mesh, { { 5, 0 }, { 4, 0 }, { 3, 0 } });
    mesh.fCurves[a]->SetCurvature(1, 0.6f, 0);
    mesh.fCurves[a]->SetCurvature(1, 0.9f, 10);
    mesh.fCurves[b]->SetCurvature(1, 0.1f, 0);
    AddShape(mesh, { { a, 0 }, { a, 1 }, { b, 0 }, { b, 1 } }, false, true, "Across");
    // The last point of a onto the last point of b.
    ASSERT_TRUE(mesh.WeldPoints(2, 5, 10));
    ASSERT_EQ(mesh.fNumCurves, 1);
    EXPECT_EQ(mesh.fNumPoints, 5);
    M_Curve* joined = mesh.fCurves[0];
    EXPECT_FALSE(joined->fClosed);
    std::vector<float> xs;
    for (int32_t i = 0; i < joined->fNumPoints; i++)
        xs.push_back(joined->GetPoint(i)->fPos.x);
    EXPECT_EQ(xs, (std::vector<float> { 5, 4, 3, 1, 0 }));
    for (int32_t i = 0; i < joined->fNumPoints; i++) {
        EXPECT_EQ(joined->fCurvature[i]->CountKeys(), 1) << i;
        EXPECT_EQ(joined->fCurvature[i]->GetKeyWhen(0), 10) << i;
    }
    EXPECT_FLOAT_EQ(joined->GetCurvature(1, 10), 0.1f);
    EXPECT_FLOAT_EQ(joined->GetCurvature(3, 10), 0.9f);
    ASSERT_EQ(mesh.fNumShapes, 1);
    Edges edges = ShapeEdges(mesh, 0);
    std::sort(edges.begin(), edges.end());
    EXPECT_EQ(edges, (Edges { { 0, 0 }, { 0, 1 }, { 0, 2 }, { 0, 3 } }));
    EXPECT_TRUE(mesh.LinksAreConsistent());
    EXPECT_TRUE(SlotsAreTidy(mesh));
}

TEST(MMeshEdit, WeldingOntoAnInnerPointMovesTheCurves)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    AddCurve(mesh, { { 1, 1 }, { 1, 2 } });
    ASSERT_TRUE(mesh.WeldPoints(3, 1, 0));
    EXPECT_EQ(mesh.fNumPoints, 4);
    EXPECT_EQ(CurvePoints(mesh, 1), (std::vector<int32_t> { 1, 3 }));
    EXPECT_EQ(mesh.fPoints[1]->fNumCurves, 2);
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshEdit, AdjacentPoints)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    AddCurve(mesh, { { 0, 5 }, { 1, 5 }, { 2, 5 } }, true);
    EXPECT_TRUE(mesh.ArePointsAdjacent(0, 1));
    EXPECT_TRUE(mesh.ArePointsAdjacent(2, 1));
    EXPECT_FALSE(mesh.ArePointsAdjacent(0, 2));
    EXPECT_TRUE(mesh.ArePointsAdjacent(3, 5));
    EXPECT_FALSE(mesh.ArePointsAdjacent(0, 3));
    ConsoleCapture console;
    EXPECT_FALSE(mesh.ArePointsAdjacent(0, 6));
    EXPECT_EQ(console.lines, std::vector<std::string> { "M_Mesh:ArePointsAdjacent - out of range" });
}

TEST(MMeshEdit, SimplifyCurveKeepsEndsAndCorners)
{
    M_Mesh mesh;
    std::vector<QV_Vector2> straight;
    for (int32_t i = 0; i < 8; i++)
        straight.push_back(QV_Vector2 { float(i), 0.001f * float(i % 2) });
    const int32_t c = AddCurve(mesh, straight);
    mesh.fCurves[c]->SetCurvature(4, 0.002f, 0);
    mesh.SimplifyCurve(c, 0.1f);
    // Position 0, the corner and the last two positions stay; every other point goes.
    std::vector<float> xs;
    for (int32_t i = 0; i < mesh.fCurves[c]->fNumPoints; i++)
        xs.push_back(mesh.fCurves[c]->GetPoint(i)->fPos.x);
    EXPECT_EQ(xs, (std::vector<float> { 0, 4, 6, 7 }));
    EXPECT_TRUE(mesh.LinksAreConsistent());

    // A point goes only when its successor runs straight on too: before a sharp turn nothing goes.
    M_Mesh bent;
    const int32_t b = AddCurve(bent, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 2, 1 }, { 2, 2 } });
    bent.SimplifyCurve(b, 0.1f);
    EXPECT_EQ(bent.fCurves[b]->fNumPoints, 5);

    M_Mesh three;
    const int32_t t = AddCurve(three, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    three.SimplifyCurve(t, 1);
    EXPECT_EQ(three.fNumPoints, 3);
    ConsoleCapture console;
    three.SimplifyCurve(1, 1);
    EXPECT_EQ(console.lines, std::vector<std::string> { "M_Mesh:SimplifyCurve - out of range" });
}

TEST(MMeshEdit, DeleteEdgeOnTheClosingSegmentOnlyOpens)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } }, true);
    AddShape(mesh, { { c, 0 }, { c, 1 } }, false, true, "Kept");
    AddShape(mesh, { { c, 2 } }, false, true, "On the closing segment");
    mesh.DeleteEdge(c, 2, 0);
    EXPECT_FALSE(mesh.fCurves[c]->fClosed);
    ASSERT_EQ(mesh.fNumShapes, 1);
    EXPECT_STREQ(mesh.fShapes[0]->fName.CString(), "Kept");
}

TEST(MMeshEdit, DeleteEdgeOpensAClosedCurveAtTheSegment)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }, true);
    mesh.fCurves[c]->SetSegmentOn(2, false);
    AddShape(mesh, { { c, 0 }, { c, 1 } }, false, true);
    mesh.DeleteEdge(c, 1, 0);
    EXPECT_FALSE(mesh.fCurves[c]->fClosed);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 2, 3, 0, 1 }));
    EXPECT_EQ(mesh.fCurves[c]->fSegmentOn[0], 0);
    EXPECT_EQ(mesh.fNumShapes, 0);
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshEdit, DeleteEdgeSplitsAnOpenCurve)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 4, 0 } });
    mesh.fCurves[c]->SetCurvature(3, 0.5f, 0);
    mesh.fCurves[c]->SetCurvature(3, 0.7f, 30);
    AddShape(mesh, { { c, 0 }, { c, 3 } }, false, true);
    const float at24 = mesh.fCurves[c]->GetCurvature(3, 24);
    mesh.DeleteEdge(c, 1, 24);
    ASSERT_EQ(mesh.fNumCurves, 2);
    EXPECT_EQ(CurvePoints(mesh, 0), (std::vector<int32_t> { 0, 1 }));
    EXPECT_EQ(CurvePoints(mesh, 1), (std::vector<int32_t> { 2, 3, 4 }));
    EXPECT_EQ(mesh.fNumShapes, 0);
    M_Curve* split = mesh.fCurves[1];
    for (int32_t i = 0; i < 3; i++) {
        EXPECT_EQ(split->fCurvature[i]->CountKeys(), 1);
        EXPECT_EQ(split->fCurvature[i]->GetKeyWhen(0), 24);
    }
    EXPECT_FLOAT_EQ(split->GetCurvature(1, 24), at24);
    EXPECT_FLOAT_EQ(split->GetCurvature(1, 0), at24);
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshEdit, DeleteEdgeAtTheEndsOfAnOpenCurve)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } });
    mesh.DeleteEdge(c, 2, 0);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 0, 1, 2 }));
    EXPECT_EQ(mesh.fNumPoints, 3);
    mesh.DeleteEdge(c, 0, 0);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 0, 1 }));
    EXPECT_FLOAT_EQ(mesh.fPoints[0]->fPos.x, 1);
    EXPECT_TRUE(mesh.LinksAreConsistent());
    // A two-point curve loses both points.
    mesh.DeleteEdge(c, 0, 0);
    EXPECT_EQ(mesh.fNumCurves, 0);
    EXPECT_EQ(mesh.fNumPoints, 0);

    AddCurve(mesh, { { 0, 0 }, { 1, 0 } });
    ConsoleCapture console;
    mesh.DeleteEdge(0, 2, 0);
    mesh.DeleteEdge(1, 0, 0);
    EXPECT_EQ(console.lines.size(), 2u);
    EXPECT_EQ(console.lines[0], "M_Mesh:DeleteEdge - out of range");
}

TEST(MMeshEdit, ClosestPoint)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 5, 0 }, { 1, 0 } });
    EXPECT_EQ(mesh.ClosestPoint(QV_Vector2 { 0.9f, 0 }), 2);
    EXPECT_EQ(mesh.ClosestPoint(QV_Vector2 { 0.9f, 0 }, 2), 0);
    EXPECT_EQ(mesh.ClosestPoint(QV_Vector2 { 0.9f, 0 }, -1, 1), 0);
    EXPECT_EQ(mesh.ClosestPoint(QV_Vector2 { 2000, 0 }), -1);
}

TEST(MMeshEdit, SelectionAndMoves)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 2, 0 }, { 2, 4 } });
    AddCurve(mesh, { { 9, 9 }, { 8, 8 } });
    QV_Vector2 min, max;
    mesh.SelectNone();
    mesh.SelectedBounds(min, max);
    EXPECT_FLOAT_EQ(min.x, 1000000);
    EXPECT_FLOAT_EQ(max.x, -1000000);
    EXPECT_FLOAT_EQ(mesh.SelectedCenter().x, 0);

    mesh.fPoints[1]->fSelected = true;
    mesh.fPoints[2]->fSelected = true;
    const QV_Vector2 center = mesh.SelectedCenter();
    EXPECT_FLOAT_EQ(center.x, 2);
    EXPECT_FLOAT_EQ(center.y, 2);
    mesh.PrepMovePoints();
    mesh.TranslatePoints(QV_Vector2 { 1, 1 });
    EXPECT_FLOAT_EQ(mesh.fPoints[2]->fPos.y, 5);
    EXPECT_FLOAT_EQ(mesh.fPoints[0]->fPos.x, 0);
    mesh.ScalePoints(2, 0.5f, center);
    EXPECT_FLOAT_EQ(mesh.fPoints[2]->fPos.x, 2);
    EXPECT_FLOAT_EQ(mesh.fPoints[2]->fPos.y, 3);
    mesh.RotatePoints(3.14159265f / 2, center);
    EXPECT_NEAR(mesh.fPoints[2]->fPos.x, 0, 1e-5f);
    EXPECT_NEAR(mesh.fPoints[2]->fPos.y, 2, 1e-5f);
    // The moves leave the keys to the caller.
    EXPECT_FLOAT_EQ(mesh.fPoints[2]->fAnimPos.GetValue(0).y, 4);

    mesh.SelectConnected();
    EXPECT_TRUE(mesh.fPoints[0]->fSelected);
    EXPECT_FALSE(mesh.fPoints[3]->fSelected);
    mesh.SelectInverse();
    EXPECT_FALSE(mesh.fPoints[0]->fSelected);
    EXPECT_TRUE(mesh.fPoints[4]->fSelected);
    mesh.SelectAll();
    EXPECT_TRUE(mesh.fPoints[0]->fSelected);
}

TEST(MMeshEdit, Restacking)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } });
    for (const char* name : { "A", "B", "C", "D" })
        AddShape(mesh, { { c, 0 }, { c, 1 } }, true, false, name);
    auto order = [&mesh]() {
        std::string names;
        for (int32_t i = 0; i < mesh.fNumShapes; i++)
            names += mesh.fShapes[i]->fName.CString();
        return names;
    };
    mesh.RaiseShape(0, false);
    EXPECT_EQ(order(), "BACD");
    mesh.RaiseShape(0, true);
    EXPECT_EQ(order(), "ACDB");
    mesh.LowerShape(3, true);
    EXPECT_EQ(order(), "BACD");
    mesh.LowerShape(2, false);
    EXPECT_EQ(order(), "BCAD");
    mesh.LowerShape(0, true);
    mesh.RaiseShape(3, false);
    EXPECT_EQ(order(), "BCAD");
    ConsoleCapture console;
    mesh.RaiseShape(4, false);
    mesh.LowerShape(-1, false);
    EXPECT_EQ(console.lines,
        (std::vector<std::string> {
            "M_Mesh:RaiseShape - out of range", "M_Mesh:LowerShape - out of range" }));
}

} // namespace
