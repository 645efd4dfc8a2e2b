// Older meshes and skeletons: their clean-up, their current records, and damaged blocks.
#include <gtest/gtest.h>

#include <string>

#include "older_test_support.h"

namespace {

std::string Convert(const std::string& document, bool* ok = nullptr)
{
    TempFolder folder;
    return ConvertFile(folder.Write("doc.vorn", document), ok);
}

std::string MeshDocument(const std::string& block, int version = 10)
{
    return OlderDocument(version, "layer 1\ncMesh\n" + block + "end_cMesh\nend_layer\n");
}

// A point on one curve at the given place, at (x, 0).
std::string Point(int x, int curve, int index)
{
    return "1 0 0 1 " + std::to_string(x) + " 0 -1 -1 1 " + std::to_string(curve) + " " + std::to_string(index) + "\n";
}

std::string CurvePoint(int point) { return std::to_string(point) + " 1 0 0 1 0.3\n"; }

// Two points on an open curve.
const std::string kLine = "num_points 2\n" + Point(0, 0, 0) + Point(1, 0, 1) + "num_curves 1\n2 false\n" + CurvePoint(0)
    + CurvePoint(1);

std::string Shape(const char* name, bool fill, const std::string& edges, int count, float width = 0)
{
    return std::string("\"") + name + "\" " + std::to_string(count) + (fill ? " true" : " false")
        + " 1 0 0 1 255 0 0 255 " + std::to_string(width) + " 1 0 0 1 0 0 0 255 -1 -1 -1\n" + edges + "\n";
}

// A version-9 skeleton of one bone with the given parent number.
std::string Skeleton(const char* parent)
{
    return OlderDocument(9, std::string("layer 4\ncSkeleton\nnum_bones 1\n\"b\" ") + parent
            + " -1 1 -1 1 1 -1 1 0.3 false -1 1\n1 0 0 1 0 0\n1 0 0 1 1\n1 0 0 1 1\n1 0 0 1 false\n1 0 0 1 0 0\n"
              "1 0 0 1 0\nend_cSkeleton\nend_layer\n");
}

std::string Section(const std::string& text, const char* from, const char* to)
{
    const size_t a = text.find(from);
    const size_t b = text.find(to, a);
    return a == std::string::npos ? std::string() : text.substr(a, b - a);
}

} // namespace

TEST(OlderMesh, CleanUpRemovesWhatCannotBeDrawn)
{
    // A point that no curve uses goes, and the numbers after it follow.
    const std::string unused = Convert(MeshDocument("num_points 3\n1 0 0 1 5 5 -1 -1 0\n" + Point(0, 0, 0)
        + Point(1, 0, 1) + "num_curves 1\n2 false\n" + CurvePoint(1) + CurvePoint(2)
        + "num_groups 2\n\"both\" 2 1 2\n\"gone\" 1 7\n"));
    EXPECT_TRUE(HasTokens(unused, "points 2")) << unused;
    EXPECT_TRUE(HasTokens(unused, "curves 1 2 false 0 true [ keys 1 0 1 -1 -1 0.3 ] 1 true"));
    EXPECT_TRUE(HasTokens(unused, "groups 1 \"both\" 2 0 1 ]"));

    // A curve of one point goes with every shape that has an edge on it; its point goes on writing.
    const std::string single = Convert(MeshDocument("num_points 3\n" + Point(0, 0, 0) + Point(1, 0, 1)
        + Point(2, 1, 0) + "num_curves 2\n2 false\n" + CurvePoint(0) + CurvePoint(1) + "1 false\n" + CurvePoint(2)
        + "num_shapes 2\n" + Shape("onSingle", false, "0 0 1 0", 2) + Shape("kept", false, "0 0 0 1", 2)));
    EXPECT_TRUE(HasTokens(single, "points 2"));
    EXPECT_TRUE(HasTokens(single, "curves 1"));
    EXPECT_TRUE(HasTokens(single, "shapes 1 \"kept\""));
    EXPECT_FALSE(HasTokens(single, "\"onSingle\""));

    // A filled shape of one edge goes; an unfilled one stays. Edges naming no segment go first.
    const std::string edges = Convert(MeshDocument(kLine + "num_shapes 3\n" + Shape("filled", true, "0 0", 1)
        + Shape("outline", false, "0 0", 1, 0.01f) + Shape("badEdges", false, "0 0 3 0 0 9", 3)));
    EXPECT_TRUE(HasTokens(edges, "shapes 2 \"outline\" false false true 1 0 0"));
    EXPECT_TRUE(HasTokens(edges, "\"badEdges\" false false false 1 0 0"));
    EXPECT_TRUE(HasTokens(edges, "false 0.01 false [ keys 1 0 1 -1 -1 0 0 0 1 ]"));
    EXPECT_FALSE(HasTokens(edges, "\"filled\""));
}

