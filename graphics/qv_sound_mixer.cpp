#include "qv_sound_mixer.h"

#include <cmath>

#include "media_presence.h"
#include "plat_audio.h"
#include "qv_sound_clip.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

int64_t FloorToMultiple(int64_t n, int64_t k)
{
    int64_t r = n % k;
    if (r < 0)
        r += k;
    return n - r;
}

int64_t RoundHalfAway(float value)
{
    if (!(value == value))
        return 0;
    if (std::fabs(value) > 9.0e18f)
        return value < 0 ? -(INT64_MAX / 2) : INT64_MAX / 2;
    return int64_t(value < 0 ? value - 0.5f : value + 0.5f);
}

void MixCallback(void* user, float* out, unsigned long frames)
{
    static_cast<QV_SoundMixer*>(user)->Mix(out, frames);
}

} // namespace

QV_SoundMixer::QV_SoundMixer()
    : fSampleRate(44100)
    , fChannels(2)
    , fTrackCount(0)
    , fPlaying(false)
    , fRangeLimited(false)
    , fStarted(false)
    , fMuted(false)
    , fPosition(0)
    , fRangeStart(0)
    , fRangeEnd(0)
    , fRate(1)
    , fRateAcc(0)
    , fStream(nullptr)
{
}

QV_SoundMixer::~QV_SoundMixer()
{
    if (fStarted) {
        PlatAudioStopStream(fStream);
        fStarted = false;
    }
    fPlaying = false;
    fRangeLimited = false;
    PlatAudioCloseStream(fStream);
    fStream = nullptr;
}

QV_MixerTrack* QV_SoundMixer::AddTrack(const QV_SoundClip* clip, float start, void* userData)
{
    const int32_t count = fTrackCount.load(kRelaxed);
    if (count >= kMaxTracks)
        return nullptr;
    QV_MixerTrack& t = fTracks[count];
    t.fClip = clip;
    t.fStart = start;
    t.fRateRatio = clip && clip->SampleRate() > 0 ? float(clip->SampleRate()) / float(fSampleRate) : 1.0f;
    t.fLevel.store(1, kRelaxed);
    t.fPan.store(0, kRelaxed);
    t.fSpeed.store(1, kRelaxed);
    t.fUserData = userData;
    // The audio thread sees the record whole once it sees the new count.
    fTrackCount.store(count + 1, std::memory_order_release);
    return &t;
}

bool QV_SoundMixer::OpenStream()
{
    if (!gAudioAvailable || fTrackCount.load(kRelaxed) <= 0)
        return false;
    if (!fStream)
        fStream = PlatAudioOpenOutput(fChannels, fSampleRate, MixCallback, this);
    return fStream != nullptr;
}

void QV_SoundMixer::Rewind()
{
    fRateAcc.store(0, kRelaxed);
    fRangeStart.store(0, kRelaxed);
    fRangeEnd.store(-1, kRelaxed);
    fRangeLimited.store(false, kRelaxed);
    fPosition.store(0, kRelaxed);
    const int32_t count = fTrackCount.load(std::memory_order_acquire);
    for (int32_t i = 0; i < count; ++i) {
        fTracks[i].fSamplePos.store(0, kRelaxed);
        fTracks[i].fSamplePosAcc.store(0, kRelaxed);
    }
    fPlaying.store(true, kRelaxed);
}

void QV_SoundMixer::Play()
{
    if (fTrackCount.load(kRelaxed) <= 0 || !OpenStream())
        return;
    Rewind();
    if (!fStarted)
        fStarted = PlatAudioStartStream(fStream);
}

void QV_SoundMixer::SetRange(float start, float duration, float rate)
{
    const int64_t first = SampleIndex(start);
    fRangeStart.store(first, kRelaxed);
    fRangeEnd.store(SampleIndex(start + duration), kRelaxed);
    fRate.store(rate, kRelaxed);
    Seek(start);
    fRateAcc.store(double(first), kRelaxed);
    fPosition.store(first, kRelaxed);
    fRangeLimited.store(true, kRelaxed);
    fPlaying.store(true, kRelaxed);
}

void QV_SoundMixer::PlayRange(float start, float duration, float rate)
{
    if (fTrackCount.load(kRelaxed) <= 0 || !OpenStream())
        return;
    SetRange(start, duration, rate);
    if (!fStarted)
        fStarted = PlatAudioStartStream(fStream);
}

void QV_SoundMixer::Seek(float seconds)
{
    const int32_t count = fTrackCount.load(std::memory_order_acquire);
    if (count <= 0)
        return;
    const int64_t position = SampleIndex(seconds);
    fPosition.store(position, kRelaxed);
    fRateAcc.store(double(position), kRelaxed);
    for (int32_t i = 0; i < count; ++i) {
        QV_MixerTrack& t = fTracks[i];
        int64_t pos = 0;
        if (t.fClip && t.fClip->HasSamples()) {
            const int32_t channels = t.fClip->Channels();
            const float clipTime = (seconds - t.fStart) * t.fSpeed.load(kRelaxed);
            pos = FloorToMultiple(RoundHalfAway(clipTime * float(channels * t.fClip->SampleRate())), channels);
        }
        t.fSamplePos.store(pos, kRelaxed);
        t.fSamplePosAcc.store(double(pos), kRelaxed);
    }
}

