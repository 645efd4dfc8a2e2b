#pragma once
#include "qv_vector.h"

// Bounds of meshes and groups. Starts inverted and empty so that the first
// Include sets both corners.
struct QV_BBox {
    QV_Vector3 min { 1e6f, 1e6f, 1e6f };
    QV_Vector3 max { -1e6f, -1e6f, -1e6f };
    bool empty = true;

    void Include(const QV_Vector3& p);
    // x and y only; z keeps its bounds.
    void Include(const QV_Vector2& p);
};
