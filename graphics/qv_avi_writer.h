#pragma once
#include <cstdint>

#include "plat_movie_out.h"
#include "qv_string.h"

struct QV_PixelBuffer;

// The AVI codec choice of the last confirmed codec dialog: the starting values of the next one
// and the options of every AVI opened with the dialog skipped. Lives until the process ends (not
// saved); shared without a lock, since the dialog runs on the interface thread before an export
// starts.
struct AviCompression {
    // The movie library's encoder name; empty: frames are stored uncompressed.
    QV_String fEncoder;
    // 0 .. 10,000; -1 leaves the encoder's default.
    int32_t fQuality = -1;
    // Frames between key frames; 0 for the encoder's default.
    int32_t fKeyFrameEvery = 0;
    // Bytes per second; 0 for no limit.
    int32_t fDataRate = 0;
};
extern AviCompression gAviOptions;
extern bool gAviOptionsValid;

// The movie options of an AVI of that compression, frame size and whole rate. The encoder name
// points into the compression record, which must outlive the options.
PlatMovieOutOptions AviMovieOptions(const AviCompression& compression, int32_t width, int32_t height, int32_t rate);

// Writes an AVI file: frames one by one at a whole frame rate, then at most one WAV soundtrack,
// then Close. The file appears under its name only when Close succeeds.
class QV_AviWriter {
public:
    QV_AviWriter();
    ~QV_AviWriter();
    QV_AviWriter(const QV_AviWriter&) = delete;
    QV_AviWriter& operator=(const QV_AviWriter&) = delete;

    // For 32-bit frames of the raster's size at `rate` frames per second. Unless skipDialog is set
    // the codec dialog is shown first (where the toolkit installed one) and cancelling it answers
    // -1. Compresses with gAviOptions when a choice was made, else stores the frames uncompressed.
    // 0 when ready; -2 when the encoder refuses the frames; -1 for any other failure (no file is
    // left behind).
    int32_t Open(const char* path, int32_t rate, int32_t frameCount, const QV_PixelBuffer& frame,
        void* parentWindow, bool skipDialog);
    // A 32-bit raster of the frame size, either row order. False when the frame could not be
    // written; the movie is then lost and Close fails.
    bool WriteFrame(const QV_PixelBuffer& raster);
    // Only a file named as a WAV file is used, read through libsndfile and stored as 16-bit PCM at
    // its own rate and channels. True when the sound will go in.
    bool AddSoundtrack(const char* path);
    // Completes the file; false (and no file) when it could not be written.
    bool Close();
    // Shows the codec dialog for frames of that size; true when a choice was confirmed (it is then
    // in gAviOptions). False when cancelled, or when no dialog is installed.
    static bool ChooseCompression(void* parentWindow, int32_t width, int32_t height);

    PlatMovieOut fMovie;
    int32_t fFrameIndex;
    int32_t fWidth;
    int32_t fHeight;
};
