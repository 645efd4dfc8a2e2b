#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

// What a new movie file is made of. The time of frame i is i x frameDuration / timeScale
// seconds.
struct PlatMovieOutOptions {
    // "avi" or "mov".
    const char* container = "avi";
    // The movie library's encoder name ("rawvideo", "mjpeg", "mpeg4", "png", "qtrle", ...).
    const char* encoder = "rawvideo";
    int32_t width = 0;
    int32_t height = 0;
    int32_t timeScale = 30;
    int32_t frameDuration = 1;
    // Keep the frames' alpha where the encoder has a pixel format with one.
    bool alpha = false;
    // Quantiser 1 (best) to 31 for encoders that have one; 0 leaves the encoder's default.
    int32_t qscale = 0;
    // Frames from one key frame to the next; 0 leaves the encoder's default.
    int32_t keyFrameEvery = 0;
    // Bits per second; 0 for none.
    int64_t bitRate = 0;
};

// Interleaved signed 16-bit samples.
struct PlatSoundTrack {
    const int16_t* samples = nullptr;
    int64_t frames = 0;
    int32_t channels = 0;
    int32_t sampleRate = 0;
};

// A movie file being written. The frames go to a hidden temporary file beside the target; a
// soundtrack given after them is muxed in by Finish, and only a complete movie is renamed over
// the target. A failed or abandoned movie leaves no file behind.
class PlatMovieOut {
public:
    PlatMovieOut();
    ~PlatMovieOut();
    PlatMovieOut(const PlatMovieOut&) = delete;
    PlatMovieOut& operator=(const PlatMovieOut&) = delete;

    // 0 when ready for frames; -2 when the encoder refuses frames of this size or kind; -1 for
    // any other failure (no such encoder or container, the file cannot be made).
    int32_t Open(const char* target, const PlatMovieOutOptions& options);
    // Opens a movie of these options in memory and compresses one blank frame: whether the encoder
    // takes such frames, answered as Open would, with nothing written to disk.
    static int32_t TryEncoder(const PlatMovieOutOptions& options);
    bool IsOpen() const;
    // One frame of width x height pixels of the bytes B, G, R, A, top row at `top`, rows
    // rowBytes apart (negative for a bottom-up raster). False when the encoder or the file
    // failed; the movie is then lost.
    bool WriteFrame(const uint8_t* top, ptrdiff_t rowBytes);
    // For callers that refuse a frame themselves: the movie is lost as if the encoder had failed.
    void MarkFailed();
    // Copies the samples; they are muxed beside the frames by Finish. False without samples or
    // for a sound the container cannot carry.
    bool SetSoundtrack(const PlatSoundTrack& track);
    // Completes the movie and moves it over the target; false, with no file left, on failure.
    bool Finish();
    // Drops the movie and its temporary files.
    void Abandon();

    int64_t FramesWritten() const;
    // The encoded picture size: the frame size, grown to even where a 4:2:0 encoder needs it.
    int32_t EncodedWidth() const;
    int32_t EncodedHeight() const;

    struct State;

private:
    std::unique_ptr<State> fState;
};
