#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "grouplayer.h"
#include "m_curve.h"
#include "m_shape.h"
#include "mesh_test_support.h"
#include "meshlayer.h"
#include "meshlayer_draw_colors.h"
#include "model_prefs.h"
#include "own_style_support.h"
#include "qv_baseimage.h"
#include "raster_fill.h"
#include "vorndoc.h"
#include "xgraphics.h"

// An editor view of 100 x 100 pixels onto a document 100 pixels high: the default camera shows
// world y from -1 (bottom row) to 1 (top row), so world (x, y) lands on pixel
// (50 + 50x, 50 - 50y). The raster starts opaque white.
struct EditorCanvas {
    static constexpr rgb_color kWhite { 255, 255, 255, 255 };

    EditorCanvas()
    {
        doc.fWidth = 100;
        doc.fHeight = 100;
        image.Allocate(100, 100, 32);
        image.GetPixelBuffer(raster);
        FillRaster(raster, kWhite);
        graphics.SetRaster(&raster);
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.BeginDraw();
    }

    rgb_color Pixel(int32_t x, int32_t y) const { return graphics.GetPixel(x, y); }

    int32_t Count(const std::function<bool(rgb_color)>& match, int32_t left = 0, int32_t top = 0,
        int32_t right = 99, int32_t bottom = 99) const
    {
        int32_t n = 0;
        for (int32_t y = top; y <= bottom; y++) {
            for (int32_t x = left; x <= right; x++)
                n += match(Pixel(x, y)) ? 1 : 0;
        }
        return n;
    }

    VornDoc doc;
    QV_BaseImage image;
    QV_PixelBuffer raster;
    XGraphics graphics;
};

inline bool SameColour(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// A straight-edged closed square curve from (x0, y0) to (x1, y1) with a shape over its four
// segments, fill and line colours defined by the shape's own style; answers the shape index.
// Three of the four points are selected (AddCurve leaves the first unselected).
inline int32_t AddSquare(M_Mesh& mesh, float x0, float y0, float x1, float y1, rgb_color fill,
    rgb_color line = rgb_color { 0, 0, 0, 0 }, float lineWidth = 0)
{
    const int32_t c = AddCurve(mesh, { { x0, y0 }, { x1, y0 }, { x1, y1 }, { x0, y1 } }, true);
    for (int32_t i = 0; i < 4; i++)
        mesh.fCurves[c]->SetCurvature(i, 0, 0);
    const int32_t s = AddShape(mesh, { { c, 0 }, { c, 1 }, { c, 2 }, { c, 3 } }, fill.a > 0, lineWidth > 0);
    DefineOwnStyle(mesh.fShapes[s]->fMyStyle, fill, line, lineWidth);
    return s;
}

// Answers the given editor colours while it lives.
class EditorColours : public ModelPrefSource {
public:
    explicit EditorColours(std::map<std::string, rgb_color> colours)
        : fColours(std::move(colours))
    {
        SetModelPrefSource(this);
    }
    ~EditorColours() override { SetModelPrefSource(nullptr); }

    bool GetInt(const char*, int32_t&) const override { return false; }
    bool GetColor(const char* key, rgb_color& value) const override
    {
        auto it = fColours.find(key);
        if (it == fColours.end())
            return false;
        value = it->second;
        return true;
    }

private:
    std::map<std::string, rgb_color> fColours;
};
