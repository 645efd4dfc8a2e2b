#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_pointgroup.h"
#include "m_shape.h"
#include "qv_memstream.h"
#include "vorn_test_support.h"

// Builds an open curve through the positions (at least two) at the end of the mesh's curve list
// and answers its index. Every new point is selected, except the first.
inline int32_t AddCurve(
    M_Mesh& mesh, const std::vector<QV_Vector2>& positions, bool closed = false, int32_t frame = 0)
{
    mesh.AddLonePoint(positions[0], frame);
    for (size_t i = 1; i < positions.size(); i++)
        mesh.AppendPoint(positions[i], frame);
    const int32_t index = mesh.fNumCurves - 1;
    mesh.fCurves[index]->fClosed = closed;
    return index;
}

// A shape over the edges (curve, segment), added to the mesh; answers its index.
inline int32_t AddShape(M_Mesh& mesh, const std::vector<std::pair<int32_t, int32_t>>& edges, bool fill = true,
    bool outline = false, const char* name = "")
{
    M_Shape* shape = new M_Shape(0);
    shape->fHasFill = fill;
    shape->fHasOutline = outline;
    shape->fName = name;
    for (const auto& edge : edges)
        shape->AddEdge(edge.first, edge.second, 0);
    mesh.AddShape(shape);
    return mesh.fNumShapes - 1;
}

// The mesh record as written to memory.
inline std::string MeshRecord(M_Mesh& mesh, int32_t indent = 0)
{
    QV_MemStream stream;
    stream.Open(0);
    stream.fIndent = indent;
    mesh.WriteRecord(&stream);
    return StreamText(stream);
}

struct MeshRead {
    bool ok;
    std::string error;
};

// Reads the text into the mesh at a format version; answers the result and the stream's error.
inline MeshRead ReadMesh(M_Mesh& mesh, const std::string& text, bool noCleanup = false, int32_t version = 19)
{
    QV_MemStream stream;
    FillStream(stream, text);
    stream.fVersion = version;
    const bool ok = mesh.ReadRecord(&stream, noCleanup);
    return MeshRead { ok, stream.fError.CString() };
}

// The mesh indices of the curve's points, in curve order.
inline std::vector<int32_t> CurvePoints(const M_Mesh& mesh, int32_t curve)
{
    const M_Curve* c = mesh.fCurves[curve];
    return std::vector<int32_t>(c->fPointIDs, c->fPointIDs + c->fNumPoints);
}

// The edges of a shape as (curve, segment) pairs.
inline std::vector<std::pair<int32_t, int32_t>> ShapeEdges(const M_Mesh& mesh, int32_t shape)
{
    const M_Shape* s = mesh.fShapes[shape];
    std::vector<std::pair<int32_t, int32_t>> edges;
    for (int32_t e = 0; e < s->fNumEdges; e++)
        edges.emplace_back(s->fEdgeCurves[e], s->fEdgeSegments[e]);
    return edges;
}

// Every slot past each count is empty and every object knows its mesh.
inline bool SlotsAreTidy(const M_Mesh& mesh)
{
    for (int32_t i = 0; i < mesh.fPointCapacity; i++) {
        if ((i < mesh.fNumPoints) != (mesh.fPoints[i] != nullptr))
            return false;
        if (i < mesh.fNumPoints && mesh.fPoints[i]->fMesh != &mesh)
            return false;
    }
    for (int32_t i = 0; i < mesh.fCurveCapacity; i++) {
        if ((i < mesh.fNumCurves) != (mesh.fCurves[i] != nullptr))
            return false;
    }
    for (int32_t i = 0; i < mesh.fShapeCapacity; i++) {
        if ((i < mesh.fNumShapes) != (mesh.fShapes[i] != nullptr))
            return false;
    }
    for (int32_t i = 0; i < mesh.fGroupCapacity; i++) {
        if ((i < mesh.fNumGroups) != (mesh.fGroups[i] != nullptr))
            return false;
    }
    return true;
}

// The text of one point record at indent 0: position key, width key, bone, selection and the
// memberships as "curve position" pairs.
inline std::string PointRecordText(
    float x, float y, const std::vector<std::pair<int32_t, int32_t>>& refs, float width = -1)
{
    std::string text = "[ keys 1 0 1 0.1 0.5 " + std::to_string(x) + " " + std::to_string(y) + " ]\n";
    text += "[ keys 1 0 1 0.1 0.5 " + std::to_string(width) + " ]\n-2\nfalse\n" + std::to_string(refs.size())
        + "\n";
    for (const auto& ref : refs)
        text += std::to_string(ref.first) + " " + std::to_string(ref.second) + " ";
    return text + "\n";
}

// The text of one curve record: the point indices, all segments on, curvatures 0.3.
inline std::string CurveRecordText(const std::vector<int32_t>& points, bool closed = false)
{
    std::string text = std::to_string(points.size()) + (closed ? " true\n" : " false\n");
    for (int32_t id : points)
        text += std::to_string(id) + " true\n[ keys 1 0 1 0.1 0.5 0.3 ]\n";
    return text;
}
