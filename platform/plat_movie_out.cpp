#include "plat_movie_out.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "plat_media_internal.h"
#include "plat_movie_mux.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

// The encoder's first pixel format, or its first with alpha when alpha is wanted and it has one.
AVPixelFormat ChoosePixelFormat(const AVCodec* codec, bool alpha)
{
    if (!codec->pix_fmts)
        return AV_PIX_FMT_BGRA;
    if (alpha) {
        for (const AVPixelFormat* f = codec->pix_fmts; *f != AV_PIX_FMT_NONE; ++f) {
            const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(*f);
            if (d && (d->flags & AV_PIX_FMT_FLAG_ALPHA))
                return *f;
        }
    }
    return codec->pix_fmts[0];
}

bool UsableOptions(const PlatMovieOutOptions& o)
{
    return o.container && o.encoder && o.width > 0 && o.height > 0 && int64_t(o.width) * o.height <= kPlatMaxPixels
        && o.timeScale > 0 && o.frameDuration > 0;
}

} // namespace

struct PlatMovieOut::State {
    std::string target;
    std::string temporary;
    std::string container;
    AVFormatContext* format = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameDuration = 1;
    int64_t frames = 0;
    // A trial movie goes to a growing buffer, never to a file.
    bool inMemory = false;
    bool headerWritten = false;
    bool failed = false;
    // The frame grown by repeated edges, for encoders that need even sizes.
    std::unique_ptr<uint8_t[]> padded;
    std::unique_ptr<int16_t[]> sound;
    PlatSoundTrack track;

    ~State()
    {
        Release();
        if (!temporary.empty())
            std::remove(temporary.c_str());
    }

    void Release()
    {
        if (format && format->pb) {
            if (inMemory) {
                uint8_t* bytes = nullptr;
                avio_close_dyn_buf(format->pb, &bytes);
                av_free(bytes);
                format->pb = nullptr;
            } else
                avio_closep(&format->pb);
        }
        avformat_free_context(format);
        format = nullptr;
        sws_freeContext(scaler);
        scaler = nullptr;
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&encoder);
    }

    int32_t Open(const PlatMovieOutOptions& o);
    bool Encode(const uint8_t* top, ptrdiff_t rowBytes);
    bool Drain();
};

int32_t PlatMovieOut::State::Open(const PlatMovieOutOptions& o)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(o.encoder);
    if (!codec || codec->type != AVMEDIA_TYPE_VIDEO)
        return -1;
    if (avformat_alloc_output_context2(&format, nullptr, o.container, inMemory ? nullptr : temporary.c_str()) < 0
        || !format)
        return -1;
    encoder = avcodec_alloc_context3(codec);
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    stream = avformat_new_stream(format, nullptr);
    if (!encoder || !frame || !packet || !stream)
        return -1;
    const AVPixelFormat pixelFormat = ChoosePixelFormat(codec, o.alpha);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(pixelFormat);
    const int32_t growX = desc ? (1 << desc->log2_chroma_w) - 1 : 0;
    const int32_t growY = desc ? (1 << desc->log2_chroma_h) - 1 : 0;
    encoder->width = (width + growX) & ~growX;
    encoder->height = (height + growY) & ~growY;
    encoder->pix_fmt = pixelFormat;
    encoder->time_base = AVRational { 1, o.timeScale };
    encoder->framerate = AVRational { o.timeScale, o.frameDuration };
    encoder->sample_aspect_ratio = AVRational { 1, 1 };
    encoder->thread_count = 0;
    if (o.qscale > 0) {
        encoder->flags |= AV_CODEC_FLAG_QSCALE;
        encoder->global_quality = FF_QP2LAMBDA * o.qscale;
    }
    if (o.keyFrameEvery > 0)
        encoder->gop_size = o.keyFrameEvery;
    if (o.bitRate > 0)
        encoder->bit_rate = o.bitRate;
    if (pixelFormat == AV_PIX_FMT_YUVJ420P || pixelFormat == AV_PIX_FMT_YUVJ422P || pixelFormat == AV_PIX_FMT_YUVJ444P)
        encoder->color_range = AVCOL_RANGE_JPEG;
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // An encoder that will not take these frames is the caller's "incompatible compression".
    if (avcodec_open2(encoder, codec, nullptr) < 0)
        return -2;
    if (avcodec_parameters_from_context(stream->codecpar, encoder) < 0)
        return -1;
    stream->time_base = encoder->time_base;
    stream->avg_frame_rate = encoder->framerate;
    frame->format = pixelFormat;
    frame->width = encoder->width;
    frame->height = encoder->height;
    if (av_frame_get_buffer(frame, 0) < 0)
        return -1;
    if (encoder->width != width || encoder->height != height) {
        padded.reset(new (std::nothrow) uint8_t[size_t(encoder->width) * size_t(encoder->height) * 4]);
        if (!padded)
            return -1;
    }
    scaler = sws_getContext(encoder->width, encoder->height, AV_PIX_FMT_BGRA, encoder->width, encoder->height,
        pixelFormat, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (!scaler)
        return -1;
    if ((inMemory ? avio_open_dyn_buf(&format->pb) : avio_open(&format->pb, temporary.c_str(), AVIO_FLAG_WRITE)) < 0)
        return -1;
    AVDictionary* muxOptions = PlatMovieMuxOptions(container.c_str(), o.timeScale);
    const int header = avformat_write_header(format, &muxOptions);
    av_dict_free(&muxOptions);
    if (header < 0)
        return -1;
    headerWritten = true;
    return 0;
}

