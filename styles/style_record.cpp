#include "style_record.h"

#include "animcolor.h"
#include "animval.h"
#include "qv_iostream.h"

bool ReadChannelRecordFresh(QV_IoStream* stream, AnimChannel& channel)
{
    if (!channel.ReadRecord(stream, true))
        return false;
    // A record replaces the keys but not the value cached at the channel's frame, which the
    // renderer reads (for the margins) before it applies the effect.
    channel.SetCurFrame(channel.GetCurFrame());
    return true;
}

bool ReadAnimatedFloat(QV_IoStream* stream, AnimVal& channel)
{
    if (stream->fVersion >= kFirstChannelStyleVersion)
        return ReadChannelRecordFresh(stream, channel);
    float value;
    if (!stream->ReadFloat(value))
        return false;
    channel.Clear();
    channel.SetValue(0, value);
    channel.SetCurFrame(channel.GetCurFrame());
    return true;
}

bool ReadAnimatedColor(QV_IoStream* stream, AnimColor& channel)
{
    if (stream->fVersion >= kFirstChannelStyleVersion)
        return ReadChannelRecordFresh(stream, channel);
    rgb_color color;
    if (!stream->ReadColor(color))
        return false;
    channel.Clear();
    channel.SetValue(0, color);
    channel.SetCurFrame(channel.GetCurFrame());
    return true;
}

void WriteChannelThenTabs(QV_IoStream* stream, AnimChannel& channel)
{
    channel.WriteRecord(stream, true);
    stream->WriteText("\t\t");
}

void WriteFlag(QV_IoStream* stream, bool flag)
{
    stream->WriteText(flag ? "true" : "false");
    stream->WriteSpace();
}

void WriteFloatThenBlank(QV_IoStream* stream, float value)
{
    stream->WriteFloat(value);
    stream->WriteSpace();
}
