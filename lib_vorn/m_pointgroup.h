#pragma once

#include <cstdint>

#include "qv_string.h"

class M_Mesh;
class M_Point;
class QV_IoStream;

// A named set of mesh point indices, kept by the mesh for selecting points by name.
class M_PointGroup {
public:
    M_PointGroup();
    ~M_PointGroup();
    M_PointGroup(const M_PointGroup&) = delete;
    M_PointGroup& operator=(const M_PointGroup&) = delete;

    const char* GroupName() const { return fName.CString(); }
    int32_t GetNumPoints() const { return fNumIndices; }
    // The mesh point of index i of the group; null (with a console line) when i is outside the
    // group or the index names no point.
    M_Point* GetPoint(int32_t i);
    void AddPoint(int32_t pointIndex);
    // Removes entry i; later ones move down.
    void RemoveIndexAt(int32_t i);

    // pointBase is added to every index read.
    bool ReadRecord(QV_IoStream* stream, int32_t pointBase);
    void WriteRecord(QV_IoStream* stream);

    // Not owned.
    M_Mesh* fMesh;
    QV_String fName;
    int32_t fNumIndices;
    // Exactly fNumIndices entries.
    int32_t* fPointIndices;
};
