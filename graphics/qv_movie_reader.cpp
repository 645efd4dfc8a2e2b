#include "qv_movie_reader.h"

#include "qv_avi_reader.h"
#include "qv_path.h"
#include "qv_pixelbuffer.h"
#include "qv_qt_movie_reader.h"

QV_MovieReader::QV_MovieReader() = default;

QV_MovieReader::~QV_MovieReader()
{
    Close();
}

bool QV_MovieReader::Open(const char* path)
{
    Close();
    if (!path)
        return false;
    const QV_Path p(path);
    if (p.MediaType() != "video")
        return false;
    if (p.MimeType() == "video/x-msvideo") {
        auto avi = std::make_unique<QV_AviReader>();
        if (avi->Open(path)) {
            fAvi = std::move(avi);
            return true;
        }
    }
    auto qt = std::make_unique<QV_QtMovieReader>();
    if (!qt->Open(path))
        return false;
    fQt = std::move(qt);
    return true;
}

void QV_MovieReader::Close()
{
    fAvi.reset();
    fQt.reset();
}

bool QV_MovieReader::IsOpen() const
{
    return fAvi || fQt;
}

int32_t QV_MovieReader::Width() const
{
    return fAvi ? fAvi->fWidth : fQt ? fQt->fWidth : 8;
}

int32_t QV_MovieReader::Height() const
{
    return fAvi ? fAvi->fHeight : fQt ? fQt->fHeight : 8;
}

float QV_MovieReader::FrameRate() const
{
    return fAvi ? fAvi->fFrameRate : fQt ? fQt->fFrameRate : 30.0f;
}

int32_t QV_MovieReader::FrameCount() const
{
    return fAvi ? fAvi->fLength : fQt ? fQt->fFrameCount : 1;
}

void QV_MovieReader::GetFrame(const QV_PixelBuffer& raster, int32_t n)
{
    if (fAvi)
        fAvi->GetFrame(raster, n);
    else if (fQt)
        fQt->GetFrame(raster, n);
}
