#include "plat_region.h"

#include <algorithm>

PlatRect PlatIntersect(const PlatRect& a, const PlatRect& b)
{
    PlatRect r;
    r.left = std::max(a.left, b.left);
    r.top = std::max(a.top, b.top);
    r.right = std::min(a.right, b.right);
    r.bottom = std::min(a.bottom, b.bottom);
    return r;
}

PlatRegion::PlatRegion(const PlatRect& rect)
{
    SetRect(rect);
}

void PlatRegion::SetRect(const PlatRect& rect)
{
    fRects.clear();
    if (!rect.IsEmpty())
        fRects.push_back(rect);
}

void PlatRegion::IntersectRect(const PlatRect& rect)
{
    std::vector<PlatRect> kept;
    for (const PlatRect& r : fRects) {
        PlatRect overlap = PlatIntersect(r, rect);
        if (!overlap.IsEmpty())
            kept.push_back(overlap);
    }
    fRects.swap(kept);
}

void PlatRegion::SubtractRect(const PlatRect& cut)
{
    if (cut.IsEmpty())
        return;
    std::vector<PlatRect> kept;
    for (const PlatRect& r : fRects) {
        PlatRect overlap = PlatIntersect(r, cut);
        if (overlap.IsEmpty()) {
            kept.push_back(r);
            continue;
        }
        // Up to four pieces: the bands above and below the cut across the
        // whole width, then the pieces left and right of it beside the cut.
        if (r.top < overlap.top)
            kept.push_back({ r.left, r.top, r.right, overlap.top - 1 });
        if (overlap.bottom < r.bottom)
            kept.push_back({ r.left, overlap.bottom + 1, r.right, r.bottom });
        if (r.left < overlap.left)
            kept.push_back({ r.left, overlap.top, overlap.left - 1, overlap.bottom });
        if (overlap.right < r.right)
            kept.push_back({ overlap.right + 1, overlap.top, r.right, overlap.bottom });
    }
    fRects.swap(kept);
}

bool PlatRegion::Contains(int32_t x, int32_t y) const
{
    for (const PlatRect& r : fRects) {
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom)
            return true;
    }
    return false;
}

int64_t PlatRegion::Area() const
{
    int64_t area = 0;
    for (const PlatRect& r : fRects)
        area += int64_t(r.right - r.left + 1) * (r.bottom - r.top + 1);
    return area;
}
