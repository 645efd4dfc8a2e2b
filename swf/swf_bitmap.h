#pragma once

#include "swf_character.h"

#include <vector>

// A picture for bitmap fills: a JPEG file's bytes as they are, or a PNG file decoded into
// premultiplied alpha, red, green, blue. The makers answer null when the file is not readable
// as its type.
class SwfBitmap : public SwfCharacter {
public:
    static SwfBitmap* FromJpegFile(const char* path);
    static SwfBitmap* FromPngFile(const char* path);

    int32_t Width() const { return fWidth; }
    int32_t Height() const { return fHeight; }
    bool IsJpeg() const { return fJpeg; }

    void WriteDefinition(SwfDefiner& definer, uint16_t id) override;

private:
    SwfBitmap() = default;

    bool fJpeg = false;
    int32_t fWidth = 0;
    int32_t fHeight = 0;
    std::vector<uint8_t> fData;  // JPEG file bytes, or ARGB rows for the lossless form
};

// The size in a JPEG's frame header; false when the bytes are no JPEG with one.
bool SwfJpegSize(const std::vector<uint8_t>& bytes, int32_t& width, int32_t& height);
