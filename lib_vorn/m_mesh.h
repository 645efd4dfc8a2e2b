#pragma once

#include <cstdint>

#include "qv_vector.h"

class M_Curve;
class M_Point;
class M_PointGroup;
class M_Shape;
class QV_IoStream;

// The geometry of a vector layer: owned arrays of points, curves, shapes (in stacking order,
// index 0 lowest) and named point groups. Objects refer to each other by array index: curves list
// point indices, points list (curve, position) memberships, shape edges name (curve, segment),
// groups list point indices. Every deletion and editing operation renumbers what it moved, so no
// index is held across one.
//
// Slots from a count up to its capacity are always null. Index errors print
// "M_Mesh:<Operation> - out of range" to the console and change nothing.
class M_Mesh {
public:
    M_Mesh();
    ~M_Mesh();
    M_Mesh(const M_Mesh&) = delete;
    M_Mesh& operator=(const M_Mesh&) = delete;

    // Container (m_mesh.cpp).
    void Empty();
    int32_t GetNumPoints() const { return fNumPoints; }
    int32_t GetNumCurves() const { return fNumCurves; }
    int32_t GetNumShapes() const { return fNumShapes; }
    int32_t GetNumGroups() const { return fNumGroups; }
    M_Point* GetPoint(int32_t index);
    M_Curve* GetCurve(int32_t index);
    M_Shape* GetShape(int32_t index);
    M_PointGroup* GetGroup(int32_t index);
    // Index by object, -1 when absent.
    int32_t GetPointID(const M_Point* point) const;
    int32_t GetCurveID(const M_Curve* curve) const;
    int32_t GetShapeID(const M_Shape* shape) const;
    int32_t GetGroupID(const M_PointGroup* group) const;
    // Takes the shape on top of the stack; with "AutoNaming" on, an unnamed shape is named after
    // the new shape count.
    void AddShape(M_Shape* shape);
    M_Curve* NewCurve();
    void ResizePoints(int32_t capacity);
    void ResizeCurves(int32_t capacity);
    void ResizeShapes(int32_t capacity);
    void ResizeGroups(int32_t capacity);

    // Deletes points on no curve, curves of fewer than 2 points, filled shapes of fewer than 2
    // edges and shapes without edges, and groups that are empty or name a missing point, until
    // none is left. Nothing while fCleanup is false.
    void RemoveDegenerates();
    // Removes the point from every curve through it (with the fillable shapes that meet there
    // when it is a junction), from the groups and from the mesh.
    void DeletePoint(int32_t index);
    // Deletes the curve and every shape with an edge on it; points left on no curve stay until
    // the next clean-up.
    void DeleteCurve(int32_t index);
    void DeleteShape(int32_t index);
    // Flags the points of open strands: the ends of open curves (and, when asked, every
    // unselected point) and the points reached from them along curves up to a junction.
    void MarkDanglingPoints(bool fromUnselected);
    // Later shapes that repeat an earlier shape's name become "Name 2", "Name 3" ...
    void MakeShapeNamesUnique();
    // Every curve entry names an existing point, every membership an existing curve position,
    // and the two mirror each other one to one.
    bool LinksAreConsistent() const;

    // Point groups (m_mesh.cpp).
    void AddGroup(const char* name);
    void SelectGroup(int32_t index);
    void SelectGroup(const char* name);
    void DeleteGroup(int32_t index);
    void DeleteGroup(const char* name);

    // The text record (m_mesh_record.cpp). Reading appends to what the mesh holds; with
    // noCleanup (pasting) the objects stay as recorded. A failed read leaves the mesh as it was
    // and the error text in the stream.
    bool ReadRecord(QV_IoStream* stream, bool noCleanup);
    void WriteRecord(QV_IoStream* stream);

    // Editing (m_mesh_edit.cpp).
    // A new selected point joined to the point connectTo, or starting a new two-point curve
    // when connectTo is -1.
    void AddPoint(const QV_Vector2& position, int32_t connectTo, int32_t frame);
    // A new selected point inserted into segment s of the curve.
    void AddPoint(const QV_Vector2& position, int32_t curve, int32_t segment, int32_t frame);
    // Remembers where the curve of the next AppendPoint starts.
    void AddLonePoint(const QV_Vector2& position, int32_t frame);
    void AppendPoint(const QV_Vector2& position, int32_t frame);
    // Merges point a into point b, joining or closing the curves at them.
    bool WeldPoints(int32_t a, int32_t b, int32_t frame);
    bool ArePointsAdjacent(int32_t a, int32_t b);
    // Removes the smooth points of the curve's nearly straight runs.
    void SimplifyCurve(int32_t curve, float angle);
    // Removes one segment, opening or splitting its curve.
    void DeleteEdge(int32_t curve, int32_t segment, int32_t frame);

    // Selection, moves and stacking (m_mesh_select.cpp).
    int32_t ClosestPoint(const QV_Vector2& position, int32_t excluded = -1, int32_t last = -1);
    QV_Vector2 SelectedCenter();
    void SelectedBounds(QV_Vector2& min, QV_Vector2& max);
    void PrepMovePoints();
    void TranslatePoints(const QV_Vector2& offset);
    void ScalePoints(float sx, float sy, const QV_Vector2& center);
    void RotatePoints(float angle, const QV_Vector2& center);
    void SelectNone();
    void SelectAll();
    void SelectInverse();
    void SelectConnected();
    void LowerShape(int32_t index, bool allTheWay);
    void RaiseShape(int32_t index, bool allTheWay);

    // RemoveDegenerates acts only while set.
    bool fCleanup;
    // AddLonePoint was called: the next AppendPoint starts a new curve at fLonePos.
    bool fLonePending;
    QV_Vector2 fLonePos;
    int32_t fNumPoints;
    int32_t fPointCapacity;
    M_Point** fPoints;
    int32_t fNumCurves;
    int32_t fCurveCapacity;
    M_Curve** fCurves;
    int32_t fNumShapes;
    int32_t fShapeCapacity;
    M_Shape** fShapes;
    int32_t fNumGroups;
    int32_t fGroupCapacity;
    M_PointGroup** fGroups;

private:
    // A new selected point keyed at the frame, appended to the points.
    M_Point* MakePoint(const QV_Vector2& position, int32_t frame);
    // Hands every membership of point a over to point b; a keeps the one at index keep (-1: none).
    void MoveMemberships(int32_t a, int32_t b, int32_t keep);
    // One round of the four clean-up passes; true when it deleted anything.
    bool RemoveDegeneratesOnce();
    // Deletes what a failed read made past the counts it started from.
    void DiscardFrom(int32_t points, int32_t curves, int32_t shapes, int32_t groups);
    // Walks of MarkDanglingPoints along one curve from a position, both ways.
    void MarkStrand(int32_t curve, int32_t position, uint8_t* walked);

    // Set while RemoveDegenerates runs: the deletions it makes call it again, and the loop that
    // is already running finds whatever they leave.
    bool fCleaning;
};
