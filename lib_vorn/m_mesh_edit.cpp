// The topology edits of tools, menu commands and scripts: adding, appending and welding points,
// simplifying curves and deleting edges. Each renumbers what it moved and ends with the clean-up.

#include "m_mesh.h"

#include <algorithm>
#include <cmath>

#include "console_sink.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_pointgroup.h"
#include "m_shape.h"
#include "m_vec2.h"

namespace {

constexpr float kNoOwnWidth = -1;
// Curvatures at or below this are corners, which SimplifyCurve keeps.
constexpr float kCornerCurvature = 0.002f;

bool GroupHolds(const M_PointGroup* group, int32_t index)
{
    return std::find(group->fPointIndices, group->fPointIndices + group->fNumIndices, index)
        != group->fPointIndices + group->fNumIndices;
}

// Keys a value as the channel's only key, at the frame.
void KeyOnlyAt(AnimVal& channel, int32_t frame, float value)
{
    channel.SetValue(frame, value);
    if (frame != 0)
        channel.DeleteKey(0);
}

// The membership through which the point is the first or last point of an open curve, or -1.
int32_t OpenEndMembership(M_Mesh& mesh, const M_Point* point)
{
    for (int32_t j = 0; j < point->fNumCurves; j++) {
        const int32_t k = point->fCurveIDs[j];
        if (k < 0 || k >= mesh.fNumCurves)
            continue;
        const M_Curve* curve = mesh.fCurves[k];
        const int32_t p = point->fCurvePositions[j];
        if (!curve->fClosed && (p == 0 || p == curve->fNumPoints - 1))
            return j;
    }
    return -1;
}

} // namespace

M_Point* M_Mesh::MakePoint(const QV_Vector2& position, int32_t frame)
{
    if (fNumPoints > fPointCapacity - 4)
        ResizePoints(std::max(2 * fPointCapacity, fNumPoints + 4));
    M_Point* point = new M_Point(frame);
    point->fMesh = this;
    point->fSelected = true;
    point->fPos = position;
    point->fAnimPos.SetValue(frame, position);
    if (frame != 0)
        point->fAnimPos.DeleteKey(0);
    fPoints[fNumPoints++] = point;
    return point;
}

void M_Mesh::MoveMemberships(int32_t a, int32_t b, int32_t keep)
{
    M_Point* from = fPoints[a];
    M_Point* to = fPoints[b];
    int32_t kept = 0;
    for (int32_t j = 0; j < from->fNumCurves; j++) {
        const int32_t k = from->fCurveIDs[j];
        const int32_t p = from->fCurvePositions[j];
        if (j == keep) {
            from->fCurveIDs[kept] = k;
            from->fCurvePositions[kept] = p;
            kept++;
            continue;
        }
        if (k >= 0 && k < fNumCurves && p >= 0 && p < fCurves[k]->fNumPoints)
            fCurves[k]->fPointIDs[p] = b;
        to->GrowCurveRefs(1);
        to->fCurveIDs[to->fNumCurves] = k;
        to->fCurvePositions[to->fNumCurves] = p;
        to->fNumCurves++;
    }
    from->fNumCurves = kept;
}

