#pragma once

// The VornView members that the generator cannot bind straight to the view: those whose point
// may arrive as nil (the argument error then, as there is nothing to pick at), and the drag
// starts and ends that the bindings compute themselves.

#include "qv_matrix.h"
#include "qv_rect.h"
#include "qv_vector.h"
#include "script_events.h"
#include "vorn_view.h"
#include "xgraphics.h"

struct lua_State;

namespace vornview {

QV_Vector2 Point2Vec(VornView* self, lua_State* state, QV_Point* pt, QV_Matrix* matrix);
int PickPoint(VornView* self, lua_State* state, QV_Point* pt, int tolerance);
void PickEdge(VornView* self, lua_State* state, QV_Point* pt, int& curve, int& segment, int tolerance);
int PickShape(VornView* self, lua_State* state, QV_Point* pt, int start, int tolerance);
int PickBone(VornView* self, lua_State* state, QV_Point* pt, QV_Vector2* vec, VornLayer* layer, bool exact, int tolerance);
void FloodSelect(VornView* self, lua_State* state, QV_Point* pt, int tolerance);
M_Shape* PickGlobalShape(VornView* self, lua_State* state, QV_Point* pt, int start, int tolerance);

// The drag's start and current point := pt; its base pan (or angle) := the drawing context's.
void PanDown(VornView* self, lua_State* state, QV_Point* pt);
void RotateDown(VornView* self, lua_State* state, QV_Point* pt);
void PanMoved(VornView* self, lua_State* state, QV_Point* pt);
void ZoomDown(VornView* self, lua_State* state, QV_Point* pt);
void ZoomMoved(VornView* self, lua_State* state, QV_Point* pt);
void ZoomUp(VornView* self, lua_State* state, QV_Point* pt);
void RotateMoved(VornView* self, lua_State* state, QV_Point* pt);
void OrbitDown(VornView* self, lua_State* state, QV_Point* pt);
void OrbitMoved(VornView* self, lua_State* state, QV_Point* pt);
// PanUp, RotateUp and OrbitUp: the drag ends with a redraw; the point is not used.
void DragUp(VornView* self, QV_Point* pt);

} // namespace vornview

// Replaces the setters that the generator makes for the records' point, vector and text
// fields: a point or vector is copied (nil raises the assignment error), the key text is kept
// as a copy and nil clears it. After the module is opened.
void PatchEventFieldBindings(lua_State* state);
