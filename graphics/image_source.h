#pragma once

#include "qv_pixelbuffer.h"

// The reader context of plug-in 0: one per opened JPEG, BMP, GIF or Targa file. It lives from a
// successful open (OpenJpeg, OpenBmp, OpenGif, OpenTarga) until exactly one of ReadJpegRows,
// ReadSourceRows or CloseSource, each of which releases it.
struct ImageSourceContext;

// Decodes every row of a BMP, GIF or Targa file top first into the raster (red, green, blue and
// alpha 0 for 32-bit rasters; rows are dropped for other depths) and releases the context. False,
// with everything released, when the file turns out to be bad while its rows are read.
bool ReadSourceRows(ImageSourceContext* context, const QV_PixelBuffer& raster);

// Releases a context whose rows are not read.
void CloseSource(ImageSourceContext* context);
