#pragma once
// Documents made in code for the export tests, and ffprobe's reading of what was written.

#include <cstdio>
#include <string>

#include "vorndoc.h"
#include "xvfb_session.h"

// A document of that size and rate over the frames, with no layers: its frames are its
// background.
inline void ShapeDocument(VornDoc& doc, int32_t width, int32_t height, float fps, int32_t start, int32_t end)
{
    doc.fWidth = width;
    doc.fHeight = height;
    doc.SetFps(fps);
    doc.SetStartFrame(start);
    doc.SetEndFrame(end);
    doc.fBackColor = { 40, 90, 200, 255 };
}

// ffprobe's value of one entry of one stream ("v:0", "a:0"), counting frames for
// nb_read_frames; empty when there is none.
inline std::string Probe(const std::string& path, const char* stream, const char* entry)
{
    std::string command = "ffprobe -v error -select_streams " + std::string(stream);
    if (std::string(entry) == "nb_read_frames")
        command += " -count_frames";
    command += " -show_entries stream=" + std::string(entry) + " -of default=nw=1:nk=1 '" + path + "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof(buffer), pipe))
            out += buffer;
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}