TEST(OlderMesh, ShapesWriteTheCurrentStyle)
{
    const std::string text = Convert(MeshDocument(kLine + "num_shapes 1\n\"S\" 1 false 1 0 0 1 255 0 0 255 0 "
        "1 0 0 1 0 0 0 255 2 0.02 3 0.1 0.02 0.2 0.04 0.5 300 0 0 255 5 1 0 0 1 1 2 0 0 0 0 0 0 255 48 1 0 0 255 255 1 0 0 1 0 0 0 255 true\n"
        "0 0\n"));
    EXPECT_TRUE(HasTokens(text, "\"\" false [ keys 1 0 1 -1 -1 1 0 0 1 ] false 0 false [ keys 1 0 1 -1 -1 0 0 0 1 ] "
                                "\"\" false 6.283185 0.25 true 2 0.02 3 0.1 0.02 0.2 0.04 0.5 255 0 0 255 5 "
                                "[ keys 1 0 1 -1 -1 1 ] [ keys 2 0 0 -1 -1 0 0 0 1 48 1 -1 -1 0 0 1 1 ] "
                                "[ keys 1 0 1 -1 -1 0 0 0 1 ] true \"\" \"\""))
        << text;
    // The gradient's colour keys count in the document's frame range.
    EXPECT_TRUE(HasTokens(text, "frame_range 1 48"));

    const std::string texture = Convert(MeshDocument(kLine + "num_shapes 1\n\"T\" 1 false 1 0 0 1 255 0 0 255 0 "
        "1 0 0 1 0 0 0 255 -1 6 \"grain.png\" 2 8 0.01 0.5\n0 0\n"));
    EXPECT_TRUE(HasTokens(texture, "-1 6 \"grain.png\" 2 8 0.01 0.5 \"\" \"\""));
}

TEST(OlderMesh, BlocksAppendAndBonesOfVersion8GetDefaults)
{
    const std::string twice = Convert(OlderDocument(10, "layer 1\ncMesh\n" + kLine + "end_cMesh\ncMesh\n" + kLine
        + "num_shapes 1\n" + Shape("second", false, "0 0", 1) + "num_groups 1\n\"g\" 2 0 1\nend_cMesh\nend_layer\n"));
    EXPECT_TRUE(HasTokens(twice, "points 4"));
    EXPECT_TRUE(HasTokens(Section(twice, "\npoints", "curves"), "-1 -1 0 0 ] -1 -1 false 1 1 0"));
    EXPECT_TRUE(HasTokens(twice, "curves 2 2 false 0 true"));
    EXPECT_TRUE(HasTokens(twice, "2 false 2 true [ keys 1 0 1 -1 -1 0.3 ] 3 true"));
    EXPECT_TRUE(HasTokens(twice, "\"second\" false false false 1 1 0"));
    EXPECT_TRUE(HasTokens(twice, "groups 1 \"g\" 2 2 3 ]"));

    const std::string bone = "\"b\" -1 -1 1 -1 1 1 0.3 false -1 1\n1 0 0 1 0 0\n1 0 0 1 1\n"
                             "1 0 0 1 false\n1 0 0 1 0 0\n1 0 0 1 0\n";
    const std::string old = Convert(OlderDocument(8, "layer 4\ncSkeleton\nnum_bones 1\n" + bone + "end_cSkeleton\nend_layer\n"));
    EXPECT_TRUE(HasTokens(old, "bones 1 \"b\" -1 -1 1 -1 1 1 -1 1 false 0.3 1 0 0 false -1 1 false 1 1 1 "
                               "[ keys 1 0 1 -1 -1 0 0 ] [ keys 1 0 1 -1 -1 1 ] [ keys 1 0 1 -1 -1 1 ] "
                               "[ keys 1 0 1 -1 -1 false ]"))
        << old;
}

TEST(OlderMesh, DamagedBlocksFailTheFile)
{
    const std::string shape = "num_shapes 1\n" + Shape("s", false, "0 0", 1);
    const struct {
        const char* name;
        std::string document;
    } cases[] = {
        { "effect index 9", MeshDocument(kLine + "num_shapes 1\n\"s\" 1 false 1 0 0 1 1 1 1 1 0 1 0 0 1 0 0 0 1 9 -1 -1\n0 0\n") },
        { "unknown word", MeshDocument(kLine + "sparkle\n") },
        { "negative count", MeshDocument("num_points -1\n") },
        { "count beyond the file", MeshDocument("num_points 2000000000\n") },
        { "membership names no curve",
            MeshDocument("num_points 2\n" + Point(0, 5, 0) + Point(1, 0, 1) + "num_curves 1\n2 false\n" + CurvePoint(0) + CurvePoint(1)) },
        { "curve names no point",
            MeshDocument("num_points 2\n" + Point(0, 0, 0) + Point(1, 0, 1) + "num_curves 1\n2 false\n" + CurvePoint(0) + CurvePoint(9)) },
        { "memberships do not mirror the curve",
            MeshDocument("num_points 2\n" + Point(0, 0, 1) + Point(1, 0, 0) + "num_curves 1\n2 false\n" + CurvePoint(0) + CurvePoint(1)) },
        { "a point twice in one place",
            MeshDocument("num_points 2\n1 0 0 1 0 0 -1 -1 2 0 0 0 0\n" + Point(1, 0, 1) + "num_curves 1\n2 false\n" + CurvePoint(0) + CurvePoint(1)) },
        { "file ends inside the block", OlderDocument(10, "layer 1\ncMesh\n" + kLine) },
        { "bone parent outside the skeleton", Skeleton("3") },
        { "bone parent below -1", Skeleton("-2") },
        { "unknown word in a skeleton", OlderDocument(9, "layer 4\ncSkeleton\nbones 1\nend_cSkeleton\nend_layer\n") },
    };
    for (const auto& c : cases) {
        bool ok = true;
        Convert(c.document, &ok);
        EXPECT_FALSE(ok) << c.name;
    }
    bool ok = false;
    Convert(MeshDocument(kLine + shape), &ok);
    EXPECT_TRUE(ok);
    Convert(Skeleton("-1"), &ok);
    EXPECT_TRUE(ok);
}