bool QV_SoundMixer::IsPlaying()
{
    if (!fPlaying.load(kRelaxed))
        return false;
    const int64_t end = fRangeEnd.load(kRelaxed);
    if (!fRangeLimited.load(kRelaxed) || end <= 0 || fPosition.load(kRelaxed) < end)
        return true;
    fPlaying.store(false, kRelaxed);
    fRangeLimited.store(false, kRelaxed);
    return false;
}

float QV_SoundMixer::CurrentTime() const
{
    if (fTrackCount.load(kRelaxed) <= 0 || !fPlaying.load(kRelaxed))
        return 0;
    return float(double(fPosition.load(kRelaxed)) / (double(fChannels) * fSampleRate));
}

int64_t QV_SoundMixer::SampleIndex(float seconds) const
{
    const int64_t n = FloorToMultiple(RoundHalfAway(float(fChannels) * float(fSampleRate) * seconds), fChannels);
    return n < 0 ? 0 : n;
}

void QV_SoundMixer::MixFrame(float* out, int32_t count)
{
    for (int32_t c = 0; c < fChannels; ++c)
        out[c] = 0;
    for (int32_t i = 0; i < count; ++i) {
        const QV_MixerTrack& t = fTracks[i];
        const QV_SoundClip* clip = t.fClip;
        const int64_t pos = t.fSamplePos.load(kRelaxed);
        const float level = t.fLevel.load(kRelaxed);
        if (!clip || !clip->HasSamples() || pos < 0 || pos >= clip->fSampleCount || level < 0.001f)
            continue;
        const float pan = t.fPan.load(kRelaxed);
        const bool sameChannels = clip->Channels() == fChannels;
        for (int32_t c = 0; c < fChannels; ++c) {
            float s = clip->fSamples[size_t(sameChannels ? pos + c : pos)];
            if (std::fabs(pan) > 1e-6f) {
                if (c == 0 && pan > 0)
                    s *= pan > 2 ? 0 : 1 - pan / 2;
                else if (c == 1 && pan < 0)
                    s *= pan < -2 ? 0 : 1 + pan / 2;
            }
            out[c] += s * level;
        }
    }
}

void QV_SoundMixer::Advance(int32_t count)
{
    const float rate = fRate.load(kRelaxed);
    const int64_t position = fPosition.load(kRelaxed);
    const double acc = fRateAcc.load(kRelaxed) + double(fChannels) * rate;
    fRateAcc.store(acc, kRelaxed);
    if (acc >= double(position + fChannels)) {
        const int64_t next = FloorToMultiple(int64_t(acc), fChannels);
        fPosition.store(next < 0 ? 0 : next, kRelaxed);
    }
    for (int32_t i = 0; i < count; ++i) {
        QV_MixerTrack& t = fTracks[i];
        const int32_t channels = t.fClip && t.fClip->Channels() > 0 ? t.fClip->Channels() : 1;
        const double step = double(t.fRateRatio) * rate * t.fSpeed.load(kRelaxed) * channels;
        const double trackAcc = t.fSamplePosAcc.load(kRelaxed) + step;
        t.fSamplePosAcc.store(trackAcc, kRelaxed);
        if (trackAcc >= double(t.fSamplePos.load(kRelaxed) + channels))
            t.fSamplePos.store(FloorToMultiple(int64_t(trackAcc), channels), kRelaxed);
    }
}

void QV_SoundMixer::Mix(float* out, unsigned long frames)
{
    for (unsigned long f = 0; f < frames; ++f, out += fChannels) {
        const int32_t count = fTrackCount.load(std::memory_order_acquire);
        const bool limited = fRangeLimited.load(kRelaxed);
        const int64_t end = fRangeEnd.load(kRelaxed);
        if (fMuted.load(kRelaxed) || !fPlaying.load(kRelaxed)) {
            for (int32_t c = 0; c < fChannels; ++c)
                out[c] = 0;
        } else if (limited && end >= 1 && fPosition.load(kRelaxed) >= end) {
            fPlaying.store(false, kRelaxed);
            fRangeLimited.store(false, kRelaxed);
            for (int32_t c = 0; c < fChannels; ++c)
                out[c] = 0;
        } else {
            MixFrame(out, count);
        }
        // A range that has reached its end holds its time.
        if (fRangeLimited.load(kRelaxed) && fPosition.load(kRelaxed) >= fRangeEnd.load(kRelaxed))
            continue;
        Advance(count);
    }
}
