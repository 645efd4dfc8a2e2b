// Installed fonts and text turned into shapes, with DejaVu Sans (fonts-dejavu-core).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "../core/scratch_folder.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "path_builder.h"
#include "qv_font.h"
#include "qv_font_library.h"
#include "text_shapes.h"

namespace {

const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* kName = "DejaVu Sans Book";

class TextShapes : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kDejaVu))
            GTEST_SKIP() << "DejaVu Sans is not installed";
        ASSERT_TRUE(StartFontLibrary());
        std::filesystem::create_directories(fFolder.File("sub"));
        std::filesystem::copy_file(kDejaVu, fFolder.File("sub/Sans.TTF"));
        std::filesystem::copy_file(kDejaVu, fFolder.File("Other.otf"));
        fFolder.Put("notes.txt", "x");
        fFolder.Put("broken.ttf", "not a font");
        ResetFontList(fFolder.Path().c_str());
    }
    void TearDown() override { ResetFontList(nullptr); }

    // The text into a fresh mesh; the points' x range and y range.
    void Build(const char* text, bool oneFill = true, bool centre = false, int32_t line = 0)
    {
        mesh.Empty();
        PathBuilder b;
        b.Init(0, &mesh);
        BuildTextShapes(text, kName, b, 240, oneFill, centre, line, nullptr);
    }
    float MinX(int32_t from = 0)
    {
        float v = 1e9f;
        for (int32_t i = from; i < mesh.GetNumPoints(); i++)
            v = std::min(v, mesh.GetPoint(i)->fPos.x);
        return v;
    }
    float MaxX()
    {
        float v = -1e9f;
        for (int32_t i = 0; i < mesh.GetNumPoints(); i++)
            v = std::max(v, mesh.GetPoint(i)->fPos.x);
        return v;
    }
    float MinY()
    {
        float v = 1e9f;
        for (int32_t i = 0; i < mesh.GetNumPoints(); i++)
            v = std::min(v, mesh.GetPoint(i)->fPos.y);
        return v;
    }
    // Advance and kerning in font units, from FreeType itself.
    FT_Face Face()
    {
        if (!fFont)
            fFont = QV_Font::OpenFace(kDejaVu, 0);
        return fFont ? fFont->fFace : nullptr;
    }
    float Advance(char c)
    {
        FT_Face face = Face();
        FT_Load_Glyph(face, FT_Get_Char_Index(face, FT_ULong(c)), FT_LOAD_NO_SCALE);
        return float(face->glyph->advance.x);
    }
    ~TextShapes() override { DeleteFont(fFont); }

    ScratchFolder fFolder;
    QV_Font* fFont = nullptr;
    M_Mesh mesh;
};

} // namespace

TEST_F(TextShapes, FontListHoldsTrueTypeFilesOfTheFolderAndBelow)
{
    ASSERT_EQ(FontCount(), 1);
    EXPECT_STREQ(FontDisplayName(0), kName);
    EXPECT_EQ(std::string(FontFilePath(0)), fFolder.File("sub/Sans.TTF"));
    EXPECT_EQ(FontDisplayName(1), nullptr);
    QV_Font* font = OpenFontByName(kName);
    EXPECT_NE(font, nullptr);
    DeleteFont(font);
    EXPECT_EQ(OpenFontByName("DejaVu"), nullptr);
}

TEST_F(TextShapes, KerningMovesTheSecondGlyph)
{
    FT_Face face = Face();
    ASSERT_NE(face, nullptr);
    FT_Vector kern {};
    if (FT_HAS_KERNING(face))
        FT_Get_Kerning(face, FT_Get_Char_Index(face, 'A'), FT_Get_Char_Index(face, 'V'), FT_KERNING_UNSCALED, &kern);
    Build("A");
    const int32_t aPoints = mesh.GetNumPoints();
    Build("V");
    const float vAlone = MinX();
    Build("AV");
    const float vAfterA = MinX(aPoints);
    EXPECT_NEAR(vAfterA - vAlone, (Advance('A') + float(kern.x)) / 4096, 1e-4);
}

TEST_F(TextShapes, SpaceAdvancesWithoutPoints)
{
    Build("A");
    const int32_t points = mesh.GetNumPoints();
    const float left = MinX();
    ASSERT_GT(points, 0);
    Build(" A");
    EXPECT_EQ(mesh.GetNumPoints(), points);
    EXPECT_NEAR(MinX() - left, Advance(' ') / 4096, 1e-4);
    Build(" ");
    EXPECT_EQ(mesh.GetNumPoints(), 0);
    EXPECT_EQ(mesh.GetNumShapes(), 0);
}

