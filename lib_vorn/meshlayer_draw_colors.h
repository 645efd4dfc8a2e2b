#pragma once

#include "qv_color.h"

// The editor colours that layers draw their overlays in, read by their settings key at every
// draw so that a change in the preferences takes effect on the next repaint. The application
// shell installs its preference store as the source; without one (tools, tests), or for a key
// the source does not hold, every read answers the default.
class EditorColorSource {
public:
    virtual ~EditorColorSource();
    // True and the colour when the key is held.
    virtual bool GetColor(const char* key, rgb_color& value) const = 0;
};

// Null returns to the defaults. The source is not owned.
void SetEditorColorSource(const EditorColorSource* source);

rgb_color EditorColor(const char* key, rgb_color fallback);

// "VornColObj": curves and unselected points of the current layer.
rgb_color EditorColObj();
// "VornColSel": selected points.
rgb_color EditorColSel();
// "VornColInac": inactive layers' curves and points, origin markers.
rgb_color EditorColInac();
