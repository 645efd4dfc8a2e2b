#include "image_source_module.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <jerror.h>

#include "qv_baseimage.h"

extern "C" void JpegErrorExit(j_common_ptr codec)
{
    (*codec->err->output_message)(codec);
    ImageErrorManager* manager = reinterpret_cast<ImageErrorManager*>(codec->err);
    longjmp(manager->jump, 1);
}

void InstallImageErrorManager(ImageSourceContext* context)
{
    jpeg_std_error(&context->error.pub);
    context->error.pub.error_exit = JpegErrorExit;
    context->error.pub.trace_level = 0;
}

ImageSourceContext* NewImageSourceContext(const char* path, bool decompressing)
{
    ImageSourceContext* context = static_cast<ImageSourceContext*>(calloc(1, sizeof(ImageSourceContext)));
    if (!context)
        return nullptr;
    context->file = fopen(path, "rb");
    if (!context->file) {
        free(context);
        return nullptr;
    }
    context->decompressing = decompressing;
    InstallImageErrorManager(context);
    if (decompressing)
        context->decompress.err = &context->error.pub;
    else
        context->compress.err = &context->error.pub;
    return context;
}

void RaiseCodecError(j_common_ptr codec, int code, int parm0)
{
    codec->err->msg_code = code;
    codec->err->msg_parm.i[0] = parm0;
    (*codec->err->error_exit)(codec);
    abort(); // the error exit never returns
}

void RaiseSourceError(j_compress_ptr codec, int code, int parm0)
{
    RaiseCodecError(reinterpret_cast<j_common_ptr>(codec), code, parm0);
}

void SourceWarning(j_compress_ptr codec, int code)
{
    codec->err->msg_code = code;
    (*codec->err->emit_message)(reinterpret_cast<j_common_ptr>(codec), -1);
}

void SourceTrace(j_compress_ptr codec, int level, int code, int parm0, int parm1, int parm2)
{
    codec->err->msg_code = code;
    codec->err->msg_parm.i[0] = parm0;
    codec->err->msg_parm.i[1] = parm1;
    codec->err->msg_parm.i[2] = parm2;
    (*codec->err->emit_message)(reinterpret_cast<j_common_ptr>(codec), level);
}

int ReadSourceByte(j_compress_ptr codec, ImageSourceModule* module)
{
    int c = getc(module->inputFile);
    if (c == EOF)
        RaiseSourceError(codec, JERR_INPUT_EOF);
    return c;
}

void ReadSourceBytes(j_compress_ptr codec, ImageSourceModule* module, uint8_t* bytes, size_t count)
{
    if (count > 0 && fread(bytes, 1, count, module->inputFile) != count)
        RaiseSourceError(codec, JERR_INPUT_EOF);
}

void SkipSourceBytes(j_compress_ptr codec, ImageSourceModule* module, int64_t count)
{
    uint8_t scratch[4096];
    while (count > 0) {
        size_t chunk = count > int64_t(sizeof scratch) ? sizeof scratch : size_t(count);
        ReadSourceBytes(codec, module, scratch, chunk);
        count -= int64_t(chunk);
    }
}

void CheckSourceImageSize(j_compress_ptr codec, int64_t width, int64_t height)
{
    if (width <= 0 || height <= 0 || width > QV_BaseImage::kMaxPixels
        || height > QV_BaseImage::kMaxPixels / width)
        RaiseSourceError(codec, kSourceBadImageSize);
}

namespace {

void FinishNothing(j_compress_ptr, ImageSourceModule*) { }

} // namespace

void ReleaseImageSourceContext(ImageSourceContext* context)
{
    if (context->decompressing)
        jpeg_destroy_decompress(&context->decompress);
    else
        jpeg_destroy_compress(&context->compress);
    fclose(context->file);
    free(context);
}

bool OpenSourceModule(const char* path, size_t moduleSize, SourceStartFunction start,
    ImageSourceContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha)
{
    ImageSourceContext* context = NewImageSourceContext(path, false);
    if (!context)
        return false;
    // Before the object exists: creating it can fail too, and destroying a zeroed object is safe.
    if (setjmp(context->error.jump)) {
        ReleaseImageSourceContext(context);
        return false;
    }
    jpeg_create_compress(&context->compress);
    j_compress_ptr codec = &context->compress;
    codec->mem->max_memory_to_use = kMaxCodecMemory;
    codec->in_color_space = JCS_RGB;
    void* record = (*codec->mem->alloc_small)(reinterpret_cast<j_common_ptr>(codec), JPOOL_IMAGE, moduleSize);
    memset(record, 0, moduleSize);
    ImageSourceModule* module = static_cast<ImageSourceModule*>(record);
    module->start = start;
    module->finish = FinishNothing;
    module->inputFile = context->file;
    context->source = module;
    (*module->start)(codec, module);
    CheckSourceImageSize(codec, codec->image_width, codec->image_height);
    (*codec->mem->realize_virt_arrays)(reinterpret_cast<j_common_ptr>(codec));

    *outContext = context;
    *outWidth = int(codec->image_width);
    *outHeight = int(codec->image_height);
    *outHasAlpha = false;
    return true;
}

bool ReadSourceRows(ImageSourceContext* context, const QV_PixelBuffer& raster)
{
    if (!context)
        return false;
    if (setjmp(context->error.jump)) {
        ReleaseImageSourceContext(context);
        return false;
    }
    j_compress_ptr codec = &context->compress;
    ImageSourceModule* module = context->source;
    const JDIMENSION width = codec->image_width;
    const JDIMENSION height = codec->image_height;
    const int components = codec->input_components;
    const bool copy = raster.pixels && raster.bytesPerPixel == 4;
    for (JDIMENSION y = 0; y < height; ++y) {
        (*module->getRows)(codec, module);
        if (!copy || y >= JDIMENSION(raster.height))
            continue;
        const JSAMPLE* in = module->buffer[0];
        uint8_t* out = raster.pixels + ptrdiff_t(y) * raster.rowBytes;
        const JDIMENSION columns = width < JDIMENSION(raster.width) ? width : JDIMENSION(raster.width);
        for (JDIMENSION x = 0; x < columns; ++x, out += 4) {
            if (components == 1) {
                out[0] = out[1] = out[2] = in[x];
            } else {
                out[0] = in[3 * x + 2];
                out[1] = in[3 * x + 1];
                out[2] = in[3 * x];
            }
            out[3] = 0;
        }
    }
    (*module->finish)(codec, module);
    ReleaseImageSourceContext(context);
    return true;
}

void CloseSource(ImageSourceContext* context)
{
    if (context)
        ReleaseImageSourceContext(context);
}
