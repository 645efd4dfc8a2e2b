#include "image_plugins.h"

#include <cstddef>

#include "bmp_codec.h"
#include "gif_source.h"
#include "jpeg_codec.h"
#include "png_codec.h"
#include "targa_codec.h"

namespace {

constexpr const char* kPlugin0Mime[] = { "image/jpeg", "image/x-bmp", "image/gif", "image/x-targa" };
constexpr const char* kPlugin0ReaderExtensions[] = { "jpg", "bmp", "gif", "tga" };
constexpr const char* kPlugin0WriterNames[] = { "JPEG", "BMP", "Targa" };
constexpr const char* kPlugin0WriterExtensions[] = { "jpg", "bmp", "tga" };

template <int N> const char* Entry(const char* const (&table)[N], int index)
{
    return index >= 0 && index < N ? table[index] : nullptr;
}

int Plugin0ReaderCount()
{
    return 4;
}
int Plugin0WriterCount()
{
    return 3;
}
const char* Plugin0ReaderMime(int index)
{
    return Entry(kPlugin0Mime, index);
}
const char* Plugin0ReaderExtension(int index)
{
    return Entry(kPlugin0ReaderExtensions, index);
}
const char* Plugin0WriterName(int index)
{
    return Entry(kPlugin0WriterNames, index);
}
const char* Plugin0WriterExtension(int index)
{
    return Entry(kPlugin0WriterExtensions, index);
}

int Plugin1Count()
{
    return 1;
}
const char* Plugin1ReaderMime(int index)
{
    return index == 0 ? "image/png" : nullptr;
}
const char* Plugin1Extension(int index)
{
    return index == 0 ? "png" : nullptr;
}
const char* Plugin1WriterName(int index)
{
    return index == 0 ? "PNG" : nullptr;
}

void SetOpaque(const QV_PixelBuffer& raster)
{
    if (!raster.pixels || raster.bytesPerPixel != 4)
        return;
    for (int32_t y = 0; y < raster.height; ++y) {
        uint8_t* pixel = raster.pixels + ptrdiff_t(y) * raster.rowBytes;
        for (int32_t x = 0; x < raster.width; ++x, pixel += 4)
            pixel[3] = 255;
    }
}

} // namespace

void InstallPlugin0(ImagePlugin& plugin)
{
    plugin.fReaderCountFunction = Plugin0ReaderCount;
    plugin.fReaderMimeFunction = Plugin0ReaderMime;
    plugin.fReaderExtensionFunction = Plugin0ReaderExtension;
    plugin.fWriterCountFunction = Plugin0WriterCount;
    plugin.fWriterNameFunction = Plugin0WriterName;
    plugin.fWriterExtensionFunction = Plugin0WriterExtension;
    plugin.OpenImage = Plugin0Open;
    plugin.ReadImageRows = Plugin0ReadRows;
    plugin.CloseImage = Plugin0Close;
    plugin.WriteImage = Plugin0Write;
}

void InstallPlugin1(ImagePlugin& plugin)
{
    plugin.fReaderCountFunction = Plugin1Count;
    plugin.fReaderMimeFunction = Plugin1ReaderMime;
    plugin.fReaderExtensionFunction = Plugin1Extension;
    plugin.fWriterCountFunction = Plugin1Count;
    plugin.fWriterNameFunction = Plugin1WriterName;
    plugin.fWriterExtensionFunction = Plugin1Extension;
    plugin.OpenImage = Plugin1Open;
    plugin.ReadImageRows = Plugin1ReadRows;
    plugin.CloseImage = Plugin1Close;
    plugin.WriteImage = Plugin1Write;
}

bool Plugin0Open(int reader, const char* path, int maxSize, void** outContext, int* outWidth, int* outHeight,
    bool* outHasAlpha)
{
    ImageSourceContext* context = nullptr;
    bool opened = false;
    switch (reader) {
    case 0:
        opened = OpenJpeg(path, maxSize, &context, outWidth, outHeight, outHasAlpha);
        break;
    case 1:
        opened = OpenBmp(path, &context, outWidth, outHeight, outHasAlpha);
        break;
    case 2:
        opened = OpenGif(path, &context, outWidth, outHeight, outHasAlpha);
        break;
    case 3:
        opened = OpenTarga(path, &context, outWidth, outHeight, outHasAlpha);
        break;
    default:
        return false;
    }
    if (opened)
        *outContext = context;
    return opened;
}

bool Plugin0ReadRows(int reader, void* context, const QV_PixelBuffer& raster)
{
    bool read = false;
    if (reader == 0)
        read = ReadJpegRows(static_cast<ImageSourceContext*>(context), raster);
    else if (reader >= 1 && reader <= 3)
        read = ReadSourceRows(static_cast<ImageSourceContext*>(context), raster);
    if (read)
        SetOpaque(raster);
    return read;
}

void Plugin0Close(int reader, void* context)
{
    if (reader >= 0 && reader <= 3)
        CloseSource(static_cast<ImageSourceContext*>(context));
}

bool Plugin0Write(int writer, const char* path, const QV_PixelBuffer& raster, int, int quality)
{
    switch (writer) {
    case 0:
        return WriteJpeg(path, raster, quality);
    case 1:
        return raster.bytesPerPixel == 4 && WriteBmp(raster, path);
    case 2:
        return raster.bytesPerPixel == 4 && WriteTarga(raster, path);
    default:
        return false;
    }
}

bool Plugin1Open(
    int reader, const char* path, int, void** outContext, int* outWidth, int* outHeight, bool* outHasAlpha)
{
    if (reader != 0)
        return false;
    PngReadContext* context = nullptr;
    if (!OpenPng(path, &context, outWidth, outHeight, outHasAlpha))
        return false;
    *outContext = context;
    return true;
}

bool Plugin1ReadRows(int reader, void* context, const QV_PixelBuffer& raster)
{
    if (reader != 0)
        return false;
    return ReadPngRows(static_cast<PngReadContext*>(context), raster);
}

void Plugin1Close(int reader, void* context)
{
    if (reader == 0)
        ClosePng(static_cast<PngReadContext*>(context));
}

bool Plugin1Write(int writer, const char* path, const QV_PixelBuffer& raster, int, int)
{
    return writer == 0 && WritePng(path, raster);
}
