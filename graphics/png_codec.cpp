#include "png_codec.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <png.h>
#include <zlib.h>

#include "qv_baseimage.h"
#include "staged_file.h"

struct PngReadContext {
    FILE* file;
    png_structp png;
    png_infop info;
    png_infop endInfo;
    png_bytep* rows;
    bool rowsDone;
    png_uint_32 width;
    png_uint_32 height;
};

namespace {

void ReleasePngContext(PngReadContext* context)
{
    png_destroy_read_struct(&context->png, context->info ? &context->info : nullptr,
        context->endInfo ? &context->endInfo : nullptr);
    if (context->file)
        fclose(context->file);
    free(context->rows);
    free(context);
}

} // namespace

bool OpenPng(const char* path, PngReadContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha)
{
    PngReadContext* context = static_cast<PngReadContext*>(calloc(1, sizeof(PngReadContext)));
    if (!context)
        return false;
    context->file = fopen(path, "rb");
    if (!context->file) {
        free(context);
        return false;
    }
    context->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (context->png) {
        context->info = png_create_info_struct(context->png);
        context->endInfo = png_create_info_struct(context->png);
    }
    if (!context->png || !context->info || !context->endInfo) {
        ReleasePngContext(context);
        return false;
    }
    if (setjmp(png_jmpbuf(context->png))) {
        ReleasePngContext(context);
        return false;
    }
    png_structp png = context->png;
    png_infop info = context->info;
    png_init_io(png, context->file);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    if (width == 0 || height == 0 || int64_t(width) > QV_BaseImage::kMaxPixels
        || int64_t(height) > QV_BaseImage::kMaxPixels / int64_t(width))
        png_error(png, "image too large");

    png_set_strip_16(png);
    if (bitDepth < 8)
        png_set_packing(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4)
        png_error(png, "unexpected row layout");

    context->width = width;
    context->height = height;
    *outContext = context;
    *outWidth = int(width);
    *outHeight = int(height);
    *outHasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
    return true;
}

bool ReadPngRows(PngReadContext* context, const QV_PixelBuffer& raster)
{
    if (!context)
        return false;
    if (!raster.pixels || raster.bytesPerPixel != 4 || png_uint_32(raster.width) < context->width
        || png_uint_32(raster.height) < context->height) {
        ReleasePngContext(context);
        return false;
    }
    context->rows = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * context->height));
    if (!context->rows) {
        ReleasePngContext(context);
        return false;
    }
    for (png_uint_32 y = 0; y < context->height; ++y)
        context->rows[y] = raster.pixels + ptrdiff_t(y) * raster.rowBytes;
    if (setjmp(png_jmpbuf(context->png))) {
        // Only trailing chunks can fail once every row is decoded; the image itself is whole.
        const bool whole = context->rowsDone;
        ReleasePngContext(context);
        return whole;
    }
    png_read_image(context->png, context->rows);
    context->rowsDone = true;
    png_read_end(context->png, context->endInfo);
    ReleasePngContext(context);
    return true;
}

void ClosePng(PngReadContext* context)
{
    if (context)
        ReleasePngContext(context);
}

namespace {

// Held by the caller's frame, so the frame that calls setjmp owns nothing the jump could skip.
struct PngWriteState {
    png_structp png;
    png_infop info;
    png_bytep* rows;
};

bool EncodePng(PngWriteState* state, FILE* file, const QV_PixelBuffer& raster)
{
    state->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!state->png)
        return false;
    state->info = png_create_info_struct(state->png);
    if (!state->info) {
        png_destroy_write_struct(&state->png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(state->png))) {
        png_destroy_write_struct(&state->png, &state->info);
        return false;
    }
    png_init_io(state->png, file);
    png_set_bgr(state->png);
    // Rendered frames are mostly runs of one colour and smooth ramps: the left-neighbour filter
    // turns both into runs, which run-length matching at a fast level packs about as small as the
    // library's default search and per-row filter trials, in a fraction of the time.
    png_set_compression_level(state->png, 1);
    png_set_compression_strategy(state->png, Z_RLE);
    png_set_filter(state->png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(state->png, state->info, png_uint_32(raster.width), png_uint_32(raster.height), 8,
        PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(state->png, state->info);
    png_write_image(state->png, state->rows);
    png_write_end(state->png, state->info);
    png_destroy_write_struct(&state->png, &state->info);
    return true;
}

} // namespace

bool WritePng(const char* path, const QV_PixelBuffer& raster)
{
    if (!raster.pixels || raster.bytesPerPixel != 4 || raster.width <= 0 || raster.height <= 0)
        return false;
    StagedFile file;
    if (!file.Open(path))
        return false;
    PngWriteState* state = static_cast<PngWriteState*>(calloc(1, sizeof(PngWriteState)));
    if (!state)
        return false;
    state->rows = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * size_t(raster.height)));
    bool encoded = false;
    if (state->rows) {
        for (int32_t y = 0; y < raster.height; ++y)
            state->rows[y] = raster.pixels + ptrdiff_t(y) * raster.rowBytes;
        encoded = EncodePng(state, file.File(), raster);
    }
    free(state->rows);
    free(state);
    if (!encoded)
        file.MarkFailed();
    return file.Commit();
}
