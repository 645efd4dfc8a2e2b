#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Little-endian bytes and the format's most-significant-first bit fields. Bit fields are
// flushed to a byte boundary before any whole byte is written.
class SwfBits {
public:
    void U8(uint32_t v);
    void U16(uint32_t v);
    void S16(int32_t v);
    void U32(uint32_t v);
    void Bytes(const void* data, size_t n);
    void Append(const SwfBits& other);
    void Text(const char* text);  // NUL-terminated

    void UBits(uint32_t v, int n);
    void SBits(int32_t v, int n);
    void Align();

    // A rectangle in twips with the smallest bit count that holds every edge; edges beyond
    // what 31 bits hold are clamped.
    void Rect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax);
    // A tag header and body; bitmaps and sounds want the long header even when short.
    void Tag(int code, const SwfBits& body, bool longHeader = false);

    const std::vector<uint8_t>& Data();
    size_t Size() const { return fBytes.size() + (fBitCount > 0 ? 1 : 0); }

    static int SignedBits(int32_t v);
    static int UnsignedBits(uint32_t v);

private:
    std::vector<uint8_t> fBytes;
    uint32_t fBitBuffer = 0;
    int fBitCount = 0;
};

// Pixels (floats) to twips, the format's unit: 20 per pixel, rounded half away from zero, and
// clamped to what a 31-bit field holds.
int32_t SwfTwips(double pixels);
