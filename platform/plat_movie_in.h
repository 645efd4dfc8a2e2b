#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

// A movie file opened for reading the pictures of its first video stream. Opening reads the
// whole file once, so that the frame count is exact and every frame's time is known; a frame
// after the last one read is decoded on, any other frame is reached by seeking to the key frame
// at or before it.
class PlatMovieIn {
public:
    PlatMovieIn();
    ~PlatMovieIn();
    PlatMovieIn(const PlatMovieIn&) = delete;
    PlatMovieIn& operator=(const PlatMovieIn&) = delete;

    // False, with nothing open, when the file holds no decodable video stream or its picture is
    // larger than any raster may be.
    bool Open(const char* path);
    void Close();
    bool IsOpen() const;
    // The container is AVI.
    bool IsAvi() const;

    int32_t Width() const;
    int32_t Height() const;
    // Frames per second from the stream's timing; -1 when it gives none.
    double FrameRate() const;
    // Video packets in the file; may be 0.
    int64_t FrameCount() const;

    // Decodes frame n (presentation order, 0-based) into the frame buffer; false when the frame
    // cannot be had, leaving the buffer as it was.
    bool ReadFrame(int64_t n);
    // Width x Height pixels of the bytes B, G, R, A, top row first; alpha is 255 for movies
    // without one. Valid after a successful ReadFrame until the next call or Close.
    uint8_t* Pixels();
    ptrdiff_t RowBytes() const;

    struct State;

private:
    std::unique_ptr<State> fState;
};

// A sound decoded to interleaved signed 16-bit samples.
struct PlatDecodedSound {
    std::unique_ptr<int16_t[]> samples;
    int64_t frames = 0;
    int32_t channels = 0;
    int32_t sampleRate = 0;
};

// Decodes the first audio stream of any file the movie libraries read (AAC, a movie's sound),
// keeping at most maxFrames frames. False, leaving the output empty, when there is no audio
// stream, nothing decodes or the samples cannot be held.
bool PlatDecodeSound(const char* path, int64_t maxFrames, PlatDecodedSound& out);
