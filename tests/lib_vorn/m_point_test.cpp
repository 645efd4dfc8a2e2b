#include <gtest/gtest.h>

#include "mesh_test_support.h"

namespace {

TEST(MPoint, NewPointHoldsOneKeyInEachChannel)
{
    for (int32_t frame : { 0, 12 }) {
        M_Point point(frame);
        EXPECT_EQ(point.fAnimPos.CountKeys(), 1);
        EXPECT_EQ(point.fAnimPos.GetKeyWhen(0), frame);
        EXPECT_EQ(point.fWidth.CountKeys(), 1);
        EXPECT_EQ(point.fWidth.GetKeyWhen(0), frame);
        EXPECT_FLOAT_EQ(point.fWidth.GetValue(frame), -1);
        EXPECT_EQ(point.fParent, -2);
        EXPECT_FALSE(point.fSelected);
        EXPECT_EQ(point.fNumCurves, 0);
    }
}

TEST(MPoint, CurveIndexWraps)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 } });
    AddCurve(mesh, { { 1, 0 }, { 1, 1 } });
    // Point 1 ends the first curve and is given a second membership.
    mesh.fPoints[1]->AddCurveRef(mesh.fCurves[1], 0);
    M_Point* point = mesh.fPoints[1];
    ASSERT_EQ(point->fNumCurves, 2);
    int32_t position = -5;
    EXPECT_EQ(point->GetCurve(-1, &position), mesh.fCurves[1]);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(point->GetCurve(5, &position), mesh.fCurves[1]);
    EXPECT_EQ(point->GetCurve(4, &position), mesh.fCurves[0]);
    EXPECT_EQ(position, 1);
    // An extreme index from a script answers at once.
    EXPECT_EQ(point->GetCurve(INT32_MIN, &position), mesh.fCurves[0]);

    M_Point lone(0);
    ConsoleCapture console;
    position = 7;
    EXPECT_EQ(lone.GetCurve(0, &position), nullptr);
    EXPECT_EQ(position, 7);
    EXPECT_EQ(console.lines, std::vector<std::string> { "M_Point:Curve - out of range" });
}

TEST(MPoint, EndpointsAndTheirEdges)
{
    M_Mesh mesh;
    const int32_t open = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } });
    const int32_t closed = AddCurve(mesh, { { 0, 5 }, { 1, 5 }, { 1, 6 } }, true);
    const std::vector<int32_t> onOpen = CurvePoints(mesh, open);
    int32_t curve, segment;

    mesh.fPoints[onOpen[3]]->GetEndpointEdge(curve, segment);
    EXPECT_EQ(curve, open);
    EXPECT_EQ(segment, 2);
    mesh.fPoints[onOpen[0]]->GetEndpointEdge(curve, segment);
    EXPECT_EQ(segment, 0);
    mesh.fPoints[onOpen[1]]->GetEndpointEdge(curve, segment);
    EXPECT_EQ(curve, -1);
    EXPECT_EQ(segment, -1);

    EXPECT_FALSE(mesh.fPoints[CurvePoints(mesh, closed)[0]]->IsEndpoint());
    M_Point lone(0);
    EXPECT_FALSE(lone.IsEndpoint());
    // The first point of one open curve and the last of another is no end point.
    mesh.fPoints[onOpen[0]]->AddCurveRef(mesh.fCurves[open], 3);
    EXPECT_FALSE(mesh.fPoints[onOpen[0]]->IsEndpoint());
}

TEST(MPoint, SetPosMovesThePointOnlyAtTheCurrentFrame)
{
    M_Point point(0);
    point.SetPos(QV_Vector2 { 1, 2 }, 0);
    EXPECT_FLOAT_EQ(point.fPos.x, 1);
    point.SetPos(QV_Vector2 { 5, 5 }, 10);
    EXPECT_FLOAT_EQ(point.fPos.x, 1);
    EXPECT_EQ(point.fAnimPos.CountKeys(), 2);
    EXPECT_FLOAT_EQ(point.fAnimPos.GetValue(10).y, 5);
}

