#pragma once
#include <atomic>
#include <cstdint>

class QV_SoundClip;
struct PlatAudioStream;

// One sound of the mixer. AddTrack fills fClip, fStart, fRateRatio and fUserData before the
// track count is raised; the owner then sets fLevel, fPan and fSpeed directly. Positions are
// written by the audio thread and by Seek on the interface thread.
struct QV_MixerTrack {
    const QV_SoundClip* fClip = nullptr;
    // Timeline time in seconds at which the clip's first sample plays.
    float fStart = 0;
    // Clip sample of the current frame, a multiple of the clip's channels; negative before the
    // clip starts.
    std::atomic<int64_t> fSamplePos { 0 };
    // Clip sample rate / the mixer's.
    float fRateRatio = 1;
    // fSamplePos as a fraction. Double, so that long clips keep advancing by fractions.
    std::atomic<double> fSamplePosAcc { 0 };
    // Gain; below 0.001 the track is silent.
    std::atomic<float> fLevel { 1 };
    // 0 centre, positive towards the right.
    std::atomic<float> fPan { 0 };
    // Speed of the clip relative to the timeline.
    std::atomic<float> fSpeed { 1 };
    void* fUserData = nullptr;
};

// Mixes up to 64 sound clips into a 44,100 Hz stereo stream following the document's timeline.
// The audio thread runs Mix without a lock while the interface thread stops (clearing fPlaying
// and fRangeLimited), mutes, seeks, starts a range or rebuilds the tracks (fTrackCount = 0, then
// AddTrack); every field the two share is atomic. Clips must outlive any playing mixer.
class QV_SoundMixer {
public:
    static constexpr int32_t kMaxTracks = 64;

    QV_SoundMixer();
    ~QV_SoundMixer();
    QV_SoundMixer(const QV_SoundMixer&) = delete;
    QV_SoundMixer& operator=(const QV_SoundMixer&) = delete;

    // Null when all 64 tracks are in use. Level 1, pan 0, speed 1; positions are set by the next
    // Play, Seek or PlayRange.
    QV_MixerTrack* AddTrack(const QV_SoundClip* clip, float start, void* userData);
    // False without audio or tracks; an open stream is used again.
    bool OpenStream();
    // From the start of every clip (start times are applied by a following Seek).
    void Play();
    // Plays start .. start + duration at the rate, then stops.
    void PlayRange(float start, float duration, float rate);
    void Seek(float seconds);
    // False once stopped, or once a limited range has been played through.
    bool IsPlaying();
    // Seconds of the output position while playing; 0 otherwise.
    float CurrentTime() const;
    // Output channels x rate x seconds, rounded half away from zero, lowered to a whole frame,
    // 0 when negative.
    int64_t SampleIndex(float seconds) const;

    // The positions and flags that Play and PlayRange set once their stream is open; public so
    // that the mixing can be exercised without an audio device.
    void Rewind();
    void SetRange(float start, float duration, float rate);
    // The audio callback: `frames` stereo frames into out.
    void Mix(float* out, unsigned long frames);

    const int32_t fSampleRate;
    const int32_t fChannels;
    std::atomic<int32_t> fTrackCount;
    QV_MixerTrack fTracks[kMaxTracks];
    std::atomic<bool> fPlaying;
    std::atomic<bool> fRangeLimited;
    bool fStarted;
    // Output silent while time still runs.
    std::atomic<bool> fMuted;
    // Output sample index, a multiple of fChannels.
    std::atomic<int64_t> fPosition;
    std::atomic<int64_t> fRangeStart;
    std::atomic<int64_t> fRangeEnd;
    std::atomic<float> fRate;
    std::atomic<double> fRateAcc;
    PlatAudioStream* fStream;

private:
    void MixFrame(float* out, int32_t count);
    void Advance(int32_t count);
};
