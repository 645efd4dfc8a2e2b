#pragma once
#include <cstdint>
#include <memory>

#include <sndfile.h>

// A whole sound file decoded into memory as interleaved float samples (frame 0 channel 0, frame
// 0 channel 1, ...), nominally -1 .. 1. Audio layers hold one each; the mixer plays them and
// scripts measure them over time windows. A clip without samples is valid and measures 0.
//
// Built once on the interface thread and only read afterwards; the mixer's audio thread reads
// fSamples, fSampleCount and the channels without a lock, so a clip must outlive every playing
// mixer that refers to it.
class QV_SoundClip {
public:
    // libsndfile loads keep at most this many frames; later samples are never read.
    static constexpr int64_t kMaxFrames = 53000000;
    // Channel counts beyond this are not sound a layer can play.
    static constexpr int32_t kMaxChannels = 64;

    QV_SoundClip();
    ~QV_SoundClip();
    QV_SoundClip(const QV_SoundClip&) = delete;
    QV_SoundClip& operator=(const QV_SoundClip&) = delete;

    // libsndfile first; a file it cannot read (AAC, a movie's sound) goes to the movie libraries,
    // whose 16-bit samples are stored as sample / 32767. 0 with samples; -6 when neither reads
    // the file; -1 when the samples cannot be held (the clip then stays empty).
    int32_t Load(const char* path);
    void Clear();

    bool HasSamples() const { return fSamples != nullptr; }
    int32_t Channels() const { return fInfo.channels; }
    int32_t SampleRate() const { return fInfo.samplerate; }

    // Seconds; 0 without samples.
    float Duration() const;
    // rate x channels x seconds in single precision, rounded half away from zero and lowered to
    // a whole frame; with clamp kept within 0 .. fSampleCount - 1. 0 without samples.
    int64_t SampleIndex(float seconds, bool clamp) const;
    // Over the window, samples of magnitude above 1.001 are skipped but still count in the
    // divisor. 0 without samples, for a negative duration or an empty window.
    float GetAmplitude(float start, float duration) const;
    float GetRMSAmplitude(float start, float duration) const;
    // The largest magnitude; -1,000,000 when every sample of the window is skipped.
    float GetMaxAmplitude(float start, float duration) const;

    SF_INFO fInfo;
    // Floats in fSamples: channels x frames.
    int64_t fSampleCount;
    int64_t fFramesRead;
    std::unique_ptr<float[]> fSamples;

private:
    bool LoadWithSndfile(const char* path, int32_t& status);
    int32_t LoadWithMovieLibraries(const char* path);
    // The window's float range [a, b); false when it is empty.
    bool Window(float start, float duration, int64_t& a, int64_t& b) const;
};

// Reads an opened sound file's frames as interleaved floats into samples (sampleCount =
// channels x frames). False when the header names no channels, frames or rate a clip can hold,
// or the samples cannot be had; frames the file does not deliver stay silent.
bool ReadSoundFileFrames(SNDFILE* file, const SF_INFO& info, std::unique_ptr<float[]>& samples,
    int64_t& sampleCount, int64_t& framesRead);

