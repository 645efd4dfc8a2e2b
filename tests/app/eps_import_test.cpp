// EPS and older Illustrator drawings read into a mesh: paths, paints, colours, compound paths,
// the sections that are skipped, the files refused, and damaged input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eps_import.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "path_builder.h"
#include "qv_memstream.h"

namespace {

std::vector<std::string> gAlerts;

void RecordAlert(const char* line1, const char*, const char*) { gAlerts.push_back(line1 ? line1 : ""); }

class EPSTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gAlerts.clear();
        fSaved = gEPSAlert;
        gEPSAlert = RecordAlert;
    }
    void TearDown() override { gEPSAlert = fSaved; }
    void Read(const std::string& text, int32_t height = 240)
    {
        QV_MemStream stream;
        ASSERT_EQ(stream.Open(int32_t(text.size()) + 16), 0);
        stream.WriteBytes(text.data(), int32_t(text.size()));
        stream.Rewind();
        ReadEPSIntoMesh(&stream, &mesh, height, nullptr);
    }
    rgb_color Fill(int32_t shape) { return mesh.GetShape(shape)->fMyStyle.fFillCol.GetValue(0).AsColorStruct(); }

    M_Mesh mesh;
    void (*fSaved)(const char*, const char*, const char*) = nullptr;
};

} // namespace

TEST_F(EPSTest, FilledTriangleHasNoOutlineAndStrokedPolylineStaysOpen)
{
    Read("10 20 m\n30 20 l\n30 40 l\nf\n");
    ASSERT_EQ(mesh.GetNumCurves(), 1);
    EXPECT_TRUE(mesh.GetCurve(0)->fClosed);
    EXPECT_EQ(mesh.GetNumPoints(), 3);
    ASSERT_EQ(mesh.GetNumShapes(), 1);
    EXPECT_TRUE(mesh.GetShape(0)->fHasFill);
    EXPECT_FALSE(mesh.GetShape(0)->fHasOutline);
    EXPECT_EQ(mesh.GetShape(0)->GetNumEdges(), 3);

    M_Mesh open;
    QV_MemStream stream;
    const std::string text = "2 w\n10 20 m\n30 20 l\n30 40 l\nS\n";
    stream.Open(64);
    stream.WriteBytes(text.data(), int32_t(text.size()));
    stream.Rewind();
    ReadEPSIntoMesh(&stream, &open, 240, nullptr);
    ASSERT_EQ(open.GetNumCurves(), 1);
    EXPECT_FALSE(open.GetCurve(0)->fClosed);
    ASSERT_EQ(open.GetNumShapes(), 1);
    EXPECT_FALSE(open.GetShape(0)->fHasFill);
    EXPECT_TRUE(open.GetShape(0)->fHasOutline);
    EXPECT_EQ(open.GetShape(0)->GetNumEdges(), 2);
    EXPECT_FLOAT_EQ(open.GetShape(0)->fMyStyle.fLineWidth, 2.0f / 240);
}

TEST_F(EPSTest, CMYKBlackDependsOnTheProcessColourComments)
{
    const std::string path = "10 20 m\n30 20 l\n30 40 l\nf\n";
    Read("%%+ procset Adobe_cmykcolor 0 0\n0 0 0 1 k\n" + path);
    ASSERT_EQ(mesh.GetNumShapes(), 1);
    EXPECT_EQ(Fill(0).r, 0);
    EXPECT_EQ(Fill(0).g, 0);

    mesh.Empty();
    Read("0 0 0 1 k\n" + path);
    ASSERT_EQ(mesh.GetNumShapes(), 1);
    EXPECT_EQ(Fill(0).r, 255);
    EXPECT_EQ(Fill(0).b, 255);

    mesh.Empty();
    Read("%%DocumentProcessColors: Black\n0 0 0 0.25 k\n" + path);
    EXPECT_EQ(Fill(0).r, 191);

    mesh.Empty();
    Read("1 0 0 XA\n0.5 g\n" + path);
    EXPECT_EQ(Fill(0).r, 127);
    EXPECT_EQ(mesh.GetShape(0)->fMyStyle.fLineCol.GetValue(0).AsColorStruct().r, 255);
}

