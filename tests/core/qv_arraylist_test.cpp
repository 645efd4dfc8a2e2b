#include "qv_arraylist.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int gItems[8];

void* Item(int i)
{
    return &gItems[i];
}

std::vector<void*> Entries(const QV_ArrayList& list)
{
    return std::vector<void*>(list.fItems, list.fItems + list.fCount);
}

} // namespace

TEST(QV_ArrayList, AppendDoublesWhenFull)
{
    QV_ArrayList list;
    EXPECT_EQ(list.fCount, 0);
    EXPECT_EQ(list.fCapacity, 4);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(list.Append(Item(i)), i);
    EXPECT_EQ(list.fCapacity, 4);
    EXPECT_EQ(list.Append(Item(4)), 4);
    EXPECT_EQ(list.fCapacity, 8);
    for (int i = 5; i < 9; i++)
        list.Append(Item(i % 8));
    EXPECT_EQ(list.fCapacity, 16);
    EXPECT_EQ(list.fCount, 9);
    for (int i = 0; i < 9; i++)
        EXPECT_EQ(list.fItems[i], Item(i % 8));
}

TEST(QV_ArrayList, InsertInsideMovesUpAndOutsideAppends)
{
    QV_ArrayList list;
    list.Insert(Item(0), 0); // index 0 is not below count 0: appends
    list.Insert(Item(1), -1);
    list.Insert(Item(2), 2); // index == count
    list.Insert(Item(3), 99);
    EXPECT_EQ(Entries(list), (std::vector<void*> { Item(0), Item(1), Item(2), Item(3) }));
    EXPECT_EQ(list.fCapacity, 4);

    list.Insert(Item(4), 1); // full: doubles first, then shifts
    EXPECT_EQ(list.fCapacity, 8);
    list.Insert(Item(5), 0);
    list.Insert(Item(6), 5);
    EXPECT_EQ(Entries(list),
        (std::vector<void*> { Item(5), Item(0), Item(4), Item(1), Item(2), Item(6), Item(3) }));
}

TEST(QV_ArrayList, RemoveSearchesComparePointers)
{
    int a = 7, b = 7; // equal values, different pointers
    QV_ArrayList list;
    EXPECT_FALSE(list.Contains(&a));
    EXPECT_EQ(list.IndexOf(&a), -1);
    list.Remove(&a); // empty list: nothing

    list.Append(&b);
    list.Append(&a);
    list.Append(nullptr);
    list.Append(&a);
    EXPECT_EQ(list.IndexOf(&a), 1);
    EXPECT_EQ(list.IndexOf(nullptr), 2);
    EXPECT_TRUE(list.Contains(&b));
    int c = 7;
    EXPECT_FALSE(list.Contains(&c));

    list.Remove(&a);
    EXPECT_EQ(Entries(list), (std::vector<void*> { &b, nullptr, &a }));
    list.Remove(&c);
    EXPECT_EQ(list.fCount, 3);
    list.Remove(&a);
    list.Remove(&b);
    EXPECT_EQ(Entries(list), (std::vector<void*> { nullptr }));
    EXPECT_EQ(list.fCapacity, 4) << "the list never shrinks";
}

TEST(QV_ArrayList, InlineAppendThroughSetCapacity)
{
    QV_ArrayList list;
    for (int i = 0; i < 6; i++) {
        if (list.fCount == list.fCapacity)
            list.SetCapacity(list.fCapacity * 2);
        list.fItems[list.fCount++] = Item(i);
    }
    EXPECT_EQ(list.fCapacity, 8);
    EXPECT_EQ(list.IndexOf(Item(5)), 5);
}

TEST(QV_ArrayList, SetCapacityNeverDropsEntriesOrReachesZero)
{
    QV_ArrayList list;
    for (int i = 0; i < 6; i++)
        list.Append(Item(i));
    list.SetCapacity(2);
    EXPECT_EQ(list.fCapacity, 8);
    EXPECT_EQ(list.fCount, 6);

    QV_ArrayList empty;
    empty.SetCapacity(0);
    EXPECT_EQ(empty.fCapacity, 4);
    empty.Append(Item(0)); // would write into a zero-entry array
    EXPECT_EQ(empty.fItems[0], Item(0));
}

TEST(QV_ArrayListDeathTest, CapacityBeyondThirtyBitsEndsTheProgram)
{
    QV_ArrayList list;
    EXPECT_DEATH(list.SetCapacity(int32_t(1) << 30), "cannot hold");
}
