#pragma once

#include "qv_color.h"

// The editor colours that layers draw their overlays in, read from the preferences by their
// settings key at every draw, so that a change takes effect on the next repaint; without a
// preference source (tools, tests), or for a key it does not hold, the default.

// "VornColObj": curves and unselected points of the current layer.
rgb_color EditorColObj();
// "VornColSel": selected points.
rgb_color EditorColSel();
// "VornColInac": inactive layers' curves and points, origin markers.
rgb_color EditorColInac();
