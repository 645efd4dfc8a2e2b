#pragma once
#include <cstdint>
#include <vector>

// A pixel rectangle with inclusive edges, as the toolkit's rectangles are.
struct PlatRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;

    bool IsEmpty() const { return right < left || bottom < top; }
};

// A clip region: a set of non-overlapping rectangles. Presenting an image
// through a region touches only the pixels it covers.
class PlatRegion {
public:
    PlatRegion() = default;
    explicit PlatRegion(const PlatRect& rect);

    void SetRect(const PlatRect& rect);
    void Clear() { fRects.clear(); }
    // Keeps only what lies inside the rectangle.
    void IntersectRect(const PlatRect& rect);
    // Takes the rectangle out.
    void SubtractRect(const PlatRect& rect);

    bool IsEmpty() const { return fRects.empty(); }
    bool Contains(int32_t x, int32_t y) const;
    // Covered pixels.
    int64_t Area() const;
    const std::vector<PlatRect>& Rects() const { return fRects; }

private:
    std::vector<PlatRect> fRects;
};

// The overlap of two rectangles; empty (IsEmpty) when they do not meet.
PlatRect PlatIntersect(const PlatRect& a, const PlatRect& b);
