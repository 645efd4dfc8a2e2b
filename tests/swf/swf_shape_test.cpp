#include "swf.h"
#include "swf_check.h"
#include "swf_test_files.h"

namespace {

// Saves a movie showing the shape and decodes the shape back.
SwfReadShape SaveAndRead(SWFShape shape)
{
    SWFMovie movie = newSWFMovie();
    SWFMovie_add(movie, shape);
    const std::string path = SwfTestPath(".swf");
    EXPECT_GT(SWFMovie_save(movie, path.c_str(), 9), 0);
    destroySWFMovie(movie);
    SwfReadMovie read;
    ReadJudgedSwf(path, read);
    SwfReadShape decoded;
    const auto shapes = SwfTagsOf(read.fTags, 32);
    EXPECT_EQ(shapes.size(), 1u);
    if (!shapes.empty()) {
        EXPECT_TRUE(DecodeSwfShape(*shapes[0], decoded));
    }
    return decoded;
}

TEST(SwfShape, PenMovesLinesAndCurvesInAbsolutePixelsWithTheStylesThatFollow)
{
    SWFShape shape = newSWFShape();
    SWFFill red = SWFShape_addSolidFill(shape, 255, 0, 0, 128);
    SWFFill blue = SWFShape_addSolidFill(shape, 0, 0, 255, 255);
    SWFShape_setRightFill(shape, red);
    SWFShape_setLine(shape, 2, 0, 255, 0, 200);
    SWFShape_movePenTo(shape, 10.5f, -3);
    SWFShape_drawLineTo(shape, 20, -3);
    SWFShape_drawCurveTo(shape, 30, 0, 20, 10);
    SWFShape_setLine(shape, 0, 1, 1, 1, 1);  // no line
    SWFShape_setRightFill(shape, blue);
    SWFShape_drawLineTo(shape, 10.5f, -3);
    SWFShape_end(shape);
    SWFShape_drawLineTo(shape, 99, 99);  // after the end: nothing
    destroySWFFill(red);
    destroySWFFill(blue);
    const SwfReadShape s = SaveAndRead(shape);
    destroySWFShape(shape);

    ASSERT_EQ(s.fFills.size(), 2u);
    EXPECT_EQ(s.fFills[0].fType, 0);
    EXPECT_EQ((std::vector<int>(s.fFills[0].fRgba, s.fFills[0].fRgba + 4)), (std::vector<int> { 255, 0, 0, 128 }));
    ASSERT_EQ(s.fLines.size(), 1u);
    EXPECT_EQ(s.fLines[0].fWidth, 40);
    EXPECT_EQ(s.fLines[0].fRgba[3], 200);
    ASSERT_EQ(s.fEdges.size(), 4u);
    EXPECT_EQ(s.fEdges[0].fKind, SwfReadEdge::kMove);
    EXPECT_EQ(s.fEdges[0].fX, 210);
    EXPECT_EQ(s.fEdges[0].fY, -60);
    EXPECT_EQ(s.fEdges[1].fKind, SwfReadEdge::kLine);
    EXPECT_EQ(s.fEdges[1].fX, 400);
    EXPECT_EQ(s.fEdges[1].fFill, 1);
    EXPECT_EQ(s.fEdges[1].fLine, 1);
    EXPECT_EQ(s.fEdges[2].fKind, SwfReadEdge::kCurve);
    EXPECT_EQ(s.fEdges[2].fCx, 600);
    EXPECT_EQ(s.fEdges[2].fCy, 0);
    EXPECT_EQ(s.fEdges[2].fX, 400);
    EXPECT_EQ(s.fEdges[2].fY, 200);
    EXPECT_EQ(s.fEdges[3].fX, 210);
    EXPECT_EQ(s.fEdges[3].fY, -60);
    EXPECT_EQ(s.fEdges[3].fFill, 2);
    EXPECT_EQ(s.fEdges[3].fLine, 0);
    // Bounds reach every point and half the line width beyond.
    EXPECT_EQ(s.fBounds.fXMin, 210 - 20);
    EXPECT_EQ(s.fBounds.fXMax, 600 + 20);
    EXPECT_EQ(s.fBounds.fYMin, -60 - 20);
    EXPECT_EQ(s.fBounds.fYMax, 200 + 20);
}

TEST(SwfShape, EdgesTooLongForOneRecordAreSplitAndStillEndExactly)
{
    SWFShape shape = newSWFShape();
    SWFShape_setLine(shape, 1, 0, 0, 0, 255);
    SWFShape_movePenTo(shape, -5000, 0);
    SWFShape_drawLineTo(shape, 5000, 1);
    SWFShape_drawCurveTo(shape, 9000, -9000, -7000, 3333.35f);
    const SwfReadShape s = SaveAndRead(shape);
    destroySWFShape(shape);

    ASSERT_GT(s.fEdges.size(), 3u);
    for (const SwfReadEdge& e : s.fEdges)
        EXPECT_LE(e.fBits, 17);
    EXPECT_EQ(s.fEdges.back().fKind, SwfReadEdge::kCurve);
    EXPECT_EQ(s.fEdges.back().fX, -140000);
    EXPECT_EQ(s.fEdges.back().fY, 66667);
    int lines = 0;
    for (const SwfReadEdge& e : s.fEdges) {
        if (e.fKind == SwfReadEdge::kLine)
            ++lines;
        if (e.fKind == SwfReadEdge::kLine && e.fX == 100000) {
            EXPECT_EQ(e.fY, 20);
        }
    }
    EXPECT_GE(lines, 2);
}

TEST(SwfShape, CoordinatesBeyondTheFormatsReachAreClampedNotWrapped)
{
    // Pixels past 2^30 twips would need bit counts the 5-bit fields cannot state.
    SWFShape shape = newSWFShape();
    SWFShape_setLine(shape, 1, 0, 0, 0, 255);
    SWFShape_movePenTo(shape, 1e12f, -1e12f);
    SWFShape_drawLineTo(shape, 0, 0);
    const SwfReadShape s = SaveAndRead(shape);
    destroySWFShape(shape);

    EXPECT_EQ(s.fBounds.fXMax, 1073741823);
    EXPECT_EQ(s.fBounds.fYMin, -1073741823);
    ASSERT_FALSE(s.fEdges.empty());
    EXPECT_EQ(s.fEdges.back().fX, 0);
    EXPECT_EQ(s.fEdges.back().fY, 0);
}

TEST(SwfShape, GradientStopsSortedAtMostFifteenAndFillTransformsComposeInCallOrder)
{
    SWFShape shape = newSWFShape();
    SWFGradient gradient = newSWFGradient();
    SWFGradient_addEntry(gradient, 1.0f, 0, 0, 0, 255);
    SWFGradient_addEntry(gradient, 0.0f, 255, 255, 255, 255);
    SWFGradient_addEntry(gradient, 0.5f, 9, 9, 9, 99);
    for (int i = 0; i < 20; ++i)
        SWFGradient_addEntry(gradient, 0.25f, 1, 2, 3, 4);
    SWFFill fill = SWFShape_addGradientFill(shape, gradient, 0x12);
    SWFFill_rotate(fill, 90);
    SWFFill_scaleXY(fill, 0.5f, 0.5f);
    SWFFill_move(fill, 10, 20);
    SWFFill linear = SWFShape_addGradientFill(shape, gradient, 0x10);
    SWFFill_move(linear, 1, 1);
    SWFFill_moveTo(linear, -3, 4);  // replaces the translation
    SWFFill_scaleXY(linear, 2, 3);   // scales it too: it composes after
    EXPECT_EQ(SWFShape_addGradientFill(shape, gradient, 0x41), nullptr);
    destroySWFGradient(gradient);  // the fills hold it
    SWFShape_setRightFill(shape, fill);
    SWFShape_movePenTo(shape, 0, 0);
    SWFShape_drawLineTo(shape, 10, 0);
    SWFShape_drawLineTo(shape, 0, 0);
    destroySWFFill(fill);
    destroySWFFill(linear);
    const SwfReadShape s = SaveAndRead(shape);
    destroySWFShape(shape);

    ASSERT_EQ(s.fFills.size(), 2u);
    const SwfReadFill& radial = s.fFills[0];
    EXPECT_EQ(radial.fType, 0x12);
    ASSERT_EQ(radial.fStops.size(), 15u);
    EXPECT_EQ(radial.fStops.front().fRatio, 0);
    EXPECT_EQ(radial.fStops.front().fRgba[0], 255);
    EXPECT_EQ(radial.fStops[1].fRatio, 64);
    EXPECT_EQ(radial.fStops[13].fRatio, 128);
    EXPECT_EQ(radial.fStops[13].fRgba[3], 99);
    EXPECT_EQ(radial.fStops.back().fRatio, 255);
    // Rotated a quarter turn counter-clockwise on screen, halved, then moved.
    EXPECT_NEAR(radial.fMatrix.A(), 0, 1e-4);
    EXPECT_NEAR(radial.fMatrix.B(), -0.5, 1e-4);
    EXPECT_NEAR(radial.fMatrix.C(), 0.5, 1e-4);
    EXPECT_NEAR(radial.fMatrix.D(), 0, 1e-4);
    EXPECT_EQ(radial.fMatrix.fTx, 200);
    EXPECT_EQ(radial.fMatrix.fTy, 400);
    const SwfReadFill& lin = s.fFills[1];
    EXPECT_EQ(lin.fType, 0x10);
    EXPECT_NEAR(lin.fMatrix.A(), 2, 1e-4);
    EXPECT_NEAR(lin.fMatrix.D(), 3, 1e-4);
    EXPECT_EQ(lin.fMatrix.fTx, -120);
    EXPECT_EQ(lin.fMatrix.fTy, 240);
}

}  // namespace
