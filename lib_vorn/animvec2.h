#pragma once

#include <cstdint>

#include "animnumeric.h"
#include "qv_vector.h"

// The values of a 2D vector channel.
struct AnimVec2Traits {
    using Key = QV_Vector2;
    using Cached = QV_Vector2;
    static constexpr int32_t kComponents = 2;
    static QV_Vector2 Zero() { return QV_Vector2 { 0, 0 }; }
    static QV_Vector2 ToCached(const QV_Vector2& v) { return v; }
    static QV_Vector2 FromCached(const QV_Vector2& v) { return v; }
    static float Get(const QV_Vector2& v, int32_t i) { return i == 0 ? v.x : v.y; }
    static void Put(QV_Vector2& v, int32_t i, float c) { (i == 0 ? v.x : v.y) = c; }
    static bool HasNoise(int32_t) { return true; }
    static float NoiseZ(const void*, int32_t component, float) { return component == 0 ? 6.3456f : -3.2345f; }
};

// A keyframed 2D vector: point positions, pan and tilt.
class AnimVec2 : public AnimNumeric<AnimVec2, AnimVec2Traits> {
public:
    // Channel assignment (AnimKeyed::Assign): scripts assign channel variables.
    AnimVec2& operator=(const AnimVec2& source)
    {
        Assign(source);
        return *this;
    }

    AnimVec2();
    ~AnimVec2() override;

    int32_t ChannelType() override;
    bool ReadKeyValue(QV_IoStream* stream, int32_t index) override;
    void WriteKeyValue(QV_IoStream* stream, int32_t index) override;
};
