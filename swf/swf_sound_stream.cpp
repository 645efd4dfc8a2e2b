#include "swf_sound_stream.h"

#include "swf_file_bytes.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int kTagSoundStreamHead2 = 45;
constexpr int kTagSoundStreamBlock = 19;
constexpr int kMp3 = 2;

struct FrameHeader {
    int32_t fRate, fSamples;
    size_t fSize;
    bool fStereo;
};

// A layer III frame header at p; false for anything else.
bool ParseHeader(const uint8_t* p, FrameHeader& h)
{
    static const int kBitratesV1[16] = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0 };
    static const int kBitratesV2[16] = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 };
    static const int kRatesV1[3] = { 44100, 48000, 32000 };
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    const int version = (p[1] >> 3) & 3;  // 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
    const int layer = (p[1] >> 1) & 3;    // 1 layer III
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    const bool mpeg1 = version == 3;
    const int divisor = version == 3 ? 1 : (version == 2 ? 2 : 4);
    h.fRate = kRatesV1[rateIndex] / divisor;
    const int bitrate = (mpeg1 ? kBitratesV1 : kBitratesV2)[bitrateIndex] * 1000;
    const int padding = (p[2] >> 1) & 1;
    h.fSamples = mpeg1 ? 1152 : 576;
    h.fSize = static_cast<size_t>((mpeg1 ? 144 : 72) * bitrate / h.fRate + padding);
    h.fStereo = (p[3] >> 6) != 3;
    return true;
}

size_t Id3Length(const std::vector<uint8_t>& b)
{
    if (b.size() < 10 || b[0] != 'I' || b[1] != 'D' || b[2] != '3')
        return 0;
    const size_t size = (static_cast<size_t>(b[6] & 0x7F) << 21) | ((b[7] & 0x7F) << 14) | ((b[8] & 0x7F) << 7) | (b[9] & 0x7F);
    return 10 + size + ((b[5] & 0x10) ? 10 : 0);
}

int RateCode(int32_t rate)
{
    return rate == 11025 ? 1 : (rate == 22050 ? 2 : 3);
}

}  // namespace

SwfSoundStream* SwfSoundStream::FromPath(const char* path)
{
    std::vector<uint8_t> bytes;
    return SwfReadFileBytes(path, bytes) ? FromBytes(bytes) : nullptr;
}

SwfSoundStream* SwfSoundStream::FromBytes(const std::vector<uint8_t>& bytes)
{
    std::unique_ptr<SwfSoundStream> stream(new SwfSoundStream);
    size_t at = Id3Length(bytes);
    FrameHeader first = {};
    while (at + 4 <= bytes.size()) {
        FrameHeader h;
        if (!ParseHeader(&bytes[at], h) || at + h.fSize > bytes.size()) {
            // Before the first frame, look for the next sync; after it, the frames have ended
            // (a trailing tag or junk).
            if (!stream->fFrames.empty())
                break;
            ++at;
            continue;
        }
        if (stream->fFrames.empty())
            first = h;
        else if (h.fRate != first.fRate || h.fStereo != first.fStereo)
            break;
        stream->fFrames.push_back({ at, h.fSize });
        at += h.fSize;
    }
    if (stream->fFrames.empty() || (first.fRate != 11025 && first.fRate != 22050 && first.fRate != 44100))
        return nullptr;
    stream->fRate = first.fRate;
    stream->fSamplesPerFrame = first.fSamples;
    stream->fStereo = first.fStereo;
    stream->fBytes = bytes;
    return stream.release();
}

int64_t SwfSoundStream::SamplesBefore(int32_t n, float movieRate) const
{
    if (!(movieRate > 0))
        return 0;
    return static_cast<int64_t>(std::floor(static_cast<double>(n) * fRate / movieRate));
}

void SwfSoundStream::WriteHead(SwfBits& out, float movieRate) const
{
    const uint32_t format = static_cast<uint32_t>(RateCode(fRate) << 2) | 2u | (fStereo ? 1u : 0u);
    SwfBits body;
    body.U8(format);
    body.U8((kMp3 << 4) | format);
    const int64_t perFrame = SamplesBefore(1, movieRate);
    body.U16(static_cast<uint32_t>(perFrame > 0xFFFF ? 0xFFFF : perFrame));
    body.S16(0);  // latency seek
    out.Tag(kTagSoundStreamHead2, body);
}

void SwfSoundStream::WriteBlock(SwfBits& out, int32_t n, float movieRate) const
{
    // Whole MP3 frames until the sound has caught up with the end of movie frame n.
    const int64_t delivered = [&] {
        const int64_t due = SamplesBefore(n, movieRate);
        const int64_t frames = (due + fSamplesPerFrame - 1) / fSamplesPerFrame;
        return frames * fSamplesPerFrame;
    }();
    const size_t firstFrame = static_cast<size_t>(delivered / fSamplesPerFrame);
    const int64_t due = SamplesBefore(n + 1, movieRate);
    size_t lastFrame = static_cast<size_t>((due + fSamplesPerFrame - 1) / fSamplesPerFrame);
    if (lastFrame > fFrames.size())
        lastFrame = fFrames.size();
    if (firstFrame >= lastFrame)
        return;
    const int64_t samples = static_cast<int64_t>(lastFrame - firstFrame) * fSamplesPerFrame;
    SwfBits body;
    body.U16(static_cast<uint32_t>(samples > 0xFFFF ? 0xFFFF : samples));
    body.S16(0);
    const size_t begin = fFrames[firstFrame].fOffset;
    const size_t end = fFrames[lastFrame - 1].fOffset + fFrames[lastFrame - 1].fSize;
    body.Bytes(fBytes.data() + begin, end - begin);
    out.Tag(kTagSoundStreamBlock, body, true);
}
