// Generates graphics/qv_builtin_fonts_data.cpp, the glyph tables of the six built-in bitmap fonts,
// from the DejaVu faces of the fonts-dejavu-core package. Not part of the normal build:
//
//   cmake --build <build dir> --target gen_bitmap_fonts
//   <build dir>/graphics/gen_bitmap_fonts /usr/share/fonts/truetype/dejavu graphics/qv_builtin_fonts_data.cpp
//
// The interface lays out its texts with these metrics, so they are fixed here rather than taken from
// whatever the face gives at the chosen size: line height, ascent, strip width, the advances listed
// in `kSets`, the hollow box of the control and C1 byte values, and a no-break space as wide as a
// space. Everything else (glyph shapes, the remaining advances and bearings) comes from FreeType.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct ForcedAdvance {
    int code;
    int advance;
};

struct SetDesign {
    const char* file;
    int size26_6; // pixel size in 1/64 pixel
    FT_Int32 loadFlags;
    int stripWidth;
    int lineHeight;
    int ascent;
    int boxWidth;
    int boxAdvance;
    std::vector<ForcedAdvance> forced;
};

// Sets 0 to 2 are the small interface fonts (regular, bold, slanted); 3 to 5 their large
// counterparts. The sizes and hinting modes were picked so that most listed advances come out of
// the face by themselves; the rest are forced.
const SetDesign kSets[6] = {
    { "DejaVuSans.ttf", 11 * 64, FT_LOAD_DEFAULT, 1522, 15, 11, 8, 11,
        { { ' ', 4 }, { 'A', 8 }, { '0', 7 }, { 'i', 3 }, { 'W', 11 }, { '.', 4 } } },
    { "DejaVuSans-Bold.ttf", 11 * 64, FT_LOAD_DEFAULT, 1689, 15, 11, 8, 11,
        { { ' ', 4 }, { 'A', 9 }, { '0', 8 }, { 'i', 4 }, { 'W', 12 }, { '.', 4 } } },
    { "DejaVuSans-Oblique.ttf", 11 * 64, FT_LOAD_DEFAULT, 1768, 15, 11, 8, 11,
        { { ' ', 4 }, { 'A', 8 }, { '0', 7 }, { 'i', 3 }, { 'W', 11 }, { '.', 4 } } },
    { "DejaVuSans.ttf", 13 * 64, FT_LOAD_DEFAULT, 1820, 18, 13, 10, 13,
        { { ' ', 5 }, { 'A', 9 }, { '0', 8 }, { 'i', 3 }, { 'W', 13 }, { '.', 5 } } },
    { "DejaVuSans-Bold.ttf", 12 * 64 + 32, FT_LOAD_TARGET_LIGHT, 2011, 18, 13, 10, 13,
        { { ' ', 4 }, { 'A', 10 }, { '0', 9 }, { 'i', 4 }, { 'W', 14 }, { '.', 5 } } },
    { "DejaVuSans-Oblique.ttf", 12 * 64, FT_LOAD_DEFAULT, 2048, 18, 13, 10, 13,
        { { ' ', 5 }, { 'A', 8 }, { '0', 8 }, { 'i', 3 }, { 'W', 12 }, { '.', 5 } } },
};

struct Glyph {
    int width = 0;
    int advance = 0;
    int leftBearing = 0;
    std::vector<uint8_t> columns; // lineHeight bytes per column, column after column
};

struct BuiltSet {
    int offset[256];
    int width[256];
    int advance[256];
    int leftBearing[256];
    std::vector<uint8_t> strip; // row after row
};

bool IsBoxCode(int c)
{
    return c < 32 || c == 127 || (c >= 128 && c < 160);
}

