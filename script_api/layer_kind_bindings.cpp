#include "layer_kind_bindings.h"

#include "animstring.h"
#include "console_sink.h"
#include "document_path.h"
#include "qv_vector.h"
#include "vorndoc.h"

namespace {

// Sorts with the document given; a foreign one is not kept for the group's later sorts.
template <typename Sort> void SortWith(GroupLayer* self, VornDoc* doc, Sort sort)
{
    VornDoc* const kept = self->fSortDoc;
    sort(doc);
    if (doc && doc != self->fDoc)
        self->fSortDoc = kept;
}

} // namespace

namespace vornlayers {

const char* Name(TrackingPoint* self)
{
    return self->Name().CString();
}

void SetSourceImage(ImageLayer* self, const char* path)
{
    self->SetSourceImage(path ? path : "");
}

const char* SourceImage(ImageLayer* self)
{
    return self->SourceImage().CString();
}

TrackingPoint* AddTrackingPoint(ImageLayer* self, const QV_Vector2& pos, int frame)
{
    return self->AddTrackingPoint(frame, pos.x, pos.y);
}

void StartTracking(ImageLayer* self, TrackingPoint& point)
{
    self->StartTracking(&point);
}

VornLayer* LayerByName(GroupLayer* self, const char* name)
{
    return self->LayerByName(name ? name : "");
}

void SetDepthSorted(GroupLayer* self, bool on)
{
    if (self->fSortDoc && self->fSortDoc != self->fDoc)
        self->fSortDoc = nullptr;
    self->SetDepthSorted(on);
}

void SetDistanceSorted(GroupLayer* self, bool on)
{
    self->fDistanceSort = on;
}

AnimString* GetLayerOrdering(GroupLayer* self)
{
    return &self->fLayerOrdering;
}

void FullDepthSort(GroupLayer* self, VornDoc* doc)
{
    SortWith(self, doc, [self](VornDoc* d) { self->FullDepthSort(d); });
}

void DepthSort(GroupLayer* self, VornDoc* doc)
{
    SortWith(self, doc, [self](VornDoc* d) { self->DepthSort(d); });
}

lua_Object GetValue(SwitchLayer* self, lua_State* state, int frame)
{
    const QV_String value = self->GetValue(frame);
    lua_pushstring(state, value.CString() ? value.CString() : "");
    return lua_gettop(state);
}

void SetSourceFile(SwitchLayer* self, const char* path)
{
    self->SetSourceFile(path ? path : "");
}

void SetNumParticles(ParticleLayer* self, int total, int preview)
{
    if (!self->SetNumParticles(total, preview))
        PrintOutOfRange("ParticleLayer:SetNumParticles");
}

void SetSourceMesh(Mesh3DLayer* self, const char* path)
{
    self->SetSourceMesh(path);
}

const char* SourceMesh(Mesh3DLayer* self)
{
    return self->SourceMesh().CString();
}

void SetAudioFile(AudioLayer* self, const char* path)
{
    if (path && *path) {
        if (DocumentPathAllowed(path))
            self->SetAudioFile(path);
        return;
    }
    self->fSound.reset();
    self->fMaxAmplitude = -1;
    self->fAudioFile = "";
}

const char* AudioFile(AudioLayer* self)
{
    return self->AudioFile().CString();
}

} // namespace vornlayers
