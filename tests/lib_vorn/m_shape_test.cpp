#include <gtest/gtest.h>

#include "../core/scratch_folder.h"
#include "mesh_test_support.h"
#include "qv_filestream.h"

namespace {

using Edges = std::vector<std::pair<int32_t, int32_t>>;

TEST(MShape, NewShapeAndItsOwnStyle)
{
    M_Shape shape(7);
    EXPECT_TRUE(shape.fHasFill);
    EXPECT_FALSE(shape.fHasOutline);
    EXPECT_TRUE(shape.fFillAllowed);
    EXPECT_EQ(shape.fCapacity, 8);
    EXPECT_FALSE(shape.fMyStyle.fDefineFillCol);
    EXPECT_FALSE(shape.fMyStyle.fDefineLineWidth);
    EXPECT_FALSE(shape.fMyStyle.fDefineLineCol);
    EXPECT_EQ(shape.fEffectScale.CountKeys(), 1);
    EXPECT_EQ(shape.fEffectScale.GetKeyWhen(0), 7);
    EXPECT_FLOAT_EQ(shape.fEffectScale.GetValue(7), 1);
}

TEST(MShape, WithoutEdges)
{
    M_Mesh mesh;
    const int32_t s = AddShape(mesh, {});
    M_Shape* shape = mesh.fShapes[s];
    QV_Vector2 min, max;
    shape->ShapeBounds(min, max);
    EXPECT_FLOAT_EQ(min.x, 1000000);
    EXPECT_FLOAT_EQ(max.y, -1000000);
    EXPECT_TRUE(shape->AllPointsSelected());
    M_Shape free(0);
    EXPECT_FALSE(free.AllPointsSelected());
}

TEST(MShape, EdgeAccessAndGrowth)
{
    M_Shape shape(0);
    for (int32_t i = 0; i < 20; i++)
        shape.AddEdge(i, i + 1, 0);
    EXPECT_EQ(shape.fCapacity, 32);
    int32_t curve = -7, segment = -7;
    uint8_t flags = 9;
    shape.GetEdge(19, curve, segment, &flags);
    EXPECT_EQ(curve, 19);
    EXPECT_EQ(segment, 20);
    EXPECT_EQ(flags, 0);
    shape.ReplaceEdge(3, 4, 30, 31);
    EXPECT_EQ(shape.fEdgeCurves[3], 30);
    shape.DeleteEdge(0);
    EXPECT_EQ(shape.fEdgeCurves[0], 1);

    ConsoleCapture console;
    curve = segment = -7;
    shape.GetEdge(19, curve, segment);
    shape.DeleteEdge(-1);
    EXPECT_EQ(curve, -7);
    EXPECT_EQ(console.lines,
        (std::vector<std::string> {
            "M_Shape::GetEdge - out of range", "M_Shape:DeleteEdge - out of range" }));
}

TEST(MShape, ZeroEdgeShapeGrowsOnAddEdge)
{
    M_Mesh mesh;
    ASSERT_TRUE(ReadMesh(mesh,
        "[ shapes 1 \"\" false false true false true [ ] [ ] [ ] 0 \"\" true [ ] true 0.01 true [ ] \"\" "
        "false 6.28 0.25 true true -1 -1 -1 \"\" \"\" ]",
        true)
                    .ok);
    M_Shape* shape = mesh.fShapes[0];
    EXPECT_EQ(shape->fCapacity, 0);
    for (int32_t i = 0; i < 5; i++)
        shape->AddEdge(0, i, 0);
    EXPECT_EQ(shape->fNumEdges, 5);
    EXPECT_EQ(shape->fEdgeSegments[4], 4);
}

TEST(MShape, InsertedPointSplitsTheEdgeItFallsIn)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } });
    const int32_t s = AddShape(mesh, { { c, 0 }, { c, 1 }, { c, 2 } }, false, true);
    M_Shape* shape = mesh.fShapes[s];
    shape->fEdgeFlags[2] = kEdgeDangling;
    shape->CurvePointInserted(c, 2);
    // The point falls inside segment 1: the edge keeps the part before it, a new one the part after.
    EXPECT_EQ(ShapeEdges(mesh, s), (Edges { { c, 0 }, { c, 1 }, { c, 3 }, { c, 2 } }));
    EXPECT_EQ(shape->fEdgeFlags[3], kEdgeDangling);

    // At the start of a closed curve the closing segment splits.
    mesh.fCurves[c]->fClosed = true;
    M_Shape closing(0);
    closing.fMesh = &mesh;
    closing.AddEdge(c, 3, 0);
    closing.AddEdge(c, 0, 0);
    closing.CurvePointInserted(c, 0);
    EXPECT_EQ(closing.fEdgeSegments[0], 4);
    EXPECT_EQ(closing.fEdgeSegments[1], 1);
    EXPECT_EQ(closing.fEdgeCurves[2], c);
    EXPECT_EQ(closing.fEdgeSegments[2], 0);
}

