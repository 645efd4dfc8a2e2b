#pragma once

#include <cstdint>

#include "qv_dialog.h"

class M_Mesh;
class QV_TextControl;
class VornDoc;

// Gives every selected point of the mesh a random line width from minimum to maximum pixels of
// a document of that height, keyed at each width channel's current frame. A key of -1 (the
// shape's width) goes once the channel holds another key. random answers 0 to 32767.
void RandomizePointWidths(M_Mesh* mesh, float minimum, float maximum, int32_t docHeight, int (*random)());

// The dialog's OK: with the document's current layer a vector layer and the range not empty,
// one undo level, then the widths; false when nothing was done.
bool ApplyRandomWidths(VornDoc* document, float minimum, float maximum, int (*random)());

// Random Line Width: the Draw command's dialog for the current vector layer's selected points.
class RandomThickness : public QV_Dialog {
public:
    RandomThickness(VornDoc* document, QV_Wnd* owner);
    void ExchangeData(bool apply) override;
    bool OnValidate() override;

    VornDoc* fDocument;
    QV_TextControl* fMinimum;
    QV_TextControl* fMaximum;
};

// Runs the dialog over the document's current layer (the Draw menu's Random Line Width).
void RunRandomThickness(VornDoc* document, QV_Wnd* owner);
