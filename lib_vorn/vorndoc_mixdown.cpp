// The audio mixdown: every audible audio layer of a frame range mixed into one 44.1 kHz 16-bit
// stereo WAV file, with animated levels, jumps and stereo positions.

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>

#include <sndfile.h>

#include "audiolayer.h"
#include "qv_arraylist.h"
#include "qv_sound_clip.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kOutputRate = 44100;
constexpr int32_t kMaxSources = 64;
// Interleaved output floats a mixdown may hold: a little over three hours.
constexpr int64_t kMaxOutputFloats = int64_t(2) * kOutputRate * 3600 * 3;

struct Source {
    AudioLayer* layer;
    const QV_SoundClip* sound;
    int32_t channels;
    double offset;
    int64_t readIndex;
    double position;
    double ratio;
    double speed;
    float level;
    float pan;
};

int64_t LowerToFrame(int64_t index, int32_t channels)
{
    const int64_t rem = index % channels;
    return rem < 0 ? index - rem - channels : index - rem;
}

// Left and right gains of a stereo position: the far side fades out over two units.
void PanGains(float p, float& left, float& right)
{
    left = 1;
    right = 1;
    if (std::fabs(p) <= 0.000001f)
        return;
    if (p > 0)
        left = p > 2 ? 0 : 1 - p / 2;
    else
        right = p < -2 ? 0 : 1 + p / 2;
}

// Levels, positions and the sound's timing at a document frame; the read position follows
// a jump.
void UpdateSource(Source& s, int32_t frame, double t, double fps)
{
    s.level = s.layer->GetAudioLevel(frame);
    s.pan = s.layer->GetStereoPosition(frame);
    // The offset between the timeline and the sound: the frame's start against where the
    // sound plays at that frame.
    const double n = (frame - 1) / fps - s.layer->AudioTimeAt(frame, float(1 / fps));
    if (std::fabs(n - s.offset) <= 0.0001)
        return;
    s.offset = n;
    const double index = std::llround((t - n) * s.speed * s.sound->SampleRate() * s.channels);
    s.readIndex = LowerToFrame(int64_t(index), s.channels);
    s.position = double(s.readIndex);
}

int32_t GatherSources(QV_ArrayList& layers, Source* sources)
{
    int32_t count = 0;
    for (int32_t i = 0; i < layers.fCount && count < kMaxSources; i++) {
        VornLayer* layer = static_cast<VornLayer*>(layers.fItems[i]);
        if (layer->LayerType() != LT_AUDIO || !layer->fVisible || layer->IsEditOnly())
            continue;
        AudioLayer* audio = static_cast<AudioLayer*>(layer);
        const QV_SoundClip* sound = audio->Sound();
        if (!sound || audio->IsSilent() || sound->Channels() < 1 || sound->SampleRate() < 1)
            continue;
        Source& s = sources[count++];
        s.layer = audio;
        s.sound = sound;
        s.channels = sound->Channels();
        // Never a timing offset: the first frame update places the read position.
        s.offset = std::numeric_limits<double>::infinity();
        s.readIndex = 0;
        s.position = 0;
        s.ratio = double(sound->SampleRate()) / kOutputRate;
        s.speed = audio->PlaybackRate();
        s.level = 0;
        s.pan = 0;
    }
    return count;
}

void MixSample(Source* sources, int32_t count, float* out)
{
    float left = 0;
    float right = 0;
    for (int32_t i = 0; i < count; i++) {
        Source& s = sources[i];
        const int64_t at = s.readIndex;
        if (at >= 0 && at < s.sound->fSampleCount && s.level != 0) {
            const float a = s.sound->fSamples[at];
            const float b = s.channels == 2 && at + 1 < s.sound->fSampleCount ? s.sound->fSamples[at + 1] : a;
            float gl, gr;
            PanGains(s.pan, gl, gr);
            left += a * gl * s.level;
            right += b * gr * s.level;
        }
        // Nearest lower sample: no interpolation between source samples.
        s.position += s.speed * s.ratio * s.channels;
        if (s.position >= double(s.readIndex + s.channels))
            s.readIndex = LowerToFrame(int64_t(std::floor(s.position)), s.channels);
    }
    out[0] = left;
    out[1] = right;
}

bool WriteWav(const char* path, const float* samples, int64_t count)
{
    SF_INFO info {};
    info.samplerate = kOutputRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path, SFM_WRITE, &info);
    if (!file)
        return false;
    const bool written = sf_write_float(file, samples, count) == count;
    return sf_close(file) == 0 && written;
}

} // namespace

bool VornDoc::MixdownAudio(int32_t start, int32_t end, const char* path)
{
    if (!path || !*path)
        return false;
    QV_ArrayList layers;
    CollectAudioLayers(layers, nullptr);
    if (layers.fCount == 0)
        return false;
    const double fps = fFps > 0 ? fFps : 24;
    const double frames = double(int64_t(end) - start + 1);
    const int64_t n = std::llround(frames / fps * kOutputRate);
    if (n < 1 || 2 * n > kMaxOutputFloats)
        return false;
    std::unique_ptr<float[]> buffer(new (std::nothrow) float[size_t(2 * n)]);
    if (!buffer)
        return false;

    Source sources[kMaxSources];
    const int32_t count = GatherSources(layers, sources);
    const double t0 = (start - 1) / fps;
    int32_t frame = 0;
    for (int64_t k = 0; k < n; k++) {
        const double t = t0 + double(k) / kOutputRate;
        // The frame whose span holds t: frame f lasts from (f - 1) / fps to f / fps.
        const int32_t f = int32_t(std::floor(t * fps + 1e-9)) + 1;
        if (k == 0 || f != frame) {
            frame = f;
            for (int32_t i = 0; i < count; i++)
                UpdateSource(sources[i], f, t, fps);
        }
        MixSample(sources, count, &buffer[size_t(2 * k)]);
    }

    // Written beside the target and renamed, so a failed write never leaves a partial file.
    QV_String part(path);
    part.Append(".part");
    if (!WriteWav(part.CString(), buffer.get(), 2 * n)) {
        std::remove(part.CString());
        return false;
    }
    if (std::rename(part.CString(), path) != 0) {
        std::remove(part.CString());
        return false;
    }
    return true;
}
