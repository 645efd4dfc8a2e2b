#pragma once

// The document-model members that the generator cannot bind straight to one model operation:
// texts handed out as strings, results through argument slots, range checks and the members
// whose work the binding does itself. Each is named after the operation that scripts' self
// errors name.

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

class AnimChannel;
class AnimString;
class GroupLayer;
class M_Curve;
class M_Mesh;
class M_Point;
class M_Shape;
class VornDoc;
class VornLayer;
struct QV_Vector2;

namespace vorndoc {

// Channels. Out of range, GetKeyInterpByID answers what GetKeyInterp answers for a frame
// without a key.
void GetKeyInterp(AnimChannel* self, int frame, int& mode, float& val1, float& val2);
void GetKeyInterpByID(AnimChannel* self, int id, int& mode, float& val1, float& val2);
// Nil sets the empty text.
void SetValue(AnimString* self, int frame, const char* text);
const char* GetValue(AnimString* self, int frame);

// Layers.
const char* Name(VornLayer* self);
const char* HsvImage(VornLayer* self);
// A refused path (see VornLayer::SetHsvImage) leaves the layer as it was.
void SetHsvImage(VornLayer* self, const char* path);
// 0 while an action is edited, as TotalTimingOffset.
int TimingOffset(VornLayer* self);
const char* CurrentPose(VornLayer* self);
void ActivatePose(VornLayer* self, const char* name);
void InsertPose(VornLayer* self, const char* name, int frame, bool asReference);

// The document. Nil as a name looks for the empty name.
VornLayer* LayerByName(VornDoc* self, const char* name);
void ClearSecondarySelection(VornDoc* self, GroupLayer* group);
int CountSelectedLayers(VornDoc* self, GroupLayer* group);
// An index outside a multi-selection of two or more gives nil.
VornLayer* GetSelectedLayer(VornDoc* self, int index);
const char* Path(VornDoc* self);
const char* Name(VornDoc* self);
// A layer outside this document saves nothing and says why: its undo level could never be
// read back into the document.
void PrepUndo(VornDoc* self, VornLayer* layer);
// Sizes below 1 print "VornDoc:SetShape - out of range" and change nothing: a height of 0
// would divide by zero wherever the aspect ratio is used.
void SetShape(VornDoc* self, int width, int height);

// Points, curves, shapes and the mesh.
M_Curve* GetCurve(M_Point* self, int n, int& index);
int GetNumSegments(M_Curve* self);
// Segments outside 0 to the point count - 1 print a range line and answer false or nil.
bool IsSegmentSelected(M_Curve* self, int segment);
lua_Object PointOnSegment(M_Curve* self, lua_State* state, int segment, float t);
lua_Object ClosestPointOnSegment(M_Curve* self, lua_State* state, int segment, const QV_Vector2& pos);
void ShapeBounds(M_Shape* self, QV_Vector2& min, QV_Vector2& max, int frame);
void AddGroup(M_Mesh* self, const char* name);
void SelectGroup(M_Mesh* self, const char* name);
void DeleteGroup(M_Mesh* self, const char* name);

} // namespace vorndoc

// After the module opens: `delete` of a layer that a document or group holds raises an error
// instead of leaving its owner with a freed layer.
void GuardLayerDelete(lua_State* state);
