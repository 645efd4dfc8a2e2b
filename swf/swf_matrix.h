#pragma once

#include "swf_bits.h"

// An affine map of the format: x' = fA x + fC y + fTx, y' = fB x + fD y + fTy, the translation
// in twips. Angles are degrees, counter-clockwise as seen on screen (y points down).
struct SwfMatrix {
    double fA = 1, fB = 0, fC = 0, fD = 1;
    double fTx = 0, fTy = 0;

    // Each composes after what the matrix already does.
    void Rotate(double degrees);
    void Scale(double sx, double sy);
    void MoveBy(double dxPixels, double dyPixels);
    void MoveTo(double xPixels, double yPixels);

    // Scale, then rotation, then position: the placement of a display item.
    static SwfMatrix Placement(double sx, double sy, double degrees, double xPixels, double yPixels);

    void Write(SwfBits& out) const;
};

// A colour transform that multiplies red, green, blue and alpha.
struct SwfColorMult {
    double fR = 1, fG = 1, fB = 1, fA = 1;

    bool IsIdentity() const { return fR == 1 && fG == 1 && fB == 1 && fA == 1; }
    void Write(SwfBits& out) const;
};
