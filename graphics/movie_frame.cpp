#include "movie_frame.h"

#include "dither.h"
#include "plat_movie_in.h"
#include "plat_movie_out.h"
#include "raster_blit.h"

void PutMovieFrame(PlatMovieIn& movie, const QV_PixelBuffer& target)
{
    QV_PixelBuffer frame;
    frame.pixels = movie.Pixels();
    frame.width = movie.Width();
    frame.height = movie.Height();
    frame.depth = 32;
    frame.bytesPerPixel = 4;
    frame.rowBytes = int32_t(movie.RowBytes());
    if (!frame.pixels || !target.pixels)
        return;
    switch (target.bytesPerPixel) {
    case 4:
        BlitRaster(frame, target, 0, 0);
        break;
    case 2:
    case 1:
        for (int32_t y = 0; y < frame.height; ++y) {
            uint8_t* row = frame.pixels + int64_t(y) * frame.rowBytes;
            for (int32_t x = 0; x < frame.width; ++x)
                row[x * 4 + 3] = 255;
        }
        if (target.bytesPerPixel == 2)
            ConvertTo16Dithered(frame, target);
        else
            ConvertTo8Dithered(frame, target);
        break;
    default:
        break;
    }
}

bool PutFrameIntoMovie(PlatMovieOut& movie, int32_t width, int32_t height, const QV_PixelBuffer& raster)
{
    if (!movie.IsOpen())
        return false;
    if (!raster.pixels || raster.depth != 32 || raster.width != width || raster.height != height) {
        movie.MarkFailed();
        return false;
    }
    return movie.WriteFrame(raster.pixels, raster.rowBytes);
}
