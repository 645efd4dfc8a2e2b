#include "qv_arraylist.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kInitialCapacity = 4;
// From here the doubled count would overflow int32 and the byte size 32 bits.
constexpr int32_t kCapacityLimit = int32_t(1) << 30;

} // namespace

QV_ArrayList::QV_ArrayList()
    : fCount(0)
    , fCapacity(kInitialCapacity)
    , fItems(new void*[kInitialCapacity])
{
}

QV_ArrayList::~QV_ArrayList()
{
    delete[] fItems;
}

void QV_ArrayList::SetCapacity(int32_t n)
{
    if (n >= kCapacityLimit) {
        std::fprintf(stderr, "QV_ArrayList: cannot hold %d entries\n", static_cast<int>(n));
        std::abort();
    }
    // Shrinking below the entries in use would drop them, and a capacity below the initial
    // one could reach 0, which doubling never leaves.
    if (n < fCount || n < kInitialCapacity)
        return;
    void** items = new void*[n];
    if (fCount > 0)
        std::memcpy(items, fItems, sizeof(void*) * fCount);
    delete[] fItems;
    fItems = items;
    fCapacity = n;
}

int32_t QV_ArrayList::Append(void* item)
{
    if (fCount == fCapacity)
        SetCapacity(fCapacity * 2);
    fItems[fCount] = item;
    return fCount++;
}

void QV_ArrayList::Insert(void* item, int32_t index)
{
    if (index < 0 || index >= fCount) {
        Append(item);
        return;
    }
    if (fCount == fCapacity)
        SetCapacity(fCapacity * 2);
    std::memmove(fItems + index + 1, fItems + index, sizeof(void*) * (fCount - index));
    fItems[index] = item;
    fCount++;
}

void QV_ArrayList::Remove(void* item)
{
    int32_t index = IndexOf(item);
    if (index < 0)
        return;
    std::memmove(fItems + index, fItems + index + 1, sizeof(void*) * (fCount - index - 1));
    fCount--;
}

bool QV_ArrayList::Contains(void* item) const
{
    return IndexOf(item) >= 0;
}

int32_t QV_ArrayList::IndexOf(void* item) const
{
    for (int32_t i = 0; i < fCount; i++) {
        if (fItems[i] == item)
            return i;
    }
    return -1;
}
