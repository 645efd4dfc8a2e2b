#pragma once

#include <cstdint>
#include <vector>

#include "m_mesh3d.h"
#include "qv_path.h"
#include "vornlayer.h"

class BoneParent;
class QV_Raster3D;
struct RasterPolygon;

// A 3D model in the scene: the faces of an M_Mesh3D drawn flat-coloured or textured through the
// depth-buffered rasteriser, outlined by its back faces pushed away in the edge colour, placed
// by the layer transform and the camera and, under a bone layer, warped by the skeleton. A model
// taken from an OBJ file is re-imported whenever the document is read; the document then keeps
// only its colours and winding.
class Mesh3DLayer : public VornLayer {
public:
    Mesh3DLayer();
    ~Mesh3DLayer() override;

    int32_t LayerType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void SetCurFrame(int32_t frame) override;
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
        VornLayer* currentLayer, RenderSettings* settings) override;
    int32_t CountRenderItems() override;
    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        int32_t item, RenderSettings* settings) override;

    // Imports the OBJ file (looked up beside the document first); an empty path only forgets the
    // file. False (nothing changed) for a path a document cannot store.
    bool SetSourceMesh(const char* path);
    const QV_Path& SourceMesh() const { return fExternalModel; }
    void SetEdgeOffset(float offset) { fEdgeOffset = offset; }
    float EdgeOffset() const { return fEdgeOffset; }
    M_Mesh3D& Mesh() { return fMesh; }

    // Splits a polygon whose depth extent reaches the threshold into four, at most five times.
    static void SubdivideFace(QV_Raster3D* raster, RasterPolygon& polygon, int32_t depth, float threshold);

    QV_Path fExternalModel;
    M_Mesh3D fMesh;
    float fEdgeOffset;
    bool fResetZ;

private:
    struct Projected {
        float x, y, z, w;
    };
    const BoneParent* WarpingBones(VornDoc* doc) const;
    // Common preparation and the faces, with the view matrix V; the matrix must be pushed.
    void DrawFaces(VornDoc* doc, QV_Raster3D* raster, const QV_Matrix& view, const QV_Matrix& layer,
        const BoneParent* bones, uint8_t texturedKind, float threshold);
    void LoadTextures(int32_t depth, bool reloadAnyDepth);

    std::vector<Projected> fProjected;
};
