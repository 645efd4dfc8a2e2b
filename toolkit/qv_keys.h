#pragma once
#include <cstdint>

// Keys reach layers and views as an int: the character for characters, or
// one of these negative codes for keys without one.
constexpr int32_t KEY_RETURN = -1;
constexpr int32_t KEY_ESCAPE = -2;
constexpr int32_t KEY_TAB = -3;
constexpr int32_t KEY_BACKSPACE = -4;
constexpr int32_t KEY_DELETE = -5;
constexpr int32_t KEY_HOME = -6;
constexpr int32_t KEY_END = -7;
constexpr int32_t KEY_PAGEUP = -8;
constexpr int32_t KEY_PAGEDOWN = -9;
constexpr int32_t KEY_LEFT = -10;
constexpr int32_t KEY_UP = -11;
constexpr int32_t KEY_RIGHT = -12;
constexpr int32_t KEY_DOWN = -13;
// F1 .. F12 are -20 .. -31.
constexpr int32_t KEY_F1 = -20;
constexpr int32_t KEY_F12 = -31;

// Modifier bits of input events, summed.
constexpr int32_t MODIFIER_SHIFT = 1;
constexpr int32_t MODIFIER_CTRL = 2;
constexpr int32_t MODIFIER_ALT = 4;
