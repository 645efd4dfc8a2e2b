// The image layer in the editor view (textured polygons of the graphics context) and in final
// renders (the software rasteriser, optionally supersampled); the tracking point overlays.

#include <algorithm>
#include <cmath>

#include "bone_parent.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "meshlayer_draw_colors.h"
#include "model_prefs.h"
#include "pushed_transform.h"
#include "qv_raster.h"
#include "render_settings.h"
#include "resource_images.h"
#include "supersample.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kQualitySmoothing = 0x100;
constexpr int32_t kQualityMaskPreview = 0x40;
constexpr int32_t kQualityTextures = 0x30;
constexpr int32_t kQualitySmoothTexture = 0x20;

int32_t FillModeFor(int32_t maskingMode, XGraphics* graphics)
{
    switch (maskingMode) {
    case MM_NOTMASKED:
        return QV_Graphics::kFillPlain;
    case MM_ADD_MASK:
        return QV_Graphics::kFillMasked | QV_Graphics::kFillSetMask;
    case MM_CLEAR_ADD_MASK:
        graphics->ClearMask();
        return QV_Graphics::kFillMasked | QV_Graphics::kFillSetMask;
    case MM_SUB_MASK:
        return QV_Graphics::kFillMasked | QV_Graphics::kFillClearMask;
    case MM_ADD_MASK_INVIS:
        return QV_Graphics::kFillSetMask;
    case MM_SUB_MASK_INVIS:
        return QV_Graphics::kFillClearMask;
    default:
        return QV_Graphics::kFillMasked;
    }
}

// One corner of the picture rectangle at texture position (u, v).
struct Corner {
    float x, y, u, v;
};

Corner CornerAt(float u, float v, float w, float h)
{
    return { -w / 2 + u * w, h / 2 - v * h, u, v };
}

// The cells of the grid a warped or tilted picture is drawn as, two triangles each, or the one
// quad; calls draw(corners, count) for each polygon.
template <typename Fn> void ForEachPiece(bool grid, float step, float w, float h, Fn&& draw)
{
    if (!grid) {
        const Corner quad[4] = { CornerAt(0, 0, w, h), CornerAt(1, 0, w, h), CornerAt(1, 1, w, h), CornerAt(0, 1, w, h) };
        draw(quad, 4);
        return;
    }
    const int32_t cells = int32_t(std::lround(1.0f / step));
    for (int32_t j = 0; j < cells; j++) {
        for (int32_t i = 0; i < cells; i++) {
            const float u = float(i) * step, v = float(j) * step;
            const Corner a[3] = { CornerAt(u, v, w, h), CornerAt(u + step, v + step, w, h), CornerAt(u + step, v, w, h) };
            draw(a, 3);
            const Corner b[3] = { CornerAt(u, v, w, h), CornerAt(u + step, v + step, w, h), CornerAt(u, v + step, w, h) };
            draw(b, 3);
        }
    }
}

// Whether the picture's corners leave the flat plane of the view under the current matrix.
bool TiltedInDepth(const QV_Graphics& graphics, float w, float h)
{
    const QV_Matrix m = graphics.CurrentTransform();
    float z0 = 0;
    for (int32_t i = 0; i < 4; i++) {
        QV_Vector3 p { (i & 1) ? w / 2 : -w / 2, (i & 2) ? h / 2 : -h / 2, 0 };
        m.TransformAffine(p);
        if (i == 0)
            z0 = p.z;
        else if (std::fabs(p.z - z0) > 1e-6f)
            return true;
    }
    return false;
}

} // namespace

void ImageLayer::WarpPoint(const BoneParent* bones, const QV_Matrix& layer, const QV_Matrix& inverse, QV_Vector2& p) const
{
    QV_Vector3 q { p.x, p.y, 0 };
    layer.TransformAffine(q);
    QV_Vector2 moved { q.x, q.y };
    bones->TransformPoint(moved);
    QV_Vector3 back { moved.x, moved.y, q.z };
    inverse.TransformAffine(back);
    p = { back.x, back.y };
}

void ImageLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer*, int32_t& drawMode, VornLayer* currentLayer,
    RenderSettings* settings)
{
    UpdateToDocFrame(doc);
    if (!graphics)
        return;
    if (settings && settings->fSWFMovie && !IsFlatAndStatic())
        return;
    if (drawMode == DRAW_ONION_CURRENT && currentLayer != this)
        return;
    RunLayerScript();
    QV_Matrix layerMatrix;
    GetLayerTransform(DocFrameOf(fCurFrame), layerMatrix, doc);
    PushedTransform pushed(graphics, layerMatrix);
    LoadMedia(graphics->fTarget.depth);
    const int32_t quality = fQualityFlags & ViewQualityFlags();
    const float w = fShapeWidth, h = fShapeHeight;

    if (drawMode == DRAW_EDIT || drawMode == DRAW_ONION || drawMode == DRAW_ONION_CURRENT) {
        if (!ShowsEditOverlays())
            return;
        const bool smoothing = graphics->fSmoothing;
        graphics->SetSmoothing((quality & kQualitySmoothing) != 0);
        graphics->SetColorStruct(EditorColObj());
        graphics->DrawLine(-w / 2, -h / 2, w / 2, -h / 2);
        graphics->DrawLine(w / 2, -h / 2, w / 2, h / 2);
        graphics->DrawLine(w / 2, h / 2, -w / 2, h / 2);
        graphics->DrawLine(-w / 2, h / 2, -w / 2, -h / 2);
        if (drawMode == DRAW_EDIT)
            DrawTrackingPoints(graphics);
        graphics->SetSmoothing(smoothing);
        return;
    }
    if (drawMode == DRAW_SWF) {
        ExportSWFBitmap(doc, graphics);
        return;
    }

    int32_t fillMode = QV_Graphics::kFillPlain;
    if (quality & kQualityMaskPreview) {
        const GroupLayer* parent = Parent();
        const int32_t masking
            = parent && parent->fGroupMask == GROUP_MASK_NONE ? parent->MaskingMode() : MaskingMode();
        fillMode = FillModeFor(masking, graphics);
    }
    graphics->SetFillMode(fillMode);
    if (fImage.buffer.pixels && (quality & kQualityTextures) && StepMovie()) {
        graphics->SetTexture(&fImage.buffer);
        const BoneParent* bones = WarpingBones(doc);
        const bool grid = bones || (doc && doc->fAllow3D && TiltedInDepth(*graphics, w, h));
        QV_Matrix inverse = layerMatrix;
        inverse.Invert();
        const uint8_t kind = (quality & kQualitySmoothTexture) ? kRasterTextureFiltered : kRasterTextureSkip;
        ForEachPiece(grid, 0.05f, w, h, [&](const Corner* corners, int32_t count) {
            RasterPolygon polygon {};
            polygon.kind = kind;
            polygon.count = count;
            for (int32_t i = 0; i < count; i++) {
                QV_Vector2 p { corners[i].x, corners[i].y };
                if (bones)
                    WarpPoint(bones, layerMatrix, inverse, p);
                RasterVertex& v = polygon.vertices[i];
                v.x = p.x;
                v.y = p.y;
                v.u = corners[i].u;
                v.v = corners[i].v;
            }
            graphics->DrawTexturedPolygon(polygon, false);
        });
        graphics->SetTexture(nullptr);
    }
    graphics->SetFillMode(QV_Graphics::kFillPlain);
}

int32_t ImageLayer::CountRenderItems()
{
    return 1;
}

