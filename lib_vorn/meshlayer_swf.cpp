// The vector layer's SWF export: every shape becomes SWF shapes with a solid or gradient fill
// and a line; variable line widths become filled bands. A flat and static layer is defined once
// as a clip and then only placed.

#include <cmath>

#include "meshlayer.h"
#include "blend_tables.h"
#include "swf.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr float kPi = 3.14159265f;  // single precision, as the angles are turned to degrees
QV_Vector2 Apply(const QV_Matrix& m, const QV_Vector2& p)
{
    QV_Vector2 v = p;
    m.Transform(v);
    return v;
}

}  // namespace

void MeshLayer::ExportSWF(VornDoc* doc, XGraphics* graphics, RenderSettings* settings)
{
    if (!doc || !graphics)
        return;
    const float documentHeight = static_cast<float>(doc->Height());
    const float lineScale = (fScaleCompensation ? graphics->CurrentScale(false, 0, 0) : graphics->fZoom)
        * static_cast<float>(graphics->Height()) / documentHeight;
    if (fSWFClip) {
        PlaceSWFClip(graphics);
        return;
    }
    QV_Vector2 q;
    if (IsFlatAndStatic()) {
        fSWFClip = newSWFMovieClip();
        SWFMovieClip_setNumberOfFrames(fSWFClip, 1);
        fSWFMatrix = graphics->CurrentTransform();
        q = Apply(fSWFMatrix, fOrigin);
    }
    QV_Matrix full;
    GetFullTransform(doc->CurFrame(), full, doc);
    QV_Vector3 o{ fOrigin.x, fOrigin.y, 0 }, ox{ fOrigin.x + 1, fOrigin.y, 0 }, oy{ fOrigin.x, fOrigin.y + 1, 0 };
    full.TransformAffine(o);
    full.TransformAffine(ox);
    full.TransformAffine(oy);
    const QV_Vector3 a = ox - o, b = oy - o;
    const bool mirrored = a.x * b.y - a.y * b.x < 0;

    BuildBlendTables();
    for (int32_t i = 0; i < fMesh.GetNumShapes(); i++)
        ExportSWFShape(i, doc, graphics, settings, q, lineScale, mirrored);
    if (fSWFClip) {
        SWFMovieClip_labelFrame(fSWFClip, fName.CString());
        SWFMovieClip_nextFrame(fSWFClip);
        PlaceSWFClip(graphics);
    }
}

void MeshLayer::PlaceSWFClip(XGraphics* graphics)
{
    const QV_Matrix& s = fSWFMatrix;
    const QV_Matrix m = graphics->CurrentTransform();
    const QV_Vector2 ox{ fOrigin.x + 1, fOrigin.y }, oy{ fOrigin.x, fOrigin.y + 1 };
    const QV_Vector2 oS = Apply(s, fOrigin), oM = Apply(m, fOrigin);
    const QV_Vector2 aS = Apply(s, ox) - oS, bS = Apply(s, oy) - oS;
    const QV_Vector2 aM = Apply(m, ox) - oM, bM = Apply(m, oy) - oM;
    const float crossS = bS.y * aS.x - bS.x * aS.y;
    const float crossM = bM.y * aM.x - bM.x * aM.y;
    float thetaS = std::atan2(-aS.y, aS.x);
    const float thetaM = std::atan2(-aM.y, aM.x);
    float sign = 1;
    if (crossM * crossS < 0) {
        sign = -1;
        thetaS = std::atan2(-aS.y, -aS.x);
    }
    SwfDisplayItem* item = SWFMovie_add(graphics->fSWFTarget, fSWFClip);
    const float lengthS = aS.Mag(), heightS = bS.Mag();
    SWFDisplayItem_scaleTo(item, lengthS > 0 ? sign * aM.Mag() / lengthS : 0, heightS > 0 ? bM.Mag() / heightS : 0);
    SWFDisplayItem_rotateTo(item, (thetaM - thetaS) * 180 / kPi);
    SWFDisplayItem_moveTo(item, oM.x, oM.y);
    SWFDisplayItem_setColorMult(item, 1, 1, 1, fAlpha.value);
    if (item)
        graphics->fSWFItems.Append(item);
}
