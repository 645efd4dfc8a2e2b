#pragma once

#include <cstdint>

#include "qv_color.h"
#include "qv_raster.h"
#include "qv_vector.h"

// Builds the polygon records that the layer-space and two-colour gradient effects hand to the
// software rasteriser: corners in centred view units, with a colour (fractions) and a texture or
// parameter position each.
class RasterPolygonBuilder {
public:
    explicit RasterPolygonBuilder(uint8_t kind);

    void Add(const QV_Vector2& position, const QV_ColorVector& color, float u = 0.0f, float v = 0.0f);
    // Draws the corners added since the last draw (float walk) and starts a new polygon.
    void Draw(QV_Raster& raster);

    RasterPolygon fPolygon;
};
