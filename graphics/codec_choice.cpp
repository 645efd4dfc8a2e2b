#include "codec_choice.h"

#include <cstring>

#include "qv_movie_writer.h"

namespace {

constexpr CodecOffer kAviOffers[] = {
    { "Uncompressed", "", 0 },
    { "Motion JPEG", "mjpeg", 0 },
    { "MPEG-4 Part 2", "mpeg4", 0 },
    { "PNG", "png", 0 },
    { "Run-length", "qtrle", 0 },
};

constexpr CodecOffer kMovOffers[] = {
    { "MPEG-4 Part 2", "mpeg4", FourCharCode("mp4v") },
    { "Motion JPEG", "mjpeg", FourCharCode("jpeg") },
    { "PNG", "png", FourCharCode("png ") },
    { "Run-length", "qtrle", FourCharCode("rle ") },
};

// The rate of the trial movie, as any other would do.
constexpr int32_t kTrialRate = 24;

} // namespace

int32_t CodecOffers(int32_t kind, const CodecOffer*& offers)
{
    if (kind == kMovieKindAvi) {
        offers = kAviOffers;
        return int32_t(sizeof kAviOffers / sizeof kAviOffers[0]);
    }
    if (kind == kMovieKindQuickTime) {
        offers = kMovOffers;
        return int32_t(sizeof kMovOffers / sizeof kMovOffers[0]);
    }
    offers = nullptr;
    return 0;
}

CodecChoice CurrentCodecChoice(int32_t kind)
{
    CodecChoice choice;
    choice.fKind = kind;
    if (gAviOptionsValid)
        choice.fAvi = gAviOptions;
    choice.fQt = CurrentQtCompression(2);
    return choice;
}

int32_t OfferOfChoice(const CodecChoice& choice)
{
    const CodecOffer* offers = nullptr;
    const int32_t count = CodecOffers(choice.fKind, offers);
    const char* encoder
        = choice.fKind == kMovieKindAvi ? choice.fAvi.fEncoder.CString() : EncoderOfCodec(choice.fQt.fCodec);
    for (int32_t i = 0; i < count; ++i) {
        if (std::strcmp(offers[i].fEncoder, encoder) == 0)
            return i;
    }
    return -1;
}

void SetOfferOfChoice(CodecChoice& choice, int32_t offer)
{
    const CodecOffer* offers = nullptr;
    const int32_t count = CodecOffers(choice.fKind, offers);
    if (offer < 0 || offer >= count)
        return;
    if (choice.fKind == kMovieKindAvi)
        choice.fAvi.fEncoder = offers[offer].fEncoder;
    else
        choice.fQt.fCodec = offers[offer].fCode;
}

int32_t TryCodecChoice(const CodecChoice& choice, int32_t width, int32_t height)
{
    if (choice.fKind == kMovieKindAvi)
        return PlatMovieOut::TryEncoder(AviMovieOptions(choice.fAvi, width, height, kTrialRate));
    if (choice.fKind == kMovieKindQuickTime) {
        const int32_t duration = (QV_QtMovieWriter::kTimeScale + kTrialRate / 2) / kTrialRate;
        return PlatMovieOut::TryEncoder(QtMovieOptions(choice.fQt, width, height, duration));
    }
    return -1;
}

void StoreCodecChoice(const CodecChoice& choice)
{
    if (choice.fKind == kMovieKindAvi) {
        gAviOptions = choice.fAvi;
        gAviOptionsValid = true;
    } else if (choice.fKind == kMovieKindQuickTime)
        StoreQtCompression(choice.fQt);
}
