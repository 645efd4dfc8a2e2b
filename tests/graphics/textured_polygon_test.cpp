#include "blend_tables.h"
#include "pixel_blend.h"
#include "raster_test_support.h"
#include "xgraphics.h"

#include <gtest/gtest.h>

namespace {

// A 32 x 32 context with a quad over pixels 4..11 in both directions, texture corners in order.
struct TexturedFixture : ::testing::Test {
    TexturedFixture()
        : target(32, 32, 32)
    {
        BuildBlendTables();
        g.SetRaster(&target.buffer);
    }
    RasterPolygon Quad(uint8_t kind, float right = 12)
    {
        RasterPolygon list
            = PolygonInPixels(kind, { { 4, 4 }, { right, 4 }, { right, 12 }, { 4, 12 } }, target.buffer);
        const float uv[4][2] = { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } };
        for (int i = 0; i < 4; i++) {
            list.vertices[i].u = uv[i][0];
            list.vertices[i].v = uv[i][1];
        }
        return list;
    }
    void UseTexture(OwnedRaster&& t)
    {
        texture = std::make_unique<OwnedRaster>(std::move(t));
        g.SetTexture(&texture->buffer);
    }
    void Draw(uint8_t kind)
    {
        RasterPolygon list = Quad(kind);
        g.DrawTexturedPolygon(list, true);
    }
    OwnedRaster target;
    XGraphics g;
    std::unique_ptr<OwnedRaster> texture;
};

TEST_F(TexturedFixture, CoversThePixelsOfThePolygonAndWidensItsBounds)
{
    // u runs 0..2 across three texels; the truncated steps stop just short of the last one.
    UseTexture(Texture32(3, 2, [](int32_t x, int32_t) {
        return x == 0 ? 0xFFFF0000u : x == 1 ? 0xFF00FF00u : 0xFF0000FFu;
    }));
    Draw(kRasterTextureFiltered);
    EXPECT_EQ(Painted(target).size(), 64u);
    EXPECT_EQ(target.Get32(4, 4), 0xFFFF0000u);
    EXPECT_EQ(target.Get32(7, 11), 0xFFFF0000u);
    EXPECT_EQ(target.Get32(8, 4), 0xFF00FF00u);
    EXPECT_EQ(target.Get32(11, 11), 0xFF00FF00u);
    EXPECT_EQ(target.Get32(12, 4), 0u);
    EXPECT_FLOAT_EQ(g.fPolygonBounds[0], 4);
    EXPECT_FLOAT_EQ(g.fPolygonBounds[4], 12);
}

TEST_F(TexturedFixture, WorldVerticesBehindTheEyeDrawNothing)
{
    UseTexture(Texture32(1, 1, [](int32_t, int32_t) { return kWhite; }));
    g.BeginDraw();
    QV_Matrix m;
    m.m[0] = 1;
    m.m[5] = 1;
    m.m[3] = -0.1f; // w = 1 - x / 10: points right of x = 10 lie behind the eye
    m.m[12] = 16;
    m.m[13] = 16;
    g.ApplyMatrix(m);
    auto quad = [](float firstX) {
        RasterPolygon list {};
        list.kind = kRasterTextureSkip;
        list.count = 4;
        const float p[4][2] = { { firstX, 0 }, { 4, 0 }, { 4, 4 }, { 0, 4 } };
        for (int i = 0; i < 4; i++) {
            list.vertices[i].x = p[i][0];
            list.vertices[i].y = p[i][1];
        }
        return list;
    };
    RasterPolygon behind = quad(20);
    g.DrawTexturedPolygon(behind, false);
    EXPECT_TRUE(Painted(target).empty());
    RasterPolygon front = quad(0);
    g.DrawTexturedPolygon(front, false);
    EXPECT_FALSE(Painted(target).empty());
}

TEST_F(TexturedFixture, FilteredKindOverTransparentPixels)
{
    const uint32_t texel = Pixel32(100, 200, 100, 50);
    UseTexture(Texture32(1, 1, [texel](int32_t, int32_t) { return texel; }));
    g.fSmoothTexture = true;
    Draw(kRasterTextureFiltered);
    EXPECT_EQ(target.Get32(6, 6), texel) << "smoothed: the sample's colour with its alpha";

    target.Fill32(0);
    g.fSmoothTexture = false;
    Draw(kRasterTextureFiltered);
    uint32_t blended = 0;
    BlendPixel32(&blended, Packed(200, 100, 50, 100));
    EXPECT_EQ(target.Get32(6, 6), (blended & 0x00FFFFFFu) | 100u << 24) << "blended, alpha 0 + 100";

    // The shortcut for alpha 128 averages every byte, then adds 128 to the pixel's alpha.
    target.Fill32(0);
    UseTexture(Texture32(1, 1, [](int32_t, int32_t) { return Pixel32(128, 200, 100, 50); }));
    Draw(kRasterTextureFiltered);
    EXPECT_EQ(target.Get32(6, 6), Pixel32(128, 100, 50, 25));
    target.Fill32(Pixel32(255, 0, 0, 255));
    Draw(kRasterTextureFiltered);
    EXPECT_EQ(target.Get32(6, 6), Pixel32(255, 100, 50, 127 + 25));

    // Opaque texels are stored; clear ones leave the pixel.
    UseTexture(
        Texture32(3, 1, [](int32_t x, int32_t) { return x ? Pixel32(0, 1, 2, 3) : Pixel32(255, 9, 8, 7); }));
    target.Fill32(Pixel32(10, 20, 30, 40));
    Draw(kRasterTextureFiltered);
    EXPECT_EQ(target.Get32(5, 5), Pixel32(255, 9, 8, 7));
    EXPECT_EQ(target.Get32(10, 5), Pixel32(10, 20, 30, 40));
}

