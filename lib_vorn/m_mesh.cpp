#include "m_mesh.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "console_sink.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_pointgroup.h"
#include "m_shape.h"
#include "model_prefs.h"
#include "style_panel_refs.h"
#include "script_object_record.h"

namespace {

constexpr int32_t kInitialPointCapacity = 16;
constexpr int32_t kInitialListCapacity = 2;

template <class T> void ResizeArray(T**& items, int32_t& capacity, int32_t count, int32_t wanted)
{
    if (wanted == capacity)
        return;
    // Never below the count: the slots past it are empty, the ones below it are not.
    wanted = std::max(wanted, count);
    T** resized = new T*[wanted]();
    std::copy(items, items + count, resized);
    delete[] items;
    items = resized;
    capacity = wanted;
}

template <class T> void DeleteAll(T** items, int32_t capacity)
{
    for (int32_t i = 0; i < capacity; i++) {
        delete items[i];
        items[i] = nullptr;
    }
}

template <class T> int32_t IndexOf(T* const* items, int32_t count, const T* item)
{
    if (!item)
        return -1;
    for (int32_t i = 0; i < count; i++) {
        if (items[i] == item)
            return i;
    }
    return -1;
}

// Removes slot index of a list of count entries; later ones move down and the last slot empties.
template <class T> void CloseGap(T** items, int32_t& count, int32_t index)
{
    std::copy(items + index + 1, items + count, items + index);
    items[--count] = nullptr;
}

QV_String WithoutQuotes(const char* name)
{
    QV_String text(name ? name : "");
    text.RemoveChar('"');
    return text;
}

bool EdgeTouchesPosition(int32_t segment, int32_t position, int32_t curvePoints)
{
    return segment == position || (curvePoints > 0 && (int64_t(segment) + 1) % curvePoints == position);
}

} // namespace

M_Mesh::M_Mesh()
    : fCleanup(true)
    , fLonePending(false)
    , fLonePos()
    , fNumPoints(0)
    , fPointCapacity(kInitialPointCapacity)
    , fPoints(new M_Point*[kInitialPointCapacity]())
    , fNumCurves(0)
    , fCurveCapacity(kInitialListCapacity)
    , fCurves(new M_Curve*[kInitialListCapacity]())
    , fNumShapes(0)
    , fShapeCapacity(kInitialListCapacity)
    , fShapes(new M_Shape*[kInitialListCapacity]())
    , fNumGroups(0)
    , fGroupCapacity(kInitialListCapacity)
    , fGroups(new M_PointGroup*[kInitialListCapacity]())
    , fCleaning(false)
{
}

M_Mesh::~M_Mesh()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
    Empty();
    delete[] fPoints;
    delete[] fCurves;
    delete[] fShapes;
    delete[] fGroups;
}

void M_Mesh::Empty()
{
    for (int32_t i = 0; i < fShapeCapacity; i++) {
        if (fShapes[i] && fShapes[i] == gNewShapeProperties)
            gNewShapeProperties = nullptr;
    }
    DeleteAll(fPoints, fPointCapacity);
    DeleteAll(fCurves, fCurveCapacity);
    DeleteAll(fShapes, fShapeCapacity);
    DeleteAll(fGroups, fGroupCapacity);
    fNumPoints = fNumCurves = fNumShapes = fNumGroups = 0;
}

M_Point* M_Mesh::GetPoint(int32_t index)
{
    if (index < 0 || index >= fNumPoints) {
        PrintOutOfRange("M_Mesh:Point");
        return nullptr;
    }
    return fPoints[index];
}

M_Curve* M_Mesh::GetCurve(int32_t index)
{
    if (index < 0 || index >= fNumCurves) {
        PrintOutOfRange("M_Mesh:Curve");
        return nullptr;
    }
    return fCurves[index];
}

M_Shape* M_Mesh::GetShape(int32_t index)
{
    if (index < 0 || index >= fNumShapes) {
        PrintOutOfRange("M_Mesh:Shape");
        return nullptr;
    }
    return fShapes[index];
}

