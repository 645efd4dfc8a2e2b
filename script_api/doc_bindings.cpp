#include "doc_bindings.h"

#include <cstring>
#include <new>

extern "C" {
#include <lauxlib.h>
}

#include "animchannel.h"
#include "animstring.h"
#include "console_sink.h"
#include "grouplayer.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "qv_vector.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr rgb_color kErrorRed { 255, 0, 0, 255 };

void ClearSelectedIn(GroupLayer* group)
{
    for (int32_t i = 0; i < group->CountLayers(); i++) {
        VornLayer* layer = group->Layer(i);
        layer->SetSecondarySelection(false);
        if (layer->IsGroupType())
            ClearSelectedIn(static_cast<GroupLayer*>(layer));
    }
}

void GatherSelectedIn(QV_ArrayList& list, GroupLayer* group)
{
    for (int32_t i = 0; i < group->CountLayers(); i++) {
        VornLayer* layer = group->Layer(i);
        if (layer->SecondarySelection())
            list.Append(layer);
        if (layer->IsGroupType())
            GatherSelectedIn(list, static_cast<GroupLayer*>(layer));
    }
}

bool InDocument(VornDoc* doc, VornLayer* layer)
{
    while (layer->Parent())
        layer = layer->Parent();
    return doc->fLayers.Contains(layer);
}

// A new vector owned by Lua, left on the stack; its index is the result.
lua_Object PushVector(lua_State* state, const QV_Vector2& v)
{
    void* copy = new QV_Vector2(v);
    tolua_pushusertype_and_takeownership(state, copy, "QV_Vector2");
    return lua_gettop(state);
}

lua_Object PushNil(lua_State* state)
{
    lua_pushnil(state);
    return lua_gettop(state);
}

bool SegmentInRange(M_Curve* curve, int segment, const char* where)
{
    if (segment >= 0 && segment < curve->GetNumPoints())
        return true;
    PrintOutOfRange(where);
    return false;
}

int GuardedLayerDelete(lua_State* state)
{
    tolua_Error error;
    if (lua_type(state, 1) == LUA_TUSERDATA && tolua_isusertype(state, 1, "VornLayer", 0, &error)) {
        auto* layer = static_cast<VornLayer*>(tolua_tousertype(state, 1, nullptr));
        if (layer && (layer->fDoc || layer->Parent()))
            return luaL_error(state, "invalid 'self' in function 'delete': the layer belongs to a document or group");
    }
    const int args = lua_gettop(state);
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, args, LUA_MULTRET);
    return lua_gettop(state);
}

} // namespace

