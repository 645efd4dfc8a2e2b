#include <gtest/gtest.h>

#include "mesh_test_support.h"

namespace {

const std::string kShapeTail
    = "\"\" true [ ] true 0.01 true [ ] \"\" false 6.28 0.25 true true -1 -1 -1 \"\" \"\"\n";

// A two-point curve whose points name it back.
std::string Linked()
{
    return "points 2\n" + PointRecordText(0, 0, { { 0, 0 } }) + PointRecordText(1, 0, { { 0, 1 } })
        + "curves 1\n" + CurveRecordText({ 0, 1 });
}

struct Malformed {
    const char* what;
    std::string text;
};

std::vector<Malformed> MalformedRecords()
{
    return {
        { "negative point count", "[ points -1 ]" },
        { "negative curve count", "[ curves -2 ]" },
        { "negative shape count", "[ shapes -1 ]" },
        { "negative group count", "[ groups -5 ]" },
        { "count beyond the data", "[ points 2000000000 ]" },
        { "negative membership count", "[ points 1\n[ ] [ ] -2 false -1\n]" },
        { "negative position count", "[ curves 1\n-3 false\n]" },
        { "negative edge count",
            "[ shapes 1\n\"\" false false true false true [ ] [ ] [ ] -1\n" + kShapeTail + "]" },
        { "negative group index count", "[ groups 1\n\"G\" -1\n]" },
        { "curve entry past the points",
            "[ points 1\n" + PointRecordText(0, 0, { { 0, 0 } }) + "curves 1\n" + CurveRecordText({ 0, 1 })
                + "]" },
        { "negative curve entry",
            "[ points 1\n" + PointRecordText(0, 0, { { 0, 0 } }) + "curves 1\n" + CurveRecordText({ -1 })
                + "]" },
        { "membership of a missing curve", "[ points 1\n" + PointRecordText(0, 0, { { 4, 0 } }) + "]" },
        { "membership past the curve's end",
            "[ points 2\n" + PointRecordText(0, 0, { { 0, 0 } }) + PointRecordText(1, 0, { { 0, 7 } })
                + "curves 1\n" + CurveRecordText({ 0, 1 }) + "]" },
        { "curve entry without membership",
            "[ points 2\n" + PointRecordText(0, 0, { { 0, 0 } }) + PointRecordText(1, 0, {}) + "curves 1\n"
                + CurveRecordText({ 0, 1 }) + "]" },
        { "memberships swapped",
            "[ points 2\n" + PointRecordText(0, 0, { { 0, 1 } }) + PointRecordText(1, 0, { { 0, 0 } })
                + "curves 1\n" + CurveRecordText({ 0, 1 }) + "]" },
        { "membership twice",
            "[ points 2\n" + PointRecordText(0, 0, { { 0, 0 }, { 0, 0 } })
                + PointRecordText(1, 0, { { 0, 1 } }) + "curves 1\n" + CurveRecordText({ 0, 1 }) + "]" },
        { "index overflowing with the base",
            "[ points 1\n" + PointRecordText(0, 0, { { 2147483647, 0 } }) + "]" },
        { "record cut short", "[ " + Linked().substr(0, Linked().size() - 20) },
        { "shape name too long",
            "[ shapes 1\n\"" + std::string(300, 'x') + "\" false false true false true ]" },
    };
}

TEST(MMeshMalformed, RecordsThatNameMissingOrMismatchedObjectsFail)
{
    for (bool noCleanup : { false, true }) {
        for (const Malformed& m : MalformedRecords()) {
            M_Mesh mesh;
            AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
            AddShape(mesh, { { 0, 0 }, { 0, 1 } });
            const std::string before = MeshRecord(mesh);
            const MeshRead read = ReadMesh(mesh, m.text, noCleanup);
            EXPECT_FALSE(read.ok) << m.what;
            EXPECT_FALSE(read.error.empty()) << m.what;
            // The mesh is left as it was, every slot past the counts empty.
            EXPECT_TRUE(SlotsAreTidy(mesh)) << m.what;
            EXPECT_EQ(MeshRecord(mesh), before) << m.what;
        }
    }
}

TEST(MMeshMalformed, MismatchEndsInTheReadErrorText)
{
    M_Mesh mesh;
    const MeshRead read = ReadMesh(mesh,
        "[ points 2\n" + PointRecordText(0, 0, { { 0, 1 } }) + PointRecordText(1, 0, { { 0, 0 } })
            + "curves 1\n" + CurveRecordText({ 0, 1 }) + "]",
        true);
    EXPECT_EQ(read.error.substr(0, 19), "Read error at line ");
    EXPECT_NE(read.error.find("In code file ..\\..\\..\\lib_vorn\\m_mesh, line "), std::string::npos)
        << read.error;
}

TEST(MMeshMalformed, LinkedRecordReadsIntoAnyMesh)
{
    for (bool noCleanup : { false, true }) {
        M_Mesh mesh;
        AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
        const MeshRead read = ReadMesh(mesh, "[ " + Linked() + "]", noCleanup);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(CurvePoints(mesh, 1), (std::vector<int32_t> { 3, 4 }));
        EXPECT_TRUE(mesh.LinksAreConsistent());
    }
}

TEST(MMeshMalformed, PastedEdgesThatNameNothingAreDropped)
{
    const std::string shapes
        = "shapes 1\n\"Bad edges\" false false false true true [ ] [ ] [ ] 4\n0 0 0\n0 1 0\n"
          "9 0 0\n-3 0 0\n"
        + kShapeTail;
    M_Mesh mesh;
    const MeshRead read = ReadMesh(mesh, "[ " + Linked() + shapes + "]", true);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(mesh.fNumShapes, 1);
    EXPECT_EQ(ShapeEdges(mesh, 0), (std::vector<std::pair<int32_t, int32_t>> { { 0, 0 }, { 0, 1 } }));
    // The shape can be drawn and edited without reaching outside its curve.
    QV_Vector2 min, max;
    mesh.fShapes[0]->ShapeBounds(min, max);
    EXPECT_FLOAT_EQ(max.x, 1);
    EXPECT_FALSE(mesh.fShapes[0]->AllPointsSelected());
    mesh.DeletePoint(0);
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST(MMeshMalformed, RepeatedSectionReplacesTheEarlierOne)
{
    const std::string text = "[ points 1\n" + PointRecordText(5, 5, {}) + Linked() + "]";
    M_Mesh mesh;
    mesh.fCleanup = false;
    const MeshRead read = ReadMesh(mesh, text);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(mesh.fNumPoints, 2);
    EXPECT_FLOAT_EQ(mesh.fPoints[0]->fPos.x, 0);
    EXPECT_TRUE(SlotsAreTidy(mesh));
}

TEST(MMeshMalformed, ZeroEdgeShapeThenAddEdgeGrowsSafely)
{
    M_Mesh mesh;
    const MeshRead read = ReadMesh(mesh,
        "[ " + Linked() + "shapes 1\n\"Empty\" false false false true true [ ] [ ] [ ] 0\n" + kShapeTail
            + "]",
        true);
    ASSERT_TRUE(read.ok) << read.error;
    M_Shape* shape = mesh.fShapes[0];
    ASSERT_EQ(shape->fCapacity, 0);
    shape->AddEdge(0, 0, 0);
    shape->CurvePointInserted(0, 1);
    EXPECT_EQ(shape->fNumEdges, 2);
    EXPECT_GE(shape->fCapacity, 2);
}

} // namespace
