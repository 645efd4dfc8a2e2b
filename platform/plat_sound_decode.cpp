#include <cstring>
#include <new>

#include "plat_media_internal.h"
#include "plat_movie_in.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

void PlatQuietMediaLog()
{
    av_log_set_level(AV_LOG_FATAL);
}

namespace {

struct SoundDecoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;

    ~SoundDecoder()
    {
        swr_free(&resampler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }

    bool Open(const char* path)
    {
        if (avformat_open_input(&format, path, nullptr, nullptr) < 0
            || avformat_find_stream_info(format, nullptr) < 0)
            return false;
        const AVCodec* codec = nullptr;
        stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream < 0 || !codec)
            return false;
        decoder = avcodec_alloc_context3(codec);
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!decoder || !packet || !frame
            || avcodec_parameters_to_context(decoder, format->streams[stream]->codecpar) < 0
            || avcodec_open2(decoder, codec, nullptr) < 0)
            return false;
        const int channels = decoder->ch_layout.nb_channels;
        if (channels <= 0 || channels > 64 || decoder->sample_rate <= 0)
            return false;
        // Same rate and channels, only the sample format changes.
        return swr_alloc_set_opts2(&resampler, &decoder->ch_layout, AV_SAMPLE_FMT_S16, decoder->sample_rate,
                   &decoder->ch_layout, decoder->sample_fmt, decoder->sample_rate, 0, nullptr) >= 0
            && swr_init(resampler) >= 0;
    }
};

// Grows the sample block geometrically; false when the memory cannot be had.
bool Reserve(std::unique_ptr<int16_t[]>& block, int64_t& capacity, int64_t needed, int64_t used)
{
    if (needed <= capacity)
        return true;
    int64_t grown = capacity > 0 ? capacity * 2 : 65536;
    if (grown < needed)
        grown = needed;
    std::unique_ptr<int16_t[]> bigger(new (std::nothrow) int16_t[size_t(grown)]);
    if (!bigger)
        return false;
    if (used > 0)
        std::memcpy(bigger.get(), block.get(), size_t(used) * sizeof(int16_t));
    block = std::move(bigger);
    capacity = grown;
    return true;
}

} // namespace

bool PlatDecodeSound(const char* path, int64_t maxFrames, PlatDecodedSound& out)
{
    out = PlatDecodedSound();
    if (!path || !*path || maxFrames <= 0)
        return false;
    PlatQuietMediaLog();
    SoundDecoder d;
    if (!d.Open(path))
        return false;
    const int channels = d.decoder->ch_layout.nb_channels;
    std::unique_ptr<int16_t[]> samples;
    int64_t capacity = 0;
    int64_t frames = 0;
    bool flushed = false;
    bool full = false;
    while (!full) {
        const int got = avcodec_receive_frame(d.decoder, d.frame);
        if (got == AVERROR(EAGAIN) && !flushed) {
            if (av_read_frame(d.format, d.packet) < 0) {
                flushed = true;
                avcodec_send_packet(d.decoder, nullptr);
            } else {
                if (d.packet->stream_index == d.stream)
                    avcodec_send_packet(d.decoder, d.packet);
                av_packet_unref(d.packet);
            }
            continue;
        }
        if (got < 0)
            break;
        const int64_t room = int64_t(swr_get_out_samples(d.resampler, d.frame->nb_samples));
        if (room < 0 || !Reserve(samples, capacity, (frames + room) * channels, frames * channels)) {
            av_frame_unref(d.frame);
            return false;
        }
        uint8_t* dest = reinterpret_cast<uint8_t*>(samples.get() + frames * channels);
        const int made = swr_convert(d.resampler, &dest, int(room),
            const_cast<const uint8_t**>(d.frame->extended_data), d.frame->nb_samples);
        av_frame_unref(d.frame);
        if (made < 0)
            return false;
        frames += made;
        if (frames >= maxFrames) {
            frames = maxFrames;
            full = true;
        }
    }
    if (frames <= 0)
        return false;
    out.samples = std::move(samples);
    out.frames = frames;
    out.channels = channels;
    out.sampleRate = d.decoder->sample_rate;
    return true;
}
