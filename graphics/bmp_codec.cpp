#include "bmp_codec.h"

#include <cstddef>
#include <cstdlib>
#include <vector>

#include "image_source_module.h"
#include "staged_file.h"
#include <jerror.h>
#include <sys/stat.h>

namespace {

// Codes of the reader, raised through the library's error manager.
constexpr int kBmpTooManyColours = 1001;
constexpr int kBmpBadDepth = 1002;
constexpr int kBmpBadHeader = 1003;
constexpr int kBmpBadPlanes = 1004;
constexpr int kBmpCompressed = 1006;
constexpr int kBmpNotBmp = 1007;
constexpr int kBmpTrace24Windows = 1008;
constexpr int kBmpTrace8Windows = 1009;
constexpr int kBmpTrace24Os2 = 1010;
constexpr int kBmpTrace8Os2 = 1011;

uint32_t Little16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

uint32_t Little32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutLittle16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void PutLittle32(uint8_t* p, uint32_t v)
{
    PutLittle16(p, v);
    PutLittle16(p + 2, v >> 16);
}

} // namespace

struct BmpSource {
    ImageSourceModule pub;
    // 256 entries in every file, black beyond the file's own: any index byte stays inside.
    JSAMPARRAY colormap;
    jvirt_sarray_ptr wholeImage;
    JDIMENSION sourceRow;
    int bitsPerPixel;
    JDIMENSION rowWidth;
    bool topDown;

