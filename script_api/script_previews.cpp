#include "script_previews.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "follow_flags.h"
#include "interface_colors.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_style.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_font.h"
#include "script_app_services.h"

namespace {

// The view quality of a mesh preview: a quick preview, whatever the canvas uses.
constexpr int32_t kPreviewQualityFlags = 1516;
constexpr int32_t kQuickPreviewDrawMode = 4;

rgb_color Opaque(uint8_t value) { return rgb_color { value, value, value, 255 }; }

void Outline(QV_Graphics* graphics, int32_t width, int32_t height)
{
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(0, 0, width - 1, height - 1);
}

} // namespace

rgb_color NewShapeFillColor()
{
    M_Shape* properties = ScriptServices().NewShapeProperties();
    if (!properties)
        return ModelPrefColor("VornColFill", rgb_color { 255, 255, 255, 255 });
    rgb_color color = properties->fMyStyle.fFillCol.value;
    for (M_Style* reference : { properties->fStyle1, properties->fStyle2 }) {
        if (reference && reference->fDefineFillCol && !properties->fMyStyle.fDefineFillCol)
            color = reference->fFillCol.value;
    }
    return color;
}

QV_FontPreview::QV_FontPreview(int32_t width, int32_t height)
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
{
    ResizeTo(width, height);
}

QV_FontPreview::~QV_FontPreview() = default;

void QV_FontPreview::Refresh()
{
    Draw();
    QV_View::Refresh();
}

void QV_FontPreview::Draw()
{
    if (QV_Graphics* graphics = GetGraphics())
        Paint(graphics);
}

void QV_FontPreview::Paint(QV_Graphics* graphics)
{
    const QV_Point size = Size();
    const rgb_color color = NewShapeFillColor();
    const float r = color.r / 255.0f;
    const float g = color.g / 255.0f;
    const float b = color.b / 255.0f;
    // A dark colour shows on white, a light one on black.
    const bool dark = std::sqrt(r * r + g * g + b * b) < std::sqrt(3.0f) / 2;
    graphics->SetColorStruct(Opaque(dark ? 255 : 0));
    graphics->FillRect(0, 0, size.x, size.y);
    const int32_t pixelSize = size.y - size.y / 2;
    std::unique_ptr<QV_Font> font(ScriptServices().OpenFontByName(fFontName.CString(), pixelSize));
    if (font) {
        const int32_t ascent = font->Ascent();
        const int32_t x = size.x / 2 - font->StringWidth(fPreviewText.CString()) / 2;
        const int32_t y = size.y / 2 + ascent / 2 - ascent / 8;
        font->DrawString(color, &graphics->fTarget, fPreviewText.CString(), x, y);
    }
    Outline(graphics, size.x, size.y);
}

QV_MeshPreview::QV_MeshPreview(int32_t width, int32_t height)
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    , fMeshLayer(new MeshLayer)
{
    ResizeTo(width, height);
    fDoc.SetShape(width, height);
    fDoc.AddLayer(fMeshLayer);
}

QV_MeshPreview::~QV_MeshPreview() { fImage.Free(); }

M_Mesh* QV_MeshPreview::Mesh() { return fMeshLayer->Mesh(); }

void QV_MeshPreview::Refresh()
{
    Paint();
    QV_View::Refresh();
}

void QV_MeshPreview::Draw()
{
    QV_PixelBuffer* raster = LayerRaster();
    if (!raster || fGraphics.SetRaster(raster) != 0)
        return;
    fImage.Allocate(fGraphics.Width(), fGraphics.Height(), 32);
    Paint();
}

