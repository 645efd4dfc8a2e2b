#include <gtest/gtest.h>

#include "../core/scratch_folder.h"
#include "mesh_test_support.h"
#include "qv_filestream.h"
#include "style_panel_refs.h"

namespace {

using Edges = std::vector<std::pair<int32_t, int32_t>>;

// Two curves sharing no point, a filled and an outlined shape, a group, keys at a later frame.
void BuildSample(M_Mesh& mesh)
{
    const int32_t a = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }, true);
    const int32_t b = AddCurve(mesh, { { 3, 0 }, { 4, 0 }, { 4, 2 } });
    AddShape(mesh, { { a, 0 }, { a, 1 }, { a, 2 }, { a, 3 } }, true, false, "Body");
    AddShape(mesh, { { b, 0 }, { b, 1 } }, false, true, "Line");
    mesh.fCurves[b]->SetCurvature(1, 0.75f, 24);
    mesh.fCurves[a]->SetSegmentOn(2, false);
    mesh.fPoints[2]->SetPos(QV_Vector2 { 1.5f, 1.25f }, 24);
    mesh.fPoints[5]->fWidth.SetValue(0, 0.02f);
    mesh.fPoints[5]->fParent = 1;
    mesh.SelectNone();
    mesh.fPoints[4]->fSelected = true;
    mesh.fPoints[6]->fSelected = true;
    mesh.AddGroup("Tips");
    mesh.fShapes[0]->fMyStyle.fFillCol.SetValue(10, rgb_color { 10, 200, 30, 255 });
}

TEST(MMeshRecord, WrittenAndReadBackIsIdentical)
{
    M_Mesh mesh;
    BuildSample(mesh);
    const std::string text = MeshRecord(mesh, 1);
    EXPECT_EQ(text.substr(0, 18), "\t[\n\t\tpoints 7\n\t\t\t[");
    EXPECT_NE(text.find("\n\t\tcurves 2\n\t\t\t4 true\n"), std::string::npos);
    EXPECT_NE(text.find("\n\t\tgroups 1\n\t\t\t\"Tips\" 2\n\t\t\t\t4 6 \n\t]\n"), std::string::npos) << text;

    M_Mesh copy;
    const MeshRead read = ReadMesh(copy, text);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(MeshRecord(copy, 1), text);
    EXPECT_TRUE(copy.LinksAreConsistent());
    EXPECT_TRUE(SlotsAreTidy(copy));
    EXPECT_FLOAT_EQ(copy.fCurves[1]->GetCurvature(1, 24), 0.75f);
    EXPECT_EQ(copy.fPoints[5]->fParent, 1);
}

TEST(MMeshRecord, ReadingAppendsWithOffsets)
{
    M_Mesh source;
    BuildSample(source);
    const std::string text = MeshRecord(source);

    M_Mesh mesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    AddCurve(mesh, { { 0, 1 }, { 1, 1 }, { 2, 1 } });
    AddCurve(mesh, { { 0, 2 }, { 1, 2 }, { 2, 2 }, { 3, 2 } });
    ASSERT_EQ(mesh.fNumCurves, 3);
    ASSERT_EQ(mesh.fNumPoints, 10);
    const int32_t shapesBefore = mesh.fNumShapes;

    const MeshRead read = ReadMesh(mesh, text, true);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(mesh.fNumPoints, 17);
    EXPECT_EQ(mesh.fNumCurves, 5);
    EXPECT_EQ(CurvePoints(mesh, 3), (std::vector<int32_t> { 10, 11, 12, 13 }));
    EXPECT_EQ(mesh.fPoints[10]->fCurveIDs[0], 3);
    EXPECT_EQ(ShapeEdges(mesh, shapesBefore + 1), (Edges { { 4, 0 }, { 4, 1 } }));
    EXPECT_EQ(mesh.fGroups[0]->fPointIndices[0], 14);
    EXPECT_TRUE(mesh.LinksAreConsistent());
    EXPECT_TRUE(SlotsAreTidy(mesh));
}

