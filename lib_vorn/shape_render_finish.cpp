// The coverage-mask side of a shape render: which pixels of the drawing raster a pass must find
// clear, and the finishing of each pass (colour, effects, opacity, texture, composite) within the
// pixel rectangle of what it drew.
#include "shape_render.h"

#include <algorithm>
#include <cmath>

#include "alpha_mask.h"
#include "coverage_composite.h"
#include "image_file.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "m_style.h"
#include "meshlayer.h"
#include "qv_random.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "raster_rows.h"
#include "render_settings.h"
#include "shape_edges.h"
#include "style_adapters.h"
#include "xgraphics.h"

namespace {

// Without effects a pass is finished this many pixels around what it drew.
constexpr float kPlainPixelMargin = 4;
// Slack of the predicted extent for what the pen, anti-aliasing, gap filling and seams add.
constexpr float kRegionSlack = 8;

// NaN counts as 0.
int32_t TruncatePixel(float v)
{
    return v != v ? 0 : static_cast<int32_t>(std::clamp(v, -2e9f, 2e9f));
}

bool IsLayerSpaceKind(int32_t type)
{
    // The layer-space gradient and image texture.
    return type == 9 || type == 10;
}

// Colour of the pass with the mask's red as alpha.
void ColourMask(const QV_PixelBuffer& pixels, rgb_color color)
{
    for (int32_t y = 0; y < pixels.height; y++) {
        uint8_t* p = RasterPixel(pixels, 0, y);
        for (int32_t x = 0; x < pixels.width; x++, p += 4) {
            p[kAlpha] = p[kRed];
            p[kBlue] = color.b;
            p[kGreen] = color.g;
            p[kRed] = color.r;
        }
    }
}

// The file's red channel as an 8-bit texture; left empty when the file cannot be read, so the
// next use tries again.
void LoadTexture(const QV_Path& path, QV_BaseImage& texture)
{
    QV_BaseImage image;
    if (LoadImageFile(path.CString(), image, 0) != 0 || !image.buffer.pixels || image.buffer.depth != 32)
        return;
    const QV_PixelBuffer& source = image.buffer;
    if (texture.Allocate(source.width, source.height, 8) != 0)
        return;
    const QV_PixelBuffer& out = texture.buffer;
    for (int32_t y = 0; y < source.height; y++) {
        const uint8_t* s = RasterPixel(source, 0, y);
        uint8_t* d = RasterPixel(out, 0, y);
        for (int32_t x = 0; x < source.width; x++)
            d[x] = s[x * 4 + kRed];
    }
}

} // namespace

DirectFillComposite::DirectFillComposite(const QV_PixelBuffer& target, int32_t offset, rgb_color colour)
    : fTarget(target)
    , fOffset(offset)
    , fRun(colour, true)
{
}

void DirectFillComposite::Covers(int32_t x, int32_t y, int32_t count, const uint8_t* covers)
{
    const int32_t row = y - fOffset;
    int32_t column = x - fOffset;
    if (row < 0 || row >= fTarget.height)
        return;
    if (column < 0) {
        count += column;
        covers -= column;
        column = 0;
    }
    if (column + count > fTarget.width)
        count = fTarget.width - column;
    if (count > 0)
        fRun.Run(covers, count, RasterPixel(fTarget, column, row));
}

// A fill pass that would be drawn as one smooth shape into a clear mask and composited plainly
// (opaque colour, no effect or texture, no seam strokes or gap filling drawn with it, no part
// behind the eye) is composited as it is rasterised: the same pixels without the mask.
bool ShapeRenderer::FillGoesDirect()
{
    if (!fHasFill || !fRegionValid || !fG->fAntialias || fG->fFillMode != QV_Graphics::kFillPlain
        || fG->fTarget.depth != 32 || fTarget->bytesPerPixel != 4 || fG->fTarget.pixels == fTarget->pixels
        || fLayer->fGapFilling)
        return false;
    if (fStyle.fFillColor.a != 255 || PassEffects(true, nullptr) > 0 || (fEffects && !fLayer->fFillTexture.IsEmpty()))
        return false;
    return fIndex >= fLayer->fMesh.fNumShapes - 1 || StrokeSeams(false) == 0;
}

