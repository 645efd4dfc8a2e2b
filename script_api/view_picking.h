#pragma once

#include <cstdint>

#include "qv_baseimage.h"
#include "qv_color.h"
#include "qv_rect.h"
#include "qv_vector.h"

class M_Shape;
class VornDoc;
class VornLayer;
class XGraphics;

// What lies under the pointer, found by drawing: the candidates are drawn one after the other in
// white on black over the graphics' whole target, through its camera and the layer's full
// transform, and each is tested for a changed pixel in the square of the radius about the
// pointer. Every call overwrites the target. Shared by the canvas and the window-less view so
// that both pick alike.

// The first point of the current vector layer whose marker reaches the square, or -1.
int32_t PickMeshPoint(XGraphics& graphics, VornDoc* doc, const QV_Point& pt, int32_t radius);
// The first segment of the current vector layer under the pointer, skipping segment
// (curve, segment), or every segment of curve when segment is -1; both -1 when none. Without a
// current vector layer the pair stays as given.
void PickMeshEdge(XGraphics& graphics, VornDoc* doc, const QV_Point& pt, int32_t& curve, int32_t& segment,
    int32_t radius);
// The topmost shape of the current vector layer under the pointer among shapes 0..limit (a
// limit below 0 or at the last shape: all), or -1. The scratch image is the layers' working
// raster, sized to the target.
int32_t PickMeshShape(XGraphics& graphics, QV_BaseImage& scratch, VornDoc* doc, const QV_Point& pt,
    int32_t limit, int32_t radius);
// The topmost shape under the pointer of any vector layer of the document, groups searched
// too; the last layer in list order that has one wins.
M_Shape* PickAnyShape(XGraphics& graphics, QV_BaseImage& scratch, VornDoc* doc, const QV_Point& pt,
    int32_t limit, int32_t radius);
// The last bone of the bone or switch layer whose outline reaches the square; without one and
// without exact, the bone nearest vec (a point in the layer's coordinates); -1 without bones.
// Bones driven by others are skipped past frame 0 when hideControlled is on.
int32_t PickSkeletonBone(XGraphics& graphics, VornDoc* doc, VornLayer* layer, bool exact, const QV_Point& pt,
    const QV_Vector2& vec, int32_t radius, bool hideControlled);
// Selects the points round the empty region under the pointer: the curves are drawn, the region
// flood-filled, and both ends of each segment whose middle lies within radius pixels of the fill
// are selected. Only clears the selection when the region is not enclosed.
void FloodSelectMesh(XGraphics& graphics, VornDoc* doc, const QV_Point& pt, int32_t radius);
// The shape the selected points would make, in the selection colour: a checkered fill of the
// segments between selected points on closed strands, an outline of every selected segment.
// Drawn with the graphics' current matrix.
void DrawMeshPreviewShape(XGraphics& graphics, VornDoc* doc, rgb_color selection);
