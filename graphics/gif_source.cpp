#include "gif_source.h"

#include <cstring>

#include "image_source_module.h"
#include <jerror.h>

namespace {

// Codes of the reader, raised through the library's error manager.
constexpr int kGifBadCodeSize = 1013;
constexpr int kGifNoImage = 1015;
constexpr int kGifNotGif = 1016;
constexpr int kGifTraceImage = 1017;
constexpr int kGifTraceBadVersion = 1018;
constexpr int kGifTraceExtension = 1019;
constexpr int kGifTraceAspect = 1020;
constexpr int kGifWarnBadCode = 1021;
constexpr int kGifWarnGarbage = 1022;
constexpr int kGifWarnEndCode = 1023;
constexpr int kGifWarnNoMoreData = 1024;

constexpr int kMaxLzwBits = 12;
constexpr int kLzwTableSize = 1 << kMaxLzwBits;

} // namespace

struct GifSource {
    ImageSourceModule pub;
    j_compress_ptr codec;
    // 256 entries whatever the file's table size, black beyond it: any index byte stays inside.
    JSAMPARRAY colormap;

    uint8_t codeBuffer[260];
    int lastByte;
    int lastBit;
    int currentBit;
    bool outOfBlocks;

    int inputCodeSize;
    int clearCode;
    int endCode;
    int codeSize;
    int limitCode;
    int maxCode;
    int firstCode;
    int oldCode;
    bool firstTime;

    uint16_t* symbolHead;
    uint8_t* symbolTail;
    uint8_t* symbolStack;
    int stackCount;
    // Set once the end code came: every later pixel is index 0.
    bool dataEnded;

    bool interlaced;
    jvirt_sarray_ptr wholeImage;
    JDIMENSION currentRow;
    JDIMENSION pass2Offset;
    JDIMENSION pass3Offset;
    JDIMENSION pass4Offset;

