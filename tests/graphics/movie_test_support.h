#pragma once

// Helpers of the movie and sound tests: the ffmpeg and ffprobe command-line tools make the input
// files and judge what our writers produce.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "image_test_support.h"

inline bool MediaToolsPresent()
{
    return RunCommand("ffmpeg -version").status == 0 && RunCommand("ffprobe -version").status == 0;
}

#define REQUIRE_MEDIA_TOOLS()                                                                                 \
    if (!MediaToolsPresent())                                                                                 \
    GTEST_SKIP() << "ffmpeg and ffprobe are not installed"

// Runs ffmpeg quietly with the arguments; true when it succeeded.
inline bool Ffmpeg(const std::string& arguments)
{
    const CommandResult r = RunCommand("ffmpeg -nostdin -v error -y " + arguments);
    if (r.status != 0)
        ADD_FAILURE() << "ffmpeg " << arguments << "\n" << r.output;
    return r.status == 0;
}

// ffprobe's value of one entry of one stream ("v:0", "a:0"), counting frames when asked for
// nb_read_frames; empty when there is none.
inline std::string Probe(const std::string& path, const char* stream, const char* entry)
{
    std::string command = "ffprobe -v error -select_streams " + std::string(stream);
    if (std::string(entry) == "nb_read_frames")
        command += " -count_frames";
    command += " -show_entries stream=" + std::string(entry) + " -of default=nw=1:nk=1 '" + path + "'";
    CommandResult r = RunCommand(command);
    std::string out = r.output;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return r.status == 0 ? out : std::string();
}
