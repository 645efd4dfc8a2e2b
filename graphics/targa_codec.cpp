#include "targa_codec.h"

#include <cstddef>
#include <cstring>

#include "image_source_module.h"
#include <jerror.h>

#include "staged_file.h"

namespace {

// Codes of the reader, raised through the library's error manager.
constexpr int kTargaBadColormap = 1032;
constexpr int kTargaUnsupported = 1033;
constexpr int kTargaTraceTrueColour = 1035;
constexpr int kTargaTraceGrey = 1036;
constexpr int kTargaTraceMapped = 1037;

// i x 255 / 31 rounded to nearest.
constexpr uint8_t kFiveBitToByte[32] = { 0, 8, 16, 25, 33, 41, 49, 58, 66, 74, 82, 90, 99, 107, 115, 123, 132,
    140, 148, 156, 165, 173, 181, 189, 197, 206, 214, 222, 230, 239, 247, 255 };

} // namespace

struct TargaSource {
    ImageSourceModule pub;
    j_compress_ptr codec;
    void (*readPixel)(TargaSource* source);
    int pixelSize;
    uint8_t pixelBytes[4];
    int blockCount;
    int dupCount;
    // 256 entries, black beyond the file's own map: any index byte stays inside.
    JSAMPARRAY colormap;
    JDIMENSION (*getRow)(j_compress_ptr codec, ImageSourceModule* module);
    jvirt_sarray_ptr wholeImage;
    JDIMENSION currentRow;

