#include "style_panel_refs.h"

M_Shape* gNewShapeProperties = nullptr;
M_Style* gCurrentDocStyle = nullptr;