M_PointGroup* M_Mesh::GetGroup(int32_t index)
{
    if (index < 0 || index >= fNumGroups) {
        PrintOutOfRange("M_Mesh:Group");
        return nullptr;
    }
    return fGroups[index];
}

int32_t M_Mesh::GetPointID(const M_Point* point) const
{
    return IndexOf(fPoints, fNumPoints, point);
}

int32_t M_Mesh::GetCurveID(const M_Curve* curve) const
{
    return IndexOf(fCurves, fNumCurves, curve);
}

int32_t M_Mesh::GetShapeID(const M_Shape* shape) const
{
    return IndexOf(fShapes, fNumShapes, shape);
}

int32_t M_Mesh::GetGroupID(const M_PointGroup* group) const
{
    return IndexOf(fGroups, fNumGroups, group);
}

void M_Mesh::AddShape(M_Shape* shape)
{
    if (!shape)
        return;
    if (fNumShapes == fShapeCapacity)
        ResizeShapes(std::max(2 * fShapeCapacity, 1));
    if (ModelPrefInt("AutoNaming", 0) != 0 && shape->fName.IsEmpty())
        shape->fName.SetInt(fNumShapes + 1);
    shape->fMesh = this;
    fShapes[fNumShapes++] = shape;
}

M_Curve* M_Mesh::NewCurve()
{
    if (fNumCurves == fCurveCapacity)
        ResizeCurves(std::max(2 * fCurveCapacity, 1));
    M_Curve* curve = new M_Curve;
    curve->fMesh = this;
    fCurves[fNumCurves++] = curve;
    return curve;
}

void M_Mesh::ResizePoints(int32_t capacity)
{
    ResizeArray(fPoints, fPointCapacity, fNumPoints, capacity);
}

void M_Mesh::ResizeCurves(int32_t capacity)
{
    ResizeArray(fCurves, fCurveCapacity, fNumCurves, capacity);
}

void M_Mesh::ResizeShapes(int32_t capacity)
{
    ResizeArray(fShapes, fShapeCapacity, fNumShapes, capacity);
}

void M_Mesh::ResizeGroups(int32_t capacity)
{
    ResizeArray(fGroups, fGroupCapacity, fNumGroups, capacity);
}

void M_Mesh::RemoveDegenerates()
{
    if (!fCleanup || fCleaning)
        return;
    fCleaning = true;
    // A curve deleted for having one point leaves that point on no curve: the rounds go on until
    // one of them finds nothing.
    while (RemoveDegeneratesOnce()) { }
    fCleaning = false;
}

bool M_Mesh::RemoveDegeneratesOnce()
{
    bool deleted = false;
    // Each pass deletes the first degenerate object and looks again; what a deletion renumbers
    // lies after it, so the look goes on from the same index.
    for (int32_t i = 0; i < fNumPoints;) {
        if (fPoints[i]->fNumCurves == 0) {
            DeletePoint(i);
            deleted = true;
        } else {
            i++;
        }
    }
    for (int32_t i = 0; i < fNumCurves;) {
        if (fCurves[i]->fNumPoints < 2) {
            DeleteCurve(i);
            deleted = true;
        } else {
            i++;
        }
    }
    for (int32_t i = 0; i < fNumShapes;) {
        const M_Shape* shape = fShapes[i];
        if ((shape->fHasFill && shape->fNumEdges < 2) || shape->fNumEdges == 0) {
            DeleteShape(i);
            deleted = true;
        } else {
            i++;
        }
    }
    for (int32_t i = 0; i < fNumGroups;) {
        const M_PointGroup* group = fGroups[i];
        bool degenerate = group->fNumIndices == 0;
        for (int32_t j = 0; j < group->fNumIndices && !degenerate; j++)
            degenerate = group->fPointIndices[j] < 0 || group->fPointIndices[j] >= fNumPoints;
        if (degenerate) {
            DeleteGroup(i);
            deleted = true;
        } else {
            i++;
        }
    }
    return deleted;
}

