#pragma once

// The ScriptInterface members that the generator cannot bind straight to the record: those
// computed from several fields, and the type tests that hand a layer out under its kind.

struct lua_State;
class BoneLayer;
class GroupLayer;
class M_Skeleton;
class MeshLayer;
class ScriptInterface;
class SwitchLayer;
class VornDoc;
class VornLayer;
struct QV_Vector2;
struct QV_Vector3;

namespace vornsi {

// Moves the document and takes the layer and its frame from the document's selection.
void SetCurFrame(ScriptInterface* self, int frame);
// A layer of another document raises the argument error: it would get a second owner.
void SetSelLayer(ScriptInterface* self, lua_State* state, VornLayer* layer);
// Layers of another document raise the argument error; so does a missing layer or group where
// there is nothing to move.
VornLayer* DuplicateLayer(ScriptInterface* self, lua_State* state, VornLayer* layer);
void PlaceLayerInGroup(ScriptInterface* self, lua_State* state, VornLayer* layer, VornLayer* group, bool append);
void PlaceLayerBehindAnother(ScriptInterface* self, lua_State* state, VornLayer* layer, VornLayer* other);

// Nil does nothing. A document that LoadDocument did not give raises the argument error; one
// destroyed already raises the self error. The destroyed document's Lua object is emptied.
void DestroyDocument(ScriptInterface* self, lua_State* state, VornDoc* doc);

// The layer under its kind when it is of that kind, else null.
MeshLayer* LayerAsVector(ScriptInterface* self, VornLayer* layer);
GroupLayer* LayerAsGroup(ScriptInterface* self, VornLayer* layer);
BoneLayer* LayerAsBone(ScriptInterface* self, VornLayer* layer);
SwitchLayer* LayerAsSwitch(ScriptInterface* self, VornLayer* layer);

M_Skeleton* ParentSkeleton(ScriptInterface* self);

// Nil raises the argument error: there is no point to round.
void SnapToGrid(ScriptInterface* self, lua_State* state, QV_Vector2* point);

// Nil raises the argument error.
QV_Vector3 NoiseVector(ScriptInterface* self, lua_State* state, const QV_Vector3* point, float amplitude, float frequency);

// Pixels over the document height; without a document the value is taken as is.
float PixelToDoc(ScriptInterface* self, float value);
float DocToPixel(ScriptInterface* self, float value);

} // namespace vornsi
