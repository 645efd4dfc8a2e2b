#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "qv_pixelbuffer.h"
#include "staged_file.h"

// PackBits-compresses n bytes into out, which must hold PackBitsBound(n) bytes; returns the number
// of bytes written. Runs of 3 or more equal bytes become repeat packets (up to 128 bytes each),
// everything else literal packets (up to 128 bytes each).
size_t PackBitsRow(const uint8_t* row, int32_t n, uint8_t* out);
constexpr size_t PackBitsBound(int32_t n)
{
    return size_t(n) + size_t(n) / 128 + 2;
}

// Writes one layered 8-bit RGB Photoshop document while a frame is rendered: Open, WriteHeader,
// AddLayer for every layer, WriteLayerImage for every layer in the same order, Finish. Every
// channel is PackBits-compressed row by row; the merged image is plain white (readers use the
// layers). The file is written under a temporary name and appears under its own name only when
// Finish succeeds.
class QV_PSDWriter {
public:
    // Layer count field of the file is 16-bit signed; PSD documents are at most 30000 pixels wide.
    static constexpr int32_t kMaxLayers = 32767;
    static constexpr int32_t kMaxSide = 30000;

    QV_PSDWriter();
    // Discards a file that was not finished.
    ~QV_PSDWriter();
    QV_PSDWriter(const QV_PSDWriter&) = delete;
    QV_PSDWriter& operator=(const QV_PSDWriter&) = delete;

    // Discards an unfinished previous file. 0, or -5 when the file cannot be created.
    int32_t Open(const char* path);
    // A size outside 1..30000 makes Finish fail.
    void WriteHeader(int32_t width, int32_t height);
    // Opacity 0..255; the blend key is 4 characters ("norm", "mul ", "scrn", ...). Ignored once
    // layer images are being written; a layer beyond kMaxLayers makes Finish fail.
    void AddLayer(const char* name, const char* blendKey, int32_t opacity);
    // The channels of the next added layer from a 32-bit raster, cropped or padded with transparent
    // pixels to the document size (a raster of another depth counts as transparent). Ignored once
    // every added layer has its data.
    void WriteLayerImage(const QV_PixelBuffer& raster);
    // Completes and closes the file: a document without layers gets one transparent "Empty Layer",
    // layers still without data get transparent data. The merged image is the given 32-bit raster
    // (straight alpha) laid over white, cropped or padded with white to the document size; plain
    // white without one. 0; -7 when anything failed (the target is then untouched); -5 when no
    // file is open.
    int32_t Finish(const QV_PixelBuffer* merged = nullptr);

private:
    void WriteLayerName(const char* name);
    void WriteChannel(const QV_PixelBuffer& raster, int byteIndex, int64_t lengthPosition);
    void WriteMergedImage(const QV_PixelBuffer* merged);
    void Put16(uint32_t value);
    void Put32(uint32_t value);
    void PutBytes(const void* data, size_t n);
    int64_t Tell();
    void SeekTo(int64_t position);
    void SeekToEnd();
    void Patch32(int64_t position, uint32_t value);

    StagedFile fFile;
    bool fOpen;
    bool fHeaderWritten;
    int32_t fWidth;
    int32_t fHeight;
    int32_t fLayerCount;
    int32_t fLayersWritten;
    int64_t fLayerAndMaskLengthPosition;
    int64_t fLayerInfoLengthPosition;
    // Per layer, the file position of the data length field of channels -1 (alpha), 0 (red),
    // 1 (green) and 2 (blue); grown with the layers.
    std::vector<int64_t> fChannelLengthPositions[4];
    std::vector<uint8_t> fRow;
    std::vector<uint8_t> fPacked;
};
