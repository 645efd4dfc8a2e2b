#include "script_interface_bindings.h"

#include <cstdio>

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

#include "vorn_binding_errors.h"

#include "binding_conventions.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "meshlayer.h"
#include "qv_vector.h"
#include "script_interface.h"
#include "skeleton_bones.h"
#include "switchlayer.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

bool BelongsTo(VornLayer* layer, VornDoc* doc)
{
    if (!doc)
        return false;
    VornLayer* top = layer;
    while (top->Parent())
        top = top->Parent();
    for (int32_t i = 0; i < doc->CountLayers(); i++) {
        if (doc->Layer(i) == top)
            return true;
    }
    return false;
}

} // namespace

namespace vornsi {

void SetCurFrame(ScriptInterface* self, int frame)
{
    self->fFrame = frame;
    if (self->fDoc)
        self->fDoc->SetCurFrame(frame);
    self->fLayerFrame = self->fFrame;
    self->fLayer = self->fDoc ? self->fDoc->GetSelectedLayer() : nullptr;
    if (self->fLayer)
        self->fLayerFrame = self->fFrame + self->fLayer->TotalTimingOffset();
}

void SetSelLayer(ScriptInterface* self, lua_State* state, VornLayer* layer)
{
    if (layer && !BelongsTo(layer, self->fDoc))
        VornRaiseArgumentError(state, "SetSelLayer", 2, "VornLayer");
    self->fLayer = layer;
    if (self->fDoc && layer)
        self->fDoc->SetSelLayer(layer);
}

VornLayer* DuplicateLayer(ScriptInterface* self, lua_State* state, VornLayer* layer)
{
    if (layer && !BelongsTo(layer, self->fDoc))
        VornRaiseArgumentError(state, "DuplicateLayer", 2, "VornLayer");
    return self->DuplicateLayer(layer);
}

void PlaceLayerInGroup(ScriptInterface* self, lua_State* state, VornLayer* layer, VornLayer* group, bool append)
{
    if (!layer || !BelongsTo(layer, self->fDoc))
        VornRaiseArgumentError(state, "PlaceLayerInGroup", 2, "VornLayer");
    if (!group || !BelongsTo(group, self->fDoc))
        VornRaiseArgumentError(state, "PlaceLayerInGroup", 3, "VornLayer");
    self->PlaceLayerInGroup(layer, group, append);
}

void PlaceLayerBehindAnother(ScriptInterface* self, lua_State* state, VornLayer* layer, VornLayer* other)
{
    if (!layer || !BelongsTo(layer, self->fDoc))
        VornRaiseArgumentError(state, "PlaceLayerBehindAnother", 2, "VornLayer");
    if (other && !BelongsTo(other, self->fDoc))
        VornRaiseArgumentError(state, "PlaceLayerBehindAnother", 3, "VornLayer");
    self->PlaceLayerBehindAnother(layer, other);
}

void DestroyDocument(ScriptInterface*, lua_State* state, VornDoc* doc)
{
    if (!doc) {
        // An emptied object is a document destroyed before, not a nil.
        if (lua_type(state, 2) == LUA_TUSERDATA)
            tolua_error(state, "invalid 'self' in function 'DestroyDocument': the document was destroyed", nullptr);
        return;
    }
    if (!DestroyScriptDocument(doc))
        VornRaiseArgumentError(state, "DestroyDocument", 2, "VornDoc");
    // Only the address is used: Lua forgets the object the document was.
    QV_LuaInvalidateObject(state, doc, "VornDoc");
}

MeshLayer* LayerAsVector(ScriptInterface*, VornLayer* layer)
{
    return layer && layer->LayerType() == LT_VECTOR ? dynamic_cast<MeshLayer*>(layer) : nullptr;
}

GroupLayer* LayerAsGroup(ScriptInterface*, VornLayer* layer)
{
    return layer && layer->IsGroupType() ? dynamic_cast<GroupLayer*>(layer) : nullptr;
}

BoneLayer* LayerAsBone(ScriptInterface*, VornLayer* layer)
{
    return layer && layer->IsBoneType() ? dynamic_cast<BoneLayer*>(layer) : nullptr;
}

SwitchLayer* LayerAsSwitch(ScriptInterface*, VornLayer* layer)
{
    return layer && layer->LayerType() == LT_SWITCH ? dynamic_cast<SwitchLayer*>(layer) : nullptr;
}

M_Skeleton* ParentSkeleton(ScriptInterface* self)
{
    GroupLayer* parent = self->fLayer ? self->fLayer->Parent() : nullptr;
    if (!parent || !parent->IsBoneType())
        return nullptr;
    auto* bones = dynamic_cast<SkeletonBones*>(parent->fBoneParent);
    return bones ? bones->fSkeleton : nullptr;
}

void SnapToGrid(ScriptInterface* self, lua_State* state, QV_Vector2* point)
{
    if (!point)
        VornRaiseArgumentError(state, "SnapToGrid", 2, "QV_Vector2");
    self->SnapToGrid(point);
}

QV_Vector3 NoiseVector(ScriptInterface* self, lua_State* state, const QV_Vector3* point, float amplitude, float frequency)
{
    if (!point)
        VornRaiseArgumentError(state, "NoiseVector", 2, "QV_Vector3");
    return self->NoiseVector(*point, amplitude, frequency);
}

float PixelToDoc(ScriptInterface* self, float value)
{
    return self->fDoc ? value / float(self->fDoc->Height()) : value;
}

float DocToPixel(ScriptInterface* self, float value)
{
    return self->fDoc ? value * float(self->fDoc->Height()) : value;
}

} // namespace vornsi
