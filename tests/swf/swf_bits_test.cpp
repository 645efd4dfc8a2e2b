#include "swf_bits.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SwfBits, FieldsPackMostSignificantFirstAcrossBytesAndAlignBeforeWholeBytes)
{
    SwfBits bits;
    bits.UBits(0b101, 3);
    bits.SBits(-2, 6);                    // 111110, over the first byte's edge
    bits.UBits(0xFFFFFFFFu, 32);          // a full-width field
    bits.UBits(0x1FF, 4);                 // only the low bits of a wide value
    bits.U8(0xAB);                        // pads the last byte with zeros first
    bits.UBits(1, 1);
    const std::vector<uint8_t> expected { 0b10111111, 0b01111111, 0xFF, 0xFF, 0b11111111, 0b11111000, 0xAB, 0x80 };
    EXPECT_EQ(bits.Size(), expected.size());
    EXPECT_EQ(bits.Data(), expected);
}

TEST(SwfBits, BitCountsOfTheExtremes)
{
    const struct {
        int32_t fValue;
        int fSigned;
    } cases[] = { { 0, 1 }, { -1, 1 }, { 1, 2 }, { -2, 2 }, { 255, 9 }, { -256, 9 },
        { INT32_MAX, 32 }, { INT32_MIN, 32 } };
    for (const auto& c : cases)
        EXPECT_EQ(SwfBits::SignedBits(c.fValue), c.fSigned) << c.fValue;
    EXPECT_EQ(SwfBits::UnsignedBits(0), 0);
    EXPECT_EQ(SwfBits::UnsignedBits(1), 1);
    EXPECT_EQ(SwfBits::UnsignedBits(0xFFFFFFFFu), 32);

}

TEST(SwfBits, EdgesAndTwipsBeyondThirtyOneBitsAreClampedForTheirFiveBitCounts)
{
    // A 32-bit edge would need a bit count of 32, which five bits cannot hold.
    SwfBits rect;
    rect.Rect(INT32_MIN, INT32_MAX, 0, -1);
    ASSERT_EQ(rect.Size(), 17u);  // 5 + 4 x 31 bits
    EXPECT_EQ(rect.Data()[0], 0b11111100);  // 31, then -(2^30 - 1)'s leading bits
    EXPECT_EQ(SwfTwips(1e12), 1073741823);
    EXPECT_EQ(SwfTwips(-1e12), -1073741823);
    EXPECT_EQ(SwfTwips(0.125), 3);
    EXPECT_EQ(SwfTwips(-0.125), -3);
}

}  // namespace
