#pragma once
// The pixel range and integer steps of one 16.16 span, shared by every fixed-point span filler.
#include "qv_raster.h"
#include "raster_rows.h"
#include <cstdint>

namespace fixed_span {

// v + d as the 32-bit registers the walk stands for: wrapping, never undefined.
inline int32_t Add(int32_t v, int32_t d)
{
    return static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(d));
}

// The integer part of a 16.16 value clamped to a byte.
inline uint32_t Byte(int32_t v)
{
    const int32_t c = v >> 16;
    return c < 0 ? 0u : c > 255 ? 255u : static_cast<uint32_t>(c);
}

// A 16.16 texture lane held on the texture: 0 to the last texel of a side of size texels.
inline void ClampLane(int32_t& value, int32_t size)
{
    const int64_t wide = static_cast<int64_t>(size - 1) * 65536;
    const int32_t last = wide > INT32_MAX ? INT32_MAX : static_cast<int32_t>(wide);
    if (value < 0)
        value = 0;
    else if (value > last)
        value = last;
}

// One texel of 1, 2 or 4 bytes copied to the pixel.
inline void CopyTexel(uint8_t* p, const uint8_t* texel, int32_t bytes)
{
    if (bytes == 1)
        *p = *texel;
    else if (bytes == 2)
        StorePixel16(p, LoadPixel16(texel));
    else
        StorePixel32(p, LoadPixel32(texel));
}

// One interpolated quantity of a span: its value at the current pixel and its step.
struct Lane {
    int32_t value = 0;
    int32_t step = 0;

    void Next() { value = Add(value, step); }
};

// Columns xs..xe of the row covered by a span whose edges lie at 16.16 x positions left and
// right: the pixels whose centre lies in (left, right] for non-negative positions.
struct SpanColumns {
    int32_t xs = 0;
    int32_t xe = -1;
    // Columns the span starts before the raster's first (the values skip that many steps).
    int32_t skipped = 0;

    // False when nothing of the span lies on a raster of that width.
    bool Set(int32_t leftX, int32_t rightX, int32_t width)
    {
        int32_t t = leftX - 0x8000;
        xs = t >= 0 ? (t >> 16) + 1 : (t >> 16);
        t = rightX - 0x8000;
        xe = t >= 0 ? (t >> 16) : (t >> 16) - 1;
        if (xs > xe || xs >= width || xe < 0)
            return false;
        length = xe - xs;
        skipped = 0;
        if (xs < 0) {
            skipped = -xs;
            xs = 0;
        }
        if (xe >= width)
            xe = width - 1;
        return xs <= xe;
    }

    // The lane from the left value to the right one: integer steps truncated toward zero, none for
    // a one-pixel span, and the start moved past the skipped columns.
    Lane Interpolate(int32_t left, int32_t right) const
    {
        Lane lane;
        lane.value = left;
        if (length > 0) {
            const int64_t difference = static_cast<int64_t>(right) - static_cast<int64_t>(left);
            lane.step = static_cast<int32_t>(difference / length);
        }
        if (skipped > 0)
            lane.value = static_cast<int32_t>(static_cast<uint32_t>(left)
                + static_cast<uint32_t>(lane.step) * static_cast<uint32_t>(skipped));
        return lane;
    }

private:
    int32_t length = 0;
};

} // namespace fixed_span
