// The note layer's fields, its text and its frame update.

#include "notelayer.h"

#include "interface_fonts.h"
#include "qv_font.h"

namespace {

// The built-in set behind the application's second interface font.
constexpr int32_t kNoteFontSet = 1;

} // namespace

NoteLayer::NoteLayer()
    : fNoteText("Empty note.")
{
    // Notes are for the people editing the scene, not for the audience.
    fEditOnly = true;
}

NoteLayer::~NoteLayer() = default;

int32_t NoteLayer::LayerType()
{
    return LT_NOTE;
}

void NoteLayer::SetCurFrame(int32_t frame)
{
    VornLayer::SetCurFrame(frame);
    RunLayerScript();
}

void NoteLayer::SetNoteText(const char* text)
{
    fNoteText = text ? text : "";
    fNoteText.RemoveChar('"');
}

QV_Font* NoteLayer::NoteFont()
{
    if (gMenuFont)
        return gMenuFont;
    // Made once and kept for the process: render threads may measure with it at any time.
    static QV_Font* const fallback = QV_Font::CreateBuiltIn(kNoteFontSet);
    return fallback;
}
