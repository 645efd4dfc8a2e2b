#pragma once

#include <cstdint>

#include "qv_vector.h"

class M_Mesh;

// Point tags of CurveTo runs: bit 0 an on-curve point, bit 1 a cubic control point (an
// off-curve point without it is a quadratic control point).
constexpr uint8_t kPathTagOn = 1;
constexpr uint8_t kPathTagCubic = 2;

// Turns move, line and curve commands in input units (4096 to a document unit) into points and
// curves of a mesh: each subpath becomes one curve, closed subpaths are welded shut, sharp turns
// become corners and finished curves are simplified. A plain record on the caller's stack.
struct PathBuilder {
    bool fSimplify;
    float fSimplifyAngle;
    int32_t fFirstPoint;
    QV_Vector2 fCurrent;
    QV_Vector2 fOffset;
    QV_Vector2 fStart;
    bool fAtStart;
    QV_Vector2 fFirstDir;
    QV_Vector2 fLastDir;
    int32_t fFrame;
    M_Mesh* fMesh;

    void Init(int32_t frame, M_Mesh* mesh);
    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    // n points with their tags; steps is the number of points set along a cubic run of three.
    void CurveTo(const QV_Vector2* points, int32_t count, const uint8_t* tags, int32_t steps);
    // Closes and welds the open subpath; its curve's index, or -1 when nothing was open or added.
    int32_t ClosePath();
    // The open subpath's curve left open; its index, or -1 when nothing was open or added.
    int32_t EndPath();
    void AddVertex(float x, float y, bool append, bool corner);

private:
    // Drawing without a MoveTo starts a subpath where the pen is.
    void EnsureSubpath();
    // The direction into the next segment, and whether it turns sharply at the current point.
    bool EnterSegment(const QV_Vector2& direction);
    void AppendDirect(const QV_Vector2& point);
};

// The corner sharpness keyed at turns.
constexpr float kPathCornerCurvature = 0.001f;
