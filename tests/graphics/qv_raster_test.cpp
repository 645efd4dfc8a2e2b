#include "qv_raster.h"
#include "raster_test_support.h"
#include "shade_ramps.h"
#include "system_palette.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Keeps the edges every span is handed, for looking at the walk itself.
class RecordingRaster : public QV_Raster {
public:
    void FillSpan(int32_t row, RasterEdge& left, RasterEdge& right, uint8_t kind) override
    {
        spans.push_back(Span { row, left, right });
        QV_Raster::FillSpan(row, left, right, kind);
    }
    struct Span {
        int32_t row;
        RasterEdge left;
        RasterEdge right;
    };
    std::vector<Span> spans;
};

struct RasterFixture : ::testing::Test {
    RasterFixture()
        : target(64, 64, 32)
    {
        raster.SetRaster(target.buffer, nullptr);
        raster.SetColor(255, 255, 255);
    }
    OwnedRaster target;
    QV_Raster raster;
};

TEST_F(RasterFixture, RowsAreThoseWhoseCentreLiesBelowTheTopAndNotBelowTheBottom)
{
    // Top vertex exactly on the centre of row 10, bottom edge on the centre of row 20.
    RasterPolygon list
        = PolygonInPixels(kRasterFlat, { { 10, 10.5f }, { 40, 20.5f }, { 5, 20.5f } }, target.buffer);
    raster.DrawPolygon(list);
    EXPECT_FALSE(RowPainted(target, 10));
    EXPECT_TRUE(RowPainted(target, 11));
    EXPECT_TRUE(RowPainted(target, 20));
    EXPECT_FALSE(RowPainted(target, 21));
    // Columns follow the same rule: pixel 5 has its centre right of the left edge at row 20.
    EXPECT_EQ(target.Get32(5, 20), kWhite);
    EXPECT_EQ(target.Get32(4, 20), 0u);
    EXPECT_EQ(target.Get32(39, 20), kWhite);
    EXPECT_EQ(target.Get32(40, 20), 0u);
}

TEST_F(RasterFixture, OfTwoTopVerticesTheLowerIndexStartsTheChains)
{
    // An M whose two peaks share the smallest y. The chains run from the top vertex, so only the
    // peak that starts them is filled above the middle vertex.
    RasterPolygon list = PolygonInPixels(
        kRasterFlat, { { 10, 10 }, { 20, 25 }, { 30, 10 }, { 30, 30 }, { 10, 30 } }, target.buffer);
    raster.DrawPolygon(list);
    EXPECT_EQ(target.Get32(12, 15), kWhite) << "peak of vertex 0";
    EXPECT_EQ(target.Get32(28, 15), 0u) << "peak of vertex 2";

    OwnedRaster other(64, 64, 32);
    raster.SetRaster(other.buffer, nullptr);
    RasterPolygon turned = PolygonInPixels(
        kRasterFlat, { { 30, 10 }, { 30, 30 }, { 10, 30 }, { 10, 10 }, { 20, 25 } }, other.buffer);
    raster.DrawPolygon(turned);
    EXPECT_EQ(other.Get32(28, 15), kWhite);
    EXPECT_EQ(other.Get32(12, 15), 0u);
}

TEST_F(RasterFixture, HorizontalEdgesAreSetUpAndPassedOver)
{
    RecordingRaster recorder;
    recorder.SetRaster(target.buffer, nullptr);
    RasterPolygon list
        = PolygonInPixels(kRasterFlat, { { 10, 10 }, { 30, 10 }, { 30, 20 }, { 10, 20 } }, target.buffer);
    recorder.DrawPolygon(list);
    ASSERT_EQ(recorder.spans.size(), 10u);
    EXPECT_EQ(recorder.spans.front().row, 10);
    EXPECT_EQ(recorder.spans.back().row, 19);
    for (const auto& span : recorder.spans) {
        EXPECT_EQ(span.left.x, 10 << 16);
        EXPECT_EQ(span.right.x, 30 << 16);
    }
}

