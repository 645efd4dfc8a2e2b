#pragma once

#include "qv_pixelbuffer.h"

// The reader context of plug-in 1: lives from a successful OpenPng until exactly one of
// ReadPngRows or ClosePng, each of which releases it.
struct PngReadContext;

// Opens a PNG file and sets the transformations that deliver 8-bit blue, green, red, alpha
// (alpha 255 where the file has none; a tRNS chunk becomes alpha). Has-alpha is true when the
// colour type carries an alpha channel.
bool OpenPng(const char* path, PngReadContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha);

// Decodes the image into a 32-bit raster at least as large as the image and releases the context.
// False when the raster is not 4 bytes per pixel or too small, and when the image data is
// damaged or cut short: a partly decoded raster is never passed off as a good image.
bool ReadPngRows(PngReadContext* context, const QV_PixelBuffer& raster);

void ClosePng(PngReadContext* context);

// Writes a 32-bit raster as 8-bit RGBA. False when the raster is not 4 bytes per pixel, the file
// cannot be created or the library fails; the target is then untouched.
bool WritePng(const char* path, const QV_PixelBuffer& raster);
