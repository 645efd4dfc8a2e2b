#pragma once

#include <cstdint>

// The application's grid as scripts see it. The application shell replaces the source with
// its own states; the plain one has the grid hidden, snapping on and a spacing of 20 pixels.
class ScriptGridSource {
public:
    virtual ~ScriptGridSource();
    virtual bool GridShown();
    virtual bool GridSnapping();
    // Pixels, 1 to 1024.
    virtual int32_t GridSpacing();
};

// Null restores the plain source. The source is not owned.
void SetScriptGridSource(ScriptGridSource* source);
ScriptGridSource& GetScriptGridSource();
