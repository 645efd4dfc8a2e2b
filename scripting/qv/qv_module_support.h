#pragma once

// What the generated QV bindings see: the value types, the runtime and the module functions.

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

#include "binding_conventions.h"
#include "qv_color.h"
#include "qv_functions.h"
#include "qv_matrix.h"
#include "qv_rect.h"
#include "qv_vector.h"