namespace vorndoc {

void GetKeyInterp(AnimChannel* self, int frame, int& mode, float& val1, float& val2)
{
    const InterpSetting setting = self->GetKeyInterp(frame);
    mode = setting.interpMode;
    val1 = setting.val1;
    val2 = setting.val2;
}

void GetKeyInterpByID(AnimChannel* self, int id, int& mode, float& val1, float& val2)
{
    InterpSetting setting = DefaultInterpSetting();
    self->GetKeyInterpByID(id, setting);
    mode = setting.interpMode;
    val1 = setting.val1;
    val2 = setting.val2;
}

void SetValue(AnimString* self, int frame, const char* text)
{
    self->SetValue(frame, QV_String(text ? text : ""));
}

const char* GetValue(AnimString* self, int frame)
{
    return self->GetValue(frame).CString();
}

const char* Name(VornLayer* self)
{
    return self->Name().CString();
}

const char* HsvImage(VornLayer* self)
{
    return self->HsvImage().CString();
}

void SetHsvImage(VornLayer* self, const char* path)
{
    self->SetHsvImage(path);
}

int TimingOffset(VornLayer* self)
{
    return self->CurrentPose().IsEmpty() ? self->TimingOffset() : 0;
}

const char* CurrentPose(VornLayer* self)
{
    return self->CurrentPose().CString();
}

void ActivatePose(VornLayer* self, const char* name)
{
    self->ActivatePose(name, true);
}

void InsertPose(VornLayer* self, const char* name, int frame, bool asReference)
{
    self->InsertPose(name, frame, asReference);
}

VornLayer* LayerByName(VornDoc* self, const char* name)
{
    return self->LayerByName(name ? name : "");
}

void ClearSecondarySelection(VornDoc* self, GroupLayer* group)
{
    if (group)
        ClearSelectedIn(group);
    else
        self->ClearSecondarySelection();
}

int CountSelectedLayers(VornDoc* self, GroupLayer* group)
{
    if (!group)
        return self->CountSelectedLayers();
    GatherSelectedIn(self->fSelectedLayers, group);
    return -1;
}

VornLayer* GetSelectedLayer(VornDoc* self, int index)
{
    const QV_ArrayList& list = self->fSelectedLayers;
    if (list.fCount < 2)
        return self->GetSelectedLayer();
    if (index < 0 || index >= list.fCount)
        return nullptr;
    return static_cast<VornLayer*>(list.fItems[index]);
}

const char* Path(VornDoc* self)
{
    return self->Path().CString();
}

const char* Name(VornDoc* self)
{
    return self->Name().CString();
}

void PrepUndo(VornDoc* self, VornLayer* layer)
{
    if (layer && !InDocument(self, layer)) {
        ConsolePrint("VornDoc:PrepUndo - the layer is not in this document; nothing was saved", kErrorRed);
        return;
    }
    self->PrepUndo(layer);
}

void SetShape(VornDoc* self, int width, int height)
{
    if (!self->SetShape(width, height))
        PrintOutOfRange("VornDoc:SetShape");
}

M_Curve* GetCurve(M_Point* self, int n, int& index)
{
    int32_t position = index;
    M_Curve* curve = self->GetCurve(n, &position);
    if (curve)
        index = position;
    return curve;
}

int GetNumSegments(M_Curve* self)
{
    const int32_t n = self->GetNumPoints();
    return self->fClosed ? n : n - 1;
}

bool IsSegmentSelected(M_Curve* self, int segment)
{
    return SegmentInRange(self, segment, "M_Curve:IsSegmentSelected") && self->IsSegmentSelected(segment);
}

lua_Object PointOnSegment(M_Curve* self, lua_State* state, int segment, float t)
{
    if (!SegmentInRange(self, segment, "M_Curve:PointOnSegment"))
        return PushNil(state);
    return PushVector(state, self->PointOnSegment(segment, t));
}

lua_Object ClosestPointOnSegment(M_Curve* self, lua_State* state, int segment, const QV_Vector2& pos)
{
    if (!SegmentInRange(self, segment, "M_Curve:ClosestPointOnSegment"))
        return PushNil(state);
    return PushVector(state, self->ClosestPointOnSegment(segment, pos));
}

void ShapeBounds(M_Shape* self, QV_Vector2& min, QV_Vector2& max, int frame)
{
    self->ShapeBounds(frame, min, max);
}

void AddGroup(M_Mesh* self, const char* name)
{
    self->AddGroup(name ? name : "");
}

void SelectGroup(M_Mesh* self, const char* name)
{
    self->SelectGroup(name ? name : "");
}

void DeleteGroup(M_Mesh* self, const char* name)
{
    self->DeleteGroup(name ? name : "");
}

} // namespace vorndoc

void GuardLayerDelete(lua_State* state)
{
    const int top = lua_gettop(state);
    lua_getglobal(state, "VORN");
    if (lua_istable(state, -1)) {
        lua_getfield(state, -1, "VornLayer");
        if (lua_istable(state, -1)) {
            lua_getfield(state, -1, "delete");
            if (lua_isfunction(state, -1)) {
                lua_pushcclosure(state, GuardedLayerDelete, 1);
                lua_setfield(state, -2, "delete");
            }
        }
    }
    lua_settop(state, top);
}
