#include "qv_sound_clip.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <new>
#include <sys/stat.h>

#include "plat_movie_in.h"

namespace {

// Samples beyond this magnitude are taken for garbage and left out of the measurements.
constexpr float kMeasuredLimit = 1.001f;

int64_t RoundHalfAway(float value)
{
    return int64_t(value < 0 ? value - 0.5f : value + 0.5f);
}

// Lowers n to the nearest multiple of k at or below it, negative n included.
int64_t FloorToMultiple(int64_t n, int64_t k)
{
    int64_t r = n % k;
    if (r < 0)
        r += k;
    return n - r;
}

} // namespace

QV_SoundClip::QV_SoundClip()
    : fInfo()
    , fSampleCount(0)
    , fFramesRead(0)
{
}

QV_SoundClip::~QV_SoundClip() = default;

void QV_SoundClip::Clear()
{
    fSamples.reset();
    fInfo = SF_INFO();
    fSampleCount = 0;
    fFramesRead = 0;
}

int32_t QV_SoundClip::Load(const char* path)
{
    Clear();
    if (!path || !*path)
        return -6;
    // A device or pipe named by a document would never end or would block the reader.
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return -6;
    int32_t status = 0;
    if (LoadWithSndfile(path, status))
        return status;
    return LoadWithMovieLibraries(path);
}

bool QV_SoundClip::LoadWithSndfile(const char* path, int32_t& status)
{
    SF_INFO info = SF_INFO();
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file)
        return false;
    if (info.frames > kMaxFrames)
        info.frames = kMaxFrames;
    status = -1;
    if (ReadSoundFileFrames(file, info, fSamples, fSampleCount, fFramesRead)) {
        fInfo = info;
        status = 0;
    } else if (info.frames == 0 && info.channels > 0) {
        // An empty file is a clip without samples, not a failure to read.
        fInfo = info;
        status = 0;
    }
    sf_close(file);
    return true;
}

bool ReadSoundFileFrames(SNDFILE* file, const SF_INFO& info, std::unique_ptr<float[]>& samples,
    int64_t& sampleCount, int64_t& framesRead)
{
    // The size comes from the file: checked in 64 bits before anything is allocated.
    if (info.channels <= 0 || info.channels > QV_SoundClip::kMaxChannels || info.frames <= 0
        || info.frames > QV_SoundClip::kMaxFrames || info.samplerate <= 0)
        return false;
    const int64_t count = int64_t(info.channels) * info.frames;
    samples.reset(new (std::nothrow) float[size_t(count)]);
    if (!samples)
        return false;
    sampleCount = count;
    framesRead = sf_readf_float(file, samples.get(), info.frames);
    // A file shorter than its header said leaves silence, not stale memory, after its end.
    const int64_t read = framesRead > 0 ? framesRead * info.channels : 0;
    std::fill(samples.get() + read, samples.get() + count, 0.0f);
    return true;
}

int32_t QV_SoundClip::LoadWithMovieLibraries(const char* path)
{
    PlatDecodedSound sound;
    if (!PlatDecodeSound(path, kMaxFrames, sound))
        return -6;
    if (sound.channels > kMaxChannels)
        return -6;
    const int64_t count = sound.frames * sound.channels;
    fSamples.reset(new (std::nothrow) float[size_t(count)]);
    if (!fSamples)
        return -1;
    for (int64_t i = 0; i < count; ++i)
        fSamples[size_t(i)] = float(sound.samples[size_t(i)]) / 32767.0f;
    fInfo = SF_INFO();
    fInfo.frames = sound.frames;
    fInfo.samplerate = sound.sampleRate;
    fInfo.channels = sound.channels;
    fInfo.format = SF_FORMAT_PCM_16;
    fSampleCount = count;
    fFramesRead = sound.frames;
    return 0;
}

float QV_SoundClip::Duration() const
{
    if (!fSamples || fInfo.samplerate <= 0)
        return 0;
    return float(fInfo.frames) / float(fInfo.samplerate);
}

int64_t QV_SoundClip::SampleIndex(float seconds, bool clamp) const
{
    if (!fSamples || fInfo.channels <= 0)
        return 0;
    const float exact = float(fInfo.samplerate) * float(fInfo.channels) * seconds;
    // Out-of-range times (huge or not a number) land on the clip's ends.
    int64_t n;
    if (!(exact == exact))
        n = 0;
    else if (exact > 9.0e18f)
        n = INT64_MAX / 2;
    else if (exact < -9.0e18f)
        n = -(INT64_MAX / 2);
    else
        n = FloorToMultiple(RoundHalfAway(exact), fInfo.channels);
    if (clamp) {
        if (n > fSampleCount - 1)
            n = fSampleCount - 1;
        if (n < 0)
            n = 0;
    }
    return n;
}

bool QV_SoundClip::Window(float start, float duration, int64_t& a, int64_t& b) const
{
    if (!fSamples || duration < 0)
        return false;
    a = SampleIndex(start, true);
    b = SampleIndex(start + duration, true);
    return a < b;
}

float QV_SoundClip::GetAmplitude(float start, float duration) const
{
    int64_t a = 0;
    int64_t b = 0;
    if (!Window(start, duration, a, b))
        return 0;
    float sum = 0;
    for (int64_t i = a; i < b; ++i) {
        const float m = std::fabs(fSamples[size_t(i)]);
        if (m <= kMeasuredLimit)
            sum += m;
    }
    return sum / float(b - a);
}

float QV_SoundClip::GetRMSAmplitude(float start, float duration) const
{
    int64_t a = 0;
    int64_t b = 0;
    if (!Window(start, duration, a, b))
        return 0;
    float sum = 0;
    for (int64_t i = a; i < b; ++i) {
        const float s = fSamples[size_t(i)];
        if (std::fabs(s) <= kMeasuredLimit)
            sum += s * s;
    }
    return std::sqrt(sum / float(b - a));
}

float QV_SoundClip::GetMaxAmplitude(float start, float duration) const
{
    int64_t a = 0;
    int64_t b = 0;
    if (!Window(start, duration, a, b))
        return 0;
    float best = -1000000.0f;
    for (int64_t i = a; i < b; ++i) {
        const float m = std::fabs(fSamples[size_t(i)]);
        if (m <= kMeasuredLimit && m > best)
            best = m;
    }
    return best;
}
