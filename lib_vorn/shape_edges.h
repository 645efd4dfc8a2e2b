#pragma once

#include <cstdint>

class M_Curve;
class M_Mesh;
class M_Point;
class M_Shape;
class MeshLayer;
class QV_Graphics;
struct QV_BBox;

// The curve of a shape edge when its segment can be drawn at all: the curve exists, has two
// points or more, and the segment is one of its; else null. With `report` a missing curve is
// reported the way mesh look-ups report it; the look-ups around a drawing stay quiet.
M_Curve* DrawableSegment(M_Mesh& mesh, int32_t curveIndex, int32_t segment, bool report);

// The segment can be filled: it lies on its curve and neither end point is missing or on an
// open strand.
bool FillableSegment(M_Curve* curve, int32_t segment);

// The curve of a shape edge when its segment is stroked: the curve exists, has two points or
// more, the segment index is below the point count and the segment is switched on; else null.
// Open strands do not matter here. A missing curve, or a negative segment index, is reported.
M_Curve* StrokedSegment(M_Mesh& mesh, int32_t curveIndex, int32_t segment);

// The line width at a segment end point: the point's own width, or the style's line width
// where the point has none (negative).
float PointLineWidth(const M_Point& point, float lineWidth);

// Adds the fill outline of the shape to the path begun in the graphics: every edge not flagged
// as on an open strand whose segment can be filled, from the points' current positions. With
// `bounds`, the control points of those segments at the frame (without bone deformation) are
// added to it.
void AddShapeFillPath(
    QV_Graphics& graphics, M_Mesh& mesh, const M_Shape& shape, int32_t frame, QV_BBox* bounds);

// The layer hangs off a bone or switch layer without being bound to one bone, and some edge of
// the shape has an end point bound to a single bone: its effects then reach further.
bool ShapeIsBoneBound(MeshLayer& layer, const M_Shape& shape);
