#pragma once

#include <cstdint>

#include "qv_string.h"

class M_Mesh;
class QV_Font;
struct PathBuilder;
struct TextShapeState;
struct FT_Outline_;

// The installed TrueType fonts, found once per run: the files of the "FontDir" folder and the
// folders below it when that setting is made, else every font file of the system's font folders.
// Entries are sorted by path; only a collection's first face is listed.
void BuildFontList();
int32_t FontCount();
// Null past the end.
const char* FontFilePath(int32_t index);
// The font's family and style name, as the font list shows it.
const char* FontDisplayName(int32_t index);
// Forgets the list; the next build looks in the folder (null: the usual places).
void ResetFontList(const char* folder);

// The first listed font of that display name, opened; null when none. The caller deletes it.
QV_Font* OpenFontByName(const char* name);

// Progress of a long conversion: finished flag and fraction done.
using TextProgress = void (*)(bool finished, float fraction);

// The text's glyph outlines as filled shapes of the builder's mesh at its frame, in font units
// scaled by the builder (a 2048-unit em is half a document unit high). Without oneFill every
// glyph is its own shape; with centre the text's x range is centred on 0; line n sets the text
// n line heights lower. Nothing is added for an unknown font or text that is not UTF-8.
void BuildTextShapes(const char* text, const char* fontName, PathBuilder& builder, int32_t docHeight,
    bool oneFill, bool centre, int32_t line, TextProgress progress);

// One glyph's outline, in font units, into the builder: a closed subpath per contour of three
// or more points. Long runs of control points go to the builder in pieces of at most 64.
void AddGlyphOutline(PathBuilder& builder, const FT_Outline_& outline);

// The same for a script's insertion, into the state's mesh at its frame.
void ScriptBuildTextShapes(const char* text, const char* family, int32_t docHeight, bool oneFill, bool centered,
    int32_t line, TextShapeState& state);
// A font of the family at a pixel size for scripts; null when none opens.
QV_Font* ScriptOpenFontByName(const char* family, int32_t pixelSize);

// A filled shape (outline off) from the selected edges of the mesh at the frame, in the style of
// new shapes; null when the selection encloses nothing.
bool BuildFilledShapeFromSelection(M_Mesh* mesh, int32_t frame, int32_t docHeight);
