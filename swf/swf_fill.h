#pragma once

#include "swf_bitmap.h"
#include "swf_gradient.h"
#include "swf_matrix.h"

// One fill style of a shape; the handle lets its maker move, scale and rotate the gradient or
// bitmap after adding it.
class SwfFill : public SwfObject {
public:
    static constexpr uint8_t kSolid = 0x00;
    static constexpr uint8_t kLinearGradient = 0x10;
    static constexpr uint8_t kRadialGradient = 0x12;
    static constexpr uint8_t kTiledBitmap = 0x40;
    static constexpr uint8_t kClippedBitmap = 0x41;

    static SwfFill* Solid(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    // Null for a type that is no gradient or no bitmap fill of the format.
    static SwfFill* Gradient(SwfGradient* gradient, uint8_t type);
    static SwfFill* Bitmap(SwfBitmap* bitmap, uint8_t type);

    SwfMatrix& Matrix() { return fMatrix; }
    uint8_t Type() const { return fType; }
    SwfBitmap* BitmapOf() const { return fBitmap.Get(); }

    // The FILLSTYLE record; a bitmap fill needs its bitmap's id.
    void Write(SwfBits& out, uint16_t bitmapId) const;

private:
    SwfFill() = default;

    uint8_t fType = kSolid;
    uint8_t fColor[4] = { 0, 0, 0, 255 };
    SwfRef<SwfGradient> fGradient;
    SwfRef<SwfBitmap> fBitmap;
    SwfMatrix fMatrix;
};