void M_Mesh::DeletePoint(int32_t index)
{
    if (index < 0 || index >= fNumPoints) {
        PrintOutOfRange("M_Mesh:DeletePoint");
        return;
    }
    M_Point* point = fPoints[index];

    // A junction takes the fillable shapes that meet at it along.
    if (point->fNumCurves > 1) {
        for (int32_t j = 0; j < point->fNumCurves; j++) {
            const int32_t k = point->fCurveIDs[j];
            const int32_t p = point->fCurvePositions[j];
            if (k < 0 || k >= fNumCurves)
                continue;
            const int32_t n = fCurves[k]->fNumPoints;
            for (int32_t s = fNumShapes - 1; s >= 0; s--) {
                const M_Shape* shape = fShapes[s];
                if (!shape->fFillAllowed)
                    continue;
                for (int32_t e = 0; e < shape->fNumEdges; e++) {
                    if (shape->fEdgeCurves[e] == k && EdgeTouchesPosition(shape->fEdgeSegments[e], p, n)) {
                        DeleteShape(s);
                        break;
                    }
                }
            }
        }
    }

    while (point->fNumCurves > 0) {
        const int32_t r = point->fCurveIDs[0];
        const int32_t p = point->fCurvePositions[0];
        M_Curve* curve = r >= 0 && r < fNumCurves ? fCurves[r] : nullptr;
        if (!curve || p < 0 || p >= curve->fNumPoints) {
            point->DeleteCurve(0);
            continue;
        }
        // The entries after p move down one place: so do the memberships that name them.
        for (int32_t q = p + 1; q < curve->fNumPoints; q++) {
            const int32_t id = curve->fPointIDs[q];
            if (id < 0 || id >= fNumPoints)
                continue;
            M_Point* later = fPoints[id];
            const int32_t j = later->FindCurveRef(r, q);
            if (j >= 0)
                later->fCurvePositions[j]--;
        }
        for (int32_t s = 0; s < fNumShapes; s++)
            fShapes[s]->CurvePointDeleted(r, p);
        curve->DeletePoint(p);
        point->DeleteCurve(0);
        if (curve->fNumPoints < 2)
            DeleteCurve(r);
    }

    for (int32_t g = 0; g < fNumGroups; g++) {
        M_PointGroup* group = fGroups[g];
        int32_t* first = std::find(group->fPointIndices, group->fPointIndices + group->fNumIndices, index);
        group->RemoveIndexAt(int32_t(first - group->fPointIndices));
        for (int32_t j = 0; j < group->fNumIndices; j++) {
            if (group->fPointIndices[j] > index)
                group->fPointIndices[j]--;
        }
    }

    delete point;
    CloseGap(fPoints, fNumPoints, index);
    for (int32_t i = index; i < fNumPoints; i++) {
        const M_Point* moved = fPoints[i];
        for (int32_t j = 0; j < moved->fNumCurves; j++) {
            const int32_t k = moved->fCurveIDs[j];
            const int32_t p = moved->fCurvePositions[j];
            if (k >= 0 && k < fNumCurves && p >= 0 && p < fCurves[k]->fNumPoints)
                fCurves[k]->fPointIDs[p] = i;
        }
    }
    RemoveDegenerates();
}

void M_Mesh::DeleteCurve(int32_t index)
{
    if (index < 0 || index >= fNumCurves) {
        PrintOutOfRange("M_Mesh:DeleteCurve");
        return;
    }
    for (int32_t s = fNumShapes - 1; s >= 0; s--) {
        const M_Shape* shape = fShapes[s];
        if (std::find(shape->fEdgeCurves, shape->fEdgeCurves + shape->fNumEdges, index)
            != shape->fEdgeCurves + shape->fNumEdges)
            DeleteShape(s);
    }
    for (int32_t i = 0; i < fNumPoints; i++) {
        M_Point* point = fPoints[i];
        for (int32_t j = point->fNumCurves - 1; j >= 0; j--) {
            if (point->fCurveIDs[j] == index)
                point->DeleteCurve(j);
        }
    }

    delete fCurves[index];
    CloseGap(fCurves, fNumCurves, index);
    for (int32_t s = 0; s < fNumShapes; s++) {
        M_Shape* shape = fShapes[s];
        for (int32_t e = 0; e < shape->fNumEdges; e++) {
            if (shape->fEdgeCurves[e] > index)
                shape->fEdgeCurves[e]--;
        }
    }
    for (int32_t i = 0; i < fNumPoints; i++) {
        M_Point* point = fPoints[i];
        for (int32_t j = 0; j < point->fNumCurves; j++) {
            if (point->fCurveIDs[j] > index)
                point->fCurveIDs[j]--;
        }
    }
}

