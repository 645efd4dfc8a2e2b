#include <gtest/gtest.h>

#include "../lib_vorn/shape_render_support.h"
#include "m_shapestyle.h"
#include "shape_style_factory.h"

namespace {

constexpr float kLine = 4.0f / 64.0f;

// The square of half-size 0.5 about the centre of the 96 x 64 frame: columns 32 .. 64.
M_Shape* CentreSquare(ShapeBench& bench, bool outline)
{
    return bench.Shape(bench.Square(-0.5f, 0.5f, 0.5f, -0.5f), kFillRed, kLineBlue, kLine, true, outline);
}

// Alpha along the row through the centre, from column x0 to x1.
std::vector<int32_t> RowAlpha(const ShapeBench& bench, int32_t x0, int32_t x1)
{
    std::vector<int32_t> alpha;
    for (int32_t x = x0; x <= x1; x++)
        alpha.push_back(ShapeBench::At(bench.target, x, 32)[kAlpha]);
    return alpha;
}

TEST(ShapeRenderStyles, SoftEdgeBlursTheFillWithinItsMargin)
{
    RegisterShapeStyles();
    for (const bool effects : { true, false }) {
        SCOPED_TRACE(effects ? "shape effects" : "no shape effects");
        ShapeBench bench;
        bench.UsePreview();
        bench.settings.fShapeEffects = effects;
        M_Shape* shape = CentreSquare(bench, false);
        // A radius of 6 pixels.
        shape->fMyStyle.SetSoftEdge(6.0f / 64.0f);
        ASSERT_NE(shape->fMyStyle.fEffects[0], nullptr);
        bench.Ready();
        bench.RenderAll();
        if (!effects) {
            // Effects off: an opaque plain shape, drawn directly.
            EXPECT_GT(ShapeBench::AlphaSum(bench.previewBuffer), 0);
            EXPECT_EQ(ShapeBench::AlphaSum(bench.target), 0);
            continue;
        }
        EXPECT_EQ(ShapeBench::AlphaSum(bench.previewBuffer), 0);
        const std::vector<int32_t> row = RowAlpha(bench, 24, 40);
        // Soft on both sides of the border at 32, solid well inside, nothing beyond the margin.
        EXPECT_GT(row[30 - 24], 0);
        EXPECT_LT(row[33 - 24], 255);
        EXPECT_EQ(ShapeBench::At(bench.target, 48, 32)[kAlpha], 255);
        EXPECT_EQ(ShapeBench::At(bench.target, 16, 32)[kAlpha], 0);
        EXPECT_EQ(ShapeBench::At(bench.target, 48, 32)[kRed], kFillRed.r);
    }
}

TEST(ShapeRenderStyles, ShadingDarkensOneSideOfTheFillOnly)
{
    RegisterShapeStyles();
    ShapeBench bench;
    M_Shape* shape = CentreSquare(bench, true);
    // Light from the right (angle 0), black shading, no blur: the left part of the fill darkens.
    shape->fMyStyle.SetShading(0, 12.0f / 64.0f, 0, rgb_color { 0, 0, 0, 255 });
    ASSERT_NE(shape->fMyStyle.fEffects[0], nullptr);
    bench.Ready();
    bench.RenderAll();
    const uint8_t* left = ShapeBench::At(bench.target, 40, 32);
    const uint8_t* middle = ShapeBench::At(bench.target, 52, 32);
    EXPECT_LT(left[kRed], middle[kRed]);
    EXPECT_EQ(middle[kRed], kFillRed.r);
    EXPECT_EQ(left[kAlpha], 255);
    // The outline pass runs no fill effect: the right outline keeps its colour.
    const uint8_t* outline = ShapeBench::At(bench.target, 64, 32);
    EXPECT_EQ(outline[kBlue], kLineBlue.b);
}

} // namespace
