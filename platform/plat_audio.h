#pragma once
#include <cstdint>

// Sound output through the audio library. Without a device (a build machine) starting fails
// quietly and every stream open answers null: nothing plays and nothing is reported.

// Starts the audio library; the library counts starts, only the first looks for devices.
bool PlatAudioStart();
// Balances one successful PlatAudioStart.
void PlatAudioStop();

// Fills `frames` frames of interleaved float samples; runs on the audio library's own thread.
using PlatAudioRender = void (*)(void* user, float* out, unsigned long frames);

struct PlatAudioStream;

// A default output stream of 32-bit float samples, 256 frames per buffer; null when it cannot
// be opened.
PlatAudioStream* PlatAudioOpenOutput(int32_t channels, double sampleRate, PlatAudioRender render, void* user);
bool PlatAudioStartStream(PlatAudioStream* stream);
void PlatAudioStopStream(PlatAudioStream* stream);
// Stops it when running and frees it; null is allowed.
void PlatAudioCloseStream(PlatAudioStream* stream);
