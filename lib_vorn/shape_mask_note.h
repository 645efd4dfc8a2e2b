#pragma once

#include <cstdint>

class XGraphics;

// What the last shape rendered of a vector layer left of the drawing raster: wholly transparent
// black, for the layer's next shape drawn with the same context into the same raster, which then
// needs no clearing of its own. Copies start without a note.
struct ShapeMaskNote {
    ShapeMaskNote() = default;
    ShapeMaskNote(const ShapeMaskNote&) { }
    ShapeMaskNote& operator=(const ShapeMaskNote&)
    {
        Forget();
        return *this;
    }

    void Forget() { fGraphics = nullptr; }

    XGraphics* fGraphics = nullptr;
    const uint8_t* fPixels = nullptr;
    int32_t fWidth = 0;
    int32_t fHeight = 0;
    int32_t fRowBytes = 0;
    int32_t fNextItem = -1;
};
