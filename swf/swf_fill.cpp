#include "swf_fill.h"

SwfFill* SwfFill::Solid(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    SwfFill* fill = new SwfFill;
    fill->fColor[0] = r;
    fill->fColor[1] = g;
    fill->fColor[2] = b;
    fill->fColor[3] = a;
    return fill;
}

SwfFill* SwfFill::Gradient(SwfGradient* gradient, uint8_t type)
{
    if (!gradient || (type != kLinearGradient && type != kRadialGradient))
        return nullptr;
    SwfFill* fill = new SwfFill;
    fill->fType = type;
    fill->fGradient = SwfRef<SwfGradient>(gradient);
    return fill;
}

SwfFill* SwfFill::Bitmap(SwfBitmap* bitmap, uint8_t type)
{
    if (!bitmap || type < kTiledBitmap || type > 0x43)
        return nullptr;
    SwfFill* fill = new SwfFill;
    fill->fType = type;
    fill->fBitmap = SwfRef<SwfBitmap>(bitmap);
    // One bitmap pixel per output pixel.
    fill->fMatrix.Scale(20.0, 20.0);
    return fill;
}

void SwfFill::Write(SwfBits& out, uint16_t bitmapId) const
{
    out.U8(fType);
    if (fType == kSolid) {
        for (uint8_t c : fColor)
            out.U8(c);
    } else if (fGradient) {
        fMatrix.Write(out);
        fGradient->Write(out);
    } else {
        out.U16(bitmapId);
        fMatrix.Write(out);
    }
}
