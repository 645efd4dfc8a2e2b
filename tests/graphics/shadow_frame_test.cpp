#include "blend_tables.h"
#include "owned_raster.h"
#include "shadow_frame.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kPaper = 0xFFFFFFFFu;

struct ShadowFixture : ::testing::Test {
    ShadowFixture()
        : page(100, 60, 32, 4)
    {
        BuildBlendTables();
        page.Fill32(kPaper);
        DrawShadowFrame(page.buffer, 10, 10, 89, 49);
    }
    uint32_t Grey(int32_t x, int32_t y) { return page.Get32(x, y) & 0xFF; }
    OwnedRaster page;
};

TEST_F(ShadowFixture, OnlyTheBandAlongTheRectangleIsDarkened)
{
    for (int32_t y = 0; y < 60; y++) {
        for (int32_t x = 0; x < 100; x++) {
            const bool band
                = x >= 10 && x <= 89 && y >= 10 && y <= 49 && (x <= 17 || x >= 82 || y <= 17 || y >= 42);
            if (!band) {
                ASSERT_EQ(page.Get32(x, y), kPaper) << x << "," << y;
            }
            ASSERT_EQ(page.Get32(x, y) >> 24, 0xFFu);
        }
    }
    EXPECT_TRUE(page.PaddingIntact());
}

TEST_F(ShadowFixture, TheBandDarkensTowardTheInsideAndIsSymmetric)
{
    // Along the middle of the top edge: lighter at the outer row than at the inner one.
    EXPECT_GT(Grey(50, 10), Grey(50, 16));
    EXPECT_LT(Grey(50, 16), 255u);
    // The four corners and the opposite edges mirror each other.
    for (int32_t d = 0; d < 8; d++) {
        for (int32_t e = 0; e < 8; e++) {
            EXPECT_EQ(Grey(10 + d, 10 + e), Grey(89 - d, 10 + e));
            EXPECT_EQ(Grey(10 + d, 10 + e), Grey(10 + d, 49 - e));
            EXPECT_EQ(Grey(10 + d, 10 + e), Grey(89 - d, 49 - e));
        }
        EXPECT_EQ(Grey(40, 10 + d), Grey(40, 49 - d));
        EXPECT_EQ(Grey(10 + d, 30), Grey(89 - d, 30));
    }
    // The edge runs on evenly between the corners, the last partial tile included.
    for (int32_t x = 18; x <= 81; x++)
        EXPECT_EQ(Grey(x, 14), Grey(40, 14)) << x;
}

TEST(ShadowFrame, OtherDepthsAreLeftAlone)
{
    OwnedRaster wide(40, 40, 16);
    DrawShadowFrame(wide.buffer, 0, 0, 39, 39);
    EXPECT_EQ(wide.Get16(3, 3), 0u);
}

} // namespace