    static void Start(j_compress_ptr codec, ImageSourceModule* module);
    static void ReadColormap(j_compress_ptr codec, BmpSource* source, int entrySize, int colours);
    static JDIMENSION Preload(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION Get8BitRow(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION Get24BitRow(j_compress_ptr codec, ImageSourceModule* module);
    static JSAMPROW NextBufferedRow(j_compress_ptr codec, BmpSource* source);
};

void BmpSource::ReadColormap(j_compress_ptr codec, BmpSource* source, int entrySize, int colours)
{
    for (int i = 0; i < colours; ++i) {
        uint8_t entry[4];
        ReadSourceBytes(codec, &source->pub, entry, size_t(entrySize));
        source->colormap[2][i] = entry[0];
        source->colormap[1][i] = entry[1];
        source->colormap[0][i] = entry[2];
    }
}

void BmpSource::Start(j_compress_ptr codec, ImageSourceModule* module)
{
    BmpSource* source = reinterpret_cast<BmpSource*>(module);
    uint8_t fileHeader[14];
    ReadSourceBytes(codec, module, fileHeader, sizeof fileHeader);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        RaiseSourceError(codec, kBmpNotBmp);
    const int64_t dataOffset = Little32(fileHeader + 10);

    uint8_t info[64];
    ReadSourceBytes(codec, module, info, 4);
    const uint32_t headerSize = Little32(info);
    if (headerSize < 12 || headerSize > 64)
        RaiseSourceError(codec, kBmpBadHeader);
    ReadSourceBytes(codec, module, info + 4, headerSize - 4);

    int64_t width = 0;
    int64_t height = 0;
    int entrySize = 0;
    int colours = 0;
    const bool os2 = headerSize == 12;
    if (os2) {
        width = Little16(info + 4);
        height = Little16(info + 6);
        const uint32_t planes = Little16(info + 8);
        source->bitsPerPixel = int(Little16(info + 10));
        if (source->bitsPerPixel == 8)
            entrySize = 3;
        else if (source->bitsPerPixel != 24)
            RaiseSourceError(codec, kBmpBadDepth, source->bitsPerPixel);
        if (planes != 1)
            RaiseSourceError(codec, kBmpBadPlanes);
        colours = 256;
    } else if (headerSize == 40 || headerSize == 64) {
        width = int32_t(Little32(info + 4));
        height = int32_t(Little32(info + 8));
        const uint32_t planes = Little16(info + 12);
        source->bitsPerPixel = int(Little16(info + 14));
        const uint32_t compression = Little32(info + 16);
        const int32_t coloursUsed = int32_t(Little32(info + 32));
        if (source->bitsPerPixel == 8)
            entrySize = 4;
        else if (source->bitsPerPixel != 24)
            RaiseSourceError(codec, kBmpBadDepth, source->bitsPerPixel);
        if (planes != 1)
            RaiseSourceError(codec, kBmpBadPlanes);
        if (compression != 0)
            RaiseSourceError(codec, kBmpCompressed);
        colours = coloursUsed <= 0 ? 256 : coloursUsed;
    } else {
        RaiseSourceError(codec, kBmpBadHeader);
    }
    // A negative height marks rows stored top-down.
    if (height < 0) {
        source->topDown = true;
        height = -height;
    }
    CheckSourceImageSize(codec, width, height);
    if (source->bitsPerPixel == 8)
        SourceTrace(codec, 1, os2 ? kBmpTrace8Os2 : kBmpTrace8Windows, int(width), int(height));
    else
        SourceTrace(codec, 1, os2 ? kBmpTrace24Os2 : kBmpTrace24Windows, int(width), int(height));

    int64_t gap = dataOffset - int64_t(headerSize) - 14;
    source->colormap
        = (*codec->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(codec), JPOOL_IMAGE, 256, 3);
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i)
            source->colormap[c][i] = 0;
    if (source->bitsPerPixel == 8) {
        if (colours > 256)
            RaiseSourceError(codec, kBmpTooManyColours);
        ReadColormap(codec, source, entrySize, colours);
        gap -= int64_t(entrySize) * colours;
    }
    if (gap < 0)
        RaiseSourceError(codec, kBmpBadHeader);
    SkipSourceBytes(codec, module, gap);

    const int64_t rowBytes = (source->bitsPerPixel == 24 ? 3 * width : width);
    source->rowWidth = JDIMENSION((rowBytes + 3) & ~int64_t(3));
    // Rows are stored uncompressed, so a file too short for them is known now: refuse it before
    // a forged size costs the whole-image buffer and the caller's raster.
    struct stat status;
    if (fstat(fileno(module->inputFile), &status) == 0 && S_ISREG(status.st_mode)) {
        const int64_t position = ftello(module->inputFile);
        if (position >= 0 && int64_t(status.st_size) - position < int64_t(source->rowWidth) * height)
            RaiseSourceError(codec, JERR_INPUT_EOF);
    }
    source->wholeImage = (*codec->mem->request_virt_sarray)(
        reinterpret_cast<j_common_ptr>(codec), JPOOL_IMAGE, FALSE, source->rowWidth, JDIMENSION(height), 1);
    module->getRows = Preload;
    module->buffer = (*codec->mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(codec), JPOOL_IMAGE, JDIMENSION(width) * 3, 1);
    module->bufferHeight = 1;

    codec->in_color_space = JCS_RGB;
    codec->input_components = 3;
    codec->data_precision = 8;
    codec->image_width = JDIMENSION(width);
    codec->image_height = JDIMENSION(height);
}

JDIMENSION BmpSource::Preload(j_compress_ptr codec, ImageSourceModule* module)
{
    BmpSource* source = reinterpret_cast<BmpSource*>(module);
    for (JDIMENSION row = 0; row < codec->image_height; ++row) {
        JSAMPARRAY image = (*codec->mem->access_virt_sarray)(
            reinterpret_cast<j_common_ptr>(codec), source->wholeImage, row, 1, TRUE);
        ReadSourceBytes(codec, module, image[0], source->rowWidth);
    }
    module->getRows = source->bitsPerPixel == 8 ? Get8BitRow : Get24BitRow;
    source->sourceRow = codec->image_height;
    return (*module->getRows)(codec, module);
}

JSAMPROW BmpSource::NextBufferedRow(j_compress_ptr codec, BmpSource* source)
{
    // The source row counts down; bottom-up files deliver the last buffered row first.
    source->sourceRow--;
    const JDIMENSION row = source->topDown ? codec->image_height - 1 - source->sourceRow : source->sourceRow;
    JSAMPARRAY image = (*codec->mem->access_virt_sarray)(
        reinterpret_cast<j_common_ptr>(codec), source->wholeImage, row, 1, FALSE);
    return image[0];
}

JDIMENSION BmpSource::Get8BitRow(j_compress_ptr codec, ImageSourceModule* module)
{
    BmpSource* source = reinterpret_cast<BmpSource*>(module);
    const JSAMPLE* in = NextBufferedRow(codec, source);
    JSAMPLE* out = module->buffer[0];
    for (JDIMENSION x = 0; x < codec->image_width; ++x, out += 3) {
        const int index = in[x];
        out[0] = source->colormap[0][index];
        out[1] = source->colormap[1][index];
        out[2] = source->colormap[2][index];
    }
    return 1;
}

JDIMENSION BmpSource::Get24BitRow(j_compress_ptr codec, ImageSourceModule* module)
{
    BmpSource* source = reinterpret_cast<BmpSource*>(module);
    const JSAMPLE* in = NextBufferedRow(codec, source);
    JSAMPLE* out = module->buffer[0];
    for (JDIMENSION x = 0; x < codec->image_width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
    return 1;
}

bool OpenBmp(
    const char* path, ImageSourceContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha)
{
    return OpenSourceModule(
        path, sizeof(BmpSource), BmpSource::Start, outContext, outWidth, outHeight, outHasAlpha);
}

bool WriteBmp(const QV_PixelBuffer& raster, const char* path)
{
    if (!raster.pixels || raster.bytesPerPixel != 4 || raster.width <= 0 || raster.height <= 0)
        return false;
    const int64_t rowSize = (int64_t(raster.width) * 3 + 3) & ~int64_t(3);
    const int64_t fileSize = 54 + rowSize * raster.height;
    if (fileSize > int64_t(UINT32_MAX))
        return false;
    StagedFile file;
    if (!file.Open(path))
        return false;

    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutLittle32(header + 2, uint32_t(fileSize));
    PutLittle32(header + 10, 54);
    PutLittle32(header + 14, 40);
    PutLittle32(header + 18, uint32_t(raster.width));
    PutLittle32(header + 22, uint32_t(raster.height));
    PutLittle16(header + 26, 1);
    PutLittle16(header + 28, 24);
    file.Write(header, sizeof header);

    // Padding bytes are zero.
    std::vector<uint8_t> row(size_t(rowSize), 0);
    for (int32_t y = raster.height - 1; y >= 0 && !file.Failed(); --y) {
        const uint8_t* in = raster.pixels + ptrdiff_t(y) * raster.rowBytes;
        uint8_t* out = row.data();
        for (int32_t x = 0; x < raster.width; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
        file.Write(row.data(), row.size());
    }
    return file.Commit();
}
