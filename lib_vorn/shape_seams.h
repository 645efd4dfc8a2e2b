#pragma once

#include <cstdint>
#include <utility>
#include <vector>

class M_Mesh;

// Which filled shape lies topmost over each curve segment of a mesh: the renderer strokes a seam
// under a fill wherever a filled shape above shares the segment, and asking every shape above,
// shape by shape, grows with the square of the shape count. Built once per pass over a layer's
// shapes; the storage is kept, so later frames allocate nothing.
class ShapeSeamTable {
public:
    void Build(const M_Mesh& mesh);
    // The index of the topmost filled shape with the segment among its edges; -1 when none has it.
    int32_t TopFilledShape(int32_t curve, int32_t segment) const;
    // The shape count of the mesh the table was built from; -1 before the first build.
    int32_t ShapeCount() const { return fShapeCount; }

    static uint64_t Key(int32_t curve, int32_t segment)
    {
        return uint64_t(uint32_t(curve)) << 32 | uint32_t(segment);
    }

private:
    // Sorted by key, one entry per key.
    std::vector<std::pair<uint64_t, int32_t>> fTop;
    int32_t fShapeCount = -1;
};
