#pragma once

#include "image_source.h"

// Opens the first image of a GIF file (87a or 89a) for ReadSourceRows: red, green, blue through
// the local or global colour table, every pixel opaque once plug-in 0 has read it. Extensions,
// transparency and further frames are skipped. Has-alpha is always false.
bool OpenGif(
    const char* path, ImageSourceContext** outContext, int* outWidth, int* outHeight, bool* outHasAlpha);
