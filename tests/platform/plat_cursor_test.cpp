#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

#include "plat_cursor.h"
#include "plat_video.h"

TEST(PlatCursor, MasksBecomeBlackWhiteAndSeeThroughPixels)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ASSERT_TRUE(PlatVideoStart()) << PlatVideoError();
    // 10 x 2: rows of two bytes. Row 0: pixels 0 black, 1 white, 2 see-through,
    // 9 white (the second byte); row 1 all see-through.
    const uint8_t andMask[] = { 0x3F, 0xBF, 0xFF, 0xFF };
    const uint8_t xorMask[] = { 0x40, 0x40, 0x00, 0x00 };
    PlatCursor* cursor = PlatCursorCreate(andMask, xorMask, 10, 2, 1, 1);
    ASSERT_NE(cursor, nullptr);
    uint32_t pixel = 1;
    struct Case {
        int32_t x, y;
        uint32_t argb;
    } cases[] = { { 0, 0, 0xFF000000u }, { 1, 0, 0xFFFFFFFFu }, { 2, 0, 0 }, { 8, 0, 0 },
        { 9, 0, 0xFFFFFFFFu }, { 0, 1, 0 } };
    for (const Case& c : cases) {
        ASSERT_TRUE(PlatCursorPixel(cursor, c.x, c.y, pixel));
        EXPECT_EQ(pixel, c.argb) << c.x << "," << c.y;
    }
    EXPECT_FALSE(PlatCursorPixel(cursor, 10, 0, pixel));

    bool hidden = true;
    PlatCursorShow(cursor);
    EXPECT_EQ(PlatCursorShown(hidden), cursor);
    EXPECT_FALSE(hidden);
    PlatCursorShow(nullptr);
    EXPECT_EQ(PlatCursorShown(hidden), nullptr);
    EXPECT_TRUE(hidden);
    PlatCursorShow(cursor);
    PlatCursorDestroy(cursor); // a shown cursor gives way to the arrow
    EXPECT_EQ(PlatCursorShown(hidden), nullptr);
    EXPECT_FALSE(hidden);

    EXPECT_EQ(PlatCursorCreate(andMask, xorMask, 10, 2, 10, 0), nullptr); // hot spot off the cursor
    EXPECT_EQ(PlatCursorCreate(andMask, nullptr, 10, 2, 0, 0), nullptr);
    EXPECT_EQ(PlatCursorCreate(andMask, xorMask, 0, 2, 0, 0), nullptr);
    // Cursors made while video runs survive its end as objects.
    cursor = PlatCursorCreate(andMask, xorMask, 10, 2, 0, 0);
    PlatVideoStop();
    ASSERT_TRUE(PlatCursorPixel(cursor, 1, 0, pixel));
    EXPECT_EQ(pixel, 0xFFFFFFFFu);
    PlatCursorDestroy(cursor);
}
