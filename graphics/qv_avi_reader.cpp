#include "qv_avi_reader.h"

#include <climits>

#include "movie_frame.h"
#include "qv_pixelbuffer.h"

QV_AviReader::QV_AviReader()
    : fWidth(0)
    , fHeight(0)
    , fDepth(0)
    , fRowBytes(0)
    , fCurrentFrame(-1)
    , fLength(1)
    , fStart(0)
    , fFrameRate(0)
{
}

QV_AviReader::~QV_AviReader() = default;

bool QV_AviReader::Open(const char* path)
{
    Close();
    if (!fMovie.Open(path))
        return false;
    if (!fMovie.IsAvi() || fMovie.FrameCount() > INT_MAX) {
        fMovie.Close();
        return false;
    }
    fWidth = fMovie.Width();
    fHeight = fMovie.Height();
    fDepth = 32;
    fRowBytes = fWidth * 4;
    fCurrentFrame = -1;
    fStart = 0;
    fLength = fMovie.FrameCount() > 0 ? int32_t(fMovie.FrameCount()) : 1;
    fFrameRate = fMovie.FrameRate() > 0 ? float(fMovie.FrameRate()) : 0.0f;
    return true;
}

void QV_AviReader::Close()
{
    fMovie.Close();
    fCurrentFrame = -1;
}

void QV_AviReader::GetFrame(const QV_PixelBuffer& raster, int32_t n)
{
    if (!fMovie.IsOpen())
        return;
    n %= fStart + fLength;
    if (n < fStart || !fMovie.ReadFrame(n))
        return;
    PutMovieFrame(fMovie, raster);
    fCurrentFrame = n;
}
