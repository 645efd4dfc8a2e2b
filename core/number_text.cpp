#include "number_text.h"

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

#include "text_scan.h"

namespace {

// One C locale object for the whole process; the process locale is never consulted.
locale_t CLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

} // namespace

int32_t FormatInt32(char* buffer, int32_t value)
{
    std::to_chars_result result = std::to_chars(buffer, buffer + 11, value);
    *result.ptr = 0;
    return static_cast<int32_t>(result.ptr - buffer);
}

int32_t FormatFixed6(char* buffer, double value)
{
    if (std::isnan(value)) {
        std::strcpy(buffer, "nan");
        return 3;
    }
    if (std::isinf(value)) {
        std::strcpy(buffer, value < 0 ? "-inf" : "inf");
        return value < 0 ? 4 : 3;
    }
    // Beyond the float range the text would not fit the caller's buffer; no stored value gets there.
    if (std::fabs(value) > 3.5e38)
        value = value < 0 ? -3.5e38 : 3.5e38;
    std::to_chars_result result = std::to_chars(buffer, buffer + 63, value, std::chars_format::fixed, 6);
    *result.ptr = 0;
    return static_cast<int32_t>(result.ptr - buffer);
}

int32_t FormatStoredFloat(char* buffer, float value)
{
    // "nan" and "inf" would end the reading of the whole record: store the nearest readable values.
    if (std::isnan(value))
        value = 0;
    else if (std::isinf(value))
        value = std::copysign(FLT_MAX, value);
    double rounded = value > 0 ? std::trunc(static_cast<double>(value) + 0.5)
                               : std::trunc(static_cast<double>(value) - 0.5);
    if (rounded >= INT32_MIN && rounded <= INT32_MAX) {
        int32_t whole = static_cast<int32_t>(rounded);
        if (std::fabs(value - static_cast<float>(whole)) < 1e-6f)
            return FormatInt32(buffer, whole);
    }
    int32_t length = FormatFixed6(buffer, value);
    if (std::memchr(buffer, '.', length)) {
        while (length > 0 && buffer[length - 1] == '0')
            length--;
        buffer[length] = 0;
    }
    return length;
}

bool ParseInt32Prefix(const char* text, int32_t& value, const char** end)
{
    if (!text)
        return false;
    const char* p = text;
    while (IsScanSpace(*p))
        p++;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        p++;
    }
    if (*p < '0' || *p > '9')
        return false;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        if (magnitude <= INT64_C(1) << 32)
            magnitude = magnitude * 10 + (*p - '0');
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (result < INT32_MIN || result > INT32_MAX)
        return false;
    value = static_cast<int32_t>(result);
    if (end)
        *end = p;
    return true;
}

bool ParseFloatPrefix(const char* text, float& value, const char** end)
{
    if (!text)
        return false;
    char* stop = nullptr;
    float result = strtof_l(text, &stop, CLocale());
    if (stop == text)
        return false;
    value = result;
    if (end)
        *end = stop;
    return true;
}

bool ParseStoredFloat(const char* text, float& value)
{
    float parsed;
    if (!ParseFloatPrefix(text, parsed) || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}