TEST(MMeshRecord, SectionsInAnyOrderAndComments)
{
    const std::string points
        = "points 2\n" + PointRecordText(0, 0, { { 0, 0 } }) + PointRecordText(1, 0, { { 0, 1 } });
    const std::string curves = "curves 1\n" + CurveRecordText({ 0, 1 });
    const std::string groups = "groups 1\n\"Both\" 2\n0 1\n";
    const std::string shapes
        = "shapes 1\n\"S\" false false false true true [ ] [ ] [ ] 1\n0 0 0\n\"\" true [ ] "
          "true 0.01 true [ ] \"\" false 6.28 0.25 true true -1 -1 -1 \"\" \"\"\n";

    M_Mesh ordered;
    ASSERT_TRUE(ReadMesh(ordered, "[\n" + points + curves + shapes + groups + "]\n").ok);
    M_Mesh reversed;
    const MeshRead read = ReadMesh(
        reversed, "[ # a comment line\n" + groups + shapes + "# another\n" + curves + points + "]\n");
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(MeshRecord(reversed), MeshRecord(ordered));
    EXPECT_EQ(reversed.fNumShapes, 1);
    EXPECT_EQ(reversed.fNumGroups, 1);
}

TEST(MMeshRecord, FileDropsShapesThatDrawNothingMemoryKeepsThem)
{
    M_Mesh mesh;
    BuildSample(mesh);
    mesh.fShapes[1]->fHasOutline = false;
    mesh.fShapes[0]->fHidden = true;
    gNewShapeProperties = mesh.fShapes[1];

    const std::string memory = MeshRecord(mesh);
    EXPECT_NE(memory.find("shapes 2"), std::string::npos);
    EXPECT_EQ(mesh.fNumShapes, 2);

    ScratchFolder folder;
    {
        QV_FileStream file;
        ASSERT_EQ(file.Open(folder.File("mesh.txt").c_str(), false), 0);
        mesh.WriteRecord(&file);
        ASSERT_TRUE(file.Commit());
    }
    // The file loses the shape, and so does the mesh itself.
    EXPECT_EQ(mesh.fNumShapes, 1);
    EXPECT_EQ(gNewShapeProperties, nullptr);
    const std::string onDisk = folder.Get("mesh.txt");
    EXPECT_NE(onDisk.find("shapes 1\r\n"), std::string::npos);

    QV_FileStream file;
    ASSERT_EQ(file.Open(folder.File("mesh.txt").c_str(), true), 0);
    file.fVersion = 19;
    M_Mesh read;
    ASSERT_TRUE(read.ReadRecord(&file, false)) << file.fError.CString();
    EXPECT_EQ(read.fNumShapes, 1);
    EXPECT_FALSE(read.fShapes[0]->fHidden);

    M_Mesh fromMemory;
    ASSERT_TRUE(ReadMesh(fromMemory, memory).ok);
    EXPECT_EQ(fromMemory.fNumShapes, 2);
    EXPECT_TRUE(fromMemory.fShapes[0]->fHidden);
}

TEST(MMeshRecord, DanglingEdgesAreFlaggedWhenReadFromAFile)
{
    M_Mesh mesh;
    const int32_t open = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 2, 0 } });
    AddShape(mesh, { { open, 0 }, { open, 1 } }, false, true);
    ScratchFolder folder;
    {
        QV_FileStream file;
        ASSERT_EQ(file.Open(folder.File("mesh.txt").c_str(), false), 0);
        mesh.WriteRecord(&file);
        ASSERT_TRUE(file.Commit());
    }
    QV_FileStream file;
    ASSERT_EQ(file.Open(folder.File("mesh.txt").c_str(), true), 0);
    file.fVersion = 19;
    M_Mesh read;
    ASSERT_TRUE(read.ReadRecord(&file, false));
    EXPECT_EQ(read.fShapes[0]->fEdgeFlags[0], kEdgeDangling);
    EXPECT_EQ(read.fShapes[0]->fEdgeFlags[1], kEdgeDangling);
    EXPECT_TRUE(read.fPoints[1]->fDangling);
}

