#include "meshlayer_draw_colors.h"

#include "model_prefs.h"

rgb_color EditorColObj()
{
    return ModelPrefColor("VornColObj", rgb_color { 51, 102, 102, 255 });
}

rgb_color EditorColSel()
{
    return ModelPrefColor("VornColSel", rgb_color { 255, 0, 0, 255 });
}

rgb_color EditorColInac()
{
    return ModelPrefColor("VornColInac", rgb_color { 203, 152, 152, 255 });
}
