#pragma once

#include <cstdint>

// What the shape effects need of the document they render for: its height in pixels (every
// effect size is a fraction of it), its current frame and the name of the current editing tool
// (some tools show bone deformation at frame 0). The document implements it, or an adapter
// does; tests and the style previews use stand-ins.
class StyleDocument {
public:
    virtual ~StyleDocument();

    virtual int32_t HeightPixels() = 0;
    virtual int32_t CurrentFrame() = 0;
    // The current tool's script name; "" with none, never null.
    virtual const char* CurrentToolName() = 0;
    // The frame the current layer shows, which the edit dialogs key animated values at; the
    // document's frame when there is no layer.
    virtual int32_t CurrentLayerFrame();
    // An edit dialog changed an effect in place: the undo history, which cannot restore it,
    // is emptied and the document is marked modified. Nothing here.
    virtual void StyleEdited();
};