TEST(MMeshRecord, ErrorTexts)
{
    M_Mesh mesh;
    MeshRead read = ReadMesh(mesh, "[\npoints 1\n[ ] [ ] x y z");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, "Read error at line 3. In code file ..\\..\\..\\lib_vorn\\m_mesh, line 156.");

    read = ReadMesh(mesh, "[\ncurves -1\n]\n");
    EXPECT_EQ(read.error, "Read error at line 2. In code file ..\\..\\..\\lib_vorn\\m_mesh, line 163.");

    read = ReadMesh(mesh, "[\nbones 2\n]\n");
    EXPECT_EQ(read.error, "Unknown keyword: bones at line 2");

    read = ReadMesh(mesh, "");
    EXPECT_EQ(read.error, "Read error at line 1. In code file ..\\..\\..\\lib_vorn\\m_mesh, line 132.");
    EXPECT_EQ(mesh.fNumPoints, 0);
    EXPECT_TRUE(SlotsAreTidy(mesh));
}

TEST(MMeshRecord, ShapeNamesBecomeUnique)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } });
    for (const char* name : { "Leg", "", "Leg 2", "Leg", "" })
        AddShape(mesh, { { c, 0 }, { c, 1 } }, true, false, name);
    mesh.MakeShapeNamesUnique();
    // "Leg 2" is taken by an earlier shape: the count goes on.
    const char* expected[] = { "Leg", "", "Leg 2", "Leg 3", "" };
    for (int32_t i = 0; i < 5; i++)
        EXPECT_STREQ(mesh.fShapes[i]->fName.CString(), expected[i]) << i;

    M_Mesh three;
    const int32_t d = AddCurve(three, { { 0, 0 }, { 1, 0 }, { 1, 1 } });
    for (int32_t i = 0; i < 3; i++)
        AddShape(three, { { d, 0 }, { d, 1 } }, true, false, "Leg");
    M_Mesh read;
    ASSERT_TRUE(ReadMesh(read, MeshRecord(three)).ok);
    EXPECT_STREQ(read.fShapes[0]->fName.CString(), "Leg");
    EXPECT_STREQ(read.fShapes[1]->fName.CString(), "Leg 2");
    EXPECT_STREQ(read.fShapes[2]->fName.CString(), "Leg 3");
}

TEST(MMeshRecord, AutoNamingNamesUnnamedShapesByCount)
{
    M_Mesh mesh;
    const int32_t c = AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } });
    AddShape(mesh, { { c, 0 }, { c, 1 } });
    EXPECT_TRUE(mesh.fShapes[0]->fName.IsEmpty());
    PrefOverride prefs({ { "AutoNaming", 1 } });
    AddShape(mesh, { { c, 0 }, { c, 1 } });
    AddShape(mesh, { { c, 0 }, { c, 1 } }, true, false, "Named");
    EXPECT_STREQ(mesh.fShapes[1]->fName.CString(), "2");
    EXPECT_STREQ(mesh.fShapes[2]->fName.CString(), "Named");
}

TEST(MMeshRecord, CleanupOffKeepsLonePointsAndShortCurves)
{
    const std::string text = "[ points 2\n" + PointRecordText(0, 0, { { 0, 0 } }) + PointRecordText(5, 5, {})
        + "curves 1\n" + CurveRecordText({ 0 }) + "]\n";
    M_Mesh kept;
    kept.fCleanup = false;
    ASSERT_TRUE(ReadMesh(kept, text).ok);
    EXPECT_EQ(kept.fNumPoints, 2);
    EXPECT_EQ(kept.fNumCurves, 1);
    const std::string written = MeshRecord(kept);
    EXPECT_NE(written.find("points 2"), std::string::npos);

    M_Mesh cleaned;
    ASSERT_TRUE(ReadMesh(cleaned, text).ok);
    EXPECT_EQ(cleaned.fNumPoints, 0);
    EXPECT_EQ(cleaned.fNumCurves, 0);
}

} // namespace
