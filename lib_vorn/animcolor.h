#pragma once

#include <cstdint>

#include "animnumeric.h"
#include "qv_color.h"

// The values of a colour channel. Keys are float colours and are never clamped; only the
// cached value is packed into bytes.
struct AnimColorTraits {
    using Key = QV_ColorVector;
    using Cached = rgb_color;
    static constexpr int32_t kComponents = 4;
    static QV_ColorVector Zero() { return QV_ColorVector { 0, 0, 0, 1 }; }
    static rgb_color ToCached(const QV_ColorVector& c) { return c.AsColorStruct(); }
    static QV_ColorVector FromCached(rgb_color c)
    {
        QV_ColorVector v;
        v.Set(c);
        return v;
    }
    static float Get(const QV_ColorVector& c, int32_t i)
    {
        return i == 0 ? c.r : i == 1 ? c.g : i == 2 ? c.b : c.a;
    }
    static void Put(QV_ColorVector& c, int32_t i, float v)
    {
        (i == 0 ? c.r : i == 1 ? c.g : i == 2 ? c.b : c.a) = v;
    }
    // Noise never touches the opacity.
    static bool HasNoise(int32_t i) { return i < 3; }
    static float NoiseZ(const void*, int32_t component, float)
    {
        return component == 0 ? 0.0f : component == 1 ? 6.3456f : -3.2345f;
    }
};

// A keyframed colour: fill, line and shading colours. value is the packed colour at the
// current frame, so keying it (StoreValue) quantises to steps of 1/255.
class AnimColor : public AnimNumeric<AnimColor, AnimColorTraits> {
public:
    // Channel assignment (AnimKeyed::Assign): scripts assign channel variables.
    AnimColor& operator=(const AnimColor& source)
    {
        Assign(source);
        return *this;
    }

    AnimColor();
    ~AnimColor() override;

    using AnimKeyed::SetValue;
    // Each byte / 255.
    void SetValue(int32_t frame, rgb_color c);

    int32_t ChannelType() override;
    bool ReadKeyValue(QV_IoStream* stream, int32_t index) override;
    void WriteKeyValue(QV_IoStream* stream, int32_t index) override;
};
