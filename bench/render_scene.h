#pragma once

// The document of the render benchmarks: 1920 x 1080, 48 frames, 10 vector layers of 200 filled
// and outlined shapes each (every fourth shape moves, one layer casts a shadow, one is blurred).

#include <cstdint>

#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "vorndoc.h"

constexpr int32_t kFrames = 48;

inline float Unit(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 24);
}

// A closed four-point blob around (x, y) as one shape with a fill and an outline.
inline void AddBlob(M_Mesh& mesh, float x, float y, float size, uint32_t& seed, bool animated)
{
    const QV_Vector2 corners[4] = { { x - size, y - size }, { x + size, y - size }, { x + size, y + size },
        { x - size, y + size } };
    const int32_t first = mesh.fNumPoints;
    mesh.AddLonePoint(corners[0], 0);
    for (int32_t i = 1; i < 4; i++)
        mesh.AppendPoint(corners[i], 0);
    const int32_t curve = mesh.fNumCurves - 1;
    mesh.fCurves[curve]->fClosed = true;
    if (animated) {
        for (int32_t i = 0; i < 4; i++) {
            M_Point* point = mesh.fPoints[first + i];
            point->fAnimPos.SetValue(kFrames, QV_Vector2 { corners[i].x + 0.2f * Unit(seed), corners[i].y + 0.1f * Unit(seed) });
        }
    }
    M_Shape* shape = new M_Shape(0);
    shape->fHasFill = true;
    shape->fHasOutline = true;
    for (int32_t segment = 0; segment < 4; segment++)
        shape->AddEdge(curve, segment, 0);
    shape->fMyStyle.fFillCol.SetValue(0,
        rgb_color { uint8_t(255 * Unit(seed)), uint8_t(255 * Unit(seed)), uint8_t(255 * Unit(seed)), 255 });
    shape->fMyStyle.fLineWidth = 0.004f;
    mesh.AddShape(shape);
}

inline void BuildScene(VornDoc& doc)
{
    doc.fWidth = 1920;
    doc.fHeight = 1080;
    doc.fEndFrame = kFrames;
    uint32_t seed = 12345;
    for (int32_t l = 0; l < 10; l++) {
        MeshLayer* layer = new MeshLayer;
        for (int32_t s = 0; s < 200; s++) {
            const float x = -1.7f + 3.4f * Unit(seed);
            const float y = -0.95f + 1.9f * Unit(seed);
            AddBlob(layer->fMesh, x, y, 0.02f + 0.06f * Unit(seed), seed, s % 4 == 0);
        }
        if (l == 3) {
            layer->fLayerShadow.SetValue(0, true);
            layer->fShadowOffset.SetValue(0, 0.02f);
            layer->fShadowBlur.SetValue(0, 0.01f);
        }
        if (l == 7)
            layer->fBlur.SetValue(0, 0.004f);
        doc.AddLayer(layer);
    }
}
