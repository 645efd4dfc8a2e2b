#include "animvec2.h"

#include "qv_iostream.h"

AnimVec2::AnimVec2()
{
    SetValue(0, AnimVec2Traits::Zero());
}

AnimVec2::~AnimVec2() = default;

int32_t AnimVec2::ChannelType()
{
    return CHANNEL_VEC2;
}

bool AnimVec2::ReadKeyValue(QV_IoStream* stream, int32_t index)
{
    QV_Vector2 v;
    if (!stream->ReadVector2(v)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(ChannelType()));
        return false;
    }
    fValues[index] = v;
    return true;
}

void AnimVec2::WriteKeyValue(QV_IoStream* stream, int32_t index)
{
    stream->WriteFloat(fValues[index].x);
    stream->WriteSpace();
    stream->WriteFloat(fValues[index].y);
}