TEST(MShape, DeletedPointRenumbersEdges)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } });
    M_Shape shape(0);
    shape.fMesh = &mesh;
    for (int32_t segment : { 0, 1, 2 })
        shape.AddEdge(c, segment, 0);
    shape.CurvePointDeleted(c, 1);
    EXPECT_EQ(shape.fNumEdges, 2);
    EXPECT_EQ(shape.fEdgeSegments[0], 0);
    EXPECT_EQ(shape.fEdgeSegments[1], 1);
    // The last point of an open curve takes its segment along.
    M_Shape last(0);
    last.fMesh = &mesh;
    last.AddEdge(c, 2, 0);
    last.AddEdge(c, 0, 0);
    last.CurvePointDeleted(c, 3);
    ASSERT_EQ(last.fNumEdges, 1);
    EXPECT_EQ(last.fEdgeSegments[0], 0);

    // The first point of a closed curve: the closing edge stays the closing edge.
    mesh.fCurves[c]->fClosed = true;
    M_Shape closing(0);
    closing.fMesh = &mesh;
    closing.AddEdge(c, 3, 0);
    closing.CurvePointDeleted(c, 0);
    EXPECT_EQ(closing.fEdgeSegments[0], 2);
}

TEST(MShape, RemoveInvalidEdgesDropsMissingCurvesAndSegments)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    M_Shape shape(0);
    shape.fMesh = &mesh;
    shape.AddEdge(c, 1, 0);
    shape.AddEdge(-1, 0, 0);
    shape.AddEdge(c + 1, 0, 0);
    shape.AddEdge(c, 3, 0);
    shape.AddEdge(c, -1, 0);
    shape.RemoveInvalidEdges();
    ASSERT_EQ(shape.fNumEdges, 1);
    EXPECT_EQ(shape.fEdgeSegments[0], 1);
}

TEST(MShape, BoundsCentreAndEffectHandles)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 2, 0 }, { 2, 4 } });
    for (int32_t i = 0; i < 3; i++)
        mesh.fCurves[c]->SetCurvature(i, 0, 0);
    const int32_t s = AddShape(mesh, { { c, 0 }, { c, 1 } });
    M_Shape* shape = mesh.fShapes[s];
    QV_Vector2 min, max;
    shape->ShapeBounds(min, max);
    EXPECT_FLOAT_EQ(max.x, 2);
    EXPECT_FLOAT_EQ(max.y, 4);
    // The centre uses the positions at frame 0, not the current ones.
    mesh.fPoints[0]->fPos = QV_Vector2 { -10, 0 };
    const QV_Vector2 center = shape->ShapeCenter();
    EXPECT_FLOAT_EQ(center.x, 1);
    EXPECT_FLOAT_EQ(center.y, 2);
    shape->fEffectOffset.SetValue(0, QV_Vector2 { 1, 1 });
    shape->fEffectScale.SetValue(0, 0.5f);
    shape->fEffectRotation.SetValue(0, 3.14159265f / 2);
    const QV_Vector2 h1 = shape->EffectHandle1();
    const QV_Vector2 h2 = shape->EffectHandle2();
    EXPECT_FLOAT_EQ(h1.x, 2);
    EXPECT_FLOAT_EQ(h1.y, 3);
    EXPECT_NEAR(h2.x, 2 - 1, 1e-5f);
    EXPECT_NEAR(h2.y, 3, 1e-5f);
}

