#pragma once

#include <cstdint>

#include "qv_baseimage.h"

// Result codes of loading and saving image files, besides 0 and -1 of the base image.
constexpr int32_t kImageFileDecodeFailed = -5;
constexpr int32_t kImageFileCannotOpen = -6;
constexpr int32_t kImageFileWriteFailed = -7;
constexpr int32_t kImageFileNoCodec = -8;

// Reads an image file into a 32-bit image through the registry's reader for the MIME type of the
// path's extension. Fully transparent pixels take the mean colour of their visible neighbours, so
// that later scaling and filtering do not pull dark fringes in. With maxSize above 0 the image is
// shrunk, keeping its aspect, to fit maxSize x maxSize.
// 0, -8 no reader, -6 the file does not open, -5 decoding the rows failed, -1 out of memory.
int32_t LoadImageFile(const char* path, QV_BaseImage& image, int32_t maxSize);

// Writes the image with the writer of that global index (see ImageFormatRegistry) at quality 95.
// 0, -7 the writer failed (the target is then untouched), -8 no writer has that index.
int32_t SaveImageFile(const QV_BaseImage& image, const char* path, int32_t writerIndex);
