#include "ss_texture2.h"

#include <cmath>

#include "layer_grid.h"
#include "m_shape.h"
#include "qv_raster.h"
#include "raster_fill.h"
#include "style_units.h"
#include "xgraphics.h"

namespace {

// Handles closer than this give the image no size.
constexpr float kShortestHandle = 1e-6f;

} // namespace

SS_Texture2::SS_Texture2() = default;

SS_Texture2::~SS_Texture2() = default;

int32_t SS_Texture2::StyleType()
{
    return 10;
}

bool SS_Texture2::ReadRecord(QV_IoStream* stream)
{
    return fSource.ReadRecord(stream);
}

void SS_Texture2::WriteRecord(QV_IoStream* stream)
{
    fSource.WriteRecord(stream);
}

void SS_Texture2::ApplyInLayer(XGraphics* graphics, QV_PixelBuffer*, QV_Rect rect, QV_BBox bounds,
    QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float, M_Shape* shape, int32_t finalRender)
{
    if (!fSource.Load())
        return;
    if (!graphics || !IsEffectRaster(&graphics->fTarget) || !IsEffectRaster(work))
        return;
    QV_PixelBuffer target = graphics->fTarget;
    // Work pixels stand for the target pixels at the same places, so a larger buffer (the
    // editor's scratch) serves as well. The rasteriser centres its units on the raster it draws
    // into: it gets the work pixels over the whole target.
    QV_PixelBuffer workTarget;
    QV_PixelBuffer workArea;
    if (!WorkAreaAt(RasterBounds(target), target, *work, workTarget) || !WorkAreaAt(rect, target, *work, workArea))
        return;

    const LayerGridArea area(bounds, 1.149999976158142f);
    QV_Vector2 h1 = area.centre;
    QV_Vector2 h2 { area.centre.x, bounds.max.y };
    if (shape) {
        h1 = shape->EffectHandle1();
        h2 = shape->EffectHandle2();
    }
    QV_Vector2 e { h2.x - h1.x, h2.y - h1.y };
    const float length = std::sqrt(e.x * e.x + e.y * e.y);
    if (!(length >= kShortestHandle) || !std::isfinite(length))
        return;
    e.x /= length;
    e.y /= length;
    const QV_BaseImage& image = fSource.fImage;
    const float aspect = static_cast<float>(image.buffer.width) / static_cast<float>(image.buffer.height);
    const float imageHeight = 2.25f * length;
    const float imageWidth = imageHeight * aspect;

    const SavedTransform saved(*graphics);
    const LayerPointMapper mapper(*graphics, doc, layer, false);
    StartGridWorkArea(rect, target, workArea, finalRender != 0);
    QV_Raster raster;
    raster.SetRaster(workTarget, nullptr);
    raster.SetTexture(&image.buffer);
    raster.fWrap = fSource.fFillMode == 0;

    int32_t across;
    int32_t down;
    LayerGridCells(rect, finalRender != 0, across, down);
    auto corner = [&](float u, float v, TextureCorner& out) {
        const QV_Vector2 point = area.At(u, v);
        const QV_Vector2 q { point.x - h1.x, point.y - h1.y };
        out.texel = QV_Vector2 { 0.5f + (e.y * q.x - e.x * q.y) / imageWidth,
            0.5f - (e.x * q.x + e.y * q.y) / imageHeight };
        return mapper.Map(point, out.position);
    };
    auto triangle = [&](const TextureCorner& a, const TextureCorner& b, const TextureCorner& c,
                        const TextureCorner*) { DrawTextureTriangle(raster, a, b, c); };
    WalkGridCells<TextureCorner>(
        1.0f / static_cast<float>(across), 1.0f / static_cast<float>(down), corner, triangle);
    FinishGridWorkArea(rect, target, workArea, finalRender != 0);
}

bool SS_Texture2::IsPositionDependent()
{
    return true;
}

bool SS_Texture2::HasHandle()
{
    return true;
}