void M_Mesh::AddPoint(const QV_Vector2& position, int32_t connectTo, int32_t frame)
{
    if (connectTo != -1 && (connectTo < 0 || connectTo >= fNumPoints)) {
        PrintOutOfRange("M_Mesh:AddPoint");
        return;
    }
    M_Point* added = MakePoint(position, frame);
    M_Point* anchor = connectTo == -1 ? nullptr : fPoints[connectTo];

    if (!anchor || anchor->fNumCurves == 0) {
        M_Point* start = added;
        QV_Vector2 at = position;
        if (anchor) {
            // A point on no curve starts the new curve itself.
            delete added;
            fPoints[--fNumPoints] = nullptr;
            start = anchor;
            at = anchor->fPos;
        }
        start->fSelected = false;
        M_Point* second = MakePoint(at, frame);
        M_Curve* curve = NewCurve();
        curve->AddPoint(start, 0, frame);
        curve->AddPoint(second, 1, frame);
        RemoveDegenerates();
        return;
    }

    added->fParent = anchor->fParent;
    const QV_Vector2 from = anchor->fPos;
    const QV_Vector2 wanted = Vec2Unit(Vec2Sub(position, from));
    float best = -10;
    M_Curve* chosen = nullptr;
    int32_t chosenPosition = 0;
    bool extending = false;
    for (int32_t j = 0; j < anchor->fNumCurves; j++) {
        M_Curve* curve = GetCurve(anchor->fCurveIDs[j]);
        if (!curve)
            continue;
        const int32_t n = curve->fNumPoints;
        const int32_t k = anchor->fCurvePositions[j];
        auto positionOf = [curve](int32_t i) {
            const M_Point* point = curve->GetPoint(i);
            return point ? point->fPos : QV_Vector2 {};
        };

        QV_Vector2 forward;
        if (k < n - 1 || curve->fClosed) {
            forward = Vec2Unit(Vec2Sub(positionOf(k + 1), from));
        } else {
            forward = Vec2Unit(Vec2Sub(from, positionOf(k - 1)));
            extending = true;
        }
        if (Vec2Dot(forward, wanted) > best) {
            best = Vec2Dot(forward, wanted);
            chosen = curve;
            chosenPosition = k + 1;
            if (extending)
                best = 100;
        }

        QV_Vector2 backward;
        if (k > 0 || curve->fClosed) {
            backward = Vec2Unit(Vec2Sub(positionOf(k - 1), from));
        } else {
            backward = Vec2Unit(Vec2Sub(from, positionOf(k + 1)));
            extending = true;
            best = -10;
        }
        if (Vec2Dot(backward, wanted) > best) {
            best = Vec2Dot(backward, wanted);
            chosen = curve;
            chosenPosition = k;
            if (extending)
                best = 100;
        }
    }

    if (chosen) {
        const int32_t c = GetCurveID(chosen);
        for (int32_t s = 0; s < fNumShapes; s++)
            fShapes[s]->CurvePointInserted(c, chosenPosition);
        chosen->AddPoint(added, chosenPosition, frame);
    }
    RemoveDegenerates();
}

void M_Mesh::AddPoint(const QV_Vector2& position, int32_t curveIndex, int32_t segment, int32_t frame)
{
    M_Curve* curve = GetCurve(curveIndex);
    if (!curve)
        return;
    const int32_t n = curve->fNumPoints;
    if (segment < 0 || segment >= n) {
        PrintOutOfRange("M_Mesh:AddPoint");
        return;
    }
    for (int32_t s = 0; s < fNumShapes; s++)
        fShapes[s]->CurvePointInserted(curveIndex, segment + 1);
    M_Point* added = MakePoint(position, frame);
    M_Point* a = curve->GetPoint(segment);
    M_Point* b = curve->GetPoint((segment + 1) % n);
    if (a)
        added->fParent = a->fParent;
    curve->AddPoint(added, segment + 1, frame);
    if (a && b) {
        float width = (a->fWidth.value + b->fWidth.value) / 2;
        if (width < 0)
            width = kNoOwnWidth;
        KeyOnlyAt(added->fWidth, frame, width);
    }
    const int32_t ia = GetPointID(a), ib = GetPointID(b), addedIndex = GetPointID(added);
    for (int32_t g = 0; g < fNumGroups; g++) {
        if (GroupHolds(fGroups[g], ia) && GroupHolds(fGroups[g], ib))
            fGroups[g]->AddPoint(addedIndex);
    }
    RemoveDegenerates();
}

void M_Mesh::AddLonePoint(const QV_Vector2& position, int32_t)
{
    fLonePending = true;
    fLonePos = position;
}

void M_Mesh::AppendPoint(const QV_Vector2& position, int32_t frame)
{
    if (fLonePending) {
        fLonePending = false;
        AddPoint(fLonePos, -1, frame);
        M_Curve* curve = fNumCurves > 0 ? fCurves[fNumCurves - 1] : nullptr;
        M_Point* last = curve && curve->fNumPoints > 1 ? curve->GetPoint(1) : nullptr;
        if (last)
            last->SetPos(position, frame);
        return;
    }
    if (fNumCurves < 1)
        return;
    M_Point* added = MakePoint(position, frame);
    M_Curve* curve = fCurves[fNumCurves - 1];
    curve->AddPoint(added, curve->fNumPoints, frame);
    RemoveDegenerates();
}

