#include "qv_functions.h"

#include <cmath>

#include "binding_conventions.h"
#include "plat_beep.h"
#include "plat_time.h"

void QVScript_Beep()
{
    PlatBeep();
}

uint32_t SnoozeMilliseconds(double ms)
{
    if (!(ms > 0))
        return 0;
    if (ms >= 2147483647.0)
        return 2147483647u;
    return uint32_t(ms);
}

void QVScript_Snooze(double ms)
{
    const uint32_t wait = SnoozeMilliseconds(ms);
    if (wait > 0)
        PlatSleep(wait);
}

int QVScript_Round(float x)
{
    const double v = x > 0 ? double(x) + 0.5 : double(x) - 0.5;
    return QV_LuaInt(std::trunc(v));
}

float QVScript_Clamp(float x, float lo, float hi)
{
    if (x < lo)
        return lo;
    if (x > hi)
        return hi;
    return x;
}

float QVScript_Lerp(float t, float a, float b)
{
    return a + (b - a) * t;
}

float QVScript_Slerp(float t, float a, float b)
{
    const float s = t * 3 * t - t * t * 2 * t;
    return a + (b - a) * s;
}