void ImageLayer::RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer*, int32_t,
    RenderSettings* settings)
{
    UpdateToDocFrame(doc);
    if (!graphics || !target || !target->pixels)
        return;
    QV_Matrix layerMatrix;
    GetLayerTransform(DocFrameOf(fCurFrame), layerMatrix, doc);
    PushedTransform pushed(graphics, layerMatrix);
    LoadMedia(32);
    const int32_t margin = (graphics->fTarget.width != target->width || graphics->fTarget.height != target->height)
            && settings
        ? settings->fMargin
        : 0;
    QV_PixelBuffer big;
    const int32_t k = BeginSupersample(settings, *target, big);
    QV_PixelBuffer& out = k > 1 ? big : *target;
    if (!StepMovie())
        return;

    QV_Raster raster;
    raster.SetRaster(out, nullptr);
    raster.SetTexture(fImage.buffer.pixels ? &fImage.buffer : GetResourceImage("missing_img"));
    const float w = fShapeWidth, h = fShapeHeight;
    const BoneParent* bones = WarpingBones(doc);
    const bool grid = bones || (doc && doc->fAllow3D && TiltedInDepth(*graphics, w, h));
    QV_Matrix inverse = layerMatrix;
    inverse.Invert();
    const float W = float(out.width), H = float(out.height);
    ForEachPiece(grid, 0.025f, w, h, [&](const Corner* corners, int32_t count) {
        RasterPolygon polygon {};
        polygon.kind = kRasterTextureFiltered;
        polygon.count = count;
        for (int32_t i = 0; i < count; i++) {
            QV_Vector2 p { corners[i].x, corners[i].y };
            if (bones)
                WarpPoint(bones, layerMatrix, inverse, p);
            QV_Point s;
            if (!graphics->WorldToScreenScaled(p, s, float(-margin), float(-margin), float(k)))
                return;
            RasterVertex& v = polygon.vertices[i];
            v.x = (float(s.x) - W / 2) / (H / 2);
            v.y = (H / 2 - float(s.y)) / (H / 2);
            v.u = corners[i].u;
            v.v = corners[i].v;
        }
        raster.DrawPolygonFloat(polygon);
    });
    if (k > 1)
        FinishSupersample(big, k, *target);
}

void ImageLayer::DrawTrackingPoints(XGraphics* graphics)
{
    graphics->SetBezierTolerance(2.0f);
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(EditorColInac());
    graphics->DrawOriginMarker(fOrigin.x, fOrigin.y);
    for (auto& point : fTrackingPoints) {
        if (fCurFrame < point->fStartFrame || fCurFrame > point->fLastFrame)
            continue;
        const QV_Vector2 value = point->fAnimPos.GetValue(fCurFrame);
        QV_Vector2 c, rc, rs;
        ImageToLayer(value, c);
        ImageToLayer(QV_Vector2 { value.x + float(point->fCompareRadius), value.y }, rc);
        ImageToLayer(QV_Vector2 { value.x + float(point->fSearchRadius), value.y }, rs);
        const float compare = std::hypot(rc.x - c.x, rc.y - c.y);
        const float search = std::hypot(rs.x - c.x, rs.y - c.y);
        const rgb_color outline = point->fSelected ? EditorColSel() : rgb_color { 0, 0, 0, 255 };
        graphics->SetColor(255, 255, 255, 64);
        graphics->FillCircle(compare, c.x, c.y);
        graphics->SetColor(0, 0, 0, 64);
        graphics->FillCircle(search, c.x, c.y);
        graphics->SetColorStruct(outline);
        graphics->DrawLine(c.x - search, c.y, c.x + search, c.y);
        graphics->DrawLine(c.x, c.y - search, c.x, c.y + search);
        graphics->SetPenWidth(2);
        graphics->SetColor(255, 255, 255, 255);
        graphics->FrameCircle(compare, c.x, c.y);
        graphics->FrameCircle(search, c.x, c.y);
        graphics->SetPenWidth(1);
        graphics->SetColorStruct(outline);
        graphics->FrameCircle(compare, c.x, c.y);
        graphics->FrameCircle(search, c.x, c.y);
    }
}
