#pragma once

// The skeleton and 3D mesh members that check what the model leaves to its callers: bone ids
// at or above the bone count, parent links that would close a cycle, and a material that
// belongs to a mesh already.

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

#include "m_bone.h"
#include "m_mesh3d.h"
#include "m_skeleton.h"

namespace vornbones {

// -1 (any negative id) updates every bone; an id at or above the count prints
// "M_Skeleton:UpdateBoneMatrix - out of range" and does nothing.
void UpdateBoneMatrix(M_Skeleton* self, int id);
// A non-zero keepSlot leaves the bone's slot empty.
void DeleteBone(M_Skeleton* self, int id, int keepSlot);
// Ids at or above the count print the skeleton's range line and answer false.
bool IsBoneChild(M_Skeleton* self, int parent, int id);
bool IsBoneParent(M_Skeleton* self, int id, int parent);

// The mesh takes a copy: the material given stays with its own mesh.
void AddMaterial(M_Mesh3D* self, const M_Material3D& material);

} // namespace vornbones

// After the module opens: the setters of a bone's parent and control ids take -1 to the bone
// count - 1 (the parent only where it closes no cycle); anything else prints
// "M_Bone:<field> - out of range" and changes nothing.
void PatchBoneIdSetters(lua_State* state);
