#include "qv_raster3d.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace {

// Clipping against one plane can at most double the vertices (each edge gives its start and one
// crossing), so four planes take an eight-vertex list to at most 128.
constexpr int32_t kClipCapacity = RasterPolygon::kMaxVertices * 16;

struct ClipList {
    int32_t count = 0;
    RasterVertex vertices[kClipCapacity];
};

RasterVertex Between(const RasterVertex& a, const RasterVertex& b, float t)
{
    const float* pa = &a.x;
    const float* pb = &b.x;
    RasterVertex out;
    float* po = &out.x;
    for (int i = 0; i < 11; i++)
        po[i] = pa[i] + (pb[i] - pa[i]) * t;
    return out;
}

// Signed distance of a vertex from one of the four clip planes (inside >= 0).
float PlaneDistance(const RasterVertex& v, int plane)
{
    switch (plane) {
    case 0:
        return v.w - v.z;
    case 1:
        return v.w + v.z;
    case 2:
        return v.w - v.y;
    default:
        return v.w + v.y;
    }
}

// Clips in against one plane into out. False (out untouched) when the polygon stays as it was:
// no edge crosses the plane and none lies wholly outside it.
bool ClipToPlane(const ClipList& in, int plane, ClipList& out)
{
    bool changed = false;
    out.count = 0;
    for (int32_t i = 0; i < in.count; i++) {
        const int32_t j = i + 1 == in.count ? 0 : i + 1;
        const float di = PlaneDistance(in.vertices[i], plane);
        const float dj = PlaneDistance(in.vertices[j], plane);
        if (di >= 0)
            out.vertices[out.count++] = in.vertices[i];
        if (di * dj < 0) {
            out.vertices[out.count++] = Between(in.vertices[i], in.vertices[j], di / (di - dj));
            changed = true;
        } else if (di < 0 && dj < 0) {
            changed = true;
        }
    }
    return changed;
}

} // namespace

QV_Raster3D::QV_Raster3D()
    : fDepthWidth(0)
    , fDepthHeight(0)
    , fHasProjection(false)
    , fFrontClockwise(false)
    , fFrontColor { 255, 255, 255, 255 }
    , fEdgeColor { 0, 0, 0, 255 }
    , fEdgeOffset(0)
{
}

QV_Raster3D::~QV_Raster3D() = default;

void QV_Raster3D::FreeDepth()
{
    fDepthRows.reset();
    fDepthBlock.reset();
}

void QV_Raster3D::AttachTarget(const QV_PixelBuffer& target)
{
    SetRaster(target, nullptr);
    if (target.width == fDepthWidth && target.height == fDepthHeight && fDepthRows)
        return;
    FreeDepth();
    fDepthWidth = target.width;
    fDepthHeight = target.height;
    if (fDepthWidth <= 0 || fDepthHeight <= 0)
        return;
    const size_t width = static_cast<size_t>(fDepthWidth);
    const size_t height = static_cast<size_t>(fDepthHeight);
    fDepthBlock.reset(new (std::nothrow) int32_t[width * height]);
    fDepthRows.reset(new (std::nothrow) int32_t*[height]);
    if (!fDepthBlock || !fDepthRows) {
        // Without a depth buffer nothing is drawn, which is what a failed allocation should give.
        FreeDepth();
        return;
    }
    for (size_t y = 0; y < height; y++)
        fDepthRows[y] = fDepthBlock.get() + y * width;
    ClearDepth();
}

void QV_Raster3D::ClearDepth()
{
    if (!fDepthBlock)
        return;
    std::fill_n(
        fDepthBlock.get(), static_cast<size_t>(fDepthWidth) * static_cast<size_t>(fDepthHeight), kEmptyDepth);
}

void QV_Raster3D::SetProjection(
    bool frontClockwise, const QV_Matrix& projection, rgb_color edgeColor, float edgeOffset)
{
    fFrontClockwise = frontClockwise;
    fProjection = projection;
    fInverseProjection = projection;
    fInverseProjection.Invert();
    fHasProjection = true;
    fEdgeColor = edgeColor;
    fEdgeOffset = edgeOffset;
}

void QV_Raster3D::SetColor(uint8_t r, uint8_t g, uint8_t b)
{
    fFrontColor = rgb_color { r, g, b, 255 };
    QV_Raster::SetColor(r, g, b);
}

void QV_Raster3D::DrawPolygon(RasterPolygon& list)
{
    if (list.count < 3 || list.count > RasterPolygon::kMaxVertices)
        return;
    ClipList lists[2];
    int current = 0;
    lists[0].count = list.count;
    std::copy(list.vertices, list.vertices + list.count, lists[0].vertices);
    for (int plane = 0; plane < 4 && lists[current].count >= 3; plane++) {
        if (ClipToPlane(lists[current], plane, lists[1 - current]))
            current = 1 - current;
    }
    ClipList& clipped = lists[current];
    if (clipped.count < 3)
        return;

    uint8_t kind = list.kind;
    if (fTarget.bytesPerPixel != 4) {
        if (kind == kRasterTextureAlphaTest)
            kind = kRasterTexture;
        else if (kind == kRasterTexturePerspectiveFiltered)
            kind = kRasterTexturePerspective;
    }
    const bool perspective = kind == kRasterTexturePerspective || kind == kRasterTexturePerspectiveFiltered;
    for (int32_t i = 0; i < clipped.count; i++) {
        RasterVertex& v = clipped.vertices[i];
        const float q = 1.0f / v.w;
        v.x *= q;
        v.y *= q;
        v.z *= q;
        if (perspective) {
            v.u = static_cast<float>(fTexture.width) * q * v.u;
            v.v = static_cast<float>(fTexture.height) * q * v.v;
        }
        v.w = q;
    }

    if (fHasProjection) {
        const RasterVertex& p0 = clipped.vertices[0];
        const RasterVertex& p1 = clipped.vertices[1];
        const RasterVertex& p2 = clipped.vertices[2];
        const float ax = p0.x - p1.x;
        const float ay = p0.y - p1.y;
        const float bx = p2.x - p1.x;
        const float by = p2.y - p1.y;
        const float c = ax * by - ay * bx;
        const bool front = fFrontClockwise ? c > 0 : c < 0;
        if (front) {
            QV_Raster::SetColor(fFrontColor.r, fFrontColor.g, fFrontColor.b);
        } else {
            if (fEdgeOffset < 1e-6f)
                return;
            kind = kRasterFlat;
            QV_Raster::SetColor(fEdgeColor.r, fEdgeColor.g, fEdgeColor.b);
            for (int32_t i = 0; i < clipped.count; i++) {
                RasterVertex& v = clipped.vertices[i];
                QV_Vector3 p { v.x, v.y, v.z };
                fInverseProjection.TransformHomo(p);
                p.z += fEdgeOffset;
                fProjection.TransformHomo(p);
                v.z = p.z;
            }
        }
    }
    if (!fDepthRows)
        return;

    // A fan of pieces that each fit the list: the first piece goes back into the caller's list.
    list.kind = kind;
    int32_t start = 1;
    RasterPolygon piece {};
    for (bool first = true; start < clipped.count - 1; first = false) {
        RasterPolygon& target = first ? list : piece;
        const int32_t take = std::min(clipped.count - start, RasterPolygon::kMaxVertices - 1);
        target.kind = kind;
        target.count = take + 1;
        target.vertices[0] = clipped.vertices[0];
        std::copy(clipped.vertices + start, clipped.vertices + start + take, target.vertices + 1);
        QV_Raster::DrawPolygon(target);
        start += take - 1;
    }
}