TEST(MShape, CopyStylePropertiesScalesPointWidths)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } });
    const int32_t t = AddShape(mesh, { { c, 0 }, { c, 1 } });
    M_Shape* target = mesh.fShapes[t];
    target->fMyStyle.fLineWidth = 0.01f;
    mesh.fPoints[0]->fWidth.SetValue(0, 0.03f);
    mesh.fPoints[0]->fWidth.SetValue(10, 0.05f);
    mesh.fPoints[1]->fWidth.SetValue(0, -1);

    M_Shape source(0);
    source.fMyStyle.fLineWidth = 0.02f;
    source.fMyStyle.fName = "Ink";
    source.fMyStyle.fFillCol.SetValue(0, rgb_color { 10, 20, 30, 255 });
    source.fStyleName1 = "Shared";
    target->CopyStyleProperties(&source);
    EXPECT_FLOAT_EQ(target->fMyStyle.fLineWidth, 0.02f);
    EXPECT_STREQ(target->fMyStyle.fName.CString(), "Ink");
    EXPECT_EQ(target->fMyStyle.fFillCol.value.g, 20);
    EXPECT_STREQ(target->fStyleName1.CString(), "Shared");
    EXPECT_FLOAT_EQ(mesh.fPoints[0]->fWidth.GetValue(0), 0.06f);
    EXPECT_FLOAT_EQ(mesh.fPoints[0]->fWidth.GetValue(10), 0.1f);
    EXPECT_FLOAT_EQ(mesh.fPoints[1]->fWidth.GetValue(0), -1);

    // From a width of 0 there is no factor: nothing changes.
    target->ScaleLineWidths(0.5f, 0);
    EXPECT_FLOAT_EQ(mesh.fPoints[0]->fWidth.GetValue(0), 0.06f);
    target->CopyStyleProperties(target);
    target->CopyStyleProperties(nullptr);
    EXPECT_FLOAT_EQ(target->fMyStyle.fLineWidth, 0.02f);
}

TEST(MShape, RecordWritesTheResolvedStyleName)
{
    M_Shape shape(0);
    shape.fName = "Arm";
    shape.fStyleName1 = "Old name";
    M_Style shared(0);
    shared.fName = "Renamed";
    shape.fStyle1 = &shared;
    QV_MemStream out;
    out.Open(0);
    shape.WriteRecord(&out);
    const std::string text = StreamText(out);
    EXPECT_EQ(text.substr(0, 35), "\"Arm\" false false true false true \n");
    EXPECT_NE(text.find("\t\"Renamed\"\n\t\"\"\n\n"), std::string::npos) << text;
    shape.RemoveStyles();
    EXPECT_EQ(shape.fStyle1, nullptr);
    EXPECT_TRUE(shape.fStyleName1.IsEmpty());
}

// The shape part of a record before the edges, for each version gate.
struct VersionCase {
    int32_t version;
    const char* head;
    bool fillAllowed;
    float scale;
    float offsetX;
};

