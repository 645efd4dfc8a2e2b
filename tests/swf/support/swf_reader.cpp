#include "swf_reader.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

class Bits {
public:
    Bits(const uint8_t* data, size_t size) : fData(data), fSize(size) {}

    bool Ok() const { return !fOver; }
    size_t Position() const { return fAt; }
    size_t Left() const { return fAt < fSize ? fSize - fAt : 0; }

    uint32_t U8()
    {
        Align();
        if (fAt >= fSize) {
            fOver = true;
            return 0;
        }
        return fData[fAt++];
    }
    uint32_t U16()
    {
        const uint32_t lo = U8();
        return lo | (U8() << 8);
    }
    int32_t S16() { return static_cast<int16_t>(U16()); }
    uint32_t U32()
    {
        const uint32_t lo = U16();
        return lo | (U16() << 16);
    }
    uint32_t UB(int n)
    {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (fBit == 0) {
                if (fAt >= fSize) {
                    fOver = true;
                    return 0;
                }
                fByte = fData[fAt++];
                fBit = 8;
            }
            --fBit;
            v = (v << 1) | ((fByte >> fBit) & 1u);
        }
        return v;
    }
    int32_t SB(int n)
    {
        if (n == 0)
            return 0;
        uint32_t v = UB(n);
        if (n < 32 && (v & (1u << (n - 1))))
            v |= ~((1u << n) - 1);
        return static_cast<int32_t>(v);
    }
    void Align() { fBit = 0; }
    std::string Text()
    {
        std::string s;
        for (uint32_t c = U8(); c != 0 && Ok(); c = U8())
            s += static_cast<char>(c);
        return s;
    }
    SwfReadRect Rect()
    {
        SwfReadRect r;
        const int n = static_cast<int>(UB(5));
        r.fXMin = SB(n);
        r.fXMax = SB(n);
        r.fYMin = SB(n);
        r.fYMax = SB(n);
        Align();
        return r;
    }
    SwfReadMatrix Matrix()
    {
        SwfReadMatrix m;
        if (UB(1)) {
            const int n = static_cast<int>(UB(5));
            m.fScaleX = SB(n);
            m.fScaleY = SB(n);
        }
        if (UB(1)) {
            const int n = static_cast<int>(UB(5));
            m.fSkew0 = SB(n);
            m.fSkew1 = SB(n);
        }
        const int n = static_cast<int>(UB(5));
        m.fTx = SB(n);
        m.fTy = SB(n);
        Align();
        return m;
    }
    SwfReadColorMult ColorMult()
    {
        SwfReadColorMult c;
        c.fPresent = true;
        const bool add = UB(1), mult = UB(1);
        const int n = static_cast<int>(UB(4));
        if (mult) {
            c.fR = SB(n);
            c.fG = SB(n);
            c.fB = SB(n);
            c.fA = SB(n);
        }
        if (add) {
            for (int i = 0; i < 4; ++i)
                SB(n);
        }
        Align();
        return c;
    }

private:
    const uint8_t* fData;
    size_t fSize;
    size_t fAt = 0;
    uint8_t fByte = 0;
    int fBit = 0;
    bool fOver = false;
};

bool ReadTags(Bits& in, std::vector<SwfReadTag>& tags, std::string& error, int depth)
{
    while (in.Left() > 0) {
        SwfReadTag tag;
        const uint32_t head = in.U16();
        tag.fCode = static_cast<int>(head >> 6);
        uint32_t length = head & 0x3F;
        if (length == 0x3F)
            length = in.U32();
        if (!in.Ok() || length > in.Left()) {
            error = "tag " + std::to_string(tag.fCode) + " runs past the end";
            return false;
        }
        const uint8_t* body = nullptr;
        {
            // Copy the body out through U8 so the reader stays in step.
            tag.fBody.reserve(length);
            for (uint32_t i = 0; i < length; ++i)
                tag.fBody.push_back(static_cast<uint8_t>(in.U8()));
            body = tag.fBody.data();
        }
        if (tag.fCode == 39) {
            if (depth > 0) {
                error = "a sprite inside a sprite";
                return false;
            }
            Bits sprite(body, length);
            tag.fSpriteId = static_cast<int>(sprite.U16());
            tag.fSpriteFrames = static_cast<int>(sprite.U16());
            if (!ReadTags(sprite, tag.fTags, error, depth + 1))
                return false;
        }
        const bool end = tag.fCode == 0;
        tags.push_back(std::move(tag));
        if (end)
            return in.Left() == 0 || depth == 0 ? true : (error = "bytes after a sprite's end", false);
    }
    error = "no end tag";
    return false;
}

