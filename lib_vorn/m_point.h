#pragma once

#include <cstdint>

#include "animval.h"
#include "animvec2.h"
#include "qv_vector.h"

class M_Curve;
class M_Mesh;
class QV_IoStream;

// Bone binding of a point: the blend of all bones, or none.
constexpr int32_t kPointFollowsAllBones = -2;
constexpr int32_t kPointFollowsNoBone = -1;

// An index of a list of count entries that wraps around at both ends: count 3 gives 0 for 3 and 2
// for -1. count must be above 0.
inline int32_t WrapIndex(int32_t index, int32_t count)
{
    const int32_t r = index % count;
    return r < 0 ? r + count : r;
}

// One point of a vector mesh: an animated position and width, a bone binding, selection flags,
// and the curves that pass through it. Membership j says that the mesh's curve fCurveIDs[j] holds
// this point's mesh index at its position fCurvePositions[j]; the mesh keeps both directions of
// that bookkeeping in step.
class M_Point {
public:
    // Both channels hold a single key, at the frame.
    explicit M_Point(int32_t frame);
    ~M_Point();
    M_Point(const M_Point&) = delete;
    M_Point& operator=(const M_Point&) = delete;

    int32_t GetNumCurves() const { return fNumCurves; }
    // The curve of membership i (wrapping at both ends) and, when asked, the point's position in
    // it. Null, with a console line, for a point on no curve.
    M_Curve* GetCurve(int32_t i, int32_t* position = nullptr);
    // Keys the position; fPos follows when the frame is the channel's current frame.
    void SetPos(const QV_Vector2& pos, int32_t frame);
    // Keys the curvature of every curve through the point at the point's position.
    void SetCurvature(float curvature, int32_t frame);
    // The first or last point of one open curve, and on no other curve.
    bool IsEndpoint();
    // For an end point, its curve's mesh index and the one segment that ends at it; -1 and -1
    // otherwise.
    void GetEndpointEdge(int32_t& curve, int32_t& segment);

    // Appends a membership; the curve index is found in the mesh (-1 when it is not there).
    void AddCurveRef(M_Curve* curve, int32_t position);
    // Room for extra memberships past fNumCurves; the caller fills them and raises the count.
    void GrowCurveRefs(int32_t extra);
    // Removes membership i; later ones move down.
    void DeleteCurve(int32_t i);
    // Index of the membership (curve index, position), or -1.
    int32_t FindCurveRef(int32_t curve, int32_t position) const;

    // curveBase is added to every curve index read.
    bool ReadRecord(QV_IoStream* stream, int32_t curveBase);
    void WriteRecord(QV_IoStream* stream);

    bool fSelected;
    // Kept for tool scripts; the model never reads it.
    bool fPrevSelected;
    // The point lies on an open strand (M_Mesh::MarkDanglingPoints).
    bool fDangling;
    // The current position: what geometry and drawing use.
    QV_Vector2 fPos;
    // Negative: no width of its own, the shape's line width applies.
    AnimVal fWidth;
    // Scratch for tool scripts.
    float fTempWidth;
    // Bone binding: kPointFollowsAllBones, kPointFollowsNoBone or a bone index.
    int32_t fParent;
    AnimVec2 fAnimPos;
    // Position at the start of an interactive move.
    QV_Vector2 fTempPos;
    // Not owned; null until a mesh adopts the point.
    M_Mesh* fMesh;
    int32_t fNumCurves;
    // Exactly fNumCurves entries each (more only between GrowCurveRefs and the caller's fill).
    int32_t* fCurveIDs;
    int32_t* fCurvePositions;
};