TEST_F(RasterFixture, APolygonAtTheRightEdgeIsRejectedAndLeavesTheBounds)
{
    const float sentinel[6] = { 1e6f, 1e6f, 1e6f, -1e6f, -1e6f, -1e6f };
    std::copy(sentinel, sentinel + 6, raster.fBounds);
    RasterPolygon list = PolygonInPixels(kRasterFlat, { { 64, 10 }, { 70, 20 }, { 64, 30 } }, target.buffer);
    raster.DrawPolygon(list);
    EXPECT_TRUE(Painted(target).empty());
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(raster.fBounds[i], sentinel[i]) << i;

    // A hair inside, the box is taken into the bounds.
    RasterPolygon inside
        = PolygonInPixels(kRasterFlat, { { 63.5f, 10 }, { 70, 20 }, { 63.5f, 30 } }, target.buffer);
    raster.DrawPolygon(inside);
    EXPECT_FLOAT_EQ(raster.fBounds[0], 63.5f);
    EXPECT_FLOAT_EQ(raster.fBounds[1], 10);
    EXPECT_FLOAT_EQ(raster.fBounds[3], 70);
    EXPECT_FLOAT_EQ(raster.fBounds[4], 30);
}

TEST_F(RasterFixture, EvenRowsOnlyKeepsOddRowsWhileTheEdgesGoOn)
{
    OwnedRaster reference(64, 64, 32);
    QV_Raster full;
    full.SetRaster(reference.buffer, nullptr);
    full.SetColor(255, 255, 255);
    RasterPolygon a = PolygonInPixels(kRasterFlat, { { 8, 4 }, { 60, 30 }, { 2, 50 } }, reference.buffer);
    full.DrawPolygon(a);

    target.Fill32(0xFF112233u);
    raster.fEvenRowsOnly = true;
    RasterPolygon b = PolygonInPixels(kRasterFlat, { { 8, 4 }, { 60, 30 }, { 2, 50 } }, target.buffer);
    raster.DrawPolygon(b);
    for (int32_t y = 0; y < 64; y++) {
        for (int32_t x = 0; x < 64; x++) {
            if (y % 2 == 1)
                ASSERT_EQ(target.Get32(x, y), 0xFF112233u) << x << "," << y;
            else
                ASSERT_EQ(target.Get32(x, y) == kWhite, reference.Get32(x, y) == kWhite) << x << "," << y;
        }
    }
}

TEST_F(RasterFixture, TexelCoordinatesAreClampedUnlessTheTextureRepeats)
{
    OwnedRaster texture = Texture32(10, 4, [](int32_t, int32_t) { return kWhite; });
    raster.SetTexture(&texture.buffer);
    struct Case {
        bool wrap;
        float u;
        float v;
        float expectU;
        float expectV;
    } cases[] = {
        { false, 1.2f, -0.5f, 9, 0 },
        { true, 1.2f, -0.5f, 12, -2 },
        { false, 0.5f, 0.5f, 5, 2 },
    };
    for (const Case& c : cases) {
        raster.fWrap = c.wrap;
        RasterPolygon list
            = PolygonInPixels(kRasterTexture, { { 10, 10 }, { 20, 10 }, { 15, 20 } }, target.buffer);
        list.vertices[0].u = c.u;
        list.vertices[0].v = c.v;
        raster.DrawPolygon(list);
        EXPECT_FLOAT_EQ(list.vertices[0].u, c.expectU) << c.wrap;
        EXPECT_FLOAT_EQ(list.vertices[0].v, c.expectV) << c.wrap;
    }
    // Kinds without a texture keep u and v as given.
    RasterPolygon flat = PolygonInPixels(kRasterFlat, { { 10, 10 }, { 20, 10 }, { 15, 20 } }, target.buffer);
    flat.vertices[0].u = 1.2f;
    raster.DrawPolygon(flat);
    EXPECT_FLOAT_EQ(flat.vertices[0].u, 1.2f);
}

