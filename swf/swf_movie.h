#pragma once

#include "swf_movie_clip.h"
#include "swf_sound_stream.h"

#include <string>

// The movie being built: size, rate, background, its frames and at most one stream sound.
// Saved as a zlib-compressed version 8 file.
class SwfMovie : public SwfObject {
public:
    static constexpr int kVersion = 8;

    void SetDimension(float width, float height);
    void SetRate(float rate) { fRate = rate; }
    void SetNumberOfFrames(int32_t n) { fMinFrames = n; }
    void SetBackground(uint8_t r, uint8_t g, uint8_t b);
    // The stream sound plays from the frame being built; a second stream is ignored.
    void SetSoundStream(SwfSoundStream* stream);

    SwfTimeline& Timeline() { return fTimeline; }

    // Writes the file under a temporary name and renames it over the path: the bytes written,
    // or -1 with nothing left under the path (Error() says why).
    int32_t Save(const char* path, int level);
    const std::string& Error() const { return fError; }
    // Which of the format's 16-bit limits (characters, depths, frames) the movie has already
    // passed, so that no save can succeed; empty while it may still be saved.
    std::string LimitPassed() const;
    // LimitPassed, else the last save's error, else ""; valid until the next call.
    const char* Problem();

    // The uncompressed file (header included) as Save would compress it; false on an error.
    bool Build(std::vector<uint8_t>& file);

private:
    float fWidth = 320, fHeight = 240, fRate = 12;
    int32_t fMinFrames = 0;
    uint8_t fBackground[3] = { 255, 255, 255 };
    SwfTimeline fTimeline;
    SwfRef<SwfSoundStream> fSound;
    int32_t fSoundStart = 0;
    std::string fError;
    std::string fProblem;
};
