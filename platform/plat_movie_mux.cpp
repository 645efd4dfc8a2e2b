#include "plat_movie_mux.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "plat_movie_out.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
}

namespace {

std::atomic<uint32_t> gMovieSerial { 0 };

// Sound is written in packets of this many frames.
constexpr int64_t kSoundPacketFrames = 4096;

struct Remux {
    AVFormatContext* in = nullptr;
    AVFormatContext* out = nullptr;
    AVPacket* packet = nullptr;

    ~Remux()
    {
        av_packet_free(&packet);
        avformat_close_input(&in);
        if (out && out->pb)
            avio_closep(&out->pb);
        avformat_free_context(out);
    }
};

bool WriteSoundPacket(AVFormatContext* out, AVStream* st, const PlatSoundTrack& track, int64_t first)
{
    const int64_t frames = std::min(kSoundPacketFrames, track.frames - first);
    const int bytes = int(frames * track.channels * 2);
    AVPacket* p = av_packet_alloc();
    if (!p || av_new_packet(p, bytes) < 0) {
        av_packet_free(&p);
        return false;
    }
    std::memcpy(p->data, track.samples + first * track.channels, size_t(bytes));
    p->pts = p->dts = first;
    p->duration = frames;
    p->flags |= AV_PKT_FLAG_KEY;
    p->stream_index = st->index;
    av_packet_rescale_ts(p, AVRational { 1, track.sampleRate }, st->time_base);
    const bool ok = av_interleaved_write_frame(out, p) >= 0;
    av_packet_free(&p);
    return ok;
}

bool CopyWithSound(Remux& r, const std::string& video, const std::string& temporary, const char* container,
    const PlatSoundTrack& track)
{
    if (avformat_open_input(&r.in, video.c_str(), nullptr, nullptr) < 0 || avformat_find_stream_info(r.in, nullptr) < 0
        || r.in->nb_streams < 1)
        return false;
    AVStream* vin = r.in->streams[0];
    if (avformat_alloc_output_context2(&r.out, nullptr, container, temporary.c_str()) < 0 || !r.out)
        return false;
    AVStream* vout = avformat_new_stream(r.out, nullptr);
    AVStream* aout = avformat_new_stream(r.out, nullptr);
    r.packet = av_packet_alloc();
    if (!vout || !aout || !r.packet || avcodec_parameters_copy(vout->codecpar, vin->codecpar) < 0)
        return false;
    vout->codecpar->codec_tag = 0;
    vout->time_base = vin->time_base;
    vout->avg_frame_rate = vin->avg_frame_rate;
    vout->r_frame_rate = vin->r_frame_rate;
    AVCodecParameters* a = aout->codecpar;
    a->codec_type = AVMEDIA_TYPE_AUDIO;
    a->codec_id = AV_CODEC_ID_PCM_S16LE;
    a->sample_rate = track.sampleRate;
    av_channel_layout_default(&a->ch_layout, track.channels);
    a->bits_per_coded_sample = 16;
    a->block_align = track.channels * 2;
    a->bit_rate = int64_t(track.sampleRate) * track.channels * 16;
    aout->time_base = AVRational { 1, track.sampleRate };
    if (avio_open(&r.out->pb, temporary.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    AVDictionary* options = PlatMovieMuxOptions(container, vin->time_base.den);
    const int header = avformat_write_header(r.out, &options);
    av_dict_free(&options);
    if (header < 0)
        return false;

    int64_t soundAt = 0;
    bool videoLeft = true;
    bool havePacket = false;
    while (videoLeft || soundAt < track.frames) {
        if (videoLeft && !havePacket) {
            for (;;) {
                if (av_read_frame(r.in, r.packet) < 0) {
                    videoLeft = false;
                    break;
                }
                if (r.packet->stream_index == vin->index) {
                    havePacket = true;
                    break;
                }
                av_packet_unref(r.packet);
            }
        }
        const bool soundFirst = soundAt < track.frames
            && (!havePacket
                || av_compare_ts(soundAt, AVRational { 1, track.sampleRate },
                       r.packet->dts != AV_NOPTS_VALUE ? r.packet->dts : r.packet->pts, vin->time_base) <= 0);
        if (soundFirst) {
            if (!WriteSoundPacket(r.out, aout, track, soundAt))
                return false;
            soundAt += kSoundPacketFrames;
        } else if (havePacket) {
            av_packet_rescale_ts(r.packet, vin->time_base, vout->time_base);
            r.packet->stream_index = vout->index;
            r.packet->pos = -1;
            if (av_interleaved_write_frame(r.out, r.packet) < 0)
                return false;
            havePacket = false;
        }
    }
    if (av_write_trailer(r.out) < 0)
        return false;
    return avio_closep(&r.out->pb) >= 0;
}

} // namespace

std::string PlatTemporaryBeside(const std::string& target)
{
    std::string folder;
    std::string name = target;
    const size_t slash = target.find_last_of('/');
    if (slash != std::string::npos) {
        folder = target.substr(0, slash + 1);
        name = target.substr(slash + 1);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const uint32_t serial = gMovieSerial.fetch_add(1, std::memory_order_relaxed);
        std::string path
            = folder + "." + name + "." + std::to_string(getpid()) + "-" + std::to_string(serial) + ".part";
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            return path;
        }
        if (errno != EEXIST)
            break;
    }
    return std::string();
}

AVDictionary* PlatMovieMuxOptions(const char* container, int timeScale)
{
    AVDictionary* options = nullptr;
    if (std::strcmp(container, "mov") == 0)
        av_dict_set_int(&options, "video_track_timescale", timeScale, 0);
    return options;
}

bool PlatMuxSoundtrack(const std::string& video, const std::string& target, const char* container,
    const PlatSoundTrack& track)
{
    const std::string temporary = PlatTemporaryBeside(target);
    if (temporary.empty())
        return false;
    bool ok;
    {
        Remux r;
        ok = CopyWithSound(r, video, temporary, container, track);
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}
