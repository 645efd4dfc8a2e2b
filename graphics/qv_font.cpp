#include "qv_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "blend_tables.h"
#include "qv_builtin_fonts.h"
#include "qv_font_library.h"
#include "system_palette.h"
#include "utf_convert.h"

namespace {

constexpr int32_t kTabSpaces = 4;
constexpr unsigned char kSpace = 0x20;
// Metrics of a face that has no outlines to scale.
constexpr int32_t kUnscalableMetric = 12;
// What a face answers for its metrics when its lock cannot be taken.
constexpr int32_t kUnlockedMetric = 1;

// Holds a face font's lock for one operation and releases it on every path.
class FaceLock {
public:
    explicit FaceLock(const QV_Locker& locker)
        : fMutex(locker.handle)
        , fHeld(fMutex && PlatMutexLock(fMutex, kPlatWaitForever))
    {
    }
    ~FaceLock()
    {
        if (fHeld)
            PlatMutexUnlock(fMutex);
    }
    FaceLock(const FaceLock&) = delete;
    FaceLock& operator=(const FaceLock&) = delete;

    bool Held() const { return fHeld; }

private:
    PlatMutex* fMutex;
    bool fHeld;
};

int32_t ClampToInt32(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The text's code points, or false for invalid UTF-8 (and when memory runs out). A sequence cut
// short at the end keeps what came before it. Every code point takes at least one byte, so the
// byte count is room enough for the whole text, however long.
bool DecodeText(const char* text, std::unique_ptr<char32_t[]>& codes, size_t& count)
{
    count = 0;
    const size_t length = strlen(text);
    if (length == 0)
        return true;
    codes.reset(new (std::nothrow) char32_t[length]);
    if (!codes)
        return false;
    const char* source = text;
    char32_t* target = codes.get();
    if (ConvertUTF8toUTF32(&source, text + length, &target, codes.get() + length) == kUTFSourceIllegal)
        return false;
    count = size_t(target - codes.get());
    return true;
}

// Kerning between the previous glyph and this one, in whole pixels.
int64_t KerningBefore(FT_Face face, bool hasPrevious, FT_UInt previous, FT_UInt glyph)
{
    if (!FT_HAS_KERNING(face) || !hasPrevious || glyph == 0)
        return 0;
    FT_Vector kerning = { 0, 0 };
    if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kerning) != 0)
        return 0;
    return kerning.x >> 6;
}

FT_UInt GlyphIndex(FT_Face face, char32_t code)
{
    return face->charmap ? FT_Get_Char_Index(face, FT_ULong(code)) : 0;
}

// Picks the face's character map when FreeType chose none: the last Unicode map, else the first.
void SelectCharmap(FT_Face face)
{
    if (face->charmap || face->num_charmaps <= 0)
        return;
    FT_CharMap chosen = face->charmaps[0];
    for (FT_Int i = 0; i < face->num_charmaps; i++) {
        if (face->charmaps[i]->encoding == FT_ENCODING_UNICODE)
            chosen = face->charmaps[i];
    }
    FT_Set_Charmap(face, chosen);
}

uint8_t Mix(int f, uint8_t source, uint8_t destination)
{
    return uint8_t(BlendMulTable[f][source] + BlendMulTable[255 - f][destination]);
}

void Blend32(uint8_t* p, int f, rgb_color c)
{
    if (f == 255) {
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
        p[3] = 255;
        return;
    }
    p[0] = Mix(f, c.b, p[0]);
    p[1] = Mix(f, c.g, p[1]);
    p[2] = Mix(f, c.r, p[2]);
    // The coverage replaces the destination alpha: text drawn into a clear raster keeps its edges.
    p[3] = uint8_t(f);
}

void Blend15(uint8_t* p, int f, rgb_color c)
{
    uint16_t v;
    memcpy(&v, p, 2);
    uint8_t r = c.r;
    uint8_t g = c.g;
    uint8_t b = c.b;
    if (f != 255) {
        r = Mix(f, r, uint8_t((v >> 7) & 0xF8));
        g = Mix(f, g, uint8_t((v >> 2) & 0xF8));
        b = Mix(f, b, uint8_t((v << 3) & 0xF8));
    }
    v = uint16_t((r & 0xF8) << 7 | (g & 0xF8) << 2 | b >> 3);
    memcpy(p, &v, 2);
}

