#pragma once
#include <cstdint>

#include "plat_movie_out.h"

struct QV_PixelBuffer;

// A four-character code as a 32-bit integer, first character in the high byte.
constexpr uint32_t FourCharCode(const char (&code)[5])
{
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 | uint32_t(uint8_t(code[2])) << 8
        | uint32_t(uint8_t(code[3]));
}

// The MOV compression in use: codec type, pixel depth, spatial quality (0 minimum .. 1024
// lossless).
struct QtCompression {
    uint32_t fCodec = FourCharCode("mp4v");
    int32_t fDepth = 24;
    int32_t fSpatialQuality = 768;
};
// Set by every writer that opens and by a confirmed codec dialog; from then on it
// stands in for the settings keys for the rest of the run. Null until then. A caller may set it
// aside and restore it; what is made while it is aside belongs to that caller.
extern QtCompression* gQtSettings;

// Spatial quality of a "qtQuality" index 0 .. 5, and the index stored back for a quality (2 for
// any value not in the table).
int32_t SpatialQualityOfIndex(int32_t index);
int32_t IndexOfSpatialQuality(int32_t quality);
// The encoder for a codec type: 'mp4v' mpeg4, 'jpeg' mjpeg, 'png ' png, 'rle ' qtrle; any
// other code gets the fastest of these.
const char* EncoderOfCodec(uint32_t codec);

// The compression a writer would use now: gQtSettings, else the settings keys, with the quality
// index given for a missing "qtQuality" (3 when opening a writer, 2 in the dialog).
QtCompression CurrentQtCompression(int32_t defaultQualityIndex);
// Replaces gQtSettings and stores "qtCodec", "qtDepth" and "qtQuality" in the user settings.
void StoreQtCompression(const QtCompression& compression);
// The movie options of a MOV of that compression, frame size and frame duration (in 600ths).
PlatMovieOutOptions QtMovieOptions(const QtCompression& compression, int32_t width, int32_t height,
    int32_t frameDuration);

// Writes a MOV file with a time scale of 600: frames, then at most one soundtrack, then Close.
// The file appears under its name only when Close succeeds.
class QV_QtMovieWriter {
public:
    static constexpr int32_t kTimeScale = 600;

    QV_QtMovieWriter();
    ~QV_QtMovieWriter();
    QV_QtMovieWriter(const QV_QtMovieWriter&) = delete;
    QV_QtMovieWriter& operator=(const QV_QtMovieWriter&) = delete;

    // For 32-bit frames of the raster's size. Unless skipDialog is set the codec dialog is shown
    // first (where the toolkit installed one) and cancelling it answers -1. The compression comes
    // from gQtSettings, else from the settings keys (defaults 'mp4v', depth 24, quality index 3);
    // depth 32 keeps alpha where the encoder can. 0 when ready, -2 when the encoder refuses the
    // frames, -1 otherwise.
    int32_t Open(const QV_PixelBuffer& frame, const char* path, float rate, bool skipDialog,
        void* parentWindow = nullptr);
    // False when the frame could not be written; the movie is then lost and Close fails.
    bool WriteFrame(const QV_PixelBuffer& raster);
    // Any file a sound clip loads, as 16-bit PCM cut to the length of the frames written so far.
    // True when the sound will go in.
    bool AddSoundtrack(const char* path);
    bool Close();
    // Shows the codec dialog; true when a choice was confirmed (it is then in gQtSettings and the
    // settings keys). False when cancelled, when no dialog is installed, or without the movie
    // libraries. The dialog tries the encoder on frames of the given size.
    static bool ChooseCompression(void* parentWindow = nullptr, int32_t width = 640, int32_t height = 480);

    PlatMovieOut fMovie;
    int32_t fFrameDuration;
    int32_t fFrameIndex;
    int32_t fWidth;
    int32_t fHeight;
};
