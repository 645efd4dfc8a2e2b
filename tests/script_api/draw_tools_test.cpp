// The installation's drawing, fill and workspace tools end to end: script_harness loads the
// scripts folder of data/, runs a tool's mouse, key and option steps on a small document, and
// the saved document is checked; undo after each edit gives the document back.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "harness_run.h"

#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "qv_filestream.h"
#include "vorndoc.h"

namespace {

Result RunHarness(const std::string& arguments)
{
    return RunScriptHarness("--app " CELVANE_SOURCE_DIR "/data " + arguments);
}

std::unique_ptr<VornDoc> Load(const std::filesystem::path& path)
{
    QV_FileStream in;
    if (in.Open(path.c_str(), true) != 0)
        return nullptr;
    auto doc = std::make_unique<VornDoc>(&in);
    if (doc->fReadFailed)
        return nullptr;
    return doc;
}

M_Mesh* MeshOf(VornDoc& doc) { return static_cast<MeshLayer*>(doc.Layer(0))->Mesh(); }

// What a drawing tool may change, written out at the frame: points, curves, shapes.
std::string Summary(VornDoc& doc, int32_t frame)
{
    doc.SetCurFrame(frame);
    M_Mesh* mesh = MeshOf(doc);
    std::ostringstream out;
    out.precision(4);
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++) {
        M_Point* point = mesh->GetPoint(i);
        out << "p" << i << " " << point->fPos.x << "," << point->fPos.y << " w" << point->fWidth.value << "\n";
    }
    for (int32_t c = 0; c < mesh->GetNumCurves(); c++) {
        M_Curve* curve = mesh->GetCurve(c);
        out << "c" << c << (curve->fClosed ? " closed" : " open");
        for (int32_t i = 0; i < curve->GetNumPoints(); i++)
            out << " " << mesh->GetPointID(curve->GetPoint(i)) << "/" << curve->GetCurvature(i, frame)
                << (curve->IsSegmentOn(i) ? "" : "-");
        out << "\n";
    }
    for (int32_t s = 0; s < mesh->GetNumShapes(); s++) {
        M_Shape* shape = mesh->GetShape(s);
        const rgb_color fill = shape->fMyStyle.fFillCol.value;
        out << "s" << s << " edges " << shape->GetNumEdges() << (shape->fHasFill ? " fill" : "")
            << (shape->fHasOutline ? " line" : "") << " " << int(fill.r) << "," << int(fill.g) << ","
            << int(fill.b) << "\n";
    }
    return out.str();
}

