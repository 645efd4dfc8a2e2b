// Selection of points, the interactive moves of the selection (which change only the current
// positions: the caller keys them afterwards) and the stacking order of shapes.

#include "m_mesh.h"

#include <algorithm>
#include <cmath>

#include "console_sink.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_vec2.h"
#include "qv_bbox.h"

namespace {

// Farther than 1000 units counts as no point at all.
constexpr float kFarAway = 1000000.0f;

} // namespace

int32_t M_Mesh::ClosestPoint(const QV_Vector2& position, int32_t excluded, int32_t last)
{
    const int32_t end = last >= 0 ? std::min(last + 1, fNumPoints) : fNumPoints;
    float best = kFarAway;
    int32_t closest = -1;
    for (int32_t i = 0; i < end; i++) {
        if (i == excluded)
            continue;
        const float d = Vec2DistSq(fPoints[i]->fPos, position);
        if (d < best) {
            best = d;
            closest = i;
        }
    }
    return closest;
}

void M_Mesh::SelectedBounds(QV_Vector2& min, QV_Vector2& max)
{
    QV_BBox box;
    for (int32_t i = 0; i < fNumPoints; i++) {
        if (fPoints[i]->fSelected)
            box.Include(fPoints[i]->fPos);
    }
    min = QV_Vector2 { box.min.x, box.min.y };
    max = QV_Vector2 { box.max.x, box.max.y };
}

QV_Vector2 M_Mesh::SelectedCenter()
{
    QV_BBox box;
    for (int32_t i = 0; i < fNumPoints; i++) {
        if (fPoints[i]->fSelected)
            box.Include(fPoints[i]->fPos);
    }
    if (box.empty)
        return QV_Vector2 {};
    return QV_Vector2 { (box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2 };
}

void M_Mesh::PrepMovePoints()
{
    for (int32_t i = 0; i < fNumPoints; i++)
        fPoints[i]->fTempPos = fPoints[i]->fPos;
}

void M_Mesh::TranslatePoints(const QV_Vector2& offset)
{
    for (int32_t i = 0; i < fNumPoints; i++) {
        M_Point* point = fPoints[i];
        if (point->fSelected)
            point->fPos = Vec2Add(point->fTempPos, offset);
    }
}

void M_Mesh::ScalePoints(float sx, float sy, const QV_Vector2& center)
{
    for (int32_t i = 0; i < fNumPoints; i++) {
        M_Point* point = fPoints[i];
        if (point->fSelected) {
            point->fPos = QV_Vector2 { sx * (point->fTempPos.x - center.x) + center.x,
                sy * (point->fTempPos.y - center.y) + center.y };
        }
    }
}

void M_Mesh::RotatePoints(float angle, const QV_Vector2& center)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    for (int32_t i = 0; i < fNumPoints; i++) {
        M_Point* point = fPoints[i];
        if (!point->fSelected)
            continue;
        const QV_Vector2 d = Vec2Sub(point->fTempPos, center);
        point->fPos = QV_Vector2 { center.x + (c * d.x - s * d.y), center.y + (s * d.x + c * d.y) };
    }
}

void M_Mesh::SelectNone()
{
    for (int32_t i = 0; i < fNumPoints; i++)
        fPoints[i]->fSelected = false;
    for (int32_t i = 0; i < fNumShapes; i++)
        fShapes[i]->fSelected = false;
}

void M_Mesh::SelectAll()
{
    for (int32_t i = 0; i < fNumPoints; i++)
        fPoints[i]->fSelected = true;
}

void M_Mesh::SelectInverse()
{
    for (int32_t i = 0; i < fNumPoints; i++)
        fPoints[i]->fSelected = !fPoints[i]->fSelected;
}

void M_Mesh::SelectConnected()
{
    for (bool changed = true; changed;) {
        changed = false;
        for (int32_t c = 0; c < fNumCurves; c++) {
            const M_Curve* curve = fCurves[c];
            bool any = false;
            for (int32_t q = 0; q < curve->fNumPoints && !any; q++) {
                const int32_t id = curve->fPointIDs[q];
                any = id >= 0 && id < fNumPoints && fPoints[id]->fSelected;
            }
            if (!any)
                continue;
            for (int32_t q = 0; q < curve->fNumPoints; q++) {
                const int32_t id = curve->fPointIDs[q];
                if (id >= 0 && id < fNumPoints && !fPoints[id]->fSelected) {
                    fPoints[id]->fSelected = true;
                    changed = true;
                }
            }
        }
    }
}

void M_Mesh::LowerShape(int32_t index, bool allTheWay)
{
    if (index < 0 || index >= fNumShapes) {
        PrintOutOfRange("M_Mesh:LowerShape");
        return;
    }
    if (index < 1)
        return;
    if (allTheWay)
        std::rotate(fShapes, fShapes + index, fShapes + index + 1);
    else
        std::swap(fShapes[index], fShapes[index - 1]);
}

void M_Mesh::RaiseShape(int32_t index, bool allTheWay)
{
    if (index < 0 || index >= fNumShapes) {
        PrintOutOfRange("M_Mesh:RaiseShape");
        return;
    }
    if (index > fNumShapes - 2)
        return;
    if (allTheWay)
        std::rotate(fShapes + index, fShapes + index + 1, fShapes + fNumShapes);
    else
        std::swap(fShapes[index], fShapes[index + 1]);
}
