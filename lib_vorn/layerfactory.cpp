#include "layerfactory.h"

#include <new>

#include "audiolayer.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "meshlayer.h"
#include "notelayer.h"
#include "particlelayer.h"
#include "switchlayer.h"
#include "qv_iostream.h"

namespace {

// The kinds that come with their own code later, by the plural a sentence starts with.
const char* UnsupportedKinds(int32_t type)
{
    switch (type) {
    case LT_IMAGE:
        return "Image layers";
    case LT_3D:
        return "3D layers";
    default:
        return nullptr;
    }
}

} // namespace

VornLayer* LayerFactory(int32_t type)
{
    if (UnsupportedKinds(type))
        return nullptr;
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
    default:
        return new (std::nothrow) MeshLayer;
    }
}

void ReportUnsupportedLayer(QV_IoStream* stream, int32_t type)
{
    if (const char* kinds = UnsupportedKinds(type))
        ReportUnsupported(stream, kinds);
}

void ReportUnsupported(QV_IoStream* stream, const char* kinds)
{
    QV_String text(kinds);
    text.Append(" are not supported yet: this document holds one at line ");
    text.AppendInt(stream->LineNumber());
    text.Append(".");
    stream->SetError(text.CString());
}