void M_Mesh::DeleteShape(int32_t index)
{
    if (index < 0 || index >= fNumShapes) {
        PrintOutOfRange("M_Mesh:DeleteShape");
        return;
    }
    if (fShapes[index] == gNewShapeProperties)
        gNewShapeProperties = nullptr;
    delete fShapes[index];
    CloseGap(fShapes, fNumShapes, index);
}

void M_Mesh::MarkStrand(int32_t curveIndex, int32_t position, uint8_t* walked)
{
    if (curveIndex < 0 || curveIndex >= fNumCurves)
        return;
    const M_Curve* curve = fCurves[curveIndex];
    const int32_t n = curve->fNumPoints;
    if (position < 0 || position >= n)
        return;
    for (int32_t step : { 1, -1 }) {
        int32_t q = position;
        for (int32_t taken = 0; taken < n - 1; taken++) {
            q += step;
            if (q < 0 || q >= n) {
                if (!curve->fClosed)
                    break;
                q = WrapIndex(q, n);
            }
            const int32_t id = curve->fPointIDs[q];
            if (id < 0 || id >= fNumPoints || fPoints[id]->fNumCurves > 1)
                break;
            fPoints[id]->fDangling = true;
            walked[id] = 1;
        }
    }
}

void M_Mesh::MarkDanglingPoints(bool fromUnselected)
{
    std::vector<uint8_t> seeds(size_t(fNumPoints), 0);
    for (int32_t i = 0; i < fNumPoints; i++) {
        M_Point* point = fPoints[i];
        bool seed = fromUnselected && !point->fSelected;
        if (!seed && point->fNumCurves == 1) {
            const int32_t k = point->fCurveIDs[0];
            const int32_t p = point->fCurvePositions[0];
            if (k >= 0 && k < fNumCurves && !fCurves[k]->fClosed)
                seed = p == 0 || p == fCurves[k]->fNumPoints - 1;
        }
        seeds[size_t(i)] = seed ? 1 : 0;
        point->fDangling = seed;
    }
    // A walk marks the whole strand it runs along, so a point on a single curve that an earlier
    // walk reached has nothing left to add: only walks that can reach new points are taken.
    std::vector<uint8_t> walked(size_t(fNumPoints), 0);
    for (int32_t i = 0; i < fNumPoints; i++) {
        const M_Point* point = fPoints[i];
        if (!seeds[size_t(i)] || (point->fNumCurves == 1 && walked[size_t(i)]))
            continue;
        for (int32_t j = 0; j < point->fNumCurves; j++)
            MarkStrand(point->fCurveIDs[j], point->fCurvePositions[j], walked.data());
    }
}

void M_Mesh::MakeShapeNamesUnique()
{
    // Names of the shapes below the one being looked at, with how often each occurs.
    std::unordered_map<std::string, int32_t> below;
    for (int32_t i = 0; i < fNumShapes; i++)
        below[fShapes[i]->fName.CString()]++;
    for (int32_t e = fNumShapes - 1; e >= 1; e--) {
        M_Shape* shape = fShapes[e];
        const std::string name = shape->fName.CString();
        below[name]--;
        if (name.empty())
            continue;
        auto taken = [&below](const std::string& text) {
            auto found = below.find(text);
            return found != below.end() && found->second > 0;
        };
        int32_t k = 1 + below[name];
        if (k <= 1)
            continue;
        std::string candidate = name + " " + std::to_string(k);
        while (taken(candidate)) {
            k++;
            candidate = name + " " + std::to_string(k);
        }
        shape->fName = candidate.c_str();
    }
}

