#pragma once

#include <cstdint>

#include "qv_color.h"
#include "qv_locker.h"
#include "qv_pixelbuffer.h"
#include "qv_string.h"

struct FT_FaceRec_;

// The one font type of the program: either one of the six bitmap fonts built into it or a face
// opened with FreeType. Both measure and draw UTF-8 text into 8, 15, 16 and 32-bit rasters with
// anti-aliased coverage.
//
// The interface thread and render threads draw with the same font objects, and every glyph load
// rewrites the face's one glyph slot, so every FreeType call on a face runs under the font's own
// lock. Bitmap fonts are immutable and take no lock.
class QV_Font {
public:
    static constexpr int32_t kBitmapFont = 1;
    static constexpr int32_t kFaceFont = 2;

    // A bitmap font over the static tables of the set (0 to 5; any other set gives 0). Sets 0 to 2
    // are the small interface fonts, 3 to 5 their large counterparts. Never fails.
    static QV_Font* CreateBuiltIn(int32_t set);

    // Opens face `faceIndex` of a font file (the path goes to FreeType unchanged) and sizes it to
    // 12 pixels. Null when FreeType cannot open it, for a negative face index, and while the font
    // library is not running.
    static QV_Font* OpenFace(const char* path, int32_t faceIndex);

    ~QV_Font();

    // Faces only: the size in points at 96 dpi, or in pixels.
    void SetSize(int32_t points);
    void SetPixelSize(int32_t pixels);

    // Pixels from the top of a line to the baseline, and from line to line.
    int32_t Ascent() const;
    int32_t LineHeight() const;

    // Advance width in pixels, with the face's kerning. Bitmap fonts measure bytes (a TAB is four
    // spaces); faces measure code points, and invalid UTF-8 measures 0. Texts of any length are
    // measured whole.
    int32_t StringWidth(const char* text) const;

    // "Bitmap Font", a face's family and style name, or "<Unknown Font>".
    QV_String Name() const;

    // Draws the text with its baseline at y, the pen starting at x. The colour's alpha is not used:
    // coverage alone decides how much of the colour reaches each pixel.
    void DrawString(
        rgb_color color, const QV_PixelBuffer* raster, const char* text, int32_t x, int32_t y) const;

    // Blends one 8-bit coverage image (or a one-bit image, drawn on 32-bit rasters only) into the
    // raster with its top-left corner at (x, top), clipped to the raster. 24-bit rasters are not
    // drawn on.
    static void BlitGlyph(int32_t top, rgb_color color, const QV_PixelBuffer* glyph,
        const QV_PixelBuffer* raster, int32_t x, bool oneBit);

    int32_t fKind;
    // Set when the tables and strip belong to this font; the built-in sets point at static data.
    bool fOwnsTables;
    int32_t fStripWidth;
    int32_t fLineHeight;
    int32_t fAscent;
    const int32_t* fGlyphOffset;
    const int32_t* fGlyphWidth;
    const int32_t* fAdvance;
    const int32_t* fLeftBearing;
    const uint8_t* fStrip;
    FT_FaceRec_* fFace;
    QV_Locker fLock;

private:
    explicit QV_Font(int32_t kind);
    QV_Font(const QV_Font&) = delete;
    QV_Font& operator=(const QV_Font&) = delete;

    int32_t BitmapStringWidth(const char* text) const;
    void DrawBitmapString(
        rgb_color color, const QV_PixelBuffer* raster, const char* text, int32_t x, int32_t y) const;
    int32_t FaceStringWidth(const char* text) const;
    // A vertical metric in pixels: bitmapValue for a bitmap font, else the face's line height
    // or ascent at its current size.
    int32_t VerticalMetric(int32_t bitmapValue, bool lineHeight) const;
    void DrawFaceString(
        rgb_color color, const QV_PixelBuffer* raster, const char* text, int32_t x, int32_t y) const;
};

// Destroys and frees a font; null is allowed.
void DeleteFont(QV_Font* font);
