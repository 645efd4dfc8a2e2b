// movie_frames MOVIE OUT.png N...: opens MOVIE through the movie reader, prints its size, frame
// rate and frame count, then reads the frames asked, in the order given, into a 32-bit image and
// writes each as a PNG numbered by its place in the list (OUT0001.png for the first). The tests'
// way to look into movies; not installed.

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "image_file.h"
#include "image_format_registry.h"
#include "media_presence.h"
#include "qv_baseimage.h"
#include "qv_movie_reader.h"

namespace {

std::string NumberedName(const std::string& path, int32_t n)
{
    char number[16];
    std::snprintf(number, sizeof number, "%04d", int(n));
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + number;
    return path.substr(0, dot) + number + path.substr(dot);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: movie_frames MOVIE OUT.png N...\n");
        return 2;
    }
    ImageFormatRegistry::Init();
    gQuickTimePresent = true;
    QV_MovieReader reader;
    if (!reader.Open(argv[1])) {
        std::printf("cannot open %s\n", argv[1]);
        return 1;
    }
    std::printf("size %d x %d\nframe rate %g\nframes %d\n", int(reader.Width()), int(reader.Height()),
        double(reader.FrameRate()), int(reader.FrameCount()));
    QV_BaseImage image;
    if (image.Allocate(reader.Width(), reader.Height(), 32) != 0) {
        std::printf("cannot allocate a %d x %d image\n", int(reader.Width()), int(reader.Height()));
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        char* end = nullptr;
        const long n = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || n < -2147483647L || n > 2147483647L) {
            std::printf("not a frame number: %s\n", argv[i]);
            return 2;
        }
        // Transparent black shows a frame that could not be read.
        QV_PixelBuffer buffer;
        image.GetPixelBuffer(buffer);
        for (int32_t y = 0; y < buffer.height; ++y)
            std::fill_n(buffer.pixels + int64_t(y) * buffer.rowBytes, size_t(buffer.width) * 4, uint8_t(0));
        reader.GetFrame(buffer, int32_t(n));
        const std::string out = NumberedName(argv[2], i - 2);
        if (SaveImageFile(image, out.c_str(), PngWriterIndex) != 0) {
            std::printf("cannot write %s\n", out.c_str());
            return 1;
        }
    }
    return 0;
}
