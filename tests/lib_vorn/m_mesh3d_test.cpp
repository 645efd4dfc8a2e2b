#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "m_mesh3d.h"
#include "media_test_support.h"
#include "qv_memstream.h"
#include "vorn_test_support.h"

namespace {

std::vector<int32_t> FaceIndices(const M_Face3D& f)
{
    return { f.numP, f.p1, f.p2, f.p3, f.p4, f.t1, f.t2, f.t3, f.t4, f.matID };
}

std::string WriteMesh(const M_Mesh3D& mesh, bool withGeometry)
{
    QV_MemStream stream;
    stream.Open(0);
    mesh.WriteRecord(&stream, withGeometry);
    return StreamText(stream);
}

} // namespace

TEST(Mesh3D, EditingKeepsFacesConsistent)
{
    ConsoleCapture console;
    M_Mesh3D mesh;
    mesh.AddFace(0, 1, 2);
    EXPECT_EQ(mesh.CountFaces(), 0) << "no points, no face";
    for (int32_t i = 0; i < 4; i++)
        mesh.AddPoint({ float(i), 0, 0 });
    mesh.AddFace(-5, 1, 99);
    ASSERT_EQ(mesh.CountFaces(), 1);
    EXPECT_EQ(FaceIndices(*mesh.Face(0)), (std::vector<int32_t> { 3, 0, 1, 3, -1, -1, -1, -1, -1, -1 }));

    mesh.AddFace(0, 1, 2, 3);
    mesh.RemovePoint(1);
    EXPECT_EQ(FaceIndices(*mesh.Face(0)), (std::vector<int32_t> { 3, 0, -1, 2, -1, -1, -1, -1, -1, -1 }));
    EXPECT_EQ(FaceIndices(*mesh.Face(1)), (std::vector<int32_t> { 4, 0, -1, 1, 2, -1, -1, -1, -1, -1 }));
    EXPECT_EQ(mesh.CountPoints(), 3);

    // Removing an earlier material moves the current one down with the faces' ids.
    mesh.CreateNewMaterial();
    mesh.CreateNewMaterial();
    EXPECT_EQ(mesh.CurrentMaterial(), 1);
    mesh.AddFace(0, 1, 2);
    mesh.RemoveMaterial(0);
    EXPECT_EQ(mesh.CurrentMaterial(), 0);
    EXPECT_EQ(mesh.Face(2)->matID, 0);
    mesh.RemoveMaterial(0);
    EXPECT_EQ(mesh.CurrentMaterial(), -1);
    EXPECT_EQ(mesh.Face(2)->matID, -1);

    EXPECT_FLOAT_EQ(mesh.TexturePoint(7).x, 0);
    EXPECT_TRUE(console.lines.empty());
    EXPECT_FLOAT_EQ(mesh.Point(7).x, 0);
    EXPECT_EQ(mesh.Face(9), nullptr);
    EXPECT_EQ(console.lines, (std::vector<std::string> { "M_Mesh3D::Point - out of range", "M_Mesh3D::Face - out of range" }));
}

TEST(Mesh3D, ScaleToRadiusCentresAndFitsTheLargestExtent)
{
    M_Mesh3D mesh;
    mesh.AddPoint({ 0, 0, 0 });
    mesh.AddPoint({ 4, 2, 1 });
    mesh.ScaleToRadius(1);
    EXPECT_FLOAT_EQ(mesh.Point(0).x, -1);
    EXPECT_FLOAT_EQ(mesh.Point(0).y, -0.5f);
    EXPECT_FLOAT_EQ(mesh.Point(0).z, -0.25f);
    EXPECT_FLOAT_EQ(mesh.Point(1).x, 1);
    EXPECT_FLOAT_EQ(mesh.Point(1).z, 0.25f);

    M_Mesh3D same;
    same.AddPoint({ 3, 3, 3 });
    same.AddPoint({ 3, 3, 3 });
    same.ScaleToRadius(2);
    EXPECT_FLOAT_EQ(same.Point(1).x, 0);
    EXPECT_FLOAT_EQ(same.Point(1).z, 0);
}

TEST(Mesh3D, RecordRoundTripsAndReadsWithoutGeometry)
{
    M_Mesh3D mesh;
    mesh.SetDefaultColor({ 10, 20, 30, 255 });
    mesh.SetEdgeColor({ 1, 2, 3, 255 });
    mesh.SetClockwise(true);
    mesh.AddPoint({ 1, 2.5f, -3 });
    mesh.AddPoint({ 0, 0, 0 });
    mesh.AddPoint({ 1, 1, 1 });
    mesh.AddTexturePoint({ 0.25f, 0.75f });
    mesh.CreateNewMaterial()->fName = "skin";
    mesh.AddFace(0, 1, 2);
    const std::string text = WriteMesh(mesh, true);
    EXPECT_NE(text.find("\tpoints 3\n\t\t1 2.5 -3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\t\t\"skin\" 10 20 30 255 \"\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\t\t3 0 1 2 -1 -1 -1 -1 -1 0\n"), std::string::npos) << text;

    QV_MemStream in;
    FillStream(in, text);
    M_Mesh3D back;
    ASSERT_TRUE(back.ReadRecord(&in));
    EXPECT_EQ(WriteMesh(back, true), text);

    const std::string bare = WriteMesh(mesh, false);
    EXPECT_EQ(bare.find("points"), std::string::npos);
    QV_MemStream bareIn;
    FillStream(bareIn, bare);
    M_Mesh3D colours;
    colours.AddPoint({ 1, 1, 1 });
    ASSERT_TRUE(colours.ReadRecord(&bareIn));
    EXPECT_EQ(colours.CountPoints(), 0);
    EXPECT_TRUE(colours.Clockwise());
    EXPECT_EQ(colours.DefaultColor().g, 20);
    EXPECT_EQ(colours.EdgeColor().b, 3);

    const struct {
        const char* text;
        const char* error;
    } failures[] = {
        { "[\n\tfaces 1\n\t\t3 0 1 2 -1 -1 -1 -1 x 0\n]\n",
            "Read error at line 3. In code file ..\\..\\..\\lib_vorn\\m_mesh3d, line 219." },
        { "[\n\tpoints 99999999\n]\n", "Read error at line 2. In code file ..\\..\\..\\lib_vorn\\m_mesh3d, line 176." },
        { "[\n\tbogus 1\n]\n", "Unknown keyword: bogus at line 2" },
    };
    for (const auto& f : failures) {
        QV_MemStream s;
        FillStream(s, f.text);
        M_Mesh3D m;
        EXPECT_FALSE(m.ReadRecord(&s)) << f.text;
        EXPECT_STREQ(s.fError.CString(), f.error);
    }
}

