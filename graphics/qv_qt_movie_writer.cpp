#include "qv_qt_movie_writer.h"

#include <cmath>
#include <new>

#include "codec_dialog_hook.h"
#include "media_presence.h"
#include "movie_frame.h"
#include "qv_message.h"
#include "qv_movie_writer.h"
#include "qv_pixelbuffer.h"
#include "qv_sound_clip.h"

QtCompression* gQtSettings = nullptr;

namespace {

struct CodecEncoder {
    uint32_t codec;
    const char* encoder;
};

constexpr CodecEncoder kCodecs[] = {
    { FourCharCode("mp4v"), "mpeg4" },
    { FourCharCode("jpeg"), "mjpeg" },
    { FourCharCode("png "), "png" },
    { FourCharCode("rle "), "qtrle" },
};
// Of the table's encoders, the one that keeps up best with large frames.
constexpr const char* kFastestEncoder = "mjpeg";

constexpr int32_t kQualities[] = { 0, 256, 512, 768, 1023, 1024 };

// Quantiser 1 (best) .. 31 for a spatial quality.
int32_t QuantiserOfSpatialQuality(int32_t quality)
{
    if (quality >= 1024)
        return 1;
    if (quality >= 1023)
        return 2;
    if (quality >= 768)
        return 4;
    if (quality >= 512)
        return 8;
    if (quality >= 256)
        return 16;
    return 31;
}

} // namespace

int32_t SpatialQualityOfIndex(int32_t index)
{
    if (index < 0)
        index = 0;
    if (index > 5)
        index = 5;
    return kQualities[index];
}

int32_t IndexOfSpatialQuality(int32_t quality)
{
    for (int32_t i = 0; i < 6; ++i) {
        if (kQualities[i] == quality && i != 2)
            return i;
    }
    return 2;
}

const char* EncoderOfCodec(uint32_t codec)
{
    for (const CodecEncoder& c : kCodecs) {
        if (c.codec == codec)
            return c.encoder;
    }
    return kFastestEncoder;
}

QtCompression CurrentQtCompression(int32_t defaultQualityIndex)
{
    if (gQtSettings)
        return *gQtSettings;
    QtCompression c;
    c.fSpatialQuality = SpatialQualityOfIndex(defaultQualityIndex);
    int32_t value = 0;
    if (gMediaSettings) {
        if (gMediaSettings->FindInt("qtCodec", value))
            c.fCodec = uint32_t(value);
        if (gMediaSettings->FindInt("qtDepth", value))
            c.fDepth = value;
        value = defaultQualityIndex;
        gMediaSettings->FindInt("qtQuality", value);
        c.fSpatialQuality = SpatialQualityOfIndex(value);
    }
    return c;
}

void StoreQtCompression(const QtCompression& compression)
{
    QtCompression* kept = new (std::nothrow) QtCompression(compression);
    if (kept) {
        delete gQtSettings;
        gQtSettings = kept;
    }
    if (gMediaSettings) {
        gMediaSettings->AddInt("qtCodec", int32_t(compression.fCodec));
        gMediaSettings->AddInt("qtDepth", compression.fDepth);
        gMediaSettings->AddInt("qtQuality", IndexOfSpatialQuality(compression.fSpatialQuality));
    }
}

PlatMovieOutOptions QtMovieOptions(const QtCompression& compression, int32_t width, int32_t height,
    int32_t frameDuration)
{
    PlatMovieOutOptions o;
    o.container = "mov";
    o.encoder = EncoderOfCodec(compression.fCodec);
    o.width = width;
    o.height = height;
    o.timeScale = QV_QtMovieWriter::kTimeScale;
    o.frameDuration = frameDuration;
    o.alpha = compression.fDepth == 32;
    o.qscale = QuantiserOfSpatialQuality(compression.fSpatialQuality);
    return o;
}

QV_QtMovieWriter::QV_QtMovieWriter()
    : fFrameDuration(0)
    , fFrameIndex(0)
    , fWidth(0)
    , fHeight(0)
{
}

QV_QtMovieWriter::~QV_QtMovieWriter() = default;

int32_t QV_QtMovieWriter::Open(const QV_PixelBuffer& frame, const char* path, float rate, bool skipDialog,
    void* parentWindow)
{
    fFrameIndex = 0;
    if (!gQuickTimePresent || !path || !(rate > 0) || frame.depth != 32 || frame.width <= 0 || frame.height <= 0)
        return -1;
    const double duration = std::floor(double(kTimeScale) / rate + 0.5);
    if (duration < 1 || duration > 1e9)
        return -1;
    fFrameDuration = int32_t(duration);
    const CodecDialogHook dialog = skipDialog ? nullptr : GetCodecDialogHook();
    if (dialog && !dialog(kMovieKindQuickTime, parentWindow, frame.width, frame.height))
        return -1;

    const QtCompression c = CurrentQtCompression(3);
    StoreQtCompression(c);
    const int32_t status = fMovie.Open(path, QtMovieOptions(c, frame.width, frame.height, fFrameDuration));
    if (status != 0)
        return status;
    fWidth = frame.width;
    fHeight = frame.height;
    return 0;
}

bool QV_QtMovieWriter::WriteFrame(const QV_PixelBuffer& raster)
{
    if (!PutFrameIntoMovie(fMovie, fWidth, fHeight, raster))
        return false;
    ++fFrameIndex;
    return true;
}

bool QV_QtMovieWriter::AddSoundtrack(const char* path)
{
    if (!fMovie.IsOpen() || !path || !*path)
        return false;
    QV_SoundClip clip;
    if (clip.Load(path) != 0 || !clip.HasSamples())
        return false;
    const double videoSeconds = double(fFrameIndex) * fFrameDuration / kTimeScale;
    const double soundSeconds = double(clip.fFramesRead) / clip.SampleRate();
    const double seconds = videoSeconds < soundSeconds ? videoSeconds : soundSeconds;
    const int64_t frames = int64_t(std::floor(seconds * clip.SampleRate() + 0.5));
    if (frames <= 0)
        return false;
    const int64_t count = frames * clip.Channels();
    std::unique_ptr<int16_t[]> samples(new (std::nothrow) int16_t[size_t(count)]);
    if (!samples)
        return false;
    for (int64_t i = 0; i < count; ++i) {
        float s = clip.fSamples[size_t(i)] * 32767.0f;
        s = s > 32767.0f ? 32767.0f : s < -32768.0f ? -32768.0f : s;
        samples[size_t(i)] = int16_t(std::lrintf(s));
    }
    PlatSoundTrack track;
    track.samples = samples.get();
    track.frames = frames;
    track.channels = clip.Channels();
    track.sampleRate = clip.SampleRate();
    return fMovie.SetSoundtrack(track);
}

bool QV_QtMovieWriter::Close()
{
    if (!fMovie.IsOpen())
        return true;
    return fMovie.Finish();
}

bool QV_QtMovieWriter::ChooseCompression(void* parentWindow, int32_t width, int32_t height)
{
    const CodecDialogHook dialog = GetCodecDialogHook();
    return gQuickTimePresent && dialog && dialog(kMovieKindQuickTime, parentWindow, width, height);
}
