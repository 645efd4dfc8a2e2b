#pragma once
// A QV_Graphics over an owned raster, with the queries the drawing tests share.
#include "owned_raster.h"
#include "qv_graphics.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct Canvas {
    using Pixels = std::vector<std::pair<int32_t, int32_t>>;

    // A 32-bit canvas starts opaque black, so that an opaque colour drawn over it shows and a
    // blended one can be predicted.
    Canvas(int32_t width, int32_t height, int32_t depth = 32)
        : raster(width, height, depth)
    {
        if (depth == 32)
            raster.Fill32(kBackground);
        g.SetRaster(&raster.buffer);
    }

    uint32_t Get(int32_t x, int32_t y)
    {
        switch (raster.buffer.bytesPerPixel) {
        case 1:
            return *raster.At(x, y);
        case 2:
            return raster.Get16(x, y);
        default:
            return raster.Get32(x, y);
        }
    }

    bool Changed(int32_t x, int32_t y) { return Get(x, y) != Background(); }

    uint32_t Background() { return raster.buffer.bytesPerPixel == 4 ? kBackground : 0; }

    // Every pixel that differs from the background, row by row.
    Pixels ChangedPixels()
    {
        Pixels out;
        for (int32_t y = 0; y < raster.buffer.height; y++)
            for (int32_t x = 0; x < raster.buffer.width; x++)
                if (Changed(x, y))
                    out.emplace_back(x, y);
        return out;
    }

    // The pixels of the inclusive rectangle, row by row.
    static Pixels Block(int32_t left, int32_t top, int32_t right, int32_t bottom)
    {
        Pixels out;
        for (int32_t y = top; y <= bottom; y++)
            for (int32_t x = left; x <= right; x++)
                out.emplace_back(x, y);
        return out;
    }

    // The changed pixels as text ('#'), for failure messages.
    std::string Picture()
    {
        std::string out;
        for (int32_t y = 0; y < raster.buffer.height; y++) {
            for (int32_t x = 0; x < raster.buffer.width; x++)
                out += Changed(x, y) ? '#' : '.';
            out += '\n';
        }
        return out;
    }

    static constexpr uint32_t kBackground = 0xFF000000u;

    OwnedRaster raster;
    QV_Graphics g;
};
