#include "script_interface.h"

#include <algorithm>
#include <cmath>

#include "grouplayer.h"
#include "m_bone.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_skeleton.h"
#include "app_folders.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_noise.h"
#include "qv_file_lister.h"
#include "qv_vector.h"
#include "script_grid.h"
#include "skeleton_bones.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

// A cached count: made once per record unless the caller asks again.
template <typename Count> int32_t Cached(int32_t& field, bool recount, Count count)
{
    if (recount)
        field = -1;
    if (field < 0)
        field = count();
    return field;
}

} // namespace

ScriptInterface::ScriptInterface(VornDoc* doc, VornView* view)
    : fFrame(0)
    , fLayerFrame(0)
    , fDoc(doc)
    , fLayer(nullptr)
    , fView(view)
    , fGridOn(false)
    , fGridSize(0)
    , fPointCount(-1)
    , fSelPointCount(-1)
    , fCurveCount(-1)
    , fEdgeCount(-1)
    , fSelEdgeCount(-1)
    , fShapeCount(-1)
    , fSelShapeCount(-1)
    , fBoneCount(-1)
    , fSelBoneCount(-1)
    , fFileListing(nullptr)
{
    fAudioLayers.SetCapacity(4);
    if (doc) {
        fFrame = doc->CurFrame();
        fLayerFrame = fFrame;
        fLayer = doc->GetSelectedLayer();
        if (fLayer)
            fLayerFrame += fLayer->TotalTimingOffset();
    }
    ScriptGridSource& grid = GetScriptGridSource();
    fGridOn = grid.GridSnapping() && grid.GridShown();
    // A document one pixel high would divide by zero.
    const int32_t halfHeight = std::max<int32_t>(1, (doc ? doc->Height() : 0) / 2);
    fGridSize = float(grid.GridSpacing()) / float(halfHeight);
}

ScriptInterface::~ScriptInterface()
{
    delete fFileListing;
}

void DeleteScriptInterface(ScriptInterface* record)
{
    delete record;
}

M_Mesh* ScriptInterface::Mesh() const
{
    if (!fLayer || fLayer->LayerType() != LT_VECTOR)
        return nullptr;
    auto* layer = dynamic_cast<MeshLayer*>(fLayer);
    return layer ? layer->Mesh() : nullptr;
}

M_Skeleton* ScriptInterface::Skeleton() const
{
    if (!fLayer)
        return nullptr;
    const int32_t type = fLayer->LayerType();
    if (type != LT_BONE && type != LT_SWITCH)
        return nullptr;
    auto* group = dynamic_cast<GroupLayer*>(fLayer);
    auto* bones = group ? dynamic_cast<SkeletonBones*>(group->fBoneParent) : nullptr;
    return bones ? bones->fSkeleton : nullptr;
}

bool ScriptInterface::DisableDrawingTools() const
{
    return ModelPrefBool("DisableDrawingToolsNonZero", true) && fFrame != 0;
}

QV_Vector3 ScriptInterface::NoiseVector(const QV_Vector3& v, float amplitude, float frequency) const
{
    QV_Vector3 noise;
    noise.x = Noise3D(v.x, v.y, v.z, amplitude, frequency);
    noise.y = Noise3D(v.x + 16, v.y, v.z, amplitude, frequency);
    noise.z = Noise3D(v.x + 16, v.y, v.z + 16, amplitude, frequency);
    return noise;
}

const char* ScriptInterface::AppDir() const
{
    static QV_String folder;
    folder = AppFolder();
    return folder.CString();
}

void ScriptInterface::SnapToGrid(QV_Vector2* point) const
{
    // A zero spacing has no grid to snap to; dividing by it would make the point NaN.
    if (!point || fGridSize == 0)
        return;
    point->x = fGridSize * std::round(point->x / fGridSize);
    point->y = fGridSize * std::round(point->y / fGridSize);
}

int32_t ScriptInterface::CountPoints()
{
    return Cached(fPointCount, false, [this] {
        M_Mesh* mesh = Mesh();
        return mesh ? mesh->GetNumPoints() : 0;
    });
}

int32_t ScriptInterface::CountSelectedPoints(bool recount)
{
    return Cached(fSelPointCount, recount, [this] {
        M_Mesh* mesh = Mesh();
        int32_t n = 0;
        for (int32_t i = 0; mesh && i < mesh->GetNumPoints(); i++)
            n += mesh->GetPoint(i) && mesh->GetPoint(i)->fSelected ? 1 : 0;
        return n;
    });
}

int32_t ScriptInterface::CountCurves()
{
    return Cached(fCurveCount, false, [this] {
        M_Mesh* mesh = Mesh();
        return mesh ? mesh->GetNumCurves() : 0;
    });
}

int32_t ScriptInterface::CountEdges()
{
    return Cached(fEdgeCount, false, [this] {
        M_Mesh* mesh = Mesh();
        int32_t n = 0;
        for (int32_t i = 0; mesh && i < mesh->GetNumCurves(); i++)
            n += mesh->GetCurve(i)->GetNumSegments();
        return n;
    });
}

int32_t ScriptInterface::CountSelectedEdges(bool recount)
{
    return Cached(fSelEdgeCount, recount, [this] {
        M_Mesh* mesh = Mesh();
        int32_t n = 0;
        for (int32_t i = 0; mesh && i < mesh->GetNumCurves(); i++) {
            M_Curve* curve = mesh->GetCurve(i);
            const int32_t points = curve->GetNumPoints();
            for (int32_t j = 0; j < curve->GetNumSegments(); j++) {
                M_Point* a = curve->GetPoint(j);
                M_Point* b = curve->GetPoint((j + 1) % points);
                if (a && b && a->fSelected && b->fSelected)
                    n++;
            }
        }
        return n;
    });
}

int32_t ScriptInterface::CountShapes()
{
    return Cached(fShapeCount, false, [this] {
        M_Mesh* mesh = Mesh();
        return mesh ? mesh->GetNumShapes() : 0;
    });
}

int32_t ScriptInterface::CountSelectedShapes(bool recount)
{
    return Cached(fSelShapeCount, recount, [this] {
        M_Mesh* mesh = Mesh();
        int32_t n = 0;
        for (int32_t i = 0; mesh && i < mesh->GetNumShapes(); i++)
            n += mesh->GetShape(i) && mesh->GetShape(i)->fSelected ? 1 : 0;
        return n;
    });
}

int32_t ScriptInterface::CountBones()
{
    return Cached(fBoneCount, false, [this] {
        M_Skeleton* skeleton = Skeleton();
        return skeleton ? skeleton->GetNumBones() : 0;
    });
}

int32_t ScriptInterface::CountSelectedBones(bool recount)
{
    return Cached(fSelBoneCount, recount, [this] {
        M_Skeleton* skeleton = Skeleton();
        int32_t n = 0;
        for (int32_t i = 0; skeleton && i < skeleton->GetNumBones(); i++) {
            M_Bone* bone = skeleton->GetBone(i);
            n += bone && bone->fSelected ? 1 : 0;
        }
        return n;
    });
}
