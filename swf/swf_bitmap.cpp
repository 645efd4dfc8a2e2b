#include "swf_bitmap.h"

#include "swf_file_bytes.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kTagJpeg2 = 21;
constexpr int kTagLossless2 = 36;
constexpr int kArgbFormat = 5;

bool IsFrameMarker(uint8_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

struct PngReader {
    png_structp fPng = nullptr;
    png_infop fInfo = nullptr;
    ~PngReader() { png_destroy_read_struct(&fPng, fInfo ? &fInfo : nullptr, nullptr); }
};

// Decodes into rows of premultiplied A, R, G, B; false on any libpng error.
bool DecodePng(FILE* f, std::vector<uint8_t>& argb, int32_t& width, int32_t& height)
{
    PngReader reader;
    reader.fPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!reader.fPng)
        return false;
    reader.fInfo = png_create_info_struct(reader.fPng);
    if (!reader.fInfo)
        return false;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(reader.fPng)))
        return false;
    png_init_io(reader.fPng, f);
    png_read_info(reader.fPng, reader.fInfo);
    const png_uint_32 w = png_get_image_width(reader.fPng, reader.fInfo);
    const png_uint_32 h = png_get_image_height(reader.fPng, reader.fInfo);
    if (w == 0 || h == 0 || w > 0xFFFF || h > 0xFFFF)
        return false;
    png_set_expand(reader.fPng);
    png_set_strip_16(reader.fPng);
    png_set_gray_to_rgb(reader.fPng);
    png_set_add_alpha(reader.fPng, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(reader.fPng);
    png_read_update_info(reader.fPng, reader.fInfo);
    argb.assign(static_cast<size_t>(w) * h * 4, 0);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = argb.data() + static_cast<size_t>(y) * w * 4;
    png_read_image(reader.fPng, rows.data());
    for (size_t i = 0; i < argb.size(); i += 4) {
        const uint32_t r = argb[i], g = argb[i + 1], b = argb[i + 2], a = argb[i + 3];
        argb[i] = static_cast<uint8_t>(a);
        argb[i + 1] = static_cast<uint8_t>(r * a / 255);
        argb[i + 2] = static_cast<uint8_t>(g * a / 255);
        argb[i + 3] = static_cast<uint8_t>(b * a / 255);
    }
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return true;
}

}  // namespace

bool SwfJpegSize(const std::vector<uint8_t>& bytes, int32_t& width, int32_t& height)
{
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF)
            return false;
        const uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)
            return false;
        const size_t length = (static_cast<size_t>(bytes[at + 2]) << 8) | bytes[at + 3];
        if (length < 2 || at + 2 + length > bytes.size())
            return false;
        if (IsFrameMarker(marker)) {
            if (length < 7)
                return false;
            height = (bytes[at + 5] << 8) | bytes[at + 6];
            width = (bytes[at + 7] << 8) | bytes[at + 8];
            return width > 0 && height > 0;
        }
        at += 2 + length;
    }
    return false;
}

SwfBitmap* SwfBitmap::FromJpegFile(const char* path)
{
    std::unique_ptr<SwfBitmap> bitmap(new SwfBitmap);
    if (!SwfReadFileBytes(path, bitmap->fData) || !SwfJpegSize(bitmap->fData, bitmap->fWidth, bitmap->fHeight))
        return nullptr;
    bitmap->fJpeg = true;
    return bitmap.release();
}

SwfBitmap* SwfBitmap::FromPngFile(const char* path)
{
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f)
        return nullptr;
    std::unique_ptr<SwfBitmap> bitmap(new SwfBitmap);
    uint8_t signature[8] = {};
    bool ok = std::fread(signature, 1, 8, f) == 8 && png_sig_cmp(signature, 0, 8) == 0;
    if (ok) {
        std::rewind(f);
        ok = DecodePng(f, bitmap->fData, bitmap->fWidth, bitmap->fHeight);
    }
    std::fclose(f);
    return ok ? bitmap.release() : nullptr;
}

void SwfBitmap::WriteDefinition(SwfDefiner& definer, uint16_t id)
{
    SwfBits body;
    body.U16(id);
    if (fJpeg) {
        body.Bytes(fData.data(), fData.size());
        definer.Out().Tag(kTagJpeg2, body, true);
        return;
    }
    uLongf packedSize = compressBound(static_cast<uLong>(fData.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, fData.data(), static_cast<uLong>(fData.size()), 9) != Z_OK) {
        definer.Fail("a bitmap could not be compressed");
        return;
    }
    body.U8(kArgbFormat);
    body.U16(static_cast<uint32_t>(fWidth));
    body.U16(static_cast<uint32_t>(fHeight));
    body.Bytes(packed.data(), packedSize);
    definer.Out().Tag(kTagLossless2, body, true);
}
