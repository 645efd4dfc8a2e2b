#include "text_chars.h"

int32_t CharLengthAt(const char* text, int32_t length, int32_t at)
{
    if (at < 0 || at >= length)
        return 1;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    const uint8_t lead = bytes[at];
    int32_t need = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 1;
    }
    if (at + need >= length)
        return 1;
    for (int32_t i = 1; i <= need; ++i) {
        const uint8_t b = bytes[at + i];
        const uint8_t lo = i == 1 ? low : 0x80;
        const uint8_t hi = i == 1 ? high : 0xBF;
        if (b < lo || b > hi)
            return 1;
    }
    return need + 1;
}

int32_t CharStartAtOrBefore(const QV_String& text, int32_t at)
{
    if (at <= 0)
        return 0;
    if (at >= text.Length())
        return text.Length();
    int32_t position = 0;
    while (position < text.Length()) {
        const int32_t next = position + CharLengthAt(text.CString(), text.Length(), position);
        if (next > at)
            return position;
        position = next;
    }
    return text.Length();
}

int32_t NextCharStart(const QV_String& text, int32_t at)
{
    const int32_t start = CharStartAtOrBefore(text, at);
    if (start >= text.Length())
        return text.Length();
    return start + CharLengthAt(text.CString(), text.Length(), start);
}

int32_t PreviousCharStart(const QV_String& text, int32_t at)
{
    if (at <= 0)
        return 0;
    const int32_t start = CharStartAtOrBefore(text, at);
    if (start < at && start < text.Length())
        return start; // at was inside a character: its start is the one before
    return CharStartAtOrBefore(text, at - 1);
}

int32_t CharCount(const QV_String& text, int32_t bytes)
{
    int32_t count = 0;
    int32_t position = 0;
    while (position < bytes && position < text.Length()) {
        position += CharLengthAt(text.CString(), text.Length(), position);
        count++;
    }
    return count;
}

bool EncodeUtf8(uint32_t code, char out[5])
{
    if (code < 0x80) {
        out[0] = char(code);
        out[1] = 0;
    } else if (code < 0x800) {
        out[0] = char(0xC0 | (code >> 6));
        out[1] = char(0x80 | (code & 0x3F));
        out[2] = 0;
    } else if (code < 0x10000) {
        if (code >= 0xD800 && code <= 0xDFFF)
            return false;
        out[0] = char(0xE0 | (code >> 12));
        out[1] = char(0x80 | ((code >> 6) & 0x3F));
        out[2] = char(0x80 | (code & 0x3F));
        out[3] = 0;
    } else if (code <= 0x10FFFF) {
        out[0] = char(0xF0 | (code >> 18));
        out[1] = char(0x80 | ((code >> 12) & 0x3F));
        out[2] = char(0x80 | ((code >> 6) & 0x3F));
        out[3] = char(0x80 | (code & 0x3F));
        out[4] = 0;
    } else {
        return false;
    }
    return true;
}
