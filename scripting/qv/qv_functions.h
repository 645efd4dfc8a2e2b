#pragma once

#include <cstdint>

// The axis codes of QV besides X_AXIS, Y_AXIS and Z_AXIS; the rotations leave them alone.
constexpr int32_t NEGX_AXIS = 3;
constexpr int32_t NEGY_AXIS = 4;
constexpr int32_t NEGZ_AXIS = 5;
constexpr int32_t FREE_AXIS = 6;

// The module functions of QV.
void QVScript_Beep();
// Sleeps the calling thread: negative counts are 0, and the wait never exceeds 2^31 - 1 ms, so
// no count can mean "wait for ever".
void QVScript_Snooze(double ms);
// Halves away from zero; beyond the 32-bit range the result saturates, NaN gives 0.
int QVScript_Round(float x);
// lo when x < lo, else hi when x > hi, else x.
float QVScript_Clamp(float x, float lo, float hi);
float QVScript_Lerp(float t, float a, float b);
// The ease curve 3t^2 - 2t^3 between a and b.
float QVScript_Slerp(float t, float a, float b);

// The milliseconds Snooze waits for a script's count.
uint32_t SnoozeMilliseconds(double ms);
