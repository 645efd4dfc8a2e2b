#pragma once

#include <cstdint>

#include "qv_pixelbuffer.h"
#include "qv_string.h"

using ImageCountFunction = int (*)();
using ImageTextFunction = const char* (*)(int index);
using ImageOpenFunction = bool (*)(int reader, const char* path, int maxSize, void** outContext,
    int* outWidth, int* outHeight, bool* outHasAlpha);
using ImageReadRowsFunction = bool (*)(int reader, void* context, const QV_PixelBuffer& raster);
using ImageCloseFunction = void (*)(int reader, void* context);
using ImageWriteFunction
    = bool (*)(int writer, const char* path, const QV_PixelBuffer& raster, int unused, int quality);

// One image file plug-in: its reader and writer tables and four entry points. The texts are
// copies made at registration.
struct ImagePlugin {
    static constexpr int kMaxEntries = 8;
    static constexpr int kMimeSize = 32;
    static constexpr int kNameSize = 16;
    static constexpr int kExtensionSize = 8;

    int32_t fReaderCount;
    char* fReaderMimeTypes[kMaxEntries];
    ImageCountFunction fReaderCountFunction;
    ImageTextFunction fReaderMimeFunction;
    ImageTextFunction fReaderExtensionFunction;
    int32_t fWriterCount;
    char* fWriterNames[kMaxEntries];
    char* fWriterExtensions[kMaxEntries];
    ImageCountFunction fWriterCountFunction;
    ImageTextFunction fWriterNameFunction;
    ImageTextFunction fWriterExtensionFunction;
    // Opens the file and reads its header.
    ImageOpenFunction OpenImage;
    // Decodes all rows into a 32-bit raster and releases the context.
    ImageReadRowsFunction ReadImageRows;
    // Releases a context whose rows are not read.
    ImageCloseFunction CloseImage;
    ImageWriteFunction WriteImage;
};

// The process-wide table of image file plug-ins: plug-in 0 (JPEG, BMP, GIF, Targa; writes JPEG,
// BMP, Targa) and plug-in 1 (PNG). Filled once at start-up on the interface thread and read-only
// until shutdown. A writer's global index counts the writers of plug-in 0, then of plug-in 1.
class ImageFormatRegistry {
public:
    static constexpr int kMaxPlugins = 2;

    // Frees a previous registration, registers both plug-ins, sets the writer-index globals and
    // builds ImageOpenFilter.
    static void Init();
    // Frees the copied texts; no plug-in is registered afterwards.
    static void Free();
    static int CountWriters();
    // The empty text for an index out of range.
    static const char* WriterName(int index);
    static const char* WriterExtension(int index);

    static int32_t fPluginCount;
    static ImagePlugin fPlugins[kMaxPlugins];
};

// Global indices of the writers with the extensions "jpg", "bmp", "tga" and "png" (-1 before
// registration).
extern int32_t JpegWriterIndex;
extern int32_t BmpWriterIndex;
extern int32_t TargaWriterIndex;
extern int32_t PngWriterIndex;
// The number the export code uses for the layered PSD file, which is not a registry writer.
extern int32_t PsdFormatIndex;
// "*.jpg;*.bmp;*.gif;*.tga;*.png;*.jpeg" with the compiled-in plug-ins: the file-open filter.
extern QV_String ImageOpenFilter;
