#pragma once

#include "m_style.h"
#include "qv_color.h"

// Defines the fill colour, line colour and line width (a fraction of the document height) in a
// shape's own style, so that they win over the shared styles.
inline void DefineOwnStyle(M_Style& style, rgb_color fill, rgb_color line, float lineWidth)
{
    style.fDefineFillCol = true;
    style.fFillCol.SetValue(0, fill);
    style.fDefineLineCol = true;
    style.fLineCol.SetValue(0, line);
    style.fDefineLineWidth = true;
    style.fLineWidth = lineWidth;
}
