#pragma once
#include <cstdint>
#include <memory>

#include "qv_color.h"
#include "qv_graphics.h"
#include "qv_pixelbuffer.h"
#include "qv_rect.h"

// The coverage of several smooth shapes drawn one after another (the strokes of an outline, which
// overlap at their joints) within an area of the raster they are drawn for, kept at one byte a
// pixel with the columns each row was drawn on, then composited onto a destination in one walk
// over those columns only. Each run of covers changes a byte as drawing the run in opaque white
// onto a 32-bit mask changes that mask's red, so the composite leaves exactly the pixels
// CompositeCoverage leaves from such a mask, with merged alpha. The area's rows lie next to each
// other, so a small shape's coverage stays in few cache lines. The storage grows to the largest
// area asked for and is kept; after a composite it is empty again.
class CoverageAccumulator final : public SmoothCoverageSink {
public:
    // Ready for the covers of the area (inclusive raster pixels). False when the area is empty or
    // memory runs out.
    bool Begin(const QV_Rect& area);
    void Covers(int32_t x, int32_t y, int32_t count, const uint8_t* covers) override;
    // Composites what was drawn onto a 32-bit destination, raster pixel (x, y) landing on
    // (x - offset, y - offset), and empties itself. Composites nothing and returns false when some
    // covers fell outside the area: the shapes must then be drawn another way.
    bool CompositeAndClear(rgb_color color, const QV_PixelBuffer& destination, int32_t offset);

private:
    std::unique_ptr<uint8_t[]> fCoverage;
    // The first and last column drawn on each row of the area; first > last on a row not drawn on.
    std::unique_ptr<int32_t[]> fFirst;
    std::unique_ptr<int32_t[]> fLast;
    size_t fCapacity = 0;
    int32_t fRowCapacity = 0;
    QV_Rect fArea { 0, 0, -1, -1 };
    int32_t fWidth = 0;
    int32_t fTop = 0;
    int32_t fBottom = -1;
    bool fOutside = false;
};
