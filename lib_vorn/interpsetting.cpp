#include "interpsetting.h"

#include <cmath>
#include <limits>

#include "model_prefs.h"

int32_t DefaultInterpMode()
{
    return ModelPrefInt("DefaultInterp", INTERP_SMOOTH);
}

InterpSetting DefaultInterpSetting()
{
    return InterpSetting { DefaultInterpMode(), 0.1f, 0.5f };
}

int32_t RoundParam(float value)
{
    if (std::isnan(value))
        return 0;
    float rounded = std::trunc(value > 0 ? value + 0.5f : value - 0.5f);
    if (rounded >= 2147483647.0f)
        return std::numeric_limits<int32_t>::max();
    if (rounded <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return int32_t(rounded);
}

int32_t ClampFrame(int64_t frame)
{
    if (frame > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (frame < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(frame);
}

int32_t CycleTarget(int32_t keyFrame, const InterpSetting& setting)
{
    if (setting.val2 > -0.000001f)
        return RoundParam(setting.val2);
    return ClampFrame(int64_t(keyFrame) - RoundParam(setting.val1));
}

int32_t MapCycleFrame(int32_t keyFrame, int32_t target, int32_t frame)
{
    if (target >= keyFrame)
        return keyFrame;
    // The first pass covers target..keyFrame-1; every later pass target..keyFrame.
    int64_t n = int64_t(frame) - keyFrame - 1;
    int64_t period = int64_t(keyFrame) - target;
    if (n > period)
        period += 1;
    if (n < 0)
        return target;
    return int32_t(target + n % period);
}

