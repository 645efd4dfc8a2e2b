#pragma once

#include <cstdint>

#include "animnumeric.h"
#include "qv_vector.h"

// The values of a 3D vector channel.
struct AnimVec3Traits {
    using Key = QV_Vector3;
    using Cached = QV_Vector3;
    static constexpr int32_t kComponents = 3;
    static QV_Vector3 Zero() { return QV_Vector3 { 0, 0, 0 }; }
    static QV_Vector3 ToCached(const QV_Vector3& v) { return v; }
    static QV_Vector3 FromCached(const QV_Vector3& v) { return v; }
    static float Get(const QV_Vector3& v, int32_t i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }
    static void Put(QV_Vector3& v, int32_t i, float c) { (i == 0 ? v.x : i == 1 ? v.y : v.z) = c; }
    static bool HasNoise(int32_t) { return true; }
    static float NoiseZ(const void*, int32_t component, float)
    {
        return component == 0 ? 0.0f : component == 1 ? 6.3456f : -3.2345f;
    }
};

// A keyframed 3D vector: translations, scales, the camera track.
class AnimVec3 : public AnimNumeric<AnimVec3, AnimVec3Traits> {
public:
    // Channel assignment (AnimKeyed::Assign): scripts assign channel variables.
    AnimVec3& operator=(const AnimVec3& source)
    {
        Assign(source);
        return *this;
    }

    AnimVec3();
    ~AnimVec3() override;

    int32_t ChannelType() override;
    bool ReadKeyValue(QV_IoStream* stream, int32_t index) override;
    void WriteKeyValue(QV_IoStream* stream, int32_t index) override;
};
