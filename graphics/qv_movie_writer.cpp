#include "qv_movie_writer.h"

#include <cmath>

#include "media_presence.h"
#include "qv_avi_writer.h"
#include "qv_pixelbuffer.h"
#include "qv_qt_movie_writer.h"

QV_String MovieFileExtension(int32_t kind)
{
    if (kind == kMovieKindAvi)
        return QV_String("avi");
    if (kind == kMovieKindQuickTime)
        return QV_String("mov");
    return QV_String();
}

QV_MovieWriter::QV_MovieWriter() = default;

QV_MovieWriter::~QV_MovieWriter()
{
    Close();
}

int32_t QV_MovieWriter::Open(const QV_PixelBuffer& frame, const char* path, float framesPerSecond,
    int32_t frameCount, int32_t kind, void* parentWindow, bool skipDialog)
{
    Close();
    if (kind == kMovieKindAvi) {
        const double rounded = std::round(double(framesPerSecond));
        if (!(rounded >= 1 && rounded <= 1e6))
            return -1;
        auto avi = std::make_unique<QV_AviWriter>();
        const int32_t status = avi->Open(path, int32_t(rounded), frameCount, frame, parentWindow, skipDialog);
        if (status == 0)
            fAvi = std::move(avi);
        return status;
    }
    if (kind == kMovieKindQuickTime && gQuickTimePresent) {
        auto qt = std::make_unique<QV_QtMovieWriter>();
        const int32_t status = qt->Open(frame, path, framesPerSecond, skipDialog, parentWindow);
        if (status == 0)
            fQt = std::move(qt);
        return status;
    }
    return -1;
}

bool QV_MovieWriter::ChooseCompression(int32_t kind, void* parentWindow, int32_t width, int32_t height)
{
    if (kind == kMovieKindAvi)
        return QV_AviWriter::ChooseCompression(parentWindow, width, height);
    if (kind == kMovieKindQuickTime && gQuickTimePresent)
        return QV_QtMovieWriter::ChooseCompression(parentWindow, width, height);
    return false;
}

bool QV_MovieWriter::AddSoundtrack(const char* path)
{
    if (!path || !*path)
        return false;
    if (fAvi)
        return fAvi->AddSoundtrack(path);
    if (fQt)
        return fQt->AddSoundtrack(path);
    return false;
}

bool QV_MovieWriter::Close()
{
    bool ok = true;
    if (fAvi)
        ok = fAvi->Close();
    if (fQt)
        ok = fQt->Close() && ok;
    fAvi.reset();
    fQt.reset();
    return ok;
}
