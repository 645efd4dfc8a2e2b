#include "skeleton_bindings.h"

#include <cstdio>

extern "C" {
#include <lauxlib.h>
}

#include "binding_conventions.h"
#include "console_sink.h"

namespace {

bool IdInList(const M_Skeleton* skeleton, int id, const char* where)
{
    if (id < skeleton->GetNumBones())
        return true;
    PrintOutOfRange(where);
    return false;
}

M_Bone* BoneSelf(lua_State* state, const char* field)
{
    auto* self = static_cast<M_Bone*>(tolua_tousertype(state, 1, nullptr));
    if (!self) {
        char text[96];
        std::snprintf(text, sizeof(text), "invalid 'self' in accessing variable '%s'", field);
        tolua_error(state, text, nullptr);
    }
    tolua_Error error;
    if (!tolua_isnumber(state, 2, 0, &error))
        tolua_error(state, "#vinvalid type in variable assignment.", &error);
    return self;
}

void OutOfRange(const char* field)
{
    char where[64];
    std::snprintf(where, sizeof(where), "M_Bone:%s", field);
    PrintOutOfRange(where);
}

// A control id: -1 or a bone of the skeleton.
template <int32_t M_Bone::*Field> int SetControl(lua_State* state, const char* field)
{
    M_Bone* self = BoneSelf(state, field);
    const int32_t id = QV_LuaInt(tolua_tonumber(state, 2, 0));
    const M_Skeleton* skeleton = self->fOwnerSkeleton;
    if (id == -1 || (skeleton && id >= 0 && skeleton->GetBone(id)))
        self->*Field = id;
    else
        OutOfRange(field);
    return 0;
}

int SetAngleControl(lua_State* state) { return SetControl<&M_Bone::fAngleControlParent>(state, "fAngleControlParent"); }
int SetPosControl(lua_State* state) { return SetControl<&M_Bone::fPosControlParent>(state, "fPosControlParent"); }
int SetScaleControl(lua_State* state) { return SetControl<&M_Bone::fScaleControlParent>(state, "fScaleControlParent"); }

int SetParent(lua_State* state)
{
    M_Bone* self = BoneSelf(state, "fParent");
    const int32_t id = QV_LuaInt(tolua_tonumber(state, 2, 0));
    M_Skeleton* skeleton = self->fOwnerSkeleton;
    const int32_t index = skeleton ? skeleton->GetBoneID(self) : -1;
    if (index < 0 || !skeleton->SetBoneParent(index, id))
        OutOfRange("fParent");
    return 0;
}

void PutSetter(lua_State* state, const char* name, lua_CFunction function)
{
    luaL_getmetatable(state, "M_Bone");
    lua_pushstring(state, ".set");
    lua_rawget(state, -2);
    if (lua_istable(state, -1)) {
        lua_pushstring(state, name);
        lua_pushcfunction(state, function);
        lua_rawset(state, -3);
    }
    lua_pop(state, 2);
}

} // namespace

namespace vornbones {

void UpdateBoneMatrix(M_Skeleton* self, int id)
{
    if (IdInList(self, id, "M_Skeleton:UpdateBoneMatrix"))
        self->UpdateBoneMatrix(id < 0 ? -1 : id);
}

void DeleteBone(M_Skeleton* self, int id, int keepSlot)
{
    self->DeleteBone(id, keepSlot != 0);
}

bool IsBoneChild(M_Skeleton* self, int parent, int id)
{
    return IdInList(self, parent, "M_Skeleton:IsBoneChild") && IdInList(self, id, "M_Skeleton:IsBoneChild")
        && self->IsBoneChild(parent, id);
}

bool IsBoneParent(M_Skeleton* self, int id, int parent)
{
    return IdInList(self, id, "M_Skeleton:IsBoneParent") && IdInList(self, parent, "M_Skeleton:IsBoneParent")
        && self->IsBoneParent(id, parent);
}

void AddMaterial(M_Mesh3D* self, const M_Material3D& material)
{
    auto* copy = new M_Material3D;
    copy->fName = material.fName;
    copy->color = material.color;
    copy->fTexturePath = material.fTexturePath;
    self->AddMaterial(copy);
}

} // namespace vornbones

void PatchBoneIdSetters(lua_State* state)
{
    PutSetter(state, "fParent", SetParent);
    PutSetter(state, "fAngleControlParent", SetAngleControl);
    PutSetter(state, "fPosControlParent", SetPosControl);
    PutSetter(state, "fScaleControlParent", SetScaleControl);
}