TEST_F(EPSTest, UnpaintedPathAddsACurveButNoShape)
{
    Read("10 20 m\n30 20 l\n30 40 l\nn\n");
    EXPECT_EQ(mesh.GetNumCurves(), 1);
    EXPECT_EQ(mesh.GetNumShapes(), 0);
}

TEST_F(EPSTest, CompoundPathPaintsOneShape)
{
    Read("*u\n0 0 m\n100 0 l\n100 100 l\n0 100 l\nf\n"
         "25 25 m\n75 25 l\n75 75 l\n25 75 l\nf\n*U\n"
         "200 0 m\n300 0 l\n300 100 l\nf\n");
    EXPECT_EQ(mesh.GetNumCurves(), 3);
    ASSERT_EQ(mesh.GetNumShapes(), 2);
    EXPECT_EQ(mesh.GetShape(0)->GetNumEdges(), 8);
    EXPECT_EQ(mesh.GetShape(1)->GetNumEdges(), 3);
}

TEST_F(EPSTest, PrologWithoutSetupEndHidesTheRest)
{
    Read("%%BeginProlog\n0 0 m\n10 0 l\n10 10 l\nf\n%%EndProlog\n20 0 m\n30 0 l\n30 10 l\nf\n");
    EXPECT_EQ(mesh.GetNumPoints(), 0);
    mesh.Empty();
    Read("%%BeginProlog\n0 0 m\n%%EndProlog\n%%BeginSetup\n%%EndSetup\n20 0 m\n30 0 l\n30 10 l\nf\n");
    EXPECT_EQ(mesh.GetNumShapes(), 1);
}

TEST_F(EPSTest, RefusedFilesAlert)
{
    Read("%PDF-1.4\n10 20 m\n30 20 l\n30 40 l\nf\n");
    ASSERT_EQ(gAlerts.size(), 1u);
    EXPECT_NE(gAlerts[0].find("can't be imported"), std::string::npos);
    EXPECT_EQ(mesh.GetNumPoints(), 0);

    gAlerts.clear();
    std::string big = "0 0 m\n";
    for (int32_t i = 1; i < 10100; i++)
        big += std::to_string(i) + " " + std::to_string(i % 2 ? 50 : 0) + " l\n";
    big += "S\n";
    Read(big);
    ASSERT_EQ(gAlerts.size(), 1u);
    EXPECT_NE(gAlerts[0].find("too many"), std::string::npos);
    EXPECT_GT(mesh.GetNumPoints(), 10000);
    EXPECT_LT(mesh.GetNumPoints(), 10100);
}

TEST_F(EPSTest, MalformedInputNeitherCrashesNorDrawsFromNothing)
{
    const char* cases[] = {
        "30 20 l\n30 40 l\nf\n", // no moveto
        "l\nm\nc\n1 c\nk\ng\nw\nf\nS\nb\n", // operators without operands
        "%%BoundingBox: 0 5 10 4\n1 w\n0 0 m\n10 0 l\nS\n", // zero-height box
        "10 20 30 40 50 60 c\n1 2 3 4 v\n*U\n*U\n*u\n*u\nf\n",
        "(unterminated string m l c f",
        "\x01\xff%\n%\r\r\n   \n",
    };
    for (const char* text : cases) {
        mesh.Empty();
        Read(text);
        EXPECT_TRUE(mesh.LinksAreConsistent()) << text;
    }
    mesh.Empty();
    Read("30 20 l\n30 40 l\nf\n");
    ASSERT_EQ(mesh.GetNumShapes(), 1);
    EXPECT_EQ(mesh.GetShape(0)->GetNumEdges(), 3);
    mesh.Empty();
    Read("%%BoundingBox: 0 5 10 4\n3 w\n0 0 m\n10 0 l\nS\n");
    ASSERT_EQ(mesh.GetNumShapes(), 1);
    EXPECT_FLOAT_EQ(mesh.GetShape(0)->fMyStyle.fLineWidth, 3.0f / 240);
}

TEST_F(EPSTest, CurvesAndRelativeOperators)
{
    Read("0 0 moveto\n100 0 rlineto\n0 100 rlineto\n-50 50 -100 50 -100 0 rcurveto\nf\n");
    ASSERT_EQ(mesh.GetNumShapes(), 1);
    EXPECT_TRUE(mesh.GetCurve(0)->fClosed);
    EXPECT_GT(mesh.GetNumPoints(), 3);
}
