#pragma once
#include <cstdint>

class QV_Message;

// A setting holding two numbers ("%ld %ld"), as the remembered places and
// sizes of windows and panels are stored. False, leaving the outputs alone,
// when the key is missing or does not start with two numbers that fit in
// 32 bits.
bool FindSettingPair(const QV_Message& settings, const char* key, int32_t& first, int32_t& second);
void StoreSettingPair(QV_Message& settings, const char* key, int32_t first, int32_t second);
