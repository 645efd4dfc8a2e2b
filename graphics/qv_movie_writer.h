#pragma once
#include <cstdint>
#include <memory>

#include "qv_string.h"

class QV_AviWriter;
class QV_QtMovieWriter;
struct QV_PixelBuffer;

// Movie kinds of the writer.
constexpr int32_t kMovieKindAvi = 0;
constexpr int32_t kMovieKindQuickTime = 1;

// "avi" for kind 0, "mov" for kind 1, the empty text otherwise.
QV_String MovieFileExtension(int32_t kind);

// Hides the kind of movie being written. Frames do not pass through it: the frame renderer
// writes to whichever of fAvi and fQt is open.
class QV_MovieWriter {
public:
    QV_MovieWriter();
    ~QV_MovieWriter();
    QV_MovieWriter(const QV_MovieWriter&) = delete;
    QV_MovieWriter& operator=(const QV_MovieWriter&) = delete;

    // For frames laid out like `frame` (32-bit, either row order). Kind 0 writes AVI at the
    // rate rounded half away from zero, kind 1 MOV (while the movie libraries are present). 0
    // when ready for frames; otherwise the writer is freed and -1 (bad kind, failure) or -2 (the
    // compression refuses the frames) is answered. Unless skipDialog is set the codec dialog comes
    // first (where the toolkit installed one); cancelling it answers -1.
    int32_t Open(const QV_PixelBuffer& frame, const char* path, float framesPerSecond, int32_t frameCount,
        int32_t kind, void* parentWindow, bool skipDialog);
    // The codec dialog of the kind for frames of that size: true when a choice was confirmed and
    // stored; false when cancelled, for another kind, or when no dialog is installed.
    static bool ChooseCompression(int32_t kind, void* parentWindow, int32_t width, int32_t height);
    // False for a null or empty path, or when the open writer cannot take the sound.
    bool AddSoundtrack(const char* path);
    // Finishes and frees whichever writer is open; false when its movie could not be completed
    // (no file is then left). True when nothing was open; safe to call again.
    bool Close();

    std::unique_ptr<QV_AviWriter> fAvi;
    std::unique_ptr<QV_QtMovieWriter> fQt;
};