TEST_F(TexturedFixture, SkipKindCopiesTexelsOfAlphaFrom128)
{
    for (uint32_t alpha : { 127u, 128u, 255u }) {
        target.Fill32(0);
        UseTexture(Texture32(1, 1, [alpha](int32_t, int32_t) { return Pixel32(alpha, 1, 2, 3); }));
        Draw(kRasterTextureSkip);
        EXPECT_EQ(target.Get32(6, 6), alpha >= 128 ? Pixel32(alpha, 1, 2, 3) : 0u) << alpha;
    }
}

TEST_F(TexturedFixture, CoordinatesSlightlyPastTheTextureAreClamped)
{
    UseTexture(Texture32(4, 4, [](int32_t x, int32_t) { return Pixel32(255, x * 10, 0, 0); }));
    RasterPolygon list = Quad(kRasterTextureSkip);
    list.vertices[1].u = 1.01f;
    list.vertices[2].u = 1.01f;
    g.DrawTexturedPolygon(list, true);
    EXPECT_FLOAT_EQ(list.vertices[1].u, 3);
    EXPECT_EQ(target.Get32(11, 6), Pixel32(255, 20, 0, 0)) << "three texels' worth of truncated steps";
}

TEST_F(TexturedFixture, CheckerModeThinsOnlyTheBlendedKind)
{
    UseTexture(Texture32(1, 1, [](int32_t, int32_t) { return Pixel32(255, 9, 9, 9); }));
    g.SetFillMode(QV_Graphics::kFillChecker);
    Draw(kRasterTextureSkip);
    EXPECT_EQ(Painted(target).size(), 64u);

    target.Fill32(0);
    Draw(kRasterTextureFiltered);
    for (int32_t y = 4; y < 12; y++)
        for (int32_t x = 4; x < 12; x++)
            EXPECT_EQ(target.Get32(x, y) != 0, (x & 4) == (y & 4)) << x << "," << y;
}

// Opaque in its left half, clear in its right; across the quad the opaque texels reach column 7.
OwnedRaster HalfOpaque()
{
    return Texture32(
        16, 1, [](int32_t x, int32_t) { return x >= 8 ? Pixel32(0, 5, 5, 5) : Pixel32(255, 200, 0, 0); });
}

TEST_F(TexturedFixture, ClearMaskModeWritesOnlyTheMask)
{
    UseTexture(HalfOpaque());
    target.Fill32(Pixel32(255, 1, 1, 1));
    g.PushMask(true);
    g.SetFillMode(QV_Graphics::kFillClearMask);
    ASSERT_EQ(g.fFillMode, QV_Graphics::kFillClearMask);
    Draw(kRasterTextureFiltered);
    for (int32_t y = 0; y < 32; y++) {
        for (int32_t x = 0; x < 32; x++) {
            ASSERT_EQ(target.Get32(x, y), Pixel32(255, 1, 1, 1));
            const bool cleared = x >= 4 && x < 8 && y >= 4 && y < 12;
            ASSERT_EQ(g.fMask[y * 32 + x] & g.fMaskBit, cleared ? 0 : g.fMaskBit) << x << "," << y;
        }
    }
}

TEST_F(TexturedFixture, SetMaskAndMaskedModes)
{
    UseTexture(HalfOpaque());
    g.PushMask(false);
    g.SetFillMode(QV_Graphics::kFillSetMask);
    Draw(kRasterTextureSkip);
    EXPECT_TRUE(Painted(target).empty());
    EXPECT_EQ(g.fMask[6 * 32 + 5], g.fMaskBit);
    EXPECT_EQ(g.fMask[6 * 32 + 9], 0);

    // Masked: only where the mask has every bit. A second quad, shifted right, is cut at x = 8.
    g.SetFillMode(QV_Graphics::kFillMasked);
    UseTexture(Texture32(1, 1, [](int32_t, int32_t) { return Pixel32(200, 0, 0, 255); }));
    RasterPolygon list = PolygonInPixels(
        kRasterTextureFiltered, { { 6, 4 }, { 14, 4 }, { 14, 12 }, { 6, 12 } }, target.buffer);
    g.DrawTexturedPolygon(list, true);
    EXPECT_NE(target.Get32(7, 6), 0u);
    EXPECT_EQ(target.Get32(8, 6), 0u);
    EXPECT_EQ(target.Get32(5, 6), 0u);
    uint32_t blended = 0;
    BlendPixel32(&blended, Packed(0, 0, 255, 200));
    EXPECT_EQ(target.Get32(7, 6), (blended & 0x00FFFFFFu) | 200u << 24);
}

TEST_F(TexturedFixture, TexturesOfAnotherPixelSizeAreNotRead)
{
    OwnedRaster small(2, 2, 16);
    g.SetTexture(&small.buffer);
    Draw(kRasterTextureSkip);
    EXPECT_TRUE(Painted(target).empty());
    g.SetTexture(nullptr);
    Draw(kRasterTextureFiltered);
    EXPECT_TRUE(Painted(target).empty());
}

} // namespace
