#pragma once

#include <cstdint>

#include "animdiscrete.h"

// The values of an on/off channel.
struct AnimBoolTraits {
    using Key = bool;
    using Cached = bool;
    using Result = bool;
    static bool Zero() { return false; }
    static bool ToCached(bool v) { return v; }
    static bool FromCached(bool v) { return v; }
};

// A keyframed switch: visibility and on/off settings. Each key holds until the next one.
class AnimBool : public AnimDiscrete<AnimBool, AnimBoolTraits> {
public:
    // Channel assignment (AnimKeyed::Assign): scripts assign channel variables.
    AnimBool& operator=(const AnimBool& source)
    {
        Assign(source);
        return *this;
    }

    AnimBool();
    ~AnimBool() override;

    int32_t ChannelType() override;
    bool ReadKeyValue(QV_IoStream* stream, int32_t index) override;
    void WriteKeyValue(QV_IoStream* stream, int32_t index) override;

    bool KeepActionResult(bool v) { return v; }
};
