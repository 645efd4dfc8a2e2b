#include <gtest/gtest.h>

#include "mesh_test_support.h"
#include "style_panel_refs.h"

namespace {

using Edges = std::vector<std::pair<int32_t, int32_t>>;

TEST(MMeshDelete, MiddlePointOfThreeJoinsTheOuterPoints)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    AddCurve(mesh, { { 5, 5 }, { 6, 5 } });
    const int32_t first = AddShape(mesh, { { c, 0 } }, false, true);
    AddShape(mesh, { { c, 1 } }, false, true);
    mesh.DeletePoint(1);
    ASSERT_EQ(mesh.fNumCurves, 2);
    EXPECT_EQ(CurvePoints(mesh, c), (std::vector<int32_t> { 0, 1 }));
    EXPECT_FLOAT_EQ(mesh.fPoints[1]->fPos.x, 2);
    // The edge on the first segment now spans the gap; the one on the second is gone with it.
    ASSERT_EQ(mesh.fNumShapes, 1);
    EXPECT_EQ(ShapeEdges(mesh, first), (Edges { { c, 0 } }));
    EXPECT_EQ(CurvePoints(mesh, 1), (std::vector<int32_t> { 2, 3 }));
    EXPECT_TRUE(mesh.LinksAreConsistent());
    EXPECT_TRUE(SlotsAreTidy(mesh));
}

TEST(MMeshDelete, JunctionTakesTheFillableShapesThatMeetThere)
{
    M_Mesh mesh;
    const int32_t a = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    const int32_t b = AddCurve(mesh, { { 1, 1 }, { 1, 2 }, { 2, 2 } });
    // Point 1 (the middle of a) also starts b.
    mesh.WeldPoints(3, 1, 0);
    ASSERT_EQ(mesh.fPoints[1]->fNumCurves, 2);
    AddShape(mesh, { { a, 0 }, { a, 1 } }, true, false, "on a");
    AddShape(mesh, { { b, 0 }, { b, 1 } }, true, false, "on b");
    AddShape(mesh, { { b, 1 } }, false, true, "far end of b");
    AddShape(mesh, { { a, 0 }, { a, 1 } }, false, true, "not fillable");
    mesh.fShapes[3]->fFillAllowed = false;

    mesh.DeletePoint(1);
    // The fillable shapes with an edge at the junction go; a shape whose edges keep away from
    // it, or that may not be filled, stays.
    ASSERT_EQ(mesh.fNumShapes, 2);
    EXPECT_STREQ(mesh.fShapes[0]->fName.CString(), "far end of b");
    EXPECT_STREQ(mesh.fShapes[1]->fName.CString(), "not fillable");
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshDelete, CleanupRemovesDegenerates)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } });
    mesh.fCleanup = false;
    AddShape(mesh, { { c, 0 } }, true, false, "filled one edge");
    AddShape(mesh, { { c, 0 } }, false, true, "outline one edge");
    AddShape(mesh, {}, false, true, "no edge");
    AddCurve(mesh, { { 7, 7 }, { 8, 8 } });
    // A one-point curve: the second point leaves it.
    M_Curve* shortCurve = mesh.fCurves[1];
    mesh.fPoints[4]->DeleteCurve(0);
    shortCurve->DeletePoint(1);
    mesh.SelectNone();
    mesh.fPoints[0]->fSelected = true;
    mesh.AddGroup("Good");
    mesh.fPoints[0]->fSelected = false;
    mesh.fPoints[3]->fSelected = true;
    mesh.AddGroup("Short curve");
    mesh.fGroups[1]->AddPoint(99);

    mesh.RemoveDegenerates();
    EXPECT_EQ(mesh.fNumShapes, 3);
    EXPECT_EQ(mesh.fNumCurves, 2);

    mesh.fCleanup = true;
    mesh.RemoveDegenerates();
    ASSERT_EQ(mesh.fNumShapes, 1);
    EXPECT_STREQ(mesh.fShapes[0]->fName.CString(), "outline one edge");
    EXPECT_EQ(mesh.fNumCurves, 1);
    EXPECT_EQ(mesh.fNumPoints, 3);
    ASSERT_EQ(mesh.fNumGroups, 1);
    EXPECT_STREQ(mesh.fGroups[0]->GroupName(), "Good");
    EXPECT_TRUE(mesh.LinksAreConsistent());
    EXPECT_TRUE(SlotsAreTidy(mesh));
}

TEST(MMeshDelete, DeleteCurveRenumbersTheCurvesAfterIt)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 } });
    const int32_t b = AddCurve(mesh, { { 0, 1 }, { 1, 1 } });
    const int32_t c = AddCurve(mesh, { { 0, 2 }, { 1, 2 }, { 2, 2 } });
    AddShape(mesh, { { b, 0 }, { c, 0 } });
    AddShape(mesh, { { c, 0 }, { c, 1 } });
    mesh.DeleteCurve(b);
    EXPECT_EQ(mesh.fNumCurves, 2);
    ASSERT_EQ(mesh.fNumShapes, 1);
    EXPECT_EQ(ShapeEdges(mesh, 0), (Edges { { 1, 0 }, { 1, 1 } }));
    EXPECT_EQ(mesh.fPoints[4]->fCurveIDs[0], 1);
    // The curve's points stay on no curve until the next clean-up.
    EXPECT_EQ(mesh.fNumPoints, 7);
    EXPECT_EQ(mesh.fPoints[2]->fNumCurves, 0);
    mesh.RemoveDegenerates();
    EXPECT_EQ(mesh.fNumPoints, 5);
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshDelete, DeletedShapeClearsTheStylePanelReference)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } });
    AddShape(mesh, { { c, 0 }, { c, 1 } });
    AddShape(mesh, { { c, 0 }, { c, 1 } });
    gNewShapeProperties = mesh.fShapes[1];
    mesh.DeleteShape(0);
    EXPECT_EQ(gNewShapeProperties, mesh.fShapes[0]);
    mesh.DeleteShape(0);
    EXPECT_EQ(gNewShapeProperties, nullptr);
    AddShape(mesh, { { c, 0 }, { c, 1 } });
    gNewShapeProperties = mesh.fShapes[0];
    mesh.Empty();
    EXPECT_EQ(gNewShapeProperties, nullptr);
    EXPECT_EQ(mesh.fNumPoints, 0);
}