void Blend16(uint8_t* p, int f, rgb_color c)
{
    uint16_t v;
    memcpy(&v, p, 2);
    uint8_t r = c.r;
    uint8_t g = c.g;
    uint8_t b = c.b;
    if (f != 255) {
        r = Mix(f, r, uint8_t((v >> 11) << 3));
        g = Mix(f, g, uint8_t((v >> 3) & 0xFC));
        b = Mix(f, b, uint8_t((v << 3) & 0xF8));
    }
    v = uint16_t((r >> 3) << 11 | (g & 0xFC) << 3 | b >> 3);
    memcpy(p, &v, 2);
}

void Blend8(uint8_t* p, int f, rgb_color c, const SystemPalette& palette)
{
    if (f == 255) {
        *p = palette.NearestIndex(c.r, c.g, c.b);
        return;
    }
    const uint32_t d = palette.fColors[*p];
    const uint8_t r = Mix(f, c.r, uint8_t(d >> 16));
    const uint8_t g = Mix(f, c.g, uint8_t(d >> 8));
    const uint8_t b = Mix(f, c.b, uint8_t(d));
    *p = palette.NearestIndex(r, g, b);
}

} // namespace

QV_Font::QV_Font(int32_t kind)
    : fKind(kind)
    , fOwnsTables(false)
    , fStripWidth(0)
    , fLineHeight(0)
    , fAscent(0)
    , fGlyphOffset(nullptr)
    , fGlyphWidth(nullptr)
    , fAdvance(nullptr)
    , fLeftBearing(nullptr)
    , fStrip(nullptr)
    , fFace(nullptr)
{
    fLock.handle = PlatMutexCreate();
}

QV_Font::~QV_Font()
{
    if (fOwnsTables) {
        delete[] fGlyphOffset;
        delete[] fGlyphWidth;
        delete[] fAdvance;
        delete[] fLeftBearing;
        delete[] fStrip;
    }
    if (fFace)
        FT_Done_Face(fFace);
}

void DeleteFont(QV_Font* font)
{
    delete font;
}

QV_Font* QV_Font::CreateBuiltIn(int32_t set)
{
    if (set < 0 || set >= kBuiltInFontSetCount)
        set = 0;
    const QV_BuiltInFontSet& tables = kBuiltInFontSets[set];
    QV_Font* font = new QV_Font(kBitmapFont);
    font->fStripWidth = tables.stripWidth;
    font->fLineHeight = tables.lineHeight;
    font->fAscent = tables.ascent;
    font->fGlyphOffset = tables.glyphOffset;
    font->fGlyphWidth = tables.glyphWidth;
    font->fAdvance = tables.advance;
    font->fLeftBearing = tables.leftBearing;
    font->fStrip = tables.strip;
    return font;
}

QV_Font* QV_Font::OpenFace(const char* path, int32_t faceIndex)
{
    // A negative index asks FreeType only to count the file's faces and gives a face that cannot
    // draw.
    if (!path || faceIndex < 0)
        return nullptr;
    std::unique_ptr<QV_Font> font(new QV_Font(kFaceFont));
    FT_Open_Args args = {};
    args.flags = FT_OPEN_PATHNAME;
    args.pathname = const_cast<char*>(path);
    FT_Face face = nullptr;
    if (FT_Open_Face(FontLibrary(), &args, faceIndex, &face) != 0 || !face)
        return nullptr;
    font->fFace = face;
    SelectCharmap(face);
    font->SetPixelSize(12);
    return font.release();
}

void QV_Font::SetSize(int32_t points)
{
    if (fKind != kFaceFont || !fFace)
        return;
    FaceLock lock(fLock);
    if (!lock.Held())
        return;
    const FT_F26Dot6 size = FT_F26Dot6(points) * 64;
    FT_Set_Char_Size(fFace, size, size, 96, 96);
}

