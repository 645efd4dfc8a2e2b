#include "headless_view.h"

#include <cmath>
#include <cstdlib>

#include "vorndoc.h"
#include "view_picking.h"
#include "vornlayer.h"

namespace {

int32_t RoundAway(float value) { return int32_t(value < 0 ? std::ceil(value - 0.5f) : std::floor(value + 0.5f)); }

} // namespace

HeadlessView::HeadlessView(VornDoc* doc)
    : fDoc(doc)
    , fWidth(doc && doc->Width() > 0 ? doc->Width() : 1)
    , fHeight(doc && doc->Height() > 0 ? doc->Height() : 1)
{
    if (fImage.Allocate(fWidth, fHeight, 32) == 0)
        fGraphics.SetRaster(&fImage.buffer);
    fGraphics.fViewMode = 2;
}

HeadlessView::~HeadlessView() = default;

void HeadlessView::DrawMe()
{
    if (!fGraphics.fTarget.pixels)
        return;
    fGraphics.Clear(rgb_color { 255, 255, 255, 255 });
    fGraphics.BeginDraw();
    if (fDrawHook)
        fDrawHook();
    fGraphics.EndDraw();
}

void HeadlessView::LayerTransform(QV_Matrix& out) const
{
    out.Identity();
    VornLayer* layer = fDoc ? fDoc->GetSelectedLayer() : nullptr;
    if (layer)
        layer->GetFullTransform(fDoc->CurFrame(), out, fDoc);
}

QV_Vector2 HeadlessView::Point2Vec(const QV_Point& pt, const QV_Matrix* layerTransform)
{
    const float half = fHeight / 2.0f;
    QV_Matrix transform;
    if (layerTransform)
        transform = *layerTransform;
    else
        LayerTransform(transform);
    return UnprojectToLayer(transform, (float(pt.x) - fWidth / 2.0f) / half, (half - float(pt.y)) / half);
}

QV_Vector2 HeadlessView::UnprojectToLayer(const QV_Matrix& transform, float x, float y)
{
    // A layer point (u, v, 0, 1) reaches the view as (u v 1) H with H the rows 0, 1 and 3 and
    // the columns 0, 1 and 3 of the transform; the camera's perspective makes this a
    // projective map of the layer's plane, which H's inverse undoes.
    const float* m = transform.m;
    const double h[3][3] = { { m[0], m[1], m[3] }, { m[4], m[5], m[7] }, { m[12], m[13], m[15] } };
    const double c00 = h[1][1] * h[2][2] - h[1][2] * h[2][1];
    const double c01 = h[1][2] * h[2][0] - h[1][0] * h[2][2];
    const double c02 = h[1][0] * h[2][1] - h[1][1] * h[2][0];
    const double det = h[0][0] * c00 + h[0][1] * c01 + h[0][2] * c02;
    if (!std::isfinite(det) || std::fabs(det) < 1e-12)
        return QV_Vector2 { 0, 0 };
    // The inverse is the adjugate over the determinant; the determinant cancels in the divide.
    const double adj[3][3] = { { c00, h[0][2] * h[2][1] - h[0][1] * h[2][2], h[0][1] * h[1][2] - h[0][2] * h[1][1] },
        { c01, h[0][0] * h[2][2] - h[0][2] * h[2][0], h[0][2] * h[1][0] - h[0][0] * h[1][2] },
        { c02, h[0][1] * h[2][0] - h[0][0] * h[2][1], h[0][0] * h[1][1] - h[0][1] * h[1][0] } };
    const double u = x * adj[0][0] + y * adj[1][0] + adj[2][0];
    const double v = x * adj[0][1] + y * adj[1][1] + adj[2][1];
    const double w = x * adj[0][2] + y * adj[1][2] + adj[2][2];
    if (std::fabs(w) < 1e-12)
        return QV_Vector2 { 0, 0 };
    return QV_Vector2 { float(u / w), float(v / w) };
}

QV_Point HeadlessView::DocToPixel(float x, float y) const
{
    const float half = fHeight / 2.0f;
    return QV_Point { RoundAway(fWidth / 2.0f + x * half), RoundAway(half - y * half) };
}

int32_t HeadlessView::PickPoint(const QV_Point& pt, int32_t tolerance)
{
    return PickMeshPoint(fGraphics, fDoc, pt, tolerance);
}
