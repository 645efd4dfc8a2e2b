#include "qv_psdwriter.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

size_t PackBitsRow(const uint8_t* row, int32_t n, uint8_t* out)
{
    size_t written = 0;
    int32_t j = 0;
    while (j < n - 3) {
        if (row[j] == row[j + 1] && row[j] == row[j + 2]) {
            int32_t run = 3;
            while (run < 128 && j + run < n && row[j + run] == row[j])
                run++;
            out[written++] = uint8_t(int8_t(1 - run));
            out[written++] = row[j];
            j += run;
            continue;
        }
        // A literal stops before three equal bytes, which start the next run.
        int32_t i = j;
        while (i < n && i - j < 128) {
            if (i >= j + 3 && row[i - 2] == row[i - 1] && row[i - 1] == row[i]) {
                i -= 2;
                break;
            }
            i++;
        }
        const int32_t length = i - j;
        out[written++] = uint8_t(length - 1);
        memcpy(out + written, row + j, size_t(length));
        written += size_t(length);
        j = i;
    }
    if (j < n) {
        const int32_t length = n - j;
        out[written++] = uint8_t(length - 1);
        memcpy(out + written, row + j, size_t(length));
        written += size_t(length);
    }
    return written;
}

namespace {

// Channel ids in file order and the byte of a 32-bit pixel (blue, green, red, alpha) each takes.
constexpr int kChannelIds[4] = { -1, 0, 1, 2 };
constexpr int kChannelBytes[4] = { 3, 2, 1, 0 };

} // namespace

QV_PSDWriter::QV_PSDWriter()
    : fOpen(false)
    , fHeaderWritten(false)
    , fWidth(0)
    , fHeight(0)
    , fLayerCount(0)
    , fLayersWritten(0)
    , fLayerAndMaskLengthPosition(0)
    , fLayerInfoLengthPosition(0)
{
}

QV_PSDWriter::~QV_PSDWriter() = default;

int32_t QV_PSDWriter::Open(const char* path)
{
    fFile.Discard();
    fOpen = fFile.Open(path);
    fHeaderWritten = false;
    return fOpen ? 0 : -5;
}

void QV_PSDWriter::Put16(uint32_t value)
{
    const uint8_t bytes[2] = { uint8_t(value >> 8), uint8_t(value) };
    PutBytes(bytes, 2);
}

void QV_PSDWriter::Put32(uint32_t value)
{
    const uint8_t bytes[4]
        = { uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value) };
    PutBytes(bytes, 4);
}

void QV_PSDWriter::PutBytes(const void* data, size_t n)
{
    fFile.Write(data, n);
}

int64_t QV_PSDWriter::Tell()
{
    const int64_t position = ftello(fFile.File());
    if (position < 0)
        fFile.MarkFailed();
    return position;
}

void QV_PSDWriter::SeekTo(int64_t position)
{
    if (fseeko(fFile.File(), off_t(position), SEEK_SET) != 0)
        fFile.MarkFailed();
}

void QV_PSDWriter::SeekToEnd()
{
    if (fseeko(fFile.File(), 0, SEEK_END) != 0)
        fFile.MarkFailed();
}

void QV_PSDWriter::Patch32(int64_t position, uint32_t value)
{
    SeekTo(position);
    Put32(value);
    SeekToEnd();
}

void QV_PSDWriter::WriteHeader(int32_t width, int32_t height)
{
    if (!fOpen)
        return;
    fWidth = width;
    fHeight = height;
    fLayerCount = 0;
    fLayersWritten = 0;
    for (auto& positions : fChannelLengthPositions)
        positions.clear();
    fHeaderWritten = false;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
        fFile.MarkFailed();
        return;
    }
    fHeaderWritten = true;
    PutBytes("8BPS", 4);
    Put16(1);
    const uint8_t reserved[6] = {};
    PutBytes(reserved, 6);
    Put16(3);
    Put32(uint32_t(height));
    Put32(uint32_t(width));
    Put16(8);
    Put16(3);
    Put32(0); // colour mode data
    Put32(0); // image resources
    fLayerAndMaskLengthPosition = Tell();
    Put32(0);
    fLayerInfoLengthPosition = Tell();
    Put32(0);
    Put16(0); // layer count, patched by Finish
}

void QV_PSDWriter::WriteLayerName(const char* name)
{
    size_t n = name ? strlen(name) : 0;
    if (n > 255)
        n = 255;
    const uint8_t length = uint8_t(n);
    PutBytes(&length, 1);
    PutBytes(name, n);
    const uint8_t zeros[3] = {};
    PutBytes(zeros, (4 - (1 + n) % 4) % 4);
}

void QV_PSDWriter::AddLayer(const char* name, const char* blendKey, int32_t opacity)
{
    if (!fOpen || !fHeaderWritten || fFile.Failed() || fLayersWritten > 0)
        return;
    if (fLayerCount >= kMaxLayers) {
        fFile.MarkFailed();
        return;
    }
    Put32(0);
    Put32(0);
    Put32(uint32_t(fHeight));
    Put32(uint32_t(fWidth));
    Put16(4);
    const uint32_t placeholder = uint32_t(int64_t(fWidth) * fHeight + 2);
    for (int c = 0; c < 4; ++c) {
        Put16(uint16_t(int16_t(kChannelIds[c])));
        fChannelLengthPositions[c].push_back(Tell());
        Put32(placeholder);
    }
    PutBytes("8BIM", 4);
    char key[4] = { ' ', ' ', ' ', ' ' };
    for (int i = 0; i < 4 && blendKey && blendKey[i]; ++i)
        key[i] = blendKey[i];
    PutBytes(key, 4);
    const uint8_t flags[4] = { uint8_t(opacity < 0 ? 0 : opacity > 255 ? 255 : opacity), 0, 0, 0 };
    PutBytes(flags, 4);
    const int64_t extraPosition = Tell();
    Put32(0);
    Put32(0); // layer mask data
    Put32(0); // layer blending ranges
    WriteLayerName(name);
    const int64_t end = Tell();
    Patch32(extraPosition, uint32_t(end - extraPosition - 4));
    fLayerCount++;
}

