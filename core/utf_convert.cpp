#include "utf_convert.h"

#include <cstring>

namespace {

constexpr char32_t kSurrogateHighStart = 0xD800;
constexpr char32_t kSurrogateHighEnd = 0xDBFF;
constexpr char32_t kSurrogateLowStart = 0xDC00;
constexpr char32_t kSurrogateLowEnd = 0xDFFF;
constexpr char32_t kMaxBMP = 0xFFFF;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

// What the multi-byte sum overshoots by, per number of trailing bytes: the lead-byte marks and
// continuation marks shifted into place.
constexpr char32_t kUTF8Offsets[6]
    = { 0x00000000, 0x00003080, 0x000E2080, 0x03C82080, 0xFA082080, 0x82082080 };
constexpr uint8_t kFirstByteMark[5] = { 0x00, 0x00, 0xC0, 0xE0, 0xF0 };

int TrailingBytes(uint8_t lead)
{
    if (lead < 0xC0)
        return 0;
    if (lead < 0xE0)
        return 1;
    if (lead < 0xF0)
        return 2;
    if (lead < 0xF8)
        return 3;
    if (lead < 0xFC)
        return 4;
    return 5;
}

// Checks the first `available` bytes of a sequence whose lead byte announces more or as many.
// Used for whole sequences and for sequences cut by the source end alike, so that a cut-off
// text is told apart from one whose present bytes are already wrong.
bool IsLegalUTF8Prefix(const uint8_t* bytes, int available)
{
    uint8_t lead = bytes[0];
    if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4)
        return false;
    for (int i = 1; i < available; i++) {
        if (bytes[i] < 0x80 || bytes[i] > 0xBF)
            return false;
    }
    if (available >= 2) {
        uint8_t second = bytes[1];
        if (lead == 0xE0 && second < 0xA0)
            return false; // overlong
        if (lead == 0xED && second > 0x9F)
            return false; // encoded surrogate
        if (lead == 0xF0 && second < 0x90)
            return false; // overlong
        if (lead == 0xF4 && second > 0x8F)
            return false; // beyond U+10FFFF
    }
    return true;
}

// Decodes the sequence at *source. On success advances *source and returns OK with the code
// point in *out; otherwise leaves *source alone.
UTFConversionResult DecodeUTF8(const char** source, const char* sourceEnd, char32_t* out)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(*source);
    int extra = TrailingBytes(bytes[0]);
    long available = sourceEnd - *source;
    if (extra >= available) {
        // Only a sequence that could still be completed counts as cut short; a bad lead byte
        // or a bad byte already present is illegal however the text goes on.
        if (!IsLegalUTF8Prefix(bytes, static_cast<int>(available)))
            return kUTFSourceIllegal;
        return kUTFSourceExhausted;
    }
    if (!IsLegalUTF8(*source, extra + 1))
        return kUTFSourceIllegal;
    char32_t ch = 0;
    for (int i = 0; i <= extra; i++) {
        ch = (ch << 6) + bytes[i];
    }
    *out = ch - kUTF8Offsets[extra];
    *source += extra + 1;
    return kUTFConversionOK;
}

// One UTF-8 sequence as a Unicode scalar value: surrogate code points and values beyond the
// last plane are illegal in every target form. On failure the source is left at the sequence.
UTFConversionResult DecodeScalar(const char** source, const char* sourceEnd, char32_t* ch)
{
    const char* start = *source;
    UTFConversionResult result = DecodeUTF8(source, sourceEnd, ch);
    if (result == kUTFConversionOK
        && ((*ch >= kSurrogateHighStart && *ch <= kSurrogateLowEnd) || *ch > kMaxCodePoint)) {
        *source = start;
        result = kUTFSourceIllegal;
    }
    return result;
}

// The decoding loop of the UTF-8 readers: store(ch, dst) writes one scalar value at dst, moving
// it on, or answers false when the target has no room for it.
template <class Unit, class Store>
UTFConversionResult FromUTF8(const char** source, const char* sourceEnd, Unit** target, Store store)
{
    const char* src = *source;
    Unit* dst = *target;
    UTFConversionResult result = kUTFConversionOK;
    while (src < sourceEnd) {
        const char* start = src;
        char32_t ch = 0;
        result = DecodeScalar(&src, sourceEnd, &ch);
        if (result != kUTFConversionOK)
            break;
        if (!store(ch, dst)) {
            src = start;
            result = kUTFTargetExhausted;
            break;
        }
    }
    *source = src;
    *target = dst;
    return result;
}

} // namespace

