#include "swf_movie.h"

#include "staged_file.h"

#include <zlib.h>

#include <cmath>

namespace {

constexpr int kTagEnd = 0;
constexpr int kTagShowFrame = 1;
constexpr int kTagSetBackgroundColor = 9;
constexpr int kTagFileAttributes = 69;

}  // namespace

void SwfMovie::SetDimension(float width, float height)
{
    fWidth = width;
    fHeight = height;
}

void SwfMovie::SetBackground(uint8_t r, uint8_t g, uint8_t b)
{
    fBackground[0] = r;
    fBackground[1] = g;
    fBackground[2] = b;
}

void SwfMovie::SetSoundStream(SwfSoundStream* stream)
{
    if (!stream || fSound)
        return;
    fSound = SwfRef<SwfSoundStream>(stream);
    fSoundStart = fTimeline.Frames();
}

std::string SwfMovie::LimitPassed() const
{
    if (fTimeline.DepthOverflow())
        return "more than 65,535 depths in use: the format's 16-bit depths are used up";
    if (fTimeline.DistinctCharacters() > 0xFFFF)
        return "more than 65,535 characters: the format's 16-bit ids are used up";
    if (fTimeline.Frames() > 0xFFFF)
        return "more than 65,535 frames";
    return "";
}

const char* SwfMovie::Problem()
{
    fProblem = LimitPassed();
    if (fProblem.empty())
        fProblem = fError;
    return fProblem.c_str();
}

bool SwfMovie::Build(std::vector<uint8_t>& file)
{
    fError.clear();
    if (fTimeline.DepthOverflow()) {
        fError = "more than 65,535 depths in use: the format's 16-bit depths are used up";
        return false;
    }
    fTimeline.FinishPendingFrame();

    SwfBits body;
    SwfBits attributes;
    attributes.U32(0);
    body.Tag(kTagFileAttributes, attributes);
    SwfBits background;
    background.Bytes(fBackground, 3);
    body.Tag(kTagSetBackgroundColor, background);

    SwfDefiner definer(body);
    const SwfSoundStream* sound = fSound.Get();
    const int32_t soundStart = fSoundStart;
    const float rate = fRate;
    auto soundBlock = [sound, soundStart, rate](int32_t frame, SwfBits& out) {
        if (!sound || frame < soundStart)
            return;
        if (frame == soundStart)
            sound->WriteHead(out, rate);
        sound->WriteBlock(out, frame - soundStart, rate);
    };
    fTimeline.Write(definer, body, soundBlock);
    int32_t frames = fTimeline.Frames();
    for (; frames < fMinFrames; ++frames) {
        soundBlock(frames, body);
        body.Tag(kTagShowFrame, SwfBits());
    }
    body.Tag(kTagEnd, SwfBits());
    if (definer.Failed()) {
        fError = definer.Error();
        return false;
    }
    if (frames > 0xFFFF) {
        fError = "more than 65,535 frames";
        return false;
    }

    SwfBits head;
    head.Rect(0, SwfTwips(fWidth), 0, SwfTwips(fHeight));
    double fixedRate = std::floor(static_cast<double>(fRate) * 256.0 + 0.5);
    fixedRate = fixedRate < 0 || !(fixedRate == fixedRate) ? 0 : (fixedRate > 65535 ? 65535 : fixedRate);
    head.U16(static_cast<uint32_t>(fixedRate));
    head.U16(static_cast<uint32_t>(frames));

    const size_t length = 8 + head.Size() + body.Size();
    if (length > 0xFFFFFFFFu) {
        fError = "the movie is larger than 4 GB";
        return false;
    }
    SwfBits out;
    out.Bytes("FWS", 3);
    out.U8(kVersion);
    out.U32(static_cast<uint32_t>(length));
    out.Append(head);
    // The body is most of the file: copied once, into room made for all of it.
    const std::vector<uint8_t>& start = out.Data();
    const std::vector<uint8_t>& rest = body.Data();
    file.clear();
    file.reserve(length);
    file.insert(file.end(), start.begin(), start.end());
    file.insert(file.end(), rest.begin(), rest.end());
    return true;
}

int32_t SwfMovie::Save(const char* path, int level)
{
    std::vector<uint8_t> file;
    if (!path || !*path) {
        fError = "no file name";
        return -1;
    }
    if (!Build(file))
        return -1;
    level = level < 0 ? 0 : (level > 9 ? 9 : level);
    uLongf packedSize = compressBound(static_cast<uLong>(file.size() - 8));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, file.data() + 8, static_cast<uLong>(file.size() - 8), level) != Z_OK) {
        fError = "the movie could not be compressed";
        return -1;
    }
    file[0] = 'C';
    StagedFile staged;
    if (!staged.Open(path) || !staged.Write(file.data(), 8) || !staged.Write(packed.data(), packedSize)
        || !staged.Commit()) {
        fError = std::string("cannot write ") + path;
        return -1;
    }
    const size_t written = 8 + packedSize;
    return written > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(written);
}