Glyph MakeBox(const SetDesign& design)
{
    // An outline from two rows below the line's top to the baseline.
    Glyph g;
    g.width = design.boxWidth;
    g.advance = design.boxAdvance;
    g.leftBearing = (design.boxAdvance - design.boxWidth) / 2;
    g.columns.assign(size_t(g.width) * design.lineHeight, 0);
    const int top = 2;
    const int bottom = design.ascent - 1;
    for (int x = 0; x < g.width; x++) {
        for (int y = top; y <= bottom; y++) {
            if (x == 0 || x == g.width - 1 || y == top || y == bottom)
                g.columns[size_t(x) * design.lineHeight + y] = 255;
        }
    }
    return g;
}

// Renders one character and crops it to its inked columns. Rows outside the line are cut off and
// counted in `clippedInk` so that the generator can report them.
bool RenderGlyph(FT_Face face, const SetDesign& design, int code, Glyph& g, long& clippedInk)
{
    if (FT_Load_Char(face, FT_ULong(code), design.loadFlags | FT_LOAD_RENDER) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.rows != 0) {
        fprintf(stderr, "glyph %d: unexpected pixel mode %d\n", code, bm.pixel_mode);
        return false;
    }
    g.advance = int((slot->advance.x + 32) >> 6);
    const int w = int(bm.width);
    std::vector<uint8_t> full(size_t(w) * design.lineHeight, 0);
    for (int r = 0; r < int(bm.rows); r++) {
        const int y = design.ascent - slot->bitmap_top + r;
        const uint8_t* src = bm.buffer + long(r) * bm.pitch;
        for (int x = 0; x < w; x++) {
            if (y < 0 || y >= design.lineHeight) {
                clippedInk += src[x];
                continue;
            }
            full[size_t(x) * design.lineHeight + y] = src[x];
        }
    }
    int first = w;
    int last = -1;
    for (int x = 0; x < w; x++) {
        for (int y = 0; y < design.lineHeight; y++) {
            if (full[size_t(x) * design.lineHeight + y] != 0) {
                first = std::min(first, x);
                last = x;
            }
        }
    }
    if (last < 0) {
        g.width = 0;
        g.leftBearing = 0;
        return true;
    }
    g.width = last - first + 1;
    g.leftBearing = slot->bitmap_left + first;
    g.columns.assign(
        full.begin() + long(first) * design.lineHeight, full.begin() + long(last + 1) * design.lineHeight);
    return true;
}

bool BuildSet(FT_Library library, const std::string& folder, const SetDesign& design, BuiltSet& out)
{
    FT_Face face = nullptr;
    const std::string path = folder + "/" + design.file;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        fprintf(stderr, "cannot open %s\n", path.c_str());
        return false;
    }
    FT_Set_Char_Size(face, 0, design.size26_6, 72, 72);

    Glyph glyphs[256];
    const Glyph box = MakeBox(design);
    long clippedInk = 0;
    for (int c = 0; c < 256; c++) {
        if (IsBoxCode(c))
            continue;
        long clipped = 0;
        if (!RenderGlyph(face, design, c, glyphs[c], clipped)) {
            fprintf(stderr, "%s: glyph %d failed\n", design.file, c);
            FT_Done_Face(face);
            return false;
        }
        if (clipped > 0)
            fprintf(stderr, "  %s %d: %ld coverage clipped at the line's edges\n", design.file, c, clipped);
        clippedInk += clipped;
    }
    FT_Done_Face(face);

    for (const ForcedAdvance& f : design.forced) {
        if (glyphs[f.code].advance != f.advance)
            fprintf(stderr, "  %s: advance of %d forced from %d to %d\n", design.file, f.code,
                glyphs[f.code].advance, f.advance);
        glyphs[f.code].advance = f.advance;
    }
    glyphs[160] = glyphs[' '];

    // One image of the box serves all its byte values; every other glyph gets its own columns.
    std::vector<uint8_t> columns;
    int boxOffset = -1;
    int used = 0;
    for (int c = 0; c < 256; c++) {
        const Glyph& g = IsBoxCode(c) ? box : glyphs[c];
        if (IsBoxCode(c) && boxOffset >= 0) {
            out.offset[c] = boxOffset;
        } else {
            out.offset[c] = used;
            if (IsBoxCode(c))
                boxOffset = used;
            columns.insert(columns.end(), g.columns.begin(), g.columns.end());
            used += g.width;
        }
        out.width[c] = g.width;
        out.advance[c] = g.advance;
        out.leftBearing[c] = g.leftBearing;
    }
    if (used > design.stripWidth) {
        fprintf(
            stderr, "%s: glyphs need %d columns, the strip has %d\n", design.file, used, design.stripWidth);
        return false;
    }
    fprintf(stderr, "%s at %.2f px: %d of %d columns used\n", design.file, design.size26_6 / 64.0, used,
        design.stripWidth);

    out.strip.assign(size_t(design.stripWidth) * design.lineHeight, 0);
    for (int x = 0; x < used; x++) {
        for (int y = 0; y < design.lineHeight; y++)
            out.strip[size_t(y) * design.stripWidth + x] = columns[size_t(x) * design.lineHeight + y];
    }
    return true;
}

