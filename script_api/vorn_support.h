#pragma once

// What the generated VORN bindings see: the runtime, the bound classes and the constants.

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

#include "animbool.h"
#include "animcolor.h"
#include "animstring.h"
#include "animval.h"
#include "animvec2.h"
#include "animvec3.h"
#include "binding_conventions.h"
#include "doc_bindings.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_pointgroup.h"
#include "m_shape.h"
#include "m_style.h"
#include "qv_matrix.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "m_mesh.h"
#include "m_skeleton.h"
#include "meshlayer.h"
#include "qv_vector.h"
#include "script_interface.h"
#include "script_prefs.h"
#include "switchlayer.h"
#include "vorndoc.h"
#include "vornlayer.h"

// The base of the message ids that the widgets of script dialogs and tool options send.
constexpr int VORN_MSG_BASE = -10000;

constexpr int VORN_CHANNEL_UNKNOWN = 0;
constexpr int VORN_CHANNEL_VAL = 1;
constexpr int VORN_CHANNEL_VEC2 = 2;
constexpr int VORN_CHANNEL_COLOR = 3;
constexpr int VORN_CHANNEL_BOOL = 4;
constexpr int VORN_CHANNEL_STRING = 5;
constexpr int VORN_CHANNEL_VEC3 = 6;

constexpr int VORN_INTERP_LINEAR = 0;
constexpr int VORN_INTERP_SMOOTH = 1;
constexpr int VORN_INTERP_EASE = 2;
constexpr int VORN_INTERP_STEP = 3;
constexpr int VORN_INTERP_NOISY = 4;
constexpr int VORN_INTERP_CYCLE = 5;
constexpr int VORN_INTERP_POSE = 6;
constexpr int VORN_INTERP_EASE_IN = 7;
constexpr int VORN_INTERP_EASE_OUT = 8;

constexpr int VORN_LT_UNKNOWN = 0;
constexpr int VORN_LT_VECTOR = 1;
constexpr int VORN_LT_IMAGE = 2;
constexpr int VORN_LT_GROUP = 3;
constexpr int VORN_LT_BONE = 4;
constexpr int VORN_LT_SWITCH = 5;
constexpr int VORN_LT_PARTICLE = 6;
constexpr int VORN_LT_NOTE = 7;
constexpr int VORN_LT_3D = 8;

constexpr int VORN_MM_MASKED = 0;
constexpr int VORN_MM_NOTMASKED = 1;
constexpr int VORN_MM_ADD_MASK = 2;
constexpr int VORN_MM_SUB_MASK = 3;
constexpr int VORN_MM_ADD_MASK_INVIS = 4;
constexpr int VORN_MM_SUB_MASK_INVIS = 5;
constexpr int VORN_MM_CLEAR_ADD_MASK = 6;

constexpr int VORN_BM_NORMAL = 0;
constexpr int VORN_BM_MULTIPLY = 1;
constexpr int VORN_BM_SCREEN = 2;
constexpr int VORN_BM_OVERLAY = 3;
constexpr int VORN_BM_ADD = 4;
constexpr int VORN_BM_DIFFERENCE = 5;
constexpr int VORN_BM_HUE = 6;
constexpr int VORN_BM_SATURATION = 7;
constexpr int VORN_BM_COLOR = 8;
constexpr int VORN_BM_LUMINOSITY = 9;

constexpr int VORN_GROUP_MASK_NONE = 0;
constexpr int VORN_GROUP_MASK_SHOW_ALL = 1;
constexpr int VORN_GROUP_MASK_HIDE_ALL = 2;

// The curvature of points is kept in single precision; scripts see the float widened, so a
// value read back from a point compares equal to these.
constexpr double VORN_SMOOTH = double(0.3f);
constexpr double VORN_PEAKED = double(0.001f);

constexpr int VORN_FLEXI_BINDING = 1;
constexpr int VORN_REGION_BINDING = 2;
