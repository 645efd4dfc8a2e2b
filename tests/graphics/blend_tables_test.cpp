#include "blend_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

TEST(BlendTables, ConcurrentFirstCallersAllSeeCompleteTables)
{
    // Render threads may reach the build before start-up has finished it;
    // none of them may read a half-filled table.
    std::atomic<int> wrong { 0 };
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; i++)
        threads.emplace_back([&wrong] {
            BuildBlendTables();
            if (!BlendTablesBuilt() || BlendMulTable[255][255] != 255 || BlendDivTable[255][0] != 0
                || BlendDivTable[7][7] != 254 || BlendMulTable[128][255] != 128)
                wrong++;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(BlendTables, MultiplyTableIsTheFlooredProduct)
{
    BuildBlendTables();
    for (int a = 0; a < 256; a++)
        for (int v = 0; v < 256; v++)
            ASSERT_EQ(BlendMulTable[a][v], a * v / 255) << "a=" << a << " v=" << v;
    EXPECT_EQ(BlendMulTable[128][255], 128);
}

TEST(BlendTables, DivideTableKeepsItsSinglePrecisionEntries)
{
    BuildBlendTables();
    for (int v = 0; v < 256; v++)
        EXPECT_EQ(BlendDivTable[0][v], v);
    for (int a = 1; a < 256; a++)
        for (int v = a + 1; v < 256; v++)
            ASSERT_EQ(BlendDivTable[a][v], 255) << "a=" << a << " v=" << v;

    EXPECT_EQ(BlendDivTable[7][7], 254);
    EXPECT_EQ(BlendDivTable[237][79], 84);

    int differences = 0;
    for (int a = 1; a < 256; a++)
        for (int v = 0; v < 256; v++)
            if (BlendDivTable[a][v] != std::min(255, v * 255 / a))
                differences++;
    EXPECT_EQ(differences, 34);
}

TEST(BlendTables, BuildingAgainChangesNothing)
{
    BuildBlendTables();
    std::vector<uint8_t> before(&BlendDivTable[0][0], &BlendDivTable[0][0] + 65536);
    BuildBlendTables();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), &BlendDivTable[0][0]));
}
