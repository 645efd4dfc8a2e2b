#pragma once

#include <cstdint>

// Strict conversions between UTF-8, UTF-16 and code points: nothing illegal is passed through
// or replaced. Each routine converts as far as it can, leaves *source at the first unconverted
// unit and *target after the last unit written, and returns one of these codes.
enum UTFConversionResult : int {
    kUTFConversionOK = 0,
    kUTFSourceExhausted = 1, // the source ends inside a character; *source at its start
    kUTFTargetExhausted = 2, // the next character does not fit; *source at its start
    kUTFSourceIllegal = 3, // *source at the start of the invalid sequence
};

UTFConversionResult ConvertUTF16toUTF8(
    const char16_t** source, const char16_t* sourceEnd, char** target, char* targetEnd);
UTFConversionResult ConvertUTF8toUTF16(
    const char** source, const char* sourceEnd, char16_t** target, char16_t* targetEnd);
UTFConversionResult ConvertUTF8toUTF32(
    const char** source, const char* sourceEnd, char32_t** target, char32_t* targetEnd);

// Checks one sequence of `length` bytes (the length its lead byte announces, 1 to 4).
bool IsLegalUTF8(const char* bytes, int length);

// Ring-buffer conversions for text handed to or taken from outside APIs. Each function owns a
// ring of 4 static buffers of 2048 units: a result stays valid until four further calls of the
// same function. Input is cut at 2047 units, output at 2046; an illegal sequence gives an empty
// text, a cut character keeps what came before it. Not thread-safe: interface thread only.
const char16_t* ToWide(const char* text);
const char* ToUTF8(const char16_t* text);
