#include "image_file.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "blend_tables.h"
#include "image_format_registry.h"
#include "qv_path.h"
#include "raster_blit.h"
#include "raster_scale.h"

namespace {

constexpr int kSaveQuality = 95;

// Every pixel with alpha 0 takes the mean colour (rounded half up) of the pixels of its 3 x 3
// neighbourhood whose alpha is not 0; its alpha stays 0, so it never feeds a later neighbour.
void BleedIntoTransparent(const QV_PixelBuffer& raster)
{
    for (int32_t y = 0; y < raster.height; ++y) {
        for (int32_t x = 0; x < raster.width; ++x) {
            uint8_t* pixel = raster.pixels + ptrdiff_t(y) * raster.rowBytes + ptrdiff_t(x) * 4;
            if (pixel[3] != 0)
                continue;
            uint32_t sum[3] = { 0, 0, 0 };
            uint32_t count = 0;
            for (int32_t ny = y - 1; ny <= y + 1; ++ny) {
                if (ny < 0 || ny >= raster.height)
                    continue;
                for (int32_t nx = x - 1; nx <= x + 1; ++nx) {
                    if (nx < 0 || nx >= raster.width)
                        continue;
                    const uint8_t* other
                        = raster.pixels + ptrdiff_t(ny) * raster.rowBytes + ptrdiff_t(nx) * 4;
                    if (other[3] == 0)
                        continue;
                    sum[0] += other[0];
                    sum[1] += other[1];
                    sum[2] += other[2];
                    count++;
                }
            }
            if (count == 0)
                continue;
            for (int c = 0; c < 3; ++c)
                pixel[c] = uint8_t((2 * sum[c] + count) / (2 * count));
        }
    }
}

int32_t FitSide(int32_t maxSize, int32_t numerator, int32_t denominator)
{
    const float ratio = float(numerator) / float(denominator);
    long side = std::lround(float(maxSize) * ratio);
    if (side < 1)
        side = 1;
    if (side > maxSize)
        side = maxSize;
    return int32_t(side);
}

} // namespace

int32_t LoadImageFile(const char* path, QV_BaseImage& image, int32_t maxSize)
{
    const char* mime = MimeTypeForPath(path);
    ImagePlugin* plugin = nullptr;
    int reader = -1;
    for (int p = 0; p < ImageFormatRegistry::fPluginCount && !plugin; ++p) {
        ImagePlugin& candidate = ImageFormatRegistry::fPlugins[p];
        for (int r = 0; r < candidate.fReaderCount; ++r) {
            if (candidate.fReaderMimeTypes[r] && strcmp(candidate.fReaderMimeTypes[r], mime) == 0) {
                plugin = &candidate;
                reader = r;
                break;
            }
        }
    }
    if (!plugin || !path)
        return kImageFileNoCodec;

    void* context = nullptr;
    int width = 0, height = 0;
    bool hasAlpha = false;
    if (!plugin->OpenImage(reader, path, maxSize, &context, &width, &height, &hasAlpha))
        return kImageFileCannotOpen;
    image.Allocate(width, height, 32);
    if (!image.buffer.pixels) {
        plugin->CloseImage(reader, context);
        return QV_RESULT_NO_MEMORY;
    }
    if (!plugin->ReadImageRows(reader, context, image.buffer))
        return kImageFileDecodeFailed;

    BleedIntoTransparent(image.buffer);

    if (maxSize < 1 || (width <= maxSize && height <= maxSize))
        return QV_RESULT_OK;
    int32_t newWidth, newHeight;
    if (height >= width) {
        newHeight = maxSize;
        newWidth = FitSide(maxSize, width, height);
    } else {
        newWidth = maxSize;
        newHeight = FitSide(maxSize, height, width);
    }
    // Scaling mixes through the blend tables; a load may come before toolkit start-up built them.
    BuildBlendTables();
    QV_BaseImage reduced;
    if (reduced.Allocate(newWidth, newHeight, 32) != QV_RESULT_OK) {
        image.Free();
        return QV_RESULT_NO_MEMORY;
    }
    BlitRasterScaled(image.buffer, reduced.buffer, 0, 0, newWidth, newHeight);
    if (image.Allocate(newWidth, newHeight, 32) != QV_RESULT_OK)
        return QV_RESULT_NO_MEMORY;
    BlitRaster(reduced.buffer, image.buffer, 0, 0);
    return QV_RESULT_OK;
}

int32_t SaveImageFile(const QV_BaseImage& image, const char* path, int32_t writerIndex)
{
    if (writerIndex < 0)
        return kImageFileNoCodec;
    int32_t index = writerIndex;
    for (int p = 0; p < ImageFormatRegistry::fPluginCount; ++p) {
        ImagePlugin& plugin = ImageFormatRegistry::fPlugins[p];
        if (index < plugin.fWriterCount) {
            if (!path || !plugin.WriteImage(index, path, image.buffer, 0, kSaveQuality))
                return kImageFileWriteFailed;
            return QV_RESULT_OK;
        }
        index -= plugin.fWriterCount;
    }
    return kImageFileNoCodec;
}
