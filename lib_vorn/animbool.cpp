#include "animbool.h"

#include "qv_iostream.h"

AnimBool::AnimBool()
{
    SetValue(0, false);
}

AnimBool::~AnimBool() = default;

int32_t AnimBool::ChannelType()
{
    return CHANNEL_BOOL;
}

bool AnimBool::ReadKeyValue(QV_IoStream* stream, int32_t index)
{
    bool v;
    if (!stream->ReadBool(v)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(ChannelType()));
        return false;
    }
    fValues[index] = v;
    return true;
}

void AnimBool::WriteKeyValue(QV_IoStream* stream, int32_t index)
{
    stream->WriteText(fValues[index] ? "true" : "false");
}
