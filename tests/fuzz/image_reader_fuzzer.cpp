// One image reader under libFuzzer: the input is handed to the reader as a file, opened, and when
// the picture is of a reasonable size decoded into a 32-bit raster. Built once per reader.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "bmp_codec.h"
#include "gif_source.h"
#include "jpeg_codec.h"
#include "png_codec.h"
#include "targa_codec.h"

namespace {

// Larger pictures are only opened: decoding them proves nothing more and costs the run its speed.
constexpr int64_t kMaxDecodedPixels = int64_t(1) << 22;

const char* InputPath()
{
    static std::string path;
    if (path.empty()) {
        const int fd = memfd_create("fuzz-image", 0);
        if (fd < 0)
            abort();
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    return path.c_str();
}

bool StoreInput(const uint8_t* data, size_t size)
{
    FILE* file = fopen(InputPath(), "wb");
    if (!file)
        return false;
    const bool written = size == 0 || fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

struct Raster {
    explicit Raster(int width, int height)
        : bytes(static_cast<uint8_t*>(malloc(size_t(width) * size_t(height) * 4)))
    {
        buffer.pixels = bytes;
        buffer.width = width;
        buffer.height = height;
        buffer.depth = 32;
        buffer.bytesPerPixel = 4;
        buffer.rowBytes = width * 4;
    }
    ~Raster() { free(bytes); }
    uint8_t* bytes;
    QV_PixelBuffer buffer;
};

bool Decodable(int width, int height)
{
    return width > 0 && height > 0 && int64_t(width) * height <= kMaxDecodedPixels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!StoreInput(data, size))
        return 0;
    int width = 0, height = 0;
    bool hasAlpha = false;
#if defined(FUZZ_READER_PNG)
    PngReadContext* context = nullptr;
    if (!OpenPng(InputPath(), &context, &width, &height, &hasAlpha))
        return 0;
    if (!Decodable(width, height)) {
        ClosePng(context);
        return 0;
    }
    Raster raster(width, height);
    ReadPngRows(context, raster.buffer);
#else
    ImageSourceContext* context = nullptr;
#if defined(FUZZ_READER_JPEG)
    // The input length chooses between full size and a reduced decode.
    const bool opened = OpenJpeg(InputPath(), size % 2 ? 64 : 0, &context, &width, &height, &hasAlpha);
#elif defined(FUZZ_READER_BMP)
    const bool opened = OpenBmp(InputPath(), &context, &width, &height, &hasAlpha);
#elif defined(FUZZ_READER_GIF)
    const bool opened = OpenGif(InputPath(), &context, &width, &height, &hasAlpha);
#elif defined(FUZZ_READER_TARGA)
    const bool opened = OpenTarga(InputPath(), &context, &width, &height, &hasAlpha);
#else
#error "define the reader to fuzz"
#endif
    if (!opened)
        return 0;
    if (!Decodable(width, height)) {
        CloseSource(context);
        return 0;
    }
    Raster raster(width, height);
#if defined(FUZZ_READER_JPEG)
    ReadJpegRows(context, raster.buffer);
#else
    ReadSourceRows(context, raster.buffer);
#endif
#endif
    return 0;
}