TEST(MPoint, SetCurvatureKeysEveryCurveThroughThePoint)
{
    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 } });
    AddCurve(mesh, { { 5, 0 }, { 6, 0 }, { 7, 0 } });
    mesh.fCurves[1]->AddPoint(mesh.fPoints[1], 3, 0);
    mesh.fPoints[1]->SetCurvature(0.9f, 4);
    EXPECT_FLOAT_EQ(mesh.fCurves[0]->GetCurvature(1, 4), 0.9f);
    EXPECT_FLOAT_EQ(mesh.fCurves[1]->GetCurvature(3, 4), 0.9f);
    EXPECT_FLOAT_EQ(mesh.fCurves[1]->GetCurvature(2, 4), 0.3f);
}

TEST(MPoint, DeleteCurveRemovesOneMembership)
{
    M_Point point(0);
    M_Curve a, b;
    point.AddCurveRef(&a, 3);
    point.AddCurveRef(&b, 4);
    point.DeleteCurve(0);
    ASSERT_EQ(point.fNumCurves, 1);
    EXPECT_EQ(point.fCurvePositions[0], 4);
    ConsoleCapture console;
    point.DeleteCurve(1);
    EXPECT_EQ(point.fNumCurves, 1);
    EXPECT_EQ(console.lines, std::vector<std::string> { "M_Point:DeleteCurve - out of range" });
}

TEST(MPoint, RecordAndItsVersions)
{
    M_Point point(0);
    point.SetPos(QV_Vector2 { 0.5f, -1 }, 0);
    point.fWidth.SetValue(0, 0.02f);
    point.fParent = 3;
    point.fSelected = true;
    M_Curve curve;
    point.AddCurveRef(&curve, 2);
    point.fCurveIDs[0] = 1;
    QV_MemStream out;
    out.Open(0);
    point.WriteRecord(&out);
    const std::string text = StreamText(out);
    EXPECT_NE(text.find("3\ntrue\n1\n\t1 2 \n"), std::string::npos) << text;

    M_Point copy(0);
    QV_MemStream in;
    FillStream(in, text);
    in.fVersion = 19;
    ASSERT_TRUE(copy.ReadRecord(&in, 4));
    EXPECT_FLOAT_EQ(copy.fPos.x, 0.5f);
    EXPECT_FLOAT_EQ(copy.fWidth.GetValue(0), 0.02f);
    EXPECT_EQ(copy.fParent, 3);
    EXPECT_TRUE(copy.fSelected);
    ASSERT_EQ(copy.fNumCurves, 1);
    EXPECT_EQ(copy.fCurveIDs[0], 5);
    EXPECT_EQ(copy.fCurvePositions[0], 2);

    // Before version 13 the width is a bare number after the position.
    M_Point old(0);
    QV_MemStream v12;
    FillStream(v12, "[ keys 1 0 1 0 0 1 2 ] 0.05 -1 false 0\n");
    v12.fVersion = 12;
    ASSERT_TRUE(old.ReadRecord(&v12, 0));
    EXPECT_EQ(old.fWidth.CountKeys(), 1);
    EXPECT_FLOAT_EQ(old.fWidth.GetValue(0), 0.05f);
    EXPECT_FLOAT_EQ(old.fPos.y, 2);
}

TEST(MPoint, RecordRefusesBadMembershipCounts)
{
    const char* cases[] = {
        "[ ] [ ] -2 false -1\n",
        "[ ] [ ] -2 false 100000000\n0 0\n",
        "[ ] [ ] -2 false 2\n0 0 1\n",
        "[ ] [ ] -2 false 1\n2147483647 0\n",
    };
    for (const char* text : cases) {
        M_Point point(0);
        QV_MemStream stream;
        FillStream(stream, text);
        stream.fVersion = 19;
        EXPECT_FALSE(point.ReadRecord(&stream, 1)) << text;
    }
}

} // namespace
