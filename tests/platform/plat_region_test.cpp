#include "plat_region.h"

#include <gtest/gtest.h>

namespace {

// Every pixel of the frame checked against the expected membership, and no
// pixel covered twice (the area equals the count of covered pixels).
void ExpectCovers(const PlatRegion& region, const PlatRect& frame, bool (*inside)(int32_t, int32_t))
{
    int64_t covered = 0;
    for (int32_t y = frame.top; y <= frame.bottom; ++y) {
        for (int32_t x = frame.left; x <= frame.right; ++x) {
            EXPECT_EQ(region.Contains(x, y), inside(x, y)) << x << "," << y;
            covered += inside(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(region.Area(), covered);
}

} // namespace

TEST(PlatRegion, SubtractingAHoleLeavesAFrameWithoutOverlaps)
{
    PlatRegion region({ 0, 0, 9, 9 });
    region.SubtractRect({ 3, 4, 5, 6 });
    EXPECT_EQ(region.Rects().size(), 4u);
    ExpectCovers(region, { -2, -2, 12, 12 }, [](int32_t x, int32_t y) {
        bool inFrame = x >= 0 && x <= 9 && y >= 0 && y <= 9;
        bool inHole = x >= 3 && x <= 5 && y >= 4 && y <= 6;
        return inFrame && !inHole;
    });
}

TEST(PlatRegion, SubtractionsAndIntersectionsCompose)
{
    PlatRegion region({ 0, 0, 19, 9 });
    region.SubtractRect({ -5, -5, 4, 30 }); // cuts the left side off entirely
    region.SubtractRect({ 10, 2, 12, 3 });
    region.IntersectRect({ 6, 0, 15, 5 });
    ExpectCovers(region, { -1, -1, 21, 11 }, [](int32_t x, int32_t y) {
        bool kept = x >= 6 && x <= 15 && y >= 0 && y <= 5;
        bool cut = x >= 10 && x <= 12 && y >= 2 && y <= 3;
        return kept && !cut;
    });
}

TEST(PlatRegion, EmptyCasesStayEmpty)
{
    PlatRegion region({ 5, 5, 4, 9 }); // right before left
    EXPECT_TRUE(region.IsEmpty());
    region.SetRect({ 0, 0, 3, 3 });
    region.SubtractRect({ 0, 0, 3, 3 });
    EXPECT_TRUE(region.IsEmpty());
    region.SetRect({ 0, 0, 3, 3 });
    region.IntersectRect({ 4, 0, 8, 3 }); // only touching would share no pixel
    EXPECT_TRUE(region.IsEmpty());
    region.SetRect({ 0, 0, 3, 3 });
    region.SubtractRect({ 2, 2, 1, 1 }); // an empty cut changes nothing
    EXPECT_EQ(region.Area(), 16);
}