    static void Start(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION GetRow(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION LoadInterlaced(j_compress_ptr codec, ImageSourceModule* module);
    static JDIMENSION GetInterlacedRow(j_compress_ptr codec, ImageSourceModule* module);
    static void ReadColormap(j_compress_ptr codec, GifSource* source, int count);
    static void SkipExtension(j_compress_ptr codec, GifSource* source);
    static void SkipDataBlocks(j_compress_ptr codec, GifSource* source);
    static int ReadDataBlock(j_compress_ptr codec, GifSource* source, uint8_t* buffer);
    static void ResetLzw(GifSource* source);
    static int GetCode(GifSource* source);
    static int ReadLzwByte(GifSource* source);
    static void MapRow(j_compress_ptr codec, GifSource* source, const JSAMPLE* indices);
};

void GifSource::ReadColormap(j_compress_ptr codec, GifSource* source, int count)
{
    for (int i = 0; i < count; ++i) {
        uint8_t entry[3];
        ReadSourceBytes(codec, &source->pub, entry, 3);
        source->colormap[0][i] = entry[0];
        source->colormap[1][i] = entry[1];
        source->colormap[2][i] = entry[2];
    }
}

int GifSource::ReadDataBlock(j_compress_ptr codec, GifSource* source, uint8_t* buffer)
{
    const int count = ReadSourceByte(codec, &source->pub);
    if (count > 0)
        ReadSourceBytes(codec, &source->pub, buffer, size_t(count));
    return count;
}

void GifSource::SkipDataBlocks(j_compress_ptr codec, GifSource* source)
{
    uint8_t scratch[256];
    while (ReadDataBlock(codec, source, scratch) > 0) { }
}

void GifSource::SkipExtension(j_compress_ptr codec, GifSource* source)
{
    const int label = ReadSourceByte(codec, &source->pub);
    SourceTrace(codec, 1, kGifTraceExtension, label);
    SkipDataBlocks(codec, source);
}

void GifSource::ResetLzw(GifSource* source)
{
    source->lastByte = 2;
    source->lastBit = 0;
    source->currentBit = 0;
    source->outOfBlocks = false;
    source->codeSize = source->inputCodeSize + 1;
    source->clearCode = 1 << source->inputCodeSize;
    source->endCode = source->clearCode + 1;
    source->limitCode = source->clearCode << 1;
    source->maxCode = source->clearCode + 2;
    source->firstTime = true;
    source->stackCount = 0;
    source->dataEnded = false;
}

int GifSource::GetCode(GifSource* source)
{
    j_compress_ptr codec = source->codec;
    while (source->currentBit + source->codeSize > source->lastBit) {
        if (source->outOfBlocks) {
            SourceWarning(codec, kGifWarnNoMoreData);
            return source->endCode;
        }
        source->codeBuffer[0] = source->codeBuffer[source->lastByte - 2];
        source->codeBuffer[1] = source->codeBuffer[source->lastByte - 1];
        const int count = ReadDataBlock(codec, source, &source->codeBuffer[2]);
        if (count == 0) {
            source->outOfBlocks = true;
            SourceWarning(codec, kGifWarnNoMoreData);
            return source->endCode;
        }
        source->currentBit = source->currentBit - source->lastBit + 16;
        source->lastByte = 2 + count;
        source->lastBit = source->lastByte * 8;
    }
    const int offset = source->currentBit >> 3;
    uint32_t accumulator = uint32_t(source->codeBuffer[offset + 2]);
    accumulator = (accumulator << 8) | source->codeBuffer[offset + 1];
    accumulator = (accumulator << 8) | source->codeBuffer[offset];
    accumulator >>= (source->currentBit & 7);
    source->currentBit += source->codeSize;
    return int(accumulator & ((1u << source->codeSize) - 1));
}

int GifSource::ReadLzwByte(GifSource* source)
{
    j_compress_ptr codec = source->codec;
    int code;
    if (source->firstTime) {
        source->firstTime = false;
        code = source->clearCode;
    } else {
        if (source->stackCount > 0)
            return source->symbolStack[--source->stackCount];
        code = GetCode(source);
    }

    if (code == source->clearCode) {
        source->codeSize = source->inputCodeSize + 1;
        source->limitCode = source->clearCode << 1;
        source->maxCode = source->clearCode + 2;
        source->stackCount = 0;
        do {
            code = GetCode(source);
        } while (code == source->clearCode);
        if (code > source->clearCode) {
            SourceWarning(codec, kGifWarnBadCode);
            code = 0;
        }
        source->firstCode = source->oldCode = code;
        return code;
    }

    if (code == source->endCode) {
        if (!source->outOfBlocks) {
            SkipDataBlocks(codec, source);
            source->outOfBlocks = true;
        }
        SourceWarning(codec, kGifWarnEndCode);
        source->dataEnded = true;
        return 0;
    }

    int incode = code;
    if (code >= source->maxCode) {
        if (code > source->maxCode) {
            SourceWarning(codec, kGifWarnBadCode);
            incode = 0;
        }
        source->symbolStack[source->stackCount++] = uint8_t(source->firstCode);
        code = source->oldCode;
    }
    // Table entries always point to smaller codes, so the chain ends within the table; the bound
    // on the stack only guards against a table this reader did not build.
    while (code >= source->clearCode && source->stackCount < kLzwTableSize) {
        source->symbolStack[source->stackCount++] = source->symbolTail[code];
        code = source->symbolHead[code];
    }
    source->firstCode = code;

    if (source->maxCode < kLzwTableSize) {
        source->symbolHead[source->maxCode] = uint16_t(source->oldCode);
        source->symbolTail[source->maxCode] = uint8_t(source->firstCode);
        source->maxCode++;
        if (source->maxCode >= source->limitCode && source->codeSize < kMaxLzwBits) {
            source->codeSize++;
            source->limitCode <<= 1;
        }
    }
    source->oldCode = incode;
    return source->firstCode;
}

void GifSource::Start(j_compress_ptr codec, ImageSourceModule* module)
{
    GifSource* source = reinterpret_cast<GifSource*>(module);
    source->codec = codec;
    source->colormap
        = (*codec->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(codec), JPOOL_IMAGE, 256, 3);
    for (int c = 0; c < 3; ++c)
        memset(source->colormap[c], 0, 256);

    uint8_t header[10];
    if (fread(header, 1, 6, module->inputFile) != 6 || memcmp(header, "GIF", 3) != 0)
        RaiseSourceError(codec, kGifNotGif);
    if (memcmp(header + 3, "87a", 3) != 0 && memcmp(header + 3, "89a", 3) != 0)
        SourceTrace(codec, 1, kGifTraceBadVersion, header[3], header[4], header[5]);

    ReadSourceBytes(codec, module, header, 7);
    const int flags = header[4];
    const int aspect = header[6];
    if (aspect != 0 && aspect != 49)
        SourceTrace(codec, 1, kGifTraceAspect);
    if (flags & 0x80)
        ReadColormap(codec, source, 2 << (flags & 7));

    for (;;) {
        const int c = ReadSourceByte(codec, module);
        if (c == ';')
            RaiseSourceError(codec, kGifNoImage);
        if (c == '!') {
            SkipExtension(codec, source);
            continue;
        }
        if (c == ',')
            break;
        SourceWarning(codec, kGifWarnGarbage);
    }

    ReadSourceBytes(codec, module, header, 9);
    const int64_t width = int64_t(header[4]) | int64_t(header[5]) << 8;
    const int64_t height = int64_t(header[6]) | int64_t(header[7]) << 8;
    source->interlaced = (header[8] & 0x40) != 0;
    if (header[8] & 0x80)
        ReadColormap(codec, source, 2 << (header[8] & 7));

    source->inputCodeSize = ReadSourceByte(codec, module);
    if (source->inputCodeSize < 2 || source->inputCodeSize > 11)
        RaiseSourceError(codec, kGifBadCodeSize, source->inputCodeSize);
    CheckSourceImageSize(codec, width, height);

    j_common_ptr common = reinterpret_cast<j_common_ptr>(codec);
    source->symbolHead = static_cast<uint16_t*>(
        (*codec->mem->alloc_small)(common, JPOOL_IMAGE, kLzwTableSize * sizeof(uint16_t)));
    source->symbolTail
        = static_cast<uint8_t*>((*codec->mem->alloc_small)(common, JPOOL_IMAGE, kLzwTableSize));
    source->symbolStack
        = static_cast<uint8_t*>((*codec->mem->alloc_small)(common, JPOOL_IMAGE, kLzwTableSize));
    memset(source->symbolHead, 0, kLzwTableSize * sizeof(uint16_t));
    memset(source->symbolTail, 0, kLzwTableSize);
    ResetLzw(source);

    if (source->interlaced) {
        source->wholeImage = (*codec->mem->request_virt_sarray)(
            common, JPOOL_IMAGE, FALSE, JDIMENSION(width), JDIMENSION(height), 1);
        module->getRows = LoadInterlaced;
    } else {
        module->getRows = GetRow;
    }
    module->buffer = (*codec->mem->alloc_sarray)(common, JPOOL_IMAGE, JDIMENSION(width) * 3, 1);
    module->bufferHeight = 1;

    codec->in_color_space = JCS_RGB;
    codec->input_components = 3;
    codec->data_precision = 8;
    codec->image_width = JDIMENSION(width);
    codec->image_height = JDIMENSION(height);
    SourceTrace(codec, 1, kGifTraceImage, int(width), int(height), 2 << (flags & 7));
}

void GifSource::MapRow(j_compress_ptr codec, GifSource* source, const JSAMPLE* indices)
{
    JSAMPLE* out = source->pub.buffer[0];
    for (JDIMENSION x = 0; x < codec->image_width; ++x, out += 3) {
        const int index = indices[x];
        out[0] = source->colormap[0][index];
        out[1] = source->colormap[1][index];
        out[2] = source->colormap[2][index];
    }
}

JDIMENSION GifSource::GetRow(j_compress_ptr codec, ImageSourceModule* module)
{
    GifSource* source = reinterpret_cast<GifSource*>(module);
    JSAMPLE* out = module->buffer[0];
    for (JDIMENSION x = 0; x < codec->image_width; ++x, out += 3) {
        // Past the end of the data every pixel is index 0; the warnings were given once.
        const int index = source->dataEnded ? 0 : ReadLzwByte(source) & 0xFF;
        out[0] = source->colormap[0][index];
        out[1] = source->colormap[1][index];
        out[2] = source->colormap[2][index];
    }
    return 1;
}

JDIMENSION GifSource::LoadInterlaced(j_compress_ptr codec, ImageSourceModule* module)
{
    GifSource* source = reinterpret_cast<GifSource*>(module);
    j_common_ptr common = reinterpret_cast<j_common_ptr>(codec);
    for (JDIMENSION row = 0; row < codec->image_height; ++row) {
        JSAMPARRAY image = (*codec->mem->access_virt_sarray)(common, source->wholeImage, row, 1, TRUE);
        JSAMPLE* out = image[0];
        for (JDIMENSION x = 0; x < codec->image_width; ++x)
            out[x] = source->dataEnded ? 0 : JSAMPLE(ReadLzwByte(source));
    }
    const JDIMENSION height = codec->image_height;
    source->pass2Offset = (height + 7) / 8;
    source->pass3Offset = source->pass2Offset + (height + 3) / 8;
    source->pass4Offset = source->pass3Offset + (height + 1) / 4;
    source->currentRow = 0;
    module->getRows = GetInterlacedRow;
    return GetInterlacedRow(codec, module);
}

JDIMENSION GifSource::GetInterlacedRow(j_compress_ptr codec, ImageSourceModule* module)
{
    GifSource* source = reinterpret_cast<GifSource*>(module);
    const JDIMENSION r = source->currentRow;
    JDIMENSION bufferRow;
    if ((r & 7) == 0)
        bufferRow = r >> 3;
    else if ((r & 7) == 4)
        bufferRow = (r >> 3) + source->pass2Offset;
    else if ((r & 3) == 2)
        bufferRow = (r >> 2) + source->pass3Offset;
    else
        bufferRow = (r >> 1) + source->pass4Offset;
    JSAMPARRAY image = (*codec->mem->access_virt_sarray)(
        reinterpret_cast<j_common_ptr>(codec), source->wholeImage, bufferRow, 1, FALSE);
    MapRow(codec, source, image[0]);
    source->currentRow++;
    return 1;
}

bool OpenGif(
    const char* path, ImageSourceContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha)
{
    return OpenSourceModule(
        path, sizeof(GifSource), GifSource::Start, outContext, outWidth, outHeight, outHasAlpha);
}
