#pragma once

// A reader of the SWF files our writer makes, for checking their structure and values: it
// inflates the body, walks the tags (sprites' tags nested) and decodes the records the writer
// uses. Independent of the writer's own code.

#include <cstdint>
#include <string>
#include <vector>

struct SwfReadRect {
    int32_t fXMin = 0, fXMax = 0, fYMin = 0, fYMax = 0;
};

// Fixed-point fields as stored (16.16 scale and skew, twips translation).
struct SwfReadMatrix {
    int32_t fScaleX = 65536, fScaleY = 65536, fSkew0 = 0, fSkew1 = 0, fTx = 0, fTy = 0;
    double A() const { return fScaleX / 65536.0; }
    double B() const { return fSkew0 / 65536.0; }
    double C() const { return fSkew1 / 65536.0; }
    double D() const { return fScaleY / 65536.0; }
};

struct SwfReadColorMult {
    bool fPresent = false;
    int32_t fR = 256, fG = 256, fB = 256, fA = 256;  // 8.8
};

struct SwfReadTag {
    int fCode = 0;
    std::vector<uint8_t> fBody;
    // DefineSprite only.
    int fSpriteId = 0, fSpriteFrames = 0;
    std::vector<SwfReadTag> fTags;
};

struct SwfReadMovie {
    bool fCompressed = false;
    int fVersion = 0;
    uint32_t fLength = 0;      // as the header says
    uint32_t fRealLength = 0;  // 8 + the inflated body
    SwfReadRect fSize;
    int fRate = 0;  // 8.8
    int fFrames = 0;
    std::vector<SwfReadTag> fTags;
};

// False, with the reason, when the file is not a whole, well-formed SWF.
bool ReadSwfFile(const std::string& path, SwfReadMovie& movie, std::string& error);

// The tags of each frame, up to and without its ShowFrame.
std::vector<std::vector<const SwfReadTag*>> SwfFrames(const std::vector<SwfReadTag>& tags);
std::vector<const SwfReadTag*> SwfTagsOf(const std::vector<SwfReadTag>& tags, int code);

struct SwfReadGradientStop {
    int fRatio;
    uint8_t fRgba[4];
};

struct SwfReadFill {
    int fType = 0;
    uint8_t fRgba[4] = {};
    SwfReadMatrix fMatrix;
    int fBitmapId = 0;
    std::vector<SwfReadGradientStop> fStops;
};

struct SwfReadLine {
    int fWidth = 0;
    uint8_t fRgba[4] = {};
};

// One shape record with absolute twips: a move, a straight edge or a quadratic edge, and the
// fill and line styles in force after it.
struct SwfReadEdge {
    enum Kind { kMove, kLine, kCurve } fKind;
    int32_t fX0, fY0, fCx, fCy, fX, fY;
    int fFill, fLine;
    int fBits;  // the record's bit count field (edges)
};

struct SwfReadShape {
    int fId = 0;
    SwfReadRect fBounds;
    std::vector<SwfReadFill> fFills;
    std::vector<SwfReadLine> fLines;
    std::vector<SwfReadEdge> fEdges;
};
bool DecodeSwfShape(const SwfReadTag& tag, SwfReadShape& shape);

struct SwfReadPlace {
    bool fMove = false, fHasCharacter = false, fHasMatrix = false;
    int fDepth = 0, fCharacterId = 0;
    SwfReadMatrix fMatrix;
    SwfReadColorMult fColor;
};
bool DecodeSwfPlace(const SwfReadTag& tag, SwfReadPlace& place);

struct SwfReadBitmap {
    int fId = 0, fFormat = 0, fWidth = 0, fHeight = 0;
    std::vector<uint8_t> fData;  // lossless: inflated ARGB; JPEG: the bytes after the id
};
bool DecodeSwfBitmap(const SwfReadTag& tag, SwfReadBitmap& bitmap);

struct SwfReadSoundHead {
    int fPlaybackFormat = 0, fStreamFormat = 0, fCompression = 0, fRateCode = 0, fSamplesPerFrame = 0;
    bool fStereo = false;
};
bool DecodeSwfSoundHead(const SwfReadTag& tag, SwfReadSoundHead& head);
struct SwfReadSoundBlock {
    int fSamples = 0, fSeek = 0;
    std::vector<uint8_t> fData;
};
bool DecodeSwfSoundBlock(const SwfReadTag& tag, SwfReadSoundBlock& block);

std::string SwfLabel(const SwfReadTag& tag);

// One line per tag of the fields that the outside judge also prints, for comparing the two.
std::string SwfSummary(const SwfReadMovie& movie);