TEST(MShape, VersionGatesOfTheRecord)
{
    const char* tail
        = " 1\n0 1\n\"\" true [ ] true 0.01 true [ ] \"\" false 6.28 0.25 true true -1 -1 -1 \"\" \"\"\n";
    const char* tail16
        = " 1\n0 1\n\"\" true [ ] true 0.01 true [ ] \"\" false 6.28 0.25 true -1 -1 -1 \"\" \"\"\n";
    const VersionCase cases[] = {
        { 11, "\"A\" true true false", true, 1, 0 },
        { 12, "\"A\" true true false false", false, 1, 0 },
        { 15, "\"A\" true true false true", true, 1, 0 },
        { 17, "\"A\" true true false true 2 0.5 3 4", true, 2, 3 },
        { 18, "\"A\" true true false true [ keys 1 0 1 0 0 2.5 ] [ ] [ keys 1 0 1 0 0 7 8 ]", true, 2.5f, 7 },
    };
    for (const VersionCase& c : cases) {
        M_Shape shape(0);
        QV_MemStream stream;
        FillStream(stream, std::string(c.head) + (c.version >= 17 ? tail : tail16));
        stream.fVersion = c.version;
        ASSERT_TRUE(shape.ReadRecord(&stream, 0)) << c.version;
        EXPECT_EQ(shape.fFillAllowed, c.fillAllowed) << c.version;
        EXPECT_FLOAT_EQ(shape.fEffectScale.GetValue(0), c.scale) << c.version;
        EXPECT_FLOAT_EQ(shape.fEffectOffset.GetValue(0).x, c.offsetX) << c.version;
        EXPECT_EQ(shape.fEffectScale.CountKeys(), 1) << c.version;
        EXPECT_FALSE(shape.fHidden);
        EXPECT_EQ(shape.fNumEdges, 1);
        EXPECT_EQ(shape.fEdgeFlags[0], 0) << c.version;
    }

    // From version 19 a memory record carries the hidden flag and every edge its flags.
    M_Shape shape(0);
    QV_MemStream stream;
    FillStream(stream,
        std::string(
            "\"A\" true true true false true [ ] [ ] [ ] 1\n0 1 -127\n\"\" true [ ] true 0.01 true [ ] \"\" "
            "false 6.28 0.25 true true -1 -1 -1 \"\" \"\"\n"));
    stream.fVersion = 19;
    ASSERT_TRUE(shape.ReadRecord(&stream, 3));
    EXPECT_TRUE(shape.fHidden);
    EXPECT_EQ(shape.fEdgeCurves[0], 3);
    EXPECT_EQ(shape.fEdgeFlags[0], 0x81);
}

TEST(MShape, HiddenFlagOnlyInMemory)
{
    M_Shape shape(0);
    shape.fHidden = true;
    ScratchFolder folder;
    {
        QV_FileStream file;
        ASSERT_EQ(file.Open(folder.File("shape.txt").c_str(), false), 0);
        shape.WriteRecord(&file);
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(folder.Get("shape.txt").substr(0, 30), "\"\" false true false true \r\n[\r\n");

    QV_FileStream file;
    ASSERT_EQ(file.Open(folder.File("shape.txt").c_str(), true), 0);
    file.fVersion = 19;
    M_Shape read(0);
    ASSERT_TRUE(read.ReadRecord(&file, 0));
    EXPECT_FALSE(read.fHidden);

    QV_MemStream memory;
    memory.Open(0);
    shape.WriteRecord(&memory);
    M_Shape copy(0);
    memory.Rewind();
    memory.fReading = true;
    memory.fVersion = 19;
    ASSERT_TRUE(copy.ReadRecord(&memory, 0));
    EXPECT_TRUE(copy.fHidden);
}

TEST(MShape, SetCurFrameMovesColoursAndEffects)
{
    M_Shape shape(0);
    shape.fMyStyle.fFillCol.SetValue(10, rgb_color { 0, 0, 0, 255 });
    shape.fEffectScale.SetValue(10, 3);
    shape.SetCurFrame(10);
    EXPECT_EQ(shape.fMyStyle.fFillCol.value.r, 0);
    EXPECT_FLOAT_EQ(shape.fEffectScale.value, 3);
}

} // namespace
