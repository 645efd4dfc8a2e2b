// The mesh's text record: the point, curve, shape and group sections, read by appending to what
// the mesh already holds (a paste reads into the layer's mesh).

#include "m_mesh.h"

#include <cstring>

#include "animrecord.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_pointgroup.h"
#include "m_shape.h"
#include "qv_iostream.h"
#include "record_limits.h"
#include "record_lines.h"
#include "style_panel_refs.h"

namespace {

// The first version whose shape edges store their flags.
constexpr int32_t kFirstVersionWithEdgeFlags = 19;

// The source named in read errors, as stored documents and their users know it.
constexpr const char* kCodeFile = "..\\..\\..\\lib_vorn\\m_mesh";

// Check numbers of the read errors.
constexpr int32_t kCheckWord = 132;
constexpr int32_t kCheckPointCount = 146;
constexpr int32_t kCheckPoint = 156;
constexpr int32_t kCheckCurveCount = 163;
constexpr int32_t kCheckCurve = 173;
constexpr int32_t kCheckShapeCount = 186;
constexpr int32_t kCheckShape = 196;
constexpr int32_t kCheckGroupCount = 205;
constexpr int32_t kCheckGroup = 215;
constexpr int32_t kCheckLinks = 222;

// Fewest bytes an object's record can take; a count that the rest of the stream cannot hold is
// refused before it sizes anything.
constexpr int32_t kMinPointBytes = 10;
constexpr int32_t kMinCurveBytes = 4;
constexpr int32_t kMinShapeBytes = 20;
constexpr int32_t kMinGroupBytes = 5;

constexpr int32_t kWordSize = 256;

void ReadError(QV_IoStream* stream, int32_t check)
{
    ChannelReadError(stream, kCodeFile, check);
}

template <class T> void DeleteSlots(T** items, int32_t from, int32_t to)
{
    for (int32_t i = from; i < to; i++) {
        delete items[i];
        items[i] = nullptr;
    }
}

// Room for base + count objects in a list, doubled as the records are read.
bool Reserve(int32_t base, int32_t count, int32_t capacity, int32_t& wanted)
{
    const int64_t needed = int64_t(base) + count;
    wanted = capacity;
    if (capacity > needed)
        return true;
    if (2 * needed > INT32_MAX)
        return false;
    wanted = int32_t(2 * needed);
    return true;
}

void WriteSectionHead(QV_IoStream* stream, const char* keyword, int32_t count)
{
    stream->WriteIndent();
    stream->WriteText(keyword);
    stream->WriteInt(count);
    stream->WriteNewline();
}

} // namespace

void M_Mesh::DiscardFrom(int32_t points, int32_t curves, int32_t shapes, int32_t groups)
{
    for (int32_t i = shapes; i < fShapeCapacity; i++) {
        if (fShapes[i] && fShapes[i] == gNewShapeProperties)
            gNewShapeProperties = nullptr;
    }
    DeleteSlots(fPoints, points, fPointCapacity);
    DeleteSlots(fCurves, curves, fCurveCapacity);
    DeleteSlots(fShapes, shapes, fShapeCapacity);
    DeleteSlots(fGroups, groups, fGroupCapacity);
    fNumPoints = points;
    fNumCurves = curves;
    fNumShapes = shapes;
    fNumGroups = groups;
}

