#include "plat_movie_in.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "plat_media_internal.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

struct PlatMovieIn::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    SwsContext* scaler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    bool avi = false;
    bool flushed = false;
    int32_t width = 0;
    int32_t height = 0;
    double frameRate = -1;
    // Presentation times of the video packets, in ascending order.
    std::vector<int64_t> times;
    // Decoded pictures may carry times shifted from their packets' (AVI files with B-frames
    // time pictures by the reordering delay): the first picture's shift, applied to all.
    int64_t shift = 0;
    // Index of the frame last delivered, -1 after opening or a failure.
    int64_t current = -1;
    std::unique_ptr<uint8_t[]> pixels;

    ~State()
    {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }

    bool CountFrames();
    bool Seek(int64_t time);
    // The next decoded picture into frame; false at the end of the stream or on an error.
    bool DecodeNext();
    bool Convert();
};

bool PlatMovieIn::State::CountFrames()
{
    int64_t last = AV_NOPTS_VALUE;
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == stream) {
            int64_t t = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (t == AV_NOPTS_VALUE)
                t = last == AV_NOPTS_VALUE ? 0 : last + 1;
            last = t;
            times.push_back(t);
        }
        av_packet_unref(packet);
    }
    std::sort(times.begin(), times.end());
    if (times.empty())
        return Seek(0);
    if (!Seek(times.front()))
        return false;
    if (DecodeNext()) {
        if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
            shift = frame->best_effort_timestamp - times.front();
        av_frame_unref(frame);
    }
    return Seek(times.front());
}

bool PlatMovieIn::State::Seek(int64_t time)
{
    avcodec_flush_buffers(decoder);
    flushed = false;
    if (av_seek_frame(format, stream, time, AVSEEK_FLAG_BACKWARD) >= 0)
        return true;
    // Some files seek only by bytes; from the start every frame is still reachable.
    return avformat_seek_file(format, -1, INT64_MIN, 0, 0, AVSEEK_FLAG_BYTE) >= 0
        || av_seek_frame(format, stream, INT64_MIN, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) >= 0;
}

bool PlatMovieIn::State::DecodeNext()
{
    for (;;) {
        const int got = avcodec_receive_frame(decoder, frame);
        if (got == 0)
            return true;
        if (got != AVERROR(EAGAIN) || flushed)
            return false;
        const int read = av_read_frame(format, packet);
        if (read < 0) {
            flushed = true;
            avcodec_send_packet(decoder, nullptr);
            continue;
        }
        if (packet->stream_index == stream)
            avcodec_send_packet(decoder, packet);
        av_packet_unref(packet);
    }
}

bool PlatMovieIn::State::Convert()
{
    if (frame->width != width || frame->height != height)
        return false;
    scaler = sws_getCachedContext(scaler, width, height, AVPixelFormat(frame->format), width, height,
        AV_PIX_FMT_BGRA, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
    if (!scaler)
        return false;
    uint8_t* planes[4] = { pixels.get(), nullptr, nullptr, nullptr };
    int strides[4] = { width * 4, 0, 0, 0 };
    return sws_scale(scaler, frame->data, frame->linesize, 0, height, planes, strides) == height;
}

PlatMovieIn::PlatMovieIn() = default;
PlatMovieIn::~PlatMovieIn() = default;

void PlatMovieIn::Close()
{
    fState.reset();
}

bool PlatMovieIn::IsOpen() const
{
    return fState != nullptr;
}

bool PlatMovieIn::Open(const char* path)
{
    Close();
    if (!path || !*path)
        return false;
    PlatQuietMediaLog();
    auto s = std::make_unique<State>();
    if (avformat_open_input(&s->format, path, nullptr, nullptr) < 0)
        return false;
    if (avformat_find_stream_info(s->format, nullptr) < 0)
        return false;
    const AVCodec* codec = nullptr;
    s->stream = av_find_best_stream(s->format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (s->stream < 0 || !codec)
        return false;
    AVStream* st = s->format->streams[s->stream];
    const AVCodecParameters* par = st->codecpar;
    // Headers are outside data: the picture must fit a raster before anything is allocated.
    if (par->width <= 0 || par->height <= 0 || int64_t(par->width) * par->height > kPlatMaxPixels)
        return false;
    s->width = par->width;
    s->height = par->height;
    s->decoder = avcodec_alloc_context3(codec);
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (!s->decoder || !s->packet || !s->frame)
        return false;
    if (avcodec_parameters_to_context(s->decoder, par) < 0 || avcodec_open2(s->decoder, codec, nullptr) < 0)
        return false;
    s->pixels.reset(new (std::nothrow) uint8_t[size_t(s->width) * size_t(s->height) * 4]);
    if (!s->pixels)
        return false;
    std::memset(s->pixels.get(), 0, size_t(s->width) * size_t(s->height) * 4);
    AVRational rate = st->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = st->r_frame_rate;
    if (rate.num > 0 && rate.den > 0)
        s->frameRate = av_q2d(rate);
    s->avi = std::strcmp(s->format->iformat->name, "avi") == 0;
    if (!s->CountFrames())
        return false;
    fState = std::move(s);
    return true;
}

bool PlatMovieIn::IsAvi() const
{
    return fState && fState->avi;
}

int32_t PlatMovieIn::Width() const
{
    return fState ? fState->width : 0;
}

int32_t PlatMovieIn::Height() const
{
    return fState ? fState->height : 0;
}

double PlatMovieIn::FrameRate() const
{
    return fState ? fState->frameRate : -1;
}

int64_t PlatMovieIn::FrameCount() const
{
    return fState ? int64_t(fState->times.size()) : 0;
}

bool PlatMovieIn::ReadFrame(int64_t n)
{
    if (!fState || n < 0 || n >= int64_t(fState->times.size()))
        return false;
    State& s = *fState;
    const int64_t target = s.times[size_t(n)] + s.shift;
    if (n != s.current + 1 || s.current < 0) {
        if (!s.Seek(s.times[size_t(n)])) {
            s.current = -1;
            return false;
        }
    }
    s.current = -1;
    for (;;) {
        if (!s.DecodeNext())
            return false;
        const int64_t t = s.frame->best_effort_timestamp;
        // Pictures before the wanted one are the lead-in from the key frame.
        if (t != AV_NOPTS_VALUE && t < target) {
            av_frame_unref(s.frame);
            continue;
        }
        const bool ok = s.Convert();
        av_frame_unref(s.frame);
        if (!ok)
            return false;
        s.current = n;
        return true;
    }
}

uint8_t* PlatMovieIn::Pixels()
{
    return fState ? fState->pixels.get() : nullptr;
}

ptrdiff_t PlatMovieIn::RowBytes() const
{
    return fState ? ptrdiff_t(fState->width) * 4 : 0;
}
