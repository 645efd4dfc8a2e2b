// Smooth (anti-aliased) shape filling: the edges of a shape are handed to the scan-line
// rasteriser in 24.8 fixed point and rendered once per shape with straight-alpha blending.
#include "agg_renderer_base.h"
#include "agg_renderer_scanline.h"
#include "agg_scanline_u.h"
#include "qv_graphics.h"
#include "qv_graphics_agg.h"
#include "qv_graphics_internal.h"
#include <cmath>
#include <new>

using namespace qv_graphics;

const uint8_t kSmoothFillGamma[256] = {
    0, 0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 7, 7, 8, 8, //
    9, 10, 10, 11, 11, 12, 13, 13, 14, 14, 15, 16, 16, 17, 18, 18, //
    19, 19, 20, 21, 21, 22, 22, 23, 24, 24, 25, 25, 26, 27, 27, 28, //
    29, 29, 30, 30, 31, 32, 32, 33, 34, 34, 35, 36, 36, 37, 37, 38, //
    39, 39, 40, 41, 41, 42, 43, 43, 44, 45, 45, 46, 47, 47, 48, 49, //
    49, 50, 51, 51, 52, 53, 53, 54, 55, 55, 56, 57, 57, 58, 59, 60, //
    60, 61, 62, 62, 63, 64, 65, 65, 66, 67, 68, 68, 69, 70, 71, 71, //
    72, 73, 74, 74, 75, 76, 77, 78, 78, 79, 80, 81, 82, 83, 83, 84, //
    85, 86, 87, 88, 89, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, //
    100, 101, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 114, 115, //
    116, 117, 118, 119, 120, 121, 122, 123, 124, 126, 127, 128, 129, 130, 131, 132, //
    134, 135, 136, 137, 139, 140, 141, 142, 144, 145, 146, 147, 149, 150, 151, 153, //
    154, 155, 157, 158, 159, 161, 162, 164, 165, 166, 168, 169, 171, 172, 174, 175, //
    177, 178, 180, 181, 183, 184, 186, 188, 189, 191, 192, 194, 195, 197, 199, 200, //
    202, 204, 205, 207, 209, 210, 212, 214, 215, 217, 219, 220, 222, 224, 225, 227, //
    229, 230, 232, 234, 236, 237, 239, 241, 242, 244, 246, 248, 249, 251, 253, 255, //
};

namespace {

// The rasteriser's gamma hook takes a function of 0..1 and stores round(f(i / 255) x 255) for
// each coverage i; handing back the table's entries over 255 stores them exactly.
struct TableGamma {
    double operator()(double x) const
    {
        const int32_t i = int32_t(x * 255.0 + 0.5);
        return kSmoothFillGamma[i < 0 ? 0 : (i > 255 ? 255 : i)] / 255.0;
    }
};

// 24.8 fixed point by truncation toward zero; NaN never arrives (the caller clamps it away).
int32_t Subpixel(float v)
{
    return TruncToInt(double(v) * 256.0);
}

} // namespace

void QV_Graphics::FreeAggObjects()
{
    delete fAggScanline;
    delete fAggRasterizer;
    delete fAggPixelFormat;
    delete fAggBuffer;
    fAggScanline = nullptr;
    fAggRasterizer = nullptr;
    fAggPixelFormat = nullptr;
    fAggBuffer = nullptr;
}

void QV_Graphics::SetAntialiasing(bool on)
{
    FreeAggObjects();
    fAntialias = false;
    // The objects render 32-bit pixels only; any other target keeps the scan-line filler.
    if (!on || !fTarget.pixels || fTarget.bytesPerPixel != 4)
        return;
    fAggBuffer = new (std::nothrow) QV_AggBuffer;
    if (!fAggBuffer)
        return;
    // The buffer takes the lowest row in memory and a signed stride; a bottom-up raster's first
    // row is its highest.
    uint8_t* lowest = fTarget.rowBytes < 0 ? fTarget.pixels + ptrdiff_t(fTarget.height - 1) * fTarget.rowBytes
                                           : fTarget.pixels;
    fAggBuffer->attach(lowest, unsigned(fTarget.width), unsigned(fTarget.height), fTarget.rowBytes);
    fAggPixelFormat = new (std::nothrow) QV_AggPixelFormat(*fAggBuffer);
    fAggRasterizer = new (std::nothrow) QV_AggRasterizer;
    fAggScanline = new (std::nothrow) QV_AggScanline;
    if (!fAggPixelFormat || !fAggRasterizer || !fAggScanline) {
        FreeAggObjects();
        return;
    }
    fAggRasterizer->filling_rule(agg::fill_even_odd);
    fAggRasterizer->gamma(TableGamma());
    // Shapes arrive as sets of edges in any order and direction (rectangles, rounded corners,
    // bone capsules mix separate curves and lines). Closing each run of edges on its own would
    // add a chord per run; under the even-odd rule the unclosed edges of a closed outline already
    // fill it exactly, whatever their order.
    fAggRasterizer->auto_close(false);
    fAntialias = true;
}

void QV_Graphics::ResetAggPath()
{
    if (fAggRasterizer)
        fAggRasterizer->reset();
    fAggLastX = fAggLastY = -1234.0f;
}

void QV_Graphics::AggAddEdge(float& x0, float& y0, float& x1, float& y1)
{
    const float limit = 23000.0f;
    x0 = ClampFloat(x0, -limit, limit);
    y0 = ClampFloat(y0, -limit, limit);
    x1 = ClampFloat(x1, -limit, limit);
    y1 = ClampFloat(y1, -limit, limit);
    if (!fAggRasterizer)
        return;
    if (std::fabs(x0 - fAggLastX) > 1e-6f || std::fabs(y0 - fAggLastY) > 1e-6f)
        fAggRasterizer->move_to(Subpixel(x0), Subpixel(y0));
    fAggRasterizer->line_to(Subpixel(x1), Subpixel(y1));
    fAggLastX = x1;
    fAggLastY = y1;
}

// The same runs, clipped to the target the same way, as the solid renderer would blend.
void QV_Graphics::SweepToSink()
{
    QV_AggRasterizer& rasterizer = *fAggRasterizer;
    QV_AggScanline& scanline = *fAggScanline;
    if (!rasterizer.rewind_scanlines())
        return;
    const int32_t right = fTarget.width - 1;
    const int32_t bottom = fTarget.height - 1;
    scanline.reset(rasterizer.min_x(), rasterizer.max_x());
    while (rasterizer.sweep_scanline(scanline)) {
        const int32_t y = scanline.y();
        if (y < 0 || y > bottom)
            continue;
        unsigned spans = scanline.num_spans();
        for (auto span = scanline.begin(); spans > 0; --spans, ++span) {
            int32_t x = span->x;
            int32_t count = span->len;
            const uint8_t* covers = span->covers;
            if (x < 0) {
                count += x;
                covers -= x;
                x = 0;
            }
            if (x + count > right + 1)
                count = right + 1 - x;
            if (count > 0)
                fSmoothSink->Covers(x, y, count, covers);
        }
    }
}

void QV_Graphics::RenderSmoothShape()
{
    if (!fAggRasterizer || !fAggPixelFormat || !fAggScanline)
        return;
    if (fSmoothSink) {
        SweepToSink();
        fAggRasterizer->reset();
        return;
    }
    agg::renderer_base<QV_AggPixelFormat> base(*fAggPixelFormat);
    agg::render_scanlines_aa_solid(
        *fAggRasterizer, *fAggScanline, base, agg::rgba8(fColor.r, fColor.g, fColor.b, fColor.a));
    fAggRasterizer->reset();
}
