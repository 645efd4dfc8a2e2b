#pragma once

#include "swf_bits.h"
#include "swf_object.h"

// Colour stops of a gradient fill, kept sorted by position; the format carries at most 15.
class SwfGradient : public SwfObject {
public:
    static constexpr int kMaxEntries = 15;

    // Position 0 … 1 along the gradient square (clamped); a stop past the fifteenth is dropped.
    void AddEntry(float position, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    int Count() const { return fCount; }

    void Write(SwfBits& out) const;

private:
    struct Entry {
        uint8_t fRatio, fR, fG, fB, fA;
    };
    Entry fEntries[kMaxEntries] = {};
    int fCount = 0;
};
