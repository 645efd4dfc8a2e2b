#include "qv_bbox.h"
#include <gtest/gtest.h>

TEST(QV_BBox, StartsEmptyAndGrowsWithEachPoint)
{
    QV_BBox box;
    EXPECT_TRUE(box.empty);
    EXPECT_EQ(box.min.x, 1e6f);
    EXPECT_EQ(box.max.z, -1e6f);

    box.Include(QV_Vector3 { 1, -2, 3 });
    EXPECT_FALSE(box.empty);
    EXPECT_EQ(box.min.x, 1);
    EXPECT_EQ(box.max.x, 1);
    EXPECT_EQ(box.min.y, -2);
    EXPECT_EQ(box.max.z, 3);

    box.Include(QV_Vector3 { -4, 5, 0 });
    EXPECT_EQ(box.min.x, -4);
    EXPECT_EQ(box.max.x, 1);
    EXPECT_EQ(box.min.y, -2);
    EXPECT_EQ(box.max.y, 5);
    EXPECT_EQ(box.min.z, 0);
    EXPECT_EQ(box.max.z, 3);
}

TEST(QV_BBox, TwoDimensionalPointsLeaveZAlone)
{
    QV_BBox box;
    box.Include(QV_Vector2 { 7, -8 });
    EXPECT_FALSE(box.empty);
    EXPECT_EQ(box.min.x, 7);
    EXPECT_EQ(box.max.y, -8);
    EXPECT_EQ(box.min.z, 1e6f);
    EXPECT_EQ(box.max.z, -1e6f);
}