bool PlatMovieOut::State::Drain()
{
    for (;;) {
        const int got = avcodec_receive_packet(encoder, packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return true;
        if (got < 0)
            return false;
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        if (av_interleaved_write_frame(format, packet) < 0)
            return false;
    }
}

bool PlatMovieOut::State::Encode(const uint8_t* top, ptrdiff_t rowBytes)
{
    if (failed || av_frame_make_writable(frame) < 0) {
        failed = true;
        return false;
    }
    const uint8_t* source = top;
    int stride = int(rowBytes);
    if (padded) {
        const int32_t w = encoder->width;
        const int32_t h = encoder->height;
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* from = top + ptrdiff_t(y < height ? y : height - 1) * rowBytes;
            uint8_t* to = padded.get() + size_t(y) * size_t(w) * 4;
            std::memcpy(to, from, size_t(width) * 4);
            for (int32_t x = width; x < w; ++x)
                std::memcpy(to + size_t(x) * 4, from + size_t(width - 1) * 4, 4);
        }
        source = padded.get();
        stride = w * 4;
    }
    const uint8_t* planes[4] = { source, nullptr, nullptr, nullptr };
    const int strides[4] = { stride, 0, 0, 0 };
    if (sws_scale(scaler, planes, strides, 0, encoder->height, frame->data, frame->linesize) != encoder->height) {
        failed = true;
        return false;
    }
    frame->pts = frames * frameDuration;
    if (avcodec_send_frame(encoder, frame) < 0 || !Drain()) {
        failed = true;
        return false;
    }
    ++frames;
    return true;
}

PlatMovieOut::PlatMovieOut() = default;

PlatMovieOut::~PlatMovieOut()
{
    Abandon();
}

int32_t PlatMovieOut::Open(const char* target, const PlatMovieOutOptions& options)
{
    Abandon();
    if (!target || !*target || !UsableOptions(options))
        return -1;
    PlatQuietMediaLog();
    auto s = std::make_unique<State>();
    s->target = target;
    s->container = options.container;
    s->width = options.width;
    s->height = options.height;
    s->frameDuration = options.frameDuration;
    s->temporary = PlatTemporaryBeside(s->target);
    if (s->temporary.empty())
        return -1;
    const int32_t status = s->Open(options);
    if (status != 0)
        return status;
    fState = std::move(s);
    return 0;
}

int32_t PlatMovieOut::TryEncoder(const PlatMovieOutOptions& options)
{
    if (!UsableOptions(options))
        return -1;
    PlatQuietMediaLog();
    State s;
    s.inMemory = true;
    s.container = options.container;
    s.width = options.width;
    s.height = options.height;
    s.frameDuration = options.frameDuration;
    const int32_t status = s.Open(options);
    if (status != 0)
        return status;
    const size_t rowBytes = size_t(options.width) * 4;
    std::unique_ptr<uint8_t[]> blank(new (std::nothrow) uint8_t[rowBytes * size_t(options.height)]());
    if (!blank)
        return -1;
    // Some encoders accept the settings and only refuse once a picture arrives.
    if (!s.Encode(blank.get(), ptrdiff_t(rowBytes)) || avcodec_send_frame(s.encoder, nullptr) < 0 || !s.Drain())
        return -2;
    return 0;
}

bool PlatMovieOut::IsOpen() const
{
    return fState != nullptr;
}

bool PlatMovieOut::WriteFrame(const uint8_t* top, ptrdiff_t rowBytes)
{
    if (!fState || !top)
        return false;
    return fState->Encode(top, rowBytes);
}

void PlatMovieOut::MarkFailed()
{
    if (fState)
        fState->failed = true;
}

bool PlatMovieOut::SetSoundtrack(const PlatSoundTrack& track)
{
    if (!fState || !track.samples || track.frames <= 0 || track.channels <= 0 || track.channels > 64
        || track.sampleRate <= 0)
        return false;
    const int64_t count = track.frames * track.channels;
    std::unique_ptr<int16_t[]> copy(new (std::nothrow) int16_t[size_t(count)]);
    if (!copy)
        return false;
    std::memcpy(copy.get(), track.samples, size_t(count) * sizeof(int16_t));
    fState->sound = std::move(copy);
    fState->track = track;
    fState->track.samples = fState->sound.get();
    return true;
}

bool PlatMovieOut::Finish()
{
    if (!fState)
        return false;
    std::unique_ptr<State> s = std::move(fState);
    bool ok = !s->failed && s->frames > 0;
    if (ok)
        ok = avcodec_send_frame(s->encoder, nullptr) >= 0 && s->Drain();
    if (ok)
        ok = av_write_trailer(s->format) >= 0;
    if (s->format->pb)
        ok = avio_closep(&s->format->pb) >= 0 && ok;
    s->Release();
    if (!ok)
        return false;
    if (s->sound)
        return PlatMuxSoundtrack(s->temporary, s->target, s->container.c_str(), s->track);
    if (std::rename(s->temporary.c_str(), s->target.c_str()) != 0)
        return false;
    s->temporary.clear();
    return true;
}

void PlatMovieOut::Abandon()
{
    fState.reset();
}

int64_t PlatMovieOut::FramesWritten() const
{
    return fState ? fState->frames : 0;
}

int32_t PlatMovieOut::EncodedWidth() const
{
    return fState ? fState->encoder->width : 0;
}

int32_t PlatMovieOut::EncodedHeight() const
{
    return fState ? fState->encoder->height : 0;
}