bool Inflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out, size_t expected)
{
    out.assign(expected, 0);
    uLongf length = static_cast<uLongf>(expected);
    if (uncompress(out.data(), &length, data, static_cast<uLong>(size)) != Z_OK)
        return false;
    out.resize(length);
    return true;
}

bool JpegSize(const std::vector<uint8_t>& b, size_t at, int& w, int& h)
{
    at += 2;
    while (at + 9 < b.size()) {
        if (b[at] != 0xFF)
            return false;
        const int m = b[at + 1];
        const size_t len = (static_cast<size_t>(b[at + 2]) << 8) | b[at + 3];
        if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
            h = (b[at + 5] << 8) | b[at + 6];
            w = (b[at + 7] << 8) | b[at + 8];
            return true;
        }
        at += 2 + len;
    }
    return false;
}

void Summarise(std::ostringstream& out, const std::vector<SwfReadTag>& tags, const std::string& indent)
{
    for (const SwfReadTag& tag : tags) {
        switch (tag.fCode) {
        case 0:
            break;
        case 1:
            out << indent << "show\n";
            break;
        case 9:
            out << indent << "background " << int(tag.fBody[0]) << ' ' << int(tag.fBody[1]) << ' ' << int(tag.fBody[2]) << '\n';
            break;
        case 69:
            out << indent << "attributes\n";
            break;
        case 32: {
            SwfReadShape s;
            DecodeSwfShape(tag, s);
            out << indent << "shape " << s.fId << " fills=" << s.fFills.size() << " lines=" << s.fLines.size()
                << " bounds=" << s.fBounds.fXMin << ',' << s.fBounds.fXMax << ',' << s.fBounds.fYMin << ','
                << s.fBounds.fYMax << '\n';
            break;
        }
        case 26: {
            SwfReadPlace p;
            DecodeSwfPlace(tag, p);
            const SwfReadMatrix& m = p.fMatrix;
            out << indent << (p.fMove ? "move" : "place") << " depth=" << p.fDepth;
            if (p.fHasCharacter)
                out << " char=" << p.fCharacterId;
            out << " matrix=" << m.fScaleX << ',' << m.fSkew0 << ',' << m.fSkew1 << ',' << m.fScaleY << ',' << m.fTx
                << ',' << m.fTy;
            if (p.fColor.fPresent)
                out << " mult=" << p.fColor.fR << ',' << p.fColor.fG << ',' << p.fColor.fB << ',' << p.fColor.fA;
            out << '\n';
            break;
        }
        case 28:
            out << indent << "remove depth=" << (tag.fBody[0] | (tag.fBody[1] << 8)) << '\n';
            break;
        case 39:
            out << indent << "sprite " << tag.fSpriteId << " frames=" << tag.fSpriteFrames << '\n';
            Summarise(out, tag.fTags, indent + "  ");
            break;
        case 43:
            out << indent << "label " << SwfLabel(tag) << '\n';
            break;
        case 21:
        case 36: {
            SwfReadBitmap b;
            DecodeSwfBitmap(tag, b);
            out << indent << "bitmap " << b.fId << ' ' << b.fWidth << 'x' << b.fHeight << '\n';
            break;
        }
        case 45: {
            SwfReadSoundHead h;
            DecodeSwfSoundHead(tag, h);
            out << indent << "soundhead samples=" << h.fSamplesPerFrame << '\n';
            break;
        }
        case 19:
            out << indent << "soundblock bytes=" << tag.fBody.size() << '\n';
            break;
        default:
            out << indent << "tag " << tag.fCode << '\n';
        }
    }
}

}  // namespace

