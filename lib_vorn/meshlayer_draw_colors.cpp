#include "meshlayer_draw_colors.h"

namespace {

const EditorColorSource* gColorSource = nullptr;

} // namespace

EditorColorSource::~EditorColorSource() = default;

void SetEditorColorSource(const EditorColorSource* source)
{
    gColorSource = source;
}

rgb_color EditorColor(const char* key, rgb_color fallback)
{
    rgb_color value;
    if (gColorSource && gColorSource->GetColor(key, value))
        return value;
    return fallback;
}

rgb_color EditorColObj()
{
    return EditorColor("VornColObj", rgb_color { 51, 102, 102, 255 });
}

rgb_color EditorColSel()
{
    return EditorColor("VornColSel", rgb_color { 255, 0, 0, 255 });
}

rgb_color EditorColInac()
{
    return EditorColor("VornColInac", rgb_color { 203, 152, 152, 255 });
}
