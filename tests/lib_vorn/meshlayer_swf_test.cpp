// The vector layer's SWF export through the frame render job, judged by the tests' SWF reader
// and by swf-parser.

#include "blend_tables.h"
#include "drawing_support.h"
#include "m_curve.h"
#include "m_point.h"
#include "meshlayer.h"
#include "mesh_test_support.h"
#include "qv_temp_file.h"
#include "render_job.h"
#include "render_settings.h"
#include "swf.h"
#include "swf_check.h"
#include "vorndoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 100;

class MeshLayerSwfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.SetShape(kWidth, kHeight);
        ASSERT_EQ(image.Allocate(kWidth, kHeight, 32), 0);
        layer = new MeshLayer();
        layer->SetName("Layer 7");
        doc.AddLayer(layer);
        AddSquare(layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, rgb_color { 255, 0, 0, 255 }, rgb_color { 0, 0, 255, 255 },
            0.02f);
    }

    // Renders frames 1 to last into an SWF movie, saves and reads it back.
    SwfReadMovie Export(int32_t last)
    {
        SWFMovie movie = newSWFMovie();
        SWFMovie_setDimension(movie, kWidth, kHeight);
        SWFMovie_setRate(movie, 24);
        RenderSettings settings;
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fImage = &image;
        settings.fStartFrame = 1;
        settings.fEndFrame = last;
        settings.fSWFMovie = movie;
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = 1;
        for (int32_t steps = 0; steps < 1000 && job.RenderFrame(); steps++) {
        }
        EXPECT_EQ(job.LastStatus(), 0);
        const std::string path = std::string(TempFileName().CString()) + ".swf";
        EXPECT_GT(SWFMovie_save(movie, path.c_str(), 9), 0);
        destroySWFMovie(movie);
        SwfReadMovie read;
        ReadJudgedSwf(path, read);
        return read;
    }

    static std::vector<SwfReadPlace> Places(const std::vector<const SwfReadTag*>& frame)
    {
        std::vector<SwfReadPlace> places;
        for (const SwfReadTag* tag : frame) {
            SwfReadPlace place;
            if (DecodeSwfPlace(*tag, place))
                places.push_back(place);
        }
        return places;
    }

    static std::vector<SwfReadShape> Shapes(const std::vector<SwfReadTag>& tags)
    {
        std::vector<SwfReadShape> shapes;
        for (const SwfReadTag* tag : SwfTagsOf(tags, 32)) {
            SwfReadShape shape;
            EXPECT_TRUE(DecodeSwfShape(*tag, shape));
            shapes.push_back(shape);
        }
        return shapes;
    }

    VornDoc doc;
    QV_BaseImage image;
    MeshLayer* layer = nullptr;
};

TEST_F(MeshLayerSwfTest, FlatStaticLayerIsOneLabelledClipPlacedOncePerFrameMovingOnlyItsItem)
{
    layer->fTranslation.SetValue(1, QV_Vector3 { 0, 0, 0 });
    layer->fTranslation.SetValue(3, QV_Vector3 { 0.5f, 0, 0 });
    layer->fRotationZ.SetValue(3, 3.14159265f / 2);
    const SwfReadMovie movie = Export(3);
    const auto sprites = SwfTagsOf(movie.fTags, 39);
    ASSERT_EQ(sprites.size(), 1u);
    const auto labels = SwfTagsOf(sprites[0]->fTags, 43);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(SwfLabel(*labels[0]), "Layer 7");
    EXPECT_EQ(SwfTagsOf(movie.fTags, 32).size(), 1u);  // the geometry is written once

    const auto frames = SwfFrames(movie.fTags);
    ASSERT_EQ(frames.size(), 3u);
    std::vector<SwfReadPlace> placed;
    for (const auto& frame : frames) {
        const auto places = Places(frame);
        ASSERT_EQ(places.size(), 1u);
        EXPECT_EQ(places[0].fCharacterId, sprites[0]->fSpriteId);
        placed.push_back(places[0]);
    }
    // Frame 1 stands where the clip was made; frame 3 has moved right by half a unit (a quarter
    // of the height).
    EXPECT_NEAR(placed[0].fMatrix.A(), 1, 1e-3);
    EXPECT_EQ(placed[0].fMatrix.fTx, kWidth / 2 * 20);
    EXPECT_EQ(placed[2].fMatrix.fTx, (kWidth / 2 + 25) * 20);
    // The clip holds the shapes as drawn at frame 1; the item turns by what the layer turned since.
    const float angle = layer->fRotationZ.GetValue(3) - layer->fRotationZ.GetValue(1);
    EXPECT_NEAR(placed[2].fMatrix.A(), std::cos(angle), 1e-3);
    EXPECT_NEAR(std::fabs(placed[2].fMatrix.B()), std::sin(angle), 1e-3);
    EXPECT_NEAR(placed[2].fMatrix.A() * placed[2].fMatrix.A() + placed[2].fMatrix.B() * placed[2].fMatrix.B(), 1, 1e-3);
}

