// Golden images of the polygon rasterisers, brush strokes and filters: a textured, depth-buffered
// cube, a sheet of brush strokes and blurred shapes in a shadowed frame, each compared pixel for
// pixel with a PNG file in tests/data/golden.
//
// After an intended change, look at the differences (a failing test writes what it drew to
// <name>.actual.png in the test's working directory), then regenerate the goldens with
//     CELVANE_UPDATE_GOLDEN=1 ctest -R RenderGolden
// and commit the new PNG files with the change.
#include "blend_tables.h"
#include "blur_kernels.h"
#include "box_blur.h"
#include "colour_filters.h"
#include "golden_compare.h"
#include "png_codec.h"
#include "qv_noise.h"
#include "qv_random.h"
#include "qv_raster3d.h"
#include "raster_blit.h"
#include "raster_test_support.h"
#include "shadow_frame.h"
#include "xgraphics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The eye at z = 3 looking down -z, a focal length of 2, depths 1..10 mapped to 1..-1 (nearer is
// larger), as a row-vector matrix into clip space.
QV_Matrix Projection()
{
    const float a = -11.0f / 9.0f;
    const float b = 20.0f / 9.0f;
    QV_Matrix p;
    p.m[0] = 2;
    p.m[5] = 2;
    p.m[10] = -a;
    p.m[11] = -1;
    p.m[14] = 3 * a + b;
    p.m[15] = 3;
    return p;
}

QV_Vector3 Turned(QV_Vector3 p)
{
    p.Rotate(Y_AXIS, 0.6f);
    p.Rotate(X_AXIS, 0.45f);
    return p;
}

RasterPolygon FaceOf(const QV_Matrix& projection, const QV_Vector3 (&corners)[4], uint8_t kind)
{
    RasterPolygon list {};
    list.kind = kind;
    list.count = 4;
    const float uv[4][2] = { { 0, 1 }, { 1, 1 }, { 1, 0 }, { 0, 0 } };
    for (int i = 0; i < 4; i++) {
        const QV_Vector3 p = Turned(corners[i]);
        float v[4] = { p.x, p.y, p.z, 1 };
        projection.Transform4(v);
        RasterVertex& out = list.vertices[i];
        out.x = v[0];
        out.y = v[1];
        out.z = v[2];
        out.w = v[3];
        out.u = uv[i][0];
        out.v = uv[i][1];
        out.shade = 0.35f + 0.2f * static_cast<float>(i);
        out.r = i == 1 ? 1.0f : 0.2f;
        out.g = i == 2 ? 1.0f : 0.3f;
        out.b = i == 3 ? 1.0f : 0.4f;
    }
    return list;
}

TEST(RenderGolden, TexturedDepthBufferedCube)
{
    OwnedRaster target(160, 120, 32);
    target.Fill32(0xFF283038u);
    OwnedRaster texture = Texture32(16, 16, [](int32_t x, int32_t y) {
        const bool light = ((x / 4) + (y / 4)) % 2 == 0;
        return light ? Pixel32(255, 240, 200 - 8 * y, 60 + 10 * x) : Pixel32(255, 40, 90 + 8 * x, 160);
    });
    XGraphics g;
    ASSERT_EQ(g.SetRaster(&target.buffer), 0);
    g.BeginDraw();
    QV_Raster3D* raster = g.Raster3D();
    raster->SetTexture(&texture.buffer);
    raster->SetColor(230, 120, 40);
    const QV_Matrix projection = Projection();
    raster->SetProjection(false, projection, rgb_color { 0, 0, 0, 255 }, 0);

    const float s = 0.6f;
    const QV_Vector3 faces[6][4] = {
        { { -s, -s, s }, { s, -s, s }, { s, s, s }, { -s, s, s } },
        { { s, -s, s }, { s, -s, -s }, { s, s, -s }, { s, s, s } },
        { { -s, s, s }, { s, s, s }, { s, s, -s }, { -s, s, -s } },
        { { -s, -s, -s }, { -s, -s, s }, { -s, s, s }, { -s, s, -s } },
        { { -s, -s, -s }, { s, -s, -s }, { s, -s, s }, { -s, -s, s } },
        { { s, -s, -s }, { -s, -s, -s }, { -s, s, -s }, { s, s, -s } },
    };
    const uint8_t kinds[6] = { kRasterTexturePerspective, kRasterTexturePerspectiveFiltered, kRasterTexture,
        kRasterSmooth, kRasterShaded, kRasterTextureAlphaTest };
    for (int f = 0; f < 6; f++) {
        RasterPolygon face = FaceOf(projection, faces[f], kinds[f]);
        raster->DrawPolygon(face);
    }

    // A flat triangle passing through the cube: the depth test cuts it where it enters.
    RasterPolygon blade {};
    blade.kind = kRasterSmooth;
    blade.count = 3;
    const QV_Vector3 bladeCorners[3]
        = { { -1.4f, -0.9f, 0.9f }, { 1.3f, -0.2f, -0.8f }, { -0.2f, 1.0f, 0.1f } };
    for (int i = 0; i < 3; i++) {
        float v[4] = { bladeCorners[i].x, bladeCorners[i].y, bladeCorners[i].z, 1 };
        projection.Transform4(v);
        RasterVertex& out = blade.vertices[i];
        out.x = v[0];
        out.y = v[1];
        out.z = v[2];
        out.w = v[3];
        out.r = i == 0 ? 1.0f : 0.9f;
        out.g = i == 1 ? 1.0f : 0.85f;
        out.b = i == 2 ? 1.0f : 0.8f;
    }
    // Drawn both ways round so that its back shows too.
    RasterPolygon reversed = blade;
    std::swap(reversed.vertices[1], reversed.vertices[2]);
    raster->DrawPolygon(blade);
    raster->DrawPolygon(reversed);
    ExpectMatchesGolden(target.buffer, "raster3d_cube");
}

