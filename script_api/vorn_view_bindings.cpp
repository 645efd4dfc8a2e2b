#include "vorn_view_bindings.h"

#include <cstring>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}
#include "tolua++.h"

#include "vorn_binding_errors.h"
#include "xgraphics.h"

namespace {

const QV_Point& Need(lua_State* state, const char* function, const QV_Point* pt)
{
    if (!pt)
        VornRaiseArgumentError(state, function, 2, "QV_Point");
    return *pt;
}

// The record of a field setter, or the self error.
template <typename Record> Record* SetterSelf(lua_State* state, const char* type, const char* field)
{
    tolua_Error error;
    if (!tolua_isusertype(state, 1, type, 0, &error))
        tolua_error(state, "#vinvalid type in variable assignment.", &error);
    auto* self = static_cast<Record*>(tolua_tousertype(state, 1, nullptr));
    if (!self) {
        char text[96];
        std::snprintf(text, sizeof(text), "invalid 'self' in accessing variable '%s'", field);
        tolua_error(state, text, nullptr);
    }
    return self;
}

// A setter that copies a value object into the record; nil is refused, since the record's
// field is a value, not a reference.
template <typename Value, Value MouseEvent::*Field> int CopyField(lua_State* state, const char* type, const char* field)
{
    MouseEvent* self = SetterSelf<MouseEvent>(state, "MouseEvent", field);
    tolua_Error error;
    if (lua_isnil(state, 2) || !tolua_isusertype(state, 2, type, 0, &error)) {
        error = { 2, 0, type };
        tolua_error(state, "#vinvalid type in variable assignment.", &error);
    }
    const auto* value = static_cast<const Value*>(tolua_tousertype(state, 2, nullptr));
    if (!value) {
        error = { 2, 0, type };
        tolua_error(state, "#vinvalid type in variable assignment.", &error);
    }
    self->*Field = *value;
    return 0;
}

int SetPt(lua_State* state) { return CopyField<QV_Point, &MouseEvent::pt>(state, "QV_Point", "pt"); }
int SetStartPt(lua_State* state) { return CopyField<QV_Point, &MouseEvent::startPt>(state, "QV_Point", "startPt"); }
int SetVec(lua_State* state) { return CopyField<QV_Vector2, &MouseEvent::vec>(state, "QV_Vector2", "vec"); }
int SetStartVec(lua_State* state) { return CopyField<QV_Vector2, &MouseEvent::startVec>(state, "QV_Vector2", "startVec"); }

int GetKey(lua_State* state)
{
    auto* self = static_cast<KeyEvent*>(tolua_tousertype(state, 1, nullptr));
    if (!self)
        tolua_error(state, "invalid 'self' in accessing variable 'key'", nullptr);
    if (self->key)
        lua_pushstring(state, self->key);
    else
        lua_pushnil(state);
    return 1;
}

int SetKey(lua_State* state)
{
    KeyEvent* self = SetterSelf<KeyEvent>(state, "KeyEvent", "key");
    tolua_Error error;
    if (!tolua_isstring(state, 2, 0, &error))
        tolua_error(state, "#vinvalid type in variable assignment.", &error);
    self->SetKey(lua_isnil(state, 2) ? nullptr : lua_tostring(state, 2));
    return 0;
}

// Puts the function under the name into the class's table of getters or setters.
void Put(lua_State* state, const char* type, const char* table, const char* name, lua_CFunction function)
{
    luaL_getmetatable(state, type);
    lua_pushstring(state, table);
    lua_rawget(state, -2);
    if (lua_istable(state, -1)) {
        lua_pushstring(state, name);
        lua_pushcfunction(state, function);
        lua_rawset(state, -3);
    }
    lua_pop(state, 2);
}

} // namespace

