#include "background_image_writer.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "image_file.h"

BackgroundImageWriter::~BackgroundImageWriter()
{
    {
        std::unique_lock<std::mutex> lock(fMutex);
        fChanged.wait(lock, [this] { return !fBusy; });
        fQuit = true;
    }
    fChanged.notify_all();
    if (fThread.joinable())
        fThread.join();
}

int32_t BackgroundImageWriter::Start(const QV_BaseImage& image, const char* path, int32_t writerIndex)
{
    std::unique_lock<std::mutex> lock(fMutex);
    fChanged.wait(lock, [this] { return !fBusy; });
    const QV_PixelBuffer& source = image.buffer;
    if (!source.pixels)
        return QV_RESULT_NO_PIXELS;
    const int32_t status = fImage.Allocate(source.width, source.height, source.depth);
    if (status != 0)
        return status;
    const QV_PixelBuffer& copy = fImage.buffer;
    const size_t rowBytes = std::min(size_t(source.rowBytes), size_t(copy.rowBytes));
    for (int32_t y = 0; y < source.height; y++)
        std::memcpy(copy.pixels + ptrdiff_t(y) * copy.rowBytes,
            source.pixels + ptrdiff_t(y) * source.rowBytes, rowBytes);
    if (!fThread.joinable()) {
        try {
            fThread = std::thread(&BackgroundImageWriter::Run, this);
        } catch (const std::system_error&) {
            return QV_RESULT_NO_MEMORY;
        }
    }
    fPath = path;
    fWriterIndex = writerIndex;
    fStatus = 0;
    fFailed.store(false, std::memory_order_release);
    fBusy = true;
    lock.unlock();
    fChanged.notify_all();
    return 0;
}

int32_t BackgroundImageWriter::Finish(QV_String& failedPath)
{
    std::unique_lock<std::mutex> lock(fMutex);
    fChanged.wait(lock, [this] { return !fBusy; });
    const int32_t status = fStatus;
    fStatus = 0;
    fFailed.store(false, std::memory_order_release);
    if (status != 0)
        failedPath = fPath;
    return status;
}

void BackgroundImageWriter::Run()
{
    std::unique_lock<std::mutex> lock(fMutex);
    for (;;) {
        fChanged.wait(lock, [this] { return fBusy || fQuit; });
        if (fQuit)
            return;
        lock.unlock();
        const int32_t status = SaveImageFile(fImage, fPath.CString(), fWriterIndex);
        lock.lock();
        fStatus = status;
        fFailed.store(status != 0, std::memory_order_release);
        fBusy = false;
        fChanged.notify_all();
    }
}