bool ReadSwfFile(const std::string& path, SwfReadMovie& movie, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 8) {
        error = "shorter than a header";
        return false;
    }
    const std::string signature(bytes.begin(), bytes.begin() + 3);
    if (signature != "CWS" && signature != "FWS") {
        error = "signature " + signature;
        return false;
    }
    movie.fCompressed = signature == "CWS";
    movie.fVersion = bytes[3];
    movie.fLength = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
    std::vector<uint8_t> body;
    if (movie.fCompressed) {
        if (movie.fLength < 8 || !Inflate(bytes.data() + 8, bytes.size() - 8, body, movie.fLength - 8 + 1)) {
            error = "the body does not inflate";
            return false;
        }
    } else {
        body.assign(bytes.begin() + 8, bytes.end());
    }
    movie.fRealLength = static_cast<uint32_t>(8 + body.size());
    if (movie.fRealLength != movie.fLength) {
        error = "the header says " + std::to_string(movie.fLength) + " bytes, the file has " + std::to_string(movie.fRealLength);
        return false;
    }
    Bits in(body.data(), body.size());
    movie.fSize = in.Rect();
    movie.fRate = static_cast<int>(in.U16());
    movie.fFrames = static_cast<int>(in.U16());
    return in.Ok() && ReadTags(in, movie.fTags, error, 0);
}

std::vector<std::vector<const SwfReadTag*>> SwfFrames(const std::vector<SwfReadTag>& tags)
{
    std::vector<std::vector<const SwfReadTag*>> frames(1);
    for (const SwfReadTag& tag : tags) {
        if (tag.fCode == 1)
            frames.emplace_back();
        else if (tag.fCode != 0)
            frames.back().push_back(&tag);
    }
    frames.pop_back();  // what follows the last frame end is no frame
    return frames;
}

std::vector<const SwfReadTag*> SwfTagsOf(const std::vector<SwfReadTag>& tags, int code)
{
    std::vector<const SwfReadTag*> found;
    for (const SwfReadTag& tag : tags) {
        if (tag.fCode == code)
            found.push_back(&tag);
    }
    return found;
}

bool DecodeSwfShape(const SwfReadTag& tag, SwfReadShape& shape)
{
    if (tag.fCode != 32)
        return false;
    Bits in(tag.fBody.data(), tag.fBody.size());
    shape.fId = static_cast<int>(in.U16());
    shape.fBounds = in.Rect();
    auto count = [&in] {
        uint32_t n = in.U8();
        return n == 0xFF ? in.U16() : n;
    };
    const uint32_t fills = count();
    for (uint32_t i = 0; i < fills && in.Ok(); ++i) {
        SwfReadFill f;
        f.fType = static_cast<int>(in.U8());
        if (f.fType == 0) {
            for (uint8_t& c : f.fRgba)
                c = static_cast<uint8_t>(in.U8());
        } else if (f.fType == 0x10 || f.fType == 0x12) {
            f.fMatrix = in.Matrix();
            in.UB(4);
            const int n = static_cast<int>(in.UB(4));
            for (int k = 0; k < n; ++k) {
                SwfReadGradientStop stop;
                stop.fRatio = static_cast<int>(in.U8());
                for (uint8_t& c : stop.fRgba)
                    c = static_cast<uint8_t>(in.U8());
                f.fStops.push_back(stop);
            }
        } else if (f.fType >= 0x40 && f.fType <= 0x43) {
            f.fBitmapId = static_cast<int>(in.U16());
            f.fMatrix = in.Matrix();
        } else {
            return false;
        }
        shape.fFills.push_back(f);
    }
    const uint32_t lines = count();
    for (uint32_t i = 0; i < lines && in.Ok(); ++i) {
        SwfReadLine l;
        l.fWidth = static_cast<int>(in.U16());
        for (uint8_t& c : l.fRgba)
            c = static_cast<uint8_t>(in.U8());
        shape.fLines.push_back(l);
    }
    const int fillBits = static_cast<int>(in.UB(4)), lineBits = static_cast<int>(in.UB(4));
    int32_t x = 0, y = 0;
    int fill = 0, line = 0;
    while (in.Ok()) {
        if (in.UB(1) == 0) {
            const uint32_t flags = in.UB(5);
            if (flags == 0)
                return in.Ok();
            if (flags & 0x10)
                return false;  // new style arrays are never written
            bool moved = false;
            if (flags & 0x01) {
                const int n = static_cast<int>(in.UB(5));
                x = in.SB(n);
                y = in.SB(n);
                moved = true;
            }
            if (flags & 0x02)
                in.UB(fillBits);  // fill 0
            if (flags & 0x04)
                fill = static_cast<int>(in.UB(fillBits));
            if (flags & 0x08)
                line = static_cast<int>(in.UB(lineBits));
            if (moved)
                shape.fEdges.push_back({ SwfReadEdge::kMove, x, y, x, y, x, y, fill, line, 0 });
            continue;
        }
        const bool straight = in.UB(1);
        const int n = static_cast<int>(in.UB(4)) + 2;
        if (straight) {
            int32_t dx = 0, dy = 0;
            if (in.UB(1)) {
                dx = in.SB(n);
                dy = in.SB(n);
            } else if (in.UB(1)) {
                dy = in.SB(n);
            } else {
                dx = in.SB(n);
            }
            shape.fEdges.push_back({ SwfReadEdge::kLine, x, y, x, y, x + dx, y + dy, fill, line, n });
            x += dx;
            y += dy;
        } else {
            const int32_t cdx = in.SB(n), cdy = in.SB(n), adx = in.SB(n), ady = in.SB(n);
            shape.fEdges.push_back({ SwfReadEdge::kCurve, x, y, x + cdx, y + cdy, x + cdx + adx, y + cdy + ady, fill, line, n });
            x += cdx + adx;
            y += cdy + ady;
        }
    }
    return false;
}

