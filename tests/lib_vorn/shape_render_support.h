#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "blend_tables.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "own_style_support.h"
#include "qv_baseimage.h"
#include "raster_rows.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "xgraphics.h"

// A document with one vector layer and the rasters of a render without margin: the drawing
// context draws into a buffer of the document's size (centred view, zoom 1, anti-aliased), the
// shapes composite onto a target of the same size. The preview context, when asked for, draws
// into a raster of its own.
struct ShapeBench {
    explicit ShapeBench(int32_t width = 96, int32_t height = 64)
    {
        BuildBlendTables();
        doc.SetShape(width, height);
        doc.AddLayer(layer);
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fMargin = 0;
        settings.fAntialias = true;
        settings.fShapeEffects = true;
        target.Allocate(width, height, 32);
        scratch.Allocate(width, height, 32);
        Clear(target.buffer);
        Clear(scratch.buffer);
        Attach(drawing, drawBuffer, width, height);
    }

    static void Clear(const QV_PixelBuffer& raster)
    {
        for (int32_t y = 0; y < raster.height; y++)
            std::memset(RasterRow(raster, y), 0, size_t(raster.width) * 4);
    }

    static void Attach(XGraphics& graphics, QV_BaseImage& image, int32_t width, int32_t height)
    {
        image.Allocate(width, height, 32);
        Clear(image.buffer);
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.fZoom = 1;
        graphics.SetRaster(&image.buffer);
        graphics.SetAntialiasing(true);
        graphics.BeginDraw();
    }

    void UsePreview()
    {
        preview = std::make_unique<XGraphics>();
        Attach(*preview, previewBuffer, doc.Width(), doc.Height());
        settings.fPreviewGraphics = preview.get();
    }

    // A closed curve through the corners, straight segments; answers its index.
    int32_t Polygon(const std::vector<QV_Vector2>& corners)
    {
        M_Mesh& mesh = layer->fMesh;
        mesh.AddLonePoint(corners[0], 0);
        for (size_t i = 1; i < corners.size(); i++)
            mesh.AppendPoint(corners[i], 0);
        const int32_t index = mesh.fNumCurves - 1;
        M_Curve* curve = mesh.fCurves[index];
        curve->fClosed = true;
        for (int32_t i = 0; i < curve->fNumPoints; i++)
            curve->SetCurvature(i, 0, 0);
        return index;
    }

    int32_t Square(float left, float top, float right, float bottom)
    {
        return Polygon({ { left, top }, { right, top }, { right, bottom }, { left, bottom } });
    }

    // A shape over every segment of the curve, with the own style's colours and line width (a
    // fraction of the document height) defined.
    M_Shape* Shape(int32_t curve, rgb_color fill, rgb_color line, float lineWidth, bool hasFill = true,
        bool hasOutline = true)
    {
        M_Mesh& mesh = layer->fMesh;
        M_Shape* shape = new M_Shape(0);
        shape->fHasFill = hasFill;
        shape->fHasOutline = hasOutline;
        for (int32_t s = 0; s < mesh.fCurves[curve]->fNumPoints; s++)
            shape->AddEdge(curve, s, 0);
        DefineOwnStyle(shape->fMyStyle, fill, line, lineWidth);
        mesh.AddShape(shape);
        return shape;
    }

    // Brings the layer to the document frame after the mesh was built.
    void Ready(int32_t frame = 0)
    {
        doc.SetCurFrame(frame);
        layer->SetCurFrame(frame);
    }

    void RenderItem(int32_t item)
    {
        layer->RenderItem(&doc, &drawing, &target.buffer, &scratch.buffer, item, &settings);
    }

    void RenderAll()
    {
        for (int32_t i = 0; i < layer->CountRenderItems(); i++)
            RenderItem(i);
    }

    static const uint8_t* At(const QV_BaseImage& image, int32_t x, int32_t y)
    {
        return RasterPixel(image.buffer, x, y);
    }

    static int64_t AlphaSum(const QV_BaseImage& image)
    {
        int64_t sum = 0;
        for (int32_t y = 0; y < image.buffer.height; y++) {
            for (int32_t x = 0; x < image.buffer.width; x++)
                sum += RasterPixel(image.buffer, x, y)[kAlpha];
        }
        return sum;
    }

    // The largest difference of any channel between two images of the same size.
    static int32_t MaxDifference(const QV_BaseImage& a, const QV_BaseImage& b)
    {
        int32_t worst = 0;
        for (int32_t y = 0; y < a.buffer.height; y++) {
            for (int32_t x = 0; x < a.buffer.width; x++) {
                const uint8_t* p = RasterPixel(a.buffer, x, y);
                const uint8_t* q = RasterPixel(b.buffer, x, y);
                // Colour only counts where something is visible.
                const int32_t channels = p[kAlpha] == 0 && q[kAlpha] == 0 ? 0 : 4;
                for (int32_t c = 0; c < channels; c++) {
                    const int32_t d = p[c] > q[c] ? p[c] - q[c] : q[c] - p[c];
                    worst = d > worst ? d : worst;
                }
                const int32_t d = p[kAlpha] > q[kAlpha] ? p[kAlpha] - q[kAlpha] : q[kAlpha] - p[kAlpha];
                worst = d > worst ? d : worst;
            }
        }
        return worst;
    }

    VornDoc doc;
    MeshLayer* layer = new MeshLayer;
    RenderSettings settings;
    QV_BaseImage drawBuffer;
    QV_BaseImage target;
    QV_BaseImage scratch;
    QV_BaseImage previewBuffer;
    XGraphics drawing;
    std::unique_ptr<XGraphics> preview;
};

constexpr rgb_color kFillRed { 220, 30, 20, 255 };
constexpr rgb_color kLineBlue { 10, 40, 200, 255 };
