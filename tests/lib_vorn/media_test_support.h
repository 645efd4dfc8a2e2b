#pragma once

// Helpers of the image, movie and 3D layer tests: a scratch folder, small files written there, and
// the ffmpeg command-line tool that makes pictures and movies at test time.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "image_format_registry.h"
#include "media_presence.h"

class MediaFolder {
public:
    MediaFolder()
    {
        char pattern[] = "/tmp/celvane_media_XXXXXX";
        if (const char* folder = mkdtemp(pattern))
            fFolder = folder;
    }
    ~MediaFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(fFolder, error);
    }
    MediaFolder(const MediaFolder&) = delete;
    MediaFolder& operator=(const MediaFolder&) = delete;

    std::string Path(const std::string& name) const { return fFolder + "/" + name; }
    const std::string& Folder() const { return fFolder; }
    // Writes the bytes as they stand.
    std::string Write(const std::string& name, const std::string& text) const
    {
        const std::string path = Path(name);
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
        return path;
    }

private:
    std::string fFolder;
};

inline bool FfmpegPresent()
{
    return std::system("ffmpeg -version > /dev/null 2>&1") == 0;
}

// Runs ffmpeg quietly; true when it succeeded.
inline bool Ffmpeg(const std::string& arguments)
{
    const std::string command = "ffmpeg -nostdin -v error -y " + arguments + " > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The start-up steps the media layers rely on: the image readers registered, the movie
// libraries present.
inline void MediaReady()
{
    ImageFormatRegistry::Init();
    gQuickTimePresent = true;
}

#define REQUIRE_FFMPEG()                                                                                      \
    MediaReady();                                                                                             \
    if (!FfmpegPresent())                                                                                     \
    GTEST_SKIP() << "ffmpeg is not installed"
