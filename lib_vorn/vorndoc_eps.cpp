// Importing an EPS or Illustrator drawing as a new vector layer: the shell's reader fills the
// mesh, the document centres and sizes the drawing and places the layer above the selection.

#include <algorithm>
#include <cmath>
#include <new>

#include "grouplayer.h"
#include "m_point.h"
#include "meshlayer.h"
#include "qv_filestream.h"
#include "vorndoc.h"

namespace {

// Below this the drawing has no extent to scale to: its points all but coincide.
constexpr float kMinExtent = 1e-6f;

void Report(ImportProgress progress, float fraction)
{
    if (progress)
        progress(1, fraction);
}

// Centres the drawing at the origin with its larger side spanning 2 units (from -1 to 1),
// deselecting every point; the result becomes each point's key at frame 0.
void Normalise(M_Mesh& mesh)
{
    QV_Vector2 low { 1000000, 1000000 }, high { -1000000, -1000000 };
    for (int32_t i = 0; i < mesh.fNumPoints; i++) {
        const QV_Vector2& p = mesh.fPoints[i]->fPos;
        low = QV_Vector2 { std::min(low.x, p.x), std::min(low.y, p.y) };
        high = QV_Vector2 { std::max(high.x, p.x), std::max(high.y, p.y) };
    }
    const QV_Vector2 center { (low.x + high.x) / 2, (low.y + high.y) / 2 };
    const float extent = std::max(high.x - low.x, high.y - low.y);
    const float scale = extent < kMinExtent ? 1 : 2 / extent;
    for (int32_t i = 0; i < mesh.fNumPoints; i++) {
        M_Point* point = mesh.fPoints[i];
        point->fSelected = false;
        const QV_Vector2 p { (point->fPos.x - center.x) * scale, (point->fPos.y - center.y) * scale };
        point->fAnimPos.SetValue(0, p);
        point->fPos = p;
    }
}

} // namespace

void VornDoc::ImportEPS(const char* path, ImportProgress progress)
{
    QV_FileStream stream;
    if (!path || stream.Open(path, true) != 0) {
        Report(progress, 0);
        return;
    }
    MeshLayer* layer = new (std::nothrow) MeshLayer;
    if (!layer) {
        Report(progress, 0);
        return;
    }
    // Shown from the current frame on (throughout when that is frame 0).
    layer->fVisibility.SetValue(0, false);
    layer->fVisibility.SetValue(fCurFrame, true);
    layer->fNoiseAmp = 6.0f / float(fHeight);
    layer->fNoiseScale = 48.0f / float(fHeight);
    QV_Path file(path);
    file.ToSlashes();
    layer->SetName(file.AfterLast('/').CString());
    if (layer->Name().IsEmpty())
        layer->SetName(path);

    if (EPSParser parse = GetEPSParser())
        parse(&stream, layer->Mesh(), fHeight, progress);
    stream.Close();
    if (layer->Mesh()->fNumPoints == 0) {
        delete layer;
        Report(progress, 1);
        return;
    }
    Normalise(*layer->Mesh());

    GroupLayer* group = fSelLayer ? fSelLayer->fParent : nullptr;
    if (group) {
        group->InsertLayer(layer, fSelLayer, true);
    } else {
        layer->SetDocument(this);
        const int32_t index = fSelLayer ? fLayers.IndexOf(fSelLayer) + 1 : 0;
        fLayers.Insert(layer, index);
        FullDepthSort();
    }
    layer->ShowConstructionCurves(false);
    SetSelLayer(layer);
    fDirty = true;
    Report(progress, 1);
}
