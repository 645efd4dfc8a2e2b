#pragma once
#include <cstdint>

struct QV_Point {
    int32_t x = 0;
    int32_t y = 0;

    void Set(int32_t nx, int32_t ny);
    void Set(const QV_Point& p);
};

// Pixel rectangle; all four edges are inclusive, so the width is
// right - left + 1.
struct QV_Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    // Swaps the edges of a rectangle given corner to corner the wrong way.
    void Normalize();
    // Both bounds inside; an inverted rectangle contains nothing.
    bool Contains(const QV_Point& p) const;
    QV_Point TopRight() const;
    QV_Point BottomLeft() const;
    QV_Point BottomRight() const;
    // Neither rectangle is normalised first.
    void Union(const QV_Rect& other);
    // Normalises this rectangle; when it overlaps other, clips it to other
    // and returns true. Otherwise returns false and only the normalisation
    // remains.
    bool Intersect(const QV_Rect& other);
    // Whether the point lies inside, edges included.
    bool Contains(int32_t x, int32_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// Clips the segment a-b to r in place, one edge after the other (left, right,
// top, bottom). Returns false when the segment lies wholly beyond one edge.
bool ClipLineToRect(QV_Point& a, QV_Point& b, const QV_Rect& r);
// The same on float endpoints, without rounding.
bool ClipLineToRectF(float& ax, float& ay, float& bx, float& by, const QV_Rect& r);
