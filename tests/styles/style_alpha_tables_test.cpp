#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "style_alpha_tables.h"
#include "style_test_support.h"

namespace {

TEST(StyleAlphaTables, RampsStartAndEndAtTheirThresholds)
{
    struct Case {
        const uint8_t* table;
        int32_t zeroUpTo;
        int32_t middle;
        uint8_t middleValue;
        int32_t fullFrom;
    };
    const Case cases[] = {
        { PenAlphaTable(), 15, 27, 122, 40 },
        { SketchAlphaTable(), 56, 88, 128, 120 },
        { SpotAlphaTable(), 64, 96, 128, 128 },
    };
    for (const Case& c : cases) {
        for (int32_t i = 0; i <= c.zeroUpTo; i++)
            EXPECT_EQ(c.table[i], 0) << i;
        EXPECT_GT(c.table[c.zeroUpTo + 1], 0);
        EXPECT_EQ(c.table[c.middle], c.middleValue);
        EXPECT_LT(c.table[c.fullFrom - 1], 255);
        for (int32_t i = c.fullFrom; i < 256; i++)
            EXPECT_EQ(c.table[i], 255) << i;
        for (int32_t i = 1; i < 256; i++)
            EXPECT_GE(c.table[i], c.table[i - 1]) << i;
    }
}

TEST(StyleAlphaTables, ThreadsAskingAtOnceSeeOneFinishedTable)
{
    std::vector<std::thread> threads;
    std::vector<uint8_t> seen(8);
    for (int32_t t = 0; t < 8; t++)
        threads.emplace_back([t, &seen] { seen[static_cast<size_t>(t)] = SketchAlphaTable()[88]; });
    for (std::thread& thread : threads)
        thread.join();
    for (uint8_t value : seen)
        EXPECT_EQ(value, 128);
}

TEST(StyleAlphaTables, MappingReplacesAlphaOnly)
{
    TestRaster source(2, 1);
    source.Set(0, 0, rgb_color { 0, 0, 0, 96 });
    source.Set(1, 0, rgb_color { 0, 0, 0, 10 });
    TestRaster target(2, 1, rgb_color { 40, 50, 60, 255 });
    MapAlphaThroughTable(source.image.buffer, target.image.buffer, SpotAlphaTable());
    EXPECT_TRUE(SameColor(target.At(0, 0), rgb_color { 40, 50, 60, 128 }));
    EXPECT_TRUE(SameColor(target.At(1, 0), rgb_color { 40, 50, 60, 0 }));
}

} // namespace