bool M_Mesh::WeldPoints(int32_t a, int32_t b, int32_t frame)
{
    if (a < 0 || a >= fNumPoints || b < 0 || b >= fNumPoints) {
        PrintOutOfRange("M_Mesh:WeldPoints");
        return false;
    }
    // A point cannot be merged into itself.
    if (a == b)
        return false;
    M_Point* moved = fPoints[a];
    M_Point* kept = fPoints[b];
    const int32_t ja = OpenEndMembership(*this, moved);
    const int32_t jb = OpenEndMembership(*this, kept);

    if (ja >= 0 && jb >= 0 && moved->fCurveIDs[ja] == kept->fCurveIDs[jb]) {
        const int32_t c = moved->fCurveIDs[ja];
        M_Curve* curve = fCurves[c];
        const int32_t n = curve->fNumPoints;
        if (n == 2)
            return false;
        if (moved->fCurvePositions[ja] == 0) {
            for (int32_t s = 0; s < fNumShapes; s++)
                fShapes[s]->ReplaceEdge(c, 0, c, n - 1);
        }
        MoveMemberships(a, b, ja);
        // Closed before the point goes, so that edges on the segment that ended at it are kept
        // and become the closing segment.
        curve->fClosed = true;
        DeletePoint(a);
        curve->fClosed = true;
        RemoveDegenerates();
        return true;
    }

    if (ja >= 0 && jb >= 0) {
        M_Curve* curveA = fCurves[moved->fCurveIDs[ja]];
        M_Curve* curveB = fCurves[kept->fCurveIDs[jb]];
        const int32_t na = curveA->fNumPoints, nb = curveB->fNumPoints;
        const bool aFirst = moved->fCurvePositions[ja] == 0;
        const bool bLast = kept->fCurvePositions[jb] == nb - 1;
        MoveMemberships(a, b, -1);
        M_Curve* joined = NewCurve();
        const int32_t j = fNumCurves - 1;

        auto take = [&](M_Curve* source, int32_t q, int32_t l, int32_t edgeSegment, int32_t newSegment) {
            const int32_t from = GetCurveID(source);
            for (int32_t s = 0; s < fNumShapes; s++)
                fShapes[s]->ReplaceEdge(from, edgeSegment, j, newSegment);
            const float curvature = source->fCurvature[q]->GetValue(frame);
            joined->AddPoint(fPoints[source->fPointIDs[q]], l, frame);
            KeyOnlyAt(*joined->fCurvature[l], frame, curvature);
        };
        // The kept point's curve first, ordered so that it ends at the kept point.
        for (int32_t l = 0; l < nb; l++) {
            const int32_t q = bLast ? l : nb - 1 - l;
            take(curveB, q, l, bLast ? q : q - 1, l);
        }
        // Then the moved point's curve beyond it, walking away from it.
        for (int32_t i = 1; i < na; i++) {
            const int32_t q = aFirst ? i : na - 1 - i;
            const int32_t l = nb + i - 1;
            take(curveA, q, l, aFirst ? q - 1 : q, l - 1);
        }

        DeletePoint(GetPointID(moved));
        const int32_t ia = GetCurveID(curveA), ib = GetCurveID(curveB);
        DeleteCurve(std::max(ia, ib));
        DeleteCurve(std::min(ia, ib));
        RemoveDegenerates();
        return true;
    }

    MoveMemberships(a, b, -1);
    DeletePoint(a);
    RemoveDegenerates();
    return true;
}

bool M_Mesh::ArePointsAdjacent(int32_t a, int32_t b)
{
    if (a < 0 || a >= fNumPoints || b < 0 || b >= fNumPoints) {
        PrintOutOfRange("M_Mesh:ArePointsAdjacent");
        return false;
    }
    const M_Point* pa = fPoints[a];
    const M_Point* pb = fPoints[b];
    for (int32_t i = 0; i < pa->fNumCurves; i++) {
        for (int32_t j = 0; j < pb->fNumCurves; j++) {
            const int32_t k = pa->fCurveIDs[i];
            if (k != pb->fCurveIDs[j] || k < 0 || k >= fNumCurves)
                continue;
            const M_Curve* curve = fCurves[k];
            int64_t afterA = int64_t(pa->fCurvePositions[i]) + 1;
            int64_t afterB = int64_t(pb->fCurvePositions[j]) + 1;
            if (curve->fClosed && curve->fNumPoints > 0) {
                afterA %= curve->fNumPoints;
                afterB %= curve->fNumPoints;
            }
            if (afterA == pb->fCurvePositions[j] || afterB == pa->fCurvePositions[i])
                return true;
        }
    }
    return false;
}

void M_Mesh::SimplifyCurve(int32_t curveIndex, float angle)
{
    if (curveIndex < 0 || curveIndex >= fNumCurves) {
        PrintOutOfRange("M_Mesh:SimplifyCurve");
        return;
    }
    M_Curve* curve = fCurves[curveIndex];
    if (curve->fNumPoints <= 3)
        return;
    const float limit = std::cos(angle);
    auto at = [curve](int32_t i) {
        const M_Point* point = curve->GetPoint(i);
        return point ? point->fPos : QV_Vector2 {};
    };
    QV_Vector2 d1 = Vec2Unit(Vec2Sub(at(1), at(0)));
    QV_Vector2 d2 = Vec2Unit(Vec2Sub(at(2), at(1)));
    for (int32_t i = 3; i < curve->fNumPoints;) {
        const QV_Vector2 d3 = Vec2Unit(Vec2Sub(at(i), at(i - 1)));
        if (curve->fCurvature[i - 2]->value > kCornerCurvature && Vec2Dot(d1, d2) > limit
            && Vec2Dot(d2, d3) > limit) {
            d1 = Vec2Unit(Vec2Sub(at(i - 1), at(i - 3)));
            d2 = d3;
            // The curve keeps at least three points, so it outlives the deletion.
            DeletePoint(curve->fPointIDs[i - 2]);
        } else {
            d1 = d2;
            d2 = d3;
            i++;
        }
    }
}

