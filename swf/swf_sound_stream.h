#pragma once

#include "swf_bits.h"
#include "swf_object.h"

#include <vector>

// The MP3 frames of a sound file, streamed in blocks alongside a movie's frames. Only the rates
// the format can carry (11,025, 22,050 and 44,100 Hz) are accepted.
class SwfSoundStream : public SwfObject {
public:
    // Null when the file holds no MP3 frames at a rate the format carries.
    static SwfSoundStream* FromPath(const char* path);
    static SwfSoundStream* FromBytes(const std::vector<uint8_t>& bytes);

    int32_t Rate() const { return fRate; }
    bool Stereo() const { return fStereo; }
    size_t FrameCount() const { return fFrames.size(); }

    // The stream head for a movie of this frame rate.
    void WriteHead(SwfBits& out, float movieRate) const;
    // The block of movie frame n counted from the frame the stream starts; nothing once the
    // sound has ended.
    void WriteBlock(SwfBits& out, int32_t n, float movieRate) const;

private:
    struct Frame {
        size_t fOffset, fSize;
    };
    SwfSoundStream() = default;
    int64_t SamplesBefore(int32_t n, float movieRate) const;

    std::vector<uint8_t> fBytes;
    std::vector<Frame> fFrames;
    int32_t fRate = 0;
    int32_t fSamplesPerFrame = 0;
    bool fStereo = false;
};
