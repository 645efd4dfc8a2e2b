#include "jpeg_codec.h"

#include <cstddef>
#include <cstdlib>

#include "image_source_module.h"
#include <jerror.h>

#include "qv_baseimage.h"
#include "staged_file.h"

bool OpenJpeg(const char* path, int maxSize, ImageSourceContext** outContext, int* outWidth, int* outHeight,
    bool* outHasAlpha)
{
    ImageSourceContext* context = NewImageSourceContext(path, true);
    if (!context)
        return false;
    if (setjmp(context->error.jump)) {
        ReleaseImageSourceContext(context);
        return false;
    }
    j_decompress_ptr codec = &context->decompress;
    jpeg_create_decompress(codec);
    codec->mem->max_memory_to_use = kMaxCodecMemory;
    jpeg_stdio_src(codec, context->file);
    jpeg_read_header(codec, TRUE);

    const JDIMENSION width = codec->image_width;
    const JDIMENSION height = codec->image_height;
    if (maxSize > 0 && (width > JDIMENSION(maxSize) || height > JDIMENSION(maxSize))) {
        const int64_t longer = width > height ? width : height;
        const int64_t m = maxSize;
        codec->scale_num = 1;
        if (longer >= 8 * m)
            codec->scale_denom = 8;
        else if (longer >= 4 * m)
            codec->scale_denom = 4;
        else if (longer >= 2 * m)
            codec->scale_denom = 2;
        else
            codec->scale_denom = 1;
    }
    jpeg_calc_output_dimensions(codec);
    const int64_t outW = codec->output_width;
    const int64_t outH = codec->output_height;
    if (outW <= 0 || outH <= 0 || outW > QV_BaseImage::kMaxPixels || outH > QV_BaseImage::kMaxPixels / outW)
        RaiseCodecError(reinterpret_cast<j_common_ptr>(codec), kSourceBadImageSize);
    jpeg_start_decompress(codec);

    *outContext = context;
    *outWidth = int(codec->output_width);
    *outHeight = int(codec->output_height);
    *outHasAlpha = false;
    return true;
}

namespace {

uint8_t ClampToByte(float value)
{
    if (value <= 0.0f)
        return 0;
    if (value >= 255.0f)
        return 255;
    return uint8_t(value);
}

} // namespace

bool ReadJpegRows(ImageSourceContext* context, const QV_PixelBuffer& raster)
{
    if (!context)
        return false;
    if (setjmp(context->error.jump)) {
        ReleaseImageSourceContext(context);
        return false;
    }
    j_decompress_ptr codec = &context->decompress;
    const JDIMENSION width = codec->output_width;
    const int components = codec->output_components;
    JSAMPARRAY samples = (*codec->mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(codec), JPOOL_IMAGE, width * JDIMENSION(components), 1);
    const bool copy = raster.pixels && raster.bytesPerPixel == 4;
    const JDIMENSION columns = width < JDIMENSION(raster.width) ? width : JDIMENSION(raster.width);
    while (codec->output_scanline < codec->output_height) {
        const JDIMENSION y = codec->output_scanline;
        if (jpeg_read_scanlines(codec, samples, 1) != 1)
            RaiseCodecError(reinterpret_cast<j_common_ptr>(codec), JERR_INPUT_EOF);
        if (!copy || y >= JDIMENSION(raster.height))
            continue;
        const JSAMPLE* in = samples[0];
        uint8_t* out = raster.pixels + ptrdiff_t(y) * raster.rowBytes;
        for (JDIMENSION x = 0; x < columns; ++x, out += 4) {
            if (components == 1) {
                out[0] = out[1] = out[2] = in[x];
            } else if (components == 4) {
                // Stored CMYK as the library hands it over (inverted, as written by most tools).
                const float c = in[4 * x], m = in[4 * x + 1], yellow = in[4 * x + 2], k = in[4 * x + 3];
                out[2] = ClampToByte(k * 1.17f * c / 255.0f);
                out[1] = ClampToByte(k * 0.933f * m / 255.0f);
                out[0] = ClampToByte(k * 0.921f * yellow / 255.0f);
            } else {
                out[2] = in[components * x];
                out[1] = in[components * x + 1];
                out[0] = in[components * x + 2];
            }
            out[3] = 0;
        }
    }
    jpeg_finish_decompress(codec);
    ReleaseImageSourceContext(context);
    return true;
}

namespace {

// Kept by the caller's frame, so the frame that calls setjmp owns nothing the jump could skip.
struct JpegWriteState {
    jpeg_compress_struct codec;
    ImageErrorManager error;
};

bool EncodeJpeg(JpegWriteState* state, FILE* file, const QV_PixelBuffer& raster, int quality)
{
    j_compress_ptr codec = &state->codec;
    codec->err = jpeg_std_error(&state->error.pub);
    // The standard error exit ends the process; a failed write must only fail the save.
    state->error.pub.error_exit = JpegErrorExit;
    if (setjmp(state->error.jump)) {
        jpeg_destroy_compress(&state->codec);
        return false;
    }
    jpeg_create_compress(codec);
    jpeg_stdio_dest(codec, file);
    codec->image_width = JDIMENSION(raster.width);
    codec->image_height = JDIMENSION(raster.height);
    codec->input_components = 3;
    codec->in_color_space = JCS_RGB;
    jpeg_set_defaults(codec);
    jpeg_set_quality(codec, quality, FALSE);
    jpeg_start_compress(codec, TRUE);
    JSAMPARRAY row = (*codec->mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(codec), JPOOL_IMAGE, JDIMENSION(raster.width) * 3, 1);
    for (int32_t y = 0; y < raster.height; ++y) {
        const uint8_t* in = raster.pixels + ptrdiff_t(y) * raster.rowBytes;
        JSAMPLE* out = row[0];
        for (int32_t x = 0; x < raster.width; ++x, in += 4, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        jpeg_write_scanlines(codec, row, 1);
    }
    jpeg_finish_compress(codec);
    jpeg_destroy_compress(codec);
    return true;
}

} // namespace

bool WriteJpeg(const char* path, const QV_PixelBuffer& raster, int quality)
{
    if (!raster.pixels || raster.bytesPerPixel != 4 || raster.width <= 0 || raster.height <= 0)
        return false;
    StagedFile file;
    if (!file.Open(path))
        return false;
    JpegWriteState* state = static_cast<JpegWriteState*>(calloc(1, sizeof(JpegWriteState)));
    if (!state)
        return false;
    const bool encoded = EncodeJpeg(state, file.File(), raster, quality);
    free(state);
    if (!encoded)
        file.MarkFailed();
    return file.Commit();
}
