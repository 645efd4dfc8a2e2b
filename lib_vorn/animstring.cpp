#include "animstring.h"

#include "qv_iostream.h"

const QV_String& AnimStringTraits::Zero()
{
    static const QV_String empty;
    return empty;
}

AnimString::AnimString()
{
    SetValue(0, AnimStringTraits::Zero());
}

AnimString::~AnimString() = default;

void AnimString::SetValue(int32_t frame, const QV_String& text)
{
    QV_String clean(text);
    clean.RemoveChar('"');
    AnimDiscrete::SetValue(frame, clean);
}

const QV_String& AnimString::KeepActionResult(const QV_String& text)
{
    fResultText = text;
    return fResultText;
}

void AnimString::GetValueBlend(int32_t frame, QV_String& from, QV_String& to, float& fraction)
{
    if (fActiveAction) {
        static_cast<AnimString*>(fActiveAction)->GetValueBlend(frame, from, to, fraction);
        return;
    }
    from = "";
    to = "";
    fraction = 0;
    const int32_t n = fKeyCount;
    if (n == 0)
        return;
    const int32_t c = KeyIndexBefore(frame);
    const InterpSetting& setting = fKeyInterps[c];

    if (setting.interpMode == INTERP_CYCLE && frame > fKeyFrames[c]) {
        const int32_t mapped = MapCycleFrame(fKeyFrames[c], CycleTarget(fKeyFrames[c], setting), frame);
        const int32_t k = KeyIndexBefore(mapped);
        const int32_t next = k + 1 < n ? k + 1 : k;
        from = GetValue(fKeyFrames[k]);
        to = GetValue(fKeyFrames[next]);
        if (fKeyFrames[next] != fKeyFrames[k])
            fraction
                = float(int64_t(mapped) - fKeyFrames[k]) / float(int64_t(fKeyFrames[next]) - fKeyFrames[k]);
        else
            fraction = 1;
        return;
    }

    if (setting.interpMode == INTERP_POSE) {
        // The run of frames around the frame that show the same text.
        const QV_String current = GetValue(frame);
        int32_t start = frame;
        while (start > fKeyFrames[c] && GetValue(start - 1) == current)
            start--;
        from = GetValue(start);
        const int32_t last = fKeyFrames[n - 1];
        const int64_t limit = frame < last ? last : int64_t(frame) + 200;
        int64_t end = frame;
        while (end <= limit && GetValue(ClampFrame(end)) == from)
            end++;
        to = GetValue(ClampFrame(end));
        fraction = float(int64_t(frame) - start) / float(end - start);
        return;
    }

    if (n >= 2 && frame < fKeyFrames[n - 1]) {
        from = fValues[c];
        to = fValues[c + 1];
        fraction = float(int64_t(frame) - fKeyFrames[c]) / float(int64_t(fKeyFrames[c + 1]) - fKeyFrames[c]);
        return;
    }
    from = fValues[c];
    to = fValues[c];
}

int32_t AnimString::ChannelType()
{
    return CHANNEL_STRING;
}

bool AnimString::ReadKeyValue(QV_IoStream* stream, int32_t index)
{
    if (!stream->ReadString(fValues[index])) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(ChannelType()));
        return false;
    }
    return true;
}

void AnimString::WriteKeyValue(QV_IoStream* stream, int32_t index)
{
    stream->WriteQuoted(fValues[index].CString());
}
