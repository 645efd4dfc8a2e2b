#include "qv_font_library.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

FT_Library gFontLibrary = nullptr;

} // namespace

bool StartFontLibrary()
{
    if (gFontLibrary)
        return true;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return false;
    gFontLibrary = library;
    return true;
}

void StopFontLibrary()
{
    if (!gFontLibrary)
        return;
    FT_Done_FreeType(gFontLibrary);
    gFontLibrary = nullptr;
}

FT_LibraryRec_* FontLibrary()
{
    return gFontLibrary;
}
