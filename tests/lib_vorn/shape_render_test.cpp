#include <gtest/gtest.h>

#include "shape_render_support.h"

namespace {

// A 96 x 64 document shows world y from -1 (bottom) to 1 (top) over its 64 rows.
constexpr float kLine = 4.0f / 64.0f;

TEST(ShapeRender, SquareLandsWhereTheCameraShowsIt)
{
    ShapeBench bench;
    bench.Shape(bench.Square(-0.5f, 0.5f, 0.5f, -0.5f), kFillRed, kLineBlue, kLine);
    bench.Ready();
    bench.RenderAll();
    const uint8_t* centre = ShapeBench::At(bench.target, 48, 32);
    EXPECT_EQ(centre[kRed], kFillRed.r);
    EXPECT_EQ(centre[kBlue], kFillRed.b);
    EXPECT_EQ(centre[kAlpha], 255);
    // The left side at x = 48 - 16; its outline is 4 pixels wide.
    const uint8_t* edge = ShapeBench::At(bench.target, 32, 32);
    EXPECT_EQ(edge[kBlue], kLineBlue.b);
    EXPECT_EQ(edge[kAlpha], 255);
    EXPECT_EQ(ShapeBench::At(bench.target, 4, 4)[kAlpha], 0);
}

} // namespace
