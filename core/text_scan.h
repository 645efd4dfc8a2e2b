#pragma once

#include <cstdint>

// Token scanning shared by the streams: what counts as white space between tokens, and the one
// form of a number in every text format, whatever stream it is read from.

inline bool IsScanSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool IsScanDigit(int c)
{
    return c >= '0' && c <= '9';
}

enum class NumberForm { Integer, Float };

// Skips white space, then takes one number from the source into text (256 bytes): an optional
// sign and digits; a float may go on with a point and digits, and with an exponent mark, an
// optional sign and digits (an exponent mark without digits after it is left in the source).
// False when no digit came, or the number is longer than 255 bytes; what was taken stays taken.
//
// Source offers int Peek() (the next byte, or -1 at the end), void Advance(), and Tell() and
// SeekTo(position) to step back over an unfinished exponent.
template <class Source> bool ScanNumber(Source& source, NumberForm form, char* text)
{
    while (IsScanSpace(source.Peek()))
        source.Advance();
    int32_t n = 0;
    bool tooLong = false;
    auto take = [&](int c) {
        if (n < 255)
            text[n++] = static_cast<char>(c);
        else
            tooLong = true;
        source.Advance();
    };
    int32_t digits = 0;
    if (source.Peek() == '+' || source.Peek() == '-')
        take(source.Peek());
    for (; IsScanDigit(source.Peek()); digits++)
        take(source.Peek());
    if (form == NumberForm::Float) {
        if (source.Peek() == '.') {
            take('.');
            for (; IsScanDigit(source.Peek()); digits++)
                take(source.Peek());
        }
        if (digits > 0 && (source.Peek() == 'e' || source.Peek() == 'E')) {
            const auto mark = source.Tell();
            const int32_t mantissa = n;
            take(source.Peek());
            if (source.Peek() == '+' || source.Peek() == '-')
                take(source.Peek());
            int32_t exponentDigits = 0;
            for (; IsScanDigit(source.Peek()); exponentDigits++)
                take(source.Peek());
            if (exponentDigits == 0) {
                n = mantissa;
                source.SeekTo(mark);
            }
        }
    }
    text[n] = 0;
    return digits > 0 && !tooLong;
}
