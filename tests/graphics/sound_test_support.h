#pragma once

#include <cstdint>
#include <functional>

#include "qv_sound_clip.h"

// A clip filled in memory: sample i is value(i).
inline void FillClip(QV_SoundClip& clip, int32_t rate, int32_t channels, int64_t frames,
    const std::function<float(int64_t)>& value)
{
    clip.Clear();
    clip.fInfo.samplerate = rate;
    clip.fInfo.channels = channels;
    clip.fInfo.frames = frames;
    clip.fSampleCount = frames * channels;
    clip.fFramesRead = frames;
    clip.fSamples.reset(new float[size_t(clip.fSampleCount)]);
    for (int64_t i = 0; i < clip.fSampleCount; ++i)
        clip.fSamples[size_t(i)] = value(i);
}
