// Building shapes from the selected edges of the script context's vector layer.

#include "script_interface.h"

#include <memory>
#include <vector>

#include "interpsetting.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_style.h"
#include "model_prefs.h"
#include "script_app_services.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

// Set by the canvas when the selection it previews does not close; cleared by each CreateShape.
bool gOpenOutline = false;

void SetStyleReference(QV_String& name, M_Style*& reference, M_Style* style)
{
    name = style->fName;
    reference = style;
}

struct SelectedEdge {
    int32_t curve;
    int32_t segment;
    bool dangling;
};

std::vector<SelectedEdge> SelectedEdges(M_Mesh* mesh)
{
    std::vector<SelectedEdge> edges;
    for (int32_t c = 0; c < mesh->GetNumCurves(); c++) {
        M_Curve* curve = mesh->GetCurve(c);
        for (int32_t s = 0; s < curve->GetNumSegments(); s++) {
            M_Point* a = curve->GetPoint(s);
            M_Point* b = curve->GetPoint(s + 1);
            if (a && b && a->fSelected && b->fSelected)
                edges.push_back({ c, s, a->fDangling || b->fDangling });
        }
    }
    return edges;
}

// Invisible before the frame it was made at: a step from alpha 0 at the layer's start.
void HideBefore(AnimColor& channel, int32_t frame, int32_t offset)
{
    channel.SetValue(frame, channel.GetValue(frame));
    channel.DeleteKey(0);
    QV_ColorVector before = channel.GetValue(offset);
    before.a = 0;
    channel.SetValue(offset, before);
    channel.SetKeyInterp(offset, INTERP_STEP, -1, -1);
}

bool SameEdges(M_Shape* shape, const std::vector<SelectedEdge>& edges)
{
    if (shape->GetNumEdges() != int32_t(edges.size()))
        return false;
    for (int32_t i = 0; i < shape->GetNumEdges(); i++) {
        int32_t curve = -1;
        int32_t segment = -1;
        shape->GetEdge(i, curve, segment);
        if (curve != edges[size_t(i)].curve || segment != edges[size_t(i)].segment)
            return false;
    }
    return true;
}

int32_t Build(M_Mesh* mesh, bool fill, int32_t frame, int32_t height, int32_t offset)
{
    const std::vector<SelectedEdge> edges = SelectedEdges(mesh);
    int32_t solid = 0;
    for (const SelectedEdge& edge : edges)
        solid += edge.dangling ? 0 : 1;
    if (edges.empty() || (fill && solid <= 2))
        return -1;
    auto shape = std::make_unique<M_Shape>(frame);
    shape->fMyStyle.fFillCol.SetValue(frame, ModelPrefColor("VornColFill", rgb_color { 255, 255, 255, 255 }));
    shape->fMyStyle.fLineWidth = 1.0f / float(height);
    shape->fMyStyle.fLineCol.SetValue(frame, ModelPrefColor("VornColLine", rgb_color { 0, 0, 0, 255 }));
    ScriptAppServices& services = ScriptServices();
    if (M_Shape* properties = services.NewShapeProperties())
        shape->CopyStyleProperties(properties);
    if (M_Style* style = services.SelectedDocumentStyle()) {
        if (!shape->fStyle1 || shape->fStyle1 == style)
            SetStyleReference(shape->fStyleName1, shape->fStyle1, style);
        else if (!shape->fStyle2 || shape->fStyle2 == style)
            SetStyleReference(shape->fStyleName2, shape->fStyle2, style);
    }
    shape->SetCurFrame(frame);
    shape->fHasFill = fill;
    shape->fFillAllowed = solid > 2;
    if (frame != offset) {
        HideBefore(shape->fMyStyle.fFillCol, frame, offset);
        HideBefore(shape->fMyStyle.fLineCol, frame, offset);
    }
    shape->fHasOutline = true;
    for (const SelectedEdge& edge : edges)
        shape->AddEdge(edge.curve, edge.segment, edge.dangling ? 1 : 0);
    for (int32_t i = 0; i < mesh->GetNumShapes(); i++)
        mesh->GetShape(i)->fSelected = false;
    for (int32_t i = 0; i < mesh->GetNumShapes(); i++) {
        M_Shape* existing = mesh->GetShape(i);
        if (existing->fHasFill && SameEdges(existing, edges)) {
            existing->fSelected = true;
            existing->CopyStyleProperties(shape.get());
            return i;
        }
    }
    // An outline that does not close cannot be filled.
    if (gOpenOutline && fill)
        return -1;
    mesh->AddShape(shape.release());
    return mesh->GetNumShapes() - 1;
}

} // namespace

void NoteOpenOutline() { gOpenOutline = true; }

int32_t ScriptInterface::CreateShape(bool fill, int32_t frame, bool redraw)
{
    M_Mesh* mesh = Mesh();
    if (!mesh)
        return -1;
    gOpenOutline = false;
    // The redraw's checkerboard preview of the selection tells whether the outline closes.
    if (redraw)
        ScriptRedraw();
    if (frame < 0)
        frame = fFrame + fLayer->TotalTimingOffset();
    const int32_t height = fDoc ? fDoc->Height() : 1;
    mesh->MarkDanglingPoints(false);
    const int32_t result = Build(mesh, fill, frame, height, fLayer->TotalTimingOffset());
    mesh->MarkDanglingPoints(false);
    if (result >= 0 && fDoc)
        fDoc->SetDirty();
    return result;
}
