#include "owned_raster.h"
#include "xgraphics.h"

#include <gtest/gtest.h>

namespace {

struct XGraphicsFixture : ::testing::Test {
    explicit XGraphicsFixture(int32_t width = 140, int32_t height = 140)
        : raster(width, height, 32)
    {
        g.SetRaster(&raster.buffer);
        g.SetColor(255, 255, 255);
    }
    bool Drawn(int32_t x, int32_t y) { return raster.Get32(x, y) != 0; }
    OwnedRaster raster;
    XGraphics g;
};

TEST_F(XGraphicsFixture, SetRasterCentresOnTheTarget)
{
    OwnedRaster large(640, 480, 32);
    EXPECT_EQ(g.SetRaster(&large.buffer), 0);
    EXPECT_FLOAT_EQ(g.fCenterX, 320);
    EXPECT_FLOAT_EQ(g.fCenterY, 240);
    EXPECT_EQ(g.SetRaster(nullptr), -3);
    EXPECT_FLOAT_EQ(g.fCenterX, 320) << "a failed SetRaster keeps the old centre";
    QV_PixelBuffer empty = large.buffer;
    empty.pixels = nullptr;
    EXPECT_EQ(g.SetRaster(&empty), -3);
    EXPECT_FLOAT_EQ(g.fCenterY, 240);
}

TEST_F(XGraphicsFixture, TheDepthRasteriserIsMadeOnFirstUseAndClearedEveryPass)
{
    g.BeginDraw();
    EXPECT_EQ(g.fRaster3D, nullptr);
    QV_Raster3D* r = g.Raster3D();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->fDepthWidth, 140);
    EXPECT_EQ(r->fDepthRows[0][0], QV_Raster3D::kEmptyDepth);
    r->fDepthRows[5][5] = 1234;
    EXPECT_EQ(g.Raster3D(), r);
    EXPECT_EQ(r->fDepthRows[5][5], 1234) << "depths kept within a pass";
    g.BeginDraw();
    EXPECT_EQ(r->fDepthRows[5][5], QV_Raster3D::kEmptyDepth);

    // The rasteriser follows the target's size.
    OwnedRaster other(20, 10, 32);
    g.SetRaster(&other.buffer);
    g.BeginDraw();
    EXPECT_EQ(r->fDepthWidth, 20);
    EXPECT_EQ(r->fTarget.pixels, other.buffer.pixels);
}

TEST_F(XGraphicsFixture, SameHeightTextureKeepsItsRowTable)
{
    OwnedRaster a(8, 6, 32), b(3, 6, 32), c(3, 9, 32);
    g.SetTexture(&a.buffer);
    uint8_t** table = g.fTextureRows.get();
    g.SetTexture(&b.buffer);
    EXPECT_EQ(g.fTextureRows.get(), table);
    EXPECT_EQ(g.fTextureRows[4], b.Row(4));
    EXPECT_EQ(g.fTexture.width, 3);
    g.SetTexture(&c.buffer);
    EXPECT_EQ(g.fTextureRows[8], c.Row(8));
    g.SetTexture(nullptr);
    EXPECT_EQ(g.fTexture.pixels, nullptr);
    EXPECT_EQ(g.fTextureRows, nullptr);
}

// Plain view, world x and y to pixels 2 x + 70.
struct GridFixture : XGraphicsFixture {
    GridFixture()
    {
        g.BeginDraw();
        g.Translate(70, 70);
        g.Scale(2, 2);
    }
};

TEST_F(GridFixture, GridOfOneRunsFromMinus26To25)
{
    g.DrawGrid(1);
    // Row 71 lies between horizontal lines; column 71 between vertical ones.
    EXPECT_TRUE(Drawn(18, 71)) << "x = -26";
    EXPECT_TRUE(Drawn(20, 71)) << "x = -25";
    EXPECT_TRUE(Drawn(120, 71)) << "x = 25";
    EXPECT_FALSE(Drawn(122, 71)) << "x = 26";
    EXPECT_FALSE(Drawn(19, 71));
    EXPECT_TRUE(Drawn(71, 18)) << "y = -26";
    EXPECT_TRUE(Drawn(71, 120));
    EXPECT_FALSE(Drawn(71, 122));
    // Lines reach from -25 to 25 in the other direction.
    EXPECT_TRUE(Drawn(18, 20));
    EXPECT_FALSE(Drawn(18, 17));
    EXPECT_FALSE(Drawn(18, 123));
}

