#include "layerfactory.h"

#include <new>

#include "grouplayer.h"
#include "meshlayer.h"
#include "notelayer.h"

VornLayer* LayerFactory(int32_t type)
{
    switch (type) {
    case LT_GROUP:
        return new (std::nothrow) GroupLayer;
    case LT_NOTE:
        return new (std::nothrow) NoteLayer;
    case LT_IMAGE:
    case LT_BONE:
    case LT_SWITCH:
    case LT_PARTICLE:
    case LT_3D:
    case LT_AUDIO:
        return nullptr;
    default:
        return new (std::nothrow) MeshLayer;
    }
}
