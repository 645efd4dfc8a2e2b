#include "layerfactory.h"

#include <new>

#include "audiolayer.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "mesh3dlayer.h"
#include "meshlayer.h"
#include "notelayer.h"
#include "particlelayer.h"
#include "switchlayer.h"

VornLayer* LayerFactory(int32_t type)
{
    switch (type) {
    case LT_GROUP:
        return new (std::nothrow) GroupLayer;
    case LT_BONE:
        return new (std::nothrow) BoneLayer;
    case LT_SWITCH:
        return new (std::nothrow) SwitchLayer;
    case LT_PARTICLE:
        return new (std::nothrow) ParticleLayer;
    case LT_NOTE:
        return new (std::nothrow) NoteLayer;
    case LT_AUDIO:
        return new (std::nothrow) AudioLayer;
    case LT_IMAGE:
        return new (std::nothrow) ImageLayer;
    case LT_3D:
        return new (std::nothrow) Mesh3DLayer;
    default:
        return new (std::nothrow) MeshLayer;
    }
}
