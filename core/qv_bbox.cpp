#include "qv_bbox.h"
#include <algorithm>

void QV_BBox::Include(const QV_Vector3& p)
{
    min.x = std::min(min.x, p.x);
    min.y = std::min(min.y, p.y);
    min.z = std::min(min.z, p.z);
    max.x = std::max(max.x, p.x);
    max.y = std::max(max.y, p.y);
    max.z = std::max(max.z, p.z);
    empty = false;
}

void QV_BBox::Include(const QV_Vector2& p)
{
    min.x = std::min(min.x, p.x);
    min.y = std::min(min.y, p.y);
    max.x = std::max(max.x, p.x);
    max.y = std::max(max.y, p.y);
    empty = false;
}