// A soft round dab of the given colour.
OwnedRaster Dab(uint32_t r, uint32_t gr, uint32_t b)
{
    return Texture32(16, 16, [=](int32_t x, int32_t y) {
        const float dx = static_cast<float>(x) - 7.5f, dy = static_cast<float>(y) - 7.5f;
        const float d = std::sqrt(dx * dx + dy * dy) / 8.0f;
        const float a = d >= 1 ? 0 : (1 - d) * (1 - d) * 255;
        return Pixel32(static_cast<uint32_t>(a), r, gr, b);
    });
}

TEST(RenderGolden, BrushStrokes)
{
    BuildBlendTables();
    OwnedRaster target(160, 120, 32);
    target.Fill32(0xFFF4F0E8u);
    OwnedRaster ink = Dab(20, 30, 90);
    OwnedRaster red = Dab(200, 40, 30);
    OwnedRaster bar = Texture32(
        8, 8, [](int32_t x, int32_t) { return x >= 3 && x <= 4 ? Pixel32(255, 10, 120, 60) : 0u; });
    XGraphics g;
    ASSERT_EQ(g.SetRaster(&target.buffer), 0);
    // Filling the noise lattice reseeds the generator; it must not happen halfway through.
    InitNoiseTable();
    QV_SRand(31);

    g.SetTexture(&ink.buffer);
    const QV_Vector2 wave[4] = { { 10, 30 }, { 50, -10 }, { 90, 70 }, { 150, 20 } };
    g.DrawBrushStroke2D(wave, 3, 12, false, 0, 0.2f);

    g.SetTexture(&red.buffer);
    g.fSmoothTexture = true;
    const QV_Vector2 loop[4] = { { 15, 100 }, { 60, 40 }, { 100, 130 }, { 145, 70 } };
    g.DrawBrushStroke2D(loop, 10, 4, false, 0, 0.3f);
    g.fSmoothTexture = false;

    // A flat nib turned along the curve, then the same with random turns and line noise.
    g.SetTexture(&bar.buffer);
    const QV_Vector2 hook[4] = { { 20, 60 }, { 40, 80 }, { 70, 80 }, { 80, 50 } };
    g.DrawBrushStroke2D(hook, 14, 14, true, 0, 0.15f);
    g.SetLineNoise(4, 20, 7);
    const QV_Vector2 line[4] = { { 95, 110 }, { 110, 95 }, { 130, 95 }, { 150, 80 } };
    g.DrawBrushStroke2D(line, 10, 10, true, 1.2f, 0.3f);
    ExpectMatchesGolden(target.buffer, "brush_strokes");
}

// A five-pointed star of smooth colour on a transparent raster, one kite per point.
void DrawStar(OwnedRaster& layer)
{
    QV_Raster raster;
    raster.SetRaster(layer.buffer, nullptr);
    const float cx = static_cast<float>(layer.buffer.width) / 2,
                cy = static_cast<float>(layer.buffer.height) / 2;
    auto at = [cx, cy](float radius, float angle) {
        return PixelPoint { cx + radius * std::sin(angle), cy - radius * std::cos(angle) };
    };
    for (int i = 0; i < 5; i++) {
        const float a = static_cast<float>(i) * 1.2566371f;
        RasterPolygon kite = PolygonInPixels(kRasterSmoothAlpha,
            { { cx, cy }, at(10, a - 0.6283185f), at(27, a), at(10, a + 0.6283185f) }, layer.buffer);
        for (int32_t k = 0; k < kite.count; k++) {
            kite.vertices[k].r = k == 2 ? 1.0f : 0.9f;
            kite.vertices[k].g = 0.3f + 0.12f * static_cast<float>(i);
            kite.vertices[k].b = k == 0 ? 1.0f : 0.2f;
            kite.vertices[k].a = 1.0f;
        }
        raster.DrawPolygonFloat(kite);
    }
}

TEST(RenderGolden, BlurredShapesInAShadowedFrame)
{
    BuildBlendTables();
    OwnedRaster target(160, 112, 32);
    target.Fill32(0xFFFFFFFFu);
    DrawShadowFrame(target.buffer, 2, 2, 157, 109);

    // Box blur of all four channels.
    OwnedRaster soft(64, 64, 32);
    DrawStar(soft);
    BoxBlurRGBA(soft.buffer, 12);
    BlitRasterAlpha(soft.buffer, target.buffer, 12, 24, false);

    // A grey shadow smeared along 30 degrees under a sharp copy of the star.
    OwnedRaster sharp(64, 64, 32);
    DrawStar(sharp);
    OwnedRaster shadow(64, 64, 32);
    PixelKernel kernel;
    int32_t length = 7;
    BuildMotionBlurKernel(length, kernel, 30);
    ApplyBlurKernel(sharp.buffer, shadow.buffer, kernel);
    Desaturate(shadow.buffer);
    AdjustMidtones(shadow.buffer, 0.4f);
    BlitRasterAlpha(shadow.buffer, target.buffer, 88, 28, false);
    BlitRasterAlpha(sharp.buffer, target.buffer, 82, 22, false);

    // The disc blur softens an alpha edge in place.
    OwnedRaster rim(40, 16, 32);
    rim.Fill32(Pixel32(0, 30, 60, 120));
    for (int32_t y = 4; y < 12; y++)
        for (int32_t x = 4; x < 36; x++)
            rim.Set32(x, y, Pixel32(255, 30, 60, 120));
    DiscBlur(rim.buffer, 6);
    BlitRasterAlpha(rim.buffer, target.buffer, 60, 90, false);
    ExpectMatchesGolden(target.buffer, "blurred_shapes");
}

} // namespace
