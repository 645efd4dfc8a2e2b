#include "qv_qt_movie_reader.h"

#include <climits>

#include "media_presence.h"
#include "movie_frame.h"
#include "qv_pixelbuffer.h"

QV_QtMovieReader::QV_QtMovieReader()
    : fWidth(0)
    , fHeight(0)
    , fFrameRate(-1)
    , fCurrentFrame(-1)
    , fFrameCount(1)
{
}

QV_QtMovieReader::~QV_QtMovieReader() = default;

bool QV_QtMovieReader::Open(const char* path)
{
    Close();
    if (!gQuickTimePresent || !fMovie.Open(path))
        return false;
    if (fMovie.FrameCount() > INT_MAX) {
        fMovie.Close();
        return false;
    }
    fWidth = fMovie.Width();
    fHeight = fMovie.Height();
    fFrameCount = fMovie.FrameCount() > 0 ? int32_t(fMovie.FrameCount()) : 1;
    fFrameRate = fMovie.FrameCount() > 0 && fMovie.FrameRate() > 0 ? float(fMovie.FrameRate()) : -1.0f;
    fCurrentFrame = -1;
    return true;
}

void QV_QtMovieReader::Close()
{
    fMovie.Close();
    fFrameRate = -1;
    fCurrentFrame = -1;
    fFrameCount = 1;
}

void QV_QtMovieReader::GetFrame(const QV_PixelBuffer& raster, int32_t n)
{
    if (!fMovie.IsOpen())
        return;
    n %= fFrameCount;
    if (n < 0)
        n = 0;
    if (n > fFrameCount - 1)
        n = fFrameCount - 1;
    if (!fMovie.ReadFrame(n))
        return;
    PutMovieFrame(fMovie, raster);
    fCurrentFrame = n + 1;
}