class DrawTools : public ::testing::Test {
protected:
    DrawTools()
        : folder(std::filesystem::path(::testing::TempDir())
            / ("draw_tools_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
    {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~DrawTools() override { std::filesystem::remove_all(folder); }

    std::string Path(const char* name) const { return (folder / name).string(); }

    // A document of one vector layer "V", 320 x 240 (a pixel is 1/120), drawn on by the
    // harness's steps.
    void MakeInput(const std::string& steps)
    {
        {
            VornDoc doc;
            doc.SetShape(320, 240);
            auto* layer = new MeshLayer;
            layer->SetName("V");
            doc.AddLayer(layer);
            doc.SetSelLayer(layer);
            doc.SetPath(Path("in.celv").c_str());
            ASSERT_EQ(doc.Save(""), 0);
        }
        if (steps.empty())
            return;
        const Result made = RunHarness("--doc " + Path("in.celv") + " " + steps + " --save " + Path("in.celv"));
        ASSERT_EQ(made.status, 0) << made.output;
        ASSERT_EQ(made.output, "") << made.output;
    }

    std::filesystem::path folder;
};

TEST_F(DrawTools, EveryScriptLoadsIntoItsGroupWithIconAndCursor)
{
    const Result listed = RunHarness("--list");
    ASSERT_EQ(listed.status, 0) << listed.output;
    std::istringstream lines(listed.output);
    std::string line;
    int tools = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("menu\t", 0) == 0)
            continue;
        ASSERT_EQ(line.rfind("tool\t", 0), 0u) << "not a list line: " << line;
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        ASSERT_GE(fields.size(), 13u) << line;
        if (fields[2] == "spacer")
            continue;
        tools++;
        EXPECT_NE(fields[3], "Other") << line;
        EXPECT_EQ(fields[5].size(), 1u) << "no shortcut: " << line;
        EXPECT_EQ(fields[7].substr(0, 3), "QV_") << line;
        EXPECT_EQ(fields[9], "1") << "no icon: " << line;
        EXPECT_EQ(fields[10], "1") << "no cursor: " << line;
        EXPECT_NE(fields.back(), "???") << "no description: " << line;
    }
    EXPECT_GT(tools, 0);
}

struct ToolCase {
    const char* name;
    const char* input; // harness steps that make the input document
    const char* steps; // the tool's steps on it
    std::function<void(VornDoc& before, VornDoc& after)> check;
};

TEST_F(DrawTools, EachToolEditsTheDocumentAndUndoGivesItBack)
{
    const char* kRectangle = "--tool QV_Rectangle --drag -0.5,-0.5 0.5,0.5";
    // Two segments along y = 0: (-0.5, 0), (0, 0), (0.5, 0).
    const char* kLine = "--tool QV_AddPoint --drag -0.5,0 0,0 --drag 0.5,0 0.5,0 --select none";
    const ToolCase kCases[] = {
        { "rectangle: four points on one closed curve and one filled, outlined shape", "", kRectangle,
            [](VornDoc&, VornDoc& after) {
                M_Mesh* mesh = MeshOf(after);
                ASSERT_EQ(mesh->GetNumPoints(), 4);
                ASSERT_EQ(mesh->GetNumCurves(), 1);
                EXPECT_TRUE(mesh->GetCurve(0)->fClosed);
                ASSERT_EQ(mesh->GetNumShapes(), 1);
                EXPECT_TRUE(mesh->GetShape(0)->fHasFill);
                EXPECT_TRUE(mesh->GetShape(0)->fHasOutline);
                EXPECT_NEAR(mesh->GetPoint(2)->fPos.x, 0.5, 1e-3);
            } },
        { "rectangle without its fill option: an outline only", "", "--tool QV_Rectangle --message 1 --drag -0.5,-0.5 0.5,0.5",
            [](VornDoc&, VornDoc& after) {
                M_Mesh* mesh = MeshOf(after);
                ASSERT_EQ(mesh->GetNumShapes(), 1);
                EXPECT_FALSE(mesh->GetShape(0)->fHasFill);
                EXPECT_TRUE(mesh->GetShape(0)->fHasOutline);
            } },
        { "oval with Shift: a circle of eight points", "", "--tool QV_Oval --drag -0.5,-0.5 0.5,0.2 --shift",
            [](VornDoc&, VornDoc& after) {
                M_Mesh* mesh = MeshOf(after);
                ASSERT_EQ(mesh->GetNumPoints(), 8);
                ASSERT_EQ(mesh->GetNumShapes(), 1);
                // Centre (0, 0), radius 0.5 on both axes.
                EXPECT_NEAR(mesh->GetPoint(0)->fPos.x, 0.5, 1e-3);
                EXPECT_NEAR(mesh->GetPoint(2)->fPos.y, 0.5, 1e-3);
            } },
        { "freehand: a closed, filled curve along the path", "",
            "--tool QV_Freehand --drag -0.5,0 -0.3,0.3 0,0.4 0.3,0.3 0.5,0 0,-0.4",
            [](VornDoc&, VornDoc& after) {
                M_Mesh* mesh = MeshOf(after);
                EXPECT_EQ(mesh->GetNumPoints(), 6);
                ASSERT_EQ(mesh->GetNumCurves(), 1);
                EXPECT_TRUE(mesh->GetCurve(0)->fClosed);
                ASSERT_EQ(mesh->GetNumShapes(), 1);
            } },
        { "add point on an edge: one more point on that curve", kLine, "--tool QV_AddPoint --drag -0.25,0 -0.25,0",
            [](VornDoc& before, VornDoc& after) {
                EXPECT_EQ(MeshOf(after)->GetNumPoints(), MeshOf(before)->GetNumPoints() + 1);
                EXPECT_EQ(MeshOf(after)->GetNumCurves(), 1);
                EXPECT_EQ(MeshOf(after)->GetCurve(0)->GetNumPoints(), 4);
            } },
        { "add point off the curve extends the selected end", kLine,
            "--select 2 --tool QV_AddPoint --drag 0.8,0.2 0.9,0.3",
            [](VornDoc&, VornDoc& after) {
                M_Mesh* mesh = MeshOf(after);
                ASSERT_EQ(mesh->GetNumCurves(), 1);
                ASSERT_EQ(mesh->GetCurve(0)->GetNumPoints(), 4);
                M_Point* end = mesh->GetCurve(0)->GetPoint(3);
                EXPECT_NEAR(end->fPos.x, 0.9, 1e-3);
                EXPECT_NEAR(end->fPos.y, 0.3, 1e-3);
            } },
        { "select points: a box, Shift adds a click, Ctrl removes; translate moves only those", kLine,
            "--tool QV_SelectPoints --drag -0.6,-0.1 0.1,0.1 --drag 0.5,0 0.5,0 --shift --drag -0.5,0 -0.5,0 --ctrl "
            "--tool QV_TranslatePoints --drag 0.5,0 0.5,0.25",
            [](VornDoc&, VornDoc& after) {
                M_Mesh* mesh = MeshOf(after);
                EXPECT_NEAR(mesh->GetPoint(0)->fPos.y, 0, 1e-3);
                EXPECT_NEAR(mesh->GetPoint(1)->fPos.y, 0.25, 1e-3);
                EXPECT_NEAR(mesh->GetPoint(2)->fPos.y, 0.25, 1e-3);
            } },
        { "translate at frame 12 keys the selected points there, frame 0 unchanged", kLine,
            "--frame 12 --select 0 --tool QV_TranslatePoints --drag -0.5,0 -0.5,0.5",
            [](VornDoc& before, VornDoc& after) {
                M_Mesh* mesh = MeshOf(after);
                EXPECT_TRUE(mesh->GetPoint(0)->fAnimPos.HasKey(12));
                EXPECT_FALSE(mesh->GetPoint(1)->fAnimPos.HasKey(12));
                EXPECT_EQ(Summary(after, 0), Summary(before, 0));
                after.SetCurFrame(12);
                EXPECT_NEAR(mesh->GetPoint(0)->fPos.y, 0.5, 1e-3);
            } },
        { "translate with the grid snaps the pressed point", kLine,
            "--grid 12 --tool QV_TranslatePoints --drag 0,0 0.23,0.04",
            [](VornDoc&, VornDoc& after) {
                // 12 pixels of a 240-pixel height are 0.1 units.
                EXPECT_NEAR(MeshOf(after)->GetPoint(1)->fPos.x, 0.2, 1e-3);
                EXPECT_NEAR(MeshOf(after)->GetPoint(1)->fPos.y, 0.0, 1e-3);
            } },
        { "scale doubles the selection about its centre", kLine,
            "--select 0,1,2 --tool QV_ScalePoints --drag 0.5,0 1,0",
            [](VornDoc&, VornDoc& after) {
                EXPECT_NEAR(MeshOf(after)->GetPoint(0)->fPos.x, -1, 1e-3);
                EXPECT_NEAR(MeshOf(after)->GetPoint(2)->fPos.x, 1, 1e-3);
            } },
        { "rotate turns the selection a quarter", kLine, "--select 0,1,2 --tool QV_RotatePoints --drag 0.5,0 0,0.5",
            [](VornDoc&, VornDoc& after) {
                EXPECT_NEAR(MeshOf(after)->GetPoint(2)->fPos.x, 0, 1e-3);
                EXPECT_NEAR(MeshOf(after)->GetPoint(2)->fPos.y, 0.5, 1e-3);
            } },
        { "curvature: a click makes the smooth point a corner", kLine, "--tool QV_Curvature --drag 0,0 0,0",
            [](VornDoc& before, VornDoc& after) {
                EXPECT_LT(MeshOf(after)->GetCurve(0)->GetCurvature(1, 0), MeshOf(before)->GetCurve(0)->GetCurvature(1, 0));
            } },
        { "delete edge removes the segment clicked", kLine, "--tool QV_DeleteEdge --drag 0.25,0 0.25,0",
            [](VornDoc&, VornDoc& after) {
                M_Mesh* mesh = MeshOf(after);
                int32_t segments = 0;
                for (int32_t c = 0; c < mesh->GetNumCurves(); c++)
                    segments += mesh->GetCurve(c)->GetNumPoints() - 1;
                EXPECT_EQ(segments, 1);
            } },
        { "hide edge turns the clicked segment's line off", kLine, "--tool QV_HideEdge --drag 0.25,0 0.25,0",
            [](VornDoc&, VornDoc& after) {
                EXPECT_TRUE(MeshOf(after)->GetCurve(0)->IsSegmentOn(0));
                EXPECT_FALSE(MeshOf(after)->GetCurve(0)->IsSegmentOn(1));
            } },
        { "line width: a drag right widens the line at the point", kLine, "--tool QV_LineWidth --drag 0,0 0.5,0",
            [](VornDoc&, VornDoc& after) {
                after.SetCurFrame(0);
                EXPECT_GT(MeshOf(after)->GetPoint(1)->fWidth.value, 1.5f / 240);
            } },
        { "create shape: a space tap fills the selection", "--tool QV_Rectangle --message 1 --message 2 --drag -0.5,-0.5 0.5,0.5",
            "--select 0,1,2,3 --tool QV_CreateShape --key ' '",
            [](VornDoc&, VornDoc& after) {
                ASSERT_EQ(MeshOf(after)->GetNumShapes(), 1);
                EXPECT_TRUE(MeshOf(after)->GetShape(0)->fHasFill);
            } },
        { "create shape with its Line option: Return makes a line", "--tool QV_Rectangle --message 1 --message 2 --drag -0.5,-0.5 0.5,0.5",
            "--select 0,1,2,3 --tool QV_CreateShape --message 2 --key return",
            [](VornDoc&, VornDoc& after) {
                ASSERT_EQ(MeshOf(after)->GetNumShapes(), 1);
                EXPECT_FALSE(MeshOf(after)->GetShape(0)->fHasFill);
                EXPECT_TRUE(MeshOf(after)->GetShape(0)->fHasOutline);
            } },
        { "select shape then Delete removes the shape, keeping its points", kRectangle,
            "--tool QV_SelectShape --drag 0,0 0,0 --key delete",
            [](VornDoc&, VornDoc& after) {
                EXPECT_EQ(MeshOf(after)->GetNumShapes(), 0);
                EXPECT_EQ(MeshOf(after)->GetNumPoints(), 4);
            } },
    };
    for (const ToolCase& c : kCases) {
        SCOPED_TRACE(c.name);
        MakeInput(c.input);
        const Result run = RunHarness("--doc " + Path("in.celv") + " " + c.steps + " --save " + Path("out.celv") + " --undo --save " + Path("undone.celv"));
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.output, "");
        auto before = Load(Path("in.celv"));
        auto after = Load(Path("out.celv"));
        auto undone = Load(Path("undone.celv"));
        ASSERT_TRUE(before && after && undone);
        c.check(*before, *after);
        EXPECT_EQ(Summary(*undone, 0), Summary(*before, 0));
        EXPECT_EQ(Summary(*undone, 12), Summary(*before, 12));
    }
}