namespace vornview {

QV_Vector2 Point2Vec(VornView* self, lua_State* state, QV_Point* pt, QV_Matrix* matrix)
{
    return self->Point2Vec(Need(state, "Point2Vec", pt), matrix);
}

int PickPoint(VornView* self, lua_State* state, QV_Point* pt, int tolerance)
{
    return self->PickPoint(Need(state, "PickPoint", pt), tolerance);
}

void PickEdge(VornView* self, lua_State* state, QV_Point* pt, int& curve, int& segment, int tolerance)
{
    int32_t c = curve;
    int32_t s = segment;
    self->PickEdge(Need(state, "PickEdge", pt), c, s, tolerance);
    curve = c;
    segment = s;
}

int PickShape(VornView* self, lua_State* state, QV_Point* pt, int start, int tolerance)
{
    return self->PickShape(Need(state, "PickShape", pt), start, tolerance);
}

int PickBone(VornView* self, lua_State* state, QV_Point* pt, QV_Vector2* vec, VornLayer* layer, bool exact, int tolerance)
{
    const QV_Point& point = Need(state, "PickBone", pt);
    if (!vec)
        VornRaiseArgumentError(state, "PickBone", 3, "QV_Vector2");
    if (!layer)
        return -1;
    return self->PickBone(point, *vec, layer, exact, tolerance);
}

void FloodSelect(VornView* self, lua_State* state, QV_Point* pt, int tolerance)
{
    self->FloodSelect(Need(state, "FloodSelect", pt), tolerance);
}

M_Shape* PickGlobalShape(VornView* self, lua_State* state, QV_Point* pt, int start, int tolerance)
{
    return self->PickGlobalShape(Need(state, "PickGlobalShape", pt), start, tolerance);
}

void PanDown(VornView* self, lua_State* state, QV_Point* pt)
{
    self->fDragStart = self->fDragCurrent = Need(state, "PanDown", pt);
    const XGraphics* graphics = self->Graphics();
    self->fDragBasePanX = graphics ? graphics->fPanX : 0;
    self->fDragBasePanY = graphics ? graphics->fPanY : 0;
}

void RotateDown(VornView* self, lua_State* state, QV_Point* pt)
{
    self->fDragStart = self->fDragCurrent = Need(state, "RotateDown", pt);
    const XGraphics* graphics = self->Graphics();
    self->fDragBaseAngle = graphics ? graphics->fRotation : 0;
}

void PanMoved(VornView* self, lua_State* state, QV_Point* pt) { self->PanMoved(Need(state, "PanMoved", pt)); }
void ZoomDown(VornView* self, lua_State* state, QV_Point* pt) { self->ZoomDown(Need(state, "ZoomDown", pt)); }
void ZoomMoved(VornView* self, lua_State* state, QV_Point* pt) { self->ZoomMoved(Need(state, "ZoomMoved", pt)); }
void ZoomUp(VornView* self, lua_State* state, QV_Point* pt) { self->ZoomUp(Need(state, "ZoomUp", pt)); }
void RotateMoved(VornView* self, lua_State* state, QV_Point* pt) { self->RotateMoved(Need(state, "RotateMoved", pt)); }
void OrbitDown(VornView* self, lua_State* state, QV_Point* pt) { self->OrbitDown(Need(state, "OrbitDown", pt)); }
void OrbitMoved(VornView* self, lua_State* state, QV_Point* pt) { self->OrbitMoved(Need(state, "OrbitMoved", pt)); }

void DragUp(VornView* self, QV_Point* pt)
{
    (void)pt;
    self->DrawMe();
}

} // namespace vornview

void PatchEventFieldBindings(lua_State* state)
{
    Put(state, "MouseEvent", ".set", "pt", SetPt);
    Put(state, "MouseEvent", ".set", "startPt", SetStartPt);
    Put(state, "MouseEvent", ".set", "vec", SetVec);
    Put(state, "MouseEvent", ".set", "startVec", SetStartVec);
    Put(state, "KeyEvent", ".get", "key", GetKey);
    Put(state, "KeyEvent", ".set", "key", SetKey);
}