void QV_Font::SetPixelSize(int32_t pixels)
{
    if (fKind != kFaceFont || !fFace || pixels < 0)
        return;
    FaceLock lock(fLock);
    if (!lock.Held())
        return;
    FT_Set_Pixel_Sizes(fFace, FT_UInt(pixels), FT_UInt(pixels));
}

int32_t QV_Font::VerticalMetric(int32_t bitmapValue, bool lineHeight) const
{
    if (fKind == kBitmapFont)
        return bitmapValue;
    if (fKind != kFaceFont || !fFace)
        return kUnlockedMetric;
    FaceLock lock(fLock);
    if (!lock.Held())
        return kUnlockedMetric;
    if (!FT_IS_SCALABLE(fFace))
        return kUnscalableMetric;
    const FT_Short units = lineHeight ? fFace->height : fFace->ascender;
    return ClampToInt32(FT_MulFix(units, fFace->size->metrics.y_scale) >> 6);
}

int32_t QV_Font::Ascent() const
{
    return VerticalMetric(fAscent, false);
}

int32_t QV_Font::LineHeight() const
{
    return VerticalMetric(fLineHeight, true);
}

QV_String QV_Font::Name() const
{
    if (fKind == kBitmapFont)
        return QV_String("Bitmap Font");
    if (fKind != kFaceFont || !fFace)
        return QV_String("<Unknown Font>");
    QV_String name(fFace->family_name ? fFace->family_name : "");
    name.Append(' ');
    name.Append(fFace->style_name ? fFace->style_name : "");
    return name;
}

int32_t QV_Font::StringWidth(const char* text) const
{
    if (!text)
        return 0;
    if (fKind == kBitmapFont)
        return BitmapStringWidth(text);
    if (fKind != kFaceFont || !fFace)
        return kUnlockedMetric;
    return FaceStringWidth(text);
}

void QV_Font::DrawString(
    rgb_color color, const QV_PixelBuffer* raster, const char* text, int32_t x, int32_t y) const
{
    if (!text || !raster || !raster->pixels)
        return;
    if (fKind == kBitmapFont)
        DrawBitmapString(color, raster, text, x, y);
    else if (fKind == kFaceFont && fFace)
        DrawFaceString(color, raster, text, x, y);
}

int32_t QV_Font::BitmapStringWidth(const char* text) const
{
    int64_t width = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++)
        width += *p == '\t' ? kTabSpaces * fAdvance[kSpace] : fAdvance[*p];
    return ClampToInt32(width);
}

void QV_Font::DrawBitmapString(
    rgb_color color, const QV_PixelBuffer* raster, const char* text, int32_t x, int32_t y) const
{
    const int64_t top = int64_t(y) - fAscent;
    if (x >= raster->width || top + fLineHeight < 0 || top >= raster->height)
        return;
    QV_PixelBuffer glyph;
    glyph.height = fLineHeight;
    glyph.depth = 8;
    glyph.bytesPerPixel = 1;
    glyph.rowBytes = fStripWidth;
    // 64-bit pen: a text of any length keeps advancing without overflow.
    int64_t pen = x;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++) {
        const unsigned char c = *p;
        if (c == '\t') {
            pen += kTabSpaces * fAdvance[kSpace];
            continue;
        }
        const int64_t left = pen + fLeftBearing[c];
        if (left < raster->width && left + fGlyphWidth[c] > 0) {
            glyph.pixels = const_cast<uint8_t*>(fStrip) + fGlyphOffset[c];
            glyph.width = fGlyphWidth[c];
            BlitGlyph(int32_t(top), color, &glyph, raster, int32_t(left), false);
        }
        pen += fAdvance[c];
    }
}

int32_t QV_Font::FaceStringWidth(const char* text) const
{
    FaceLock lock(fLock);
    if (!lock.Held())
        return kUnlockedMetric;
    std::unique_ptr<char32_t[]> codes;
    size_t count = 0;
    if (!DecodeText(text, codes, count))
        return 0;
    int64_t width = 0;
    FT_UInt previous = 0;
    bool hasPrevious = false;
    for (size_t i = 0; i < count; i++) {
        const FT_UInt glyph = GlyphIndex(fFace, codes[i]);
        width += KerningBefore(fFace, hasPrevious, previous, glyph);
        if (FT_Load_Glyph(fFace, glyph, FT_LOAD_DEFAULT) != 0)
            continue;
        width += fFace->glyph->advance.x >> 6;
        previous = glyph;
        hasPrevious = true;
    }
    return ClampToInt32(width);
}

