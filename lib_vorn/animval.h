#pragma once

#include <cstdint>

#include "animnumeric.h"

// The values of a float channel.
struct AnimValTraits {
    using Key = float;
    using Cached = float;
    static constexpr int32_t kComponents = 1;
    static float Zero() { return 0; }
    static float ToCached(float v) { return v; }
    static float FromCached(float v) { return v; }
    static float Get(float v, int32_t) { return v; }
    static void Put(float& v, int32_t, float c) { v = c; }
    static bool HasNoise(int32_t) { return true; }
    // Noise differs between channels: the third coordinate comes from the channel's address,
    // scaled down by the value.
    static float NoiseZ(const void* channel, int32_t component, float v);
};

// A keyframed float: widths, curvatures, angles, opacities.
class AnimVal : public AnimNumeric<AnimVal, AnimValTraits> {
public:
    // Channel assignment (AnimKeyed::Assign): scripts assign channel variables.
    AnimVal& operator=(const AnimVal& source)
    {
        Assign(source);
        return *this;
    }

    AnimVal();
    ~AnimVal() override;

    int32_t ChannelType() override;
    bool ReadKeyValue(QV_IoStream* stream, int32_t index) override;
    void WriteKeyValue(QV_IoStream* stream, int32_t index) override;
};
