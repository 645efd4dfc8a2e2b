#pragma once

#include <cstdint>

#include "animval.h"
#include "qv_vector.h"

class M_Mesh;
class M_Point;
class QV_IoStream;

// The curvature every new curve position gets.
constexpr float kDefaultCurvature = 0.3f;

// An ordered chain of mesh points, open or closed. Between each pair of neighbouring points lies
// a cubic Bezier segment whose handles follow from the neighbours and from the animated curvature
// at each position; nothing else describes the shape, so moving a point reshapes the segments on
// both sides of it. Segment s joins position s to position (s + 1) mod fNumPoints.
//
// The arrays always hold fCapacity entries; the curvature channels past fNumPoints are spares
// that AddPoint clears before use.
class M_Curve {
public:
    M_Curve();
    ~M_Curve();
    M_Curve(const M_Curve&) = delete;
    M_Curve& operator=(const M_Curve&) = delete;

    int32_t GetNumPoints() const { return fNumPoints; }
    // The point at position i, wrapping at both ends; null (with a console line) on a curve
    // without points.
    M_Point* GetPoint(int32_t i);
    int32_t GetNumSegments() const;
    // Both end points of segment s are selected; s must be a valid segment.
    bool IsSegmentSelected(int32_t s);
    bool IsPointOnSegment(int32_t pointIndex, int32_t s) const;
    bool IsSegmentOn(int32_t s) const;
    void SetSegmentOn(int32_t s, bool on);
    // 0.3 (with a console line) for a position outside the curve.
    float GetCurvature(int32_t i, int32_t frame);
    void SetCurvature(int32_t i, float curvature, int32_t frame);

    // The control points of segment s from the points' current positions and the curvatures'
    // current values. The curve needs at least 2 points and s must be a valid segment.
    void GetSegmentBezier(int32_t s, QV_Vector2 b[4]);
    // The same from the points' animated positions at the frame.
    void GetSegmentBezierAtFrame(int32_t frame, int32_t s, QV_Vector2 b[4]);
    QV_Vector2 PointOnSegment(int32_t s, float t);
    // The nearest of 101 samples of the segment; (0, 0) for a point 1000 units from them all.
    QV_Vector2 ClosestPointOnSegment(int32_t s, const QV_Vector2& point);

    // Inserts the point at position (0 .. fNumPoints), its curvature keyed 0.3 at the frame, and
    // records the membership. Shapes are not renumbered here: the mesh does that first.
    void AddPoint(M_Point* point, int32_t position, int32_t frame);
    // Removes the entry at the position; memberships and shapes are the mesh's business.
    void DeletePoint(int32_t position);
    void GrowPoints(int32_t extra);

    // pointBase is added to every point index read.
    bool ReadRecord(QV_IoStream* stream, int32_t pointBase);
    void WriteRecord(QV_IoStream* stream);

    bool fClosed;
    // fCapacity owned channels.
    AnimVal** fCurvature;
    // Not owned; null until the mesh adopts the curve.
    M_Mesh* fMesh;
    int32_t fNumPoints;
    int32_t fCapacity;
    // Mesh index of the point at each position.
    int32_t* fPointIDs;
    // 1: the segment starting at the position is drawn.
    uint8_t* fSegmentOn;

private:
    // The positions of the control points: current or animated at a frame.
    void BezierFrom(int32_t s, bool atFrame, int32_t frame, QV_Vector2 b[4]);
    QV_Vector2 PositionAt(int32_t i, bool atFrame, int32_t frame);
    void Reallocate(int32_t capacity);
    // Frees the arrays and every channel.
    void Release();
    // No points, the constructor's capacity and its spare channels.
    void MakeEmpty();
};