TEST(Mesh3D, ObjFacesTextureCoordinatesAndMaterials)
{
    MediaFolder folder;
    folder.Write("Skin.MTL",
        "Kd 1 1 1\n"
        "newmtl red\nKd 1 0 0\n"
        "newmtl grey\nKd 0.5 0.5 0.5\nmap_Kd tex.png\n"
        "newmtl hot\nKd 7 -2 0.5");
    struct Case {
        const char* name;
        const char* lines;
        std::vector<std::vector<int32_t>> faces;
    };
    const std::string points = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 2 0\nv 9 9 9\nv 1 2\nv 1 2 3 1\n";
    const Case cases[] = {
        { "slashes", "f 1/1 2/2 3/3\n", { { 3, 0, 1, 2, -2, 0, 1, 2, -2, -1 } } },
        { "double slashes", "f 1//1 2//2 3//3\n", { { 3, 0, 1, 2, -2, -2, -2, -2, -2, -1 } } },
        { "quad", "f 1 2 3 4\n", { { 4, 0, 1, 2, 3, -2, -2, -2, -2, -1 } } },
        { "five corners", "f 1 2 3 4 5\n",
            { { 4, 0, 1, 2, 3, -2, -2, -2, -2, -1 }, { 3, 0, 3, 4, -2, -2, -2, -2, -2, -1 } } },
        { "two corners", "f 1 2\n", {} },
        { "word after two", "f 1 2 x 4\n", {} },
        { "word after three", "f 1 2 3 x\n", { { 3, 0, 1, 2, -2, -2, -2, -2, -2, -1 } } },
        { "relative", "f -1 -2 -3\n", { { 3, -2, -3, -4, -2, -2, -2, -2, -2, -1 } } },
        { "materials", "f 1 2 3\nmtllib skin.mtl\nusemtl grey\nf 1 2 3\nusemtl none\nf 1 2 3\n",
            { { 3, 0, 1, 2, -2, -2, -2, -2, -2, -1 }, { 3, 0, 1, 2, -2, -2, -2, -2, -2, 1 },
                { 3, 0, 1, 2, -2, -2, -2, -2, -2, 1 } } },
        { "tabs and no last line end", "f\t1\t2\t3\nf 2 3 4", { { 3, 0, 1, 2, -2, -2, -2, -2, -2, -1 }, { 3, 1, 2, 3, -2, -2, -2, -2, -2, -1 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool crlf : { false, true }) {
            std::string text = points + "vt 0.25 0.75\nvt 1\n" + c.lines;
            if (crlf) {
                std::string converted;
                for (char ch : text)
                    converted += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
                text = converted;
            }
            const std::string path = folder.Write("model.obj", text);
            M_Mesh3D mesh;
            mesh.AddFace(0, 0, 0);
            mesh.ImportOBJ(path.c_str());
            ASSERT_EQ(mesh.CountPoints(), 7);
            EXPECT_FLOAT_EQ(mesh.Point(6).z, 3);
            ASSERT_EQ(mesh.CountTexturePoints(), 1);
            EXPECT_FLOAT_EQ(mesh.TexturePoint(0).y, 0.25f);
            std::vector<std::vector<int32_t>> faces;
            for (int32_t i = 0; i < mesh.CountFaces(); i++)
                faces.push_back(FaceIndices(*mesh.Face(i)));
            EXPECT_EQ(faces, c.faces) << (crlf ? "CR LF" : "LF");
            if (std::string(c.name) == "materials") {
                ASSERT_EQ(mesh.CountMaterials(), 3);
                EXPECT_EQ(mesh.Material(0)->color.r, 255);
                EXPECT_EQ(mesh.Material(0)->color.g, 0);
                EXPECT_EQ(mesh.Material(1)->color.r, 128);
                EXPECT_EQ(std::string(mesh.Material(1)->fTexturePath.CString()), folder.Path("tex.png"));
                // Out-of-range diffuse values are clamped.
                EXPECT_EQ(mesh.Material(2)->color.r, 255);
                EXPECT_EQ(mesh.Material(2)->color.g, 0);
                EXPECT_EQ(mesh.Material(2)->color.b, 128);
            }
        }
    }

    // A long line is read whole; a file that does not open leaves the mesh alone.
    M_Mesh3D mesh;
    mesh.ImportOBJ(folder.Write("long.obj", "v 0 0 0" + std::string(400, ' ') + "\nv 1 1 1\nv 2 2 2\nf 1 2 3\n").c_str());
    EXPECT_EQ(mesh.CountFaces(), 1);
    mesh.ImportOBJ(folder.Path("missing.obj").c_str());
    EXPECT_EQ(mesh.CountPoints(), 3);
}
