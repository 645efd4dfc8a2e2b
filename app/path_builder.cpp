// Outline commands to mesh curves, for text and imported drawings.

#include "path_builder.h"

#include <cmath>

#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"

namespace {

constexpr float kInputScale = 0.000244140625f; // 1 / 4096
constexpr float kSameSpot = 1e-6f;
constexpr float kStraight = 0.999f;

QV_Vector2 Unit(const QV_Vector2& v) { return v.Norm(); }

QV_Vector2 V(float x, float y) { return QV_Vector2 { x, y }; }

void KeyCorner(M_Mesh* mesh, int32_t pointIndex, int32_t frame)
{
    M_Point* point = mesh->GetPoint(pointIndex);
    if (!point || point->GetNumCurves() < 1)
        return;
    int32_t position = -1;
    M_Curve* curve = point->GetCurve(0, &position);
    if (curve)
        curve->SetCurvature(position, kPathCornerCurvature, frame);
}

} // namespace

void PathBuilder::Init(int32_t frame, M_Mesh* mesh)
{
    fSimplify = true;
    fSimplifyAngle = 0.20943952f;
    fFirstPoint = -1;
    fCurrent = fOffset = fStart = fFirstDir = fLastDir = QV_Vector2 {};
    fAtStart = false;
    fFrame = frame;
    fMesh = mesh;
}

void PathBuilder::AddVertex(float x, float y, bool append, bool corner)
{
    fCurrent = V(x, y);
    const QV_Vector2 p = fOffset + V(x, y) * kInputScale;
    if (append)
        fMesh->AppendPoint(p, fFrame);
    else
        fMesh->AddLonePoint(p, fFrame);
    // The point before the new one is only this subpath's when the subpath holds two points.
    const int32_t count = fMesh->GetNumPoints();
    if (corner && fFirstPoint >= 0 && count - fFirstPoint >= 2)
        KeyCorner(fMesh, count - 2, fFrame);
}

void PathBuilder::MoveTo(float x, float y)
{
    ClosePath();
    fAtStart = true;
    fFirstPoint = fMesh->GetNumPoints();
    fCurrent = fStart = V(x, y);
    fMesh->AddLonePoint(fOffset + V(x, y) * kInputScale, fFrame);
}

void PathBuilder::EnsureSubpath()
{
    if (fFirstPoint < 0)
        MoveTo(fCurrent.x, fCurrent.y);
}

bool PathBuilder::EnterSegment(const QV_Vector2& direction)
{
    if (fAtStart) {
        fAtStart = false;
        fFirstDir = direction;
        return false;
    }
    return direction.Dot(fLastDir) < kStraight;
}

void PathBuilder::LineTo(float x, float y)
{
    EnsureSubpath();
    QV_Vector2 d = V(x, y) - fCurrent;
    if (!fAtStart && d.Mag() < kSameSpot)
        return;
    d = Unit(d);
    bool corner = false;
    if (fAtStart) {
        fFirstDir = Unit(V(x, y) - fStart);
        fAtStart = false;
    } else {
        corner = d.Dot(fLastDir) < kStraight;
    }
    fLastDir = d;
    AddVertex(x, y, true, corner);
}

void PathBuilder::AppendDirect(const QV_Vector2& point)
{
    fCurrent = point;
    fMesh->AppendPoint(fOffset + point * kInputScale, fFrame);
}

void PathBuilder::CurveTo(const QV_Vector2* q, int32_t n, const uint8_t* tags, int32_t steps)
{
    if (!q || !tags || n < 1)
        return;
    EnsureSubpath();
    const QV_Vector2 entry = Unit(q[0] - fCurrent);
    bool corner = false;
    if (fAtStart) {
        fFirstDir = Unit(q[0] - fStart);
        fAtStart = false;
    } else {
        corner = entry.Dot(fLastDir) < kStraight;
    }
    if (n == 1) {
        fLastDir = entry;
        AddVertex(q[0].x, q[0].y, true, corner);
        return;
    }
    if (!(tags[0] & kPathTagCubic)) {
        fLastDir = Unit(q[n - 1] - q[n - 2]);
        QV_Vector2 before = fCurrent;
        for (int32_t i = 0; i <= n - 2; i++) {
            const QV_Vector2 mid = (before + q[i] * 2 + q[i + 1]) / 4;
            before = q[i];
            AddVertex(mid.x, mid.y, true, i == 0 && corner);
        }
        AddVertex(q[n - 1].x, q[n - 1].y, true, false);
        return;
    }
    if (n == 2) {
        fLastDir = Unit(q[1] - q[0]);
        const QV_Vector2 mid = (q[0] + (fCurrent + q[1]) / 2) / 2;
        AddVertex(mid.x, mid.y, true, corner);
        AppendDirect(q[1]);
        return;
    }
    if (n == 3) {
        fLastDir = Unit(q[2] - q[1]);
        const QV_Vector2 p0 = fCurrent;
        for (int32_t i = 1; i <= steps; i++) {
            const float t = float(i) / float(steps + 1);
            const float u = 1 - t;
            const QV_Vector2 p = p0 * (u * u * u) + q[0] * (3 * u * u * t) + q[1] * (3 * u * t * t) + q[2] * (t * t * t);
            AddVertex(p.x, p.y, true, i == 1 && corner);
        }
        AddVertex(q[2].x, q[2].y, true, steps <= 0 && corner);
        return;
    }
    fLastDir = Unit(q[n - 1] - q[n - 2]);
    bool first = true;
    for (int32_t i = 1; i < n - 2; i += 2) {
        AddVertex(q[i].x, q[i].y, true, first && corner);
        first = false;
    }
    AppendDirect(q[n - 1]);
}

int32_t PathBuilder::ClosePath()
{
    if (fFirstPoint < 0 || fMesh->GetNumPoints() == 0)
        return -1;
    if (fMesh->GetNumPoints() == fFirstPoint) {
        fFirstPoint = -1;
        return -1;
    }
    if ((fCurrent - fStart).Mag() > kSameSpot)
        LineTo(fStart.x, fStart.y);
    const int32_t first = fFirstPoint;
    fMesh->WeldPoints(fMesh->GetNumPoints() - 1, first, fFrame);
    if (fLastDir.Dot(fFirstDir) < kStraight)
        KeyCorner(fMesh, first, fFrame);
    if (fSimplify && fMesh->GetNumCurves() > 0)
        fMesh->SimplifyCurve(fMesh->GetNumCurves() - 1, fSimplifyAngle);
    fFirstPoint = -1;
    return fMesh->GetNumCurves() - 1;
}

int32_t PathBuilder::EndPath()
{
    if (fFirstPoint < 0 || fMesh->GetNumPoints() == 0)
        return -1;
    if (fMesh->GetNumPoints() == fFirstPoint) {
        fFirstPoint = -1;
        return -1;
    }
    const int32_t curve = fMesh->GetNumCurves() - 1;
    if (fSimplify && curve >= 0)
        fMesh->SimplifyCurve(curve, fSimplifyAngle);
    fFirstPoint = -1;
    return curve;
}
