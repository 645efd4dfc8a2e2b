#pragma once

#include <cstdint>

#include "qv_baseimage.h"
#include "qv_string.h"
#include "qv_view.h"
#include "vorndoc.h"
#include "xgraphics.h"

class M_Mesh;
class MeshLayer;

// A sample text drawn in a chosen font, in the colour a new shape would be filled with, on
// white or black, whichever sets it off.
class QV_FontPreview : public QV_View {
public:
    QV_FontPreview(int32_t width, int32_t height);
    ~QV_FontPreview() override;

    void Refresh() override;
    void Draw() override;
    // Draws the preview with the context (in view coordinates, its target the view's pixels).
    void Paint(QV_Graphics* graphics);

    QV_String fPreviewText;
    QV_String fFontName;
};

// A private document of the preview's size with one vector layer, whose mesh scripts fill and
// which the preview shows as a quick preview.
class QV_MeshPreview : public QV_View {
public:
    QV_MeshPreview(int32_t width, int32_t height);
    ~QV_MeshPreview() override;

    void Refresh() override;
    void Draw() override;
    // Draws the layer into the preview's own context, attached to a target already.
    void Paint();

    M_Mesh* Mesh();
    // A shape of the selected segments at frame 0; false when there are none (or, filled,
    // fewer than three closed ones). A shape with the same edges may exist already.
    bool CreateShape(bool fill);
    // Pan and zoom that fit the mesh (or, under two points, the document frame) in the view;
    // nothing until the preview has been drawn.
    void AutoZoom();

    VornDoc fDoc;
    MeshLayer* fMeshLayer; // owned by fDoc
    XGraphics fGraphics;
    QV_BaseImage fImage;
};

// The colour a new shape is filled with: the Style panel's, else the preference.
rgb_color NewShapeFillColor();

// What the VORN bindings of the previews call; the previews belong to the view they are
// added to, not to Lua.
namespace vornpreview {

QV_FontPreview* NewFontPreview(int width, int height);
QV_MeshPreview* NewMeshPreview(int width, int height);
// Nil gives an empty text; nothing is redrawn.
void SetPreviewText(QV_FontPreview* self, const char* text);
void SetFontName(QV_FontPreview* self, const char* name);

} // namespace vornpreview
