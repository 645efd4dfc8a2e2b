#pragma once

#include <cstdint>

// Number text of the stored formats. Every text format of the program is read and written in
// the C locale whatever the process locale is, so these never go through the locale-aware
// printf/scanf family.

// Decimal text of a 32-bit value; returns the text length. Needs 12 bytes.
int32_t FormatInt32(char* buffer, int32_t value);

// The six-decimal fixed form of printf's "%f", rounded to nearest; returns the text length.
// Non-finite values give "nan", "inf" or "-inf". Needs 64 bytes for any float.
int32_t FormatFixed6(char* buffer, double value);

// The number form of every float in the text formats: a value within 1e-6 of a whole number is
// written as that integer, any other with six decimals and its trailing zeros removed.
// Needs 64 bytes; returns the text length.
int32_t FormatStoredFloat(char* buffer, float value);

// A "%ld"-style scan: skips leading white space, takes an optional sign and at least one digit.
// Values outside the 32-bit range fail. On success *end (when given) points past the digits.
bool ParseInt32Prefix(const char* text, int32_t& value, const char** end = nullptr);

// A "%f"-style scan in the C locale (sign, point, exponent, inf and nan accepted), skipping
// leading white space. On success *end (when given) points past the number.
bool ParseFloatPrefix(const char* text, float& value, const char** end = nullptr);

// A number token of the stored formats (text_scan.h) as a float. A value that is not finite
// ("1e999" overflows) fails: no stored value may be infinite or NaN.
bool ParseStoredFloat(const char* text, float& value);