void M_Mesh::DeleteEdge(int32_t curveIndex, int32_t segment, int32_t frame)
{
    if (curveIndex < 0 || curveIndex >= fNumCurves || segment < 0
        || segment >= fCurves[curveIndex]->fNumPoints) {
        PrintOutOfRange("M_Mesh:DeleteEdge");
        return;
    }
    M_Curve* curve = fCurves[curveIndex];
    const int32_t n = curve->fNumPoints;
    auto deleteShapesWhere = [this, curveIndex](int32_t onlySegment) {
        for (int32_t s = fNumShapes - 1; s >= 0; s--) {
            const M_Shape* shape = fShapes[s];
            for (int32_t e = 0; e < shape->fNumEdges; e++) {
                if (shape->fEdgeCurves[e] == curveIndex
                    && (onlySegment < 0 || shape->fEdgeSegments[e] == onlySegment)) {
                    DeleteShape(s);
                    break;
                }
            }
        }
    };

    deleteShapesWhere(segment);
    if (segment == n - 1) {
        curve->fClosed = false;
        return;
    }
    deleteShapesWhere(-1);

    if (curve->fClosed) {
        // Opened at the segment: the point after it comes first.
        const int32_t shift = segment + 1;
        std::rotate(curve->fPointIDs, curve->fPointIDs + shift, curve->fPointIDs + n);
        std::rotate(curve->fSegmentOn, curve->fSegmentOn + shift, curve->fSegmentOn + n);
        std::rotate(curve->fCurvature, curve->fCurvature + shift, curve->fCurvature + n);
        for (int32_t i = 0; i < fNumPoints; i++) {
            M_Point* point = fPoints[i];
            for (int32_t j = 0; j < point->fNumCurves; j++) {
                if (point->fCurveIDs[j] == curveIndex)
                    point->fCurvePositions[j] = WrapIndex(point->fCurvePositions[j] - shift, n);
            }
        }
        curve->fClosed = false;
    } else if (segment == n - 2 && n > 2) {
        M_Point* last = GetPoint(curve->fPointIDs[n - 1]);
        const int32_t j = last ? last->FindCurveRef(curveIndex, n - 1) : -1;
        if (j >= 0)
            last->DeleteCurve(j);
        curve->DeletePoint(n - 1);
    } else if (segment == 0) {
        M_Point* first = GetPoint(curve->fPointIDs[0]);
        const int32_t j = first ? first->FindCurveRef(curveIndex, 0) : -1;
        if (j >= 0)
            first->DeleteCurve(j);
        curve->DeletePoint(0);
        for (int32_t i = 0; i < fNumPoints; i++) {
            M_Point* point = fPoints[i];
            for (int32_t k = 0; k < point->fNumCurves; k++) {
                if (point->fCurveIDs[k] == curveIndex)
                    point->fCurvePositions[k]--;
            }
        }
        if (curve->fNumPoints < 2)
            DeleteCurve(curveIndex);
    } else {
        const int32_t moved = n - segment - 1;
        M_Curve* tail = NewCurve();
        const int32_t t = fNumCurves - 1;
        tail->GrowPoints(moved);
        for (int32_t l = 0; l < moved; l++) {
            const int32_t q = segment + 1 + l;
            tail->fPointIDs[l] = curve->fPointIDs[q];
            tail->fSegmentOn[l] = curve->fSegmentOn[q];
            KeyOnlyAt(*tail->fCurvature[l], frame, curve->fCurvature[q]->GetValue(frame));
            M_Point* point = GetPoint(curve->fPointIDs[q]);
            const int32_t j = point ? point->FindCurveRef(curveIndex, q) : -1;
            if (j >= 0) {
                point->fCurveIDs[j] = t;
                point->fCurvePositions[j] = l;
            }
        }
        tail->fNumPoints = moved;
        for (int32_t q = n - 1; q > segment; q--)
            curve->DeletePoint(q);
    }
    RemoveDegenerates();
}
