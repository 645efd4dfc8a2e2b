#pragma once
#include <cstdint>

#include "qv_pixelbuffer.h"

class PlatMovieIn;
class PlatMovieOut;

// Puts the movie's last decoded frame into the target raster by the target's pixel size: 4
// bytes are copied at (0, 0), clipped, with the movie's alpha; 2 bytes are dithered to 5:6:5 and
// 1 byte to palette indices, the frame's alpha first made opaque (both only when the sizes
// match); 3 bytes are left as they were.
void PutMovieFrame(PlatMovieIn& movie, const QV_PixelBuffer& target);

// Hands one rendered frame to an open movie. A frame of another size or depth cannot simply be
// left out (every later frame would shift), so it loses the movie instead.
bool PutFrameIntoMovie(PlatMovieOut& movie, int32_t width, int32_t height, const QV_PixelBuffer& raster);
