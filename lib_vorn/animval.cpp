#include "animval.h"

#include <cmath>
#include <cstdint>

#include "qv_iostream.h"

float AnimValTraits::NoiseZ(const void* channel, int32_t, float v)
{
    float z = float(reinterpret_cast<uintptr_t>(channel) & 0xFF);
    if (std::fabs(v) > 0.000001f)
        z /= v;
    return z;
}

AnimVal::AnimVal()
{
    SetValue(0, 0.0f);
}

AnimVal::~AnimVal() = default;

int32_t AnimVal::ChannelType()
{
    return CHANNEL_VAL;
}

bool AnimVal::ReadKeyValue(QV_IoStream* stream, int32_t index)
{
    float v;
    if (!stream->ReadFloat(v)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(ChannelType()));
        return false;
    }
    fValues[index] = v;
    return true;
}

void AnimVal::WriteKeyValue(QV_IoStream* stream, int32_t index)
{
    stream->WriteFloat(fValues[index]);
}