void QV_Font::DrawFaceString(
    rgb_color color, const QV_PixelBuffer* raster, const char* text, int32_t x, int32_t y) const
{
    FaceLock lock(fLock);
    if (!lock.Held())
        return;
    std::unique_ptr<char32_t[]> codes;
    size_t count = 0;
    if (!DecodeText(text, codes, count))
        return;
    int64_t pen = x;
    FT_UInt previous = 0;
    bool hasPrevious = false;
    for (size_t i = 0; i < count; i++) {
        const FT_UInt glyph = GlyphIndex(fFace, codes[i]);
        pen += KerningBefore(fFace, hasPrevious, previous, glyph);
        if (FT_Load_Glyph(fFace, glyph, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot slot = fFace->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        // Only 8-bit coverage and one-bit images are read; the 2 and 4-bit grey and colour images
        // of some bitmap fonts have rows of other lengths and are skipped rather than misread.
        const bool oneBit = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
        const bool readable = oneBit || bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
        if (readable && bitmap.width > 0 && bitmap.rows > 0 && bitmap.buffer) {
            const int64_t left = pen + slot->bitmap_left;
            const int64_t top = int64_t(y) - slot->bitmap_top;
            if (left < raster->width && left + bitmap.width > 0 && top < raster->height
                && top + bitmap.rows > 0) {
                QV_PixelBuffer image;
                image.pixels = bitmap.buffer;
                image.width = int32_t(bitmap.width);
                image.height = int32_t(bitmap.rows);
                image.depth = 8;
                image.bytesPerPixel = 1;
                image.rowBytes = bitmap.pitch;
                BlitGlyph(int32_t(top), color, &image, raster, int32_t(left), oneBit);
            }
        }
        pen += slot->advance.x >> 6;
        previous = glyph;
        hasPrevious = true;
    }
}

void QV_Font::BlitGlyph(int32_t top, rgb_color color, const QV_PixelBuffer* glyph,
    const QV_PixelBuffer* raster, int32_t x, bool oneBit)
{
    if (!glyph || !raster || !glyph->pixels || !raster->pixels)
        return;
    const int32_t depth = raster->depth;
    if (depth != 8 && depth != 15 && depth != 16 && depth != 32)
        return;
    if (oneBit && depth != 32)
        return;
    if (top >= raster->height || x >= raster->width)
        return;
    const int64_t firstRow = std::max<int64_t>(0, -int64_t(top));
    const int64_t lastRow = std::min<int64_t>(glyph->height, int64_t(raster->height) - top);
    const int64_t firstColumn = std::max<int64_t>(0, -int64_t(x));
    const int64_t lastColumn = std::min<int64_t>(glyph->width, int64_t(raster->width) - x);
    if (firstRow >= lastRow || firstColumn >= lastColumn)
        return;
    if (!BlendTablesBuilt())
        BuildBlendTables();
    const SystemPalette* palette = depth == 8 ? &EnsureSystemPalette() : nullptr;
    const int32_t bytesPerPixel = depth == 8 ? 1 : depth == 32 ? 4 : 2;

    for (int64_t row = firstRow; row < lastRow; row++) {
        const uint8_t* coverage = glyph->pixels + row * glyph->rowBytes;
        uint8_t* target = raster->pixels + (top + row) * raster->rowBytes + (x + firstColumn) * bytesPerPixel;
        for (int64_t column = firstColumn; column < lastColumn; column++, target += bytesPerPixel) {
            int f;
            if (oneBit)
                f = (coverage[column / 8] >> (7 - column % 8)) & 1 ? 255 : 0;
            else
                f = coverage[column];
            if (f == 0)
                continue;
            switch (depth) {
            case 32:
                Blend32(target, f, color);
                break;
            case 16:
                Blend16(target, f, color);
                break;
            case 15:
                Blend15(target, f, color);
                break;
            default:
                Blend8(target, f, color, *palette);
                break;
            }
        }
    }
}