bool IsLegalUTF8(const char* text, int length)
{
    if (length < 1 || length > 4)
        return false;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text);
    if (TrailingBytes(bytes[0]) + 1 != length)
        return false;
    return IsLegalUTF8Prefix(bytes, length);
}

UTFConversionResult ConvertUTF16toUTF8(
    const char16_t** source, const char16_t* sourceEnd, char** target, char* targetEnd)
{
    const char16_t* src = *source;
    char* dst = *target;
    UTFConversionResult result = kUTFConversionOK;
    while (src < sourceEnd) {
        const char16_t* start = src;
        char32_t ch = *src++;
        if (ch >= kSurrogateHighStart && ch <= kSurrogateHighEnd) {
            if (src >= sourceEnd) {
                src = start;
                result = kUTFSourceExhausted;
                break;
            }
            char32_t low = *src;
            if (low < kSurrogateLowStart || low > kSurrogateLowEnd) {
                src = start;
                result = kUTFSourceIllegal;
                break;
            }
            ch = ((ch - kSurrogateHighStart) << 10) + (low - kSurrogateLowStart) + 0x10000;
            src++;
        } else if (ch >= kSurrogateLowStart && ch <= kSurrogateLowEnd) {
            src = start;
            result = kUTFSourceIllegal;
            break;
        }
        int count = ch < 0x80 ? 1 : ch < 0x800 ? 2 : ch < 0x10000 ? 3 : 4;
        if (targetEnd - dst < count) {
            src = start;
            result = kUTFTargetExhausted;
            break;
        }
        for (int i = count - 1; i > 0; i--) {
            dst[i] = static_cast<char>(0x80 | (ch & 0x3F));
            ch >>= 6;
        }
        dst[0] = static_cast<char>(ch | kFirstByteMark[count]);
        dst += count;
    }
    *source = src;
    *target = dst;
    return result;
}

UTFConversionResult ConvertUTF8toUTF16(
    const char** source, const char* sourceEnd, char16_t** target, char16_t* targetEnd)
{
    return FromUTF8(source, sourceEnd, target, [targetEnd](char32_t ch, char16_t*& dst) {
        if (ch <= kMaxBMP) {
            if (dst >= targetEnd)
                return false;
            *dst++ = static_cast<char16_t>(ch);
            return true;
        }
        if (targetEnd - dst < 2)
            return false;
        ch -= 0x10000;
        *dst++ = static_cast<char16_t>((ch >> 10) + kSurrogateHighStart);
        *dst++ = static_cast<char16_t>((ch & 0x3FF) + kSurrogateLowStart);
        return true;
    });
}

UTFConversionResult ConvertUTF8toUTF32(
    const char** source, const char* sourceEnd, char32_t** target, char32_t* targetEnd)
{
    return FromUTF8(source, sourceEnd, target, [targetEnd](char32_t ch, char32_t*& dst) {
        if (dst >= targetEnd)
            return false;
        *dst++ = ch;
        return true;
    });
}

namespace {

constexpr int kRingSize = 4;
constexpr int kRingUnits = 2048;
constexpr int kMaxInput = kRingUnits - 1;
constexpr int kMaxOutput = kRingUnits - 2;

} // namespace

const char16_t* ToWide(const char* text)
{
    static char16_t ring[kRingSize][kRingUnits];
    static int next = 0;
    next = (next + 1) % kRingSize;
    char16_t* buffer = ring[next];
    buffer[0] = 0;
    if (!text)
        return buffer;
    const char* source = text;
    const char* sourceEnd = text + strnlen(text, kMaxInput);
    char16_t* target = buffer;
    if (ConvertUTF8toUTF16(&source, sourceEnd, &target, buffer + kMaxOutput) == kUTFSourceIllegal)
        target = buffer;
    *target = 0;
    return buffer;
}

const char* ToUTF8(const char16_t* text)
{
    static char ring[kRingSize][kRingUnits];
    static int next = 0;
    next = (next + 1) % kRingSize;
    char* buffer = ring[next];
    buffer[0] = 0;
    if (!text)
        return buffer;
    int length = 0;
    while (length < kMaxInput && text[length])
        length++;
    const char16_t* source = text;
    char* target = buffer;
    if (ConvertUTF16toUTF8(&source, text + length, &target, buffer + kMaxOutput) == kUTFSourceIllegal)
        target = buffer;
    *target = 0;
    return buffer;
}
