#include "animcolor.h"

#include "qv_iostream.h"

AnimColor::AnimColor()
{
    SetValue(0, AnimColorTraits::Zero());
}

AnimColor::~AnimColor() = default;

void AnimColor::SetValue(int32_t frame, rgb_color c)
{
    SetValue(frame, AnimColorTraits::FromCached(c));
}

int32_t AnimColor::ChannelType()
{
    return CHANNEL_COLOR;
}

bool AnimColor::ReadKeyValue(QV_IoStream* stream, int32_t index)
{
    QV_ColorVector c;
    if (!stream->ReadColorVector(c)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(ChannelType()));
        return false;
    }
    fValues[index] = c;
    return true;
}

void AnimColor::WriteKeyValue(QV_IoStream* stream, int32_t index)
{
    stream->WriteColorVector(fValues[index]);
}
