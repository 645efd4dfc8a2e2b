#include "xgraphics.h"

#include "texture_rows.h"

#include <cmath>

XGraphics::XGraphics()
    : fSmoothTexture(false)
    , fTexture()
    , fCenterX(0)
    , fCenterY(0)
    , fPolygonBounds { 1e6f, 1e6f, 1e6f, -1e6f, -1e6f, -1e6f }
{
}

XGraphics::~XGraphics() = default;

int32_t XGraphics::SetRaster(const QV_PixelBuffer* raster)
{
    const int32_t result = QV_Graphics::SetRaster(raster);
    if (result == 0) {
        fCenterX = static_cast<float>(raster->width) * 0.5f;
        fCenterY = static_cast<float>(raster->height) * 0.5f;
    }
    return result;
}

void XGraphics::BeginDraw()
{
    QV_Graphics::BeginDraw();
    if (fRaster3D) {
        fRaster3D->AttachTarget(fTarget);
        fRaster3D->ClearDepth();
    }
}

QV_Raster3D* XGraphics::Raster3D()
{
    if (!fRaster3D) {
        fRaster3D = std::make_unique<QV_Raster3D>();
        fRaster3D->AttachTarget(fTarget);
        fRaster3D->ClearDepth();
    } else {
        fRaster3D->AttachTarget(fTarget);
    }
    return fRaster3D.get();
}

void XGraphics::SetTexture(const QV_PixelBuffer* texture)
{
    SetTextureRows(texture, fTexture, fTextureRows);
}

void XGraphics::DrawOriginMarker(float x, float y)
{
    const float arm = 0.1f;
    const float back = 0.08f;
    const float side = 0.02f;
    DrawLine(x - arm, y, x + arm, y);
    DrawLine(x + arm, y, x + back, y + side);
    DrawLine(x + arm, y, x + back, y - side);
    DrawLine(x, y - arm, x, y + arm);
    DrawLine(x, y + arm, x + side, y + back);
    DrawLine(x, y + arm, x - side, y + back);
}

void XGraphics::DrawGrid(float spacing)
{
    // A spacing of 0 or below would never reach the far side.
    if (!(spacing > 0))
        return;
    const double begin = -25.0 / spacing;
    const double end = 25.0 / spacing;
    if (begin < -1e8)
        return;
    const int32_t first = begin < 0 ? static_cast<int32_t>(begin) - 1 : static_cast<int32_t>(begin);
    const int32_t last = end >= 0 ? static_cast<int32_t>(end) + 1 : static_cast<int32_t>(end);
    const float start = static_cast<float>(first * static_cast<double>(spacing));
    const float limit = static_cast<float>(last) * spacing;
    // A spacing below the float resolution at 25 would never move x on.
    for (float x = start; x < limit && x + spacing > x; x = x + spacing)
        DrawLine(x, -25, x, 25);
    for (float y = start; y < limit && y + spacing > y; y = y + spacing)
        DrawLine(-25, y, 25, y);
}

void XGraphics::BuildViewMatrix(QV_Matrix& out, bool withZoomPan) const
{
    const float width = static_cast<float>(fTarget.width);
    const float height = static_cast<float>(fTarget.height);
    QV_Matrix view;
    view.Translate(width * 0.5f, height * 0.5f, 0);
    view.Scale(height * 0.5f, -height * 0.5f, 1);
    if (withZoomPan) {
        view.Scale(fZoom, fZoom, 1);
        view.Translate(fPanX, fPanY, 0);
    }
    view.Invert();
    out = view;
    out.Multiply(CurrentTransform());
}
