#pragma once
#include <string>

extern "C" {
#include <libavutil/dict.h>
}

struct PlatSoundTrack;

// A new, empty hidden file beside the target, for whole-file writing; empty text when none can
// be made.
std::string PlatTemporaryBeside(const std::string& target);

// The muxer options every movie of the container is written with (the caller frees them): MOV
// keeps the video's own time scale rather than a finer one of its choosing.
AVDictionary* PlatMovieMuxOptions(const char* container, int timeScale);

// Writes the finished movie `video` again with the sound beside its frames (16-bit PCM at the
// sound's own rate and channels), into a new file moved over the target. False, with no new
// file left, on failure; `video` itself is left for the caller.
bool PlatMuxSoundtrack(const std::string& video, const std::string& target, const char* container,
    const PlatSoundTrack& track);