TEST_F(RasterFixture, DepthIsScaledThenClampedAgainInFixedPoint)
{
    RecordingRaster recorder;
    recorder.SetRaster(target.buffer, nullptr);
    RasterPolygon list
        = PolygonInPixels(kRasterFlat, { { 10, 10 }, { 30, 10 }, { 30, 20 }, { 10, 20 } }, target.buffer);
    for (int32_t i = 0; i < list.count; i++) {
        list.vertices[i].z = 2.0f;
        list.vertices[i].shade = 3.0f;
        list.vertices[i].r = -1.0f;
    }
    recorder.DrawPolygon(list);
    EXPECT_FLOAT_EQ(list.vertices[0].z, 32768);
    EXPECT_FLOAT_EQ(list.vertices[0].shade, 255);
    EXPECT_FLOAT_EQ(list.vertices[0].r, 0);
    ASSERT_FALSE(recorder.spans.empty());
    EXPECT_EQ(recorder.spans[0].left.z, 32760 * 65536);
    EXPECT_EQ(recorder.spans[0].left.shade, 255 * 65536);
}

TEST_F(RasterFixture, DrawingAListTwiceMapsTheMappedPixelsAgain)
{
    RasterPolygon list = PolygonInPixels(kRasterFlat, { { 32, 32 }, { 40, 32 }, { 36, 40 } }, target.buffer);
    raster.DrawPolygon(list);
    EXPECT_FLOAT_EQ(list.vertices[1].x, 40);
    raster.DrawPolygon(list);
    EXPECT_FLOAT_EQ(list.vertices[1].x, 40 * 32 + 32);
}

TEST_F(RasterFixture, ACountTheListCannotHoldIsRefused)
{
    RasterPolygon list
        = PolygonInPixels(kRasterFlat, { { 10, 10 }, { 30, 10 }, { 30, 20 }, { 10, 20 } }, target.buffer);
    // The record has room for eight vertices; a larger count would send the walk past it.
    list.count = 9;
    raster.DrawPolygon(list);
    raster.DrawPolygonFloat(list);
    list.count = -1;
    raster.DrawPolygon(list);
    EXPECT_TRUE(Painted(target).empty());
}

TEST_F(RasterFixture, FloatWalkCoversTheSameRowsWithItsOwnColumns)
{
    RasterPolygon list = PolygonInPixels(
        kRasterSmoothAlpha, { { 10, 10.5f }, { 30, 10.5f }, { 30, 20.5f }, { 10, 20.5f } }, target.buffer);
    for (int32_t i = 0; i < list.count; i++) {
        list.vertices[i].r = list.vertices[i].a = 1.0f;
    }
    raster.DrawPolygonFloat(list);
    EXPECT_FALSE(RowPainted(target, 10));
    EXPECT_TRUE(RowPainted(target, 11));
    EXPECT_TRUE(RowPainted(target, 20));
    EXPECT_FALSE(RowPainted(target, 21));
    // Float spans cover the integer positions in (left, right].
    EXPECT_EQ(target.Get32(10, 15), 0u);
    EXPECT_EQ(target.Get32(11, 15), 0xFFFF0000u);
    EXPECT_EQ(target.Get32(30, 15), 0xFFFF0000u);
    EXPECT_EQ(target.Get32(31, 15), 0u);
}