TEST_F(GridFixture, GridOfAHalfStartsHalfASpacingFurtherOut)
{
    g.DrawGrid(0.5f);
    EXPECT_TRUE(Drawn(19, 71)) << "x = -25.5";
    EXPECT_FALSE(Drawn(18, 71));
    EXPECT_TRUE(Drawn(120, 71)) << "x = 25";
    EXPECT_FALSE(Drawn(121, 71)) << "x = 25.5";
}

TEST_F(GridFixture, GridWithoutPositiveSpacingDrawsNothing)
{
    g.DrawGrid(0);
    g.DrawGrid(-2);
    for (int32_t y = 0; y < 140; y++)
        for (int32_t x = 0; x < 140; x++)
            ASSERT_FALSE(Drawn(x, y));
}

TEST(XGraphics, ViewMatrixTakesPixelsToCentredViewUnits)
{
    OwnedRaster raster(200, 100, 32);
    XGraphics g;
    g.SetRaster(&raster.buffer);
    g.BeginDraw();
    QV_Matrix m;
    g.BuildViewMatrix(m, false);
    QV_Vector2 centre { 100, 50 };
    m.Transform(centre);
    EXPECT_NEAR(centre.x, 0, 1e-6);
    EXPECT_NEAR(centre.y, 0, 1e-6);
    QV_Vector2 corner { 150, 0 };
    m.Transform(corner);
    EXPECT_NEAR(corner.x, 1, 1e-6);
    EXPECT_NEAR(corner.y, 1, 1e-6);

    // In a centred, zoomed and panned view: zoom and pan stay in, or are taken out.
    g.fViewMode = QV_Graphics::kViewCentered;
    g.fZoom = 2;
    g.fPanX = 0.25f;
    g.BeginDraw();
    g.BuildViewMatrix(m, false);
    QV_Vector2 kept { 0.5f, 0.25f };
    m.Transform(kept);
    EXPECT_NEAR(kept.x, 1.5f, 1e-5);
    EXPECT_NEAR(kept.y, 0.5f, 1e-5);
    g.BuildViewMatrix(m, true);
    QV_Vector2 removed { 0.5f, 0.25f };
    m.Transform(removed);
    EXPECT_NEAR(removed.x, 0.5f, 1e-5);
    EXPECT_NEAR(removed.y, 0.25f, 1e-5);
}

TEST(XGraphics, OriginMarkerIsACrossWithArrowHeads)
{
    OwnedRaster raster(100, 100, 32);
    XGraphics g;
    g.SetRaster(&raster.buffer);
    g.fViewMode = QV_Graphics::kViewCentered;
    g.BeginDraw();
    g.SetColor(255, 255, 255);
    g.DrawOriginMarker(0, 0);
    auto drawn = [&raster](int32_t x, int32_t y) { return raster.Get32(x, y) != 0; };
    for (int32_t d = -5; d <= 5; d++) {
        EXPECT_TRUE(drawn(50 + d, 50)) << d;
        EXPECT_TRUE(drawn(50, 50 + d)) << d;
    }
    EXPECT_FALSE(drawn(56, 50));
    EXPECT_TRUE(drawn(54, 49)) << "head of +x";
    EXPECT_TRUE(drawn(54, 51));
    EXPECT_TRUE(drawn(49, 46)) << "head of +y, which points up";
    EXPECT_TRUE(drawn(51, 46));
    EXPECT_FALSE(drawn(46, 49)) << "no head at -x";
    EXPECT_FALSE(drawn(49, 54)) << "no head at -y";
}

} // namespace
