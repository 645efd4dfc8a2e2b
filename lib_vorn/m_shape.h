#pragma once

#include <cstdint>

#include "animval.h"
#include "animvec2.h"
#include "m_style.h"
#include "qv_string.h"
#include "qv_vector.h"

class M_Mesh;
class QV_IoStream;

// Bit 0 of an edge's flags: one of its end points lies on an open strand.
constexpr uint8_t kEdgeDangling = 1;

// A filled and/or outlined region of a mesh, bounded by curve segments of the same mesh (its
// edges, each a curve index and a segment index, in the order the shape's builder found them).
// It owns its style and may refer by name to two of the document's shared styles. The mesh keeps
// its shapes in stacking order, index 0 lowest.
class M_Shape {
public:
    // The effect channels hold a single key, at the frame; the own style defines nothing, so the
    // shared styles the shape may refer to take effect.
    explicit M_Shape(int32_t frame);
    ~M_Shape();
    M_Shape(const M_Shape&) = delete;
    M_Shape& operator=(const M_Shape&) = delete;

    int32_t GetNumEdges() const { return fNumEdges; }
    // Leaves the outputs as they were (with a console line) for an edge outside the shape.
    void GetEdge(int32_t i, int32_t& curve, int32_t& segment, uint8_t* flags = nullptr) const;
    void AddEdge(int32_t curve, int32_t segment, uint8_t flags);
    void DeleteEdge(int32_t i);
    // The first edge equal to the old pair takes the new one; its flags stay.
    void ReplaceEdge(int32_t oldCurve, int32_t oldSegment, int32_t newCurve, int32_t newSegment);
    void GrowEdges(int32_t extra);

    bool AllPointsSelected();
    // The own style's colours and the effect channels.
    void SetCurFrame(int32_t frame);
    // Box of the control points of every edge, from the current state or from the animated
    // positions at a frame. Without edges: min (1e6, 1e6), max (-1e6, -1e6).
    void ShapeBounds(QV_Vector2& min, QV_Vector2& max);
    void ShapeBounds(int32_t frame, QV_Vector2& min, QV_Vector2& max);
    // Centre of the box at frame 0.
    QV_Vector2 ShapeCenter();
    QV_Vector2 EffectHandle1();
    QV_Vector2 EffectHandle2();

    // This shape takes the source's own style and style references; the line widths of its
    // points follow the change of line width.
    void CopyStyleProperties(M_Shape* source);
    void RemoveStyles();
    bool HasPositionDependentStyles();
    // Multiplies every positive width key of the points at the shape's edges by new / old.
    void ScaleLineWidths(float newWidth, float oldWidth);
    // Drops edges that name no curve of the mesh or no segment of their curve.
    void RemoveInvalidEdges();
    // Renumber the edges on the curve before a point is inserted at or removed from the position.
    void CurvePointInserted(int32_t curve, int32_t position);
    void CurvePointDeleted(int32_t curve, int32_t position);

    // curveBase is added to every curve index read; fMesh must be set before.
    bool ReadRecord(QV_IoStream* stream, int32_t curveBase);
    void WriteRecord(QV_IoStream* stream);

    bool fSelected;
    // Kept in memory snapshots (undo, copy), never written to files.
    bool fHidden;
    QV_String fName;
    bool fHasFill;
    bool fHasOutline;
    // The edges enclose an area that may be filled.
    bool fFillAllowed;
    AnimVal fEffectScale;
    // Radians.
    AnimVal fEffectRotation;
    // From the shape's centre.
    AnimVec2 fEffectOffset;
    M_Style fMyStyle;
    QV_String fStyleName1;
    // Not owned: the document's style of that name, once the document has resolved it.
    M_Style* fStyle1;
    QV_String fStyleName2;
    M_Style* fStyle2;
    // Not owned.
    M_Mesh* fMesh;
    int32_t fNumEdges;
    int32_t fCapacity;
    int32_t* fEdgeCurves;
    int32_t* fEdgeSegments;
    uint8_t* fEdgeFlags;

private:
    void Bounds(bool atFrame, int32_t frame, QV_Vector2& min, QV_Vector2& max);
    void ReallocateEdges(int32_t capacity);
    void RemoveEdgeAt(int32_t i);
};

void DeleteShapeObject(M_Shape* shape);
