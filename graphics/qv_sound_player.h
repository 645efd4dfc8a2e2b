#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include <sndfile.h>

struct PlatAudioStream;

// Plays one decoded sound file on its own stream: the interface's click. The whole file is
// decoded (no frame limit); a file whose samples cannot be held leaves the player silent. The
// audio thread reads the samples and writes the position without a lock.
class QV_SoundPlayer {
public:
    // Decodes the file when audio is available.
    explicit QV_SoundPlayer(const char* path);
    ~QV_SoundPlayer();
    QV_SoundPlayer(const QV_SoundPlayer&) = delete;
    QV_SoundPlayer& operator=(const QV_SoundPlayer&) = delete;

    bool HasSamples() const { return fSamples != nullptr; }
    // False without audio or samples; an open stream is used again.
    bool OpenStream();
    // Plays from the start once to the end (what a click sets).
    void Rewind();
    // The audio callback: `frames` frames of the file's channels into out.
    void Render(float* out, unsigned long frames);

    SF_INFO fInfo;
    int64_t fSampleCount;
    int64_t fFramesRead;
    std::unique_ptr<float[]> fSamples;
    std::atomic<bool> fStopAtEnd;
    std::atomic<bool> fLoop;
    // Index of the next frame's first sample, a multiple of the channels.
    std::atomic<int64_t> fPosition;
    std::atomic<int64_t> fLoopStart;
    // Sample index where playing ends.
    std::atomic<int64_t> fEnd;
    std::atomic<float> fRate;
    std::atomic<double> fRateAcc;
    PlatAudioStream* fStream;
    bool fStarted;
};

// The click sound's player: null until the scripting interface's click operation makes it; it
// stays until the process ends.
extern QV_SoundPlayer* gClickPlayer;

// Plays the click from its start; a click while one sounds restarts it. Nothing without a
// player, samples or audio.
void PlayClickSound();
