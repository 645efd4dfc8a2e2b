#include "shape_seams.h"

#include <algorithm>

#include "m_mesh.h"
#include "m_shape.h"

void ShapeSeamTable::Build(const M_Mesh& mesh)
{
    fTop.clear();
    fShapeCount = mesh.fNumShapes;
    for (int32_t j = 0; j < mesh.fNumShapes; j++) {
        const M_Shape* shape = mesh.fShapes[j];
        if (!shape->fHasFill)
            continue;
        for (int32_t k = 0; k < shape->fNumEdges; k++)
            fTop.emplace_back(Key(shape->fEdgeCurves[k], shape->fEdgeSegments[k]), j);
    }
    // Equal keys end up together, the topmost shape last.
    std::sort(fTop.begin(), fTop.end());
    size_t kept = 0;
    for (size_t i = 0; i < fTop.size(); i++) {
        if (kept > 0 && fTop[kept - 1].first == fTop[i].first)
            fTop[kept - 1].second = fTop[i].second;
        else
            fTop[kept++] = fTop[i];
    }
    fTop.resize(kept);
}

int32_t ShapeSeamTable::TopFilledShape(int32_t curve, int32_t segment) const
{
    const uint64_t key = Key(curve, segment);
    const auto at = std::lower_bound(fTop.begin(), fTop.end(), key,
        [](const std::pair<uint64_t, int32_t>& entry, uint64_t k) { return entry.first < k; });
    return at != fTop.end() && at->first == key ? at->second : -1;
}
