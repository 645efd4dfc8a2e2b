#include <gtest/gtest.h>

#include <cstring>

#include "blend_tables.h"
#include "coverage_accumulator.h"
#include "coverage_composite.h"
#include "owned_raster.h"
#include "qv_graphics.h"
#include "raster_blit.h"
#include "raster_rows.h"

namespace {

class CoverageComposite : public ::testing::Test {
protected:
    void SetUp() override { BuildBlendTables(); }
};

uint32_t Next(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// The same random pixels, every kind of alpha among them, in both destinations.
void FillAlike(OwnedRaster& a, OwnedRaster& b, uint32_t& state)
{
    for (int32_t y = 0; y < a.buffer.height; y++) {
        for (int32_t x = 0; x < a.buffer.width; x++) {
            const uint32_t v = Next(state) | (Next(state) % 3 == 0 ? 0xFF000000u : 0);
            a.Set32(x, y, v);
            b.Set32(x, y, v);
        }
    }
}

// A smooth context drawing opaque white into the mask.
void DrawWhiteInto(QV_Graphics& g, OwnedRaster& mask)
{
    g.SetRaster(&mask.buffer);
    g.SetAntialiasing(true);
    ASSERT_TRUE(g.fAntialias);
    g.SetColor(255, 255, 255, 255);
}

// Coverage in the red channel (0, 255 and values between), destinations with every kind of
// alpha, placements inside, across every edge and outside; the result must be the colouring of
// the mask followed by the plain alpha composite, byte for byte.
TEST_F(CoverageComposite, MatchesColouringThenTheAlphaComposite)
{
    const rgb_color color { 200, 90, 17, 255 };
    const int32_t placements[][2] = { { 0, 0 }, { 3, 2 }, { -4, -3 }, { 9, 7 }, { 20, 20 }, { -12, 0 } };
    uint32_t state = 7;
    for (const bool clear : { false, true }) {
        for (const bool merge : { true, false }) {
            for (const auto& at : placements) {
                SCOPED_TRACE(testing::Message()
                    << "at " << at[0] << "," << at[1] << (merge ? " merge" : "") << (clear ? " clear" : ""));
                // Runs of one coverage, as a drawn shape leaves them, of every length around the
                // widths a row is walked in; only red counts, whatever the other bytes hold.
                OwnedRaster mask(27, 9, 32, 8);
                OwnedRaster expected(29, 10, 32, 4);
                OwnedRaster actual(29, 10, 32, 4);
                uint32_t red = 0;
                int32_t run = 0;
                for (int32_t y = 0; y < 9; y++) {
                    for (int32_t x = 0; x < 27; x++, run--) {
                        if (run <= 0) {
                            const uint32_t pick = Next(state) % 4;
                            red = pick == 0 ? 0 : pick == 1 ? 255 : Next(state) % 256;
                            run = int32_t(1 + Next(state) % 10);
                        }
                        mask.Set32(x, y, (Next(state) & 0xFF00FFFFu) | red << 16);
                    }
                }
                for (int32_t y = 0; y < 10; y++) {
                    for (int32_t x = 0; x < 29; x++) {
                        const uint32_t v = Next(state) | (Next(state) % 3 == 0 ? 0xFF000000u : 0);
                        expected.Set32(x, y, v);
                        actual.Set32(x, y, v);
                    }
                }
                OwnedRaster coloured(27, 9, 32, 8);
                for (int32_t y = 0; y < 9; y++) {
                    for (int32_t x = 0; x < 27; x++) {
                        const uint32_t coverage = mask.At(x, y)[kRed];
                        coloured.Set32(x, y,
                            coverage << 24 | uint32_t(color.r) << 16 | uint32_t(color.g) << 8 | color.b);
                    }
                }
                const std::vector<uint8_t> maskBefore = mask.bytes;
                BlitRasterAlpha(coloured.buffer, expected.buffer, at[0], at[1], merge);
                CompositeCoverage(mask.buffer, color, actual.buffer, at[0], at[1], merge, clear);
                EXPECT_EQ(actual.bytes, expected.bytes);
                if (!clear) {
                    EXPECT_EQ(mask.bytes, maskBefore);
                    continue;
                }
                // Every pixel emptied, within the destination or not; the row padding stays.
                for (int32_t y = 0; y < 9; y++) {
                    for (int32_t x = 0; x < 27; x++)
                        ASSERT_EQ(mask.Get32(x, y), 0u) << x << "," << y;
                }
                EXPECT_TRUE(mask.PaddingIntact());
            }
        }
    }
}

TEST_F(CoverageComposite, OtherDepthsDoNothing)
{
    OwnedRaster mask(4, 4, 16);
    OwnedRaster destination(4, 4, 32);
    const std::vector<uint8_t> before = destination.bytes;
    CompositeCoverage(mask.buffer, rgb_color { 1, 2, 3, 255 }, destination.buffer, 0, 0, true);
    EXPECT_EQ(destination.bytes, before);
}

} // namespace

// A smooth fill handed to a coverage sink and composited run by run must give the destination what
// drawing it in opaque white into a clear mask and compositing the mask gives: a shape of curved
// and straight edges, whole and cut by every edge of the raster, over destinations of every alpha.
TEST_F(CoverageComposite, RunsFromTheRasteriserMatchTheMaskComposite)
{
    struct Sink final : SmoothCoverageSink {
        Sink(OwnedRaster& destination, const CoverageRunComposite& run)
            : destination(destination)
            , run(run)
        {
        }
        void Covers(int32_t x, int32_t y, int32_t count, const uint8_t* covers) override
        {
            run.Run(covers, count, destination.At(x, y));
        }
        OwnedRaster& destination;
        const CoverageRunComposite& run;
    };
    const auto addBlob = [](QV_Graphics& g, float cx, float cy) {
        g.BeginShape();
        g.AddCurve({ cx - 9, cy }, { cx - 9, cy - 12 }, { cx + 9, cy - 12 }, { cx + 9, cy });
        g.AddLine(cx + 9, cy, cx + 2, cy + 7.3f);
        g.AddLine(cx + 2, cy + 7.3f, cx - 9, cy);
        g.EndShape();
    };
    const rgb_color color { 12, 180, 240, 255 };
    uint32_t state = 11;
    for (const bool merge : { true, false }) {
        for (const auto& at : { QV_Vector2 { 15.5f, 14.2f }, QV_Vector2 { 2.3f, 3.7f }, QV_Vector2 { 27.6f, 21.1f } }) {
            SCOPED_TRACE(testing::Message() << "at " << at.x << "," << at.y << (merge ? " merge" : ""));
            OwnedRaster mask(30, 24, 32);
            OwnedRaster expected(30, 24, 32);
            OwnedRaster actual(30, 24, 32);
            FillAlike(expected, actual, state);
            QV_Graphics masked;
            DrawWhiteInto(masked, mask);
            addBlob(masked, at.x, at.y);
            CompositeCoverage(mask.buffer, color, expected.buffer, 0, 0, merge);

            QV_Graphics direct;
            OwnedRaster untouched(30, 24, 32);
            direct.SetRaster(&untouched.buffer);
            direct.SetAntialiasing(true);
            const CoverageRunComposite run(color, merge);
            Sink sink(actual, run);
            direct.fSmoothSink = &sink;
            addBlob(direct, at.x, at.y);
            for (int32_t y = 0; y < 24; y++) {
                for (int32_t x = 0; x < 30; x++) {
                    ASSERT_EQ(actual.Get32(x, y), expected.Get32(x, y)) << x << "," << y;
                    ASSERT_EQ(untouched.Get32(x, y), 0u) << "the sink's raster was drawn on at " << x << "," << y;
                }
            }
        }
    }
}

// An outline's strokes overlap at their joints. Gathered by the accumulator and composited once,
// they must give the destination what stroking them one by one in opaque white into a clear mask
// and compositing the mask gives: strokes inside the raster, across its edges and outside the
// smaller destination, which sits `offset` pixels into the raster. The accumulator is empty after.
TEST_F(CoverageComposite, GatheredStrokesMatchTheMaskComposite)
{
    const QV_Vector2 strokes[][4] = {
        { { 5.2f, 6.1f }, { 14.7f, 2.3f }, { 22.5f, 9.9f }, { 30.4f, 8.2f } },
        { { 30.4f, 8.2f }, { 36.1f, 14.0f }, { 33.3f, 24.8f }, { 21.6f, 26.4f } },
        { { 21.6f, 26.4f }, { 12.0f, 27.9f }, { 3.1f, 20.2f }, { 5.2f, 6.1f } },
        { { -6.0f, 13.5f }, { 8.0f, 16.0f }, { 30.0f, 18.0f }, { 47.0f, 12.5f } },
        { { 37.5f, -4.0f }, { 39.0f, 8.0f }, { 41.0f, 20.0f }, { 38.5f, 33.0f } },
    };
    const float widths[][2] = { { 3, 3 }, { 3, 5.5f }, { 1, 2.2f }, { 4, 4 }, { 2.5f, 7 } };
    const auto strokeAll = [&](QV_Graphics& g) {
        for (int32_t i = 0; i < 5; i++)
            g.StrokeWideCurve(strokes[i], widths[i][0], widths[i][1]);
    };
    const rgb_color color { 30, 160, 222, 255 };
    const int32_t offset = 3;
    uint32_t state = 5;
    OwnedRaster mask(40, 30, 32);
    OwnedRaster expected(34, 25, 32, 4);
    OwnedRaster actual(34, 25, 32, 4);
    FillAlike(expected, actual, state);
    QV_Graphics masked;
    DrawWhiteInto(masked, mask);
    strokeAll(masked);
    CompositeCoverage(mask.buffer, color, expected.buffer, -offset, -offset, true);

    QV_Graphics gathered;
    OwnedRaster untouched(40, 30, 32);
    gathered.SetRaster(&untouched.buffer);
    gathered.SetAntialiasing(true);
    CoverageAccumulator coverage;
    // Strokes beyond the area are not composited at all; the accumulator is empty after.
    OwnedRaster before(34, 25, 32, 4);
    std::memcpy(before.buffer.pixels, actual.buffer.pixels, size_t(actual.buffer.rowBytes) * 25);
    ASSERT_TRUE(coverage.Begin(QV_Rect { 2, 1, 30, 27 }));
    gathered.fSmoothSink = &coverage;
    strokeAll(gathered);
    EXPECT_FALSE(coverage.CompositeAndClear(color, actual.buffer, offset));
    for (int32_t y = 0; y < 25; y++)
        for (int32_t x = 0; x < 34; x++)
            ASSERT_EQ(actual.Get32(x, y), before.Get32(x, y)) << x << "," << y;

    ASSERT_TRUE(coverage.Begin(QV_Rect { 0, 0, 39, 29 }));
    strokeAll(gathered);
    EXPECT_TRUE(coverage.CompositeAndClear(color, actual.buffer, offset));
    int32_t partial = 0;
    for (int32_t y = 0; y < 25; y++) {
        for (int32_t x = 0; x < 34; x++) {
            ASSERT_EQ(actual.Get32(x, y), expected.Get32(x, y)) << x << "," << y;
            const uint8_t m = RasterPixel(mask.buffer, x + offset, y + offset)[kRed];
            partial += m > 0 && m < 255;
        }
    }
    EXPECT_TRUE(actual.PaddingIntact());
    EXPECT_GT(partial, 40) << "the strokes should overlap with partial coverage";
    for (int32_t y = 0; y < 30; y++)
        for (int32_t x = 0; x < 40; x++)
            ASSERT_EQ(untouched.Get32(x, y), 0u) << "the sink's raster was drawn on at " << x << "," << y;

    // Emptied, those outside the destination too: a second composite changes nothing.
    ASSERT_TRUE(coverage.Begin(QV_Rect { 0, 0, 39, 29 }));
    EXPECT_TRUE(coverage.CompositeAndClear(color, actual.buffer, offset));
    ASSERT_TRUE(coverage.Begin(QV_Rect { 5, 5, 20, 20 }));
    EXPECT_TRUE(coverage.CompositeAndClear(color, actual.buffer, 0));
    for (int32_t y = 0; y < 25; y++)
        for (int32_t x = 0; x < 34; x++)
            ASSERT_EQ(actual.Get32(x, y), expected.Get32(x, y)) << x << "," << y;
}
