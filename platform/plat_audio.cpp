#include "plat_audio.h"

#include <cstdio>
#include <fcntl.h>
#include <new>
#include <portaudio.h>
#include <unistd.h>

struct PlatAudioStream {
    PaStream* stream = nullptr;
    PlatAudioRender render = nullptr;
    void* user = nullptr;
};

namespace {

// The device probe of the sound drivers writes its complaints straight to stderr; without a
// device they are noise, so stderr points at /dev/null for the length of a probe.
class QuietStderr {
public:
    QuietStderr()
    {
        std::fflush(stderr);
        fSaved = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (fSaved >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            close(null);
    }
    ~QuietStderr()
    {
        std::fflush(stderr);
        if (fSaved >= 0) {
            dup2(fSaved, STDERR_FILENO);
            close(fSaved);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int fSaved = -1;
};

int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
    PaStreamCallbackFlags, void* user)
{
    auto* s = static_cast<PlatAudioStream*>(user);
    s->render(s->user, static_cast<float*>(output), frames);
    return paContinue;
}

} // namespace

bool PlatAudioStart()
{
    QuietStderr quiet;
    return Pa_Initialize() == paNoError;
}

void PlatAudioStop()
{
    Pa_Terminate();
}

PlatAudioStream* PlatAudioOpenOutput(int32_t channels, double sampleRate, PlatAudioRender render, void* user)
{
    if (channels <= 0 || sampleRate <= 0 || !render)
        return nullptr;
    auto* s = new (std::nothrow) PlatAudioStream;
    if (!s)
        return nullptr;
    s->render = render;
    s->user = user;
    PaError error;
    {
        QuietStderr quiet;
        error = Pa_OpenDefaultStream(&s->stream, 0, channels, paFloat32, sampleRate, 256, Callback, s);
    }
    if (error != paNoError) {
        delete s;
        return nullptr;
    }
    return s;
}

bool PlatAudioStartStream(PlatAudioStream* stream)
{
    return stream && Pa_StartStream(stream->stream) == paNoError;
}

void PlatAudioStopStream(PlatAudioStream* stream)
{
    if (stream && Pa_IsStreamActive(stream->stream) == 1)
        Pa_StopStream(stream->stream);
}

void PlatAudioCloseStream(PlatAudioStream* stream)
{
    if (!stream)
        return;
    Pa_CloseStream(stream->stream);
    delete stream;
}
