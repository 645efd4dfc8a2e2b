#include "swf_gradient.h"

void SwfGradient::AddEntry(float position, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    if (fCount >= kMaxEntries)
        return;
    float p = position * 255.0f;
    if (!(p >= 0.0f))
        p = 0.0f;
    if (p > 255.0f)
        p = 255.0f;
    const Entry entry = { static_cast<uint8_t>(p + 0.5f), r, g, b, a };
    // Equal positions keep the order they were given in.
    int at = fCount;
    while (at > 0 && fEntries[at - 1].fRatio > entry.fRatio) {
        fEntries[at] = fEntries[at - 1];
        --at;
    }
    fEntries[at] = entry;
    ++fCount;
}

void SwfGradient::Write(SwfBits& out) const
{
    out.UBits(0, 2);  // pad spread
    out.UBits(0, 2);  // normal RGB interpolation
    out.UBits(static_cast<uint32_t>(fCount), 4);
    for (int i = 0; i < fCount; ++i) {
        const Entry& e = fEntries[i];
        out.U8(e.fRatio);
        out.U8(e.fR);
        out.U8(e.fG);
        out.U8(e.fB);
        out.U8(e.fA);
    }
}