TEST_F(MeshLayerSwfTest, MirroredStaticLayerGetsANegativeXScale)
{
    layer->fFlipH.SetValue(2, true);
    const SwfReadMovie movie = Export(2);
    const auto frames = SwfFrames(movie.fTags);
    ASSERT_EQ(frames.size(), 2u);
    const auto first = Places(frames[0]);
    const auto second = Places(frames[1]);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_GT(first[0].fMatrix.A(), 0);
    EXPECT_LT(second[0].fMatrix.A(), 0);
    EXPECT_NEAR(second[0].fMatrix.D(), 1, 1e-3);
}

TEST_F(MeshLayerSwfTest, HalfOpacityOfAStaticLayerGoesToItsItemsColourMultiplier)
{
    layer->fAlpha.SetValue(0, 0.5f);
    const SwfReadMovie movie = Export(1);
    const auto places = Places(SwfFrames(movie.fTags)[0]);
    ASSERT_EQ(places.size(), 1u);
    ASSERT_TRUE(places[0].fColor.fPresent);
    EXPECT_EQ(places[0].fColor.fA, 128);
    const auto shapes = Shapes(movie.fTags);
    ASSERT_EQ(shapes.size(), 1u);
    ASSERT_EQ(shapes[0].fFills.size(), 1u);
    EXPECT_EQ(shapes[0].fFills[0].fRgba[3], 255);
}

TEST_F(MeshLayerSwfTest, HalfOpacityOfAMovingLayerScalesItsColoursAlphas)
{
    layer->fAlpha.SetValue(0, 0.5f);
    // Two keys on a point: rebuilt every frame, straight into the movie.
    M_Point* point = layer->fMesh.fPoints[0];
    point->fAnimPos.SetValue(1, point->fAnimPos.GetValue(0));
    point->fAnimPos.SetValue(2, QV_Vector2 { -0.6f, -0.6f });
    const SwfReadMovie movie = Export(2);
    EXPECT_TRUE(SwfTagsOf(movie.fTags, 39).empty());
    const auto frames = SwfFrames(movie.fTags);
    ASSERT_EQ(frames.size(), 2u);
    const auto shapes = Shapes(movie.fTags);
    ASSERT_EQ(shapes.size(), 2u);  // one per frame
    BuildBlendTables();
    for (const SwfReadShape& shape : shapes) {
        ASSERT_EQ(shape.fFills.size(), 1u);
        ASSERT_EQ(shape.fLines.size(), 1u);
        EXPECT_EQ(shape.fFills[0].fRgba[3], BlendMulTable[255][128]);
        EXPECT_EQ(shape.fLines[0].fRgba[3], BlendMulTable[255][128]);
    }
    // Each frame's shape is taken away after its frame.
    EXPECT_EQ(SwfTagsOf(movie.fTags, 28).size(), 2u);
}

TEST_F(MeshLayerSwfTest, CombinedShapeTracesTheSquareInOutputPixelsWithItsLine)
{
    M_Point* point = layer->fMesh.fPoints[0];
    point->fAnimPos.SetValue(1, point->fAnimPos.GetValue(0));
    point->fAnimPos.SetValue(2, point->fAnimPos.GetValue(0));
    const SwfReadMovie movie = Export(1);
    const auto shapes = Shapes(movie.fTags);
    ASSERT_EQ(shapes.size(), 1u);
    const SwfReadShape& s = shapes[0];
    ASSERT_EQ(s.fLines.size(), 1u);
    // 0.02 of the 100-pixel height: 2 pixels.
    EXPECT_EQ(s.fLines[0].fWidth, 40);
    ASSERT_FALSE(s.fEdges.empty());
    EXPECT_EQ(s.fEdges[0].fKind, SwfReadEdge::kMove);
    // Half a unit is a quarter of the height: every point, control points too, lies on the
    // square (100 +- 25, 50 +- 25) pixels.
    auto onSquare = [](int32_t x, int32_t y) { return std::abs(x - 2000) == 500 || std::abs(y - 1000) == 500; };
    for (const SwfReadEdge& e : s.fEdges) {
        EXPECT_TRUE(onSquare(e.fX, e.fY)) << e.fX << "," << e.fY;
        EXPECT_TRUE(onSquare(e.fCx, e.fCy)) << e.fCx << "," << e.fCy;
    }
}

TEST_F(MeshLayerSwfTest, ExtraSwfFrameAddsAFrameAfterTheLast)
{
    doc.fExtraSwfFrame = true;
    const SwfReadMovie movie = Export(2);
    EXPECT_EQ(movie.fFrames, 3);
    const auto frames = SwfFrames(movie.fTags);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_TRUE(Places(frames[2]).empty());
}

} // namespace
