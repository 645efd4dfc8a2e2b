#pragma once

#include <cstdint>

#include "m_mesh.h"
#include "qv_arraylist.h"
#include "qv_matrix.h"
#include "qv_baseimage.h"
#include "qv_path.h"
#include "shape_mask_note.h"
#include "shape_seams.h"
#include "vornlayer.h"

// The vector layer: drawn artwork as one mesh of points, curves, shapes and point groups, with
// the layer-wide drawing options no single shape carries (noisy fills and outlines, extra
// sketchy strokes, gap filling, fill and line textures). Also the default kind of the factory.
//
// meshlayer.cpp holds the fields, the frame update that moves points with their bones and the
// renumbering of bone bindings; meshlayer_record.cpp the record; meshlayer_channels.cpp the channel rows. Drawing and rendering live
// beside the renderer and the editor view.
class SwfMovieClip;
class SwfShape;

class MeshLayer : public VornLayer {
public:
    MeshLayer();
    ~MeshLayer() override;

    int32_t LayerType() override;
    // Records older than format 14 take gap filling from the preference.
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    // The layer channels, then every curvature, point (moved by the parent's skeleton from
    // document frame 1 on) and shape channel, then the layer script.
    void SetCurFrame(int32_t frame) override;
    void DeleteParentBone(int32_t deleted) override;
    // Editor, quick-preview and SWF drawing (meshlayer_draw.cpp).
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode, VornLayer* currentLayer,
        RenderSettings* settings) override;
    // The editor's drawing of the shapes and overlays (meshlayer_draw*.cpp). DrawShapes sets the
    // masking-preview fill mode and draws every shape; DrawShape draws one (the view's shape
    // picking uses it too), with highlight only for the second drawing of the first selected
    // shape.
    void DrawShapes(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t drawMode,
        RenderSettings* settings);
    void DrawShape(int32_t index, VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch,
        int32_t drawMode, bool highlight, RenderSettings* settings);
    // Thin outlines of every curve segment, switched on or not.
    void DrawCurveOverlay(int32_t drawMode, XGraphics* graphics);
    // A marker at every point.
    void DrawPointOverlay(XGraphics* graphics, int32_t drawMode);
    // One render item per shape (meshlayer_render.cpp).
    int32_t CountRenderItems() override;
    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        int32_t item, RenderSettings* settings) override;
    bool IsFlatAndStatic() override;
    // 14 rows of points, curvatures, colours, shape effects and widths, then the layer rows.
    int32_t CountChannels() override;
    void GetChannelInfo(int32_t row, ChannelInfo& info) override;
    AnimChannel* GetChannel(int32_t row, int32_t sub, VornDoc* doc) override;

    // SWF output (meshlayer_swf*.cpp): the shapes at the current frame go into the graphics
    // context's movie, defined once as a clip when the layer is flat and static.
    void ExportSWF(VornDoc* doc, XGraphics* graphics, RenderSettings* settings);
    // One cubic of layer units appended to the shape's path in output pixels, less q.
    void AddSWFShapeOutline(XGraphics* graphics, SwfShape* shape, const QV_Vector2 p[4], const QV_Vector2& q);
    // One cubic in pixels as one quadratic curve, or a line when its control point lies within
    // a pixel of an end.
    static void AddSWFSegment(SwfShape* shape, const QV_Vector2 p[4]);
    static float ClampSWFCoord(float value);

    M_Mesh* Mesh() { return &fMesh; }
    // Store the path and drop the loaded image so the next render reads the new file. False
    // (nothing changed) for a path a document cannot store.
    bool SetFillTexture(const char* path);
    bool SetLineTexture(const char* path);

    M_Mesh fMesh;
    // Graphics fill mode of the shapes in the editor view.
    int32_t fEditorFillMode;
    // Cached static test: -1 not tested, 0 no, 1 yes.
    int32_t fStaticState;
    bool fNoisyShapes;
    bool fNoisyLines;
    bool fAnimatedNoise;
    bool fExtraSketchy;
    // Fractions of the document height.
    float fNoiseAmp;
    float fNoiseScale;
    int32_t fExtraLines;
    bool fGapFilling;
    bool fExcludeLinesFromMask;
    QV_Path fFillTexture;
    QV_BaseImage fFillTextureImage;
    QV_Path fLineTexture;
    QV_BaseImage fLineTextureImage;
    // SWF export state, kept from frame to frame; the handles die with the layer.
    bool fSWFPenPlaced;
    SwfMovieClip* fSWFClip;
    QV_Matrix fSWFMatrix;
    QV_ArrayList fSWFShapes;
    QV_ArrayList fSWFFills;
    // The shapes' seams for the pass over the render items under way: rebuilt at item 0, and
    // whenever the shape count is not the one it was built from.
    ShapeSeamTable fSeams;
    ShapeMaskNote fMaskNote;

private:
    void BindPointsToBones(int32_t docFrame, int32_t layerFrame);
    void ExportSWFShape(int32_t index, VornDoc* doc, XGraphics* graphics, RenderSettings* settings,
        const QV_Vector2& q, float lineScale, bool mirrored);
    void PlaceSWFClip(XGraphics* graphics);
};
