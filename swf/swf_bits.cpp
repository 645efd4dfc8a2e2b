#include "swf_bits.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace {

// The widest value a field with a 5-bit bit count holds is 31 bits, sign included.
constexpr int32_t kMaxField = 1073741823;

int32_t ClampToField(int32_t v) { return v > kMaxField ? kMaxField : (v < -kMaxField ? -kMaxField : v); }

}  // namespace

void SwfBits::U8(uint32_t v)
{
    Align();
    fBytes.push_back(static_cast<uint8_t>(v));
}

void SwfBits::U16(uint32_t v)
{
    U8(v & 0xFF);
    U8((v >> 8) & 0xFF);
}

void SwfBits::S16(int32_t v) { U16(static_cast<uint32_t>(v) & 0xFFFF); }

void SwfBits::U32(uint32_t v)
{
    U16(v & 0xFFFF);
    U16(v >> 16);
}

void SwfBits::Bytes(const void* data, size_t n)
{
    Align();
    const uint8_t* p = static_cast<const uint8_t*>(data);
    fBytes.insert(fBytes.end(), p, p + n);
}

void SwfBits::Append(const SwfBits& other)
{
    Align();
    fBytes.insert(fBytes.end(), other.fBytes.begin(), other.fBytes.end());
    if (other.fBitCount > 0)
        fBytes.push_back(static_cast<uint8_t>(other.fBitBuffer << (8 - other.fBitCount)));
}

void SwfBits::Text(const char* text)
{
    Bytes(text, std::strlen(text) + 1);
}

void SwfBits::UBits(uint32_t v, int n)
{
    // Fields wider than the value carry leading zero bits.
    if (n > 32) {
        UBits(0, n - 32);
        n = 32;
    }
    if (n <= 0)
        return;
    if (n < 32)
        v &= (1u << n) - 1;
    // Fewer than 8 bits wait in the buffer, so the 64-bit sum never overflows.
    const uint64_t bits = (static_cast<uint64_t>(fBitBuffer) << n) | v;
    int count = fBitCount + n;
    while (count >= 8) {
        count -= 8;
        fBytes.push_back(static_cast<uint8_t>(bits >> count));
    }
    fBitBuffer = static_cast<uint32_t>(bits) & ((1u << count) - 1);
    fBitCount = count;
}

void SwfBits::SBits(int32_t v, int n) { UBits(static_cast<uint32_t>(v), n); }

void SwfBits::Align()
{
    if (fBitCount > 0)
        UBits(0, 8 - fBitCount);
}

void SwfBits::Rect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax)
{
    int32_t edges[4] = { ClampToField(xmin), ClampToField(xmax), ClampToField(ymin), ClampToField(ymax) };
    int n = 1;
    for (int32_t v : edges) {
        const int b = SignedBits(v);
        if (b > n)
            n = b;
    }
    UBits(static_cast<uint32_t>(n), 5);
    for (int32_t v : edges)
        SBits(v, n);
    Align();
}

void SwfBits::Tag(int code, const SwfBits& body, bool longHeader)
{
    const size_t length = body.Size();
    if (length < 63 && !longHeader) {
        U16(static_cast<uint32_t>(code << 6) | static_cast<uint32_t>(length));
    } else {
        U16(static_cast<uint32_t>(code << 6) | 0x3F);
        U32(static_cast<uint32_t>(length));
    }
    Append(body);
}

const std::vector<uint8_t>& SwfBits::Data()
{
    Align();
    return fBytes;
}

int SwfBits::SignedBits(int32_t v)
{
    // One sign bit above the magnitude's bits; 0 and -1 still take one bit.
    const uint32_t m = v < 0 ? ~static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    return static_cast<int>(std::bit_width(m)) + 1;
}

int SwfBits::UnsignedBits(uint32_t v) { return static_cast<int>(std::bit_width(v)); }

int32_t SwfTwips(double pixels)
{
    const double t = pixels * 20.0;
    if (!(t == t))
        return 0;
    if (t >= kMaxField)
        return kMaxField;
    if (t <= -kMaxField)
        return -kMaxField;
    return static_cast<int32_t>(t >= 0 ? t + 0.5 : t - 0.5);
}
