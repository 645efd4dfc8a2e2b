#pragma once

#include "image_source.h"
#include "qv_pixelbuffer.h"

// Opens a JPEG file and starts decoding. With maxSize above 0 and an image larger than
// maxSize x maxSize, the library decodes at 1/2, 1/4 or 1/8 (the largest reduction that keeps the
// longer side at least maxSize); the output size is returned. Has-alpha is always false.
bool OpenJpeg(const char* path, int maxSize, ImageSourceContext** outContext, int* outWidth, int* outHeight,
    bool* outHasAlpha);

// Decodes all rows into a 32-bit raster (red, green, blue; alpha 0) and releases the context.
// False, with the context released, when the library fails part-way.
bool ReadJpegRows(ImageSourceContext* context, const QV_PixelBuffer& raster);

// Writes a 32-bit raster (alpha dropped) with the quality 0..100. False when the raster is not
// 4 bytes per pixel, the file cannot be created or the library fails; the target is then untouched.
bool WriteJpeg(const char* path, const QV_PixelBuffer& raster, int quality);
