#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "qv_baseimage.h"
#include "qv_string.h"

// Encodes and writes image files on a worker thread of its own, one at a time, so that the
// frame after a numbered image file renders while that file is written. The image is copied
// when the write starts; the copy's memory is kept for the next image of the same size. Writers
// commit through StagedFile, so a failed or abandoned write leaves no half-written file.
class BackgroundImageWriter {
public:
    BackgroundImageWriter() = default;
    BackgroundImageWriter(const BackgroundImageWriter&) = delete;
    BackgroundImageWriter& operator=(const BackgroundImageWriter&) = delete;
    // Waits for the write under way.
    ~BackgroundImageWriter();

    // Starts writing a copy of the image with the writer of that index, after waiting for any
    // write still under way (whose result is then lost: collect it with Finish first). 0, or
    // the status of the allocation of the copy or of the worker thread that failed.
    int32_t Start(const QV_BaseImage& image, const char* path, int32_t writerIndex);
    // Waits for the write under way, if any: the status of SaveImageFile (0 when nothing was
    // under way) and, on failure, the path of the file not written.
    int32_t Finish(QV_String& failedPath);
    // Whether the write under way has failed already; never waits.
    bool Failed() const { return fFailed.load(std::memory_order_acquire); }

private:
    void Run();

    std::mutex fMutex;
    std::condition_variable fChanged;
    std::thread fThread;
    // Guarded by fMutex.
    bool fBusy = false;
    bool fQuit = false;
    int32_t fStatus = 0;
    // Owned by the worker while fBusy.
    QV_BaseImage fImage;
    QV_String fPath;
    int32_t fWriterIndex = -1;
    std::atomic<bool> fFailed { false };
};
