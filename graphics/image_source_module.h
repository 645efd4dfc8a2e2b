#pragma once

// The form of the readers of plug-in 0: BMP, GIF and Targa files are read by source modules shaped
// like the JPEG library's compressor input modules, so that the library's memory manager (pools
// and whole-image arrays) and its error manager (codes, trace notes, warnings, the error exit)
// carry them. JPEG files use the same context with a decompression object.
//
// Every error ends in a longjmp to the context's jump buffer. Code between a setjmp and the
// library calls that may jump must not own objects with destructors.

#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "image_source.h"

// The input module record the JPEG library's sample programs declare in a header that is not
// installed; the readers extend it with their own fields.
struct ImageSourceModule {
    void (*start)(j_compress_ptr codec, ImageSourceModule* module);
    JDIMENSION (*getRows)(j_compress_ptr codec, ImageSourceModule* module);
    void (*finish)(j_compress_ptr codec, ImageSourceModule* module);
    FILE* inputFile;
    JSAMPARRAY buffer;
    JDIMENSION bufferHeight;
};

using SourceStartFunction = void (*)(j_compress_ptr codec, ImageSourceModule* module);

// The library's standard error manager followed by the jump target of JpegErrorExit.
struct ImageErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

struct ImageSourceContext {
    FILE* file;
    bool decompressing;
    union {
        jpeg_decompress_struct decompress;
        jpeg_compress_struct compress;
    };
    ImageErrorManager error;
    ImageSourceModule* source;
};

// Codes of the readers' own, raised through the library's error manager. The library has no
// texts for them, so printed messages read "Bogus message code N".
constexpr int kSourceBadImageSize = 1040;

// Largest memory the library may hand one context (whole-image arrays included); above it the
// open fails instead of the process running out of memory.
constexpr long kMaxCodecMemory = 1L << 30;

// Prints the library's message for the code and jumps to the context's jump buffer.
extern "C" void JpegErrorExit(j_common_ptr codec);

// Installs the standard error manager with JpegErrorExit, trace level 0.
void InstallImageErrorManager(ImageSourceContext* context);

// A zeroed context with the file open for reading and the error manager installed on the
// decompress or compress object (not yet created); nullptr when either fails.
ImageSourceContext* NewImageSourceContext(const char* path, bool decompressing);

[[noreturn]] void RaiseCodecError(j_common_ptr codec, int code, int parm0 = 0);
[[noreturn]] void RaiseSourceError(j_compress_ptr codec, int code, int parm0 = 0);
void SourceWarning(j_compress_ptr codec, int code);
void SourceTrace(j_compress_ptr codec, int level, int code, int parm0 = 0, int parm1 = 0, int parm2 = 0);

// Byte reads that raise JERR_INPUT_EOF (43) at the end of the file.
int ReadSourceByte(j_compress_ptr codec, ImageSourceModule* module);
void ReadSourceBytes(j_compress_ptr codec, ImageSourceModule* module, uint8_t* bytes, size_t count);
// Skips count bytes; the end of the file raises 43.
void SkipSourceBytes(j_compress_ptr codec, ImageSourceModule* module, int64_t count);

// Raises kSourceBadImageSize unless 0 < width, 0 < height and width x height stays within the
// largest image, so no reader asks for memory on the word of a forged header.
void CheckSourceImageSize(j_compress_ptr codec, int64_t width, int64_t height);

// Destroys the library object, closes the file and frees the context.
void ReleaseImageSourceContext(ImageSourceContext* context);

// The common open of the BMP, GIF and Targa readers: opens the file, allocates a module record of
// moduleSize bytes from the library's image pool, runs its start operation and realises the
// whole-image arrays it requested. False, with nothing left allocated, on any failure.
bool OpenSourceModule(const char* path, size_t moduleSize, SourceStartFunction start,
    ImageSourceContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha);
