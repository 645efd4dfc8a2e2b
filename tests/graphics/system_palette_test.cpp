#include "system_palette.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(SystemPalette, NearestIndexOfKnownColours)
{
    const SystemPalette& palette = EnsureSystemPalette();
    EXPECT_EQ(palette.NearestIndex(0, 0, 0), 0);
    EXPECT_EQ(palette.NearestIndex(255, 255, 255), 63) << "the lower of the two whites";
    EXPECT_EQ(palette.NearestIndex(152, 152, 152), 19) << "the lower of the two 989898 greys";
    EXPECT_EQ(palette.NearestIndex(0xE6, 0x86, 0x00), 152);
    EXPECT_EQ(palette.NearestIndex(0xFF, 0xE3, 0x46), 229);
}

TEST(SystemPalette, EntriesAreOpaquePixels)
{
    const SystemPalette& palette = EnsureSystemPalette();
    ASSERT_EQ(palette.fCount, 256);
    EXPECT_EQ(palette.fColors[0], 0xFF000000u);
    EXPECT_EQ(palette.fColors[32], 0xFF0000FFu);
    EXPECT_EQ(palette.fColors[152], 0xFFE68600u);
    EXPECT_EQ(palette.fColors[255], 0xFFFFFFFFu);
}

TEST(SystemPalette, InverseMapHoldsTheNearestEntryOfEveryCell)
{
    const SystemPalette& palette = EnsureSystemPalette();
    for (int cell = 0; cell < SystemPalette::kInverseMapSize; cell++) {
        const int red = ((cell >> 10) & 31) * 8 + 4;
        const int green = ((cell >> 5) & 31) * 8 + 4;
        const int blue = (cell & 31) * 8 + 4;
        int best = 0;
        int bestDistance = 1 << 30;
        for (int i = 0; i < 256; i++) {
            const uint32_t c = palette.fColors[i];
            const int dr = red - static_cast<int>((c >> 16) & 0xFF);
            const int dg = green - static_cast<int>((c >> 8) & 0xFF);
            const int db = blue - static_cast<int>(c & 0xFF);
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        ASSERT_EQ(palette.fInverseMap[cell], best) << "cell " << cell;
    }
}

TEST(SystemPalette, OwnInstanceBuildsAndFrees)
{
    SystemPalette palette;
    EXPECT_EQ(palette.NearestIndex(255, 255, 255), 0) << "no map yet";
    EXPECT_EQ(palette.Build(), 0);
    EXPECT_EQ(palette.NearestIndex(255, 255, 255), 63);
    EXPECT_EQ(palette.Build(), 0) << "rebuilding replaces the old tables";
    EXPECT_EQ(palette.NearestIndex(152, 152, 152), 19);
    palette.Free();
    EXPECT_EQ(palette.fCount, 0);
    EXPECT_EQ(palette.NearestIndex(255, 255, 255), 0);
}

TEST(SystemPalette, ConcurrentFirstUsersSeeTheFinishedPalette)
{
    std::atomic<int> wrong { 0 };
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; i++)
        threads.emplace_back([&wrong] {
            const SystemPalette& palette = EnsureSystemPalette();
            if (palette.fCount != 256 || palette.NearestIndex(255, 255, 255) != 63
                || palette.NearestIndex(152, 152, 152) != 19)
                wrong++;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}
