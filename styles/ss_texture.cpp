#include "ss_texture.h"

#include "layer_grid.h"
#include "qv_raster.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "raster_scale.h"
#include "style_units.h"
#include "xgraphics.h"

SS_Texture::SS_Texture() = default;

SS_Texture::~SS_Texture() = default;

int32_t SS_Texture::StyleType()
{
    return 6;
}

bool SS_Texture::ReadRecord(QV_IoStream* stream)
{
    return fSource.ReadRecord(stream);
}

void SS_Texture::WriteRecord(QV_IoStream* stream)
{
    fSource.WriteRecord(stream);
}

void SS_Texture::Apply(QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument*, float)
{
    if (!IsEffectRaster(image) || !fSource.Load())
        return;
    QV_PixelBuffer texture = fSource.fImage.buffer;
    if (fSource.fFillMode == 0) {
        TileRasterAlpha(texture, *image, 0);
        return;
    }
    if (!IsEffectRaster(work))
        return;
    // Outside the rectangle the work buffer holds nothing of this shape.
    FillRaster(*work, rgb_color { 0, 0, 0, 0 });
    BlitRasterScaled(
        texture, *work, rect.left, rect.top, rect.right - rect.left + 1, rect.bottom - rect.top + 1);
    BlitRasterAlpha(*work, *image, 0, 0, false);
}

void SS_Texture::ApplyInLayer(XGraphics* graphics, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox bounds,
    QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape* shape,
    int32_t finalRender)
{
    if (!layer) {
        M_ShapeStyle::ApplyInLayer(
            graphics, shapeImage, rect, bounds, work, doc, layer, scale, shape, finalRender);
        return;
    }
    if (!graphics || !IsEffectRaster(&graphics->fTarget) || !IsEffectRaster(work) || !fSource.Load())
        return;
    QV_PixelBuffer target = graphics->fTarget;
    // The grid is drawn at the target's own positions: the part of the work buffer over the
    // target, which a larger buffer (the editor's scratch) holds too.
    QV_PixelBuffer workArea;
    if (!WorkAreaAt(RasterBounds(target), target, *work, workArea))
        return;
    const QV_PixelBuffer& texture = fSource.fImage.buffer;
    const bool tile = fSource.fFillMode == 0;
    const LayerGridArea area(bounds, 1.0499999523162842f);
    // The context already holds the layer's transform while the layer renders: the grid is
    // projected through it as it is, like the placed texture and the multi-stop gradient.
    const SavedTransform saved(*graphics);
    const LayerPointMapper mapper(*graphics, doc, layer, true);

    // A tile spans the image's pixels scaled by the target height less 128; targets that small
    // would divide by zero or flip the image, so the divisor stays at least 1.
    const float divisor = target.height - 128 > 1 ? static_cast<float>(target.height - 128) : 1.0f;
    const float tileWidth = 2.0f * static_cast<float>(texture.width) / divisor;
    const float tileHeight = 2.0f * static_cast<float>(texture.height) / divisor;

    FillRaster(workArea, rgb_color { 0, 0, 0, 0 });
    QV_Raster raster;
    raster.SetRaster(workArea, nullptr);
    raster.SetTexture(&texture);
    raster.fWrap = tile;

    auto corner = [&](float u, float v, TextureCorner& out) {
        const QV_Vector2 point = area.At(u, v);
        if (tile)
            out.texel = QV_Vector2 { point.x / tileWidth + 0.5f, -point.y / tileHeight + 0.5f };
        else
            out.texel = QV_Vector2 { u, v };
        return mapper.Map(point, out.position);
    };
    auto triangle = [&](const TextureCorner& a, const TextureCorner& b, const TextureCorner& c,
                        const TextureCorner*) { DrawTextureTriangle(raster, a, b, c); };
    WalkGridCells<TextureCorner>(0.025f, 0.025f, corner, triangle);
    BlitRasterAlpha(workArea, target, 0, 0, false);
}
