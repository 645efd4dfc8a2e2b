#include "qv_sound_player.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "media_presence.h"
#include "plat_audio.h"
#include "qv_sound_clip.h"

QV_SoundPlayer* gClickPlayer = nullptr;

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

void RenderCallback(void* user, float* out, unsigned long frames)
{
    static_cast<QV_SoundPlayer*>(user)->Render(out, frames);
}

} // namespace

QV_SoundPlayer::QV_SoundPlayer(const char* path)
    : fInfo()
    , fSampleCount(0)
    , fFramesRead(0)
    , fStopAtEnd(false)
    , fLoop(false)
    , fPosition(0)
    , fLoopStart(0)
    , fEnd(0)
    , fRate(1)
    , fRateAcc(0)
    , fStream(nullptr)
    , fStarted(false)
{
    if (!gAudioAvailable || !path)
        return;
    SF_INFO info = SF_INFO();
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file)
        return;
    // A click too long to hold, or a block that cannot be had, leaves the player silent.
    if (ReadSoundFileFrames(file, info, fSamples, fSampleCount, fFramesRead))
        fInfo = info;
    sf_close(file);
}

QV_SoundPlayer::~QV_SoundPlayer()
{
    PlatAudioCloseStream(fStream);
}

bool QV_SoundPlayer::OpenStream()
{
    if (!gAudioAvailable || !fSamples)
        return false;
    if (!fStream)
        fStream = PlatAudioOpenOutput(fInfo.channels, fInfo.samplerate, RenderCallback, this);
    return fStream != nullptr;
}

void QV_SoundPlayer::Rewind()
{
    fRateAcc.store(0, kRelaxed);
    fLoopStart.store(0, kRelaxed);
    fEnd.store(fSampleCount, kRelaxed);
    fLoop.store(false, kRelaxed);
    fStopAtEnd.store(true, kRelaxed);
    fPosition.store(0, kRelaxed);
}

void QV_SoundPlayer::Render(float* out, unsigned long frames)
{
    const int32_t k = fInfo.channels > 0 ? fInfo.channels : 1;
    for (unsigned long f = 0; f < frames; ++f, out += k) {
        int64_t position = fPosition.load(kRelaxed);
        const int64_t end = fEnd.load(kRelaxed);
        for (int32_t c = 0; c < k; ++c) {
            if (position >= end && fLoop.load(kRelaxed)) {
                position = fLoopStart.load(kRelaxed);
                fRateAcc.store(double(position), kRelaxed);
            }
            out[c] = position < end && position + c < fSampleCount ? fSamples[size_t(position + c)] : 0.0f;
        }
        if (fStopAtEnd.load(kRelaxed) && position >= end) {
            fPosition.store(position, kRelaxed);
            continue;
        }
        const float rate = fRate.load(kRelaxed);
        if (rate > 0.999999f) {
            position += k;
        } else {
            const double acc = fRateAcc.load(kRelaxed) + double(rate) * k;
            fRateAcc.store(acc, kRelaxed);
            if (acc >= double(position + k)) {
                position = int64_t(acc) / k * k;
                if (position > fSampleCount)
                    position = fSampleCount;
                if (position < 0)
                    position = 0;
            }
        }
        fPosition.store(position, kRelaxed);
    }
}

void PlayClickSound()
{
    QV_SoundPlayer* player = gClickPlayer;
    if (!player || !player->HasSamples() || !player->OpenStream())
        return;
    player->Rewind();
    if (!player->fStarted)
        player->fStarted = PlatAudioStartStream(player->fStream);
}
