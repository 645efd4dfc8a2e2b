#include "setting_pair.h"

#include <cinttypes>
#include <cstdio>

#include "qv_message.h"

bool FindSettingPair(const QV_Message& settings, const char* key, int32_t& first, int32_t& second)
{
    const char* text = nullptr;
    if (!settings.FindString(key, &text) || !text)
        return false;
    long long a = 0;
    long long b = 0;
    if (std::sscanf(text, "%lld %lld", &a, &b) != 2)
        return false;
    if (a < INT32_MIN || a > INT32_MAX || b < INT32_MIN || b > INT32_MAX)
        return false;
    first = static_cast<int32_t>(a);
    second = static_cast<int32_t>(b);
    return true;
}

void StoreSettingPair(QV_Message& settings, const char* key, int32_t first, int32_t second)
{
    char text[32];
    std::snprintf(text, sizeof text, "%" PRId32 " %" PRId32, first, second);
    settings.AddString(key, text);
}
