#include "qv_avi_writer.h"

#include <new>

#include <sndfile.h>

#include "codec_dialog_hook.h"
#include "movie_frame.h"
#include "qv_movie_writer.h"
#include "qv_path.h"
#include "qv_pixelbuffer.h"
#include "qv_sound_clip.h"

AviCompression gAviOptions;
bool gAviOptionsValid = false;

namespace {

// 10,000 is the best quality, quantiser 1; 0 the worst, 31.
int32_t QuantiserOfQuality(int32_t quality)
{
    if (quality < 0)
        return 0;
    if (quality > 10000)
        quality = 10000;
    return 31 - (quality * 30 + 5000) / 10000;
}

} // namespace

PlatMovieOutOptions AviMovieOptions(const AviCompression& compression, int32_t width, int32_t height, int32_t rate)
{
    PlatMovieOutOptions o;
    o.container = "avi";
    o.encoder = compression.fEncoder.Length() > 0 ? compression.fEncoder.CString() : "rawvideo";
    o.width = width;
    o.height = height;
    o.timeScale = rate;
    o.frameDuration = 1;
    o.alpha = true;
    o.qscale = QuantiserOfQuality(compression.fQuality);
    o.keyFrameEvery = compression.fKeyFrameEvery;
    o.bitRate = int64_t(compression.fDataRate) * 8;
    return o;
}

QV_AviWriter::QV_AviWriter()
    : fFrameIndex(0)
    , fWidth(0)
    , fHeight(0)
{
}

QV_AviWriter::~QV_AviWriter() = default;

int32_t QV_AviWriter::Open(const char* path, int32_t rate, int32_t frameCount, const QV_PixelBuffer& frame,
    void* parentWindow, bool skipDialog)
{
    (void)frameCount;
    fFrameIndex = 0;
    if (!path || rate <= 0 || frame.depth != 32 || frame.width <= 0 || frame.height <= 0)
        return -1;
    const CodecDialogHook dialog = skipDialog ? nullptr : GetCodecDialogHook();
    if (dialog && !dialog(kMovieKindAvi, parentWindow, frame.width, frame.height))
        return -1;
    const AviCompression options = gAviOptionsValid ? gAviOptions : AviCompression();
    gAviOptions = options;
    gAviOptionsValid = true;
    const int32_t status = fMovie.Open(path, AviMovieOptions(options, frame.width, frame.height, rate));
    if (status != 0)
        return status;
    fWidth = frame.width;
    fHeight = frame.height;
    return 0;
}

bool QV_AviWriter::WriteFrame(const QV_PixelBuffer& raster)
{
    if (!PutFrameIntoMovie(fMovie, fWidth, fHeight, raster))
        return false;
    ++fFrameIndex;
    return true;
}

bool QV_AviWriter::AddSoundtrack(const char* path)
{
    if (!fMovie.IsOpen() || !path || QV_Path(path).MimeType() != "audio/x-wav")
        return false;
    SF_INFO info = SF_INFO();
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file)
        return false;
    bool ok = false;
    if (info.channels > 0 && info.channels <= QV_SoundClip::kMaxChannels && info.samplerate > 0 && info.frames > 0
        && info.frames <= QV_SoundClip::kMaxFrames) {
        const int64_t count = int64_t(info.channels) * info.frames;
        std::unique_ptr<int16_t[]> samples(new (std::nothrow) int16_t[size_t(count)]);
        if (samples) {
            PlatSoundTrack track;
            track.samples = samples.get();
            track.frames = sf_readf_short(file, samples.get(), info.frames);
            track.channels = info.channels;
            track.sampleRate = info.samplerate;
            ok = track.frames > 0 && fMovie.SetSoundtrack(track);
        }
    }
    sf_close(file);
    return ok;
}

bool QV_AviWriter::Close()
{
    if (!fMovie.IsOpen())
        return true;
    return fMovie.Finish();
}

bool QV_AviWriter::ChooseCompression(void* parentWindow, int32_t width, int32_t height)
{
    const CodecDialogHook dialog = GetCodecDialogHook();
    return dialog && dialog(kMovieKindAvi, parentWindow, width, height);
}