// The eyedropper takes one shape's style; the paint bucket gives it to another.
TEST_F(DrawTools, EyedropperThenPaintBucketCopiesAStyle)
{
    MakeInput("--tool QV_Rectangle --drag -1,-0.5 -0.2,0.5 --drag 0.2,-0.5 1,0.5");
    {
        auto doc = Load(Path("in.celv"));
        ASSERT_TRUE(doc);
        MeshOf(*doc)->GetShape(0)->fMyStyle.fFillCol.SetValue(0, rgb_color { 200, 30, 40, 255 });
        doc->SetPath(Path("in.celv").c_str());
        ASSERT_EQ(doc->Save(""), 0);
    }
    const Result run = RunHarness("--doc " + Path("in.celv")
        + " --tool QV_Eyedropper --drag -0.6,0 -0.6,0 --tool QV_PaintBucket --drag 0.6,0 0.6,0 --save " + Path("out.celv"));
    ASSERT_EQ(run.status, 0) << run.output;
    auto after = Load(Path("out.celv"));
    ASSERT_TRUE(after);
    after->SetCurFrame(0);
    const rgb_color second = MeshOf(*after)->GetShape(1)->fMyStyle.fFillCol.value;
    EXPECT_EQ(int(second.r), 200);
    EXPECT_EQ(int(second.g), 30);
    EXPECT_EQ(int(second.b), 40);
}

// A tool's option changed in one run comes back from the user settings in the next.
TEST_F(DrawTools, TheToolsOptionsAreKeptInThePreferences)
{
    MakeInput("");
    std::FILE* settings = std::fopen(Path("settings.txt").c_str(), "w");
    ASSERT_NE(settings, nullptr);
    std::fclose(settings);
    const Result first = RunHarness("--settings " + Path("settings.txt") + " --doc " + Path("in.celv") + " --tool QV_Rectangle --message 2");
    ASSERT_EQ(first.status, 0) << first.output;
    const Result second = RunHarness("--settings " + Path("settings.txt") + " --doc " + Path("in.celv") + " --tool QV_Rectangle --drag -0.5,-0.5 0.5,0.5 --save " + Path("b.celv"));
    ASSERT_EQ(second.status, 0) << second.output;
    auto doc = Load(Path("b.celv"));
    ASSERT_TRUE(doc);
    ASSERT_EQ(MeshOf(*doc)->GetNumShapes(), 1);
    EXPECT_FALSE(MeshOf(*doc)->GetShape(0)->fHasOutline) << "the outline option was not kept";
}

} // namespace