    static void Start(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION Get8BitGrayRow(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION Get8BitRow(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION Get16BitRow(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION Get24BitRow(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION Preload(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION GetMemoryRow(j_compress_ptr codec, ImageSourceModule* module);
    static void ReadPixel(TargaSource* source);
    static void ReadRlePixel(TargaSource* source);
    static void ReadColormap(j_compress_ptr codec, TargaSource* source, int count, int entryBits);
};

void TargaSource::ReadPixel(TargaSource* source)
{
    // Bytes past the end of the file read as 0xFF: a short file still gives a defined picture.
    FILE* file = source->pub.inputFile;
    for (int i = 0; i < source->pixelSize; ++i)
        source->pixelBytes[i] = uint8_t(getc(file));
}

void TargaSource::ReadRlePixel(TargaSource* source)
{
    if (source->dupCount > 0) {
        source->dupCount--;
        return;
    }
    if (--source->blockCount < 0) {
        const int header = ReadSourceByte(source->codec, &source->pub);
        if (header & 0x80) {
            source->dupCount = header & 0x7F;
            source->blockCount = 0;
        } else {
            source->blockCount = header & 0x7F;
        }
    }
    ReadPixel(source);
}

void TargaSource::ReadColormap(j_compress_ptr codec, TargaSource* source, int count, int entryBits)
{
    if (entryBits != 24)
        RaiseSourceError(codec, kTargaBadColormap);
    for (int i = 0; i < count; ++i) {
        uint8_t entry[3];
        ReadSourceBytes(codec, &source->pub, entry, 3);
        source->colormap[2][i] = entry[0];
        source->colormap[1][i] = entry[1];
        source->colormap[0][i] = entry[2];
    }
}

JDIMENSION TargaSource::Get8BitGrayRow(j_compress_ptr codec, ImageSourceModule* module)
{
    TargaSource* source = reinterpret_cast<TargaSource*>(module);
    JSAMPLE* out = module->buffer[0];
    for (JDIMENSION x = 0; x < codec->image_width; ++x) {
        (*source->readPixel)(source);
        out[x] = source->pixelBytes[0];
    }
    return 1;
}

JDIMENSION TargaSource::Get8BitRow(j_compress_ptr codec, ImageSourceModule* module)
{
    TargaSource* source = reinterpret_cast<TargaSource*>(module);
    JSAMPLE* out = module->buffer[0];
    for (JDIMENSION x = 0; x < codec->image_width; ++x, out += 3) {
        (*source->readPixel)(source);
        const int index = source->pixelBytes[0];
        out[0] = source->colormap[0][index];
        out[1] = source->colormap[1][index];
        out[2] = source->colormap[2][index];
    }
    return 1;
}

JDIMENSION TargaSource::Get16BitRow(j_compress_ptr codec, ImageSourceModule* module)
{
    TargaSource* source = reinterpret_cast<TargaSource*>(module);
    JSAMPLE* out = module->buffer[0];
    for (JDIMENSION x = 0; x < codec->image_width; ++x, out += 3) {
        (*source->readPixel)(source);
        const uint32_t v = uint32_t(source->pixelBytes[0]) | uint32_t(source->pixelBytes[1]) << 8;
        out[0] = kFiveBitToByte[(v >> 10) & 31];
        out[1] = kFiveBitToByte[(v >> 5) & 31];
        out[2] = kFiveBitToByte[v & 31];
    }
    return 1;
}

JDIMENSION TargaSource::Get24BitRow(j_compress_ptr codec, ImageSourceModule* module)
{
    TargaSource* source = reinterpret_cast<TargaSource*>(module);
    JSAMPLE* out = module->buffer[0];
    for (JDIMENSION x = 0; x < codec->image_width; ++x, out += 3) {
        (*source->readPixel)(source);
        out[0] = source->pixelBytes[2];
        out[1] = source->pixelBytes[1];
        out[2] = source->pixelBytes[0];
    }
    return 1;
}

JDIMENSION TargaSource::Preload(j_compress_ptr codec, ImageSourceModule* module)
{
    TargaSource* source = reinterpret_cast<TargaSource*>(module);
    j_common_ptr common = reinterpret_cast<j_common_ptr>(codec);
    const size_t rowSize = size_t(codec->image_width) * size_t(codec->input_components);
    for (JDIMENSION row = 0; row < codec->image_height; ++row) {
        (*source->getRow)(codec, module);
        JSAMPARRAY image = (*codec->mem->access_virt_sarray)(common, source->wholeImage, row, 1, TRUE);
        memcpy(image[0], module->buffer[0], rowSize);
    }
    source->currentRow = 0;
    module->getRows = GetMemoryRow;
    return GetMemoryRow(codec, module);
}

JDIMENSION TargaSource::GetMemoryRow(j_compress_ptr codec, ImageSourceModule* module)
{
    TargaSource* source = reinterpret_cast<TargaSource*>(module);
    const JDIMENSION row = codec->image_height - 1 - source->currentRow;
    JSAMPARRAY image = (*codec->mem->access_virt_sarray)(
        reinterpret_cast<j_common_ptr>(codec), source->wholeImage, row, 1, FALSE);
    memcpy(module->buffer[0], image[0], size_t(codec->image_width) * size_t(codec->input_components));
    source->currentRow++;
    return 1;
}

void TargaSource::Start(j_compress_ptr codec, ImageSourceModule* module)
{
    TargaSource* source = reinterpret_cast<TargaSource*>(module);
    source->codec = codec;
    j_common_ptr common = reinterpret_cast<j_common_ptr>(codec);

    uint8_t header[18];
    ReadSourceBytes(codec, module, header, sizeof header);
    const int idLength = header[0];
    const int mapType = header[1];
    int imageType = header[2];
    const int mapFirst = header[3] | header[4] << 8;
    const int mapLength = header[5] | header[6] << 8;
    const int mapEntryBits = header[7];
    const int64_t width = header[12] | header[13] << 8;
    const int64_t height = header[14] | header[15] << 8;
    int bitsPerPixel = header[16];
    const int descriptor = header[17];
    if (bitsPerPixel == 15)
        bitsPerPixel = 16;
    source->pixelSize = bitsPerPixel / 8;
    if (mapType > 1 || bitsPerPixel < 8 || bitsPerPixel > 39 || (bitsPerPixel & 7) != 0 || descriptor > 63)
        RaiseSourceError(codec, kTargaUnsupported);

    if (imageType > 8) {
        source->readPixel = ReadRlePixel;
        source->blockCount = source->dupCount = 0;
        imageType -= 8;
    } else {
        source->readPixel = ReadPixel;
    }

    int components = 3;
    codec->in_color_space = JCS_RGB;
    switch (imageType) {
    case 1:
        if (source->pixelSize != 1 || mapType != 1)
            RaiseSourceError(codec, kTargaUnsupported);
        source->getRow = Get8BitRow;
        SourceTrace(codec, 1, kTargaTraceMapped, int(width), int(height));
        break;
    case 2:
        if (source->pixelSize == 2)
            source->getRow = Get16BitRow;
        else if (source->pixelSize == 3 || source->pixelSize == 4)
            source->getRow = Get24BitRow;
        else
            RaiseSourceError(codec, kTargaUnsupported);
        SourceTrace(codec, 1, kTargaTraceTrueColour, int(width), int(height));
        break;
    case 3:
        components = 1;
        codec->in_color_space = JCS_GRAYSCALE;
        if (source->pixelSize != 1)
            RaiseSourceError(codec, kTargaUnsupported);
        source->getRow = Get8BitGrayRow;
        SourceTrace(codec, 1, kTargaTraceGrey, int(width), int(height));
        break;
    default:
        RaiseSourceError(codec, kTargaUnsupported);
    }
    CheckSourceImageSize(codec, width, height);

    if (descriptor & 0x20) {
        module->getRows = source->getRow;
    } else {
        source->wholeImage = (*codec->mem->request_virt_sarray)(
            common, JPOOL_IMAGE, FALSE, JDIMENSION(width) * JDIMENSION(components), JDIMENSION(height), 1);
        module->getRows = Preload;
    }

    SkipSourceBytes(codec, module, idLength);

    source->colormap = (*codec->mem->alloc_sarray)(common, JPOOL_IMAGE, 256, 3);
    for (int c = 0; c < 3; ++c)
        memset(source->colormap[c], 0, 256);
    if (mapLength > 0) {
        if (mapLength > 256 || mapFirst != 0)
            RaiseSourceError(codec, kTargaBadColormap);
        ReadColormap(codec, source, mapLength, mapEntryBits);
    } else if (mapType != 0) {
        RaiseSourceError(codec, kTargaUnsupported);
    }

    module->buffer
        = (*codec->mem->alloc_sarray)(common, JPOOL_IMAGE, JDIMENSION(width) * JDIMENSION(components), 1);
    module->bufferHeight = 1;
    codec->input_components = components;
    codec->data_precision = 8;
    codec->image_width = JDIMENSION(width);
    codec->image_height = JDIMENSION(height);
}

bool OpenTarga(
    const char* path, ImageSourceContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha)
{
    return OpenSourceModule(
        path, sizeof(TargaSource), TargaSource::Start, outContext, outWidth, outHeight, outHasAlpha);
}

bool WriteTarga(const QV_PixelBuffer& raster, const char* path)
{
    if (!raster.pixels || raster.bytesPerPixel != 4 || raster.width <= 0 || raster.height <= 0
        || raster.width > 65535 || raster.height > 65535)
        return false;
    StagedFile file;
    if (!file.Open(path))
        return false;
    uint8_t header[18] = {};
    header[2] = 2;
    header[12] = uint8_t(raster.width);
    header[13] = uint8_t(raster.width >> 8);
    header[14] = uint8_t(raster.height);
    header[15] = uint8_t(raster.height >> 8);
    header[16] = 32;
    header[17] = 0x20;
    file.Write(header, sizeof header);
    for (int32_t y = 0; y < raster.height && !file.Failed(); ++y)
        file.Write(raster.pixels + ptrdiff_t(y) * raster.rowBytes, size_t(raster.width) * 4);
    return file.Commit();
}