bool M_Mesh::LinksAreConsistent() const
{
    int64_t entries = 0;
    for (int32_t c = 0; c < fNumCurves; c++) {
        const M_Curve* curve = fCurves[c];
        if (!curve)
            return false;
        for (int32_t q = 0; q < curve->fNumPoints; q++) {
            const int32_t id = curve->fPointIDs[q];
            if (id < 0 || id >= fNumPoints || !fPoints[id])
                return false;
        }
        entries += curve->fNumPoints;
    }
    // Every membership names an entry that names its point back, and no point holds one twice:
    // then memberships and entries pair up one to one exactly when there are as many of each.
    int64_t memberships = 0;
    std::vector<int64_t> pairs;
    for (int32_t i = 0; i < fNumPoints; i++) {
        const M_Point* point = fPoints[i];
        if (!point)
            return false;
        pairs.clear();
        for (int32_t j = 0; j < point->fNumCurves; j++) {
            const int32_t k = point->fCurveIDs[j];
            const int32_t p = point->fCurvePositions[j];
            if (k < 0 || k >= fNumCurves || p < 0 || p >= fCurves[k]->fNumPoints
                || fCurves[k]->fPointIDs[p] != i)
                return false;
            pairs.push_back(int64_t(k) << 32 | uint32_t(p));
        }
        std::sort(pairs.begin(), pairs.end());
        if (std::adjacent_find(pairs.begin(), pairs.end()) != pairs.end())
            return false;
        memberships += point->fNumCurves;
    }
    return memberships == entries;
}

void M_Mesh::AddGroup(const char* name)
{
    const QV_String groupName = WithoutQuotes(name);
    int32_t selected = 0;
    for (int32_t i = 0; i < fNumPoints; i++)
        selected += fPoints[i]->fSelected ? 1 : 0;
    if (selected == 0)
        return;

    M_PointGroup* group = new M_PointGroup;
    group->fMesh = this;
    group->fName = groupName;
    group->fPointIndices = new int32_t[selected];
    for (int32_t i = 0; i < fNumPoints; i++) {
        if (fPoints[i]->fSelected)
            group->fPointIndices[group->fNumIndices++] = i;
    }

    for (int32_t g = 0; g < fNumGroups; g++) {
        if (std::strcmp(fGroups[g]->fName.CString(), groupName.CString()) == 0) {
            delete fGroups[g];
            fGroups[g] = group;
            return;
        }
    }
    if (fNumGroups == fGroupCapacity)
        ResizeGroups(std::max(2 * fGroupCapacity, 1));
    fGroups[fNumGroups++] = group;
}

void M_Mesh::SelectGroup(int32_t index)
{
    if (index < 0 || index >= fNumGroups) {
        PrintOutOfRange("M_Mesh:SelectGroup");
        return;
    }
    const M_PointGroup* group = fGroups[index];
    for (int32_t j = 0; j < group->fNumIndices; j++) {
        const int32_t id = group->fPointIndices[j];
        if (id >= 0 && id < fNumPoints)
            fPoints[id]->fSelected = true;
    }
}

void M_Mesh::SelectGroup(const char* name)
{
    if (!name)
        return;
    for (int32_t g = 0; g < fNumGroups; g++) {
        if (std::strcmp(fGroups[g]->fName.CString(), name) == 0) {
            SelectGroup(g);
            return;
        }
    }
}

void M_Mesh::DeleteGroup(int32_t index)
{
    if (index < 0 || index >= fNumGroups) {
        PrintOutOfRange("M_Mesh:DeleteGroup");
        return;
    }
    delete fGroups[index];
    CloseGap(fGroups, fNumGroups, index);
}

void M_Mesh::DeleteGroup(const char* name)
{
    const QV_String groupName = WithoutQuotes(name);
    for (int32_t g = 0; g < fNumGroups; g++) {
        if (std::strcmp(fGroups[g]->fName.CString(), groupName.CString()) == 0) {
            DeleteGroup(g);
            return;
        }
    }
}
