#include "layer_grid.h"

#include <cstring>

#include "raster_blit.h"
#include "raster_fill.h"
#include "raster_geometry.h"
#include "raster_polygon_builder.h"
#include "style_document.h"
#include "style_layer.h"
#include "xgraphics.h"

SavedTransform::SavedTransform(QV_Graphics& graphics)
    : fGraphics(graphics)
    , fDepth(graphics.fMatrixDepth)
    , fMatrix(graphics.CurrentTransform())
{
    graphics.Push();
}

SavedTransform::~SavedTransform()
{
    fGraphics.fMatrixDepth = fDepth;
    fGraphics.fMatrices[fDepth] = fMatrix;
}

bool IsBoneTool(const char* toolName)
{
    if (!toolName)
        return false;
    return std::strcmp(toolName, "QV_ManipulateBones") == 0 || std::strcmp(toolName, "QV_OffsetBone") == 0
        || std::strcmp(toolName, "QV_BoneStrength") == 0;
}

LayerPointMapper::LayerPointMapper(
    XGraphics& graphics, StyleDocument* doc, StyleLayer* layer, bool singleBoneToo)
    : fGraphics(graphics)
    , fLayer(layer)
    , fDeform(false)
{
    if (!layer)
        return;
    const int32_t frame = doc ? doc->CurrentFrame() : 0;
    layer->GetLayerTransform(frame, fLayerTransform);
    const int32_t parentType = layer->ParentLayerType();
    const bool boneParent = parentType == 4 || parentType == 5;
    const bool wholeLayer = singleBoneToo || layer->ParentBone() == -1;
    const bool shown = frame != 0 || (doc && IsBoneTool(doc->CurrentToolName()));
    fDeform = boneParent && wholeLayer && shown;
    if (fDeform) {
        fInverse = fLayerTransform;
        fInverse.Invert();
    }
}

bool LayerPointMapper::Map(QV_Vector2 point, QV_Vector2& out) const
{
    if (fDeform) {
        fLayerTransform.Transform(point);
        fLayer->TransformByParentSkeleton(point);
        fInverse.Transform(point);
    }
    QV_Point pixel;
    if (!fGraphics.WorldToScreen(point, pixel))
        return false;
    const float halfWidth = static_cast<float>(fGraphics.fTarget.width) * 0.5f;
    const float halfHeight = static_cast<float>(fGraphics.fTarget.height) * 0.5f;
    out.x = (static_cast<float>(pixel.x) - halfWidth) / halfHeight;
    out.y = (halfHeight - static_cast<float>(pixel.y)) / halfHeight;
    return true;
}

void StartGridWorkArea(
    const QV_Rect& rect, QV_PixelBuffer& target, const QV_PixelBuffer& workArea, bool finalRender)
{
    if (finalRender) {
        QV_PixelBuffer shapeArea;
        if (MakeSubRaster(rect, target, shapeArea) == 0)
            BlitRaster(shapeArea, workArea, 0, 0);
    } else {
        FillRaster(workArea, rgb_color { 0, 0, 0, 0 });
    }
}

void FinishGridWorkArea(
    const QV_Rect& rect, QV_PixelBuffer& target, const QV_PixelBuffer& workArea, bool finalRender)
{
    QV_PixelBuffer shapeArea;
    if (MakeSubRaster(rect, target, shapeArea) != 0)
        return;
    QV_PixelBuffer source = workArea;
    if (finalRender)
        BlitRasterAlpha(source, shapeArea, 0, 0, false);
    else
        BlitRasterAtop(source, shapeArea, 0, 0);
}

void DrawTextureTriangle(QV_Raster& raster, const TextureCorner& a, const TextureCorner& b, const TextureCorner& c)
{
    RasterPolygonBuilder polygon(kRasterTextureFiltered);
    for (const TextureCorner* p : { &a, &b, &c })
        polygon.Add(p->position, QV_ColorVector {}, p->texel.x, p->texel.y);
    polygon.Draw(raster);
}

void LayerGridCells(const QV_Rect& rect, bool finalRender, int32_t& across, int32_t& down)
{
    const int64_t width = int64_t(rect.right) - rect.left + 1;
    const int64_t height = int64_t(rect.bottom) - rect.top + 1;
    const int64_t cell = finalRender ? 6 : 16;
    const int64_t cap = finalRender ? 500 : 100;
    auto cells = [&](int64_t extent) {
        const int64_t n = extent / cell;
        return static_cast<int32_t>(n < 1 ? 1 : n > cap ? cap : n);
    };
    across = cells(width);
    down = cells(height);
}

LayerGridArea::LayerGridArea(const QV_BBox& bounds, float widen)
    : centre { (bounds.min.x + bounds.max.x) / 2.0f, (bounds.min.y + bounds.max.y) / 2.0f }
    , width((bounds.max.x - bounds.min.x) * widen)
    , height((bounds.max.y - bounds.min.y) * widen)
{
}

QV_Vector2 LayerGridArea::At(float u, float v) const
{
    return QV_Vector2 { centre.x - width / 2.0f + u * width, centre.y + height / 2.0f - v * height };
}
