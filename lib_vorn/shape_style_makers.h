#pragma once

#include "qv_color.h"

class M_ShapeStyle;

// Beside CreateShapeStyle (m_shapestyle.h), which makes an effect of its defaults from a type id,
// the style record's soft edge and shading operations make their effects from values. The effect
// kinds live above the model, so they install their makers here at start-up; until then both
// makers answer null.
using SoftEdgeMaker = M_ShapeStyle* (*)(float radius);
using ShadingMaker = M_ShapeStyle* (*)(float angle, float offset, float blur, rgb_color color);
void SetShapeStyleValueMakers(SoftEdgeMaker softEdge, ShadingMaker shading);

// A soft edge effect whose radius (a fraction of the document height) is keyed at frame 0; owned
// by the caller, or null.
M_ShapeStyle* CreateSoftEdgeStyle(float radius);
// A shaded effect whose light angle (radians), offset and blur (fractions of the document height)
// and shadow colour are keyed at frame 0, not shadow-only; owned by the caller, or null.
M_ShapeStyle* CreateShadingStyle(float angle, float offset, float blur, rgb_color color);
