#pragma once
// Vector layers holding plain rectangles, for the tests that render whole documents.

#include "m_curve.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "meshlayer.h"

// A closed rectangle from (x0, y0) to (x1, y1) as one shape with a fill and, when width > 0,
// an outline.
inline M_Shape* AddRect(MeshLayer* layer, float x0, float y0, float x1, float y1, rgb_color fill, rgb_color line,
    float width)
{
    M_Mesh& mesh = layer->fMesh;
    mesh.AddLonePoint(QV_Vector2 { x0, y0 }, 0);
    mesh.AppendPoint(QV_Vector2 { x1, y0 }, 0);
    mesh.AppendPoint(QV_Vector2 { x1, y1 }, 0);
    mesh.AppendPoint(QV_Vector2 { x0, y1 }, 0);
    const int32_t curve = mesh.fNumCurves - 1;
    mesh.fCurves[curve]->fClosed = true;
    M_Shape* shape = new M_Shape(0);
    shape->fHasFill = true;
    shape->fHasOutline = width > 0;
    for (int32_t segment = 0; segment < 4; segment++)
        shape->AddEdge(curve, segment, 0);
    shape->fMyStyle.fFillCol.SetValue(0, fill);
    shape->fMyStyle.fLineCol.SetValue(0, line);
    shape->fMyStyle.fLineWidth = width;
    mesh.AddShape(shape);
    return shape;
}

inline MeshLayer* NewLayer(const char* name)
{
    MeshLayer* layer = new MeshLayer;
    layer->SetName(name);
    return layer;
}