TEST_F(TextShapes, GlyphsFillAsOneShapeOrOneEach)
{
    Build("ab", false);
    ASSERT_EQ(mesh.GetNumShapes(), 2);
    EXPECT_FALSE(mesh.GetShape(0)->fHasOutline);
    EXPECT_TRUE(mesh.GetShape(0)->fHasFill);
    Build("ab", true);
    EXPECT_EQ(mesh.GetNumShapes(), 1);

    // The hole of the o belongs to its letter's shape: edges on both of its curves.
    Build("o", false);
    ASSERT_EQ(mesh.GetNumCurves(), 2);
    ASSERT_EQ(mesh.GetNumShapes(), 1);
    std::vector<int32_t> curves;
    M_Shape* shape = mesh.GetShape(0);
    for (int32_t i = 0; i < shape->GetNumEdges(); i++) {
        int32_t curve = -1, segment = -1;
        shape->GetEdge(i, curve, segment);
        curves.push_back(curve);
    }
    EXPECT_NE(std::find(curves.begin(), curves.end(), 0), curves.end());
    EXPECT_NE(std::find(curves.begin(), curves.end(), 1), curves.end());
    EXPECT_TRUE(mesh.GetCurve(0)->fClosed);
    EXPECT_TRUE(mesh.LinksAreConsistent());
}

TEST_F(TextShapes, CentringAndLines)
{
    Build("Hello", true, true);
    EXPECT_NEAR(MinX(), -MaxX(), 1e-4);
    Build("Hello", true, false);
    EXPECT_GE(MinX(), 0.0f);
    const float top = MinY();
    Build("Hello", true, false, 2);
    EXPECT_NEAR(top - MinY(), 2 * float(Face()->height) / 4096, 1e-4);
}

TEST_F(TextShapes, ProgressAndRefusals)
{
    static std::vector<std::pair<bool, float>> reports;
    reports.clear();
    PathBuilder b;
    b.Init(0, &mesh);
    auto record = [](bool done, float fraction) { reports.emplace_back(done, fraction); };
    BuildTextShapes("Hi", kName, b, 240, true, true, 0, record);
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(false, 0.0f));
    EXPECT_EQ(reports[2], std::make_pair(false, 1.0f));
    EXPECT_EQ(reports.back(), std::make_pair(true, 1.0f));

    mesh.Empty();
    reports.clear();
    BuildTextShapes("Hi", "No Such Font", b, 240, true, true, 0, record);
    EXPECT_EQ(mesh.GetNumPoints(), 0);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].first);

    // Text that is not UTF-8 adds nothing, and still reports the end a progress pane waits for.
    reports.clear();
    BuildTextShapes("\xff\xfe", kName, b, 240, true, true, 0, record);
    EXPECT_EQ(mesh.GetNumPoints(), 0);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), std::make_pair(true, 1.0f));
}

// A glyph contour of 200 quadratic control points in a row (a circle) goes to the builder in
// pieces: one closed curve, every point on the circle, all the way round.
TEST(GlyphOutline, LongRunsOfControlPointsMakeOneWholeCurve)
{
    constexpr int kCount = 200;
    constexpr double kPi = 3.14159265358979323846;
    const double radius = 1000.0;
    // Control points just outside the circle, so that the midpoints between them lie on it.
    const double reach = radius / std::cos(kPi / kCount);
    std::vector<FT_Vector> points(kCount);
    std::vector<char> tags(kCount, 0);
    for (int i = 0; i < kCount; i++) {
        const double angle = 2 * kPi * i / kCount;
        points[size_t(i)] = { FT_Pos(std::lround(reach * std::cos(angle))), FT_Pos(std::lround(reach * std::sin(angle))) };
    }
    short end = kCount - 1;
    FT_Outline outline {};
    outline.n_contours = 1;
    outline.n_points = kCount;
    outline.points = points.data();
    outline.tags = tags.data();
    outline.contours = &end;

    M_Mesh mesh;
    PathBuilder b;
    b.Init(0, &mesh);
    AddGlyphOutline(b, outline);
    ASSERT_EQ(mesh.GetNumCurves(), 1);
    EXPECT_TRUE(mesh.GetCurve(0)->fClosed);
    ASSERT_GE(mesh.GetNumPoints(), 8);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (int32_t i = 0; i < mesh.GetNumPoints(); i++) {
        const QV_Vector2 p = mesh.GetPoint(i)->fPos;
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const float r = (maxX - minX) / 2;
    ASSERT_GT(r, 0.0f);
    EXPECT_NEAR(maxY - minY, 2 * r, 0.01f * r);
    const QV_Vector2 centre { (minX + maxX) / 2, (minY + maxY) / 2 };
    EXPECT_NEAR(centre.x, 0.0f, 0.01f * r);
    EXPECT_NEAR(centre.y, 0.0f, 0.01f * r);
    for (int32_t i = 0; i < mesh.GetNumPoints(); i++)
        EXPECT_NEAR((mesh.GetPoint(i)->fPos - centre).Mag(), r, 0.01f * r) << "point " << i;
}