TEST(ShadeRamps, RunFromBlackThroughThePaletteColourToWhite)
{
    const SystemPalette& palette = EnsureSystemPalette();
    // Many first users at once: each must find the tables complete when its call returns.
    std::vector<std::thread> threads;
    std::vector<int> good(8, 0);
    for (int i = 0; i < 8; i++) {
        threads.emplace_back([&good, &palette, i] {
            OwnedRaster target(4, 4, 32);
            QV_Raster raster;
            raster.SetRaster(target.buffer, nullptr);
            good[i] = ShadeRampsBuilt() && ShadeRamp32[200][128] == palette.fColors[200];
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (int i = 0; i < 8; i++)
        EXPECT_TRUE(good[i]) << i;

    for (int k : { 0, 17, 215, 255 }) {
        const uint32_t c = palette.fColors[k];
        EXPECT_EQ(ShadeRamp32[k][0], 0xFF000000u);
        EXPECT_EQ(ShadeRamp32[k][128], c | 0xFF000000u);
        EXPECT_EQ(ShadeRamp32[k][255], 0xFFFFFFFFu);
        // Shade 64 halves each channel.
        EXPECT_EQ((ShadeRamp32[k][64] >> 16) & 0xFF, ((c >> 16) & 0xFF) / 2);
        const uint32_t r = (ShadeRamp32[k][192] >> 16) & 0xFF;
        const uint32_t g = (ShadeRamp32[k][192] >> 8) & 0xFF;
        const uint32_t b = ShadeRamp32[k][192] & 0xFF;
        const uint32_t c15 = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
        EXPECT_EQ(ShadeRamp15[k][192], c15);
        EXPECT_EQ(ShadeRamp8[k][192], palette.fInverseMap[c15]);
    }
}

TEST_F(RasterFixture, ShadedKindsLightThePaletteColour)
{
    raster.SetColor(255, 0, 0);
    RasterPolygon list
        = PolygonInPixels(kRasterShaded, { { 10, 10 }, { 30, 10 }, { 30, 20 }, { 10, 20 } }, target.buffer);
    for (int32_t i = 0; i < list.count; i++)
        list.vertices[i].shade = 1.0f;
    raster.DrawPolygon(list);
    EXPECT_EQ(target.Get32(20, 15), ShadeRamp32[raster.fColorIndex][255]);

    OwnedRaster palette(4, 4, 8);
    for (int32_t y = 0; y < 4; y++)
        for (int32_t x = 0; x < 4; x++)
            *palette.At(x, y) = 40;
    raster.SetRaster(target.buffer, nullptr);
    raster.SetTexture(&palette.buffer);
    RasterPolygon lit = PolygonInPixels(
        kRasterPaletteTexture, { { 10, 30 }, { 30, 30 }, { 30, 40 }, { 10, 40 } }, target.buffer);
    for (int32_t i = 0; i < lit.count; i++)
        lit.vertices[i].shade = 0.5f;
    raster.DrawPolygon(lit);
    EXPECT_EQ(target.Get32(20, 35), ShadeRamp32[40][127]);
}

TEST_F(RasterFixture, ColourFormsFollowSetColor)
{
    raster.SetColor(0xF8, 0xFC, 0x08);
    EXPECT_EQ(raster.fColor32, 0xFFF8FC08u);
    EXPECT_EQ(raster.fColor565, 0xFFE1u);
    EXPECT_EQ(raster.fColor555, (0x1Fu << 10) | (0x1Fu << 5) | 1u);
    EXPECT_EQ(raster.fColorIndex, EnsureSystemPalette().NearestIndex(0xF8, 0xFC, 0x08));
}

TEST_F(RasterFixture, SameHeightTextureKeepsItsRowTable)
{
    OwnedRaster a(8, 6, 32), b(5, 6, 32), c(5, 7, 32);
    raster.SetTexture(&a.buffer);
    uint8_t** table = raster.fTextureRows.get();
    raster.SetTexture(&b.buffer);
    EXPECT_EQ(raster.fTextureRows.get(), table);
    EXPECT_EQ(raster.fTextureRows[5], b.Row(5));
    raster.SetTexture(&c.buffer);
    EXPECT_EQ(raster.fTextureRows[6], c.Row(6));
    raster.SetTexture(nullptr);
    EXPECT_EQ(raster.fTexture.pixels, nullptr);
    EXPECT_EQ(raster.fTextureRows, nullptr);
}

} // namespace