void WriteIntTable(FILE* f, const char* name, int set, const int* values)
{
    fprintf(f, "const int32_t k%s%d[256] = {\n", name, set);
    for (int i = 0; i < 256; i += 16) {
        fprintf(f, "   ");
        for (int j = i; j < i + 16; j++)
            fprintf(f, " %d,", values[j]);
        fprintf(f, "\n");
    }
    fprintf(f, "};\n\n");
}

void WriteSet(FILE* f, int set, const SetDesign& design, const BuiltSet& built)
{
    WriteIntTable(f, "GlyphOffset", set, built.offset);
    WriteIntTable(f, "GlyphWidth", set, built.width);
    WriteIntTable(f, "Advance", set, built.advance);
    WriteIntTable(f, "LeftBearing", set, built.leftBearing);
    fprintf(f, "const uint8_t kStrip%d[%d * %d] = {\n", set, design.stripWidth, design.lineHeight);
    std::string line;
    for (size_t i = 0; i < built.strip.size(); i++) {
        std::string value = std::to_string(built.strip[i]) + ",";
        if (line.size() + value.size() > 100) {
            fprintf(f, "%s\n", line.c_str());
            line.clear();
        }
        line += value;
    }
    if (!line.empty())
        fprintf(f, "%s\n", line.c_str());
    fprintf(f, "};\n\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s <DejaVu font folder> <output .cpp>\n", argv[0]);
        return 2;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        fprintf(stderr, "FreeType failed to start\n");
        return 1;
    }
    static BuiltSet built[6];
    for (int s = 0; s < 6; s++) {
        if (!BuildSet(library, argv[1], kSets[s], built[s])) {
            FT_Done_FreeType(library);
            return 1;
        }
    }
    FT_Done_FreeType(library);

    FILE* f = fopen(argv[2], "wb");
    if (!f) {
        fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    fprintf(f,
        "// Generated by tools/gen_bitmap_fonts.cpp from the DejaVu fonts (fonts-dejavu-core). Do not edit.\n"
        "// clang-format off\n\n"
        "#include \"qv_builtin_fonts.h\"\n\n"
        "namespace {\n\n");
    for (int s = 0; s < 6; s++) {
        fprintf(f, "// Set %d: %s at %.2f pixels.\n\n", s, kSets[s].file, kSets[s].size26_6 / 64.0);
        WriteSet(f, s, kSets[s], built[s]);
    }
    fprintf(f, "} // namespace\n\nconst QV_BuiltInFontSet kBuiltInFontSets[kBuiltInFontSetCount] = {\n");
    for (int s = 0; s < 6; s++) {
        fprintf(f,
            "    { %d, %d, %d, kGlyphOffset%d, kGlyphWidth%d, kAdvance%d, kLeftBearing%d, kStrip%d },\n",
            kSets[s].stripWidth, kSets[s].lineHeight, kSets[s].ascent, s, s, s, s, s);
    }
    fprintf(f, "};\n");
    if (fclose(f) != 0) {
        fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