void QV_PSDWriter::WriteChannel(const QV_PixelBuffer& raster, int byteIndex, int64_t lengthPosition)
{
    const int64_t start = Tell();
    Put16(1);
    const int64_t table = Tell();
    std::vector<uint8_t> counts(size_t(fHeight) * 2, 0);
    PutBytes(counts.data(), counts.size());
    fRow.assign(size_t(fWidth), 0);
    fPacked.resize(PackBitsBound(fWidth));
    const bool hasPixels = raster.pixels && raster.bytesPerPixel == 4;
    const int32_t columns = hasPixels ? (raster.width < fWidth ? raster.width : fWidth) : 0;
    for (int32_t y = 0; y < fHeight; ++y) {
        std::fill(fRow.begin(), fRow.end(), 0);
        if (hasPixels && y < raster.height) {
            const uint8_t* in = raster.pixels + ptrdiff_t(y) * raster.rowBytes + byteIndex;
            for (int32_t x = 0; x < columns; ++x, in += 4)
                fRow[size_t(x)] = *in;
        }
        const size_t packed = PackBitsRow(fRow.data(), fWidth, fPacked.data());
        PutBytes(fPacked.data(), packed);
        counts[2 * size_t(y)] = uint8_t(packed >> 8);
        counts[2 * size_t(y) + 1] = uint8_t(packed);
    }
    const int64_t end = Tell();
    SeekTo(table);
    PutBytes(counts.data(), counts.size());
    Patch32(lengthPosition, uint32_t(end - start));
}

void QV_PSDWriter::WriteMergedImage(const QV_PixelBuffer* merged)
{
    Put16(1);
    const int32_t rows = 3 * fHeight;
    const int64_t table = Tell();
    std::vector<uint8_t> counts(size_t(rows) * 2, 0);
    PutBytes(counts.data(), counts.size());
    fPacked.resize(PackBitsBound(fWidth));
    const bool hasPixels = merged && merged->pixels && merged->bytesPerPixel == 4;
    const int32_t columns = hasPixels ? (merged->width < fWidth ? merged->width : fWidth) : 0;
    // Red, green and blue planes: the straight-alpha pixels laid over white, white beyond them.
    for (int32_t i = 0; i < rows && !fFile.Failed(); ++i) {
        const int32_t y = i % fHeight;
        fRow.assign(size_t(fWidth), 0xFF);
        if (hasPixels && y < merged->height) {
            const uint8_t* in = merged->pixels + ptrdiff_t(y) * merged->rowBytes;
            const int byteIndex = kChannelBytes[1 + i / fHeight];
            for (int32_t x = 0; x < columns; ++x, in += 4) {
                const uint32_t alpha = in[3];
                fRow[size_t(x)] = uint8_t((in[byteIndex] * alpha + 255 * (255 - alpha) + 127) / 255);
            }
        }
        const size_t packed = PackBitsRow(fRow.data(), fWidth, fPacked.data());
        PutBytes(fPacked.data(), packed);
        counts[2 * size_t(i)] = uint8_t(packed >> 8);
        counts[2 * size_t(i) + 1] = uint8_t(packed);
    }
    const int64_t end = Tell();
    SeekTo(table);
    PutBytes(counts.data(), counts.size());
    SeekTo(end);
}

void QV_PSDWriter::WriteLayerImage(const QV_PixelBuffer& raster)
{
    if (!fOpen || !fHeaderWritten || fFile.Failed() || fLayersWritten >= fLayerCount)
        return;
    for (int c = 0; c < 4; ++c)
        WriteChannel(raster, kChannelBytes[c], fChannelLengthPositions[c][size_t(fLayersWritten)]);
    fLayersWritten++;
}

int32_t QV_PSDWriter::Finish(const QV_PixelBuffer* merged)
{
    if (!fOpen)
        return -5;
    if (!fHeaderWritten || fFile.Failed()) {
        fOpen = false;
        fFile.Discard();
        return -7;
    }
    if (fLayerCount == 0)
        AddLayer("Empty Layer", "norm", 255);
    // An empty raster is written as transparent pixels.
    while (fLayersWritten < fLayerCount && !fFile.Failed())
        WriteLayerImage(QV_PixelBuffer {});

    const int64_t channelDataEnd = Tell();
    Put32(0); // global layer mask info
    const int64_t layerSectionEnd = Tell();
    Patch32(fLayerAndMaskLengthPosition, uint32_t(layerSectionEnd - fLayerAndMaskLengthPosition - 4));
    Patch32(fLayerInfoLengthPosition, uint32_t(channelDataEnd - fLayerInfoLengthPosition - 4));
    SeekTo(fLayerInfoLengthPosition + 4);
    Put16(uint32_t(fLayerCount));
    SeekToEnd();

    WriteMergedImage(merged);

    fOpen = false;
    return fFile.Commit() ? 0 : -7;
}
