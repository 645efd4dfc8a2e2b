#pragma once
#include <cstdint>

#include "qv_string.h"

// Whole characters of UTF-8 text. A byte that does not start a well-formed
// sequence counts as one character of its own, so every byte position is
// reachable and no edit ever keeps half of a character.

// Bytes of the character that starts at the position (1 for a stray byte).
int32_t CharLengthAt(const char* text, int32_t length, int32_t at);
// The start of the character after / before the position, within 0 .. length.
int32_t NextCharStart(const QV_String& text, int32_t at);
int32_t PreviousCharStart(const QV_String& text, int32_t at);
// The start of the character that holds the position (the position itself
// when it lies between two characters).
int32_t CharStartAtOrBefore(const QV_String& text, int32_t at);
// Characters among the first bytes.
int32_t CharCount(const QV_String& text, int32_t bytes);
// The code point in UTF-8; false for surrogates and values past U+10FFFF.
bool EncodeUtf8(uint32_t code, char out[5]);