void QV_MeshPreview::Paint()
{
    if (!fGraphics.fTarget.pixels)
        return;
    const int32_t width = fGraphics.Width();
    const int32_t height = fGraphics.Height();
    fGraphics.SetColorStruct(ModelPrefColor("VornColBack", rgb_color { 255, 255, 255, 255 }));
    fGraphics.FillRect(0, 0, width, height);
    {
        ScopedViewQualityFlags quality(kPreviewQualityFlags);
        fGraphics.fViewMode = 2;
        fGraphics.BeginDraw();
        fGraphics.SetBezierTolerance(2.0f);
        int32_t drawMode = kQuickPreviewDrawMode;
        fMeshLayer->Draw(&fDoc, &fGraphics, &fImage.buffer, drawMode, nullptr, nullptr);
        fGraphics.EndDraw();
    }
    Outline(&fGraphics, width, height);
}

bool QV_MeshPreview::CreateShape(bool fill)
{
    M_Mesh* mesh = Mesh();
    mesh->MarkDanglingPoints(true);
    struct Edge {
        int32_t curve;
        int32_t segment;
        bool dangling;
    };
    std::vector<Edge> edges;
    int32_t usable = 0;
    for (int32_t c = 0; c < mesh->GetNumCurves(); c++) {
        M_Curve* curve = mesh->GetCurve(c);
        for (int32_t s = 0; s < curve->GetNumSegments(); s++) {
            M_Point* a = curve->GetPoint(s);
            M_Point* b = curve->GetPoint(s + 1);
            if (!a || !b || !a->fSelected || !b->fSelected)
                continue;
            edges.push_back({ c, s, a->fDangling });
            if (!fill || (!a->fDangling && !b->fDangling))
                usable++;
        }
    }
    if (usable == 0 || (fill && usable < 3)) {
        mesh->MarkDanglingPoints(false);
        return false;
    }
    auto shape = std::make_unique<M_Shape>(0);
    if (M_Shape* properties = ScriptServices().NewShapeProperties())
        shape->CopyStyleProperties(properties);
    shape->SetCurFrame(0);
    shape->fHasFill = fill;
    shape->fHasOutline = true;
    for (const Edge& edge : edges)
        shape->AddEdge(edge.curve, edge.segment, edge.dangling ? 1 : 0);
    for (int32_t i = 0; i < mesh->GetNumShapes(); i++)
        mesh->GetShape(i)->fSelected = false;
    mesh->AddShape(shape.release());
    mesh->MarkDanglingPoints(false);
    return true;
}

void QV_MeshPreview::AutoZoom()
{
    if (!fGraphics.fTarget.pixels)
        return;
    fGraphics.fRotation = 0;
    const float aspect = float(fDoc.Width()) / float(fDoc.Height());
    float minX = -aspect, minY = -1, maxX = aspect, maxY = 1;
    QV_Matrix transform;
    fMeshLayer->GetFullTransform(fDoc.CurFrame(), transform, &fDoc);
    M_Mesh* mesh = Mesh();
    if (mesh->GetNumPoints() >= 2) {
        minX = minY = 1000000;
        maxX = maxY = -1000000;
        for (int32_t i = 0; i < mesh->GetNumPoints(); i++) {
            QV_Vector2 p = mesh->GetPoint(i)->fPos;
            transform.Transform(p);
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
    }
    const float panX = -(minX + maxX) / 2;
    const float panY = -(minY + maxY) / 2;
    const float halfWidth = maxX + panX;
    const float halfHeight = maxY + panY;
    float zoom = 0.9f;
    if (halfWidth != 0 && halfHeight != 0) {
        const float targetAspect = float(fGraphics.Width()) / float(fGraphics.Height());
        zoom = std::max(std::min(targetAspect / halfWidth, 1.0f / halfHeight) * 0.9f, 0.01f);
    }
    fGraphics.fPanX = panX;
    fGraphics.fPanY = panY;
    fGraphics.fZoom = zoom;
}

namespace vornpreview {

QV_FontPreview* NewFontPreview(int width, int height) { return new QV_FontPreview(width, height); }
QV_MeshPreview* NewMeshPreview(int width, int height) { return new QV_MeshPreview(width, height); }
void SetPreviewText(QV_FontPreview* self, const char* text) { self->fPreviewText = text ? text : ""; }
void SetFontName(QV_FontPreview* self, const char* name) { self->fFontName = name ? name : ""; }

} // namespace vornpreview
