#pragma once

#include "image_source.h"
#include "qv_pixelbuffer.h"

// Opens a colour-mapped (24-bit map), true-colour (15, 16, 24, 32 bits) or grey Targa file,
// uncompressed or run-length encoded, stored bottom-up or top-down; rows are delivered top first
// by ReadSourceRows and any alpha is dropped. Has-alpha is always false.
bool OpenTarga(
    const char* path, ImageSourceContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha);

// Writes a 32-bit raster with its alpha as an uncompressed top-down 32-bit true-colour file. False
// for other rasters, sizes beyond 65535 and any failure to create or write the file; the target is
// then untouched.
bool WriteTarga(const QV_PixelBuffer& raster, const char* path);
