#pragma once

#include <cstdint>

// The general growable list of untyped pointers. It never owns what its entries point to.
// Callers read fCount/fItems directly and some append inline with the same rule as Append
// (double through SetCapacity when full), so the doubling is part of the contract.
class QV_ArrayList {
public:
    QV_ArrayList();
    virtual ~QV_ArrayList();

    QV_ArrayList(const QV_ArrayList&) = delete;
    QV_ArrayList& operator=(const QV_ArrayList&) = delete;

    int32_t Append(void* item);
    // Indices outside 0..count-1 append.
    void Insert(void* item, int32_t index);
    // Removes the first entry equal to the pointer, keeping the order of the rest.
    void Remove(void* item);
    bool Contains(void* item) const;
    int32_t IndexOf(void* item) const;
    void SetCapacity(int32_t n);

    int32_t fCount;
    int32_t fCapacity;
    void** fItems;
};
