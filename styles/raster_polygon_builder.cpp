#include "raster_polygon_builder.h"

#include <cstring>

RasterPolygonBuilder::RasterPolygonBuilder(uint8_t kind)
{
    std::memset(&fPolygon, 0, sizeof fPolygon);
    fPolygon.kind = kind;
}

void RasterPolygonBuilder::Add(const QV_Vector2& position, const QV_ColorVector& color, float u, float v)
{
    if (fPolygon.count >= RasterPolygon::kMaxVertices)
        return;
    RasterVertex& vertex = fPolygon.vertices[fPolygon.count++];
    std::memset(&vertex, 0, sizeof vertex);
    vertex.x = position.x;
    vertex.y = position.y;
    vertex.u = u;
    vertex.v = v;
    vertex.r = color.r;
    vertex.g = color.g;
    vertex.b = color.b;
    vertex.a = color.a;
}

void RasterPolygonBuilder::Draw(QV_Raster& raster)
{
    if (fPolygon.count >= 3)
        raster.DrawPolygonFloat(fPolygon);
    fPolygon.count = 0;
}
