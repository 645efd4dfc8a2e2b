#pragma once

#include <cstdint>

#include "animdiscrete.h"
#include "qv_string.h"

// The values of a text channel.
struct AnimStringTraits {
    using Key = QV_String;
    using Cached = QV_String;
    // Answers point into the keys or into fResultText: callers copy them at once.
    using Result = const QV_String&;
    static const QV_String& Zero();
    static const QV_String& ToCached(const QV_String& v) { return v; }
    static const QV_String& FromCached(const QV_String& v) { return v; }
};

// A keyframed text: the sub-layer a switch layer shows. Each key holds until the next one.
class AnimString : public AnimDiscrete<AnimString, AnimStringTraits> {
public:
    // Channel assignment (AnimKeyed::Assign): scripts assign channel variables.
    AnimString& operator=(const AnimString& source)
    {
        Assign(source);
        return *this;
    }

    AnimString();
    ~AnimString() override;

    // Texts are stored between double quotes without escapes, so a double quote inside one
    // would end it early when read back: they are left out.
    void SetValue(int32_t frame, const QV_String& text);

    // The two texts around the frame and how far the frame lies from the first towards the
    // second, for blending the switch layer's sub-layers.
    void GetValueBlend(int32_t frame, QV_String& from, QV_String& to, float& fraction);

    int32_t ChannelType() override;
    bool ReadKeyValue(QV_IoStream* stream, int32_t index) override;
    void WriteKeyValue(QV_IoStream* stream, int32_t index) override;

    const QV_String& KeepActionResult(const QV_String& text);

    // The text last taken from an action through a pose key.
    QV_String fResultText;
};