bool M_Mesh::ReadRecord(QV_IoStream* stream, bool noCleanup)
{
    const int32_t p0 = fNumPoints, c0 = fNumCurves, s0 = fNumShapes, g0 = fNumGroups;
    // Objects read so far in each section. A repeated section is read to the same places as the
    // first, replacing its objects.
    int32_t points = 0, curves = 0, shapes = 0, groups = 0;
    auto fail = [&](int32_t check) {
        ReadError(stream, check);
        DiscardFrom(p0, c0, s0, g0);
        return false;
    };

    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word, '[', ']');
        if (next == RecordWord::kUnreadable)
            return fail(kCheckWord);
        if (next == RecordWord::kEnd)
            break;

        int32_t count, capacity;
        if (std::strcmp(word, "points") == 0) {
            if (!stream->ReadInt(count) || !RecordCountFits(stream, count, kMinPointBytes)
                || !Reserve(p0, count, fPointCapacity, capacity))
                return fail(kCheckPointCount);
            DeleteSlots(fPoints, p0, p0 + points);
            points = 0;
            ResizePoints(capacity);
            for (int32_t i = 0; i < count; i++) {
                M_Point* point = new M_Point(0);
                point->fMesh = this;
                fPoints[p0 + i] = point;
                points = i + 1;
                if (!point->ReadRecord(stream, c0))
                    return fail(kCheckPoint);
            }
        } else if (std::strcmp(word, "curves") == 0) {
            if (!stream->ReadInt(count) || !RecordCountFits(stream, count, kMinCurveBytes)
                || !Reserve(c0, count, fCurveCapacity, capacity))
                return fail(kCheckCurveCount);
            DeleteSlots(fCurves, c0, c0 + curves);
            curves = 0;
            ResizeCurves(capacity);
            for (int32_t i = 0; i < count; i++) {
                M_Curve* curve = new M_Curve;
                curve->fMesh = this;
                fCurves[c0 + i] = curve;
                curves = i + 1;
                if (!curve->ReadRecord(stream, p0))
                    return fail(kCheckCurve);
            }
        } else if (std::strcmp(word, "shapes") == 0) {
            // The edges reach the points and curves read so far while this section is read.
            fNumPoints = p0 + points;
            fNumCurves = c0 + curves;
            // Edges carry their end points' dangling flags from version 19 on, and only copies in
            // memory are trusted to hold them: files, and the older versions that the converter
            // hands over in memory, have them worked out here.
            if (stream->IsFile() || stream->fVersion < kFirstVersionWithEdgeFlags)
                MarkDanglingPoints(false);
            if (!stream->ReadInt(count) || !RecordCountFits(stream, count, kMinShapeBytes)
                || !Reserve(s0, count, fShapeCapacity, capacity))
                return fail(kCheckShapeCount);
            DeleteSlots(fShapes, s0, s0 + shapes);
            shapes = 0;
            ResizeShapes(capacity);
            for (int32_t i = 0; i < count; i++) {
                M_Shape* shape = new M_Shape(0);
                shape->fMesh = this;
                fShapes[s0 + i] = shape;
                shapes = i + 1;
                if (!shape->ReadRecord(stream, c0))
                    return fail(kCheckShape);
            }
            fNumPoints = p0;
            fNumCurves = c0;
        } else if (std::strcmp(word, "groups") == 0) {
            if (!stream->ReadInt(count) || !RecordCountFits(stream, count, kMinGroupBytes)
                || !Reserve(g0, count, fGroupCapacity, capacity))
                return fail(kCheckGroupCount);
            DeleteSlots(fGroups, g0, g0 + groups);
            groups = 0;
            ResizeGroups(capacity);
            for (int32_t i = 0; i < count; i++) {
                M_PointGroup* group = new M_PointGroup;
                group->fMesh = this;
                fGroups[g0 + i] = group;
                groups = i + 1;
                if (!group->ReadRecord(stream, p0))
                    return fail(kCheckGroup);
            }
        } else {
            UnknownKeywordError(stream, word);
            return fail(kCheckWord);
        }
    }

    fNumPoints = p0 + points;
    fNumCurves = c0 + curves;
    fNumShapes = s0 + shapes;
    fNumGroups = g0 + groups;
    // Every later operation walks from curves to points and back: a record whose two directions
    // disagree (or name objects that do not exist) is refused, pasted or not.
    if (!LinksAreConsistent())
        return fail(kCheckLinks);
    // Drawing takes an edge's segment as valid: edges that name none go, pasted or not.
    for (int32_t s = 0; s < fNumShapes; s++)
        fShapes[s]->RemoveInvalidEdges();
    if (!noCleanup) {
        RemoveDegenerates();
        MarkDanglingPoints(false);
    }
    MakeShapeNamesUnique();
    return true;
}

void M_Mesh::WriteRecord(QV_IoStream* stream)
{
    for (int32_t s = 0; s < fNumShapes; s++)
        fShapes[s]->RemoveInvalidEdges();
    RemoveDegenerates();

    stream->WriteIndent();
    stream->WriteText("[");
    stream->WriteNewline();
    stream->fIndent++;

    WriteSectionHead(stream, "points ", fNumPoints);
    stream->fIndent++;
    for (int32_t i = 0; i < fNumPoints; i++)
        fPoints[i]->WriteRecord(stream);
    stream->fIndent--;

    WriteSectionHead(stream, "curves ", fNumCurves);
    stream->fIndent++;
    for (int32_t i = 0; i < fNumCurves; i++)
        fCurves[i]->WriteRecord(stream);
    stream->fIndent--;

    // A file never keeps a shape that draws nothing; the document drops it too.
    if (stream->IsFile()) {
        for (int32_t s = fNumShapes - 1; s >= 0; s--) {
            if (!fShapes[s]->fHasFill && !fShapes[s]->fHasOutline)
                DeleteShape(s);
        }
    }
    WriteSectionHead(stream, "shapes ", fNumShapes);
    stream->fIndent++;
    for (int32_t i = 0; i < fNumShapes; i++)
        fShapes[i]->WriteRecord(stream);
    stream->fIndent--;

    WriteSectionHead(stream, "groups ", fNumGroups);
    stream->fIndent++;
    for (int32_t i = 0; i < fNumGroups; i++)
        fGroups[i]->WriteRecord(stream);
    stream->fIndent--;

    stream->fIndent--;
    stream->WriteIndent();
    stream->WriteText("]");
    stream->WriteNewline();
}
