#pragma once

#include "image_source.h"
#include "qv_pixelbuffer.h"

// Opens an uncompressed 8-bit or 24-bit Windows (40- or 64-byte info header) or OS/2 (12-byte)
// bitmap; rows are delivered top first by ReadSourceRows whether the file stores them bottom-up
// or, with a negative height, top-down. Has-alpha is always false.
bool OpenBmp(
    const char* path, ImageSourceContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha);

// Writes a 32-bit raster as a 24-bit bottom-up file (alpha dropped). False for other rasters and
// on any failure to create or write the file; the target is then untouched.
bool WriteBmp(const QV_PixelBuffer& raster, const char* path);