// An outline pass that would be drawn as smooth strokes into a clear mask and composited plainly
// (opaque colour, no effect, brush or texture, no part behind the eye) gathers its strokes' coverage
// apart and composites it at once: the same pixels without the drawing raster.
bool ShapeRenderer::OutlineGoesDirect()
{
    if (!fHasLine || !fRegionValid || !fG->fAntialias || fG->fFillMode != QV_Graphics::kFillPlain
        || fG->fTarget.depth != 32 || fTarget->bytesPerPixel != 4 || fG->fTarget.pixels == fTarget->pixels
        || fLayer->fGapFilling || fSettings->fRenderingMask)
        return false;
    if (fStyle.fLineColor.a != 255 || PassEffects(false, nullptr) > 0)
        return false;
    return !fEffects || (!fStyle.HasBrush() && !fStyle.IsColorBrush() && fLayer->fLineTexture.IsEmpty());
}

// The pixels a pass without effects can reach: the control points of every segment through the
// context's matrix, grown by the widest stroke, the noise, the pen and the finishing margin. Only
// that region is cleared before such a pass; a pass that reaches beyond it after all clears the
// whole raster and draws again.
void ShapeRenderer::PrepareClearRegion()
{
    fRegionValid = false;
    const QV_PixelBuffer& raster = fG->fTarget;
    if (!raster.pixels)
        return;
    const QV_Matrix matrix = fG->CurrentTransform();
    M_Mesh& mesh = fLayer->fMesh;
    const float rasterPerDoc = static_cast<float>(raster.height) / fDocHeight;
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    float widest = 0;
    for (int32_t e = 0; e < fShape->fNumEdges; e++) {
        const int32_t c = fShape->fEdgeCurves[e];
        const int32_t s = fShape->fEdgeSegments[e];
        if (c < 0 || c >= mesh.fNumCurves)
            continue;
        M_Curve* curve = mesh.fCurves[c];
        if (s < 0 || s >= curve->fNumPoints || curve->fNumPoints < 2)
            continue;
        QV_Vector2 b[4];
        curve->GetSegmentBezier(s, b);
        for (const QV_Vector2& point : b) {
            float v[4] = { point.x, point.y, 0, 1 };
            matrix.Transform4(v);
            if (!(v[3] > 0))
                return;
            const float x = v[0] / v[3];
            const float y = v[1] / v[3];
            if (!std::isfinite(x) || !std::isfinite(y))
                return;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
        const QV_Vector2 ends[2] = { b[0], b[3] };
        for (int i = 0; i < 2; i++) {
            const float w = PointLineWidth(*curve->GetPoint(s + i), fStyle.fLineWidth);
            const float scale = fLayer->fScaleCompensation
                ? fG->CurrentScale(false, ends[i].x, ends[i].y) * rasterPerDoc
                : fScale;
            widest = std::max(widest, w * fDocHeight * scale);
        }
    }
    fRegionValid = true;
    if (minX > maxX) {
        // Nothing can be drawn: nothing to clear.
        fRegion = QV_Rect { 1, 1, 0, 0 };
        return;
    }
    const float pixels = fDocHeight * fScale;
    const float units = static_cast<float>(std::max(1, RoundShapePixels(fDocHeight * fStyle.fLineWidth)));
    const float pen = std::max(units, fScale * units);
    const float noise = std::fabs(fLayer->fNoiseAmp * pixels);
    if (!std::isfinite(widest) || !std::isfinite(pen) || !std::isfinite(noise)) {
        fRegionValid = false;
        return;
    }
    // Sketchy strokes reach 1.5 times the width; brush dabs turn their corners out.
    const float pad = 2 * widest + 2 * pen + 2 * noise + kPlainPixelMargin + kRegionSlack;
    QV_Rect region { TruncatePixel(minX - pad), TruncatePixel(minY - pad), TruncatePixel(maxX + pad),
        TruncatePixel(maxY + pad) };
    if (!region.Intersect(QV_Rect { 0, 0, raster.width - 1, raster.height - 1 }))
        region = QV_Rect { 1, 1, 0, 0 };
    fRegion = region;
}

void ShapeRenderer::ClearMask(bool whole)
{
    const QV_PixelBuffer& raster = fG->fTarget;
    if (whole) {
        FillRaster(raster, rgb_color { 0, 0, 0, 0 });
        return;
    }
    if (fRegion.left > fRegion.right || fRegion.top > fRegion.bottom)
        return;
    QV_PixelBuffer view;
    if (fG->SubRaster(fRegion, view) == 0)
        FillRaster(view, rgb_color { 0, 0, 0, 0 });
}

void ShapeRenderer::ReadMaskNote()
{
    ShapeMaskNote& note = fLayer->fMaskNote;
    const QV_PixelBuffer& raster = fG->fTarget;
    if (note.fGraphics == fG && note.fPixels == raster.pixels && note.fWidth == raster.width
        && note.fHeight == raster.height && note.fRowBytes == raster.rowBytes && note.fNextItem == fIndex)
        fCleared = 2;
    note.Forget();
}

void ShapeRenderer::WriteMaskNote()
{
    if (fCleared < 2 || !fG->fTarget.pixels)
        return;
    ShapeMaskNote& note = fLayer->fMaskNote;
    note.fGraphics = fG;
    note.fPixels = fG->fTarget.pixels;
    note.fWidth = fG->fTarget.width;
    note.fHeight = fG->fTarget.height;
    note.fRowBytes = fG->fTarget.rowBytes;
    note.fNextItem = fIndex + 1;
}

bool ShapeRenderer::RegionHolds(const QV_Rect& rect) const
{
    return fRegion.left <= fRegion.right && fRegion.top <= fRegion.bottom && rect.left >= fRegion.left
        && rect.right <= fRegion.right && rect.top >= fRegion.top && rect.bottom <= fRegion.bottom;
}

QV_Rect ShapeRenderer::PixelRect(float pixelMargin) const
{
    const DrawBounds& b = fG->fBounds;
    const int32_t right = fG->Width() - 1;
    const int32_t bottom = fG->Height() - 1;
    return QV_Rect { std::clamp(TruncatePixel(b.minX - pixelMargin), 0, right),
        std::clamp(TruncatePixel(b.minY - pixelMargin), 0, bottom),
        std::clamp(TruncatePixel(b.maxX + pixelMargin), 0, right),
        std::clamp(TruncatePixel(b.maxY + pixelMargin), 0, bottom) };
}

bool ShapeRenderer::DrewSomething() const
{
    const DrawBounds& b = fG->fBounds;
    return b.minX <= b.maxX && b.minY <= b.maxY;
}

int32_t ShapeRenderer::PassEffects(bool fillPass, M_ShapeStyle** effects) const
{
    if (!fEffects)
        return 0;
    M_Style* styles[3];
    const int32_t count = ShapeEffectStyles(fShape, styles);
    int32_t n = 0;
    for (int32_t i = 0; i < count; i++) {
        for (int32_t slot = fillPass ? 0 : kLineEffectSlot; slot <= (fillPass ? 1 : kLineEffectSlot);
             slot++) {
            if (M_ShapeStyle* effect = styles[i]->fEffects[slot]) {
                if (effects)
                    effects[n] = effect;
                n++;
            }
        }
    }
    return n;
}

void ShapeRenderer::FinishPass(const Pass& drawn)
{
    if (drawn.fComposited)
        return;
    // A pass that drew nothing has nothing to finish: the target stays as it is.
    if ((!drawn.fFill && !drawn.fOutline) || !DrewSomething()) {
        fCleared = fClearedBeforeDraw;
        return;
    }
    const bool fillPass = drawn.fFill;
    M_ShapeStyle* effects[6];
    const int32_t effectCount = PassEffects(fillPass, effects);

    float pixelMargin = kPlainPixelMargin;
    if (fEffects) {
        float margin = 0;
        bool layerSpace = false;
        for (int32_t i = 0; i < effectCount; i++) {
            margin += effects[i]->Margin();
            layerSpace = layerSpace || IsLayerSpaceKind(effects[i]->StyleType());
        }
        if (layerSpace) {
            const QV_Vector3 c { (fBounds.min.x + fBounds.max.x) * 0.5f,
                (fBounds.min.y + fBounds.max.y) * 0.5f, (fBounds.min.z + fBounds.max.z) * 0.5f };
            const float f = fEffectEnlarge;
            fBounds.min = QV_Vector3 { c.x + (fBounds.min.x - c.x) * f, c.y + (fBounds.min.y - c.y) * f,
                c.z + (fBounds.min.z - c.z) * f };
            fBounds.max = QV_Vector3 { c.x + (fBounds.max.x - c.x) * f, c.y + (fBounds.max.y - c.y) * f,
                c.z + (fBounds.max.z - c.z) * f };
        }
        fBounds.min.x -= margin;
        fBounds.min.y -= margin;
        fBounds.max.x += margin;
        fBounds.max.y += margin;
        pixelMargin = static_cast<float>(std::max(4, RoundShapePixels(margin * fDocHeight * fScale)));
    }
    const QV_Rect rect = PixelRect(pixelMargin);
    QV_PixelBuffer pixels;
    if (fG->SubRaster(rect, pixels) != 0 || pixels.depth != 32)
        return;

    const bool keepColours = fEffects && fStyle.IsColorBrush() && !fillPass;
    const uint8_t alpha = fillPass ? fStyle.fFillColor.a : fStyle.fLineColor.a;
    const bool subtract = !fillPass && fSettings->fRenderingMask;
    const bool sameSize = fG->fTarget.width == fTarget->width && fG->fTarget.height == fTarget->height;
    const int32_t offset = sameSize ? 0 : fSettings->fMargin;
    const QV_Path& texture = fillPass ? fLayer->fFillTexture : fLayer->fLineTexture;
    // The common pass, an opaque colour with nothing to apply, is coloured and composited in one
    // walk over the rectangle.
    if (effectCount == 0 && alpha == 255 && !keepColours && !subtract && !(fEffects && !texture.IsEmpty())) {
        rgb_color color = fillPass ? fStyle.fFillColor : fStyle.fLineColor;
        // Everything the pass drew lies in the rectangle, which the walk leaves clear again.
        CompositeCoverage(pixels, color, *fTarget, rect.left - offset, rect.top - offset, true, true);
        fCleared = fClearedBeforeDraw;
        return;
    }
    // A colour brush keeps the colours it drew with.
    if (!keepColours) {
        rgb_color color = fillPass ? fStyle.fFillColor : fStyle.fLineColor;
        color.a = 255;
        ColourMask(pixels, color);
    }
    if (effectCount > 0) {
        VornDocStyleAdapter doc(fDoc);
        VornLayerStyleAdapter layer(fLayer, fDoc);
        for (int32_t i = 0; i < effectCount; i++)
            effects[i]->ApplyInLayer(fG, &pixels, rect, fBounds, fScratch, &doc, &layer, fScale, fShape, 1);
    }
    if (alpha < 255)
        RemapAlphaRange(pixels, 0, 255, alpha);
    if (fEffects)
        ApplyTexture(fillPass, pixels);

    if (subtract)
        SubtractAlpha(pixels, *fTarget, rect.left - offset, rect.top - offset);
    else
        BlitRasterAlpha(pixels, *fTarget, rect.left - offset, rect.top - offset, true);
    // Without effects everything the pass drew lies in the rectangle: emptied, the raster is as
    // clear as before the draw.
    if (effectCount == 0 && !keepColours) {
        FillRaster(pixels, rgb_color { 0, 0, 0, 0 });
        fCleared = fClearedBeforeDraw;
    }
}

void ShapeRenderer::ApplyTexture(bool fillPass, const QV_PixelBuffer& pixels)
{
    const QV_Path& path = fillPass ? fLayer->fFillTexture : fLayer->fLineTexture;
    QV_BaseImage& texture = fillPass ? fLayer->fFillTextureImage : fLayer->fLineTextureImage;
    if (path.IsEmpty())
        return;
    if (!texture.buffer.pixels)
        LoadTexture(path, texture);
    if (!texture.buffer.pixels || pixels.width <= 0 || pixels.height <= 0)
        return;
    const int32_t yPhase = QV_Rand() % pixels.height;
    const int32_t xPhase = QV_Rand() % pixels.width;
    TileAlphaMask(texture.buffer, pixels, yPhase, xPhase);
}
