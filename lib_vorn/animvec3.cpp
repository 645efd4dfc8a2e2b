#include "animvec3.h"

#include "qv_iostream.h"

AnimVec3::AnimVec3()
{
    SetValue(0, AnimVec3Traits::Zero());
}

AnimVec3::~AnimVec3() = default;

int32_t AnimVec3::ChannelType()
{
    return CHANNEL_VEC3;
}

bool AnimVec3::ReadKeyValue(QV_IoStream* stream, int32_t index)
{
    QV_Vector3 v;
    if (!stream->ReadVector3(v)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(ChannelType()));
        return false;
    }
    fValues[index] = v;
    return true;
}

void AnimVec3::WriteKeyValue(QV_IoStream* stream, int32_t index)
{
    stream->WriteVector3(fValues[index]);
}
