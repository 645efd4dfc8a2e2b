#pragma once
#include <cstdint>

#include "qv_avi_writer.h"
#include "qv_qt_movie_writer.h"

// One codec of the codec dialog's list.
struct CodecOffer {
    // What the list shows.
    const char* fLabel;
    // AVI: the encoder name kept in the options record, empty for frames stored uncompressed.
    const char* fEncoder;
    // MOV: the codec type kept in "qtCodec".
    uint32_t fCode;
};

// The codecs the dialog lists for a movie kind, in their order; their count (0 for another kind).
int32_t CodecOffers(int32_t kind, const CodecOffer*& offers);

// What the codec dialog shows and, once confirmed, stores: the AVI options record or the MOV
// compression, by kind.
struct CodecChoice {
    int32_t fKind = 0;
    AviCompression fAvi;
    QtCompression fQt;
};

// The dialog's starting values: the last confirmed AVI choice (or none: uncompressed), or the MOV
// compression in use with a missing "qtQuality" read as index 2.
CodecChoice CurrentCodecChoice(int32_t kind);
// The index of the choice's codec among the offers, or -1 for a codec the dialog does not list
// (an AVI encoder chosen elsewhere; an unknown MOV code, written with the table's fastest encoder,
// shows that encoder).
int32_t OfferOfChoice(const CodecChoice& choice);
// Puts the offer's codec into the choice; nothing for an index outside the offers.
void SetOfferOfChoice(CodecChoice& choice, int32_t offer);
// Opens the chosen encoder in memory for frames of that size at 24 frames per second and
// compresses one frame; nothing reaches the disk. 0 when it takes them, -2 when the encoder
// refuses them, -1 for any other failure.
int32_t TryCodecChoice(const CodecChoice& choice, int32_t width, int32_t height);
// The process-wide AVI options (from now on valid), or the MOV compression and its settings keys.
void StoreCodecChoice(const CodecChoice& choice);