TEST(MMeshDelete, IndexErrorsPrintAndChangeNothing)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 } });
    ConsoleCapture console;
    mesh.DeletePoint(2);
    mesh.DeleteCurve(-1);
    mesh.DeleteShape(0);
    mesh.DeleteGroup(0);
    mesh.SelectGroup(3);
    EXPECT_EQ(mesh.GetPoint(2), nullptr);
    EXPECT_EQ(mesh.GetCurve(1), nullptr);
    EXPECT_EQ(mesh.GetShape(0), nullptr);
    EXPECT_EQ(mesh.GetGroup(0), nullptr);
    EXPECT_EQ(console.lines,
        (std::vector<std::string> { "M_Mesh:DeletePoint - out of range", "M_Mesh:DeleteCurve - out of range",
            "M_Mesh:DeleteShape - out of range", "M_Mesh:DeleteGroup - out of range",
            "M_Mesh:SelectGroup - out of range", "M_Mesh:Point - out of range", "M_Mesh:Curve - out of range",
            "M_Mesh:Shape - out of range", "M_Mesh:Group - out of range" }));
    EXPECT_EQ(mesh.fNumPoints, 2);
    EXPECT_EQ(mesh.GetPointID(nullptr), -1);
    EXPECT_EQ(mesh.GetCurveID(mesh.fCurves[0]), 0);
}

TEST(MMeshDelete, GroupsByNameAndQuotes)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    mesh.SelectNone();
    mesh.AddGroup("Nobody");
    EXPECT_EQ(mesh.fNumGroups, 0);
    mesh.fPoints[2]->fSelected = true;
    mesh.fPoints[0]->fSelected = true;
    mesh.AddGroup("\"Ends\"");
    ASSERT_EQ(mesh.fNumGroups, 1);
    EXPECT_STREQ(mesh.fGroups[0]->GroupName(), "Ends");
    EXPECT_EQ(mesh.fGroups[0]->GetNumPoints(), 2);
    EXPECT_EQ(mesh.fGroups[0]->GetPoint(1), mesh.fPoints[2]);

    mesh.SelectNone();
    mesh.SelectGroup("\"Ends\"");
    EXPECT_FALSE(mesh.fPoints[0]->fSelected);
    mesh.SelectGroup("Ends");
    EXPECT_TRUE(mesh.fPoints[0]->fSelected);
    EXPECT_FALSE(mesh.fPoints[1]->fSelected);

    // A group of the same name is replaced in its place.
    mesh.AddGroup("Other");
    mesh.SelectAll();
    mesh.AddGroup("Ends");
    ASSERT_EQ(mesh.fNumGroups, 2);
    EXPECT_EQ(mesh.fGroups[0]->GetNumPoints(), 3);
    mesh.DeleteGroup("\"Ends\"");
    ASSERT_EQ(mesh.fNumGroups, 1);
    EXPECT_STREQ(mesh.fGroups[0]->GroupName(), "Other");

    ConsoleCapture console;
    EXPECT_EQ(mesh.fGroups[0]->GetPoint(5), nullptr);
    mesh.fGroups[0]->AddPoint(40);
    EXPECT_EQ(mesh.fGroups[0]->GetPoint(2), nullptr);
    EXPECT_EQ(console.lines,
        (std::vector<std::string> { "M_PointGroup:Point - out of range", "M_Mesh:Point - out of range" }));
}

TEST(MMeshDelete, DeletedPointLeavesTheGroups)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } });
    mesh.SelectAll();
    mesh.AddGroup("All");
    mesh.DeletePoint(1);
    EXPECT_EQ(std::vector<int32_t>(mesh.fGroups[0]->fPointIndices, mesh.fGroups[0]->fPointIndices + 3),
        (std::vector<int32_t> { 0, 1, 2 }));
}

TEST(MMeshDelete, DanglingPointsFollowOpenStrandsToTheJunction)
{
    M_Mesh mesh;
    const int32_t loop = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }, true);
    const int32_t tail = AddCurve(mesh, { { 1, 1 }, { 2, 2 }, { 3, 3 } });
    // The tail starts at the loop's point 2.
    mesh.WeldPoints(4, 2, 0);
    ASSERT_TRUE(mesh.LinksAreConsistent());
    mesh.SelectAll();
    mesh.MarkDanglingPoints(false);
    for (int32_t id : CurvePoints(mesh, loop))
        EXPECT_FALSE(mesh.fPoints[id]->fDangling) << id;
    const std::vector<int32_t> strand = CurvePoints(mesh, tail);
    EXPECT_FALSE(mesh.fPoints[strand[0]]->fDangling);
    EXPECT_TRUE(mesh.fPoints[strand[1]]->fDangling);
    EXPECT_TRUE(mesh.fPoints[strand[2]]->fDangling);

    // From unselected points, the walks cover the loop up to the junction.
    mesh.fPoints[0]->fSelected = false;
    mesh.MarkDanglingPoints(true);
    for (int32_t id : CurvePoints(mesh, loop))
        EXPECT_EQ(mesh.fPoints[id]->fDangling, id != 2) << id;
}

} // namespace
