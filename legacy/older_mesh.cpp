#include "older_mesh.h"

#include <algorithm>
#include <cstring>

#include "older_reading.h"
#include "qv_iostream.h"

namespace vorn_v4 {

namespace {

// The block keywords are short: longer words are unknown words.
constexpr int32_t kBlockWord = 64;

// A number read from a record, moved past the elements held before the block. Negative numbers
// stay negative (they name nothing) and the shift saturates instead of overflowing.
int32_t Shifted(int32_t raw, size_t base)
{
    if (raw < 0)
        return raw;
    const int64_t v = int64_t(raw) + int64_t(base);
    return v > INT32_MAX ? INT32_MAX : int32_t(v);
}

void Bool(QV_IoStream* s, bool v) { s->WriteText(v ? "true" : "false"); }

void Tabs(QV_IoStream* s, int n)
{
    for (int i = 0; i < n; i++)
        s->WriteText("\t");
}

// New numbers after removing the marked elements: the number minus the removed ones below it;
// numbers past the end drop by all of them, negative ones stay.
class Renumbering {
public:
    explicit Renumbering(const std::vector<bool>& removed)
        : fRemovedBelow(removed.size() + 1, 0)
        , fRemoved(removed)
    {
        for (size_t i = 0; i < removed.size(); i++)
            fRemovedBelow[i + 1] = fRemovedBelow[i] + (removed[i] ? 1 : 0);
    }
    bool Removed(int32_t n) const { return n >= 0 && size_t(n) < fRemoved.size() && fRemoved[size_t(n)]; }
    int32_t operator()(int32_t n) const
    {
        if (n < 0)
            return n;
        const size_t i = std::min(size_t(n), fRemoved.size());
        return n - fRemovedBelow[i];
    }
    bool Any() const { return fRemovedBelow.back() > 0; }

private:
    std::vector<int32_t> fRemovedBelow;
    const std::vector<bool>& fRemoved;
};

template <class T> void EraseMarked(std::vector<T>& items, const std::vector<bool>& marked)
{
    size_t out = 0;
    for (size_t i = 0; i < items.size(); i++) {
        if (!marked[i]) {
            if (out != i)
                items[out] = std::move(items[i]);
            out++;
        }
    }
    items.erase(items.begin() + ptrdiff_t(out), items.end());
}

} // namespace

int32_t M_Shape::AnimDuration() const
{
    int32_t d = std::max(std::max(0, fillColor.LastKeyFrame()), lineColor.LastKeyFrame());
    for (const auto& effect : effects)
        if (effect)
            d = std::max(d, effect->AnimDuration());
    return d;
}

void M_Mesh::Clear()
{
    fPoints.clear();
    fCurves.clear();
    fShapes.clear();
    fGroups.clear();
}

bool M_Mesh::ReadRecord(QV_IoStream* s)
{
    const size_t basePoints = fPoints.size();
    const size_t baseCurves = fCurves.size();
    bool selection = false;
    char word[kWordSize];
    for (;;) {
        if (!ReadWord(s, word, kBlockWord))
            return false;
        if (word[0] == '#') {
            if (!s->SkipLine())
                return false;
        } else if (std::strcmp(word, "selection") == 0) {
            if (!s->ReadBool(selection))
                return false;
        } else if (std::strcmp(word, "num_points") == 0) {
            int32_t n;
            if (!ReadCount(s, n))
                return false;
            for (int32_t k = 0; k < n; k++) {
                M_Point p;
                int32_t m;
                if (!p.position.ReadRecord(s) || !s->ReadFloat(p.width) || !s->ReadInt(p.parentBone)
                    || (selection && !s->ReadBool(p.selected)) || !ReadCount(s, m))
                    return false;
                for (int32_t j = 0; j < m; j++) {
                    int32_t curve, index;
                    if (!s->ReadInt(curve) || !s->ReadInt(index) || curve < 0 || index < 0)
                        return false;
                    p.memberships.emplace_back(Shifted(curve, baseCurves), index);
                }
                fPoints.push_back(std::move(p));
            }
        } else if (std::strcmp(word, "num_curves") == 0) {
            int32_t n;
            if (!ReadCount(s, n))
                return false;
            for (int32_t k = 0; k < n; k++) {
                M_Curve c;
                int32_t count;
                if (!ReadCount(s, count) || !s->ReadBool(c.closed))
                    return false;
                for (int32_t j = 0; j < count; j++) {
                    int32_t point;
                    AnimVal curvature;
                    if (!s->ReadInt(point) || point < 0 || !curvature.ReadRecord(s))
                        return false;
                    c.points.push_back(Shifted(point, basePoints));
                    c.curvatures.push_back(std::move(curvature));
                }
                fCurves.push_back(std::move(c));
            }
        } else if (std::strcmp(word, "num_shapes") == 0) {
            int32_t n;
            if (!ReadCount(s, n))
                return false;
            for (int32_t k = 0; k < n; k++) {
                M_Shape shape;
                int32_t edges;
                if (!ReadText(s, shape.name) || !ReadCount(s, edges) || (selection && !s->ReadBool(shape.selected))
                    || !s->ReadBool(shape.fill) || !shape.fillColor.ReadRecord(s) || !s->ReadFloat(shape.lineWidth)
                    || !shape.lineColor.ReadRecord(s))
                    return false;
                for (auto& effect : shape.effects) {
                    int32_t code;
                    if (!s->ReadInt(code))
                        return false;
                    if (code < 0)
                        continue;
                    effect = CreateShapeStyle(code);
                    if (!effect || !effect->ReadRecord(s))
                        return false;
                }
                for (int32_t j = 0; j < edges; j++) {
                    int32_t curve, segment;
                    if (!s->ReadInt(curve) || !s->ReadInt(segment))
                        return false;
                    shape.edges.emplace_back(Shifted(curve, baseCurves), segment);
                }
                fShapes.push_back(std::move(shape));
            }
        } else if (std::strcmp(word, "num_groups") == 0) {
            int32_t n;
            if (!ReadCount(s, n))
                return false;
            for (int32_t k = 0; k < n; k++) {
                M_PointGroup group;
                int32_t count;
                if (!ReadText(s, group.name) || !ReadCount(s, count))
                    return false;
                for (int32_t j = 0; j < count; j++) {
                    int32_t point;
                    if (!s->ReadInt(point))
                        return false;
                    group.points.push_back(Shifted(point, basePoints));
                }
                fGroups.push_back(std::move(group));
            }
        } else if (std::strcmp(word, "end_cMesh") == 0) {
            // The clean-up follows these numbers as indices: a block whose curves and points
            // do not agree is refused rather than repaired.
            if (!Consistent())
                return false;
            DropInvalidEdges();
            CleanUp();
            return true;
        } else {
            return false;
        }
    }
}

bool M_Mesh::Consistent() const
{
    std::vector<size_t> first(fCurves.size() + 1, 0);
    for (size_t c = 0; c < fCurves.size(); c++) {
        first[c + 1] = first[c] + fCurves[c].points.size();
        for (int32_t p : fCurves[c].points)
            if (p < 0 || size_t(p) >= fPoints.size())
                return false;
    }
    // Each membership claims one place on one curve; every place is claimed exactly once.
    std::vector<bool> claimed(first.back(), false);
    size_t memberships = 0;
    for (size_t p = 0; p < fPoints.size(); p++) {
        for (const auto& [curve, index] : fPoints[p].memberships) {
            if (curve < 0 || size_t(curve) >= fCurves.size() || index < 0
                || size_t(index) >= fCurves[size_t(curve)].points.size()
                || fCurves[size_t(curve)].points[size_t(index)] != int32_t(p))
                return false;
            const size_t place = first[size_t(curve)] + size_t(index);
            if (claimed[place])
                return false;
            claimed[place] = true;
            memberships++;
        }
    }
    return memberships == first.back();
}

void M_Mesh::DropInvalidEdges()
{
    for (M_Shape& shape : fShapes) {
        std::erase_if(shape.edges, [&](const std::pair<int32_t, int32_t>& e) {
            return e.first < 0 || size_t(e.first) >= fCurves.size() || e.second < 0
                || size_t(e.second) >= fCurves[size_t(e.first)].points.size();
        });
    }
}

// Removing a point or a curve never makes another one removable by the same rule, so each rule
// removes all its elements at once: the result is that of removing them one by one, in linear
// time.
void M_Mesh::CleanUp()
{
    // Points on no curve.
    std::vector<bool> unused(fPoints.size());
    for (size_t p = 0; p < fPoints.size(); p++)
        unused[p] = fPoints[p].memberships.empty();
    const Renumbering points(unused);
    if (points.Any()) {
        for (M_Curve& curve : fCurves)
            for (int32_t& p : curve.points)
                p = points(p);
        for (M_PointGroup& group : fGroups) {
            std::erase_if(group.points, [&](int32_t p) { return points.Removed(p); });
            for (int32_t& p : group.points)
                p = points(p);
        }
        EraseMarked(fPoints, unused);
    }

    // Curves of fewer than two points, with every shape that has an edge on them.
    std::vector<bool> shortCurve(fCurves.size());
    for (size_t c = 0; c < fCurves.size(); c++)
        shortCurve[c] = fCurves[c].points.size() < 2;
    const Renumbering curves(shortCurve);
    if (curves.Any()) {
        std::erase_if(fShapes, [&](const M_Shape& shape) {
            return std::any_of(shape.edges.begin(), shape.edges.end(),
                [&](const std::pair<int32_t, int32_t>& e) { return curves.Removed(e.first); });
        });
        for (M_Shape& shape : fShapes)
            for (auto& edge : shape.edges)
                edge.first = curves(edge.first);
        for (M_Point& point : fPoints) {
            std::erase_if(point.memberships,
                [&](const std::pair<int32_t, int32_t>& m) { return curves.Removed(m.first); });
            for (auto& m : point.memberships)
                m.first = curves(m.first);
        }
        EraseMarked(fCurves, shortCurve);
    }

    // Shapes without an edge, and filled shapes of one edge.
    std::erase_if(fShapes, [](const M_Shape& shape) {
        return shape.edges.empty() || (shape.fill && shape.edges.size() == 1);
    });

    // Groups that are empty or name a point that does not exist.
    const size_t pointCount = fPoints.size();
    std::erase_if(fGroups, [&](const M_PointGroup& group) {
        return group.points.empty() || std::any_of(group.points.begin(), group.points.end(), [&](int32_t p) {
            return p < 0 || size_t(p) >= pointCount;
        });
    });
}

int32_t M_Mesh::AnimDuration() const
{
    int32_t d = 0;
    for (const M_Point& p : fPoints)
        d = std::max(d, p.position.LastKeyFrame());
    for (const M_Curve& c : fCurves)
        for (const AnimVal& v : c.curvatures)
            d = std::max(d, v.LastKeyFrame());
    for (const M_Shape& shape : fShapes)
        d = std::max(d, shape.AnimDuration());
    return d;
}

void M_Mesh::WriteCurrentRecord(QV_IoStream* s)
{
    DropInvalidEdges();
    CleanUp();
    s->WriteText("[");
    s->WriteNewline();
    s->WriteNewline();
    s->WriteText("points ");
    s->WriteInt(int32_t(fPoints.size()));
    s->WriteNewline();
    for (M_Point& p : fPoints) {
        Tabs(s, 1);
        p.position.WriteCurrentRecord(s);
        Tabs(s, 2);
        s->WriteFloat(p.width);
        s->WriteNewline();
        Tabs(s, 2);
        s->WriteInt(p.parentBone);
        s->WriteNewline();
        Tabs(s, 2);
        Bool(s, p.selected);
        s->WriteNewline();
        Tabs(s, 2);
        s->WriteInt(int32_t(p.memberships.size()));
        s->WriteNewline();
        for (const auto& [curve, index] : p.memberships) {
            Tabs(s, 2);
            s->WriteInt(curve);
            s->WriteSpace();
            s->WriteInt(index);
            s->WriteNewline();
        }
    }

    s->WriteNewline();
    s->WriteText("curves ");
    s->WriteInt(int32_t(fCurves.size()));
    s->WriteNewline();
    for (M_Curve& c : fCurves) {
        Tabs(s, 1);
        s->WriteInt(int32_t(c.points.size()));
        s->WriteSpace();
        Bool(s, c.closed);
        s->WriteNewline();
        for (size_t i = 0; i < c.points.size(); i++) {
            Tabs(s, 2);
            s->WriteInt(c.points[i]);
            s->WriteText(" true ");
            c.curvatures[i].WriteCurrentRecord(s);
        }
    }

    s->WriteNewline();
    s->WriteText("shapes ");
    s->WriteInt(int32_t(fShapes.size()));
    s->WriteNewline();
    for (M_Shape& shape : fShapes) {
        Tabs(s, 1);
        s->WriteQuoted(shape.name.CString());
        s->WriteNewline();
        Tabs(s, 1);
        Bool(s, shape.selected);
        s->WriteSpace();
        s->WriteNewline();
        Tabs(s, 1);
        Bool(s, shape.fill);
        Tabs(s, 1);
        Bool(s, shape.lineWidth > 1e-6f);
        s->WriteNewline();
        s->WriteInt(int32_t(shape.edges.size()));
        s->WriteNewline();
        for (const auto& [curve, segment] : shape.edges) {
            Tabs(s, 2);
            s->WriteInt(curve);
            s->WriteSpace();
            s->WriteInt(segment);
            s->WriteNewline();
        }
        s->WriteNewline();
        // The shape's own style: the older shape has only its colours and width.
        s->WriteText("\"\"");
        s->WriteNewline();
        s->WriteText("false ");
        shape.fillColor.WriteCurrentRecord(s);
        s->WriteText("false ");
        s->WriteFloat(shape.lineWidth);
        s->WriteNewline();
        s->WriteText("false ");
        shape.lineColor.WriteCurrentRecord(s);
        s->WriteText("\"\"");
        s->WriteNewline();
        s->WriteText("false ");
        s->WriteFloat(6.2831855f);
        s->WriteSpace();
        s->WriteFloat(0.25f);
        s->WriteText(" true");
        s->WriteNewline();
        for (auto& effect : shape.effects) {
            Tabs(s, 1);
            if (effect) {
                s->WriteInt(effect->StyleType());
                s->WriteNewline();
                Tabs(s, 2);
                effect->WriteCurrentRecord(s);
            } else {
                s->WriteInt(-1);
            }
            s->WriteNewline();
        }
        s->WriteText("\"\"");
        s->WriteNewline();
        s->WriteText("\"\"");
        s->WriteNewline();
    }

    s->WriteNewline();
    s->WriteText("groups ");
    s->WriteInt(int32_t(fGroups.size()));
    s->WriteNewline();
    for (const M_PointGroup& g : fGroups) {
        Tabs(s, 1);
        s->WriteQuoted(g.name.CString());
        s->WriteSpace();
        s->WriteInt(int32_t(g.points.size()));
        s->WriteSpace();
        for (int32_t p : g.points) {
            s->WriteInt(p);
            s->WriteSpace();
        }
        s->WriteNewline();
    }
    s->WriteNewline();
    s->WriteText("]");
    s->WriteNewline();
}

bool M_Skeleton::ReadRecord(QV_IoStream* s)
{
    const size_t base = fBones.size();
    bool selection = false;
    char word[kWordSize];
    for (;;) {
        if (!ReadWord(s, word, kBlockWord))
            return false;
        if (word[0] == '#') {
            if (!s->SkipLine())
                return false;
        } else if (std::strcmp(word, "selection") == 0) {
            if (!s->ReadBool(selection))
                return false;
        } else if (std::strcmp(word, "num_bones") == 0) {
            int32_t n;
            if (!ReadCount(s, n))
                return false;
            const bool laterForm = s->fVersion > 8;
            for (int32_t k = 0; k < n; k++) {
                M_Bone b;
                if (!ReadText(s, b.name) || !s->ReadInt(b.parent) || !s->ReadInt(b.angleControl)
                    || !s->ReadFloat(b.angleControlScale) || !s->ReadInt(b.positionControl)
                    || !s->ReadFloat(b.positionControlScale[0]) || !s->ReadFloat(b.positionControlScale[1]))
                    return false;
                if (laterForm && (!s->ReadInt(b.scaleControl) || !s->ReadFloat(b.scaleControlScale)))
                    return false;
                if ((selection && !s->ReadBool(b.selected)) || !s->ReadFloat(b.length) || !s->ReadBool(b.constraints)
                    || !s->ReadFloat(b.minAngle) || !s->ReadFloat(b.maxAngle) || !b.position.ReadRecord(s)
                    || !b.angle.ReadRecord(s) || (laterForm && !b.scale.ReadRecord(s)) || !b.lock.ReadRecord(s)
                    || !b.target.ReadRecord(s) || !b.globalAngle.ReadRecord(s))
                    return false;
                b.parent = Shifted(b.parent, base);
                fBones.push_back(std::move(b));
            }
        } else if (std::strcmp(word, "end_cSkeleton") == 0) {
            // A parent outside the skeleton would be followed as an index by every reader.
            for (const M_Bone& b : fBones)
                if (b.parent < -1 || (b.parent >= 0 && size_t(b.parent) >= fBones.size()))
                    return false;
            return true;
        } else {
            return false;
        }
    }
}

int32_t M_Skeleton::AnimDuration() const
{
    int32_t d = 0;
    for (const M_Bone& b : fBones)
        d = std::max({ d, b.position.LastKeyFrame(), b.angle.LastKeyFrame(), b.scale.LastKeyFrame() });
    return d;
}

void M_Skeleton::WriteCurrentRecord(QV_IoStream* s)
{
    s->WriteText("[");
    s->WriteNewline();
    s->WriteNewline();
    s->WriteText("bones ");
    s->WriteInt(int32_t(fBones.size()));
    s->WriteNewline();
    for (M_Bone& b : fBones) {
        Tabs(s, 1);
        s->WriteQuoted(b.name.CString());
        const auto item = [s](auto write) {
            s->WriteSpace();
            write();
        };
        item([&] { s->WriteInt(b.parent); });
        item([&] { s->WriteInt(b.angleControl); });
        item([&] { s->WriteFloat(b.angleControlScale); });
        item([&] { s->WriteInt(b.positionControl); });
        item([&] { s->WriteFloat(b.positionControlScale[0]); });
        item([&] { s->WriteFloat(b.positionControlScale[1]); });
        item([&] { s->WriteInt(b.scaleControl); });
        item([&] { s->WriteFloat(b.scaleControlScale); });
        item([&] { Bool(s, b.selected); });
        item([&] { s->WriteFloat(b.length); });
        item([&] { s->WriteFloat(1); });
        s->WriteNewline();
        s->WriteText("0 0");
        s->WriteNewline();
        Tabs(s, 1);
        Bool(s, b.constraints);
        s->WriteSpace();
        s->WriteFloat(b.minAngle);
        s->WriteSpace();
        s->WriteFloat(b.maxAngle);
        s->WriteNewline();
        Tabs(s, 1);
        s->WriteText("false 1 1 1");
        s->WriteNewline();
        b.position.WriteCurrentRecord(s);
        b.angle.WriteCurrentRecord(s);
        b.scale.WriteCurrentRecord(s);
        b.lock.WriteCurrentRecord(s);
        b.target.WriteCurrentRecord(s);
        b.globalAngle.WriteCurrentRecord(s);
    }
    s->WriteNewline();
    s->WriteText("]");
    s->WriteNewline();
}

} // namespace vorn_v4