bool DecodeSwfPlace(const SwfReadTag& tag, SwfReadPlace& place)
{
    if (tag.fCode != 26)
        return false;
    Bits in(tag.fBody.data(), tag.fBody.size());
    const uint32_t flags = in.U8();
    place.fMove = flags & 0x01;
    place.fHasCharacter = flags & 0x02;
    place.fHasMatrix = flags & 0x04;
    place.fDepth = static_cast<int>(in.U16());
    if (place.fHasCharacter)
        place.fCharacterId = static_cast<int>(in.U16());
    if (place.fHasMatrix)
        place.fMatrix = in.Matrix();
    if (flags & 0x08)
        place.fColor = in.ColorMult();
    return in.Ok() && (flags & 0xF0) == 0;
}

bool DecodeSwfBitmap(const SwfReadTag& tag, SwfReadBitmap& bitmap)
{
    Bits in(tag.fBody.data(), tag.fBody.size());
    bitmap.fId = static_cast<int>(in.U16());
    if (tag.fCode == 21) {
        bitmap.fData.assign(tag.fBody.begin() + 2, tag.fBody.end());
        return JpegSize(bitmap.fData, 0, bitmap.fWidth, bitmap.fHeight);
    }
    if (tag.fCode != 36)
        return false;
    bitmap.fFormat = static_cast<int>(in.U8());
    bitmap.fWidth = static_cast<int>(in.U16());
    bitmap.fHeight = static_cast<int>(in.U16());
    const size_t at = in.Position();
    return in.Ok() && Inflate(tag.fBody.data() + at, tag.fBody.size() - at, bitmap.fData,
                              static_cast<size_t>(bitmap.fWidth) * bitmap.fHeight * 4 + 1)
        && bitmap.fData.size() == static_cast<size_t>(bitmap.fWidth) * bitmap.fHeight * 4;
}

bool DecodeSwfSoundHead(const SwfReadTag& tag, SwfReadSoundHead& head)
{
    if (tag.fCode != 45)
        return false;
    Bits in(tag.fBody.data(), tag.fBody.size());
    head.fPlaybackFormat = static_cast<int>(in.U8());
    head.fStreamFormat = static_cast<int>(in.U8());
    head.fCompression = head.fStreamFormat >> 4;
    head.fRateCode = (head.fStreamFormat >> 2) & 3;
    head.fStereo = head.fStreamFormat & 1;
    head.fSamplesPerFrame = static_cast<int>(in.U16());
    if (head.fCompression == 2)
        in.S16();
    return in.Ok();
}

bool DecodeSwfSoundBlock(const SwfReadTag& tag, SwfReadSoundBlock& block)
{
    if (tag.fCode != 19 || tag.fBody.size() < 4)
        return false;
    Bits in(tag.fBody.data(), tag.fBody.size());
    block.fSamples = static_cast<int>(in.U16());
    block.fSeek = in.S16();
    block.fData.assign(tag.fBody.begin() + 4, tag.fBody.end());
    return true;
}

std::string SwfLabel(const SwfReadTag& tag)
{
    Bits in(tag.fBody.data(), tag.fBody.size());
    return in.Text();
}

std::string SwfSummary(const SwfReadMovie& movie)
{
    std::ostringstream out;
    out << "version " << movie.fVersion << "\nsize " << movie.fSize.fXMin << ' ' << movie.fSize.fXMax << ' '
        << movie.fSize.fYMin << ' ' << movie.fSize.fYMax << "\nrate " << movie.fRate << "\nframes " << movie.fFrames << '\n';
    Summarise(out, movie.fTags, "");
    return out.str();
}
