#pragma once

#include "swf_bits.h"

#include <string>
#include <unordered_map>

class SwfCharacter;

// One pass of writing a movie: hands out character ids on first use, writes each definition
// once before anything refers to it, and remembers the first error.
class SwfDefiner {
public:
    explicit SwfDefiner(SwfBits& out) : fOut(out) {}

    // The character's id, writing its definition first when this is its first use; 0 (and an
    // error) when the 16-bit ids are used up.
    uint16_t Define(SwfCharacter* character);

    SwfBits& Out() { return fOut; }
    void Fail(const char* message);
    bool Failed() const { return !fError.empty(); }
    const std::string& Error() const { return fError; }

private:
    SwfBits& fOut;
    std::unordered_map<const SwfCharacter*, uint16_t> fIds;
    uint32_t fNextId = 1;
    std::string fError;
};
