#pragma once

class M_Shape;
class M_Style;

// The two references the Style panel publishes to the model. The panel sets them; the model only
// clears them when it deletes what they point at. Both are null until a panel exists.

// The shape whose style the panel shows and new shapes take; not owned.
extern M_Shape* gNewShapeProperties;
// The document style the panel edits while no shape is selected; not owned.
extern M_Style* gCurrentDocStyle;
